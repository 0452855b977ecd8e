// The screens walked on the shipped archive: every texture they ask for loads under its own name, nothing
// is drawn from texture 0, and every source rect of a GUI sheet lies in a cell of the cell map.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include "../screens/screen_fixture.h"
#include "art_walk.h"
#include "datacheck/data_check.h"
#include "engine/platform/zip_archive.h"
#include "game/screens/flow_zones.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/achievement_list.h"
#include "game/core/campaign.h"
#include "game/core/player_profile.h"
#include "game/core/turn_announcer.h"
#include "game/screens/game_screens.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/move_choice_zone.h"
#include "game/units/overlay_canvas.h"
#include "game/units/unit_overlay.h"

namespace {

using artwalk::ArchiveTextures;
using artwalk::WalkStep;

class NoTextPainter final : public game::TextPainter {
public:
    void DrawText(engine::RenderTargetBase&, const engine::WideString&, float, float, int) override {}
};

// The overlay draws its unscaled cells as sprites; they are logged as the images they are.
class SpriteRecorder final : public testsupport::DrawRecorder {
public:
    void DrawSpriteScaled(int x, int y, std::uint32_t handle, float scaleX, float scaleY,
                          const engine::IntRect& source) override {
        DrawTextureRect({x, y, static_cast<int>(source.width * scaleX), static_cast<int>(source.height * scaleY)},
                        source, handle, 0xFFFFFFFFu, 1, 0);
    }
};

// The lines of a list file (the comic cast, the map list) after its comment.
std::vector<std::string> CastNames(const std::vector<std::uint8_t>& list) {
    std::vector<std::string> names;
    std::string line;
    for (const std::uint8_t byte : list) {
        if (byte != '\n') {
            if (byte != '\r') line.push_back(static_cast<char>(byte));
            continue;
        }
        if (!line.empty() && line.rfind("//", 0) != 0) names.push_back(line);
        line.clear();
    }
    if (!line.empty() && line.rfind("//", 0) != 0) names.push_back(line);
    return names;
}

std::map<std::string, std::vector<std::uint8_t>> ShippedEntries() {
    std::map<std::string, std::vector<std::uint8_t>> entries;
    auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
    EXPECT_NE(archive, nullptr) << TINMARCH_DATASET_ARCHIVE;
    if (archive == nullptr) return entries;
    for (std::uint32_t i = 0; i < archive->EntryCount(); ++i) {
        std::uint32_t size = 0;
        auto bytes = archive->ExtractEntry(i, size);
        entries[datacheck::Upper(std::string(archive->EntryName(i)))].assign(bytes.get(), bytes.get() + size);
    }
    return entries;
}

artgen::CellMap ShippedMap() {
    artgen::CellMap map;
    std::string error;
    EXPECT_TRUE(artgen::ParseCellMap(datacheck::ShippedCellMap(), map, error)) << error;
    return map;
}

// The screens over the battle kit with every zone the program registers, drawing from the archive.
class ArtWalk : public screens_test::BattleScreenTest {
protected:
    void Walk(std::map<std::string, std::vector<std::uint8_t>> entries) {
        castList = entries["COMIC/CAST.TXT"];
        textures = std::make_unique<ArchiveTextures>(std::move(entries));
        ui.textures = textures.get();
        recorder.textureName = [this](std::uint32_t handle) { return textures->Name(handle); };
        game::RegisterHudAndShopZones(registry);
        game::RegisterMenuInfoZones(registry);
        game::RegisterFlowZones(registry);
        expectErrors = true;
        ASSERT_TRUE(registry.CreateZones());
        game::GameScreens screens(registry);
        game::Team& team = TakeTurn(1, 5000);
        game::Unit* unit = Spawn(team, game::UT_GRUNT, battle_test::H(1, 3));

        const std::pair<const char*, int> typed[] = {
            {"main menu", 8},      {"game type", 23},   {"pass and play setup", 24}, {"skirmish setup", 25},
            {"map picker", 27},    {"match options", 29}, {"save and load", 31},     {"achievements", 32},
            {"difficulty", 35},    {"settings", 0},     {"credits", 14},             {"objective", 15},
            {"end turn", 16},      {"pause", 9},        {"shop", 4},
        };
        for (const auto& [name, type] : typed) {
            Step(name, [&, type = type] { screens.OpenZone(type, 480, 320); });
        }
        for (int count = 1; count <= 4; ++count) {
            Step("move choice of " + std::to_string(count), [&] {
                game::MoveChoiceZone* menu = screens.GetMoveChoice();
                ASSERT_NE(menu, nullptr);
                menu->OpenAt(300, 300);
                for (int value = 1; value <= count; ++value) menu->AddChoice(value);
            });
        }
        Step("campaign map", [&] { screens.ShowCampaignMap(); });
        Step("HUD", [&] {
            screens.ShowTurnPanels();
            screens.SetPanelUnit(unit);
            screens.DrawUnitPanel();
        });
        Step("banner", [&] {
            screens.ShowBanner(engine::WideString("A message"), 3.0f);
            driver.Run(0.5f);
            screens.DrawBanner();
        });
        Step("unit overlays", [&] {
            // Ranks 1 and 2, and the fuel and ammunition pips low and empty.
            NoTextPainter painter;
            SpriteRecorder sprites;
            sprites.textureName = recorder.textureName;
            const std::uint32_t sheet = textures->Load("GUI/ingameUi");
            for (int rank = 1; rank <= 2; ++rank) {
                for (const float left : {0.2f, 0.0f}) {
                    game::OverlayInputs in;
                    in.rank = rank;
                    in.noFuel = in.noAmmo = false;
                    in.fuelFraction = in.ammoFraction = left;
                    in.unitSidePlayer = in.currentSidePlayer = true;
                    in.anchor = {200.0f, 200.0f};
                    game::DrawOverlay(game::LayoutInfoOverlay(in), sprites, painter, sheet);
                }
            }
            recorder.log.insert(recorder.log.end(), sprites.log.begin(), sprites.log.end());
        });
        Step("announcer", [&] {
            game::AnnouncerServices services;
            services.zoomSheet = textures->Load("GUI/Zoomer");
            int height = 0;
            textures->GetSize(services.zoomSheet, services.zoomSheetWidth, height);
            game::TurnAnnouncer announcer(services);
            announcer.Show(engine::WideString("Your Turn"), 0);
            for (int frame = 0; frame < 20; ++frame) announcer.DrawOn(recorder, 0.1f);
        });
        Step("splash and comics", [&] {
            // The splash of either screen class, and each portrait a comic may show.
            for (const char* splash : {"Common/vav", "Common/smbfg"}) textures->Load(splash);
            for (const std::string& name : CastNames(castList)) textures->Load(("Comic/" + name).c_str());
        });
        Step("win", [&] { screens.OpenWin(1, 10, ""); });
        Step("lose", [&] { screens.OpenLose(); });
        screens.SetPanelUnit(nullptr);
    }

