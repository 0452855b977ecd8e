#pragma once
// "settings.dat" in the user folder: the one setting kept outside the profile, whether the program runs full
// screen. It is read before the engine exists, because the start-up record needs it, and written when the
// player switches the display mode.
//
// Contents, little-endian: int32 version (1, not checked when read), int32 full-screen flag (1 full screen,
// 0 windowed). Bytes after the eighth are ignored.
#include <cstddef>
#include <cstdint>
#include <string>

namespace game {

inline constexpr std::int32_t kSettingsVersion = 1;
inline constexpr std::size_t kSettingsSize = 8;

// "<user folder>/settings.dat"; empty when there is no user folder.
std::string SettingsPath();
// The full-screen flag of a file image; 1 (full screen) when it is shorter than 8 bytes.
int SettingsFullScreenFlag(const std::uint8_t* bytes, std::size_t size);
// The full-screen flag of the settings file; 1 when the file is missing, unreadable or shorter than 8 bytes.
// A file that is there (and not empty) but cannot be read whole is moved to "settings.dat.bad", with one line
// on stderr; when it cannot be moved, it stays and WriteSettings leaves it alone for the rest of the run.
int ReadSettings();
// Writes version 1 and the flag, through a temporary file renamed over the old one, making the user folder
// when it is missing. False when nothing was committed; the old file is then left as it was.
bool WriteSettings(int fullScreen);

}  // namespace game
