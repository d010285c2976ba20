# Taken in by a project that cross-compiles (its firmware is for a microcontroller): revstamp
# runs during that build, so it is built for this machine, not for the target. Gives
# revstamp::revstamp as an imported executable, from REVSTAMP_HOST_EXECUTABLE when that names
# an installed revstamp, else built with the host compiler by a project of its own.
set(REVSTAMP_HOST_EXECUTABLE "" CACHE FILEPATH
    "A revstamp that runs on this machine; empty to build one with the host compiler")
add_executable(revstamp::revstamp IMPORTED GLOBAL)
if(REVSTAMP_HOST_EXECUTABLE)
  if(NOT EXISTS "${REVSTAMP_HOST_EXECUTABLE}")
    message(FATAL_ERROR "REVSTAMP_HOST_EXECUTABLE ${REVSTAMP_HOST_EXECUTABLE} does not exist.")
  endif()
  set_target_properties(revstamp::revstamp PROPERTIES IMPORTED_LOCATION
                                                      "${REVSTAMP_HOST_EXECUTABLE}")
  return()
endif()
# A STRING, not a FILEPATH: a FILEPATH would turn a compiler's name into a path under the build.
set(REVSTAMP_HOST_CXX_COMPILER "" CACHE STRING
    "C++ compiler for revstamp's host build, a name on PATH or a full path; empty: the default")
include(ExternalProject)
set(revstamp_host_bin "${CMAKE_CURRENT_BINARY_DIR}/host/bin")
set(revstamp_host_exe "${revstamp_host_bin}/revstamp")
if(CMAKE_HOST_WIN32)
  string(APPEND revstamp_host_exe ".exe")
endif()
# The sub-build must find the host's own compiler. CMake would take the cross compiler, its
# flags or its toolchain file from the environment that SDK set-up scripts export, so the
# sub-build runs without them, and no toolchain file is handed on.
set(revstamp_host_env "${CMAKE_COMMAND}" -E env)
foreach(variable CC CXX CFLAGS CXXFLAGS LDFLAGS CMAKE_TOOLCHAIN_FILE)
  list(APPEND revstamp_host_env --unset=${variable})
endforeach()
set(revstamp_host_args -DCMAKE_BUILD_TYPE=Release -DREVSTAMP_TESTS=OFF -DREVSTAMP_DEMO=OFF
    -DREVSTAMP_INSTALL=OFF "-DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${revstamp_host_bin}"
    "-DCMAKE_RUNTIME_OUTPUT_DIRECTORY_RELEASE=${revstamp_host_bin}")
if(REVSTAMP_HOST_CXX_COMPILER)
  list(APPEND revstamp_host_args "-DCMAKE_CXX_COMPILER=${REVSTAMP_HOST_CXX_COMPILER}")
endif()
if(CMAKE_MAKE_PROGRAM)
  list(APPEND revstamp_host_args "-DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}")
endif()
ExternalProject_Add(revstamp_host
  SOURCE_DIR "${PROJECT_SOURCE_DIR}"
  BINARY_DIR "${CMAKE_CURRENT_BINARY_DIR}/host"
  CONFIGURE_COMMAND ${revstamp_host_env} "${CMAKE_COMMAND}" -G "${CMAKE_GENERATOR}"
                    ${revstamp_host_args} -S <SOURCE_DIR> -B <BINARY_DIR>
  BUILD_COMMAND ${revstamp_host_env} "${CMAKE_COMMAND}" --build <BINARY_DIR> --target revstamp
                --config Release
  BUILD_BYPRODUCTS "${revstamp_host_exe}"
  INSTALL_COMMAND "")
set_target_properties(revstamp::revstamp PROPERTIES IMPORTED_LOCATION "${revstamp_host_exe}")
