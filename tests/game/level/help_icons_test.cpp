// Help icons on a loaded level, with in-memory icon models and services that log the order of their calls.
#include "game/level/help_icons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/scene/scene_node.h"
#include "game/level/saved_battle.h"
#include "level_fakes.h"

namespace level_test {
namespace {

class OrderedServices : public RecordingLevelServices {
public:
    void AddEffect(const char* prototype, const engine::Matrix44& placement) override {
        log.push_back(std::string("effect ") + prototype);
        burstUp = placement.Row(1);
        RecordingLevelServices::AddEffect(prototype, placement);
    }
    void LookAtHex(HexCoord hex) override {
        log.push_back("look " + std::to_string(hex.column) + "," + std::to_string(hex.row));
    }
    void ShowBanner(const engine::WideString& text, float seconds) override {
        log.push_back("banner " + std::string(text.GetNarrow()) + " " + std::to_string(static_cast<int>(seconds)));
    }
    void PlayLevelSound(int sound) override {
        log.push_back("sound " + std::to_string(sound) + " icons " + std::to_string(iconsLeft ? iconsLeft() : -1));
    }

    std::vector<std::string> log;
    engine::Vec3 burstUp;
    std::function<int()> iconsLeft;
};

class HelpIconsTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        world = engine::SceneNode::Init(engine::kNodeGroup, "MainWorld");
        engine::SceneNode* icon = engine::SceneNode::Init(engine::kNodeGroup, "Icon");
        icon->AddChild(engine::SceneNode::Init(engine::kNodeGroup, "IconPart"));
        HelpIcons::SetModels(icon, world);
        WriteLevel(data, "Test", LandSource(10, ""), nullptr);
        ASSERT_TRUE(iconLevel.Load("Levels/Test", nullptr));
        services.iconsLeft = [this] { return world->GetChildCount(); };
    }
    void TearDown() override {
        iconLevel.Destroy();
        HelpIcons::FreeModels();
        world->Destroy();
        LevelTest::TearDown();
    }
    HelpIcons& Icons() { return iconLevel.GetHelpIcons(); }

    engine::SceneNode* world = nullptr;
    OrderedServices services;
    Level iconLevel{battle, services};
};

TEST_F(HelpIconsTest, AnIconStandsOnItsHexUntilCollectedAndTheSeventeenthIsRefused) {
    for (int i = 0; i < kHelpIconCount; ++i) Icons().Add(H(1 + i % 8, 1 + i / 8), "KEY" + std::to_string(i), 4.0f);
    EXPECT_EQ(world->GetChildCount(), kHelpIconCount);
    Icons().Add(H(9, 9), "EXTRA", 4.0f);
    EXPECT_EQ(world->GetChildCount(), kHelpIconCount);
    EXPECT_FALSE(Icons().HasIconAt(H(9, 9)));
    EXPECT_TRUE(Icons().HasIconAt(H(1, 1)));

    engine::Vec3 surface;
    iconLevel.GetHexMap().GetSurfacePoint(surface, H(1, 1));
    const engine::Vec3 at = Icons().GetEntry(0).model->GetLocalMatrix().GetTranslation();
    EXPECT_FLOAT_EQ(at.x, surface.x);
    EXPECT_FLOAT_EQ(at.y, surface.y);
    EXPECT_FLOAT_EQ(at.z, surface.z);
    EXPECT_EQ(std::string(Icons().GetEntry(0).text.GetNarrow()), "text KEY0");

    // A freed entry takes the next icon.
    EXPECT_TRUE(Icons().CollectAtHex(H(2, 1)));
    Icons().Add(H(9, 9), "EXTRA", 4.0f);
    EXPECT_TRUE(Icons().HasIconAt(H(9, 9)));
    EXPECT_EQ(Icons().GetEntry(1).key, "EXTRA");
}

