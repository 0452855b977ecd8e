#include "engine/core/language_info.h"

#include <cstdlib>

namespace engine {

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

struct LanguageEntry {
    const char* code;
    int bits;
};

// Languages whose bit does not depend on the territory.
constexpr LanguageEntry kLanguages[] = {
    {"ja", kLanguageJapanese}, {"de", kLanguageGerman},  {"nl", kLanguageDutch},
    {"fr", kLanguageFrench},   {"es", kLanguageSpanish}, {"it", kLanguageItalian},
    {"pt", kLanguagePortuguese}, {"ko", kLanguageKorean},
};

const char* FirstNonEmpty(const LanguageInfo::EnvironmentLookup& lookup) {
    if (!lookup) return nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = lookup(name);
        if (value != nullptr && value[0] != '\0') return value;
    }
    return nullptr;
}

}  // namespace

LanguageInfo::LanguageInfo() : LanguageInfo(EnvironmentLookup([](const char* name) { return std::getenv(name); })) {}

LanguageInfo::LanguageInfo(const EnvironmentLookup& lookup) {
    const char* locale = FirstNonEmpty(lookup);
    bits_ = locale != nullptr ? LanguageBitsOf(locale) : kLanguageOther;
}

LanguageInfo LanguageInfo::FromLocaleName(std::string_view localeName) {
    return LanguageInfo(FromBits{}, LanguageBitsOf(localeName));
}

int LanguageInfo::LanguageBitsOf(std::string_view localeName) {
    // language[_territory][.codeset][@modifier]: the codeset and modifier play no part.
    const std::string_view name = localeName.substr(0, localeName.find_first_of(".@"));
    const std::size_t underscore = name.find('_');
    const std::string_view language = name.substr(0, underscore);
    const std::string_view territory =
        underscore == std::string_view::npos ? std::string_view() : name.substr(underscore + 1);

    if (EqualsNoCase(language, "en"))
        return (territory.empty() || EqualsNoCase(territory, "US")) ? kLanguageEnglishUs : kLanguageOther;
    if (EqualsNoCase(language, "zh"))
        return EqualsNoCase(territory, "TW") ? kLanguageChineseTaiwan : kLanguageChinese;
    for (const LanguageEntry& entry : kLanguages)
        if (EqualsNoCase(language, entry.code)) return entry.bits;
    return kLanguageOther;  // also "C", "POSIX" and the empty name
}

const char16_t* LanguageInfo::GetThousandsSeparator() const {
    switch (bits_) {
        case kLanguageGerman:
        case kLanguageFrench:
        case kLanguageSpanish:
        case kLanguageItalian:
        case kLanguagePortuguese:
            return u".";
        default:
            return u",";
    }
}

}  // namespace engine
