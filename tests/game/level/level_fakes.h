#pragma once
// Fakes for the level tests: recording level services, a battle whose map and structures are the level's,
// team services that ask the level for unlocks, and a fixture that writes a level folder (map source built
// into "GameMap.Hex", plus "Mission.TXT") into a temporary data folder.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../teams/team_fakes.h"
#include "game/battle/hex_map_source.h"
#include "game/level/battle_steps.h"
#include "game/level/camera_controller.h"
#include "game/level/hex_object_list.h"
#include "game/level/level.h"
#include "game/level/level_services.h"
#include "game/level/mission.h"

namespace level_test {

using namespace game;
using battle_test::H;

class RecordingLevelServices : public LevelServices {
public:
    void LookAtHex(HexCoord hex) override {
        lookAts.push_back(hex);
        if (camera != nullptr) camera->LookAtHex(hex);
    }
    bool IsBattleZoomActive() const override {
        if (camera != nullptr) return camera->IsBattleZoomActive();
        return zoomTicksLeft > 0 || zoomActive;
    }
    void StartBattleZoom(Unit& attacker, Unit& target) override {
        zoomLog.push_back("start " + std::to_string(attacker.GetId()) + ">" + std::to_string(target.GetId()));
        zoomTicksLeft = zoomHoldTicks;
        if (camera == nullptr) return;
        const int before = camera->GetMode();
        camera->StartBattleZoom(attacker, target);
        if (before != kCameraBattleZoom && camera->GetMode() == kCameraBattleZoom) {
            ++zoomsTaken;
        } else {
            zoomsRefused.push_back(before);
        }
    }
    void EndBattleZoom() override {
        zoomLog.emplace_back("end");
        if (camera != nullptr) camera->EndBattleZoom();
    }
    // One game tick of the camera: a held zoom runs down, or the real camera's update.
    void TickCamera() {
        if (camera != nullptr) camera->Update();
        if (zoomTicksLeft > 0) --zoomTicksLeft;
    }
    void PlayLevelSound(int sound) override { sounds.push_back(sound); }
    void PlayMusic(int track) override { music.push_back(track); }
    void StopMusic() override { ++musicStops; }
    int StartLoopSound(int sound) override {
        loops.push_back(sound);
        return ++lastLoopHandle;
    }
    void StopLoopSound(int handle, float) override { stoppedLoops.push_back(handle); }
    void PlaySpeech(int teamKind, int cue) override { speech.emplace_back(teamKind, cue); }
    void AddEffect(const char* prototype, const engine::Matrix44& placement) override {
        effects.emplace_back(prototype, placement.GetTranslation());
    }
    std::uint32_t GetTotalIncome() const override { return totalIncome; }
    void AddTotalIncome(int amount) override { totalIncome += static_cast<std::uint32_t>(amount); }
    std::array<int, 4> GetMatchOptions() const override { return matchOptions; }
    CampaignStartCash GetCampaignStartCash() const override { return campaignCash; }
    int GetDifficulty() const override { return difficulty; }
    int AddProfileKill() override { return ++profileKills; }
    int AddProfileSniperKill() override { return ++profileSniperKills; }
    void ShowBanner(const engine::WideString& text, float seconds) override {
        banners.emplace_back(text.GetNarrow(), seconds);
        bannerFramesLeft = bannerFrames;
    }
    bool IsBannerShowing() const override { return bannerFramesLeft > 0; }
    // One frame of the banner fake: a shown banner counts down.
    void TickBanner() {
        if (bannerFramesLeft > 0) --bannerFramesLeft;
    }
    void AddHelpIcon(HexCoord hex, const std::string& key, float seconds) override {
        helpIcons.push_back({hex, key, seconds});
    }

