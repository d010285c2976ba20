# Install rules, the CMake package find_package(revstamp) finds, and the packages CPack makes:
# a .tar.gz and a .deb on POSIX hosts, a flat zip for Windows.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
if(WIN32)
  # A flat zip: unpack it anywhere and call revstamp.exe from a pre-build step.
  set(bin_dir .)
  set(package_dir cmake)
  install(FILES README.md DESTINATION .)
  install(DIRECTORY docs DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  set(bin_dir ${CMAKE_INSTALL_BINDIR})
  # Not under the multiarch library directory: find_package looks in lib/cmake on every host.
  set(package_dir lib/cmake/revstamp)
  install(FILES doc/revstamp.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY docs DESTINATION ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR TGZ DEB)
endif()
install(TARGETS ${revstamp_tool} EXPORT revstampTargets RUNTIME DESTINATION ${bin_dir})
install(EXPORT revstampTargets NAMESPACE revstamp:: DESTINATION ${package_dir})
# A tool for the build machine: a consumer whose firmware is 32-bit must still accept it.
write_basic_package_version_file(revstampConfigVersion.cmake COMPATIBILITY SameMajorVersion
                                 ARCH_INDEPENDENT)
install(FILES cmake/revstampConfig.cmake cmake/RevstampStamp.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/revstampConfigVersion.cmake
        DESTINATION ${package_dir})

set(CPACK_PACKAGE_VENDOR "revstamp developers")
set(CPACK_PACKAGE_CONTACT "revstamp developers <dev@revstamp.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stamps Git revision facts into a firmware header")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS git)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
include(CPack)
