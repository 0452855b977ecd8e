// Structures on a fixture map of the full grid: anchors, footprints (also on the bottom row and the edge
// columns), pads and their links, capture, the pop and its achievement, fireworks, restores, and the tint,
// pop and marker values the presenter shows.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "battle_fakes.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure_look.h"
#include "game/battle/structure_manager.h"
#include "game/battle/structure_types.h"
#include "game/battle/team_colours.h"

namespace battle_test {
namespace {

class StructureBattle : public FakeBattle {
public:
    int GetGameMode() const override { return mode; }
    std::uint32_t GetOptionBits() const override { return options; }
    void UnlockAchievement(int achievement) override { achievements.push_back(achievement); }

    int mode = kGameModeSkirmish;
    std::uint32_t options = 0;
    std::vector<int> achievements;
};

class RecordingPresenter : public StructurePresenter {
public:
    void OnCreated(Structure&) override { ++created; }
    void OnOwnerChanged(Structure&) override { ++ownerChanges; }
    void SetSnow(Structure&, bool snow) override { snows += snow ? 1 : 0; }
    void LaunchFirework(Structure&, int effect, const engine::Vec3& offset) override {
        EXPECT_GE(effect, 0);
        EXPECT_LE(effect, 2);
        EXPECT_GE(offset.y, 1.0f);
        EXPECT_LE(offset.y, 2.0f);
        ++fireworks;
    }
    bool ContainsNode(const Structure&, const engine::SceneNode*) const override { return false; }

    int created = 0;
    int ownerChanges = 0;
    int snows = 0;
    int fireworks = 0;
};

void Put(HexMap& map, HexCoord hex, int type, int owner, bool mirrored = false) {
    HexTile* tile = map.EditTile(hex);
    ASSERT_NE(tile, nullptr);
    tile->objectClass = kObjectStructure;
    tile->objectType = type;
    tile->objectOwner = owner;
    tile->mirrored = mirrored ? 1 : 0;
}

// The full grid with a structure of every type, three-hex buildings mirrored and not, on the bottom row and at
// both edge columns, and pads beside producers, a RepairS, a Radio and a Refinery.
void PutStructures(HexMap& map) {
    Put(map, H(5, 5), kStructureFactory, 1);            // odd column: below (5,6), below-right (6,5)
    Put(map, H(10, 5), kStructureFactory, 2, true);     // even column: below (10,6), below-left (9,6)
    Put(map, H(30, 10), kStructureAirport, 0);          // even: below (30,11), below-right (31,11)
    Put(map, H(1, 37), kStructureDockyard, 4);          // bottom row: nothing below, nothing right
    Put(map, H(20, 20), kStructureBarracks, 1, true);   // even: below (20,21), below-left (19,21)
    Put(map, H(47, 10), kStructureHQ, 4);               // right edge: below (47,11) only
    Put(map, H(0, 10), kStructureSilo, 0, true);        // left edge mirrored: below (0,11) only
    Put(map, H(3, 25), kStructureRepairS, 2);
    Put(map, H(6, 25), kStructureRefinery, 1);
    Put(map, H(9, 25), kStructureRadio, 0);
    Put(map, H(12, 25), kStructureSupplyShed, 4);
    Put(map, H(40, 30), kStructureFactory, 7);          // bad owner: no structure
    Put(map, H(5, 4), kStructureBuildPad, 0);           // above the factory
    Put(map, H(4, 5), kStructureBuildPad, 0);           // left-up of (5,6)... beside the factory too
    Put(map, H(1, 36), kStructureBuildPad, 0);          // above the bottom-row dockyard
    Put(map, H(3, 24), kStructureBuildPad, 0);          // above the RepairS
    Put(map, H(6, 24), kStructureBuildPad, 0);          // beside the Refinery only
    Put(map, H(9, 24), kStructureBuildPad, 0);          // beside the Radio only
}

class StructureTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitTeamColours();
        map = MapFromSource(UniformSource(kMapColumns, kMapRows, "L0"), &battle);
        PutStructures(*map);
        manager.CreateFromMap(*map);
    }

