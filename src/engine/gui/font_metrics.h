#pragma once
// The metrics of a bitmap font as its ".RFN" file stores them: the glyph cell of every character from 33 to the
// last code, and a 256 x 256 table of pen advances where entry [c][n] is the advance after c when n follows and
// [c][0] the advance of c at the end of a text.
//
// File layout (little-endian): version byte, one unread byte, u16 length L of a skipped block, the block; then
// the last code, three unread bytes, glyph height, line spacing, vertical offset, and from version 3 one more
// unread byte; the cells of codes 33 .. last as u16 x, y, width, height; the advance rows of first codes
// 32 .. last, each with entries for second codes 32 .. last, signed bytes up to version 1 and s16 from 2.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/int_rect.h"

namespace engine {

struct FontMetrics {
    static constexpr int kFirstCode = 33;
    static constexpr int kTableSide = 256;

    int lastCode = 0;
    int glyphHeight = 0;
    int lineSpacing = 0;
    int verticalOffset = 0;
    // Index code - 33.
    std::array<IntRect, kTableSide - kFirstCode> cells{};
    // Index c * 256 + n.
    std::unique_ptr<std::array<std::int16_t, kTableSide * kTableSide>> advances;

    bool HasCell(int code) const { return code >= kFirstCode && code <= lastCode; }
    const IntRect& Cell(int code) const { return cells[static_cast<std::size_t>(code - kFirstCode)]; }
    // The advance after c (0 .. 255) when next follows; a next code below 32 (a line break, a tab) or of 256 or
    // more reads as the end of the text.
    int Advance(int c, int next) const;
};

// Parses a whole ".RFN" file. Every size is checked before it is read: a file shorter than its header, its
// skipped block, its cells or its advance rows is refused (false, metrics untouched). After reading, [c][0] is
// the cell width of c for codes 33 .. last and [32][0] is [32][32].
bool ParseFontMetrics(const std::uint8_t* data, std::size_t size, FontMetrics& out);

}  // namespace engine
