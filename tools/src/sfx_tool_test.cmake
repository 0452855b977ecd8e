# One effect renders to a 22050 Hz mono WAV file; a faulty recipe is refused with its line; and without the
# speech program on the path, the full build fails naming its package before it writes anything.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${TOOL}" effect "${DATA}/Sound/sfx/buttonclick.txt" "${WORK}/out/Sound/buttonclick.wav"
                RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "sfx effect failed: ${err}")
endif()
file(READ "${WORK}/out/Sound/buttonclick.wav" header LIMIT 44 HEX)
# "RIFF" ... "WAVEfmt ", 16, PCM, mono, 22050 Hz, 44100 bytes a second, 2, 16 bits, "data".
if(NOT header MATCHES "^52494646........57415645666d742010000000010001002256000044ac0000020010006461746")
  message(FATAL_ERROR "unexpected WAV header: ${header}")
endif()

file(WRITE "${WORK}/bad.txt" "class ui\nlength 0.1\nlayer sine freq 440 colour blue\n")
execute_process(COMMAND "${TOOL}" effect "${WORK}/bad.txt" "${WORK}/bad.wav" RESULT_VARIABLE status ERROR_VARIABLE err)
if(status EQUAL 0 OR NOT err MATCHES "bad.txt:3: unknown layer key \"colour\"" OR EXISTS "${WORK}/bad.wav")
  message(FATAL_ERROR "the faulty recipe was not refused at line 3: ${err}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E env PATH=${WORK}/nothing "${TOOL}" all "${DATA}" "${WORK}/all"
                RESULT_VARIABLE status ERROR_VARIABLE err)
if(status EQUAL 0 OR NOT err MATCHES "install the Debian package \"espeak-ng\"" OR EXISTS "${WORK}/all")
  message(FATAL_ERROR "the build without espeak-ng did not fail naming it: ${err}")
endif()

execute_process(COMMAND "${TOOL}" spin RESULT_VARIABLE status ERROR_VARIABLE err)
if(status EQUAL 0 OR NOT err MATCHES "usage: sfx")
  message(FATAL_ERROR "an unknown command was not refused: ${err}")
endif()