    StructureBattle battle;
    std::unique_ptr<HexMap> map;
    RecordingPresenter presenter;
    StructureManager manager{&battle, &presenter};
};

TEST_F(StructureTest, AnchorsFootprintsAndTiles) {
    struct Case {
        HexCoord anchor;
        int type;
        std::vector<HexCoord> covers;
        std::vector<HexCoord> notCovered;
    };
    const Case cases[] = {
        {H(5, 5), kStructureFactory, {H(5, 5), H(5, 6), H(6, 5)}, {H(4, 5), H(5, 4)}},
        {H(10, 5), kStructureFactory, {H(10, 5), H(10, 6), H(9, 6)}, {H(11, 6)}},
        {H(30, 10), kStructureAirport, {H(30, 10), H(30, 11), H(31, 11)}, {H(29, 11)}},
        {H(1, 37), kStructureDockyard, {H(1, 37)}, {H(2, 37), H(0, 37)}},
        {H(20, 20), kStructureBarracks, {H(20, 20), H(20, 21), H(19, 21)}, {H(21, 21)}},
        {H(47, 10), kStructureHQ, {H(47, 10), H(47, 11)}, {H(46, 10)}},
        {H(0, 10), kStructureSilo, {H(0, 10), H(0, 11)}, {H(1, 11)}},
        {H(3, 25), kStructureRepairS, {H(3, 25)}, {H(3, 26)}},
        {H(6, 25), kStructureRefinery, {H(6, 25)}, {}},
        {H(9, 25), kStructureRadio, {H(9, 25)}, {}},
        {H(12, 25), kStructureSupplyShed, {H(12, 25)}, {}},
    };
    for (const Case& c : cases) {
        Structure* s = manager.FindAtHex(c.anchor);
        ASSERT_NE(s, nullptr) << c.type;
        EXPECT_EQ(s->GetType(), c.type);
        EXPECT_EQ(s->GetHex(), c.anchor);
        for (const HexCoord& hex : c.covers) {
            EXPECT_EQ(manager.FindAtHex(hex), s) << c.type << " " << hex.column << "," << hex.row;
            EXPECT_EQ(map->GetTile(hex).objectClass, kObjectStructure);
            EXPECT_EQ(map->GetTile(hex).objectType, c.type);
        }
        for (const HexCoord& hex : c.notCovered) EXPECT_FALSE(s->OccupiesHex(hex)) << c.type;
    }
    EXPECT_EQ(manager.FindAtHex(H(40, 30)), nullptr);  // owner 7 creates nothing
    EXPECT_EQ(manager.FindAtHex(H(-1, 3)), nullptr);
    EXPECT_EQ(manager.GetStructure(0)->GetHex(), H(5, 5));  // row 5 first, then by column
    EXPECT_EQ(manager.GetStructure(1)->GetHex(), H(10, 5));
    EXPECT_STREQ(manager.FindAtHex(H(6, 25))->GetTeamMaterialName(), "oil_platform");
    EXPECT_STREQ(manager.FindAtHex(H(5, 5))->GetTeamMaterialName(), "buildings");
    EXPECT_EQ(manager.FindAtHex(H(5, 5))->GetShopZoneType(), 6);
    EXPECT_EQ(manager.FindAtHex(H(47, 10))->GetShopZoneType(), 0);
}

