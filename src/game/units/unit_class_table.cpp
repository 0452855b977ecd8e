#include "game/units/unit_class_table.h"

#include <string_view>

#include "game/battle/battle_types.h"

namespace game {

namespace {

constexpr MatrixStep RotX(float degrees) { return {StepKind::kRotX, degrees, 0.0f, 0.0f}; }
constexpr MatrixStep RotY(float degrees) { return {StepKind::kRotY, degrees, 0.0f, 0.0f}; }
constexpr MatrixStep Move(float x, float y, float z) { return {StepKind::kMove, x, y, z}; }
constexpr MatrixStep MoveWorld(float x, float y, float z) { return {StepKind::kMoveWorld, x, y, z}; }

constexpr const char* kFlashSmall = "Particles/MuzzleFlashSmall";
constexpr const char* kExhaust = "Particles/MuzzleExhaust";
constexpr const char* kFlashSniper = "Particles/MuzzleFlashSniper";
constexpr const char* kTracer = "Particles/ComboTracer";
constexpr const char* kSuck = "Particles/EngineerSuck";

// Level sounds the infantry's weapons play.
constexpr int kSoundRifleSniper = 2;
constexpr int kSoundRifleStandard = 3;

const char* const kStanding[] = {"idle", "bored1", "bored2", "bored3", "bored4", "bored5", "run", "jump",
                                 "aim", "shoot", "die", "cower", "cowerloop", "hit1", "hit2", "hit3",
                                 "celebrate", "despair"};
const char* const kProne[] = {"idle", "bored1", "bored2", "bored3", "bored4", "bored5", "run", "jump",
                              "aim", "shoot", "die", "cower", "cowerloop", "hit1", "hit2", "hit3",
                              "celebrate", "despair", "stoodidle", "stand", "getdown", "getup"};
const char* const kGrenadier[] = {"idle", "bored1", "bored2", "bored3", "bored4", "bored5", "run", "jump",
                                  "aim", "shoot1", "shoot2", "die", "cower", "cowerloop", "hit1", "hit2",
                                  "hit3", "celebrate", "despair"};
const char* const kEngineer[] = {"idle", "bored1", "bored2", "bored3", "bored4", "bored5", "run", "jump",
                                 "die", "cower", "cowerloop", "hit1", "hit2", "hit3", "celebrate", "despair",
                                 "suck", "jumpin"};

// Muzzle effects on the barrel: flash and exhaust moved forward along the barrel and turned to face out.
WeaponRow BarrelShell(float forward, float scale) {
    WeaponRow row;
    row.part = nullptr;  // the barrel, set by the turret row
    row.effects = {kFlashSmall, kExhaust};
    row.effectSteps = {MatrixSteps{Move(0, 0, forward), RotX(180)}, MatrixSteps{Move(0, 0, forward), RotX(180)}};
    row.launch = LaunchKind::kShell;
    row.launchValue = scale;
    return row;
}

const TurretRow kLightTankTurret{"tank_turret", "tank_barrels", {"tank_wheels_left", "tank_wheels_right"},
                                 2, 10, 0, 1.1f, 0.5f, 3, 2, 0.7f, 0.3f, 0.9f, 0.1f, false};
const TurretRow kMedTankTurret{"tank_turret", "tank_barrrel", {"tank_track_left", "tank_track_right"},
                               2, 10, 0, 1.1f, 0.5f, 3, 2, 0.7f, 0.3f, 0.9f, 0.1f, false};
const TurretRow kHeavyTankTurret{"tank_turret", "tank_barrel", {"tank_wheel_left", "tank_wheel_right"},
                                 2, 10, 0, 1.1f, 0.5f, 3, 2, 0.7f, 0.3f, 0.9f, 0.2f, false};
const TurretRow kAntiAirTurret{"antiaircraft_turret", "antiaircraft_guns",
                               {"antiaircraft_track_left", "antiaircraft_track_right"},
                               1, 20, 0, 1.1f, 0.5f, 3, 2, 0.7f, 0.3f, 0.9f, 0.1f, true};
const TurretRow kDestroyerTurret{"destroyer_turret", "destroyer_gun", {},
                                 1, 20, 0, 1.1f, 0.5f, 3, 2, 0.7f, 0.3f, 0.9f, 0.1f, false};
const TurretRow kAegisTurret{"antiair_turret", "antiair_guns", {},
                             1, 20, 0, 1.1f, 0.5f, 3, 2, 0.7f, 0.3f, 0.9f, 0.1f, true};
const TurretRow kMlrsLauncher{"artillery_gun", nullptr, {"artillery_wheels_left", "artillery_wheels_right"},
                              2, 10, 0, 1.1f, 0.5f, 3, 2, 0.7f, 0.3f, 0.8f, 0.05f, false};
const TurretRow kArtilleryTurret{"artillery_heavy_body_turret", "artillery_heavy_missile_holder",
                                 {"artillery_heavy_wheels_left", "artillery_heavy_body_right"},
                                 2, 10, 60, 1.1f, 1.0f, 3, 2, 1.1f, 1.0f, 0.99f, 0.2f, false};
const TurretRow kCruiserTurret{"crusier_turret", "cruiser_gun", {},
                               1, 20, 60, 1.1f, 1.0f, 3, 2, 1.1f, 1.0f, 0.99f, 0.2f, false};

UnitClassRow Infantry(int type, std::span<const char* const> animations, float raise, WeaponRow weapon) {
    UnitClassRow row;
    row.type = type;
    row.aimPointRaise = raise;
    row.weapon = weapon;
    row.animations = animations;
    return row;
}

WeaponRow Rocketeer(const char* part, MatrixSteps steps) {
    WeaponRow w;
    w.part = part;
    w.effects = {kFlashSmall, kExhaust};
    w.effectSteps = {steps, steps};
    w.launch = LaunchKind::kShell;
    w.launchValue = 0.06f;
    return w;
}

WeaponRow Rifle(const char* part, MatrixSteps steps, int sound) {
    WeaponRow w;
    w.part = part;
    w.effects = {kFlashSniper, nullptr};
    w.effectSteps = {steps, MatrixSteps{}};
    w.launch = LaunchKind::kBullet;
    w.sound = sound;
    return w;
}

UnitClassRow Turreted(int type, const TurretRow& turret, WeaponRow weapon) {
    UnitClassRow row;
    row.type = type;
    row.weapon = weapon;
    row.turret = &turret;
    return row;
}

UnitClassRow Aircraft(int type, const char* rotor1, const char* rotor2, WeaponRow weapon) {
    UnitClassRow row;
    row.type = type;
    row.rotors = {rotor1, rotor2};
    row.weapon = weapon;
    return row;
}

std::array<UnitClassRow, kUnitTypeCount> BuildTable() {
    std::array<UnitClassRow, kUnitTypeCount> t{};
    for (int i = 0; i < kUnitTypeCount; ++i) t[static_cast<std::size_t>(i)].type = i;
    auto at = [&t](int type) -> UnitClassRow& { return t[static_cast<std::size_t>(type)]; };

    at(UT_TROOPER) = Infantry(UT_TROOPER, kStanding, 0.3f,
                              Rocketeer("bazooka", MatrixSteps{RotY(90), Move(0.08f, 0.13f, 0.25f)}));
    at(UT_SUPERSOLDIER) = Infantry(UT_SUPERSOLDIER, kStanding, 0.3f,
                                   Rocketeer(nullptr, MatrixSteps{Move(-0.165f, 0.41f, -0.6f), RotY(180)}));
    at(UT_GENERAL) = Infantry(UT_GENERAL, kStanding, 0.3f,
                              Rifle(nullptr, MatrixSteps{Move(-0.175f, 0.482f, -0.585f), RotY(180)},
                                    kSoundRifleStandard));
    at(UT_GRUNT) = Infantry(UT_GRUNT, kProne, 0.3f,
                            Rifle("rifle_rifle", MatrixSteps{RotY(180), Move(0.005f, 0.085f, 0.5f)},
                                  kSoundRifleStandard));
    at(UT_SNIPER) = Infantry(UT_SNIPER, kProne, 0.2f,
                             Rifle("sniper_rifle", MatrixSteps{RotY(180), Move(0.005f, 0.085f, 0.5f)},
                                   kSoundRifleSniper));
    WeaponRow grenade;
    grenade.launch = LaunchKind::kGrenade;
    grenade.launchValue = 45.0f;
    grenade.launchSteps = {MoveWorld(0.25f, 0.5f, 0.0f), RotY(180), RotX(-45)};
    at(UT_GRENADIER) = Infantry(UT_GRENADIER, kGrenadier, 0.3f, grenade);
    at(UT_ENGINEER) = Infantry(UT_ENGINEER, kEngineer, 0.3f, WeaponRow{});
    // The suction turns to face the way the engineer faces and rises to its middle.
    at(UT_ENGINEER).suction = {kSuck, MatrixSteps{RotY(180), MoveWorld(0.0f, 0.25f, 0.0f)}, "engineer_intake"};

    at(UT_LIGHT_TANK) = Turreted(UT_LIGHT_TANK, kLightTankTurret, BarrelShell(-0.27f, 0.05f));
    at(UT_MED_TANK) = Turreted(UT_MED_TANK, kMedTankTurret, BarrelShell(-0.3f, 0.06f));
    at(UT_HEAVY_TANK) = Turreted(UT_HEAVY_TANK, kHeavyTankTurret, BarrelShell(-0.5f, 0.07f));
    at(UT_DESTROYER) = Turreted(UT_DESTROYER, kDestroyerTurret, BarrelShell(-0.27f, 0.05f));
    WeaponRow burst;
    burst.effects = {kTracer, kTracer};
    burst.effectSteps = {MatrixSteps{Move(-0.1f, 0, -0.27f), RotX(180)}, MatrixSteps{Move(0.1f, 0, -0.27f), RotX(180)}};
    burst.launch = LaunchKind::kBurst;
    at(UT_ANTIAIR) = Turreted(UT_ANTIAIR, kAntiAirTurret, burst);
    at(UT_AEGIS) = Turreted(UT_AEGIS, kAegisTurret, burst);
    WeaponRow salvo;
    salvo.launch = LaunchKind::kRocketSalvo;
    salvo.launchPart = "artillery_gun";
    salvo.launchSteps = {RotX(210), Move(0, -0.25f, 0.15f)};
    at(UT_MLRS) = Turreted(UT_MLRS, kMlrsLauncher, salvo);
    WeaponRow mortar = BarrelShell(-0.3f, 0.0f);
    mortar.launch = LaunchKind::kMortar;
    mortar.launchValue = 60.0f;
    mortar.launchSteps = {RotX(180)};
    at(UT_ARTILLERY) = Turreted(UT_ARTILLERY, kArtilleryTurret, mortar);
    mortar.launchPart = nullptr;
    at(UT_CRUISER) = Turreted(UT_CRUISER, kCruiserTurret, mortar);

    at(UT_SKYHOOK) = Aircraft(UT_SKYHOOK, "Helicopter_blades_01", "Helicopter_blades_02", WeaponRow{});
    WeaponRow lobbed;
    lobbed.launch = LaunchKind::kLobbedRocket;
    lobbed.launchValue = 10.0f;
    lobbed.launchSteps = {RotX(180)};
    at(UT_BOMBER) = Aircraft(UT_BOMBER, "bomber_blades_01", "bomber_blades_02", lobbed);
    WeaponRow barrage;
    barrage.launch = LaunchKind::kFireBarrage;
    barrage.launchSteps = {RotX(210), Move(0, -0.1f, 0)};
    at(UT_FIGHTER) = Aircraft(UT_FIGHTER, "fighter_blades_01", "fighter_blades_02", barrage);
    return t;
}



}  // namespace

engine::Matrix44 ApplySteps(engine::Matrix44 matrix, const MatrixSteps& steps) {
    for (const MatrixStep& step : steps) {
        switch (step.kind) {
            case StepKind::kRotX: matrix.RotateXLocal(step.x); break;
            case StepKind::kRotY: matrix.RotateYLocal(step.x); break;
            case StepKind::kMove: matrix.TranslateLocal(step.x, step.y, step.z); break;
            case StepKind::kMoveWorld: matrix.TranslateWorld(step.x, step.y, step.z); break;
            case StepKind::kNone: break;
        }
    }
    return matrix;
}

const UnitClassRow& GetUnitClassRow(int unitType) {
    static const std::array<UnitClassRow, kUnitTypeCount> table = BuildTable();
    if (unitType < 0 || unitType >= kUnitTypeCount) return table[0];
    return table[static_cast<std::size_t>(unitType)];
}

std::vector<const char*> RequiredPartNames(int unitType) {
    const UnitClassRow& row = GetUnitClassRow(unitType);
    std::vector<const char*> names;
    const auto add = [&names](const char* name) {
        if (name == nullptr) return;
        for (const char* known : names) {
            if (std::string_view(known) == name) return;
        }
        names.push_back(name);
    };
    add(row.weapon.part);
    add(row.weapon.launchPart);
    add(row.suction.intake);
    if (row.turret != nullptr) {
        add(row.turret->turret);
        add(row.turret->barrel);
        for (const char* wheels : row.turret->wheels) add(wheels);
        add(kBodyPartName);
    }
    if (unitType == UT_GRENADIER) add(kGrenadePartName);
    for (const char* rotor : row.rotors) add(rotor);
    return names;
}

}  // namespace game
