# GoogleTest for a cross build, compiled from Debian's sources (the googletest
# package, /usr/src/googletest) with the cross compiler. Its own build
# defines the GTest:: targets that find_package(GTest) would.
set(HASHBENCH_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${HASHBENCH_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "hashbench: no GoogleTest sources in ${HASHBENCH_GOOGLETEST_SOURCE} (Debian: googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${HASHBENCH_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
