# One step of the installed-package tests (tests/install_consumer/tests.cmake),
# run with cmake -P. STEP chooses:
#   install       installs a static or a shared hashbench (LINKAGE) into
#                 PREFIX: this build tree when it is of that kind (BUILD_DIR,
#                 BUILD_SHARED), else a build of the libraries alone made from
#                 PROJECT_DIR with the same compiler and flags; then runs
#                 the installed program, if any, and compiles every
#                 installed header on its own against PREFIX/include.
#   find_package  configures, builds and runs the consumer project here
#                 against PREFIX through find_package(hashbench).
#   pkg_config    compiles and links the consumer with the flags that
#                 pkg-config gives for PREFIX's hashbench.pc, and runs it.
# The consumer's output must equal expected_output.txt; a shared consumer
# must need the libraries by their SONAME, a static one must not need them.
# Other variables: WORK_DIR, CXX_COMPILER, CXX_FLAGS, LINKER_FLAGS,
# BUILD_TYPE, GENERATOR, and for the libraries' own build CXX_STANDARD,
# SANITIZE, WERROR and TABLE_CHECKS.
set(consumerSource "${CMAKE_CURRENT_LIST_DIR}")
separate_arguments(cxxFlags UNIX_COMMAND "${CXX_FLAGS}")
separate_arguments(linkerFlags UNIX_COMMAND "${LINKER_FLAGS}")

function(run_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${result}): ${command}\n${out}")
  endif()
endfunction()

# Output of a command that must succeed, stripped.
function(output_of variable)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err
    OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "failed (${result}): ${command}\n${err}")
  endif()
  set(${variable} "${out}" PARENT_SCOPE)
endfunction()

function(install_package)
  file(REMOVE_RECURSE "${PREFIX}")
  if(BUILD_SHARED STREQUAL LINKAGE)
    run_step("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}")
  else()
    if(LINKAGE STREQUAL "shared")
      set(shared ON)
    else()
      set(shared OFF)
    endif()
    set(libraryBuild "${WORK_DIR}/library-build")
    run_step("${CMAKE_COMMAND}" -S "${PROJECT_DIR}" -B "${libraryBuild}" -G "${GENERATOR}"
      "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}" "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}"
      "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DBUILD_SHARED_LIBS=${shared}"
      "-DCMAKE_CXX_STANDARD=${CXX_STANDARD}" "-DHASHBENCH_SANITIZE=${SANITIZE}"
      "-DHASHBENCH_WERROR=${WERROR}" "-DHASHBENCH_TABLE_CHECKS=${TABLE_CHECKS}"
      -DHASHBENCH_PROGRAM=OFF -DHASHBENCH_TESTS=OFF)
    run_step("${CMAKE_COMMAND}" --build "${libraryBuild}" --parallel 2)
    run_step("${CMAKE_COMMAND}" --install "${libraryBuild}" --prefix "${PREFIX}")
  endif()
  # The installed program, where this tree builds it, runs from the prefix
  # (with shared libraries, found next to it): its 75 lines on the stream
  # console, "Done" last.
  if(EXISTS "${PREFIX}/bin/hashbench")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY "${PREFIX}/bin/hashbench"
      INPUT_FILE /dev/null RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(REGEX MATCHALL "\n" lineEnds "${out}")
    list(LENGTH lineEnds lines)
    if(NOT result EQUAL 0 OR NOT lines EQUAL 75 OR NOT out MATCHES "\nDone\n$")
      message(FATAL_ERROR "the installed program (exit ${result}, ${lines} lines):\n${out}${err}")
    endif()
  endif()
  # Every installed header stands alone: it includes nothing that is not installed.
  file(GLOB_RECURSE headers RELATIVE "${PREFIX}/include" "${PREFIX}/include/*.h")
  if(NOT headers)
    message(FATAL_ERROR "no headers installed under ${PREFIX}/include")
  endif()
  foreach(header IN LISTS headers)
    file(WRITE "${WORK_DIR}/header-check.cpp" "#include <${header}>\n")
    run_step("${CXX_COMPILER}" ${cxxFlags} -std=c++20 -fsyntax-only "-I${PREFIX}/include"
      "${WORK_DIR}/header-check.cpp")
  endforeach()
