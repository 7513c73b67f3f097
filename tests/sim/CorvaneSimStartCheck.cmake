# Runs corvane-sim with options it must refuse at start-up, and checks that each run ends at
# once with a failing status and a message naming what was wrong.
function(expect_refused what)
  execute_process(COMMAND ${SIM} --address 127.92.2.60 ${ARGN}
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors TIMEOUT 20)
  if(status EQUAL 0 OR NOT status MATCHES "^[0-9]+$")
    message(FATAL_ERROR "corvane-sim ${ARGN}: exited with '${status}', expected a failure")
  endif()
  if(NOT "${output}${errors}" MATCHES "${what}")
    message(FATAL_ERROR "corvane-sim ${ARGN}: no message about ${what}: ${output}${errors}")
  endif()
endfunction()

string(ASCII 1 control)
string(REPEAT "f" 300 long)
expect_refused("--name" --name "array${control}")
expect_refused("--firmware" --firmware "${long}")
expect_refused("--serial" --serial "serial\t")
expect_refused("state-missing-folder" --state "${WORK}/state-missing-folder/state.json")
