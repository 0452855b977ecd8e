# The entries the data set expects of modelgen (modelgen_entries.txt) are the ones it writes.
execute_process(COMMAND "${TOOL}" list all "${DATA}" OUTPUT_VARIABLE listed RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "modelgen list failed: ${err}")
endif()
file(READ "${EXPECTED}" expected)
if(NOT listed STREQUAL expected)
  message(FATAL_ERROR "modelgen_entries.txt is out of date: run `modelgen list all data > tools/src/modelgen_entries.txt`")
endif()
