# Stand-in models for the loose data folder: until the data set holds the unit models, the shared particle
# effects and the projectile models, the program could not start (a missing unit model stops start-up). For
# each such file that data/ does not provide, a small container is written with cntbuild: a unit is a group
# holding one mesh node (its model, missing too, loads as a unit box), an effect a single short-lived emitter.
# Run as: cmake -DTOOL=<cntbuild> -DSOURCE=<data/> -DDATA=<Data/PC> -DWORK=<scratch folder> -P standin_models.cmake
set(_models
    Units/Trooper/Unit Units/Engineer/Unit Units/LightTank/Unit Units/MedTank/Unit Units/HeavyTank/Unit
    Units/MLRS/Unit Units/Artillery/Unit Units/APC/Unit Units/Truck/Unit Units/TransportBoat/Unit
    Units/TransportChopper/Unit Units/Bomber/Unit Units/Fighter/Unit Units/Sniper/Unit Units/AntiAir/Unit
    Units/Grenadier/Unit Units/Grunt/Unit Units/Submarine/Unit Units/Destroyer/Unit Units/Cruiser/Unit
    Units/Aegis/Unit Units/Generalisimo/Unit Units/SuperSoldier/Unit Structures/Wall_Closed/Wall_Closed
    Projectiles/CanonBall Projectiles/Rocket Projectiles/FireSpit Projectiles/Grenade)
set(_effects
    MuzzleExhaust MuzzleFlashSmall MuzzleFlashSniper EngineerSuck ComboTracer tank_track_smoke ComboFlare
    BloodSplatSmall Ricochet ComboExplosion_airbourne1 ComboExplosion_airbourne2 ComboExplosion_airbourne3
    ComboExplosion_ground1 ComboExplosion_ground2 ComboExplosion_ground3 ComboExplosion_water1 Combo_chard
    ComboExplosion_grenade ComboExplosion_missile ComboExplosion_barrage Combo_Unit_build Combo_resupply
    Combo_splash_small Combo_fireworks_red Combo_fireworks_green Combo_fireworks_yellow Rocket)

file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/model.txt" "node -1 0 standin\nnode 0 1 body\nmesh StandIn/Box\n")
file(WRITE "${WORK}/effect.txt" "node -1 4 standin\nemit life 0.1\nemit rate 1\nemit quad-size 0.1\n")

function(_standin path tree)
    if(EXISTS "${SOURCE}/${path}.CNT" OR EXISTS "${DATA}/${path}.CNT")
        return()
    endif()
    execute_process(COMMAND "${TOOL}" "${tree}" "${DATA}" "${path}" RESULT_VARIABLE _result OUTPUT_QUIET)
    if(NOT _result EQUAL 0)
        message(FATAL_ERROR "cntbuild could not write the stand-in ${path}")
    endif()
endfunction()

foreach(_path IN LISTS _models)
    _standin(${_path} "${WORK}/model.txt")
endforeach()
foreach(_name IN LISTS _effects)
    _standin(Particles/${_name} "${WORK}/effect.txt")
endforeach()
