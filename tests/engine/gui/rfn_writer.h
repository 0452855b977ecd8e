#pragma once
// ".RFN" files written byte by byte for tests, and a synthetic font whose cells and advances are known.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/core/int_rect.h"

namespace guitest {

struct RfnDescription {
    int version = 2;
    std::vector<std::uint8_t> skipped;  // the block of length L after the header
    int lastCode = 126;
    int glyphHeight = 10;
    int lineSpacing = 12;
    int verticalOffset = 2;
    std::function<engine::IntRect(int code)> cell;
    // The full pen advance after c when n follows (both 32 .. last).
    std::function<int(int c, int n)> advance;
};

inline std::vector<std::uint8_t> WriteRfn(const RfnDescription& d) {
    std::vector<std::uint8_t> out;
    auto u16 = [&out](int v) {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    };
    out.push_back(static_cast<std::uint8_t>(d.version));
    out.push_back(0);
    u16(static_cast<int>(d.skipped.size()));
    // Byte by byte: a range insert of a block the compiler sees as empty draws a false overread warning.
    for (const std::uint8_t byte : d.skipped) out.push_back(byte);
    out.push_back(static_cast<std::uint8_t>(d.lastCode));
    for (int i = 0; i < 3; ++i) out.push_back(0);
    out.push_back(static_cast<std::uint8_t>(d.glyphHeight));
    out.push_back(static_cast<std::uint8_t>(d.lineSpacing));
    out.push_back(static_cast<std::uint8_t>(d.verticalOffset));
    if (d.version >= 3) out.push_back(0);
    for (int code = 33; code <= d.lastCode; ++code) {
        const engine::IntRect cell = d.cell ? d.cell(code) : engine::IntRect{};
        u16(cell.x);
        u16(cell.y);
        u16(cell.width);
        u16(cell.height);
    }
    for (int c = 32; c <= d.lastCode; ++c) {
        for (int n = 32; n <= d.lastCode; ++n) {
            const int advance = d.advance ? d.advance(c, n) : 0;
            if (d.version >= 2) {
                u16(advance);
            } else {
                out.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(advance)));
            }
        }
    }
    return out;
}

// The synthetic font: every glyph's cell is 4 + c % 4 wide and 10 tall on a 16-pixel grid; every advance is
// 5 + c % 3, except "A" before "V", kerned to 4.
inline int SyntheticCellWidth(int c) { return 4 + c % 4; }
inline int SyntheticAdvance(int c, int n) {
    if (c == 'A' && n == 'V') return 4;
    return 5 + c % 3;
}

inline RfnDescription SyntheticFont(int lastCode = 126, int version = 2) {
    RfnDescription d;
    d.version = version;
    d.lastCode = lastCode;
    d.cell = [](int c) { return engine::IntRect{(c % 16) * 16, (c / 16) * 16, SyntheticCellWidth(c), 10}; };
    d.advance = SyntheticAdvance;
    return d;
}

}  // namespace guitest
