#pragma once
// What the level, its start-of-turn queue, its battle steps and its units need from the game object beyond
// the battle context and the team services: the camera, sound and speech, effects, the profile, the
// campaign, and the message banner and help icons that the script shows. The game implements it; tests use a recording fake.
#include <array>
#include <cstdint>
#include <string>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/core/wide_string.h"
#include "game/battle/hex_coord.h"

namespace game {

class Unit;

// The two amounts of a campaign mission's start-cash line.
struct CampaignStartCash {
    int first = 0;   // the player sides, kinds 1 to 3
    int second = 0;  // the neutral and the enemy side, kinds 0 and 4
};

class LevelServices {
public:
    virtual ~LevelServices() = default;

    // --- Camera ---------------------------------------------------------------------------------------
    virtual void LookAtHex(HexCoord hex) = 0;
    virtual bool IsBattleZoomActive() const = 0;
    virtual void StartBattleZoom(Unit& attacker, Unit& target) = 0;
    virtual void EndBattleZoom() = 0;

    // --- Sound ----------------------------------------------------------------------------------------
    virtual void PlayLevelSound(int sound) = 0;
    virtual void PlayMusic(int track) = 0;
    virtual void StopMusic() = 0;
    // A looping level sound: its handle (never 0), or 0 when nothing plays.
    virtual int StartLoopSound(int sound) = 0;
    virtual void StopLoopSound(int handle, float fadeSeconds) = 0;
    virtual void PlaySpeech(int teamKind, int cue) = 0;

    // --- Effects and texts ----------------------------------------------------------------------------
    // A clone of the named effect prototype under the game's explosions node, placed by the matrix.
    virtual void AddEffect(const char* prototype, const engine::Matrix44& placement) = 0;

    // --- Profile ----------------------------------------------------------------------------------------
    virtual std::uint32_t GetTotalIncome() const = 0;
    virtual void AddTotalIncome(int amount) = 0;
    // The four match options: start cash of the first and second side, their per-turn bonuses.
    virtual std::array<int, 4> GetMatchOptions() const = 0;
    // The difficulty 0..3.
    virtual int GetDifficulty() const = 0;
    // Count a blue kill (of a sniper for the second); the new count.
    virtual int AddProfileKill() = 0;
    virtual int AddProfileSniperKill() = 0;

    // --- Message banner and help icons (the script's commands) ------------------------------------------
    // The banner shows the text for the seconds given.
    virtual void ShowBanner(const engine::WideString& text, float seconds) = 0;
    virtual bool IsBannerShowing() const = 0;
    // A help icon on the hex with the text of the key, shown for the seconds given.
    virtual void AddHelpIcon(HexCoord hex, const std::string& textKey, float seconds) = 0;

    // --- Campaign ---------------------------------------------------------------------------------------
    virtual CampaignStartCash GetCampaignStartCash() const = 0;
};

}  // namespace game
