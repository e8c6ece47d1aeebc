# Installs the built project into a fresh prefix, then configures, builds and runs the consumer
# example against that prefix only.
file(REMOVE_RECURSE ${WORK_DIR})
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
  if(result)
    message(FATAL_ERROR "${what} failed: ${result}")
  endif()
endfunction()
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
run("configuring the consumer" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G Ninja
    -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix -DCMAKE_CXX_FLAGS=${CXX_FLAGS}
    -DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS})
run("building the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run("the consumer" ${WORK_DIR}/build/consumer ${JOB} ${WORK_DIR}/completed.par)
run("the installed kestcmd" ${WORK_DIR}/prefix/bin/kestcmd check ${WORK_DIR}/completed.par)
