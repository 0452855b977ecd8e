#pragma once
// A battle for the fuzz targets: the battle context, team services and level services in one object, with
// no views, no sound and no computer player. With a level set, the map and structures are the level's.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <span>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure_manager.h"
#include "game/level/level.h"
#include "game/level/level_services.h"
#include "game/teams/ai_player.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"

namespace fuzz {

using namespace game;

inline void Check(bool ok) {
    if (!ok) __builtin_trap();
}

class FuzzBattle final : public BattleContext, public TeamServices, public LevelServices {
public:
    FuzzBattle() : random([] { return 7u; }), timer([this] { return clockNs; }) {
        map.SetBattleContext(this);
    }

    MapUnit* FindMapUnitAt(HexCoord hex) const override { return teams->FindUnitAt(hex); }
    MapUnit* FindAirMapUnitAt(HexCoord hex) const override { return teams->FindAirUnitAt(hex); }
    int GetCurrentTeamKind() const override { return -1; }
    int GetTeamControl(int kind) const override { return TeamControlOfKind(kind); }
    std::span<MapUnit* const> GetTeamMapUnits(int) const override { return {}; }
    void ClearTargetMarks() override {}
    int CountTargetMarkedUnits() const override { return 0; }
    Structure* FindStructureAt(HexCoord hex) const override {
        return level != nullptr ? level->GetStructureManager().FindAtHex(hex) : structures->FindAtHex(hex);
    }
    void ClearStructureMarks() override {}
    const UnitParams* GetUnitParams(int) const override { return nullptr; }
    bool IsHeldImmobile(const MapUnit&) const override { return false; }
    bool BoxTouchesLevel(const engine::Matrix44&, const engine::Vec3&) const override { return false; }
    Unit* FindUnitById(int id) const override { return teams->FindUnitById(id); }
    Unit* FindUnitAt(HexCoord hex) const override { return teams->FindUnitAt(hex); }
    bool IsSettingUp() const override { return false; }
    int NextUnitId() override { return ++lastId; }
    int GetGameMode() const override { return gameMode; }
    std::uint32_t GetOptionBits() const override { return 0; }
    bool IsFastForward() const override { return false; }
    void UnlockAchievement(int) override {}
    engine::WideString GetText(const char*) const override { return engine::WideString("No String"); }
    HexMap& GetHexMap() override { return level != nullptr ? level->GetHexMap() : map; }
    engine::RandomStreams& GetRandomStreams() override { return random; }
    const engine::FrameTimer& GetFrameTimer() const override { return timer; }

    std::unique_ptr<AIPlayer> CreateAIPlayer(Team&) override { return nullptr; }
    void RefreshCash() override {}
    void OnTurnStart() override {}
    bool IsAnyBlockRunning() const override { return false; }
    bool IsUnitTypeUnlocked(int unitType) const override {
        return level != nullptr ? level->IsUnitTypeUnlocked(unitType) : true;
    }
    bool IsProjectileBusy() const override { return false; }
    bool LookAtUnit(Unit&) override { return false; }
    bool IsSideActing() const override { return false; }
    void FollowUnit(Unit&) override {}
    void ClearSelectionAndRange() override {}
    int GetTurnBonus(int) const override { return 0; }
    void RaiseUnitIdCounter(int id) override {
        if (lastId < id) lastId = id;
    }

    void LookAtHex(HexCoord) override {}
    bool IsBattleZoomActive() const override { return false; }
    void StartBattleZoom(Unit&, Unit&) override {}
    void EndBattleZoom() override {}
    void PlayLevelSound(int) override {}
    void PlayMusic(int) override {}
    void StopMusic() override {}
    int StartLoopSound(int) override { return 0; }
    void StopLoopSound(int, float) override {}
    void PlaySpeech(int, int) override {}
    void AddEffect(const char*, const engine::Matrix44&) override {}
    std::uint32_t GetTotalIncome() const override { return 0; }
    void AddTotalIncome(int) override {}
    std::array<int, 4> GetMatchOptions() const override { return {100, 100, 0, 0}; }
    CampaignStartCash GetCampaignStartCash() const override { return {100, 100}; }
    int GetDifficulty() const override { return 0; }
    int AddProfileKill() override { return 0; }
    int AddProfileSniperKill() override { return 0; }
    void ShowBanner(const engine::WideString&, float) override { bannerFramesLeft = 2; }
    bool IsBannerShowing() const override { return bannerFramesLeft > 0; }
    void AddHelpIcon(HexCoord hex, const std::string&, float) override {
        if (!IsValidHex(hex)) std::abort();
        ++helpIcons;
    }

    // The fake clock; declared before the timer that reads it.
    std::chrono::nanoseconds clockNs{0};
    HexMap map;
    engine::RandomStreams random;
    engine::FrameTimer timer;
    int lastId = 0;
    int bannerFramesLeft = 0;
    int helpIcons = 0;
    int gameMode = kGameModeSkirmish;
    TeamManager* teams = nullptr;
    StructureManager* structures = nullptr;
    Level* level = nullptr;
};

}  // namespace fuzz
