// The screens driven headless over the built archive's texts, with every lookup recorded: none may give
// "No String", and every key asked for must be in the inventory scanned from the code.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "../../game/screens/screen_fixture.h"
#include "engine/platform/script_reader.h"
#include "engine/platform/posix_zip_archive.h"
#include "game/core/string_table.h"
#include "game/screens/game_screens.h"
#include "game/screens/move_choice_zone.h"
#include "game/screens/shop_zone.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_texts.h"
#include "textkeys/key_inventory.h"

namespace {

using game::ZoneId;

// The real string table behind the screens' text interface, noting each key asked for.
class RecordingTexts final : public game::ScreenTexts {
public:
    engine::WideString Lookup(const char* key) const override {
        asked.insert(key);
        engine::WideString text = table.Lookup(key);
        if (text.EqualsNarrow(game::StringTable::kNoString)) missing.insert(key);
        return text;
    }

    game::StringTable table;
    mutable std::set<std::string> asked;
    mutable std::set<std::string> missing;
};

class Building final : public game::Structure {
public:
    Building(int type, game::HexCoord hex) : Structure(hex, game::kTeamBlue, nullptr, nullptr), type_(type) {}
    int GetType() const override { return type_; }

private:
    int type_;
};

class TextWalk : public ::testing::Test, public screens_test::BattleKit {
protected:
    void SetUp() override {
        engine::PosixZipArchive archive;
        ASSERT_EQ(archive.Open(TINMARCH_DATASET_ARCHIVE), 1);
        std::unique_ptr<std::uint8_t[]> bytes;
        std::uint32_t size = 0;
        ASSERT_EQ(archive.FindEntry("Locale/eng.txt", bytes, size), 1);
        engine::ScriptReader reader;
        ASSERT_EQ(reader.LoadFromImage(bytes.get(), size, "Locale/eng.txt"), 1);
        texts.table.Init();
        ASSERT_GT(texts.table.ReadTable(0, reader), 0);
        ui.strings = &texts;

        StartBattle();
        // The unit texts are copied through the battle's lookup when the unit assets load; the fake battle
        // answers "text <key>", which names the keys asked, and then the real texts are copied.
        for (const game::UnitDescriptor& row : game::UnitCatalogue()) {
            const int type = row.type;
            const game::UnitTexts& unitTexts = game::GetUnitTexts();
            for (const engine::WideString* text :
                 {&unitTexts.Name(type), &unitTexts.LongDescription(type), &unitTexts.Detail(type)}) {
                const std::string asked = std::string(text->GetNarrow()).substr(5);
                battle.wideTexts[asked] = texts.Lookup(asked.c_str());
            }
        }
        ASSERT_TRUE(game::GetUnitTexts().Load(battle));

        game::RegisterHudAndShopZones(registry);
        ASSERT_TRUE(registry.CreateZones());
    }
    void TearDown() override { EndBattle(); }

    RecordingTexts texts;
};

TEST_F(TextWalk, TheScreensAskOnlyForKeysWithTexts) {
    TakeTurn(game::kTeamBlue, 100000);
    Building pad{game::kStructureBuildPad, battle_test::H(6, 6)};
    game.shop = &pad;
    game.mode = game::kGameModeSkirmish;

    // Each shop with each of its units selected, the information panel drawn.
    auto& shop = ZoneOf<game::ShopZone>(ZoneId::kShop);
    const std::pair<int, int> shops[] = {{game::kStructureAirport, 4},
                                         {game::kStructureBarracks, 5},
                                         {game::kStructureFactory, 6},
                                         {game::kStructureDockyard, 7}};
    std::set<int> sold;
    for (const auto& [building, zoneType] : shops) {
        Building picked{building, battle_test::H(1, 1)};
        game.picked = &picked;
        OpenFully(shop, zoneType, 100, 100);
        ASSERT_GT(shop.GetCount(), 0) << building;
        for (int i = 0; i < shop.GetCount(); ++i) {
            shop.Select(i);
            sold.insert(shop.GetEntry(i).unitType);
            driver.Frame();
        }
        shop.SetShown(false, false);
        driver.Frame();
    }
    EXPECT_GE(sold.size(), 20u);

    // The move-choice menu with every choice, and the HUD panels.
    auto& menu = ZoneOf<game::MoveChoiceZone>(ZoneId::kMoveChoice);
    for (int first = 1; first <= 9; first += 4) {
        menu.OpenAt(300, 300);
        for (int value = first; value < first + 4 && value <= 9; ++value) menu.AddChoice(value);
        driver.Run(0.3f);
        menu.SetShown(false, false);
    }
    ZoneOf<game::Zone>(ZoneId::kTopBar).SetShown(true, false);
    ZoneOf<game::Zone>(ZoneId::kTurnButton).SetShown(true, false);
    driver.Run(0.3f);

    EXPECT_TRUE(texts.missing.empty()) << "no text for " << *texts.missing.begin();
    const textkeys::Inventory inventory = textkeys::ScanProject(TINMARCH_SOURCE_DIR);
    for (const std::string& key : texts.asked) EXPECT_EQ(inventory.keys.count(key), 1u) << key << " is not in the inventory";
    // The walk saw the shop's, the panels' and the menu's keys and all three texts of every unit type.
    for (const char* key : {"GEN_BUY", "GEN_CANCEL", "BIO_ATTACKRANGE", "MC_TITLE", "MC_ATTACK", "GEN_DAY", "UT_DOOR",
                            "UTD_SUBMARINE"}) {
        EXPECT_EQ(texts.asked.count(key), 1u) << key;
    }
}

}  // namespace
