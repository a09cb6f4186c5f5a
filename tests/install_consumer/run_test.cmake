# Installs a built tree into a fresh prefix, then configures, builds and runs
# the consumer project against it. Variables: BUILD_DIR, SOURCE_DIR, WORK_DIR,
# CXX_COMPILER, CXX_FLAGS, LINKER_FLAGS, BUILD_TYPE.
file(REMOVE_RECURSE "${WORK_DIR}")

function(run_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}\n${out}")
  endif()
endfunction()

run_step("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK_DIR}/prefix")
run_step("${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/build"
  "-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
  "-DCMAKE_BUILD_TYPE=${BUILD_TYPE}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
  "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}")
run_step("${CMAKE_COMMAND}" --build "${WORK_DIR}/build")
run_step("${WORK_DIR}/build/consumer")
