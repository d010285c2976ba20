# revstamp_stamp(<target> [WORKING_DIRECTORY <dir>] [HEADER <path>] [TARGETED] [WORD <word>]
#                [EXTRA_MACROS] [IF_CHANGED] [QUIET] [REQUIRE_HISTORY] [KEEP_STAMP]
#                [ALLOW_SHALLOW])
#
# Before <target> builds, and on every build, runs revstamp in <dir>; it writes
# <dir>/../applications/revision.h, or <path> with HEADER, the targeted form (build targets and
# submodules) with TARGETED. WORD is revstamp's first argument, which it never reads (default:
# <target>). A relative <dir> is taken from the current source directory, a relative <path> from
# the current binary directory; WORKING_DIRECTORY may be left out with HEADER (default: the
# current source directory). One header has one stamp: a later call for the same header and form
# makes <target> wait for that stamp; one for another form stops configure. EXTRA_MACROS,
# IF_CHANGED, QUIET, REQUIRE_HISTORY, KEEP_STAMP and ALLOW_SHALLOW set REVSTAMP_EXTRA_MACROS=1,
# REVSTAMP_IF_CHANGED=1 and so on for this stamp.
function(revstamp_stamp target)
  set(switches EXTRA_MACROS IF_CHANGED QUIET REQUIRE_HISTORY KEEP_STAMP ALLOW_SHALLOW)
  cmake_parse_arguments(PARSE_ARGV 1 arg "TARGETED;${switches}" "WORKING_DIRECTORY;WORD;HEADER"
                        "")
  set(me "revstamp_stamp(${target})")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${me}: unknown arguments ${arg_UNPARSED_ARGUMENTS}; it takes "
                        "WORKING_DIRECTORY <dir>, HEADER <path>, TARGETED, WORD <word>, "
                        "EXTRA_MACROS, IF_CHANGED, QUIET, REQUIRE_HISTORY, KEEP_STAMP and "
                        "ALLOW_SHALLOW.")
  endif()
  if(NOT TARGET "${target}")
    message(FATAL_ERROR "${me}: there is no target named ${target}. Call revstamp_stamp after "
                        "the add_executable() or add_library() that defines it.")
  endif()
  if(NOT arg_WORKING_DIRECTORY AND DEFINED arg_HEADER)
    set(arg_WORKING_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}")
  elseif(NOT arg_WORKING_DIRECTORY)
    message(FATAL_ERROR "${me}: WORKING_DIRECTORY is missing. Name the directory revstamp runs "
                        "in, whose parent holds applications/, or name the header with HEADER.")
  endif()
  # Resolved on disk, as revstamp resolves ".." when it runs: through a linked directory, the
  # text's parent is not where the header lands.
  get_filename_component(dir "${arg_WORKING_DIRECTORY}" REALPATH BASE_DIR
                         "${CMAKE_CURRENT_SOURCE_DIR}")
  if(NOT IS_DIRECTORY "${dir}")
    message(FATAL_ERROR "${me}: WORKING_DIRECTORY ${dir} does not exist. revstamp runs there "
                        "and writes ../applications/revision.h beside it: create the directory "
                        "or name the right one.")
  endif()
  if(DEFINED arg_HEADER)
    get_filename_component(header "${arg_HEADER}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
    get_filename_component(folder "${header}" DIRECTORY)
    # A folder of the build tree is the build's to make; one elsewhere is the project's.
    file(RELATIVE_PATH from_build "${CMAKE_BINARY_DIR}" "${folder}")
    if(NOT from_build MATCHES "^\\.\\.(/|$)" AND NOT IS_ABSOLUTE "${from_build}")
      file(MAKE_DIRECTORY "${folder}")
    endif()
  else()
    get_filename_component(folder "${dir}/../applications" ABSOLUTE)
    set(header "${folder}/revision.h")
  endif()
  if(NOT IS_DIRECTORY "${folder}")
    message(FATAL_ERROR "${me}: ${folder} does not exist. revstamp writes the header there: "
                        "create it, choose a WORKING_DIRECTORY whose parent holds "
                        "applications/, or name another HEADER.")
  endif()
  if(header MATCHES "#")
    message(FATAL_ERROR "${me}: ${header} holds a '#': CMake takes no '#' in the path of a "
                        "file that a build step writes, and the stamp writes the header there. "
                        "Rename the directory that holds the '#', or move the project to a path "
                        "without one.")
  endif()
  set(form plain)
  if(arg_TARGETED)
    set(form targeted)
  endif()
  # Two stamps of one header would race in a parallel build, and Ninja refuses two rules for
  # one output. The first argument is never read, so only the form tells two stamps apart.
  get_property(first GLOBAL PROPERTY "revstamp_stamp ${header}")
  if(first)
    list(GET first 0 first_target)
    list(GET first 1 first_form)
    if(NOT form STREQUAL first_form)
      message(FATAL_ERROR "${me}: ${header} is already stamped in the ${first_form} form for "
                          "${first_target}; this call asks for the ${form} form. One header "
                          "holds one stamp: stamp both targets in one form (the targeted form "
                          "holds everything the plain one does), or give each its own HEADER.")
    endif()
    add_dependencies(${target} ${first_target}_revstamp)
    return()
  endif()
  set_property(GLOBAL PROPERTY "revstamp_stamp ${header}" "${target};${form}")
  if(NOT DEFINED arg_WORD)
    set(arg_WORD "${target}")
  endif()
  set(args "${arg_WORD}")
  if(arg_TARGETED)
    list(APPEND args s)
  endif()
  # A custom target is never up to date, so the stamp is taken again on every build.
  # Each option is the environment variable revstamp reads, set for this stamp alone.
  set(command revstamp::revstamp)
  set(options)
  foreach(option ${switches})
    if(arg_${option})
      list(APPEND options REVSTAMP_${option}=1)
    endif()
  endforeach()
  if(DEFINED arg_HEADER)
    list(APPEND options "REVSTAMP_HEADER=${header}")
  endif()
  if(options)
    set(command ${CMAKE_COMMAND} -E env ${options} $<TARGET_FILE:revstamp::revstamp>)
  endif()
  # With IF_CHANGED the header may be left alone: Ninja then checks its time again (a byproduct
  # is restat), and Make compares times anyway, so nothing that includes it is compiled again.
  add_custom_target(${target}_revstamp
    COMMAND ${command} ${args}
    WORKING_DIRECTORY "${dir}"
    BYPRODUCTS "${header}"
    COMMENT "Stamping Git's revision into ${header}"
    VERBATIM)
  # Under a cross toolchain the tool is built for this machine by a project of its own.
  if(TARGET revstamp_host)
    add_dependencies(${target}_revstamp revstamp_host)
  endif()
  add_dependencies(${target} ${target}_revstamp)
endfunction()
