#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/list_box.h"
#include "game/core/game_ports.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/game_screens.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::CampaignMapZone;
using game::DifficultyZone;
using game::PackPickerZone;
using game::ZoneId;
using testsupport::ZoneDriver;

using testsupport::FakeCampaign;

TEST(LoweredDifficultyTest, StepsDownToWhatTheCampaignAllows) {
    struct Case {
        int difficulty;
        std::set<int> completed;
        int expected;
    };
    const std::vector<Case> cases = {
        {3, {}, 0},           // silly on a campaign never completed -> easy
        {2, {0}, 1},          // hard with easy completed -> medium
        {1, {0}, 1},          // medium with easy completed stays
        {3, {0, 1, 2}, 3},    // silly with hard completed stays
        {3, {0, 1}, 2},
        {2, {}, 0},           // hard with nothing completed falls through medium to easy
        {0, {}, 0},
    };
    for (const Case& c : cases) {
        FakeCampaign campaign;
        campaign.completed = c.completed;
        EXPECT_EQ(game::LoweredDifficulty(c.difficulty, campaign), c.expected) << c.difficulty;
    }
}

class CampaignZonesTest : public ScreenTest {
protected:
    void SetUp() override {
        game.campaign = &campaign;
        game::RegisterMenuInfoZones(registry);
        RegisterRecording(ZoneId::kGameType);
        RegisterRecording(ZoneId::kComicOverlay);
    }
    void Create() { ASSERT_TRUE(registry.CreateZones()); }
    void AddCampaigns(const std::vector<std::string>& folders) {
        for (const std::string& f : folders) ASSERT_TRUE(data.Write("Campaigns/" + f + "/Campaign.TXT", "x"));
    }
    static engine::ListBox& ListOf(game::Zone& zone, int id) {
        return *dynamic_cast<engine::ListBox*>(zone.GetWindow()->FindControl(id));
    }
    static std::vector<int> Values(engine::ListBox& list) {
        std::vector<int> out;
        for (int row = 0; row < list.GetRowCount(); ++row) {
            engine::WideString text;
            int v = 0;
            list.GetRow(row, text, v);
            out.push_back(v);
        }
        return out;
    }
    static void Pick(PackPickerZone& zone, int value) {
        engine::ListBox& list = ListOf(zone, PackPickerZone::kListId);
        const std::vector<int> values = Values(list);
        const auto it = std::find(values.begin(), values.end(), value);
        ASSERT_NE(it, values.end());
        list.SetSelection(static_cast<int>(it - values.begin()));
        ZoneDriver::Send(zone, engine::kEventReleased, PackPickerZone::kListId);
    }

    FakeCampaign campaign;
    units_test::DataFolder data;
};

TEST_F(CampaignZonesTest, MapActsWithoutZoomAndLeadsBackChangeAndPlay) {
    Create();
    auto& map = ZoneOf<CampaignMapZone>(ZoneId::kCampaignMap);
    struct Case {
        int button;  // 0: the back key
        ZoneId next;
        int nextType;
    };
    for (const Case& c : std::vector<Case>{{CampaignMapZone::kBackId, ZoneId::kGameType, 23},
                                           {0, ZoneId::kGameType, 23},
                                           {CampaignMapZone::kChangeId, ZoneId::kCampaignPicker, 22},
                                           {CampaignMapZone::kPlayId, ZoneId::kComicOverlay, 0}}) {
        SCOPED_TRACE(c.button);
        const int resets = campaign.resets;
        map.SetShown(true, false);
        EXPECT_EQ(campaign.resets, resets + 1);
        // The very first frame already acts: there is no opening to wait for.
        if (c.button == 0) {
            driver.TapBack();
        } else {
            driver.Click(map, c.button);
        }
        EXPECT_FALSE(map.IsShown());
        game::Zone* next = registry.Get(c.next);
        ASSERT_NE(next, nullptr);
        EXPECT_TRUE(next->IsShown());
        if (c.nextType != 0) {
            EXPECT_EQ(registry.GetTitled(c.next)->GetType(), c.nextType);
        }
        if (c.button == 0) {
            EXPECT_EQ(registry.GetTitled(c.next)->GetOrigin().x, 0.0f);
        }
        next->SetShown(false, false);
    }
    EXPECT_GT(campaign.draws, 0);
}

// After a display switch the 960 x 640 window stands centred on the new screen.
TEST_F(CampaignZonesTest, TheMapWindowIsCentredOnTheScreenOfADisplaySwitch) {
    Create();
    auto& map = ZoneOf<CampaignMapZone>(ZoneId::kCampaignMap);
    struct Case {
        int width, height, x, y;
    };
    for (const Case& c : {Case{1600, 1200, 320, 280}, Case{1024, 768, 32, 64}, Case{960, 640, 0, 0}}) {
        SCOPED_TRACE(c.width);
        map.Relayout(c.width, c.height);
        const engine::IntRect r = map.GetWindow()->GetRect();
        EXPECT_EQ(r.x, c.x);
        EXPECT_EQ(r.y, c.y);
        EXPECT_EQ(r.width, 960);
        EXPECT_EQ(r.height, 640);
    }
}

