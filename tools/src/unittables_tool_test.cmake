# Runs the unittables check on the project's data, then on copies with one fault seeded each: a short row,
# two rows swapped, a non-zero ENGINEER damage row and a missing file. Each fault must be named by file,
# row and column (or by file alone when the file is missing).
execute_process(COMMAND "${TOOL}" check "${DATA}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the project's unit tables fail the check: ${err}")
endif()

file(READ "${DATA}/Units/BasicParams.TXT" basic)
file(READ "${DATA}/Units/Damage.TXT" damage)

# seed(<name> <BasicParams text> <Damage text> <expected message regex>)
function(seed name basic_text damage_text expected)
  set(dir "${WORK}/${name}")
  file(REMOVE_RECURSE "${dir}")
  file(MAKE_DIRECTORY "${dir}/Units")
  if(NOT basic_text STREQUAL "MISSING")
    file(WRITE "${dir}/Units/BasicParams.TXT" "${basic_text}")
  endif()
  if(NOT damage_text STREQUAL "MISSING")
    file(WRITE "${dir}/Units/Damage.TXT" "${damage_text}")
  endif()
  execute_process(COMMAND "${TOOL}" check "${dir}" RESULT_VARIABLE status ERROR_VARIABLE err)
  if(status EQUAL 0)
    message(FATAL_ERROR "${name}: the seeded fault was not found")
  endif()
  if(NOT err MATCHES "${expected}")
    message(FATAL_ERROR "${name}: expected a message matching '${expected}', got: ${err}")
  endif()
endfunction()

# A short row: the last cell of the MLRS row dropped.
string(REGEX REPLACE "(UT_MLRS,[^\n]*), +[0-9]+\n" "\\1\n" short_row "${basic}")
seed(short_row "${short_row}" "${damage}" "BasicParams\\.TXT: row 6, column 19: 19 cells")

# Two rows swapped: LIGHT_TANK and MED_TANK.
string(REGEX MATCH "UT_LIGHT_TANK,[^\n]*" light "${basic}")
string(REGEX MATCH "UT_MED_TANK,[^\n]*" medium "${basic}")
string(REPLACE "${light}" "@LIGHT@" swapped "${basic}")
string(REPLACE "${medium}" "${light}" swapped "${swapped}")
string(REPLACE "@LIGHT@" "${medium}" swapped "${swapped}")
seed(swapped_rows "${swapped}" "${damage}" "BasicParams\\.TXT: row 3, column 0: keyword \"UT_MED_TANK\"")

# An ENGINEER that can shoot troopers.
string(REGEX REPLACE "(UT_ENGINEER, +)0," "\\1 25," armed "${damage}")
seed(armed_engineer "${basic}" "${armed}" "Damage\\.TXT: row 2, column 1: UT_ENGINEER cannot attack")

seed(missing_damage "${basic}" "MISSING" "Units/Damage: missing")
seed(missing_basic "MISSING" "${damage}" "Units/BasicParams: missing")
