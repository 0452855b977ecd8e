#include "game/level/turn_start_events.h"

#include <cstdint>

#include "engine/core/matrix.h"
#include "engine/core/wide_string.h"
#include "game/battle/battle_context.h"
#include "game/battle/structure.h"
#include "game/battle/unit_params.h"
#include "game/level/level.h"
#include "game/level/level_services.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"
#include "game/units/unit.h"

namespace game {
namespace {

constexpr int kSoundIncome = 36;
constexpr int kSoundRepaired = 37;
constexpr int kAchievementMillionaire = 14;
constexpr std::uint32_t kMillion = 1000000u;

engine::WideString IconText(const char* icon, const engine::WideString& text) {
    engine::WideString out(icon);
    out.Append(text);
    return out;
}

void ShowUnitText(TurnStartContext& context, const Unit& unit, const engine::WideString& text) {
    engine::Vec3 at;
    unit.GetAimPoint(at);
    context.level.GetFloatingTexts().Add(text, at);
}

// Full repair, fuel and ammunition to capacity, the unit's own resupply call and its movement again.
void Service(Unit& unit, bool quiet) {
    const UnitParams& params = unit.GetParams();
    unit.SetFuel(params.fuelCapacity);
    unit.SetAmmo(params.ammoCapacity);
    unit.Resupply(quiet);
    unit.SetMovementLeft(unit.GetMoveAllowance());
}

}  // namespace

bool TurnStartEvent::Wait() {
    wait_ -= kTurnStartTick;
    return wait_ <= 0.0f;
}

HexCoord UnitTurnStartEvent::GetHex() const { return unit_.GetHexPos(); }

bool UnitTurnStartEvent::Run(TurnStartContext& context) {
    if (step_ == 0) {
        if (unit_.GetState() == kUnitDying || unit_.GetState() == kUnitGone) return true;
        if (context.animated) context.teams.Services().LookAtUnit(unit_);
        if (Start(context) || !context.animated) return true;
        step_ = 1;
        wait_ = kTurnStartWait;
        return false;
    }
    return Continue(context);
}

bool UnitTurnStartEvent::Continue(TurnStartContext&) { return Wait(); }

void PayRefineryIncome(TurnStartContext& context, int teamKind) {
    if (teamKind == kTeamEnemy) return;
    if (Team* team = context.teams.FindTeam(teamKind)) team->AddCash(50);
    BattleContext& battle = context.level.Battle();
    if (teamKind != kTeamBlue || battle.GetGameMode() == kGameModePassAndPlay) return;
    LevelServices& services = context.level.Services();
    const std::uint32_t before = services.GetTotalIncome();
    services.AddTotalIncome(50);
    if (before < kMillion && before + 50u >= kMillion) battle.UnlockAchievement(kAchievementMillionaire);
}

HexCoord IncomeEvent::GetHex() const { return refinery_.GetHex(); }

bool IncomeEvent::Run(TurnStartContext& context) {
    if (step_ != 0) return Wait();
    LevelServices& services = context.level.Services();
    engine::Vec3 surface;
    context.level.GetHexMap().GetSurfacePoint(surface, refinery_.GetHex());
    if (context.animated) {
        services.LookAtHex(refinery_.GetHex());
        refinery_.StartIncomeFlash();
        engine::Matrix44 placement;
        placement.InitRotationX(-90.0f);
        placement.SetTranslationV(surface);
        services.AddEffect(kIncomeCoinsEffect, placement);
    }
    PayRefineryIncome(context, teamKind_);
    context.level.GetFloatingTexts().Add(engine::WideString("@X[000]+50"), surface);
    if (!context.animated) return true;
    services.PlayLevelSound(kSoundIncome);
    step_ = 1;
    wait_ = kTurnStartWait;
    return false;
}

bool PadServiceEvent::Start(TurnStartContext& context) {
    if (context.animated) unit_.StartWaitTimer();
    unit_.RepairFully();
    Service(unit_, true);
    ShowUnitText(context, unit_, IconText("@X[002]", context.level.Battle().GetText("REPAIRED")));
    if (context.animated) context.level.Services().PlayLevelSound(kSoundRepaired);
    return false;
}

bool UnitResupplyEvent::Start(TurnStartContext&) {
    Service(unit_, false);
    return false;
}

bool PadClearEvent::Start(TurnStartContext& context) {
    ShowUnitText(context, unit_, IconText("@X[010]", context.level.Battle().GetText("GEN_NOPE")));
    unit_.Kill(!context.animated, nullptr);
    return false;
}

bool FuelLossEvent::Start(TurnStartContext& context) {
    if (context.animated) unit_.StartWaitTimer();
    unit_.SetFuel(unit_.GetFuel() - unit_.GetParams().fuelCapacity * 0.05f);
    ShowUnitText(context, unit_, engine::WideString("@X[003]-5%"));
    if (!context.animated && unit_.GetFuel() <= 0.0f) {
        unit_.SetFuel(0.0f);
        unit_.Kill(false, nullptr);
    }
    return false;
}

bool FuelLossEvent::Continue(TurnStartContext& context) {
    if (step_ == 1) {
        if (!Wait()) return false;
        if (unit_.GetFuel() > 0.0f) return true;
        unit_.SetFuel(0.0f);
        unit_.Kill(false, nullptr);
        step_ = 2;
        return false;
    }
    return !context.teams.IsBusy() && !context.level.Services().IsBattleZoomActive();
}

}  // namespace game
