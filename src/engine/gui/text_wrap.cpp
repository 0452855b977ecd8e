#include "engine/gui/text_wrap.h"

#include <algorithm>
#include <cstring>

#include "engine/core/language_info.h"
#include "engine/gui/bitmap_font.h"
#include "engine/platform/engine_root.h"

namespace engine {
namespace {

constexpr std::size_t kWorkCharacters = 4096;
constexpr int kNoBreakLanguages = kLanguageJapanese | kLanguageKorean | kLanguageChinese | kLanguageChineseTaiwan;

bool IsBreakCharacter(char16_t c) { return c == u' ' || c == u'-' || c == u':' || c == u'?'; }
bool IsNewline(char16_t c) { return c == u'\r' || c == u'\n'; }
bool IsSkippedAtLineStart(char16_t c) { return c == u' ' || c == u'\t' || IsNewline(c); }

int EngineLanguageBits() {
    const Engine* engine = GetEngine();
    const LanguageInfo* language = engine != nullptr ? engine->GetLanguage() : nullptr;
    return language != nullptr ? language->GetLanguageBits() : kLanguageOther;
}

}  // namespace

void TextWrap::InitWrapped(int width, std::u16string_view text, BitmapFont& font) { Wrap(font, text, width); }

void TextWrap::Wrap(BitmapFont& font, const WideString& text, int width) {
    Wrap(font, std::u16string_view(text.Data(), text.Length()), width);
}

void TextWrap::Wrap(BitmapFont& font, std::u16string_view text, int width) {
    WrapForLanguage(font, text, width, EngineLanguageBits());
}

void TextWrap::WrapForLanguage(BitmapFont& font, std::u16string_view text, int width, int languageBits) {
    Clear();
    WideString& work = GetTextWorkString();
    if (work.Capacity() < kWorkCharacters && !work.AllocHeapBuffer(kWorkCharacters)) return;
    const std::size_t capacity = work.Capacity();
    work.Resize(capacity);
    char16_t* buffer = work.MutableData();
    const bool breakAtSpaces = (languageBits & kNoBreakLanguages) == 0;

    std::size_t length = 0;
    std::size_t breakLength = 0;  // 0: no break point on this line
    std::size_t resumeAt = 0;
    std::size_t i = 0;
    auto endLine = [&](std::size_t lineLength, std::size_t next) {
        AddLine(buffer, lineLength);
        length = 0;
        breakLength = 0;
        i = next;
        while (i < text.size() && IsSkippedAtLineStart(text[i])) ++i;
    };

    while (i < text.size()) {
        const char16_t c = text[i];
        if (IsNewline(c)) {
            endLine(length, i + 1);
            continue;
        }
        if (c < 32 || c > 255) {
            ++i;
            continue;
        }
        const bool isBreak = IsBreakCharacter(c);
        if (isBreak && length == 0 && i != 0) {
            ++i;
            continue;
        }
        // A line as long as the work string is full: it ends here.
        if (length == capacity) {
            endLine(length, i);
            continue;
        }
        buffer[length++] = c;
        if (isBreak) {
            breakLength = length;
            resumeAt = i + 1;
        }
        if (font.MeasureWidth(std::u16string_view(buffer, length)) < width) {
            ++i;
            continue;
        }
        if (breakLength > 0 && breakAtSpaces) {
            endLine(breakLength, resumeAt);
        } else if (isBreak || length == 1) {
            // A break character stays on its line; a single character wider than the width goes alone on its
            // line, so that the walk always moves on.
            endLine(length, i + 1);
        } else {
            endLine(length - 1, i);
        }
    }
    if (length > 0) AddLine(buffer, length);
    work.Resize(0);
}

void TextWrap::AddLine(const char16_t* text, std::size_t length) {
    Line& line = lines_.emplace_back();
    if (length > 0 && line.text.Resize(length)) {
        std::memcpy(line.text.MutableData(), text, length * sizeof(char16_t));
    }
}

const WideString& TextWrap::GetLine(int index) const {
    static const WideString kEmpty;
    if (index < 0 || index >= GetLineCount()) return kEmpty;
    return lines_[static_cast<std::size_t>(index)].text;
}

std::uint32_t TextWrap::GetLineValue(int index) const {
    if (index < 0 || index >= GetLineCount()) return 0;
    return lines_[static_cast<std::size_t>(index)].colour;
}

void TextWrap::SetLineValue(int index, std::uint32_t colour) {
    if (index >= 0 && index < GetLineCount()) lines_[static_cast<std::size_t>(index)].colour = colour;
}

}  // namespace engine