TEST_F(StructureTest, PadsLinkToTheFirstSuitableNeighbour) {
    Structure* factory = manager.FindAtHex(H(5, 5));
    Structure* pad = manager.FindAtHex(H(5, 4));
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(pad->GetType(), kStructureBuildPad);
    EXPECT_EQ(pad->GetLinkedStructure(), factory);
    EXPECT_EQ(pad->GetTeam(), 1);
    EXPECT_EQ(factory->GetFirstPad(), pad);
    EXPECT_EQ(factory->GetPad(1), manager.FindAtHex(H(4, 5)));
    EXPECT_EQ(manager.FindAtHex(H(1, 36))->GetLinkedStructure(), manager.FindAtHex(H(1, 37)));
    EXPECT_EQ(manager.FindAtHex(H(3, 24))->GetLinkedStructure(), manager.FindAtHex(H(3, 25)));
    EXPECT_EQ(manager.FindAtHex(H(6, 24)), nullptr);  // a Refinery serves no pad
    EXPECT_EQ(manager.FindAtHex(H(9, 24)), nullptr);  // nor a Radio
    const SideCounts all = manager.CountBySide();
    EXPECT_EQ(all.players, 5);
    EXPECT_EQ(all.neutral, 3);
    EXPECT_EQ(all.enemy, 3);
    const SideCounts producers = manager.CountProducersBySide();
    EXPECT_EQ(producers.players, 3);
    EXPECT_EQ(producers.neutral, 1);
    EXPECT_EQ(producers.enemy, 1);
    EXPECT_EQ(manager.CountOwned(1, kStructureFactory), 1);
}

TEST_F(StructureTest, ThePresenterSeesEveryStructureAndPad) {
    // Eleven buildings and four pads; the pads beside the Refinery and the Radio are not made.
    EXPECT_EQ(presenter.created, 15);
    EXPECT_EQ(presenter.snows, 0);
    EXPECT_EQ(presenter.ownerChanges, 0);

    // A capture re-owns the factory and both its pads, one owner change each.
    manager.FindAtHex(H(5, 5))->AddCaptureProgress(2.0f, 4);
    EXPECT_EQ(presenter.ownerChanges, 3);

    // On a snow map every structure, pads included, has its snow switched on.
    auto winterMap = MapFromSource(UniformSource(kMapColumns, kMapRows, "L0"), &battle);
    PutStructures(*winterMap);
    winterMap->SetWeatherType(3);
    RecordingPresenter snowy;
    StructureManager winter(&battle, &snowy);
    winter.CreateFromMap(*winterMap);
    EXPECT_EQ(snowy.created, 15);
    EXPECT_EQ(snowy.snows, 15);
}

TEST_F(StructureTest, CaptureTable) {
    Structure* factory = manager.FindAtHex(H(5, 5));
    Structure* repair = manager.FindAtHex(H(3, 25));

    factory->AddCaptureProgress(1.0f, 4);
    EXPECT_EQ(factory->GetTeam(), 1);
    EXPECT_EQ(factory->GetCapturingTeam(), 4);
    factory->AddCaptureProgress(1.0f, 4);
    EXPECT_EQ(factory->GetTeam(), 4);
    EXPECT_EQ(factory->GetState(), kStructureCaptured);
    EXPECT_EQ(factory->GetCapturingTeam(), 0);
    EXPECT_EQ(factory->GetCaptureProgress(), 0.0f);
    // Every pad follows.
    EXPECT_EQ(factory->GetPad(0)->GetTeam(), 4);
    EXPECT_EQ(factory->GetPad(1)->GetTeam(), 4);

    repair->AddCaptureProgress(1.0f, 1);
    EXPECT_EQ(repair->GetTeam(), 1);
    EXPECT_EQ(manager.FindAtHex(H(3, 24))->GetTeam(), 1);

    // Alternating capturers never finish.
    Structure* airport = manager.FindAtHex(H(30, 10));
    for (int i = 0; i < 6; ++i) airport->AddCaptureProgress(1.0f, i % 2 == 0 ? 1 : 2);
    EXPECT_EQ(airport->GetTeam(), 0);
    EXPECT_EQ(airport->GetCaptureProgress(), 1.0f);

    // The owner's engineer pops the building and clears the capture, the owner unchanged.
    Structure* hq = manager.FindAtHex(H(47, 10));
    hq->AddCaptureProgress(1.0f, 1);
    hq->AddCaptureProgress(1.0f, 4);
    EXPECT_EQ(hq->GetTeam(), 4);
    EXPECT_EQ(hq->GetState(), kStructureCaptured);
    EXPECT_EQ(hq->GetCaptureProgress(), 0.0f);

    // Owners outside 0..4 are refused.
    hq->SetOwner(5);
    hq->AddCaptureProgress(2.0f, -1);
    EXPECT_EQ(hq->GetTeam(), 4);
}

