#pragma once
// The screens driven headless over the built archive: the archive is mounted as the game's data, the real
// string table reads its global and campaign texts, and a recording wrapper notes every key the screens ask
// for. Every zone the game registers is made. At the end of each walk no lookup may have given "No String",
// no drawn text may hold it, and every key asked for must be in the inventory scanned from the code (or,
// for the campaign's own texts, in the campaign's table).
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "../../game/screens/screen_fixture.h"
#include "datacheck/data_check.h"
#include "engine/platform/zip_archive.h"
#include "game/core/string_table.h"
#include "game/screens/flow_zones.h"
#include "game/screens/game_screens.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_texts.h"
#include "textkeys/key_inventory.h"

namespace text_walk {

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

// A structure of a type for the shop and the picked building.
class Building final : public game::Structure {
public:
    Building(int type, game::HexCoord hex) : Structure(hex, game::kTeamBlue, nullptr, nullptr), type_(type) {}
    int GetType() const override { return type_; }

private:
    int type_;
};

inline const textkeys::Inventory& ProjectInventory() {
    static const textkeys::Inventory inventory = textkeys::ScanProject(TINMARCH_SOURCE_DIR);
    return inventory;
}

class TextWalk : public ::testing::Test, public screens_test::BattleKit {
protected:
    static constexpr const char* kCampaign = "Campaigns/standard";

    void SetUp() override {
        std::unique_ptr<engine::ZipArchive> archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
        ASSERT_NE(archive, nullptr);
        mounted = std::make_unique<datacheck::DataCheck>(std::move(archive));
        texts.table.Init();
        texts.table.Load();
        ASSERT_NE(texts.table.GetLanguageBits(), 0) << "Locale/eng.txt does not load";
        ASSERT_TRUE(texts.table.LoadCampaignTexts(1, kCampaign));
        ui.strings = &texts;

        StartBattle();
        // The unit texts are copied through the battle's lookup when the unit assets load; the fake battle
        // answers "text <key>", which names the keys asked, and then the real texts are copied.
        for (const game::UnitDescriptor& row : game::UnitCatalogue()) {
            const game::UnitTexts& unitTexts = game::GetUnitTexts();
            for (const engine::WideString* text :
                 {&unitTexts.Name(row.type), &unitTexts.LongDescription(row.type), &unitTexts.Detail(row.type)}) {
                const std::string key = std::string(text->GetNarrow()).substr(5);
                battle.wideTexts[key] = texts.Lookup(key.c_str());
            }
        }
        ASSERT_TRUE(game::GetUnitTexts().Load(battle));

        game::RegisterHudAndShopZones(registry);
        game::RegisterMenuInfoZones(registry);
        game::RegisterFlowZones(registry);
    }
    void TearDown() override {
        EndBattle();
        mounted.reset();
        CheckWalk();
    }

    void CheckWalk() {
        for (const std::string& key : texts.missing) ADD_FAILURE() << "no text for \"" << key << "\"";
        for (const std::string& text : recorder.Texts()) {
            EXPECT_EQ(text.find(game::StringTable::kNoString), std::string::npos) << "drawn: " << text;
        }
        const textkeys::Inventory& inventory = ProjectInventory();
        for (const std::string& key : texts.asked) {
            const bool campaignText =
                !texts.table.LookupInTable(key.c_str(), 1).EqualsNarrow(game::StringTable::kNoString);
            EXPECT_TRUE(inventory.keys.count(key) == 1 || campaignText) << key << " is not in the inventory";
        }
    }
    // Each key was asked for in this walk.
    void ExpectAsked(std::initializer_list<const char*> keys) {
        for (const char* key : keys) EXPECT_EQ(texts.asked.count(key), 1u) << key << " was never asked for";
    }
    // Every zone type from 0 to 40 that a zone shows, opened fully and drawn for a while, then hidden.
    void OpenEveryZoneType() {
        for (int type = 0; type <= 40; ++type) {
            const game::ZoneId id = game::ZoneForType(type);
            if (id == game::ZoneId::kCount) continue;
            SCOPED_TRACE("zone type " + std::to_string(type));
            game::TitledZone* zone = registry.GetTitled(id);
            ASSERT_NE(zone, nullptr);
            OpenFully(*zone, type, 100, 100);
            driver.Run(0.3f);
            zone->SetShown(false, false);
            driver.Frame();
        }
    }

    std::unique_ptr<datacheck::DataCheck> mounted;
    RecordingTexts texts;
    game::GameScreens screens{registry};
};

}  // namespace text_walk
