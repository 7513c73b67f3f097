# Runs orvcim with tracing on for a command that fails at once, and checks the records.
file(REMOVE ${TRACE_FILE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env MWTRACE_OUTPUT_FILE=${TRACE_FILE} MWTRACE_CATEGORY=TC.Info,TC.Error
                        ${ORVCIM} listen --address 127.0.0.999 --from 127.0.0.1
                RESULT_VARIABLE status ERROR_VARIABLE errors TIMEOUT 20)
if(NOT status EQUAL 1)
  message(FATAL_ERROR "orvcim exited with ${status}, expected 1: ${errors}")
endif()
if(NOT EXISTS ${TRACE_FILE})
  message(FATAL_ERROR "orvcim wrote no trace file")
endif()
file(READ ${TRACE_FILE} records)
foreach(expected "orvcim listen" "orvcim listen failed: --address")
  string(FIND "${records}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no trace record with \"${expected}\" in:\n${records}")
  endif()
endforeach()
