#pragma once
// A saved game in memory: the battle half (teams, units, structures, marked tiles, turn order) that the
// level writes and restores, and the fields that the profile's slot operations own (folder, titles, date,
// match options, help icons, difficulty). The byte layout of a slot in the profile file is the profile's.
#include <array>
#include <cstdint>
#include <string>

#include "game/battle/hex_coord.h"
#include "game/battle/structure_manager.h"

namespace game {

inline constexpr int kSlotTeams = 5;
inline constexpr int kSlotUnitsPerTeam = 48;
inline constexpr int kSlotHelpIcons = 16;
inline constexpr int kSlotMarkedTiles = 60;

// One saved unit; type 0 is an empty record.
struct SavedUnit {
    std::int32_t type = 0;
    std::int32_t id = 0;
    HexCoord hex{-1, -1};
    std::int32_t facing = 0;
    std::int32_t passengerId = 0;  // the unit it carries
    std::int32_t carrierId = 0;    // the unit carrying it
    float health = 1.0f;
    float movementLeft = 0.0f;
    std::int32_t immobilized = 0;  // the computer player holds it (computer teams only)
    std::int32_t rank = 0;
    std::int32_t actionsUsed = 0;
    std::int32_t mapWeight = 0;
    float fuel = 0.0f;
    std::int32_t ammo = 0;
    std::int32_t airborne = 0;
};

struct SavedHelpIcon {
    std::string text;  // empty: unused
    HexCoord hex{-1, -1};
    std::int32_t bannerValue = 0;
};

struct GameSlot {
    std::int32_t inUse = 0;
    std::string folder;
    std::int32_t missionIndex = 0;
    std::int32_t currentTeam = 0;
    std::int32_t day = 1;
    std::int32_t lastDaySeen = 0;
    std::int32_t nextUnitId = 0;
    std::int32_t teamCount = 0;
    HexCoord focusHex{-1, -1};
    std::array<std::int32_t, kSlotTeams> teamKind{};
    std::array<std::int32_t, kSlotTeams> liveUnits{};
    std::array<std::array<SavedUnit, kSlotUnitsPerTeam>, kSlotTeams> units{};
    std::array<std::int32_t, kSlotTeams> cash{};
    std::array<StructureRecord, kMaxStructures> structures{};
    std::array<SavedHelpIcon, kSlotHelpIcons> helpIcons{};
    std::array<HexCoord, kSlotMarkedTiles> markedTiles;
    std::int32_t gameMode = 0;
    std::string description;
    std::string title;
    std::string date;
    std::array<std::int32_t, 4> matchOptions{};
    std::array<std::int32_t, kSlotTeams> killCount{};
    std::int32_t difficulty = 0;

    GameSlot() { markedTiles.fill(HexCoord{-1, -1}); }
};

}  // namespace game
