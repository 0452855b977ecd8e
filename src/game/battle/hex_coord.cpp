#include "game/battle/hex_coord.h"

#include <cmath>
#include <cstdlib>

namespace game {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
int LetterIndex(char c) { return (c >= 'a' ? c - 'a' : c - 'A'); }

}  // namespace

engine::Vec2 HexToWorld(HexCoord hex) {
    const float x = (static_cast<float>(hex.column) + 0.5f) * 0.866f - 20.784f;
    const float evenShift = (hex.column & 1) == 0 ? 0.5f : 0.0f;
    const float z = -((static_cast<float>(hex.row) + 0.5f + evenShift) - 19.0f);
    return {x, z};
}

int DirectionToAngle(int direction) {
    const int angle = (450 - 60 * direction) % 360;
    return angle < 0 ? angle + 360 : angle;
}

int SnapAngle5(float degrees) {
    if (!std::isfinite(degrees)) return 0;
    // Reduce first so that the integer conversion stays in range; the remainder is kept positive.
    const double reduced = std::fmod(static_cast<double>(degrees), 360.0);
    int whole = static_cast<int>(std::floor(reduced + 2.5 + 360.0)) % 360;
    if (whole < 0) whole += 360;
    return whole / 5 * 5;
}

int HexDistance(HexCoord a, HexCoord b) {
    const int dx = b.column - a.column;
    const int dy = b.row - a.row;
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    if ((dx >= 0) == (dy >= 0)) return ax > ay ? ax : ay;
    return ax + ay;
}

int CompareHexDistance(const void* a, const void* b) {
    const float da = static_cast<const HexDistancePair*>(a)->distance;
    const float db = static_cast<const HexDistancePair*>(b)->distance;
    if (da < db) return -1;
    if (da > db) return 1;
    return 0;
}

bool ParseHexLabel(std::string_view text, HexCoord& out) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    int row = 0;
    std::string_view digits;
    if (text.size() >= 2 && IsLetter(text[0]) && IsDigit(text[1])) {
        row = LetterIndex(text[0]);
        digits = text.substr(1);
    } else if (text.size() >= 3 && LetterIndex(text[0]) == 0 && IsLetter(text[0]) && IsLetter(text[1])) {
        row = LetterIndex(text[1]) + 26;
        digits = text.substr(2);
    } else {
        return false;
    }
    if (digits.empty() || digits.size() > 2) return false;
    int column = 0;
    for (char c : digits) {
        if (!IsDigit(c)) return false;
        column = column * 10 + (c - '0');
    }
    const HexCoord hex = MakeHexCoord(column, row);
    if (!IsValidHex(hex)) return false;
    out = hex;
    return true;
}

}  // namespace game
