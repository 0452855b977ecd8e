#include "engine/gui/debug_overlay.h"

#include <array>

#include "engine/gui/bitmap_font.h"

namespace engine {
namespace {

struct DebugLines {
    std::array<std::string, DebugOverlay::kSlotCount> slots;
    int count = 0;
};

DebugLines& Lines() {
    static DebugLines lines;
    return lines;
}

const std::string& NoLine() {
    static const std::string empty;
    return empty;
}

}  // namespace

void DebugOverlay::SetLine(int slot, const char* text) {
    if (slot < 0 || slot >= kSlotCount) return;
    std::string& line = Lines().slots[static_cast<std::size_t>(slot)];
    const bool had = !line.empty();
    if (text == nullptr || *text == '\0') {
        std::string().swap(line);
    } else {
        line = text;
    }
    Lines().count += (line.empty() ? 0 : 1) - (had ? 1 : 0);
}

const std::string& DebugOverlay::GetLine(int slot) {
    if (slot < 0 || slot >= kSlotCount) return NoLine();
    return Lines().slots[static_cast<std::size_t>(slot)];
}

int DebugOverlay::LineCount() { return Lines().count; }

void DebugOverlay::Clear() {
    // Swapping with empty strings gives the heap blocks back, not just the lengths.
    for (std::string& line : Lines().slots) std::string().swap(line);
    Lines().count = 0;
}

void DebugOverlay::Draw(RenderTargetBase& target, BitmapFont* font) {
    if (font == nullptr) return;
    for (int i = 0; i < kSlotCount; ++i) {
        const std::string& line = Lines().slots[static_cast<std::size_t>(i)];
        if (!line.empty()) font->DrawNarrow(target, line.c_str(), 0, kLineHeight * i, 0);
    }
}

}  // namespace engine