TEST_F(CampaignZonesTest, PickerListsPresentCampaignsInOrderAndMatchesTheProfileWithoutCase) {
    AddCampaigns({"mappack1", "standard", "mappack2"});  // mappack3 is missing
    profile.campaignName = "Standard";
    Create();
    auto& picker = ZoneOf<PackPickerZone>(ZoneId::kCampaignPicker);
    OpenFully(picker, 22);
    EXPECT_EQ(Values(ListOf(picker, PackPickerZone::kListId)), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(picker.GetSelected(), 0);
    EXPECT_NE(recorder.FindText("[DESC_PACKPICK_STANDARD]"), nullptr);
    EXPECT_NE(recorder.FindText("[DIFFHUD_EASY]"), nullptr);

    profile.campaignName = "MAPPACK2";
    picker.SetShown(false, false);
    OpenFully(picker, 22);
    EXPECT_EQ(picker.GetSelected(), 3);
}

TEST_F(CampaignZonesTest, PickerWithAnUnknownCampaignSelectsTheFirstAndLeavingChangesNothing) {
    AddCampaigns({"standard", "mappack3"});
    profile.campaignName = "Elsewhere";
    profile.difficulty = 3;
    Create();
    auto& picker = ZoneOf<PackPickerZone>(ZoneId::kCampaignPicker);
    OpenFully(picker, 22);
    EXPECT_EQ(picker.GetSelected(), 0);
    profile.saves = 0;
    driver.TapBack();
    EXPECT_TRUE(game.selectedCampaigns.empty());
    EXPECT_EQ(profile.campaignName, "Elsewhere");
    EXPECT_EQ(profile.difficulty, 3);
    EXPECT_EQ(profile.saves, 1);
    EXPECT_TRUE(ZoneOf<CampaignMapZone>(ZoneId::kCampaignMap).IsShown());
}

TEST_F(CampaignZonesTest, PickerStoresAChangeOnlyWhenTheCampaignLoadsAndThenLowersTheDifficulty) {
    AddCampaigns({"standard", "mappack3", "mappack1"});
    Create();
    auto& picker = ZoneOf<PackPickerZone>(ZoneId::kCampaignPicker);
    struct Case {
        bool loads;
        std::string storedAfter;
        int difficultyAfter;
    };
    for (const Case& c : std::vector<Case>{{false, "Standard", 3}, {true, "mappack1", 0}}) {
        SCOPED_TRACE(c.loads);
        profile.campaignName = "Standard";
        profile.difficulty = 3;
        game.loadableCampaigns.clear();
        if (c.loads) game.loadableCampaigns.insert("mappack1");
        OpenFully(picker, 22);
        Pick(picker, 2);
        EXPECT_TRUE(game.selectedCampaigns.empty()) << "nothing changes before the picker is left";
        driver.Click(picker, PackPickerZone::kDoneId);
        EXPECT_EQ(game.selectedCampaigns, std::vector<std::string>{"mappack1"});
        EXPECT_EQ(profile.campaignName, c.storedAfter);
        EXPECT_EQ(profile.difficulty, c.difficultyAfter);
        game.selectedCampaigns.clear();
        ZoneOf<CampaignMapZone>(ZoneId::kCampaignMap).SetShown(false, false);
    }
}

TEST_F(CampaignZonesTest, DifficultyButtonsOpenByCompletionAndTheHighlightFollowsTheProfile) {
    campaign.completed = {0};
    profile.difficulty = 1;
    Create();
    auto& zone = ZoneOf<DifficultyZone>(ZoneId::kDifficulty);
    OpenFully(zone, 35);
    std::vector<int> states;
    for (int i = 0; i < 4; ++i) states.push_back(zone.GetWindow()->FindControl(DifficultyZone::kEasyId + i)->GetDisabled());
    EXPECT_EQ(states, (std::vector<int>{0, 0, 1, 1}));
    EXPECT_NE(recorder.FindText("[DESC_DIFF_MEDIUM]"), nullptr);

    // A disabled button cannot be chosen, even by a stray release.
    driver.Click(zone, DifficultyZone::kEasyId + 3);
    ZoneDriver::Send(zone, engine::kEventReleased, DifficultyZone::kEasyId + 2);
    EXPECT_EQ(profile.difficulty, 1);

    driver.Click(zone, DifficultyZone::kEasyId);
    EXPECT_EQ(profile.difficulty, 0);
    driver.MoveTo(0, 0);  // no button under the pointer
    recorder.Clear();
    driver.Frame();
    EXPECT_NE(recorder.FindText("[DESC_DIFF_EASY]"), nullptr);

    // The highlight shows the stored difficulty, whoever changed it: the buttons drawn lit.
    auto litButtons = [&] {
        std::set<int> lit;
        for (const DrawEntry& e : recorder.Of("image")) {
            if (e.blend != game::kBlendLit) continue;
            const int cx = e.destination.x + e.destination.width / 2;
            const int cy = e.destination.y + e.destination.height / 2;
            for (int i = 0; i < 4; ++i) {
                const engine::IntRect r = game::MenuButtonRect(2 * i);
                if (cx >= r.x && cx < r.x + r.width && cy >= r.y && cy < r.y + r.height) lit.insert(i);
            }
        }
        return lit;
    };
    EXPECT_EQ(litButtons(), std::set<int>{0});
    profile.difficulty = 3;
    recorder.Clear();
    driver.Frame();
    EXPECT_EQ(litButtons(), std::set<int>{3});

    driver.TapBack();
    EXPECT_EQ(ZoneOf<PackPickerZone>(ZoneId::kCampaignPicker).GetType(), 22);
}

}  // namespace
}  // namespace screens_test
