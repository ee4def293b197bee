# Debian packages GoogleTest for the build machine only; a cross build compiles the sources that
# libgtest-dev ships, with the same compiler as the code under test.
set(LUMIVANE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${LUMIVANE_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${LUMIVANE_GTEST_SOURCE}: install libgtest-dev")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Its own CMake defines the GTest::gtest, GTest::gmock, ... targets the tests link.
add_subdirectory(${LUMIVANE_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
