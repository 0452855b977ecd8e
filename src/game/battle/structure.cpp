#include "game/battle/structure.h"

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/structure_look.h"
#include "game/battle/structure_manager.h"
#include "game/battle/team_colours.h"

namespace game {

namespace {
// Timers count down in steps of 0.02 that floats do not hold exactly: a timer within this of 0 has run out,
// so that 0.2 s lasts ten ticks and not eleven.
constexpr float kTimerSlack = 1e-4f;
}  // namespace

int ProducerTypeForUnit(int unitType) {
    if (IsInfantryType(unitType)) return kStructureBarracks;
    switch (unitType) {
        case UT_FERRY:
        case UT_SUBMARINE:
        case UT_DESTROYER:
        case UT_CRUISER:
        case UT_AEGIS:
            return kStructureDockyard;
        case UT_SKYHOOK:
        case UT_BOMBER:
        case UT_FIGHTER:
            return kStructureAirport;
        default:
            break;
    }
    // The door is a wall piece of the map: it has a price in the tables but nobody builds it.
    if (unitType < 1 || unitType >= UT_DOOR) return 0;
    return kStructureFactory;
}

Structure::Structure(HexCoord hex, int team, StructureManager* manager, BattleContext* battle)
    : hex_(hex), team_(team), manager_(manager), battle_(battle) {}


void Structure::SetTargetMark(bool marked) {
    if (battle_ != nullptr && battle_->GetTeamControl(battle_->GetCurrentTeamKind()) == kControlComputer) return;
    targetMarked_ = marked;
}

void Structure::AddPad(Structure* pad) {
    for (auto& slot : pads_) {
        if (slot == nullptr) {
            slot = pad;
            return;
        }
    }
}

Structure* Structure::GetPad(int index) const {
    return index >= 0 && index < kMaxStructurePads ? pads_[static_cast<std::size_t>(index)] : nullptr;
}

Structure* Structure::FindFreePad() const {
    for (Structure* pad : pads_) {
        if (pad != nullptr && pad->IsHexFree()) return pad;
    }
    return nullptr;
}

bool Structure::IsHexFree() const { return battle_ == nullptr || battle_->FindUnitAt(hex_) == nullptr; }

int Structure::GetShopZoneType() const {
    switch (GetType()) {
        case kStructureFactory: return 6;
        case kStructureAirport: return 4;
        case kStructureDockyard: return 7;
        case kStructureBarracks: return 5;
        default: return 0;
    }
}

void Structure::SetOwner(int team) {
    // The owner indexes the palette and the per-team materials.
    if (team < 0 || team > kMaxTeamKind) return;
    team_ = team;
    captureProgress_ = 0.0f;
    capturingTeam_ = 0;
    if (manager_ != nullptr) manager_->OnOwnerChanged(*this);
    for (Structure* pad : pads_) {
        if (pad != nullptr && pad != this) pad->SetOwner(team);
    }
}

void Structure::AddCaptureProgress(float amount, int team) {
    if (team < 0 || team > kMaxTeamKind) return;
    if (capturingTeam_ != 0 && capturingTeam_ != team) {
        captureProgress_ = amount;
    } else {
        captureProgress_ += amount;
    }
    capturingTeam_ = team;
    if (captureProgress_ >= GetCaptureNeeded() || capturingTeam_ == team_) SetState(kStructureCaptured);
}

void Structure::SetState(int state) {
    state_ = state;
    if (state == kStructureCaptured) {
        SetOwner(capturingTeam_);
        popTimer_ = kCapturePopSeconds;
    } else if (state == kStructureFireworks) {
        fireworkTimer_ = battle_ != nullptr ? battle_->GetRandomStreams().NextFloat(0.0f, 0.5f, 0) : 0.0f;
    }
}

void Structure::Update() {
    if (incomeFlash_ > 0.0f) {
        incomeFlash_ -= kStructureTick;
        if (incomeFlash_ > kTimerSlack) return;
        incomeFlash_ = 0.0f;
    }
    if (state_ == kStructureCaptured) {
        popTimer_ -= kStructureTick;
        if (popTimer_ <= kTimerSlack) {
            popTimer_ = 0.0f;
            state_ = kStructureNormal;
            if (manager_ != nullptr) manager_->CheckAllOwnedByTeam1();
        }
    } else if (state_ == kStructureFireworks) {
        fireworkTimer_ -= kStructureTick;
        if (fireworkTimer_ <= kTimerSlack) LaunchFirework();
    }
}

void Structure::LaunchFirework() {
    if (battle_ == nullptr) return;
    engine::RandomStreams& random = battle_->GetRandomStreams();
    const int effect = random.NextInt(0, 2, 0);
    engine::Vec3 offset;
    offset.x = random.NextFloat(-0.5f, 0.5f, 0);
    offset.y = random.NextFloat(1.0f, 2.0f, 0);
    offset.z = random.NextFloat(-0.5f, 0.5f, 0);
    fireworkTimer_ += random.NextFloat(0.75f, 1.5f, 0);
    if (manager_ != nullptr) manager_->OnFirework(*this, effect, offset);
}

bool Structure::GetTint(std::uint32_t& colour) const {
    const engine::FrameTimer* clock = battle_ != nullptr ? &battle_->GetFrameTimer() : nullptr;
    return StructureTint(incomeFlash_, highlight_, targetMarked_, GetTeamColour(team_), clock, colour);
}

}  // namespace game
