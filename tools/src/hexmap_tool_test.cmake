# Runs the hexmap tool on the sample map: build, dump, and build of a source with a stray build pad.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

execute_process(COMMAND "${TOOL}" build "${SOURCE}" "${WORK}/GameMap.Hex" RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "build of the sample failed: ${err}")
endif()
if(EXISTS "${WORK}/GameMap.Hex.tmp")
  message(FATAL_ERROR "the temporary file was left behind")
endif()

execute_process(COMMAND "${TOOL}" dump "${WORK}/GameMap.Hex" RESULT_VARIABLE status OUTPUT_VARIABLE dumped)
if(NOT status EQUAL 0 OR NOT dumped MATCHES "grid 48 38")
  message(FATAL_ERROR "dump of the sample failed")
endif()

# The dump builds again to the same bytes.
file(WRITE "${WORK}/again.txt" "${dumped}")
execute_process(COMMAND "${TOOL}" build "${WORK}/again.txt" "${WORK}/again.Hex" RESULT_VARIABLE status)
file(SHA256 "${WORK}/GameMap.Hex" first)
file(SHA256 "${WORK}/again.Hex" second)
if(NOT status EQUAL 0 OR NOT first STREQUAL second)
  message(FATAL_ERROR "the dump does not build back to the same file")
endif()

file(READ "${SOURCE}" source)
file(WRITE "${WORK}/bad.txt" "${source}\nstructure A0 1\n")
execute_process(COMMAND "${TOOL}" build "${WORK}/bad.txt" "${WORK}/GameMap.Hex" RESULT_VARIABLE status
                ERROR_VARIABLE err)
if(status EQUAL 0 OR NOT err MATCHES "A0")
  message(FATAL_ERROR "a stray build pad was not refused by name: ${err}")
endif()
file(SHA256 "${WORK}/GameMap.Hex" kept)
if(NOT kept STREQUAL first)
  message(FATAL_ERROR "a refused build changed the old file")
endif()
