// The screens walked on the shipped archive through the engine's texture table: every texture they ask for
// loads under its own name, no check texture is made or drawn, nothing is drawn from texture 0, every source
// rect of a GUI sheet lies in a cell of the cell map and every cell the map marks as used is drawn.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>

#include "../screens/screen_fixture.h"
#include "render_gl/render_test_fixture.h"
#include "support/zip_writer.h"
#include "art_walk.h"
#include "datacheck/data_check.h"
#include "engine/platform/zip_archive.h"
#include "game/screens/flow_zones.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/achievement_list.h"
#include "game/core/campaign.h"
#include "game/core/game_resources.h"
#include "game/core/player_profile.h"
#include "game/core/turn_announcer.h"
#include "game/screens/comic_player.h"
#include "game/screens/credits_zone.h"
#include "game/screens/screen_draw.h"
#include "game/screens/game_screens.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/move_choice_zone.h"
#include "game/units/overlay_canvas.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_texts.h"
#include "game/units/unit_overlay.h"

namespace {

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

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

// The screens over the battle kit with every zone the program registers, their textures loaded through the
// engine's texture table on the test device from the mounted archive.
class ArtWalk : public rendertest::GraphicsDeviceTest, public screens_test::BattleKit {
protected:
    void SetUp() override {
        GraphicsDeviceTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(Create(false));
        ASSERT_TRUE(engine::TextureTable::Init(0));
        engine::TextureTable::SetDevice(&Gpu());
        ASSERT_NO_FATAL_FAILURE(StartBattle());
        ui.textures = &textures;
        recorder.textureName = [this](std::uint32_t handle) { return textures.Name(handle); };
    }
    void TearDown() override {
        EndBattle();
        mounted.reset();
        if (device_) device_->UnbindAllTextures();
        FreeTextureTable();
        GraphicsDeviceTest::TearDown();
    }

    // Mounts the archive's entries (the shipped ones, or a copy with some left out) as the game's file
    // lookups see them.
    void Mount(const std::map<std::string, std::vector<std::uint8_t>>& entries) {
        castList = entries.at("COMIC/CAST.TXT");
        mapList = entries.at("CAMPAIGNS/SKIRMISH/STANDARDPASSANDPLAYMAPS.TXT");
        for (const auto& [name, bytes] : entries) {
            const bool text = name.size() > 4 && name.compare(name.size() - 4, 4, ".TXT") == 0;
            if (text && (name.rfind("LOCALE/", 0) == 0 || name.rfind("CAMPAIGNS/", 0) == 0)) {
                AddTextIcons(bytes);
            }
            if (name.size() > 10 && name.compare(name.size() - 10, 10, "/COMIC.TXT") == 0) {
                comics.push_back(name.substr(0, name.size() - 10));
            }
        }
        testsupport::ZipWriter writer;
        for (const auto& [name, bytes] : entries) writer.Add(name, std::string(bytes.begin(), bytes.end()), 0);
        archiveBytes = writer.Build().bytes;
        // The program's own texts (floating texts, labels) name icons too.
        const std::string sources = std::string(TINMARCH_SOURCE_DIR) + "/src";
        for (const auto& file : std::filesystem::recursive_directory_iterator(sources)) {
            if (file.path().extension() != ".cpp") continue;
            std::ifstream in(file.path(), std::ios::binary);
            AddTextIcons(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}));
        }
        auto archive = datacheck::OpenArchiveMemory(archiveBytes);
        ASSERT_NE(archive, nullptr);
        mounted = std::make_unique<datacheck::DataCheck>(std::move(archive));

