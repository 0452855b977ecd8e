#pragma once
// The user's language, recorded once at engine start-up as a single bit, so that text code can ask which
// locale texts to load, whether text may break between any two characters, and which character separates
// thousands. Taken from the POSIX locale environment: the first non-empty of LC_ALL, LC_MESSAGES and LANG.
// The process locale is never changed or consulted.
#include <functional>
#include <string_view>

namespace engine {

enum LanguageBit : int {
    kLanguageOther = 1,  // also English outside the US
    kLanguageEnglishUs = 2,
    kLanguageJapanese = 4,
    kLanguageGerman = 8,
    kLanguageDutch = 16,
    kLanguageFrench = 32,
    kLanguageSpanish = 64,
    kLanguageItalian = 128,
    kLanguagePortuguese = 256,
    kLanguageKorean = 512,
    kLanguageChinese = 1024,
    kLanguageChineseTaiwan = 2048,
};

class LanguageInfo {
public:
    // Returns the variable's value, or null when it is unset.
    using EnvironmentLookup = std::function<const char*(const char* name)>;

    // From the process environment.
    LanguageInfo();
    explicit LanguageInfo(const EnvironmentLookup& lookup);

    // From one locale name, language[_territory][.codeset][@modifier], without regard to case.
    static LanguageInfo FromLocaleName(std::string_view localeName);
    static int LanguageBitsOf(std::string_view localeName);

    int GetLanguageBits() const { return bits_; }
    // "." for German, French, Spanish, Italian and Portuguese; "," otherwise.
    const char16_t* GetThousandsSeparator() const;

private:
    struct FromBits {};
    LanguageInfo(FromBits, int bits) : bits_(bits) {}

    int bits_ = kLanguageOther;
};

}  // namespace engine
