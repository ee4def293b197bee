# Where the program's files go by `cmake --install`: on Linux the program in bin/, its help file
# in share/lumivane/ (the program looks for <executable>.HLP beside itself, then in
# ../share/lumivane/), a desktop entry and the icon, so that it appears in a desktop's
# application menu; on Windows the program with its help file beside it, in one folder.
# cmake/Package.cmake packs the same files.
include(GNUInstallDirs)

set(LUMIVANE_HELP_FILE ${PROJECT_SOURCE_DIR}/res/lumivane.HLP)

if(WIN32)
    target_sources(lumivane PRIVATE ${PROJECT_BINARY_DIR}/res/version.rc)
endif()

# A Windows program lives in its own folder, with no bin/ below it.
if(WIN32)
    set(LUMIVANE_PROGRAM_DIR .)
else()
    set(LUMIVANE_PROGRAM_DIR ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS lumivane RUNTIME DESTINATION ${LUMIVANE_PROGRAM_DIR})
if(NOT WIN32)
    # A stripped install (the package's) also drops the compiler's version notes.
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${LUMIVANE_PROGRAM_DIR}/lumivane\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")
endif()
if(WIN32)
    install(FILES ${LUMIVANE_HELP_FILE} DESTINATION ${LUMIVANE_PROGRAM_DIR})
else()
    # The program looks here relative to itself, so bin/ and share/ stay siblings.
    install(FILES ${LUMIVANE_HELP_FILE} DESTINATION share/lumivane)
endif()
# On Windows the icon travels inside the executable and the Start menu entry comes from the
# installer. On Linux: the manual page, a desktop entry, the icons a desktop picks its sizes
# from, and the AppStream metainfo by which software centres list the program.
if(NOT WIN32)
    # Compressed as manual pages are installed (no name or time in the gzip header, so that
    # every build makes the same file).
    find_program(LUMIVANE_GZIP gzip REQUIRED)
    set(manual ${PROJECT_BINARY_DIR}/docs/lumivane.1)
    add_custom_command(OUTPUT ${manual}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/lumivane.1 ${manual}
        COMMAND ${LUMIVANE_GZIP} -9nf ${manual}
        DEPENDS ${PROJECT_SOURCE_DIR}/docs/lumivane.1
        COMMENT "Compressing the manual page" VERBATIM)
    add_custom_target(lumivane_manual ALL DEPENDS ${manual}.gz)
    install(FILES ${manual}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    install(FILES ${PROJECT_SOURCE_DIR}/res/lumivane.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # Written from res/lumivane.xpm, the Windows icon's source too, by scripts/make-icon.
    foreach(size 16 32 48 64 128 256)
        install(FILES ${PROJECT_SOURCE_DIR}/res/icons/hicolor/${size}x${size}/apps/lumivane.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    configure_file(${PROJECT_SOURCE_DIR}/res/lumivane.metainfo.xml.in
                   ${PROJECT_BINARY_DIR}/res/${LUMIVANE_APPSTREAM_ID}.metainfo.xml @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/res/${LUMIVANE_APPSTREAM_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