        // The shipped texts and fonts, so that texts measure and wrap as the player sees them.
        ASSERT_TRUE(texts.Load("Campaigns/standard"));
        ui.strings = &texts;
        shippedEntries = entries;
        shippedFonts = std::make_unique<artwalk::ShippedFonts>(shippedEntries, textures);
        ASSERT_EQ(Lines(shippedFonts->Missing()), "");
        shippedFonts->Install(ui);
        // The unit texts are copied through the battle's lookup ("text <key>" names the key asked for).
        for (const game::UnitDescriptor& row : game::UnitCatalogue()) {
            const game::UnitTexts& unitTexts = game::GetUnitTexts();
            for (const engine::WideString* text :
                 {&unitTexts.Name(row.type), &unitTexts.LongDescription(row.type), &unitTexts.Detail(row.type)}) {
                const std::string key = std::string(text->GetNarrow()).substr(5);
                battle.wideTexts[key] = texts.Lookup(key.c_str());
            }
        }
        ASSERT_TRUE(game::GetUnitTexts().Load(battle));
    }

    // The inline icons ("@X[n]") a text names; locale files are UTF-16LE, so their zero bytes are dropped.
    void AddTextIcons(const std::vector<std::uint8_t>& bytes) {
        std::string text;
        for (const std::uint8_t byte : bytes) {
            if (byte != 0) text.push_back(static_cast<char>(byte));
        }
        for (std::size_t at = text.find("@X["); at != std::string::npos; at = text.find("@X[", at + 3)) {
            // "@X[00%i]" is the rank badge of ranks 1 and 2 (icons 7 and 8).
            if (text.compare(at + 3, 5, "00%i]") == 0) {
                textIcons.insert({7, 8});
            } else if (std::isdigit(static_cast<unsigned char>(text[at + 3]))) {
                textIcons.insert(std::atoi(text.c_str() + at + 3));
            }
        }
    }

    void Walk() {
        game::RegisterHudAndShopZones(registry);
        game::RegisterMenuInfoZones(registry);
        game::RegisterFlowZones(registry);
        expectErrors = true;
        ASSERT_TRUE(registry.CreateZones());
        game::GameScreens screens(registry);
        // The shipped campaign, as the campaign map zone draws it.
        engine::MemorySaveStore store;
        engine::NamedSaveBlob blob{store};
        game::PlayerProfile player{blob, store};
        player.ResetDefaults();
        player.SetCurrentCampaignName("standard");
        game::CampaignServices campaignServices;
        campaignServices.profile = &player;
        campaignServices.loadTexture = [this](const std::string& name) { return textures.Load(name.c_str()); };
        campaignServices.markerSheet = textures.Load("GUI/CampaignBack");
        campaignServices.medalSheet = textures.Load("GUI/ingameUi");
        campaignServices.target = [this] { return static_cast<engine::RenderTargetBase*>(&recorder); };
        game::Campaign campaign("standard", campaignServices);
        ASSERT_TRUE(campaign.Load("Campaigns/standard"));
        game.campaign = &campaign;
        game::Team& team = TakeTurn(1, 5000);
        game::Unit* unit = Spawn(team, game::UT_GRUNT, battle_test::H(1, 3));

        const std::pair<const char*, int> typed[] = {
            {"main menu", 8},      {"game type", 23},   {"pass and play setup", 24}, {"skirmish setup", 25},
            {"map picker", 27},    {"match options", 29}, {"save and load", 31},     {"achievements", 32},
            {"difficulty", 35},    {"settings", 0},     {"credits", 14},             {"objective", 15},
            {"end turn", 16},      {"pause", 9},        {"shop", 4},
            {"settings in battle", 1}, {"speech picker", 21}, {"campaign picker", 22}, {"load", 30},
            {"map picker of pass and play", 26}, {"match options of pass and play", 28},
        };
        for (const auto& [name, type] : typed) {
            Step(name, [&, type = type] { screens.OpenZone(type, 480, 320); });
        }
        if (auto* credits = dynamic_cast<game::CreditsZone*>(registry.Get(game::ZoneId::kCredits))) {
            if (credits->GetLines() != nullptr) creditLines = credits->GetLines()->GetLineCount();
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
        Step("unit panel of every type", [&] {
            for (int type = 1; type < game::kUnitTypeCount; ++type) {
                game::Unit* shown = Spawn(team, type, battle_test::H(4 + type % 6, 4 + type / 6));
                ASSERT_NE(shown, nullptr) << type;
                screens.SetPanelUnit(shown);
                screens.DrawUnitPanel();
            }
        });
        Step("inline icons", [&] {
            // Each icon the shipped texts name, as the fonts' icon callbacks cut it: small in the fonts that
            // draw small icons, and large icon 0, the one texts in the large font use.
            engine::BitmapFont& font = *ui.Font(game::FontId::kMain);
            auto* target = static_cast<engine::RenderTargetBase*>(&recorder);
            for (const int icon : textIcons) {
                game::GameResources::SmallIcon(font, 0, 20, 0xFFFFFFFFu, icon, engine::BitmapFont::kIconDraw, target);
            }
            game::GameResources::LargeIcon(font, 0, 20, 0xFFFFFFFFu, 0, engine::BitmapFont::kIconDraw, target);
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
            const std::uint32_t sheet = textures.Load("GUI/ingameUi");
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
            services.zoomSheet = textures.Load("GUI/Zoomer");
            int height = 0;
            textures.GetSize(services.zoomSheet, services.zoomSheetWidth, height);
            game::TurnAnnouncer announcer(services);
            announcer.Show(engine::WideString("Your Turn"), 0);
            for (int frame = 0; frame < 20; ++frame) announcer.DrawOn(recorder, 0.1f);
        });
        Step("splash", [&] {
            // The splash of either screen class, as the view loads it.
            for (const char* splash : {"Common/vav", "Common/smbfg"}) textures.Load(splash);
        });
        for (const std::string& folder : comics) {
            Step("comic " + folder, [&] {
                game::ComicPlayer player(ui);
                player.Start(folder);
                for (int frame = 0; frame < 1200 && !player.IsFinished(); ++frame) {
                    player.Update(0.05f);
                    player.Draw();
                }
                EXPECT_TRUE(player.IsFinished()) << folder;
            });
        }
        Step("comic portraits", [&] {
            for (const std::string& name : CastNames(castList)) textures.Load(("Comic/" + name).c_str());
        });
        Step("map picker", [&] {
            screens.OpenZone(27, 480, 320);
            driver.Run(0.5f);
            for (const std::string& folder : CastNames(mapList)) {
                screens.SelectMap("Campaigns/Skirmish/" + folder);
                driver.Run(0.1f);
            }
        });
        Step("win", [&] { screens.OpenWin(1, 10, ""); });
        Step("lose", [&] { screens.OpenLose(); });
        screens.SetPanelUnit(nullptr);
        Step("campaign medals", [&] { DrawCampaignMedals(campaign, player); });
        Step("achievement popup", [&] { DrawAchievementPopups(); });
        registry.DestroyZones();
        game.campaign = nullptr;
    }

    // The campaign's map with a medal on each marker, then halfway through: finished, selectable and not yet
    // open markers.
    void DrawCampaignMedals(game::Campaign& campaign, game::PlayerProfile& player) {
        ASSERT_GT(campaign.GetMissionCount(), 3);
        for (int m = 0; m < campaign.GetMissionCount(); ++m) player.SetMissionResult(m, 1 + m % 4, 2);
        campaign.SelectMission(1);
        campaign.DrawMap(recorder, 0.0);
        for (int m = 2; m < campaign.GetMissionCount(); ++m) player.SetMissionResult(m, 0, 0);
        campaign.SelectMission(2);
        campaign.DrawMap(recorder, 0.0);
    }

    // The popup of each achievement as it is earned.
    void DrawAchievementPopups() {
        engine::MemorySaveStore store;
        engine::NamedSaveBlob blob{store};
        game::PlayerProfile player{blob, store};
        player.ResetDefaults();
        game::AchievementServices services;
        services.loadTexture = [this](const char* name) { return textures.Load(name); };
        game::AchievementList achievements(services);
        achievements.SetProfile(&player);
        achievements.LoadTexts();
        for (int id = 0; id < game::kAchievementCount; ++id) {
            ASSERT_EQ(achievements.TryUnlock(id), 1) << id;
            for (int frame = 0; frame < 4; ++frame) achievements.DrawPopupOn(recorder, 0.1f);
        }
    }

    void Step(const std::string& screen, const std::function<void()>& action) {
        const std::size_t before = recorder.log.size();
        action();
        driver.Run(0.5f);
        // One more frame once the screen has settled (its zoom and slides done).
        const std::size_t settledFrom = recorder.log.size();
        driver.Frame();
        settled.push_back({screen, std::vector<testsupport::DrawEntry>(
                                       recorder.log.begin() + static_cast<long>(settledFrom), recorder.log.end())});
        steps.push_back({screen, std::vector<testsupport::DrawEntry>(recorder.log.begin() + static_cast<long>(before),
                                                                      recorder.log.end())});
        engine::HideAllDialogs();
        driver.Run(0.1f);
    }

    artwalk::TableTextures textures;
    std::vector<WalkStep> steps;
    // The last frame of each step.
    std::vector<WalkStep> settled;
    std::vector<std::uint8_t> castList;
    std::vector<std::uint8_t> mapList;
    std::vector<std::string> comics;
    std::set<int> textIcons;
    artwalk::ShippedTexts texts;
    std::map<std::string, std::vector<std::uint8_t>> shippedEntries;
    std::unique_ptr<artwalk::ShippedFonts> shippedFonts;
    int creditLines = 0;
    std::vector<std::uint8_t> archiveBytes;
    std::unique_ptr<datacheck::DataCheck> mounted;
};

