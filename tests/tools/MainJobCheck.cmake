# Runs scripts/run, the main job, against this build tree and the simulated array, as a
# user would: first with an initiator name that is not an iSCSI name, which must stop the
# job with the reason and a failure status, then as it is. The second run starts its simulated array
# on the address of the first, so it also finds out whether the first one was stopped.
# Before them a run names an array at an address where none answers.
#   -DSOURCE_DIR=... -DBUILD_DIR=... -DSIM_ADDRESS=127.94.x.x -DABSENT_ADDRESS=127.94.y.y

function(run_main_job output_var status_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ORV_NO_BUILD=1 ORV_BUILD_DIR=${BUILD_DIR}
                          ORV_SIM_ADDRESS=${SIM_ADDRESS} ${ARGN} ${SOURCE_DIR}/scripts/run
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
  set(${output_var} "${out}${err}" PARENT_SCOPE)
  set(${status_var} "${status}" PARENT_SCOPE)
endfunction()

function(expect_in text what)
  foreach(pattern ${ARGN})
    if(NOT text MATCHES "${pattern}")
      message(FATAL_ERROR "${what}: no match for \"${pattern}\" in:\n${text}")
    endif()
  endforeach()
endfunction()

# An array nobody answers for: the job must not go on as if it managed one.
run_main_job(unreachable unreachable_status ORV_ARRAY_HOST=${ABSENT_ADDRESS} ORV_ARRAY_PASSWORD=secret)
if(unreachable_status EQUAL 0)
  message(FATAL_ERROR "the main job succeeded without an array at ${ABSENT_ADDRESS}:\n${unreachable}")
endif()
expect_in("${unreachable}" "the run without an array"
          "scripts/run: the provider could not log in to the array at ${ABSENT_ADDRESS}: Not Reachable")

run_main_job(refused refused_status ORV_INITIATOR=not-an-iscsi-name)
if(refused_status EQUAL 0)
  message(FATAL_ERROR "the main job succeeded with an initiator name that is not one:\n${refused}")
endif()
expect_in("${refused}" "the refused run"
          "\"not-an-iscsi-name\" is not a well-formed iSCSI initiator name"
          "scripts/run: orvraid failed \\(exit status [1-9]\\) while it created the LUN")

run_main_job(out status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the main job ended with ${status}:\n${out}")
endif()
expect_in("${out}" "the main job"
          # the array was added and logged in through the service
          "${SIM_ADDRESS} +admin +Connected"
          # the new LUN, unmasked to the initiator
          "Size +: 1073741824 bytes"
          "Unmasked for +: iqn\\.2026-12\\.com\\.example:demo-host"
          # its target now asks for CHAP
          "CHAP +: Enabled"
          # notifications that orvraid watch printed
          "[0-9:.]+  subsystem arrived {"
          "[0-9:.]+  LUN arrived {")
