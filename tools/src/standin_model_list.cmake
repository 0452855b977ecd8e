# The unit, structure, projectile and effect models that start-up loads and that data/ may not hold yet: the
# build writes a small stand-in container for each one missing (standin_models.cmake).
set(STANDIN_MODELS
    Units/Trooper/Unit Units/Engineer/Unit Units/LightTank/Unit Units/MedTank/Unit Units/HeavyTank/Unit
    Units/MLRS/Unit Units/Artillery/Unit Units/APC/Unit Units/Truck/Unit Units/TransportBoat/Unit
    Units/TransportChopper/Unit Units/Bomber/Unit Units/Fighter/Unit Units/Sniper/Unit Units/AntiAir/Unit
    Units/Grenadier/Unit Units/Grunt/Unit Units/Submarine/Unit Units/Destroyer/Unit Units/Cruiser/Unit
    Units/Aegis/Unit Units/Generalisimo/Unit Units/SuperSoldier/Unit Structures/Wall_Closed/Wall_Closed
    Projectiles/CanonBall Projectiles/Rocket Projectiles/FireSpit Projectiles/Grenade)
set(STANDIN_EFFECTS
    MuzzleExhaust MuzzleFlashSmall MuzzleFlashSniper EngineerSuck ComboTracer tank_track_smoke ComboFlare
    BloodSplatSmall Ricochet ComboExplosion_airbourne1 ComboExplosion_airbourne2 ComboExplosion_airbourne3
    ComboExplosion_ground1 ComboExplosion_ground2 ComboExplosion_ground3 ComboExplosion_water1 Combo_chard
    ComboExplosion_grenade ComboExplosion_missile ComboExplosion_barrage Combo_Unit_build Combo_resupply
    Combo_splash_small Combo_fireworks_red Combo_fireworks_green Combo_fireworks_yellow Rocket)
