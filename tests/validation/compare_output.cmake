# Runs PROGRAM and compares its standard output with GOLDEN byte for byte; the exit status must be 0.
execute_process(COMMAND ${PROGRAM} OUTPUT_VARIABLE actual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} exited with status ${status}")
endif()
file(READ ${GOLDEN} expected)
if(NOT actual STREQUAL expected)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/actual-output.txt "${actual}")
  message(FATAL_ERROR "output differs from ${GOLDEN}; actual output written to "
                      "${CMAKE_CURRENT_BINARY_DIR}/actual-output.txt")
endif()