TEST_F(StructureTest, TheLastCaptureUnlocksTwelveWhenThePopEndsInSkirmishOnly) {
    for (int mode : {kGameModeCampaign, kGameModeSkirmish}) {
        battle.mode = mode;
        battle.achievements.clear();
        for (int slot = 0; slot < kMaxStructures; ++slot) {
            Structure* s = manager.GetStructure(slot);
            if (s != nullptr && s->GetType() != kStructureBuildPad && s->GetHex() != H(47, 10)) s->SetOwner(1);
        }
        Structure* hq = manager.FindAtHex(H(47, 10));
        hq->SetOwner(4);
        hq->AddCaptureProgress(2.0f, 1);
        EXPECT_TRUE(manager.IsAnyAnimating());
        for (int tick = 0; tick < 9; ++tick) manager.Update();
        EXPECT_TRUE(battle.achievements.empty());
        EXPECT_NEAR(CapturePopScale(hq->GetPopTimer()), 1.1f, 1e-3f);
        manager.Update();
        EXPECT_EQ(hq->GetState(), kStructureNormal);
        EXPECT_FALSE(manager.IsAnyAnimating());
        EXPECT_EQ(battle.achievements, (mode == kGameModeSkirmish ? std::vector<int>{kAchievementSlumLandlord}
                                                                   : std::vector<int>{}));
    }
}

TEST_F(StructureTest, TheIncomeFlashHoldsThePop) {
    Structure* repair = manager.FindAtHex(H(3, 25));
    repair->StartIncomeFlash();
    repair->AddCaptureProgress(1.0f, 4);
    for (int tick = 0; tick < 49; ++tick) manager.Update();
    EXPECT_NEAR(repair->GetIncomeFlash(), 0.02f, 1e-4f);
    EXPECT_FLOAT_EQ(repair->GetPopTimer(), kCapturePopSeconds);
    manager.Update();  // the flash runs out; the pop goes on from here
    EXPECT_EQ(repair->GetIncomeFlash(), 0.0f);
    EXPECT_LT(repair->GetPopTimer(), kCapturePopSeconds);
    for (int tick = 0; tick < 9; ++tick) manager.Update();
    EXPECT_EQ(repair->GetState(), kStructureNormal);
}

TEST_F(StructureTest, FireworksNeedTheQualityBitAndFollowTheResult) {
    manager.StartFireworks(true);
    EXPECT_FALSE(manager.IsAnyAnimating());
    battle.options = 0x10;
    manager.StartFireworks(false);
    for (int slot = 0; slot < kMaxStructures; ++slot) {
        const Structure* s = manager.GetStructure(slot);
        if (s == nullptr) continue;
        const bool fires = s->GetType() != kStructureBuildPad && s->GetTeam() == kTeamEnemy;
        EXPECT_EQ(s->GetState() == kStructureFireworks, fires) << s->GetType();
        if (fires) {
            EXPECT_LE(s->GetFireworkTimer(), 0.5f);
        }
    }
    for (int tick = 0; tick < 200; ++tick) manager.Update();
    EXPECT_GE(presenter.fireworks, 3 * 2);  // each of three buildings fires at least every 1.5 s

    StructureManager won(&battle, &presenter);
    won.CreateFromMap(*map);
    won.StartFireworks(true);
    EXPECT_EQ(won.FindAtHex(H(30, 10))->GetState(), kStructureFireworks);  // neutral fires too
    EXPECT_EQ(won.FindAtHex(H(47, 10))->GetState(), kStructureNormal);
    EXPECT_EQ(won.FindAtHex(H(5, 4))->GetState(), kStructureNormal);  // pads never
}

