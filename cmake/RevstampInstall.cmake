# Install rules, the CMake package find_package(revstamp) finds, and the packages CPack makes:
# a .tar.gz and a .deb on POSIX hosts, a flat zip for Windows.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
set(CPACK_PACKAGE_CONTACT "revstamp developers <dev@revstamp.invalid>")
if(WIN32)
  # A flat zip: unpack it anywhere and call revstamp.exe from a pre-build step.
  set(bin_dir .)
  set(package_dir cmake)
  install(FILES README.md LICENSE DESTINATION .)
  install(DIRECTORY docs DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  set(bin_dir ${CMAKE_INSTALL_BINDIR})
  # Not under the multiarch library directory: find_package looks in lib/cmake on every host.
  set(package_dir lib/cmake/revstamp)
  include(cmake/RevstampDebian.cmake)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/revstamp.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md LICENSE ${CMAKE_CURRENT_BINARY_DIR}/copyright
                ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY docs DESTINATION ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR TGZ DEB)
endif()
install(TARGETS ${revstamp_tool} EXPORT revstampTargets RUNTIME DESTINATION ${bin_dir})
if(REVSTAMP_STATIC)
  # Only in the .tar.gz (RevstampCPack.cmake): the .deb and an install from source are for the
  # machine they were built on, whose C library bin/revstamp uses.
  install(TARGETS revstamp_static RUNTIME DESTINATION ${bin_dir} COMPONENT static EXCLUDE_FROM_ALL)
endif()
install(EXPORT revstampTargets NAMESPACE revstamp:: DESTINATION ${package_dir})
# A tool for the build machine: a consumer whose firmware is 32-bit must still accept it.
write_basic_package_version_file(revstampConfigVersion.cmake COMPATIBILITY SameMajorVersion
                                 ARCH_INDEPENDENT)
install(FILES cmake/revstampConfig.cmake cmake/RevstampStamp.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/revstampConfigVersion.cmake
        DESTINATION ${package_dir})

set(CPACK_PACKAGE_VENDOR "revstamp developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Stamps Git revision facts into a firmware header")
# Lines as the .deb shows them: Debian asks for 80 characters at most.
set(CPACK_PACKAGE_DESCRIPTION [[
revstamp runs before every firmware compile. It asks Git how many commits HEAD
reaches, for a commit hash and whether the work tree has changes, and writes
them as preprocessor macros into ../applications/revision.h, which the
firmware includes.

A second argument starting with s gives the targeted form: build-target names
and the submodule listing as well. A CMake helper, revstamp_stamp(), stamps
before a target builds, also when the firmware is cross-compiled.]])
# Release packages carry no symbols: the .deb's lintian and the Windows zip's size both ask it.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS git)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_REVSTAMP_STATIC ${REVSTAMP_STATIC})
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/cmake/RevstampCPack.cmake)
include(CPack)
