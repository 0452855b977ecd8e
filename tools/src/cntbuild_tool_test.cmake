# Builds a tree with every written type and three actions, which must read back whole; then a bad line, a
# missing material and a spawn of a later action must each be refused with nothing written.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/data/Units/Tank" "${WORK}/data/Effects")
file(WRITE "${WORK}/data/Effects/Smoke.MTL" "")
file(WRITE "${WORK}/tank.txt"
  "node -1 0 ignored\nframe 1 0 0 0 1 0 0 0 1 0 0 0\nframe 1 0 0 0 1 0 0 0 1 0 1 0\nremap 0 1\n"
  "node 0 1 Hull\nmesh Units/Tank/Hull\nposition 0 0.5 0\n"
  "node 1 7 Crew\nmesh Units/Tank/Crew\nbone 2\n"
  "node 0 0 Exhaust\n"
  "node 1 4 Smoke\nemit quad-size 1\nemit life 2\nemit rate 10\nemit duration 0\nemit colours FF808080 00808080\n"
  "emit-material Effects/Smoke\n"
  "node 0 10 Bounds\nbox -1 0 -2 1 1 2\n"
  "node 0 11 Path\nspline 1 0.5\nknot 0 0 0\nknot 1 0 0\n"
  "action idle loop\nframes 0 0.5\naction default spawn idle\nframes 0-1 0.25\naction walk loop\nframes 1 0.1\n")
execute_process(COMMAND "${TOOL}" "${WORK}/tank.txt" "${WORK}/data" "Units/Tank/Tank" RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "7 nodes; reads back as 7 nodes and 3 actions")
  message(FATAL_ERROR "tank: ${status} ${out} ${err}")
endif()
if(NOT EXISTS "${WORK}/data/Units/Tank/ZavicTank.TXT" OR EXISTS "${WORK}/data/Units/Tank/Tank.CNT.tmp")
  message(FATAL_ERROR "the animation text is missing or a temporary file was left behind")
endif()

foreach(case "node -1 0 root\nshape 3|line 2"
             "node -1 0 root\nmaterial Effects/Missing|no .MTL"
             "node -1 0 root\naction walk spawn run\naction run loop|not written before")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 source)
  list(GET parts 1 expected)
  file(WRITE "${WORK}/bad.txt" "${source}\n")
  execute_process(COMMAND "${TOOL}" "${WORK}/bad.txt" "${WORK}/data" "Bad" RESULT_VARIABLE status ERROR_VARIABLE err)
  if(status EQUAL 0 OR NOT err MATCHES "${expected}" OR EXISTS "${WORK}/data/Bad.CNT")
    message(FATAL_ERROR "not refused with '${expected}': ${err}")
  endif()
endforeach()
