#pragma once
// The screens over the test kit: fake game, texts, sound and profile, the counting loader, the draw
// recorder as "Main RT" and text observer, synthetic fonts, a fake clock and the zone driver, and a registry
// whose errors fail the test. The battle fixture adds the real team manager over a 12 x 12 land map with a
// recording team services that lets the unit panel go of a unit its team deletes.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../teams/team_fakes.h"
#include "game/screens/screen_services.h"
#include "game/screens/unit_panel.h"
#include "game/screens/zone.h"
#include "game/screens/zone_registry.h"
#include "support/draw_recorder.h"
#include "support/fake_clock.h"
#include "support/screen_fakes.h"
#include "support/screen_fonts.h"
#include "support/zone_driver.h"

namespace screens_test {

using testsupport::DrawEntry;

// A titled zone over the whole base that records the calls the engine's events become and answers with the
// results the test sets.
class RecordingZone : public game::TitledZone {
public:
    explicit RecordingZone(game::ScreenServices& services, std::vector<std::string>* created = nullptr,
                           const char* name = "")
        : TitledZone(services) {
        if (created != nullptr) created->push_back(name);
        CreateWindow({0, 0, game::kBaseWidth, game::kBaseHeight});
        AddButton(40, {100, 100, 200, 100}, engine::WideString("Go"), 3);
    }
    int OnShow(bool shown) override { return Note("OnShow", shown); }
    int OnFocusChanged(int id) override { return Note("OnFocusChanged", id); }
    int OnControl(bool pressed, int id) override { return Note("OnControl", pressed, id); }
    int OnKey(int code) override { return Note("OnKey", code); }
    int DrawControl(int id, const engine::IntRect&) override { return Note("DrawControl", id); }
    int OnListSelect(int id, int value) override { return Note("OnListSelect", id, value); }
    int Draw(bool afterControls) override {
        if (plainDraw) return Note("Draw", afterControls);
        return TitledZone::Draw(afterControls);
    }

    int Note(const std::string& call, int a = 0, int b = 0) {
        calls.push_back(call + "(" + std::to_string(a) + ", " + std::to_string(b) + ")");
        return result;
    }
    std::vector<std::string> calls;
    int result = 0;
    bool plainDraw = false;
};

// Everything a screen test works with; fixtures of their own (the GL ones) hold it too.
struct ScreenKit {
    ScreenKit() {
        ui.game = &game;
        ui.strings = &strings;
        ui.sound = &sound;
        ui.profile = &profile;
        ui.textures = &loader;
        ui.target = &recorder;
        ui.timer = &clock.timer;
        ui.textObserver = &recorder;
        fonts.Install(ui);
        recorder.textureName = [this](std::uint32_t handle) { return loader.Name(handle); };
        registry.SetErrorHandler([this](const char* message) {
            errors.push_back(message);
            if (!expectErrors) ADD_FAILURE() << message;
        });
        // The sheets with the sizes of the art: the zoomer is wider than the panel it holds.
        loader.Add("GUI/Zoomer", 1024, 1024);
    }

    // Registers a recording zone under the id.
    void RegisterRecording(game::ZoneId id) {
        registry.Register(id, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
            return std::make_unique<RecordingZone>(s);
        });
    }
    template <typename ZoneClass>
    ZoneClass& ZoneOf(game::ZoneId id) {
        auto* zone = dynamic_cast<ZoneClass*>(registry.Get(id));
        EXPECT_NE(zone, nullptr);
        return *zone;
    }
    // Opens the titled zone and lets its zoom finish.
    void OpenFully(game::TitledZone& zone, int type, int x = 0, int y = 0) {
        game::OpenZone(zone, type, x, y);
        driver.Run(0.25f);
    }

    testsupport::FakeClock clock;
    testsupport::DrawRecorder recorder;
    testsupport::CountingTextureLoader loader;
    testsupport::FakeStrings strings;
    testsupport::FakeSound sound;
    testsupport::FakeProfile profile;
    testsupport::FakeGame game;
    testsupport::ScreenFonts fonts;
    game::ScreenServices ui;
    testsupport::ZoneDriver driver{clock, recorder};
    game::ZoneRegistry registry{ui};
    std::vector<std::string> errors;
    bool expectErrors = false;
};

class ScreenTest : public ::testing::Test, public ScreenKit {};

// Team services that record as the team tests' do and clear the unit panel as the game does.
// The unlocks are the level's: every type but the submarine, or the campaign mask the test sets.
class PanelServices : public teams_test::RaisingServices {
public:
    using RaisingServices::RaisingServices;
    void OnUnitDeleting(const game::Unit& unit) override {
        if (panel != nullptr) panel->OnUnitDeleting(unit);
    }
    bool IsUnitTypeUnlocked(int unitType) const override {
        return unlocked ? unlocked->count(unitType) != 0 : RaisingServices::IsUnitTypeUnlocked(unitType);
    }
    game::UnitPanel* panel = nullptr;
    std::optional<std::set<int>> unlocked;
};

// The screen kit with the real teams: StartBattle loads the unit tables and hooks the team manager up,
// EndBattle takes it all down again.
struct BattleKit : ScreenKit {
    void StartBattle() {
        game::InitTeamColours();
        ASSERT_TRUE(data.Write("Units/BasicParams.TXT", units_test::ProjectTable("BasicParams.TXT")));
        ASSERT_TRUE(data.Write("Units/Damage.TXT", units_test::ProjectTable("Damage.TXT")));
        ASSERT_EQ(game::LoadUnitAssets(battle, &views), 1);
        battle.manager = &manager;
        manager.SetStructureManager(&structures);
        game.teams = &manager;
        game.battle = &battle;
    }
    void EndBattle() {
        registry.DestroyZones();
        manager.Destroy();
        battle.RemoveAll();
        game::FreeUnitAssets();
    }

    // A side of the kind with cash and one grunt, made the current side.
    game::Team& TakeTurn(int kind, int cash) {
        game::Team* team = manager.GetOrCreateTeam(kind);
        team->SetCash(cash);
        if (team->CountLiveUnits() == 0) team->SpawnUnit(game::UT_GRUNT, battle_test::H(kind, 10), 0, false, 1.0f);
        for (int i = 0; i < 8 && manager.GetCurrentTeam() != team; ++i) manager.AdvanceTurn();
        EXPECT_EQ(manager.GetCurrentTeam(), team);
        return *team;
    }
    // A unit of the side on the hex; null when none was made.
    game::Unit* Spawn(game::Team& team, int type, game::HexCoord hex) {
        const int id = team.SpawnUnit(type, hex, 0, false, 1.0f);
        return id != 0 ? team.FindUnitById(id) : nullptr;
    }

    units_test::DataFolder data;
    units_test::RecordingViewFactory views;
    teams_test::TeamBattle battle;
    PanelServices teamServices{battle};
    game::TeamManager manager{battle, teamServices};
    game::StructureManager structures{&battle};
};

class BattleScreenTest : public ::testing::Test, public BattleKit {
protected:
    void SetUp() override { StartBattle(); }
    void TearDown() override { EndBattle(); }
};

}  // namespace screens_test
