# cmake --install puts in place: the runtime and container libraries, their
# public headers under include/hashbench/ (#include <hashbench/containers/string_bag.h>),
# a CMake package config (find_package(hashbench), then link
# hashbench::containers), a pkg-config file (pkg-config hashbench), the
# licence and the change log, and the hashbench program when it is built.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The headers a user of the libraries includes, as the project names them. A
# header listed here includes no project header but others listed here; test
# aids and the table machinery stay out. The installed copies reach each other
# as "hashbench/runtime/..." and "hashbench/containers/...", so that nothing
# but <prefix>/include goes on a user's include path.
set(HASHBENCH_PUBLIC_HEADERS
  runtime/alloc.h
  runtime/array.h
  runtime/class_registry.h
  runtime/counted_block.h
  runtime/dyn_string.h
  runtime/errors.h
  runtime/format.h
  runtime/object.h
  runtime/ref.h
  runtime/short_bytes.h
  runtime/string_ops.h
  runtime/unknown.h
  runtime/unknown_impl.h
  containers/cpp_containers.h
  containers/dword_to_iunknown_map.h
  containers/string_bag.h
  containers/string_to_iunknown_map.h
  containers/string_to_string_map.h
  containers/stored_views.h
)

install(TARGETS hashbench_runtime hashbench_containers
  EXPORT hashbenchTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Headers and the pkg-config file are written at install time, so that they
# name the prefix that cmake --install --prefix chose.
install(CODE "
  include(\"${PROJECT_SOURCE_DIR}/cmake/InstallSteps.cmake\")
  hashbench_install_headers(\"${PROJECT_SOURCE_DIR}\" \"${PROJECT_BINARY_DIR}/installed-headers\"
    \"${CMAKE_INSTALL_INCLUDEDIR}/hashbench\" \"${HASHBENCH_PUBLIC_HEADERS}\")
  hashbench_install_pkg_config(\"${PROJECT_SOURCE_DIR}/cmake/hashbench.pc.in\"
    \"${PROJECT_BINARY_DIR}/hashbench.pc\" \"${CMAKE_INSTALL_LIBDIR}\" \"${CMAKE_INSTALL_INCLUDEDIR}\"
    \"${PROJECT_VERSION}\")
")

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
install(FILES LICENSE CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The program; with shared libraries it finds them relative to itself.
if(HASHBENCH_PROGRAM)
  if(BUILD_SHARED_LIBS AND NOT WIN32)
    file(RELATIVE_PATH _hb_bin_to_lib "/${CMAKE_INSTALL_BINDIR}" "/${CMAKE_INSTALL_LIBDIR}")
    set_target_properties(hashbench PROPERTIES INSTALL_RPATH "\$ORIGIN/${_hb_bin_to_lib}")
  endif()
  install(TARGETS hashbench RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
