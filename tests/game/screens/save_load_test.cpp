#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/player_profile.h"
#include "game/core/slot_record.h"
#include "game/screens/button_drawers.h"
#include "game/screens/game_screens.h"
#include "game/screens/profile_view.h"
#include "game/screens/save_load_zone.h"
#include "../core/game_fixture.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::SaveLoadZone;
using game::ZoneId;
using testsupport::ZoneDriver;

constexpr int kSlot0 = SaveLoadZone::kFirstSlotId;

class SaveLoadTest : public ScreenTest {
protected:
    void SetUp() override {
        game::RegisterMenuInfoZones(registry);
        RegisterRecording(ZoneId::kMainMenu);
        RegisterRecording(ZoneId::kPause);
        realProfile.ResetDefaults();
        realProfile.Save();
    }
    // The zone over the game's profile in place of the fake.
    void UseRealProfile() { ui.profile = &view; }
    SaveLoadZone& Create() {
        EXPECT_TRUE(registry.CreateZones());
        return ZoneOf<SaveLoadZone>(ZoneId::kSaveLoad);
    }
    engine::DialogControl& ControlOf(SaveLoadZone& zone, int id) { return *zone.GetWindow()->FindControl(id); }
    // (state, icon) of each slot button.
    std::vector<std::pair<int, int>> Slots(SaveLoadZone& zone) {
        std::vector<std::pair<int, int>> out;
        for (int i = 0; i < 3; ++i) {
            const engine::DialogControl& c = ControlOf(zone, kSlot0 + i);
            out.emplace_back(c.GetDisabled(), game::ControlIcon(c));
        }
        return out;
    }
    int OverwriteState(SaveLoadZone& zone) { return ControlOf(zone, SaveLoadZone::kOverwriteId).GetDisabled(); }

    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    game::PlayerProfile realProfile{blob, store};
    game::ProfileView view{realProfile};
};

TEST_F(SaveLoadTest, FreshProfileOffersNothingToLoadAndBackReturnsToTheMainMenu) {
    UseRealProfile();
    // Even an autosave is not offered here.
    realProfile.SaveGameToSlot(3);
    auto& zone = Create();
    OpenFully(zone, SaveLoadZone::kLoadType);
    EXPECT_TRUE(zone.IsLoadMode());
    EXPECT_EQ(Slots(zone), (std::vector<std::pair<int, int>>{{1, 5}, {1, 5}, {1, 5}}));
    EXPECT_EQ(OverwriteState(zone), 2);
    const std::vector<std::string> texts = recorder.Texts();
    EXPECT_GE(std::count(texts.begin(), texts.end(), "Empty Slot"), 3);
    driver.Click(zone, SaveLoadZone::kBackId);
    EXPECT_FALSE(zone.IsShown());
    EXPECT_EQ(ZoneOf<RecordingZone>(ZoneId::kMainMenu).GetType(), 8);
}

TEST_F(SaveLoadTest, SavedSlotIsOfferedForLoadingAndARefusedLoadKeepsTheZoneOpen) {
    UseRealProfile();
    auto& zone = Create();
    OpenFully(zone, SaveLoadZone::kSaveType);
    EXPECT_EQ(Slots(zone), (std::vector<std::pair<int, int>>{{0, 6}, {0, 6}, {0, 6}}));
    EXPECT_EQ(OverwriteState(zone), 2) << "hidden until a slot is tapped";
    // The help panel shows in save mode.
    EXPECT_NE(recorder.FindText("[LS_SAVEHELP]"), nullptr);

    driver.Click(zone, kSlot0 + 1);
    EXPECT_EQ(zone.GetSelectedSlot(), 1);
    EXPECT_EQ(Slots(zone), (std::vector<std::pair<int, int>>{{0, 6}, {0, 12}, {0, 6}}));
    EXPECT_EQ(OverwriteState(zone), 0);
    store.Put("savedata.sav", {});
    driver.Click(zone, SaveLoadZone::kOverwriteId);
    EXPECT_TRUE(realProfile.IsSlotInUse(1));
    EXPECT_GT(store.Find("savedata.sav")->size(), 1u) << "the profile was written";
    EXPECT_FALSE(zone.IsShown());
    auto& pause = ZoneOf<RecordingZone>(ZoneId::kPause);
    EXPECT_TRUE(pause.IsShown());
    EXPECT_EQ(pause.GetType(), 9);
    pause.SetShown(false, false);

    OpenFully(zone, SaveLoadZone::kLoadType);
    EXPECT_EQ(Slots(zone), (std::vector<std::pair<int, int>>{{1, 5}, {0, 11}, {1, 5}}));
    // Without a running game the profile refuses the load: the zone stays, the slot is no longer offered.
    driver.Click(zone, kSlot0 + 1);
    EXPECT_TRUE(zone.IsShown());
    EXPECT_EQ(ControlOf(zone, kSlot0 + 1).GetDisabled(), 1);
}

