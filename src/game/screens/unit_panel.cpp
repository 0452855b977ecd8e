#include "game/screens/unit_panel.h"

#include <algorithm>

#include "game/battle/battle_types.h"
#include "game/battle/unit_params.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"
#include "game/units/unit.h"
#include "game/units/unit_team.h"
#include "game/units/unit_texts.h"

namespace game {
namespace {

constexpr int kPanelHeight = 112;
constexpr int kMaxAmmoPips = 8;
constexpr int kMaxFuelPips = 5;
const engine::IntRect kBackground{0, 0, 256, 112};
const engine::IntRect kIconFrame{376, 0, 64, 64};
const engine::IntRect kAmmoPip{130, 120, 30, 32};
const engine::IntRect kFuelPip{98, 120, 30, 32};
const engine::IntRect kReadyMark{352, 120, 32, 32};
constexpr std::uint32_t kDarkGrey = 0xFF404040u;
constexpr std::uint32_t kLowFuelRed = 0xFFFF0000u;

engine::IntRect At(int x, int y, const engine::IntRect& source) { return {x, y, source.width, source.height}; }

}  // namespace

void UnitPanel::Draw() {
    if (unit_ == nullptr || services_.game == nullptr || services_.game->GetTeamManager() == nullptr) return;
    const UnitTeam* team = unit_->GetTeam();
    if (team == nullptr) return;
    const int x0 = 0;
    const int y0 = services_.ScreenHeight() - kPanelHeight;
    const std::uint32_t colour = team->GetColour();
    const int type = unit_->GetType();
    DrawArt(services_, kArtIngameUi, kBackground, At(x0, y0, kBackground), colour);
    DrawArt(services_, kArtIngameUi, kIconFrame, At(x0 + 6, y0 + 6, kIconFrame));
    DrawArt(services_, kArtIngameUi, UnitIconRect(type), At(x0 + 6, y0 + 6, kIconFrame), colour);
    engine::WideString name;
    UnitTypeName(name, type);
    // The name and the passenger line stand on their y, as on a baseline, so that the name ends above the
    // ammunition pips below it (which start 10 px lower) and the passenger line above the fuel pips.
    DrawScreenText(services_, FontId::kMain, name, x0 + 68, y0 + 24, kAlignLeft | kAlignBottom);

    // A passenger id that finds no unit shows no passenger line.
    const Unit* passenger = unit_->GetPassengerId() != 0 ? unit_->GetPassenger() : nullptr;
    if (passenger != nullptr) {
        engine::WideString passengerName;
        UnitTypeName(passengerName, passenger->GetType());
        DrawScreenText(services_, FontId::kMain, Prefixed("@C[4]+", passengerName), x0 + 78, y0 + 48,
                       kAlignLeft | kAlignBottom);
    } else {
        DrawAmmo(*unit_, x0, y0);
    }
    DrawFuel(*unit_, x0, y0);
    if (unit_->CanStillAct() && type != UT_ENGINEER) {
        DrawArt(services_, kArtIngameUi, kReadyMark, At(x0 + 24, y0 + 64, kReadyMark));
    }
}

void UnitPanel::DrawAmmo(const Unit& unit, int x0, int y0) {
    const int capacity = unit.GetParams().ammoCapacity;
    if (capacity <= 0) return;
    const int pips = std::min(capacity, kMaxAmmoPips);
    for (int i = 0; i < pips; ++i) {
        DrawArt(services_, kArtIngameUi, kAmmoPip, At(x0 + 68 + 20 * i, y0 + 34, kAmmoPip),
                i < unit.GetAmmo() ? kOpaqueWhite : kDarkGrey);
    }
}

void UnitPanel::DrawFuel(const Unit& unit, int x0, int y0) {
    if (unit.GetParams().fuelCapacity <= 0.0f) return;
    bool noFuel = false;
    const int f = static_cast<int>(unit.GetFuelFraction(noFuel) * 100.0f + 0.5f);
    if (f <= 5) {
        DrawArt(services_, kArtIngameUi, kFuelPip, At(x0 + 68, y0 + 66, kFuelPip), kLowFuelRed);
        return;
    }
    for (int i = 0; i < kMaxFuelPips; ++i) {
        const int c = f - 20 * i;
        if (c < 5) break;
        std::uint32_t colour = kOpaqueWhite;
        if (c < 20) {
            const auto level = static_cast<std::uint32_t>((c * 12) & 0xFF);
            colour = 0xFF000000u | (level << 16) | (level << 8) | level;
        }
        DrawArt(services_, kArtIngameUi, kFuelPip, At(x0 + 68 + 24 * i, y0 + 66, kFuelPip), colour);
    }
}

}  // namespace game
