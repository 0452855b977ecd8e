#pragma once
// The byte layout of one saved game inside the profile file (17528 bytes, little-endian, fixed fields) and
// its conversion to and from the in-memory GameSlot. Reading checks every field on its own, so that a
// damaged or hostile slot is refused before anything of it is used.
#include <cstddef>
#include <cstdint>
#include <string>

#include "game/level/game_slot.h"

namespace game {

inline constexpr std::size_t kSlotRecordSize = 17528;
inline constexpr std::size_t kSlotTextSize = 64;
inline constexpr std::size_t kSlotFolderSize = 128;
// Campaign missions a slot may point at.
inline constexpr int kSlotMaxMission = 19;
// The unit types 1..24.
inline constexpr int kSlotMaxUnitType = 24;
// Where a record keeps the three texts that name it on a save-slot button (kSlotTextSize bytes each).
inline constexpr std::size_t kSlotDescriptionOffset = 17296;
inline constexpr std::size_t kSlotTitleOffset = 17360;
inline constexpr std::size_t kSlotDateOffset = 17424;

// Zero-terminated text of a fixed field: read up to the first zero within the field, written cut to
// size - 1 characters and always terminated (the rest of the field zero).
std::string ReadFieldText(const std::uint8_t* field, std::size_t size);
void WriteFieldText(std::uint8_t* field, std::size_t size, const std::string& text);
// True when the field holds a zero byte.
bool IsFieldTerminated(const std::uint8_t* field, std::size_t size);
// A folder that names no place outside the data: not absolute, no drive, no ".." component.
bool IsSafeRelativeFolder(const std::string& folder);

// Writes the whole record (kSlotRecordSize bytes).
void WriteSlotRecord(const GameSlot& slot, std::uint8_t* bytes);
// Reads a record into the slot; false, with the slot left in an unspecified state, when any field is out
// of range (see CheckSlotFields) or a text is not terminated.
bool ReadSlotRecord(const std::uint8_t* bytes, GameSlot& slot);
// The checks of each field on its own, without the map: the in-use flag, the mode, the folder, the
// counts, kinds and turn order, every unit, structure and help-icon record and the focus hex.
bool CheckSlotFields(const GameSlot& slot);

}  // namespace game
