# Runs the kesvo tool on an example session and compares its output.
execute_process(COMMAND ${KESVO} ${INPUT} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "kesvo exited with ${rc}")
endif()
file(READ ${EXPECTED} expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "kesvo output differs from ${EXPECTED}:\n${out}")
endif()
