# `cpack` in a build directory: on Linux a Debian package of the program, on Windows a zip and
# an installer made with NSIS. Both hold what cmake/Install.cmake installs; the Debian package
# also its copyright file and Debian changelog.

# Who answers for the packages. A packager gives their own name and address when configuring
# (make deb DEB_MAINTAINER="Name <address>"), or through DEBFULLNAME and DEBEMAIL as for dch.
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
    set(maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
    set(maintainer "The Lumivane developers <lumivane@example.org>")
endif()
set(LUMIVANE_DEB_MAINTAINER ${maintainer} CACHE STRING
    "Maintainer of the packages, as \"Name <address>\"")
set(LUMIVANE_DEB_REVISION 1 CACHE STRING "Debian revision of the package (<version>-<revision>)")

set(CPACK_PACKAGE_NAME lumivane)
set(CPACK_PACKAGE_VENDOR "The Lumivane developers")
set(CPACK_PACKAGE_CONTACT ${LUMIVANE_DEB_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Sets the levels of eight consecutive DMX512 channels with faders and sends them over an \
RS-232 serial port to a DMX interface device.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${LUMIVANE_HOMEPAGE})
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
    # The installer keeps its folder and start menu folder under Software\<vendor>\Lumivane;
    # CPack's uninstaller deletes that key but leaves the vendor's, empty. Once the uninstall
    # has succeeded (the start menu folder has been read from the key by then), the vendor's
    # key goes too if nothing else is in it. CPack writes these lines at the script's top level,
    # and into its own configuration unescaped: hence NSIS's single quotes, and four backslashes.
    set(CPACK_NSIS_DEFINES "Function un.onUninstSuccess
  DeleteRegKey /ifempty SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}'
FunctionEnd")
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
    set(CPACK_DEBIAN_PACKAGE_RELEASE ${LUMIVANE_DEB_REVISION})
    # Below the synopsis (the summary above), in lines of at most 80 columns.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lumivane is a small show-control console for a lighting operator's laptop.
Its one window holds eight vertical faders that set the levels of eight
consecutive DMX512 channels. Every half second it sends the levels that
changed over an RS-232 serial port (a USB serial adapter, or a built-in port)
to a DMX interface box, as addressed and checksummed frames.
.
Channels can be grouped to move together, switched on and off for sending,
and shown in percent or as DMX values. Help on every control comes with F1.")
    # The library packages come from the binary (dpkg-shlibdeps), not from a hand-kept list.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

    # The Debian changelog and copyright file, and lintian's overrides, in the package only:
    # CPack runs this script into its staging tree, `cmake --install` does not.
    set(LUMIVANE_DEB_VERSION ${PROJECT_VERSION}-${LUMIVANE_DEB_REVISION})
    set(debian ${PROJECT_BINARY_DIR}/packaging/debian)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in
                   ${debian}/changelog.Debian @ONLY)
    add_custom_command(OUTPUT ${debian}/changelog.Debian.gz
        COMMAND ${LUMIVANE_GZIP} -9nkf ${debian}/changelog.Debian
        DEPENDS ${debian}/changelog.Debian
        COMMENT "Compressing the Debian changelog" VERBATIM)
    add_custom_target(lumivane_debian_changelog ALL DEPENDS ${debian}/changelog.Debian.gz)
    file(WRITE ${debian}/InstallDebianDocs.cmake
         "file(INSTALL ${PROJECT_SOURCE_DIR}/packaging/debian/copyright\n"
         "             ${debian}/changelog.Debian.gz\n"
         "     DESTINATION ${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/lumivane)\n"
         "file(INSTALL ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides\n"
         "     DESTINATION ${CPACK_PACKAGING_INSTALL_PREFIX}/share/lintian/overrides\n"
         "     RENAME lumivane)\n")
    set(CPACK_INSTALL_SCRIPTS ${debian}/InstallDebianDocs.cmake)
endif()

include(CPack)
