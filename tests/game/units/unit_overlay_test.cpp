// The units' information overlays: the layout's boxes, cells, texts and colours, when the mark and the
// warnings show, and what comes out on a render target.
#include <gtest/gtest.h>

#include "game/battle/battle_types.h"
#include "game/units/unit_overlay.h"
#include "recording_target.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

bool SameRect(const engine::IntRect& a, const engine::IntRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

OverlayInputs PlayerUnit() {
    OverlayInputs in;
    in.unitSidePlayer = true;
    in.unitSideCurrent = true;
    in.currentSidePlayer = true;
    in.gameMode = kGameModeSkirmish;
    in.anchor = {100.0f, 200.0f};
    return in;
}

TEST(OverlayLayoutTest, TheHealthBarAndTheRankBadge) {
    OverlayInputs in = PlayerUnit();
    in.health = 0.5f;
    in.rank = 2;
    const InfoOverlay o = LayoutInfoOverlay(in);
    ASSERT_EQ(o.boxCount, 2);
    EXPECT_TRUE(SameRect(o.boxes[0].rect, {80, 228, 40, 7}));
    EXPECT_EQ(o.boxes[0].colour, kOverlayShade);
    EXPECT_TRUE(SameRect(o.boxes[1].rect, {82, 230, 18, 3}));
    EXPECT_EQ(o.boxes[1].colour, HealthBarColour(0.5f));
    EXPECT_EQ(HealthBarColour(1.0f), kOverlayGreen);
    EXPECT_EQ(HealthBarColour(0.0f), kOverlayRed);
    ASSERT_EQ(o.cellCount, 1);
    EXPECT_TRUE(SameRect(o.cells[0].source, {256, 120, 32, 32}));
    EXPECT_FLOAT_EQ(o.cells[0].at.x, 60.0f);
    EXPECT_FLOAT_EQ(o.cells[0].at.y, 210.0f);
    EXPECT_FALSE(o.hasText);
}

TEST(OverlayLayoutTest, TheTargetMarkShowsOnOtherSidesUnitsOnly) {
    struct Case {
        const char* name;
        int mode;
        bool unitSidePlayer;
        bool unitSideCurrent;
        bool shown;
    };
    const Case cases[] = {
        {"campaign, enemy unit", kGameModeCampaign, false, false, true},
        {"campaign, another player side", kGameModeCampaign, true, false, false},
        {"skirmish, the other side", kGameModeSkirmish, true, false, true},
        {"skirmish, the side playing", kGameModeSkirmish, true, true, false},
    };
    for (const Case& c : cases) {
        OverlayInputs in = PlayerUnit();
        in.gameMode = c.mode;
        in.unitSidePlayer = c.unitSidePlayer;
        in.unitSideCurrent = c.unitSideCurrent;
        in.targetMarked = true;
        in.predictedLossPercent = 37;
        const InfoOverlay o = LayoutInfoOverlay(in);
        ASSERT_EQ(o.hasText, c.shown) << c.name;
        if (!c.shown) continue;
        EXPECT_EQ(o.text.text, "@C[2]@X[004]37%");
        EXPECT_FLOAT_EQ(o.text.at.x, 96.0f);
        EXPECT_FLOAT_EQ(o.text.at.y, 191.0f);
        EXPECT_EQ(o.text.alignFlags, 6);
        EXPECT_TRUE(SameRect(o.boxes[0].rect, {53, 176, 95, 26}));
    }
    // A mark without a predicted loss shows nothing.
    OverlayInputs zero = PlayerUnit();
    zero.unitSideCurrent = false;
    zero.targetMarked = true;
    EXPECT_FALSE(LayoutInfoOverlay(zero).hasText);
}

TEST(OverlayLayoutTest, SupplyWarningsAtAQuarterRedNearEmptyAndNothingWhileTheComputerPlays) {
    struct Case {
        float fuel;
        float ammo;
        int cells;
        std::uint32_t fuelColour;
        std::uint32_t ammoColour;
    };
    const Case cases[] = {
        {0.3f, 0.3f, 0, 0, 0},
        {0.25f, 0.5f, 1, 0xFFFFFFFFu, 0},
        {0.05f, 0.25f, 2, kOverlayRed, 0xFFFFFFFFu},
        {0.06f, 0.01f, 2, 0xFFFFFFFFu, kOverlayRed},
    };
    for (const Case& c : cases) {
        OverlayInputs in = PlayerUnit();
        in.noFuel = false;
        in.noAmmo = false;
        in.fuelFraction = c.fuel;
        in.ammoFraction = c.ammo;
        in.pulse = 1.0f;
        const InfoOverlay o = LayoutInfoOverlay(in);
        ASSERT_EQ(o.cellCount, c.cells) << c.fuel << " " << c.ammo;
        int i = 0;
        if (c.fuelColour != 0) {
            EXPECT_TRUE(SameRect(o.cells[i].source, {98, 120, 30, 32}));
            EXPECT_EQ(o.cells[i].colour, c.fuelColour);
            EXPECT_FLOAT_EQ(o.cells[i].scale, 0.75f);
            EXPECT_FLOAT_EQ(o.cells[i].at.x, 86.0f);
            ++i;
        }
        if (c.ammoColour != 0) {
            EXPECT_TRUE(SameRect(o.cells[i].source, {130, 120, 30, 32}));
            EXPECT_EQ(o.cells[i].colour, c.ammoColour);
            EXPECT_FLOAT_EQ(o.cells[i].at.x, 114.0f);
        }
    }
    // A type without the capacity warns of nothing; nor does the other side's unit.
    OverlayInputs none = PlayerUnit();
    none.fuelFraction = 0.0f;
    EXPECT_EQ(LayoutInfoOverlay(none).cellCount, 0);
    OverlayInputs other = PlayerUnit();
    other.unitSidePlayer = false;
    other.noFuel = false;
    other.fuelFraction = 0.0f;
    EXPECT_EQ(LayoutInfoOverlay(other).cellCount, 0);
    // While a computer side plays nothing at all is drawn; nor for a dying unit.
    OverlayInputs computer = PlayerUnit();
    computer.currentSidePlayer = false;
    EXPECT_EQ(LayoutInfoOverlay(computer).boxCount, 0);
    OverlayInputs dying = PlayerUnit();
    dying.unitState = kUnitDying;
    EXPECT_EQ(LayoutInfoOverlay(dying).boxCount, 0);
}

class Projector : public ScreenProjector {
public:
    bool Project(const engine::Vec3& world, engine::Vec2& screen) const override {
        screen = {world.x * 10.0f + 500.0f, world.z * 10.0f + 300.0f};
        return !offScreen;
    }
    bool offScreen = false;
};

TEST_F(UnitsTest, AUnitDrawsItsOverlayOnATargetUnlessTheComputerPlaysOrItIsOffScreen) {
    Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(5, 5));
    Unit& foe = battle.Make(UT_LIGHT_TANK, &enemy, H(5, 6));
    tank.SetFuel(0.0f);
    foe.SetTargetMark(true, &tank);
    Projector projector;
    RecordingTarget target;
    RecordingPainter painter;
    tank.DrawInfoOverlay(target, projector, painter, 77);
    foe.DrawInfoOverlay(target, projector, painter, 77);
    // Two health bars (box and bar each), the foe's mark box, the tank's red fuel warning, the mark's text.
    EXPECT_EQ(target.rects.size(), 5u);
    ASSERT_EQ(target.tinted.size(), 1u);
    EXPECT_EQ(target.tinted[0].colour, kOverlayRed);
    EXPECT_EQ(target.tinted[0].handle, 77u);
    ASSERT_EQ(painter.painted.size(), 1u);
    EXPECT_EQ(painter.painted[0].text, "@C[2]@X[004]25%");
    EXPECT_EQ(target.rects[1].colour, kOverlayGreen);

    RecordingTarget none;
    battle.currentTeam = kTeamEnemy;
    tank.DrawInfoOverlay(none, projector, painter, 77);
    battle.currentTeam = kTeamBlue;
    projector.offScreen = true;
    tank.DrawInfoOverlay(none, projector, painter, 77);
    EXPECT_TRUE(none.rects.empty());
}

}  // namespace
}  // namespace units_test
