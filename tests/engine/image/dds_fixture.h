#pragma once
// Builds DDS files for the reader's tests field by field, independent of the engine's own writer.
#include <cstdint>
#include <cstring>
#include <vector>

namespace ddstest {

using Bytes = std::vector<std::uint8_t>;

inline void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::uint32_t Get32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
           (std::uint32_t{b[at + 3]} << 24);
}

struct PixelFormat {
    std::uint32_t flags = 0x41;  // RGB with alpha
    std::uint32_t fourCc = 0;
    std::uint32_t bits = 32;
    std::uint32_t r = 0xFF0000, g = 0xFF00, b = 0xFF, a = 0xFF000000u;
};

inline PixelFormat A8R8G8B8() { return {}; }
inline PixelFormat X8R8G8B8() { return {0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0}; }
inline PixelFormat R5G6B5() { return {0x40, 0, 16, 0xF800, 0x7E0, 0x1F, 0}; }
inline PixelFormat A1R5G5B5() { return {0x41, 0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000}; }
inline PixelFormat A4R4G4B4() { return {0x41, 0, 16, 0xF00, 0xF0, 0xF, 0xF000}; }
inline PixelFormat FourCc(const char* code) {
    PixelFormat f{0x4, 0, 0, 0, 0, 0, 0};
    std::memcpy(&f.fourCc, code, 4);
    return f;
}

// The 128-byte head: magic, header of 124 bytes with the pixel format at file offset 76, caps2 at 112.
inline Bytes Head(std::uint32_t width, std::uint32_t height, const PixelFormat& f, std::uint32_t mipCount = 0,
                  std::uint32_t caps2 = 0) {
    Bytes b(128, 0);
    std::memcpy(b.data(), "DDS ", 4);
    Put32(b, 4, 124);
    Put32(b, 8, 0x1007 | (mipCount > 0 ? 0x20000 : 0));
    Put32(b, 12, height);
    Put32(b, 16, width);
    Put32(b, 28, mipCount);
    Put32(b, 76, 32);
    Put32(b, 80, f.flags);
    Put32(b, 84, f.fourCc);
    Put32(b, 88, f.bits);
    Put32(b, 92, f.r);
    Put32(b, 96, f.g);
    Put32(b, 100, f.b);
    Put32(b, 104, f.a);
    Put32(b, 108, 0x1000);
    Put32(b, 112, caps2);
    return b;
}

inline Bytes Trailer(std::uint32_t alphaKind) {
    Bytes t(12);
    Put32(t, 0, 0x0000BEEF);
    Put32(t, 4, 0x00000B0E);
    Put32(t, 8, alphaKind);
    return t;
}

inline Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace ddstest
