cmake_minimum_required(VERSION 3.22)
# Installs the build into a scratch prefix and checks that a desktop finds the program there:
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch> -P cmake/CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path bin/lumivane share/lumivane/lumivane.HLP share/applications/lumivane.desktop
             share/icons/hicolor/32x32/apps/lumivane.xpm)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
file(STRINGS ${PREFIX}/share/applications/lumivane.desktop entry)
foreach(line "Type=Application" "Exec=lumivane" "Icon=lumivane")
    if(NOT line IN_LIST entry)
        message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
endforeach()
message(STATUS "installed layout is complete")