TEST_F(StructureTest, HandOverAndTargetMarks) {
    manager.HandOverTeam2To4();
    EXPECT_EQ(manager.FindAtHex(H(10, 5))->GetTeam(), 4);
    EXPECT_EQ(manager.FindAtHex(H(3, 25))->GetTeam(), 4);
    EXPECT_EQ(manager.FindAtHex(H(3, 24))->GetTeam(), 4);
    EXPECT_EQ(manager.FindAtHex(H(9, 6)), manager.FindAtHex(H(10, 5)));

    Structure* radio = manager.FindAtHex(H(9, 25));
    battle.currentTeam = 1;
    radio->SetTargetMark(true);
    EXPECT_TRUE(radio->IsTargetMarked());
    battle.currentTeam = 4;
    radio->SetTargetMark(false);
    EXPECT_TRUE(radio->IsTargetMarked());
    battle.currentTeam = 1;
    radio->SetSelected(2);
    manager.ClearMarks();
    EXPECT_FALSE(radio->IsTargetMarked());
    EXPECT_EQ(radio->GetHighlight(), 0);

    // A mark set in a human turn is cleared on the computer's turn too: it must not pulse on.
    radio->SetTargetMark(true);
    battle.currentTeam = 4;
    manager.ClearMarks();
    EXPECT_FALSE(radio->IsTargetMarked());
    std::uint32_t colour = 0;
    EXPECT_FALSE(radio->GetTint(colour));
}

TEST_F(StructureTest, RestoreChecksEveryRecordFirst) {
    std::vector<StructureRecord> records(kMaxStructures);
    records[0] = {1, 4, H(5, 6), 0.0f, 0};     // the factory by its second hex
    records[1] = {1, 2, H(3, 25), 0.5f, 1};
    const std::vector<StructureRecord> bad = {
        {1, 5, H(6, 25), 0.0f, 0},
        {1, 1, H(6, 25), 0.0f, 9},
        {1, 1, H(6, 25), -1.0f, 0},
        {1, 1, H(6, 25), std::numeric_limits<float>::quiet_NaN(), 0},
        {1, 1, H(6, 25), std::numeric_limits<float>::infinity(), 0},
        {1, 1, H(7, 25), 0.0f, 0},   // no structure there
        {1, 1, H(60, 2), 0.0f, 0},   // off the grid
    };
    for (const StructureRecord& b : bad) {
        records[63] = b;
        EXPECT_FALSE(manager.RestoreFromSave(*map, records));
        EXPECT_EQ(manager.FindAtHex(H(5, 5))->GetTeam(), 1);
        EXPECT_EQ(manager.FindAtHex(H(3, 25))->GetCapturingTeam(), 0);
    }
    records[63] = {};
    EXPECT_TRUE(manager.RestoreFromSave(*map, records));
    EXPECT_EQ(manager.FindAtHex(H(5, 5))->GetTeam(), 4);
    EXPECT_EQ(manager.FindAtHex(H(5, 4))->GetTeam(), 4);
    EXPECT_EQ(manager.FindAtHex(H(3, 25))->GetTeam(), 2);
    EXPECT_EQ(manager.FindAtHex(H(3, 25))->GetCapturingTeam(), 1);
    EXPECT_EQ(manager.FindAtHex(H(3, 25))->GetCaptureProgress(), 0.5f);
}

// A frame timer whose game clock stands at the given time.
std::unique_ptr<engine::FrameTimer> ClockAt(double seconds) {
    auto ns = std::make_shared<std::int64_t>(0);
    auto timer = std::make_unique<engine::FrameTimer>([ns] { return std::chrono::nanoseconds(*ns); });
    *ns = static_cast<std::int64_t>(seconds * 1e9);
    timer->Tick();
    return timer;
}