endfunction()

function(build_with_find_package program)
  set(build "${WORK_DIR}/build")
  file(REMOVE_RECURSE "${build}")
  run_step("${CMAKE_COMMAND}" -S "${consumerSource}" -B "${build}" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${PREFIX}" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
    "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
    "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}")
  run_step("${CMAKE_COMMAND}" --build "${build}")
  set(${program} "${build}/consumer" PARENT_SCOPE)
endfunction()

function(build_with_pkg_config program)
  find_program(pkgConfig NAMES pkg-config pkgconf REQUIRED)
  file(GLOB pcFiles "${PREFIX}/lib*/pkgconfig/hashbench.pc" "${PREFIX}/lib/*/pkgconfig/hashbench.pc")
  if(NOT pcFiles)
    message(FATAL_ERROR "no hashbench.pc installed under ${PREFIX}")
  endif()
  list(GET pcFiles 0 pcFile)
  get_filename_component(pcDir "${pcFile}" DIRECTORY)
  set(ENV{PKG_CONFIG_PATH} "${pcDir}")
  set(static)
  if(LINKAGE STREQUAL "static")
    set(static --static)
  endif()
  output_of(cflags "${pkgConfig}" --cflags hashbench)
  output_of(libs "${pkgConfig}" ${static} --libs hashbench)
  output_of(libdir "${pkgConfig}" --variable=libdir hashbench)
  separate_arguments(cflags UNIX_COMMAND "${cflags}")
  separate_arguments(libs UNIX_COMMAND "${libs}")
  set(rpath)
  if(LINKAGE STREQUAL "shared")
    set(rpath "-Wl,-rpath,${libdir}")
  endif()
  file(MAKE_DIRECTORY "${WORK_DIR}")
  set(out "${WORK_DIR}/consumer")
  run_step("${CXX_COMPILER}" ${cxxFlags} -std=c++20 ${cflags} "${consumerSource}/main.cpp"
    -o "${out}" ${linkerFlags} ${rpath} ${libs})
  set(${program} "${out}" PARENT_SCOPE)
endfunction()

# The libraries the program needs at run time must be those of its linkage.
function(check_linkage program)
  find_program(readelf NAMES readelf)
  if(NOT readelf)
    return()
  endif()
  output_of(dynamic "${readelf}" -d "${program}")
  foreach(library IN ITEMS runtime containers)
    string(FIND "${dynamic}" "[libhashbench_${library}.so.0]" at)
    if(LINKAGE STREQUAL "shared" AND at EQUAL -1)
      message(FATAL_ERROR "the shared consumer does not need libhashbench_${library}.so.0:\n${dynamic}")
    elseif(LINKAGE STREQUAL "static" AND NOT at EQUAL -1)
      message(FATAL_ERROR "the static consumer needs libhashbench_${library}.so.0:\n${dynamic}")
    endif()
  endforeach()
endfunction()

function(run_consumer program)
  execute_process(COMMAND "${program}" RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the consumer failed (${result}):\n${out}${err}")
  endif()
  file(READ "${consumerSource}/expected_output.txt" expected)
  if(NOT out STREQUAL expected)
    file(WRITE "${WORK_DIR}/output.txt" "${out}")
    execute_process(COMMAND diff -u "${consumerSource}/expected_output.txt" "${WORK_DIR}/output.txt"
      OUTPUT_VARIABLE difference)
    message(FATAL_ERROR "the consumer's output differs from expected_output.txt:\n${difference}")
  endif()
endfunction()

if(STEP STREQUAL "install")
  install_package()
elseif(STEP STREQUAL "find_package")
  build_with_find_package(program)
  check_linkage("${program}")
  run_consumer("${program}")
elseif(STEP STREQUAL "pkg_config")
  build_with_pkg_config(program)
  check_linkage("${program}")
  run_consumer("${program}")
else()
  message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()