TEST_F(ArtWalk, EveryTextureLoadsAndEveryUsedCellIsDrawnFromItsPlace) {
    ASSERT_NO_FATAL_FAILURE(Mount(ShippedEntries()));
    ASSERT_GE(comics.size(), 1u);
    Walk();
    EXPECT_EQ(Lines(textures.faults), "");
    EXPECT_EQ(Lines(artwalk::CheckTexturesMade()), "");
    const artgen::CellMap map = ShippedMap();
    std::set<std::string> drawn;
    EXPECT_EQ(Lines(artwalk::CheckDrawnCells(map, steps, drawn)), "");
    EXPECT_EQ(Lines(artwalk::UsedCellsNotDrawn(map, drawn)), "");
    // Texts, wrapped ones included, stay within the screen in the fonts that draw them once it has settled.
    EXPECT_EQ(Lines(artwalk::CheckTextsOnScreen(ui, settled, game.GetScreenWidth())), "");
    // The credits wrap to 40-80 lines in the medium font, so that a full pass takes under a minute.
    EXPECT_GE(creditLines, 40);
    EXPECT_LE(creditLines, 80);
    for (const char* cell : {"GUI/Zoomer speech_bubble", "GUI/Zoomer announcer_strip", "GUI/Zoomer edge_band",
                             "GUI/ingameUi fuel_pip", "GUI/ingameUi ammo_pip", "GUI/ingameUi medal.4",
                             "GUI/CampaignBack marker.locked", "GUI/CampaignBack frame",
                             "GUI/achievements popup_background"}) {
        EXPECT_EQ(drawn.count(cell), 1u) << cell;
    }

    // Every map's thumbnail shows in the picker.
    std::set<std::string> shown;
    for (const WalkStep& step : steps) {
        for (const testsupport::DrawEntry& e : step.entries) {
            if (e.kind == "image" && e.texture.find("/thumbnail") != std::string::npos) shown.insert(e.texture);
        }
    }
    const std::vector<std::string> folders = CastNames(mapList);
    ASSERT_GE(folders.size(), 6u);
    for (const std::string& folder : folders) {
        EXPECT_EQ(shown.count("Campaigns/Skirmish/" + folder + "/thumbnail"), 1u) << folder;
    }
}

