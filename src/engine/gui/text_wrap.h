#pragma once
// A text broken into lines that fit a pixel width when drawn with a font. Lines break after a space, "-", ":"
// or "?" where one is at hand, else at the character that overflows; in Japanese, Korean and Chinese they
// always break at the overflowing character. CR, LF and the pairs CR LF and LF CR end a line. Each line
// carries a colour value (0: the font's current colour) that the owner may set, for example to fade it in.
//
// Wrapping builds each line in the engine's shared text work string, so it is single-threaded and makes no
// allocation per character.
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/core/wide_string.h"

namespace engine {

class BitmapFont;

class TextWrap {
public:
    // Clear, then Wrap.
    void InitWrapped(int width, std::u16string_view text, BitmapFont& font);
    void Wrap(BitmapFont& font, std::u16string_view text, int width);
    void Wrap(BitmapFont& font, const WideString& text, int width);
    // Wrap with the given language bits (language_info.h) in place of the engine's.
    void WrapForLanguage(BitmapFont& font, std::u16string_view text, int width, int languageBits);

    int GetLineCount() const { return static_cast<int>(lines_.size()); }
    // An empty text for an index outside the lines.
    const WideString& GetLine(int index) const;
    std::uint32_t GetLineValue(int index) const;
    void SetLineValue(int index, std::uint32_t colour);
    void Clear() { lines_.clear(); }

private:
    struct Line {
        WideString text;
        std::uint32_t colour = 0;
    };

    void AddLine(const char16_t* text, std::size_t length);

    std::vector<Line> lines_;
};

}  // namespace engine
