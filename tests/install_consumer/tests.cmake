# The installed package as a project outside this tree uses it: a static and
# a shared install, each used by a consumer built with find_package and one
# built with pkg-config. The install of this tree's own kind comes from this
# tree; the other kind is a build of the libraries alone, with the same
# compiler and flags. Included from tests/CMakeLists.txt; the steps are in
# run_test.cmake.
if(HASHBENCH_SANITIZE)
  set(_hb_consumer_flags "-fsanitize=${HASHBENCH_SANITIZE}")
endif()
if(BUILD_SHARED_LIBS)
  set(_hb_build_linkage shared)
else()
  set(_hb_build_linkage static)
endif()
set(_hb_consumer_root ${CMAKE_CURRENT_BINARY_DIR}/install_consumer)
set(_hb_consumer_args
  -DPROJECT_DIR=${PROJECT_SOURCE_DIR}
  -DBUILD_DIR=${PROJECT_BINARY_DIR}
  -DBUILD_SHARED=${_hb_build_linkage}
  -DCXX_COMPILER=${CMAKE_CXX_COMPILER}
  -DBUILD_TYPE=${CMAKE_BUILD_TYPE}
  -DGENERATOR=${CMAKE_GENERATOR}
  "-DCXX_FLAGS=${CMAKE_CXX_FLAGS} ${_hb_consumer_flags}"
  "-DLINKER_FLAGS=${CMAKE_EXE_LINKER_FLAGS} ${_hb_consumer_flags}"
  -DCXX_STANDARD=${CMAKE_CXX_STANDARD}
  -DSANITIZE=${HASHBENCH_SANITIZE}
  -DWERROR=${HASHBENCH_WERROR}
  -DTABLE_CHECKS=${HASHBENCH_TABLE_CHECKS})

foreach(linkage IN ITEMS static shared)
  set(prefix ${_hb_consumer_root}/${linkage}/prefix)
  add_test(NAME InstalledPackage.Install_${linkage}
    COMMAND ${CMAKE_COMMAND} ${_hb_consumer_args} -DSTEP=install -DLINKAGE=${linkage} -DPREFIX=${prefix}
      -DWORK_DIR=${_hb_consumer_root}/${linkage}/install
      -P ${CMAKE_CURRENT_LIST_DIR}/run_test.cmake)
  set_tests_properties(InstalledPackage.Install_${linkage} PROPERTIES
    TIMEOUT 900 FIXTURES_SETUP hashbench_install_${linkage})
  if(NOT linkage STREQUAL _hb_build_linkage)
    # Builds the libraries with two jobs.
    set_tests_properties(InstalledPackage.Install_${linkage} PROPERTIES PROCESSORS 2)
  endif()
  foreach(step IN ITEMS find_package pkg_config)
    add_test(NAME InstalledPackage.Consumer_${step}_${linkage}
      COMMAND ${CMAKE_COMMAND} ${_hb_consumer_args} -DSTEP=${step} -DLINKAGE=${linkage} -DPREFIX=${prefix}
        -DWORK_DIR=${_hb_consumer_root}/${linkage}/${step}
        -P ${CMAKE_CURRENT_LIST_DIR}/run_test.cmake)
    set_tests_properties(InstalledPackage.Consumer_${step}_${linkage} PROPERTIES
      TIMEOUT 300 FIXTURES_REQUIRED hashbench_install_${linkage})
  endforeach()
endforeach()
