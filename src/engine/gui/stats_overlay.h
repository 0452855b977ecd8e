#pragma once
// The statistics box in the top right corner: frame rate, vertices, triangles and batches drawn (with the
// object count), and the live materials, textures and models. The counts are smoothed from frame to frame so
// that they can be read. The box shows only while the frame timer's display word is set, which nothing in the
// game does: it is a tuning aid.
#include <array>
#include <cstdint>

#include "engine/core/wide_string.h"

namespace engine {

class BitmapFont;
class RenderTargetBase;

// What one frame of the overlay shows.
struct StatsSample {
    // The timer's smoothed frame time in ms (0: frame rate 0).
    float smoothedDeltaMs = 0.0f;
    // This frame's vertices, triangles, batches and objects.
    std::array<std::uint32_t, 4> counts{};
    int materials = 0;
    int textures = 0;
    int models = 0;
};

class StatsOverlay {
public:
    static constexpr int kLineCount = 5;
    static constexpr int kBoxWidth = 180;

    // Moves the smoothed counts a tenth of the way to the sample's (an old value of 0 takes the sample's count
    // at once) and returns the five lines with their column markup.
    std::array<WideString, kLineCount> Update(const StatsSample& sample);
    // The box and the five lines at the right edge of the target; nothing without a font.
    void Draw(RenderTargetBase& target, BitmapFont* font, const StatsSample& sample);

    float Smoothed(int index) const { return smoothed_[static_cast<std::size_t>(index)]; }

private:
    std::array<float, 4> smoothed_{};
};

// A smoothed count as shown: rounded up, with thousands separators.
void AppendSmoothedCount(WideString& text, float value);

// The engine's frame: the timer's smoothed frame time and its per-frame counters (0 without an engine), and
// the live entries of the material library, the texture table and the model table.
StatsSample GatherEngineStats();
// The engine's one statistics overlay.
StatsOverlay& GetStatsOverlay();

}  // namespace engine
