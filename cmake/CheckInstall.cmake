cmake_minimum_required(VERSION 3.22)
# Installs the build into a scratch prefix and checks that a desktop finds the program there,
# and that the installed program finds its help file:
#   cmake -DBUILD_DIR=<build> -DPREFIX=<scratch> -P cmake/CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(installed bin/lumivane share/lumivane/lumivane.HLP share/man/man1/lumivane.1.gz
              share/applications/lumivane.desktop share/metainfo/org.example.lumivane.metainfo.xml)
foreach(size 16 32 48 64 128 256)
    list(APPEND installed share/icons/hicolor/${size}x${size}/apps/lumivane.png)
endforeach()
foreach(path IN LISTS installed)
    if(NOT EXISTS ${PREFIX}/${path})
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
# Programs only in bin/.
if(EXISTS ${PREFIX}/bin/lumivane.HLP)
    message(FATAL_ERROR "the help file is installed in bin/")
endif()
file(STRINGS ${PREFIX}/share/applications/lumivane.desktop entry)
foreach(line "Type=Application" "Exec=lumivane" "Icon=lumivane")
    if(NOT line IN_LIST entry)
        message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
endforeach()

# The installed program takes the help file from share/lumivane/, with none beside it.
file(REAL_PATH ${PREFIX} prefix)
execute_process(COMMAND ${PREFIX}/bin/lumivane --help RESULT_VARIABLE result OUTPUT_VARIABLE usage)
string(FIND "${usage}" "\n  ${prefix}/share/lumivane/lumivane.HLP  (found)\n" found)
if(NOT result EQUAL 0 OR found EQUAL -1)
    message(FATAL_ERROR "the installed lumivane --help (status ${result}) does not name "
                        "${prefix}/share/lumivane/lumivane.HLP as found:\n${usage}")
endif()
message(STATUS "installed layout is complete")