    void Step(const std::string& screen, const std::function<void()>& action) {
        const std::size_t before = recorder.log.size();
        action();
        driver.Run(0.5f);
        steps.push_back({screen, std::vector<testsupport::DrawEntry>(recorder.log.begin() + static_cast<long>(before),
                                                                      recorder.log.end())});
        engine::HideAllDialogs();
        driver.Run(0.1f);
    }

    std::unique_ptr<ArchiveTextures> textures;
    std::vector<WalkStep> steps;
    std::vector<std::uint8_t> castList;
};

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

TEST_F(ArtWalk, EveryTextureLoadsAndEverySourceRectLiesInACell) {
    Walk(ShippedEntries());
    EXPECT_EQ(Lines(textures->faults), "");
    const artgen::CellMap map = ShippedMap();
    std::set<std::string> drawn;
    EXPECT_EQ(Lines(artwalk::CheckDrawnCells(map, steps, drawn)), "");
    for (const char* cell : {"GUI/ChoiceBack back.2", "GUI/ChoiceBack back.3", "GUI/ChoiceBack back.4",
                             "GUI/ChoiceBack choice_plate", "GUI/ingameUi small_icon.7", "GUI/ingameUi small_icon.8", "GUI/ingameUi fuel_pip",
                             "GUI/ingameUi ammo_pip", "GUI/Zoomer announcer_strip", "GUI/Zoomer edge_band"}) {
        EXPECT_EQ(drawn.count(cell), 1u) << cell;
    }
    int undrawn = 0;
    for (const artgen::Cell& cell : map.cells) undrawn += drawn.count(cell.sheet + " " + cell.name) == 0;
    std::cout << "cells drawn by the walk: " << drawn.size() << ", not reached: " << undrawn << "\n";
}

TEST_F(ArtWalk, AMissingPictureIsNamed) {
    std::map<std::string, std::vector<std::uint8_t>> entries = ShippedEntries();
    ASSERT_EQ(entries.erase("COMIC/GENERAL.PNG"), 1u);
    Walk(std::move(entries));
    EXPECT_NE(Lines(textures->faults).find("Comic/general: does not load"), std::string::npos) << Lines(textures->faults);
}

// The shipped campaign's map as the game draws it, read through the archive, with a medal on each marker.
TEST_F(ArtWalk, TheCampaignMapDrawsAMedalOnEachMarker) {
    std::map<std::string, std::vector<std::uint8_t>> entries = ShippedEntries();
    textures = std::make_unique<ArchiveTextures>(entries);
    recorder.textureName = [this](std::uint32_t handle) { return textures->Name(handle); };
    auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
    ASSERT_NE(archive, nullptr);
    // Mounts the archive as the game's file lookups see it, for as long as the check lives.
    datacheck::DataCheck mounted(std::move(archive));

    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    game::PlayerProfile profile{blob, store};
    profile.ResetDefaults();
    profile.SetCurrentCampaignName("standard");
    game::CampaignServices services;
    services.profile = &profile;
    services.loadTexture = [this](const std::string& name) { return textures->Load(name.c_str()); };
    services.markerSheet = textures->Load("GUI/CampaignBack");
    services.medalSheet = textures->Load("GUI/ingameUi");
    game::Campaign campaign("standard", services);
    ASSERT_TRUE(campaign.Load("Campaigns/standard"));
    ASSERT_GT(campaign.GetMissionCount(), 3);
    for (int m = 0; m < campaign.GetMissionCount(); ++m) profile.SetMissionResult(m, 1 + m % 4, 2);
    campaign.SelectMission(1);
    campaign.DrawMap(recorder, 0.0);
    // Then halfway through: finished, selectable and not yet open markers.
    for (int m = 2; m < campaign.GetMissionCount(); ++m) profile.SetMissionResult(m, 0, 0);
    campaign.SelectMission(2);
    campaign.DrawMap(recorder, 0.0);
    steps.push_back({"campaign map", recorder.log});

    EXPECT_EQ(Lines(textures->faults), "");
    std::set<std::string> drawn;
    EXPECT_EQ(Lines(artwalk::CheckDrawnCells(ShippedMap(), steps, drawn)), "");
    for (const char* cell : {"GUI/ingameUi medal.1", "GUI/ingameUi medal.2", "GUI/ingameUi medal.3",
                             "GUI/ingameUi medal.4", "GUI/CampaignBack marker.done", "GUI/CampaignBack marker.open", "GUI/CampaignBack marker.locked"}) {
        EXPECT_EQ(drawn.count(cell), 1u) << cell;
    }
}

// The map picker on the shipped map list shows the thumbnail of every map.
TEST_F(ArtWalk, EveryMapsThumbnailShowsInThePicker) {
    std::map<std::string, std::vector<std::uint8_t>> entries = ShippedEntries();
    const std::vector<std::string> folders = CastNames(entries["CAMPAIGNS/SKIRMISH/STANDARDPASSANDPLAYMAPS.TXT"]);
    ASSERT_GE(folders.size(), 6u);
    textures = std::make_unique<ArchiveTextures>(entries);
    ui.textures = textures.get();
    recorder.textureName = [this](std::uint32_t handle) { return textures->Name(handle); };
    auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
    ASSERT_NE(archive, nullptr);
    datacheck::DataCheck mounted(std::move(archive));
    game::RegisterFlowZones(registry);
    expectErrors = true;
    ASSERT_TRUE(registry.CreateZones());
    game::GameScreens screens(registry);
    screens.OpenZone(27, 480, 320);
    driver.Run(0.5f);
    std::set<std::string> shown;
    for (const std::string& folder : folders) {
        screens.SelectMap("Campaigns/Skirmish/" + folder);
        recorder.log.clear();
        driver.Run(0.1f);
        for (const testsupport::DrawEntry& e : recorder.log) {
            if (e.kind == "image" && e.texture.find("/thumbnail") != std::string::npos) shown.insert(e.texture);
        }
    }
    EXPECT_EQ(Lines(textures->faults), "");
    for (const std::string& folder : folders) {
        EXPECT_EQ(shown.count("Campaigns/Skirmish/" + folder + "/thumbnail"), 1u) << folder;
    }
}

// The popup of each achievement as it is earned.
TEST_F(ArtWalk, TheAchievementPopupDrawsItsCells) {
    textures = std::make_unique<ArchiveTextures>(ShippedEntries());
    recorder.textureName = [this](std::uint32_t handle) { return textures->Name(handle); };
    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    game::PlayerProfile profile{blob, store};
    profile.ResetDefaults();
    game::AchievementServices services;
    services.loadTexture = [this](const char* name) { return textures->Load(name); };
    game::AchievementList achievements(services);
    achievements.SetProfile(&profile);
    achievements.LoadTexts();
    for (int id = 0; id < game::kAchievementCount; ++id) {
        ASSERT_EQ(achievements.TryUnlock(id), 1) << id;
        for (int frame = 0; frame < 4; ++frame) achievements.DrawPopupOn(recorder, 0.1f);
    }
    steps.push_back({"achievement popup", recorder.log});

    EXPECT_EQ(Lines(textures->faults), "");
    std::set<std::string> drawn;
    EXPECT_EQ(Lines(artwalk::CheckDrawnCells(ShippedMap(), steps, drawn)), "");
    EXPECT_EQ(drawn.count("GUI/achievements popup_background"), 1u);
    for (int id = 0; id < game::kAchievementCount; ++id) {
        EXPECT_EQ(drawn.count("GUI/achievements achievement." + std::to_string(id)), 1u) << id;
    }
}

TEST(ArtWalkCells, ARectOutsideTheMapIsNamedWithItsScreen) {
    testsupport::DrawEntry inside;
    inside.kind = "image";
    inside.texture = "GUI/Zoomer";
    inside.source = {0, 648, 512, 8};
    testsupport::DrawEntry outside = inside;
    outside.source = {0, 960, 10, 10};
    testsupport::DrawEntry none = inside;
    none.texture = "0";
    std::set<std::string> drawn;
    const std::vector<std::string> faults =
        artwalk::CheckDrawnCells(ShippedMap(), {{"banner", {inside}}, {"shop", {outside, none}}}, drawn);
    EXPECT_EQ(Lines(faults), "shop: GUI/Zoomer (0, 960, 10, 10) lies in no cell\nshop: a draw of texture 0 at (0, 0, 0, 0)\n");
    EXPECT_EQ(drawn, (std::set<std::string>{"GUI/Zoomer edge_band"}));
}

}  // namespace