TEST(StructureLook, TintAtSampleTimes) {
    const std::uint32_t team = 0xFF3C3CFFu;
    std::uint32_t c = 0;
    const auto start = ClockAt(0.0);
    // The income flash window is (0.35, 0.65].
    EXPECT_FALSE(StructureTint(0.35f, 0, false, team, start.get(), c));
    EXPECT_TRUE(StructureTint(0.65f, 0, false, team, start.get(), c));
    EXPECT_EQ(c & 0x00FFFFFFu, 0x00FFFFFFu);  // t = 1: white, its alpha 255 - 255 (within rounding)
    EXPECT_LE(c >> 24, 1u);
    EXPECT_TRUE(StructureTint(0.3501f, 0, false, team, start.get(), c));
    EXPECT_EQ(c, team);
    EXPECT_FALSE(StructureTint(0.66f, 0, false, team, start.get(), c));
    // Target mark: team colour at 0 s, black at half the 1 s period, team colour again at 1 s.
    struct Case {
        int highlight;
        bool marked;
        double seconds;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0, true, 0.0, team},         {0, true, 0.5, 0xFF000000u},   {0, true, 1.0, team},
        // Selected: white to team colour every 0.25 s.
        {2, false, 0.0, 0xFFFFFFFFu}, {2, false, 0.125, team},       {2, false, 0.25, 0xFFFFFFFFu},
        // Highlight 1: solid black at any time.
        {1, false, 0.0, 0xFF000000u}, {1, false, 0.3, 0xFF000000u},  {1, false, 0.77, 0xFF000000u},
        // Late in a long game the pulse still lands on its peaks.
        {0, true, 36000.5, 0xFF000000u},
    };
    for (const Case& k : cases) {
        const auto clock = ClockAt(k.seconds);
        ASSERT_TRUE(StructureTint(0.0f, k.highlight, k.marked, team, clock.get(), c)) << k.seconds;
        EXPECT_EQ(c, k.expected) << k.highlight << " at " << k.seconds;
    }
    // Without a clock a pulse stands at its start.
    ASSERT_TRUE(StructureTint(0.0f, 0, true, team, nullptr, c));
    EXPECT_EQ(c, team);
}

TEST(StructureLook, PopMarkerAndPlacement) {
    EXPECT_FLOAT_EQ(CapturePopScale(0.2f), 2.0f);
    EXPECT_FLOAT_EQ(CapturePopScale(0.0f), 1.0f);
    const engine::Vec3 at{1.0f, 2.0f, 3.0f};
    engine::Matrix44 m = CaptureMarkerMatrix(at, 0.0);
    EXPECT_NEAR(m.Row(0).Length(), 5.0f, 1e-4f);
    EXPECT_NEAR(m.Row(3).y, 3.3f, 1e-5f);
    m = CaptureMarkerMatrix(at, 0.35);
    EXPECT_NEAR(m.Row(0).Length(), 4.125f, 1e-3f);
    m = CaptureMarkerMatrix(at, 3.0);  // 90 degrees turned
    EXPECT_NEAR(m.Row(0).Scale(1.0f / m.Row(0).Length()).z, -1.0f, 1e-4f);

    const engine::Vec3 point{10.0f, 0.5f, 20.0f};
    EXPECT_NEAR(StructureModelMatrix(point, false, false).Row(3).Sub(point).Length(), 0.0f, 1e-6f);
    EXPECT_NEAR(StructureModelMatrix(point, true, false).Row(3).x, 10.4f, 1e-5f);
    EXPECT_NEAR(StructureModelMatrix(point, true, false).Row(3).z, 19.5f, 1e-5f);
    const engine::Matrix44 mirrored = StructureModelMatrix(point, true, true);
    EXPECT_NEAR(mirrored.Row(3).x, 9.8f, 1e-5f);
    EXPECT_NEAR(mirrored.Row(3).z, 19.4f, 1e-5f);
    engine::Matrix44 turn;
    turn.InitRotationY(60.0f);
    EXPECT_NEAR(mirrored.Row(0).Sub(turn.Row(0)).Length(), 0.0f, 1e-6f);
}

}  // namespace
}  // namespace battle_test