TEST_F(SaveLoadTest, ALoadedSlotClosesTheZone) {
    profile.slots[2].inUse = true;
    auto& zone = Create();
    OpenFully(zone, SaveLoadZone::kLoadType);
    // A slot not in use is not loaded even when its release arrives.
    ZoneDriver::Send(zone, engine::kEventReleased, kSlot0);
    EXPECT_TRUE(profile.loadedSlots.empty());
    driver.Click(zone, kSlot0 + 2);
    EXPECT_EQ(profile.loadedSlots, std::vector<int>{2});
    EXPECT_FALSE(zone.IsShown());
    EXPECT_FALSE(ZoneOf<RecordingZone>(ZoneId::kMainMenu).IsShown());
}

TEST_F(SaveLoadTest, SaveModePressElsewhereDropsThePickAndAnOccupiedSlotIsReplaced) {
    profile.slots[0].inUse = true;
    auto& zone = Create();
    OpenFully(zone, SaveLoadZone::kSaveType);
    driver.Click(zone, kSlot0);
    ASSERT_EQ(zone.GetSelectedSlot(), 0);
    // A press on Back drops the pick before the release leads to the pause menu.
    driver.Press(zone, SaveLoadZone::kBackId);
    EXPECT_EQ(zone.GetSelectedSlot(), -1);
    EXPECT_EQ(OverwriteState(zone), 2);
    driver.Release();
    EXPECT_FALSE(zone.IsShown());
    EXPECT_EQ(ZoneOf<RecordingZone>(ZoneId::kPause).GetType(), 9);
    EXPECT_TRUE(profile.savedSlots.empty());

    // The occupied slot is saved over with no question in between.
    OpenFully(zone, SaveLoadZone::kSaveType);
    EXPECT_EQ(zone.GetSelectedSlot(), -1);
    driver.Click(zone, kSlot0);
    driver.Click(zone, SaveLoadZone::kOverwriteId);
    EXPECT_EQ(profile.savedSlots, std::vector<int>{0});
    EXPECT_EQ(profile.saves, 1);
    EXPECT_FALSE(zone.IsShown());
}

TEST_F(SaveLoadTest, BackKeyLeadsByMode) {
    auto& zone = Create();
    for (const auto& [type, next, nextType] :
         std::vector<std::tuple<int, ZoneId, int>>{{30, ZoneId::kMainMenu, 8}, {31, ZoneId::kPause, 9}}) {
        SCOPED_TRACE(type);
        OpenFully(zone, type);
        driver.TapBack();
        EXPECT_FALSE(zone.IsShown());
        auto& target = ZoneOf<RecordingZone>(next);
        EXPECT_TRUE(target.IsShown());
        EXPECT_EQ(target.GetType(), nextType);
        EXPECT_EQ(target.GetOrigin().x, 0.0f);
        target.SetShown(false, false);
    }
}