TEST_F(HelpIconsTest, CollectingBurstsLooksShowsFreesThenPlaysTheSound) {
    Icons().Add(H(3, 4), "FIRST", 5.0f);
    ASSERT_TRUE(Icons().CollectAtHex(H(3, 4)));
    const std::vector<std::string> expected = {"effect Particles/HelpIcon", "look 3,4", "banner text FIRST 5",
                                               "sound 34 icons 0"};
    EXPECT_EQ(services.log, expected);
    // The burst stands upright from the icon turned a quarter about its X axis.
    EXPECT_NEAR(services.burstUp.z, 1.0f, 1e-5f);
    EXPECT_FALSE(Icons().HasIconAt(H(3, 4)));
    EXPECT_FALSE(Icons().CollectAtHex(H(3, 4)));
    EXPECT_FALSE(Icons().CollectAtHex(H(5, 5)));
}

TEST_F(HelpIconsTest, TwoOnOneHexAreCollectedInSlotOrder) {
    Icons().Add(H(3, 4), "FIRST", 1.0f);
    Icons().Add(H(3, 4), "SECOND", 2.0f);
    ASSERT_TRUE(Icons().CollectAtHex(H(3, 4)));
    EXPECT_EQ(services.log[2], "banner text FIRST 1");
    EXPECT_TRUE(Icons().HasIconAt(H(3, 4)));
    ASSERT_TRUE(Icons().CollectAtHex(H(3, 4)));
    EXPECT_EQ(services.log[6], "banner text SECOND 2");
}

TEST_F(HelpIconsTest, PickingCollectsByAnyNodeOfTheModelAndNothingElse) {
    Icons().Add(H(3, 4), "FIRST", 1.0f);
    Icons().Add(H(5, 4), "SECOND", 1.0f);
    engine::SceneNode* foreign = engine::SceneNode::Init(engine::kNodeGroup, "Icon");
    EXPECT_FALSE(Icons().CollectByModel(nullptr));
    EXPECT_FALSE(Icons().CollectByModel(foreign));
    EXPECT_FALSE(Icons().CollectByModel(world));
    EXPECT_TRUE(services.log.empty());
    EXPECT_EQ(world->GetChildCount(), 2);
    foreign->Destroy();

    EXPECT_TRUE(Icons().CollectByModel(Icons().GetEntry(1).model->GetChild(0)));
    EXPECT_FALSE(Icons().HasIconAt(H(5, 4)));
    EXPECT_TRUE(Icons().CollectByModel(Icons().GetEntry(0).model));
    EXPECT_EQ(world->GetChildCount(), 0);
}

TEST_F(HelpIconsTest, ASavedKeyComesBackAsItsText) {
    Icons().Add(H(3, 4), "TUTORIAL_MOVE", 6.0f);
    GameSlot slot;
    SaveBattle(slot, iconLevel, manager, 1);
    EXPECT_EQ(slot.helpIcons[0].text, "TUTORIAL_MOVE");
    EXPECT_EQ(slot.helpIcons[0].hex, H(3, 4));
    EXPECT_EQ(slot.helpIcons[0].bannerValue, 6);
    EXPECT_TRUE(slot.helpIcons[1].text.empty());

    iconLevel.Destroy();
    EXPECT_EQ(world->GetChildCount(), 0);
    // The resumed battle's level, as the game makes a new one.
    Level resumed{battle, services};
    ASSERT_TRUE(resumed.Load("Levels/Test", nullptr));
    for (const SavedHelpIcon& icon : slot.helpIcons) {
        if (!icon.text.empty()) resumed.GetHelpIcons().Add(icon.hex, icon.text, static_cast<float>(icon.bannerValue));
    }
    EXPECT_EQ(std::string(resumed.GetHelpIcons().GetEntry(0).text.GetNarrow()), "text TUTORIAL_MOVE");
    EXPECT_TRUE(resumed.GetHelpIcons().HasIconAt(H(3, 4)));
    resumed.Destroy();
}

}  // namespace
}  // namespace level_test
