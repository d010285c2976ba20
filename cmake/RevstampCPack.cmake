# Read by CPack before each package: the .tar.gz adds the statically linked bin/revstamp-static
# to what every package carries, for build servers whose C library is older than the one
# bin/revstamp was linked against.
if(CPACK_GENERATOR STREQUAL "TGZ" AND CPACK_REVSTAMP_STATIC)
  string(REGEX MATCH "^[^;]*" build_dir "${CPACK_INSTALL_CMAKE_PROJECTS}")
  list(APPEND CPACK_INSTALL_CMAKE_PROJECTS "${build_dir}" revstamp static /)
endif()
