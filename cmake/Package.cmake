# `cpack` in a build directory: on Linux a Debian package of the program, on Windows a zip and
# an installer made with NSIS. Both hold what cmake/Install.cmake installs.
set(CPACK_PACKAGE_NAME lumivane)
set(CPACK_PACKAGE_VENDOR "The Lumivane developers")
set(CPACK_PACKAGE_CONTACT "The Lumivane developers <lumivane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Sets the levels of eight consecutive DMX512 channels with faders and sends them over an \
RS-232 serial port to a DMX interface device.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Lumivane)
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP NSIS)
    # Start menu entry: lumivane.exe under the name "Lumivane".
    set(CPACK_PACKAGE_EXECUTABLES lumivane Lumivane)
    set(CPACK_NSIS_DISPLAY_NAME Lumivane)
    set(CPACK_NSIS_PACKAGE_NAME Lumivane)
    set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
    set(CPACK_NSIS_INSTALLED_ICON_NAME lumivane.exe)
    set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
    # The zip is lumivane-<version>-win32.zip, the installer lumivane-<version>-setup.exe.
    set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/PackageNames.cmake)
    file(WRITE ${CPACK_PROJECT_CONFIG_FILE}
         "if(CPACK_GENERATOR STREQUAL \"NSIS\")\n"
         "    set(CPACK_PACKAGE_FILE_NAME lumivane-${PROJECT_VERSION}-setup)\n"
         "else()\n"
         "    set(CPACK_PACKAGE_FILE_NAME lumivane-${PROJECT_VERSION}-win32)\n"
         "endif()\n")
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION misc)
    # The library packages come from the binary (dpkg-shlibdeps), not from a hand-kept list.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
