#pragma once
// What each unit class asks of its model, kept in one table beside the catalogue: the parts it looks up, the
// muzzle effects with the matrix steps that place them, the launcher with its scale or elevation, the turret
// and barrel motion of the turreted classes, the rotors of the helicopters and the animations the classes
// play. The classes read their figures from here, and the model check reads the names the models must hold.
#include <array>
#include <span>
#include <vector>

#include "engine/core/matrix.h"

namespace game {

// One step on a copy of a node's world matrix: a turn about its own X or Y axis (degrees in x), a move along
// its own axes, or a move along the world axes.
enum class StepKind { kNone, kRotX, kRotY, kMove, kMoveWorld };
struct MatrixStep {
    StepKind kind = StepKind::kNone;
    float x = 0.0f, y = 0.0f, z = 0.0f;
};
using MatrixSteps = std::array<MatrixStep, 3>;

// The matrix after the steps, in their order.
engine::Matrix44 ApplySteps(engine::Matrix44 matrix, const MatrixSteps& steps);

// How a class's shot leaves.
enum class LaunchKind { kNone, kBullet, kShell, kGrenade, kMortar, kBurst, kRocketSalvo, kLobbedRocket, kFireBarrage };

struct WeaponRow {
    // The part whose world matrix the effects start from; null: the model itself.
    const char* part = nullptr;
    // The effect prototypes (null: none) and the steps that place each.
    std::array<const char*, 2> effects{};
    std::array<MatrixSteps, 2> effectSteps{};
    LaunchKind launch = LaunchKind::kNone;
    // Shell scale, or elevation in degrees of a ballistic launch.
    float launchValue = 0.0f;
    // The part the launch frame starts from (null: the model) and its steps.
    const char* launchPart = nullptr;
    MatrixSteps launchSteps{};
    // A level sound the class plays after its launch; 0 when the launch chooses its own.
    int sound = 0;
};

struct TurretRow {
    const char* turret = nullptr;  // for the rocket launcher: the launcher
    const char* barrel = nullptr;  // null: the launcher turns only
    std::array<const char*, 2> wheels{};
    float turretSnap = 2.0f;
    float turretDivisor = 10.0f;
    // 0: the barrel aims at the target's aim point; else it rises to this fixed elevation.
    float fixedElevation = 0.0f;
    float barrelSnap = 1.1f;
    float barrelStep = 0.5f;
    float restTurretSnap = 3.0f;
    float restTurretStep = 2.0f;
    float restBarrelSnap = 0.7f;
    float restBarrelStep = 0.3f;
    float recoilDecay = 0.9f;
    float kick = 0.1f;
    // The anti-air classes fire a looping one-second burst.
    bool firingLoop = false;
};

// The engineer's suction: the effect, the steps that place it from the model's own matrix, and the part of
// the model whose tip marks where it draws in.
struct SuctionRow {
    const char* effect = nullptr;
    MatrixSteps steps{};
    const char* intake = nullptr;
};

struct UnitClassRow {
    int type = 0;
    // Height of the aim point above the position; 0: the base rule.
    float aimPointRaise = 0.0f;
    WeaponRow weapon;
    const TurretRow* turret = nullptr;
    // Rotor parts (matched by containment) of the helicopters.
    std::array<const char*, 2> rotors{};
    // The animations the class plays; the model must hold them.
    std::span<const char* const> animations;
    // The capture's suction (the engineer only).
    SuctionRow suction;
};

// The hull node of the turreted classes, which vibrates, and the grenadier's grenade in the hand.
inline constexpr const char* kBodyPartName = "Unit";
inline constexpr const char* kGrenadePartName = "grenade";

// The row of a type 1..24; types without behaviour of their own have an empty row.
const UnitClassRow& GetUnitClassRow(int unitType);

// The nodes the type's model must hold: named parts (matched without regard to case) and, for the
// helicopters, the rotor texts a node name must contain. Each name once.
std::vector<const char*> RequiredPartNames(int unitType);

}  // namespace game
