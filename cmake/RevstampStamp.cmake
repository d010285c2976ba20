# revstamp_stamp(<target> WORKING_DIRECTORY <dir> [TARGETED] [WORD <word>] [EXTRA_MACROS]
#                [IF_CHANGED] [QUIET] [REQUIRE_HISTORY] [KEEP_STAMP])
#
# Before <target> builds, and on every build, runs revstamp in <dir>; it writes
# <dir>/../applications/revision.h, the targeted form (build targets and submodules) with
# TARGETED. WORD is revstamp's first argument, which it never reads (default: <target>). A
# relative <dir> is taken from the current source directory. One header has one stamp: a later
# call for the same header and form makes <target> wait for that stamp; one for another form
# stops configure. EXTRA_MACROS, IF_CHANGED, QUIET, REQUIRE_HISTORY and KEEP_STAMP set
# REVSTAMP_EXTRA_MACROS=1, REVSTAMP_IF_CHANGED=1 and so on for this stamp.
function(revstamp_stamp target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "TARGETED;EXTRA_MACROS;IF_CHANGED;QUIET;REQUIRE_HISTORY;KEEP_STAMP"
                        "WORKING_DIRECTORY;WORD" "")
  set(me "revstamp_stamp(${target})")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${me}: unknown arguments ${arg_UNPARSED_ARGUMENTS}; it takes "
                        "WORKING_DIRECTORY <dir>, TARGETED, WORD <word>, EXTRA_MACROS, "
                        "IF_CHANGED, QUIET, REQUIRE_HISTORY and KEEP_STAMP.")
  endif()
  if(NOT TARGET "${target}")
    message(FATAL_ERROR "${me}: there is no target named ${target}. Call revstamp_stamp after "
                        "the add_executable() or add_library() that defines it.")
  endif()
  if(NOT arg_WORKING_DIRECTORY)
    message(FATAL_ERROR "${me}: WORKING_DIRECTORY is missing. Name the directory revstamp runs "
                        "in; its parent holds applications/.")
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
  get_filename_component(applications "${dir}/../applications" ABSOLUTE)
  if(NOT IS_DIRECTORY "${applications}")
    message(FATAL_ERROR "${me}: ${applications} does not exist. revstamp writes revision.h "
                        "there, beside WORKING_DIRECTORY ${dir}: create it, or choose a "
                        "WORKING_DIRECTORY whose parent holds applications/.")
  endif()
  if(applications MATCHES "#")
    message(FATAL_ERROR "${me}: ${applications} holds a '#': CMake takes no '#' in the path of a "
                        "file that a build step writes, and the stamp writes revision.h there. "
                        "Rename the directory that holds the '#', or move the project to a path "
                        "without one.")
  endif()
  set(form plain)
  if(arg_TARGETED)
    set(form targeted)
  endif()
  # Two stamps of one header would race in a parallel build, and Ninja refuses two rules for
  # one output. The first argument is never read, so only the form tells two stamps apart.
  set(header "${applications}/revision.h")
  get_property(first GLOBAL PROPERTY "revstamp_stamp ${header}")
  if(first)
    list(GET first 0 first_target)
    list(GET first 1 first_form)
    if(NOT form STREQUAL first_form)
      message(FATAL_ERROR "${me}: ${header} is already stamped in the ${first_form} form for "
                          "${first_target}; this call asks for the ${form} form. One header "
                          "holds one stamp: stamp both targets in one form (the targeted form "
                          "holds everything the plain one does), or give each its own "
                          "WORKING_DIRECTORY beside its own applications/.")
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
  foreach(option EXTRA_MACROS IF_CHANGED QUIET REQUIRE_HISTORY KEEP_STAMP)
    if(arg_${option})
      list(APPEND options REVSTAMP_${option}=1)
    endif()
  endforeach()
  if(options)
    set(command ${CMAKE_COMMAND} -E env ${options} $<TARGET_FILE:revstamp::revstamp>)
  endif()
  # With IF_CHANGED the header may be left alone: Ninja then checks its time again (a byproduct
  # is restat), and Make compares times anyway, so nothing that includes it is compiled again.
  add_custom_target(${target}_revstamp
    COMMAND ${command} ${args}
    WORKING_DIRECTORY "${dir}"
    BYPRODUCTS "${applications}/revision.h"
    COMMENT "Stamping Git's revision into ${applications}/revision.h"
    VERBATIM)
  # Under a cross toolchain the tool is built for this machine by a project of its own.
  if(TARGET revstamp_host)
    add_dependencies(${target}_revstamp revstamp_host)
  endif()
  add_dependencies(${target} ${target}_revstamp)
endfunction()
