# cmake --install puts the runtime and container libraries, their headers and a
# package config in place:  find_package(hashbench)  then link hashbench::containers.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS hashbench_runtime hashbench_containers
  EXPORT hashbenchTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/hashbench)
install(DIRECTORY runtime/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/hashbench/runtime
  FILES_MATCHING PATTERN "*.h")
install(DIRECTORY containers/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/hashbench/containers
  FILES_MATCHING PATTERN "*.h")
install(EXPORT hashbenchTargets NAMESPACE hashbench::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/hashbench)
configure_package_config_file(cmake/hashbenchConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/hashbenchConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/hashbench)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/hashbenchConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/hashbenchConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/hashbenchConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/hashbench)
