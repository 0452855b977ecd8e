#pragma once
// Up to 32 lines of debug text drawn down the left edge of the frame with the default font, one line every 16
// pixels; a slot without text keeps its place. Main thread only.
#include <string>

namespace engine {

class BitmapFont;
class RenderTargetBase;

class DebugOverlay {
public:
    static constexpr int kSlotCount = 32;
    static constexpr int kLineHeight = 16;

    // Sets slot 0-31 (other slots are ignored); an empty or null text frees the slot.
    static void SetLine(int slot, const char* text);
    static const std::string& GetLine(int slot);
    // The number of slots holding text.
    static int LineCount();
    // Every slot freed.
    static void Clear();
    // Slot i at (0, 16 i); nothing without a font.
    static void Draw(RenderTargetBase& target, BitmapFont* font);
};

}  // namespace engine