TEST_F(ArtWalk, AMissingPictureIsNamed) {
    std::map<std::string, std::vector<std::uint8_t>> entries = ShippedEntries();
    ASSERT_EQ(entries.erase("COMIC/GENERAL.PNG"), 1u);
    ASSERT_NO_FATAL_FAILURE(Mount(entries));
    Walk();
    EXPECT_NE(Lines(textures.faults).find("Comic/general: does not load"), std::string::npos) << Lines(textures.faults);
}

TEST_F(ArtWalk, APictureFoundOnlyUnderCommonIsNamed) {
    std::map<std::string, std::vector<std::uint8_t>> entries = ShippedEntries();
    entries["COMMON/GENERAL.PNG"] = entries.at("COMIC/GENERAL.PNG");
    entries.erase("COMIC/GENERAL.PNG");
    ASSERT_NO_FATAL_FAILURE(Mount(entries));
    Walk();
    EXPECT_NE(Lines(textures.faults).find("Comic/general: found only under Common/"), std::string::npos)
        << Lines(textures.faults);
}

TEST_F(ArtWalk, ACheckTextureMadeIsNamed) {
    EXPECT_EQ(Lines(artwalk::CheckTexturesMade()), "");
    const int handle = engine::TextureTable::MakeCheckTexture(0xFFFF00FFu, 0xFF000000u, 8);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(Lines(artwalk::CheckTexturesMade()), "a check texture is made (handle " + std::to_string(handle) + ")\n");
    EXPECT_EQ(textures.Name(static_cast<std::uint32_t>(handle)), "Check");
}

TEST(ArtWalkTexts, ATextPastTheScreensEdgeIsNamedWithItsScreen) {
    testsupport::ScreenFonts fonts;
    game::ScreenServices services;
    fonts.Install(services);
    const int width = fonts.fonts[0]->MeasureWidth(engine::WideString("Riverford"));
    std::vector<testsupport::DrawEntry> texts;
    for (const auto& [x, alignment] : std::vector<std::pair<int, int>>{
             {960 - width, game::kAlignLeft}, {960, game::kAlignRight | 0x40}, {480, game::kAlignCentre},
             {961 - width, game::kAlignLeft}, {width - 1, game::kAlignRight}}) {
        testsupport::DrawEntry e;
        e.kind = "text";
        e.font = game::FontId::kTiny;
        e.raw = e.text = "Riverford";
        e.x = x;
        e.alignment = alignment;
        texts.push_back(e);
    }
    EXPECT_EQ(Lines(artwalk::CheckTextsOnScreen(services, {{"map picker", texts}}, 960)),
              "map picker: \"Riverford\" in font 0 spans x " + std::to_string(961 - width) +
                  "..961, past the 960 px screen\nmap picker: \"Riverford\" in font 0 spans x -1.." +
                  std::to_string(width - 1) + ", past the 960 px screen\n");
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
    testsupport::DrawEntry check = inside;
    check.texture = "Check";
    std::set<std::string> drawn;
    const std::vector<std::string> faults =
        artwalk::CheckDrawnCells(ShippedMap(), {{"banner", {inside}}, {"shop", {outside, none, check}}}, drawn);
    EXPECT_EQ(Lines(faults),
              "shop: GUI/Zoomer (0, 960, 10, 10) lies in no cell\nshop: a draw of texture 0 at (0, 0, 0, 0)\n"
              "shop: a check texture drawn at (0, 0, 0, 0)\n");
    EXPECT_EQ(drawn, (std::set<std::string>{"GUI/Zoomer edge_band"}));
}

}  // namespace
