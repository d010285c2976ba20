# revstamp_stamp(<target> WORKING_DIRECTORY <dir> [TARGETED] [WORD <word>])
#
# Before <target> builds, and on every build, runs revstamp in <dir>; it writes
# <dir>/../applications/revision.h, the targeted form (build targets and submodules) with
# TARGETED. WORD is revstamp's first argument, which it never reads (default: <target>). A
# relative <dir> is taken from the current source directory.
function(revstamp_stamp target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "TARGETED" "WORKING_DIRECTORY;WORD" "")
  set(me "revstamp_stamp(${target})")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${me}: unknown arguments ${arg_UNPARSED_ARGUMENTS}; it takes "
                        "WORKING_DIRECTORY <dir>, TARGETED and WORD <word>.")
  endif()
  if(NOT TARGET "${target}")
    message(FATAL_ERROR "${me}: there is no target named ${target}. Call revstamp_stamp after "
                        "the add_executable() or add_library() that defines it.")
  endif()
  if(NOT arg_WORKING_DIRECTORY)
    message(FATAL_ERROR "${me}: WORKING_DIRECTORY is missing. Name the directory revstamp runs "
                        "in; its parent holds applications/.")
  endif()
  get_filename_component(dir "${arg_WORKING_DIRECTORY}" ABSOLUTE BASE_DIR
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
  if(NOT DEFINED arg_WORD)
    set(arg_WORD "${target}")
  endif()
  set(args "${arg_WORD}")
  if(arg_TARGETED)
    list(APPEND args s)
  endif()
  # A custom target is never up to date, so the stamp is taken again on every build.
  add_custom_target(${target}_revstamp
    COMMAND revstamp::revstamp ${args}
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
