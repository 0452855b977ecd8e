# Stand-in models: until the data set holds the unit models, the shared particle effects and the projectile
# models, the program could not start (a missing unit model stops start-up). For each such file that data/
# does not provide, a small container is written with cntbuild into the data folder given (the data set's
# staging folder, or a test's loose data folder): a unit is a group holding one mesh node (its model, missing
# too, loads as a unit box), an effect a single short-lived emitter.
# Run as: cmake -DTOOL=<cntbuild> -DSOURCE=<data/> -DDATA=<data folder> -DWORK=<scratch folder>
#               [-DGENERATED=<list of entries another generator writes>] -P standin_models.cmake
cmake_policy(SET CMP0057 NEW)
include("${CMAKE_CURRENT_LIST_DIR}/standin_model_list.cmake")
set(_generated "")
if(GENERATED)
    file(STRINGS "${GENERATED}" _generated)
endif()

file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/model.txt" "node -1 0 standin\nnode 0 1 body\nmesh StandIn/Box\n")
file(WRITE "${WORK}/effect.txt" "node -1 4 standin\nemit life 0.1\nemit rate 1\nemit quad-size 0.1\n")

function(_standin path tree)
    if(EXISTS "${SOURCE}/${path}.CNT" OR "${path}.CNT" IN_LIST _generated)
        return()
    endif()
    execute_process(COMMAND "${TOOL}" "${tree}" "${DATA}" "${path}" RESULT_VARIABLE _result OUTPUT_QUIET)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "cntbuild could not write the stand-in ${path}")
    endif()
endfunction()

foreach(_path IN LISTS STANDIN_MODELS)
    _standin(${_path} "${WORK}/model.txt")
endforeach()
foreach(_name IN LISTS STANDIN_EFFECTS)
    _standin(Particles/${_name} "${WORK}/effect.txt")
endforeach()
