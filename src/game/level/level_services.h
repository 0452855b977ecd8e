#pragma once
// What the level, its start-of-turn queue and its battle steps need from the game object beyond the battle
// context and the team services: the camera, sound, effects, floating texts, the profile and the campaign.
// The game implements it; tests use a recording fake.
#include <array>
#include <cstdint>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/core/wide_string.h"
#include "game/battle/hex_coord.h"

namespace game {

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

    // --- Sound ----------------------------------------------------------------------------------------
    virtual void PlayLevelSound(int sound) = 0;
    virtual void PlayMusic(int track) = 0;
    virtual void StopMusic() = 0;

    // --- Effects and texts ----------------------------------------------------------------------------
    // A clone of the named effect prototype under the game's explosions node, placed by the matrix.
    virtual void AddEffect(const char* prototype, const engine::Matrix44& placement) = 0;
    // A floating text rising from the world point.
    virtual void AddFloatingText(const engine::Vec3& at, const engine::WideString& text) = 0;

    // --- Profile ----------------------------------------------------------------------------------------
    virtual std::uint32_t GetTotalIncome() const = 0;
    virtual void AddTotalIncome(int amount) = 0;
    // The four match options: start cash of the first and second side, their per-turn bonuses.
    virtual std::array<int, 4> GetMatchOptions() const = 0;

    // --- Campaign ---------------------------------------------------------------------------------------
    virtual CampaignStartCash GetCampaignStartCash() const = 0;
};

}  // namespace game