TEST_F(SaveLoadTest, SlotTextsThatFillTheirFieldsDrawWithinBounds) {
    UseRealProfile();
    // Fields filled to the last byte, with no terminator, as a damaged or foreign profile may hold them.
    std::uint8_t* record = realProfile.GetData() + (realProfile.GetSlotBytes(0) - realProfile.GetData());
    record[0] = 1;
    for (const std::size_t offset : {game::kSlotDescriptionOffset, game::kSlotTitleOffset, game::kSlotDateOffset}) {
        std::fill(record + offset, record + offset + game::kSlotTextSize, static_cast<std::uint8_t>('x'));
    }
    auto& zone = Create();
    OpenFully(zone, SaveLoadZone::kLoadType);
    const std::string full(game::kSlotTextSize, 'x');
    int found = 0;
    for (const std::string& text : recorder.Texts()) found += text == full ? 1 : 0;
    EXPECT_GE(found, 3);
}

// The zones over the game's profile, attached to a running game over the core's recording fakes: a
// skirmish battle saved through the save screen and loaded back through the load screen.
class SaveLoadBattleTest : public core_test::GameTest {
protected:
    SaveLoadBattleTest() { parts.profile = &realProfile; }
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GameTest::SetUp());
        realProfile.ResetDefaults();
        realProfile.AttachGame(game.get());
        realProfile.SetMatchOptions({1000, 1000, 0, 0});
        kit.ui.profile = &view;
        game::RegisterMenuInfoZones(kit.registry);
        kit.RegisterRecording(ZoneId::kMainMenu);
        kit.RegisterRecording(ZoneId::kPause);
        ASSERT_TRUE(kit.registry.CreateZones());
    }
    void TearDown() override {
        kit.registry.DestroyZones();
        GameTest::TearDown();
    }
    void LoadSkirmish() {
        WriteMap("Map", "structure C2 6 owner 1\nstructure C6 6 owner 4\nunit A1 17 owner 1\nunit A9 17 owner 4\n");
        realProfile.SetDefaultMapName("Levels/Map");
        platform.onFrame = [this](int) { game->RequestQuit(); };
        game->SetState(game::kGameLoadSkirmish);
        platform.delta = 0.0f;
        game->RunMainLoop();
    }
    game::Team* Blue() const {
        return game->GetTeamManager() != nullptr ? game->GetTeamManager()->FindTeam(1) : nullptr;
    }

    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    game::PlayerProfile realProfile{blob, store};
    game::ProfileView view{realProfile};
    ScreenKit kit;
};

TEST_F(SaveLoadBattleTest, ABattleSavedFromTheSaveScreenLoadsBackFromTheLoadScreen) {
    LoadSkirmish();
    ASSERT_NE(Blue(), nullptr);
    Blue()->SetCash(777);
    auto& zone = kit.ZoneOf<SaveLoadZone>(ZoneId::kSaveLoad);
    kit.OpenFully(zone, SaveLoadZone::kSaveType);
    kit.driver.Click(zone, kSlot0 + 1);
    kit.driver.Click(zone, SaveLoadZone::kOverwriteId);
    ASSERT_TRUE(realProfile.IsSlotInUse(1));
    EXPECT_FALSE(zone.IsShown());
    kit.ZoneOf<RecordingZone>(ZoneId::kPause).SetShown(false, false);

    Blue()->SetCash(5);
    kit.OpenFully(zone, SaveLoadZone::kLoadType);
    const engine::DialogControl* slot = zone.GetWindow()->FindControl(kSlot0 + 1);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->GetDisabled(), 0) << "the saved slot is offered";
    kit.driver.Click(zone, kSlot0 + 1);
    EXPECT_FALSE(zone.IsShown()) << "a loaded game closes the zone";
    EXPECT_FALSE(kit.ZoneOf<RecordingZone>(ZoneId::kMainMenu).IsShown());
    EXPECT_EQ(game->GetState(), game::kGameSideTurn);
    ASSERT_NE(Blue(), nullptr);
    EXPECT_EQ(Blue()->GetCash(), 777) << "the saved battle is back";
}

}  // namespace
}  // namespace screens_test