    std::vector<HexCoord> lookAts;
    bool zoomActive = false;
    // The camera the requests go to as well, when set.
    CameraController* camera = nullptr;
    // Zoom requests the camera took, and the camera modes of those it did not.
    int zoomsTaken = 0;
    std::vector<int> zoomsRefused;
    int zoomHoldTicks = 0;  // a started zoom reports active for this many camera ticks
    int zoomTicksLeft = 0;
    std::vector<std::string> zoomLog;
    std::vector<int> loops;
    std::vector<int> stoppedLoops;
    int lastLoopHandle = 0;
    std::vector<std::pair<int, int>> speech;
    int difficulty = 0;
    int profileKills = 0;
    int profileSniperKills = 0;
    struct HelpIconEntry {
        HexCoord hex;
        std::string key;
        float seconds;
    };
    std::vector<std::pair<std::string, float>> banners;
    int bannerFrames = 3;  // a shown banner reports showing for this many banner frames
    int bannerFramesLeft = 0;
    std::vector<HelpIconEntry> helpIcons;
    std::vector<int> sounds;
    std::vector<int> music;
    int musicStops = 0;
    std::vector<std::pair<std::string, engine::Vec3>> effects;
    std::uint32_t totalIncome = 0;
    std::array<int, 4> matchOptions = {1000, 2000, 100, 200};
    CampaignStartCash campaignCash = {500, 700};
};

// Refused mission lines, kept.
class DiagnosticsList : public MissionDiagnostics {
public:
    void Refuse(int line, const std::string& message) override { lines.emplace_back(line, message); }
    std::vector<std::pair<int, std::string>> lines;
};

// The texts alive in the level's floating-text pool, in entry order.
inline std::vector<std::string> LiveTexts(const Level& level) {
    std::vector<std::string> texts;
    for (int i = 0; i < kFloatingTextCount; ++i) {
        const FloatingText& entry = level.GetFloatingTexts().Get(i);
        if (entry.age != 0.0f) texts.emplace_back(entry.text.GetNarrow());
    }
    return texts;
}

// The team battle with the map and structures of the level once it is set, and the units' services when
// the test gives them.
class LevelBattle : public teams_test::TeamBattle {
public:
    UnitServices* GetUnitServices() override {
        return unitServices != nullptr ? unitServices : teams_test::TeamBattle::GetUnitServices();
    }
    UnitServices* unitServices = nullptr;
    HexMap& GetHexMap() override { return level != nullptr ? level->GetHexMap() : *map; }
    Structure* FindStructureAt(HexCoord hex) const override {
        return level != nullptr ? level->GetStructureManager().FindAtHex(hex) : nullptr;
    }
    Level* level = nullptr;
};

class LevelServicesForTeams : public teams_test::RaisingServices {
public:
    explicit LevelServicesForTeams(LevelBattle& battle) : RaisingServices(battle), battle_(battle) {}
    bool IsUnitTypeUnlocked(int unitType) const override {
        return battle_.level != nullptr ? battle_.level->IsUnitTypeUnlocked(unitType) : true;
    }
    // The level's own blocks, or a block that the test says is running.
    bool IsAnyBlockRunning() const override {
        return scriptRunning || (battle_.level != nullptr && battle_.level->GetScriptManager().IsAnyBlockRunning());
    }
    bool IsProjectileBusy() const override {
        return projectiles != nullptr ? projectiles->IsBusy() : FakeServices::IsProjectileBusy();
    }
    // A computer player from the test's maker when it set one (tests above the level build the real one).
    std::unique_ptr<AIPlayer> CreateAIPlayer(Team& team) override {
        if (makeComputer && battle_.level != nullptr && battle_.manager != nullptr) {
            return makeComputer(team, *battle_.level, *battle_.manager);
        }
        return RaisingServices::CreateAIPlayer(team);
    }
    // Recorded, and followed by the battle camera when the driver has one, as the game does.
    void FollowUnit(Unit& unit) override {
        RaisingServices::FollowUnit(unit);
        if (camera != nullptr) camera->FollowObject(&unit);
    }
    void OnUnitDeleting(const Unit& unit) override {
        if (camera != nullptr) camera->OnUnitDeleting(unit);
    }
    // With a game state to follow, a side acts only in state 7.
    bool IsSideActing() const override {
        return sideActing && (gameState == nullptr || *gameState == kStateSideTurn);
    }

    const ProjectileManager* projectiles = nullptr;
    std::function<std::unique_ptr<AIPlayer>(Team&, Level&, TeamManager&)> makeComputer;
    const int* gameState = nullptr;
    CameraController* camera = nullptr;

private:
    LevelBattle& battle_;
};

// A map source of size x size land tiles followed by the lines given.
// The hex of a map label such as "C4"; a label that does not parse fails the test.
inline HexCoord L(const char* label) {
    HexCoord hex;
    EXPECT_TRUE(ParseHexLabel(label, hex)) << label;
    return hex;
}

inline std::string LandSource(int size, const std::string& extra) {
    return battle_test::UniformSource(size, size, "L0", extra);
}

// Writes "Levels/<name>/GameMap.Hex" from the source and, unless null, "Levels/<name>/Mission.TXT".
inline void WriteLevel(const units_test::DataFolder& data, const std::string& name, const std::string& mapSource,
                       const char* mission) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(BuildHexMapFromSource(mapSource, bytes, error)) << error;
    ASSERT_TRUE(data.Write("Levels/" + name + "/GameMap.Hex", std::string(bytes.begin(), bytes.end())));
    if (mission != nullptr) {
        ASSERT_TRUE(data.Write("Levels/" + name + "/Mission.TXT", mission));
    }
}

// The unit tables, the recording views, a team manager and a level over the battle; LoadLevel writes and
// loads a level folder.
class LevelTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitTeamColours();
        ASSERT_TRUE(data.Write("Units/BasicParams.TXT", units_test::ProjectTable("BasicParams.TXT")));
        ASSERT_TRUE(data.Write("Units/Damage.TXT", units_test::ProjectTable("Damage.TXT")));
        ASSERT_EQ(LoadUnitAssets(battle, &views), 1);
        battle.manager = &manager;
        battle.level = &level;
        battle.gameMode = kGameModeCampaign;
    }
    void TearDown() override {
        manager.Destroy();
        battle.RemoveAll();
        level.Destroy();
        FreeUnitAssets();
    }

    // Loads the level from a map source and a mission text; no refused line unless allowed.
    void LoadLevel(const std::string& mapSource, const char* mission, bool allowRefused = false) {
        WriteLevel(data, "Test", mapSource, mission);
        ASSERT_TRUE(level.Load("Levels/Test", &diagnostics));
        if (!allowRefused) {
            EXPECT_TRUE(diagnostics.lines.empty()) << diagnostics.lines.front().second;
        }
    }

    units_test::DataFolder data;
    units_test::RecordingViewFactory views;
    LevelBattle battle;
    LevelServicesForTeams services{battle};
    RecordingLevelServices levelServices;
    DiagnosticsList diagnostics;
    TeamManager manager{battle, services};
    Level level{battle, levelServices};
};

}  // namespace level_test
