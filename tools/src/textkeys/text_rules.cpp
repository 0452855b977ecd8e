#include "textkeys/text_rules.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "engine/gui/text_markup.h"

namespace textkeys {

namespace {

constexpr int kHighestColour = 4;
constexpr int kHighestIcon = 15;

// The headings drawn with the large font.
constexpr std::array<std::string_view, 6> kLargeFontKeys = {
    "WIN_CONGRATS_G", "WIN_CONGRATS_S", "WIN_CONGRATS_B", "WIN_CONGRATS_W", "LOSE_TITLE", "NOSURVIVE_TITLE"};

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// Texts whose callers turn "\n" into a line break: the game-type and picker descriptions, the survival
// label, and the campaign's map and briefing texts.
bool TakesLineBreaks(std::string_view key, TextTable table) {
    if (table == TextTable::kCampaign) return EndsWith(key, "_MAP") || EndsWith(key, "_BRIEF");
    return key == "DESC_CAMPAIGN" || key == "DESC_PASSANDPLAY" || key == "DESC_SKIRMISH" || key == "GEN_DAYP" ||
           StartsWith(key, "DESC_PACKPICK_") || StartsWith(key, "DESC_DIFF_");
}

}  // namespace

std::string CheckTextRules(const std::string& key, const std::u16string& text, TextTable table) {
    const bool largeFont = std::find(kLargeFontKeys.begin(), kLargeFontKeys.end(), key) != kLargeFontKeys.end();
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t c = text[at];
        if (c == u'\t') return "a tab";
        if (c == u'%') return "a \"%\"";
        if (c == u'\\' && at + 1 < text.size() && (text[at + 1] == u'n' || text[at + 1] == u'r') &&
            !TakesLineBreaks(key, table)) {
            return "\"\\n\" where the caller shows it as two characters";
        }
        if (c != u'@') continue;
        const engine::MarkupCode code = engine::ReadMarkup(text, at);
        switch (code.kind) {
            case engine::MarkupKind::kMalformed:
                return "malformed markup at character " + std::to_string(at + 1);
            case engine::MarkupKind::kColour:
                if (code.value > kHighestColour) return "colour " + std::to_string(code.value) + " is not 0..4";
                break;
            case engine::MarkupKind::kIcon:
                if (largeFont && code.value != 0) return "icon " + std::to_string(code.value) + " in a large-font text";
                if (code.value > kHighestIcon) return "icon " + std::to_string(code.value) + " is not 0..15";
                break;
            case engine::MarkupKind::kJump:
            case engine::MarkupKind::kLiteralAt:
                break;
        }
        at += code.length - 1;
    }
    return {};
}

}  // namespace textkeys
