#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/core/language_info.h"

namespace {

using namespace engine;

TEST(LanguageInfo, LocaleNamesMapToLanguageBits) {
    const struct {
        const char* locale;
        int bits;
        const char16_t* separator;
    } cases[] = {
        {"en_US.UTF-8", 2, u","}, {"en_us.utf8", 2, u","}, {"EN_US", 2, u","},   {"en", 2, u","},
        {"en.UTF-8", 2, u","},    {"en_GB", 1, u","},      {"en_AU.UTF-8", 1, u","},
        {"de_DE@euro", 8, u"."},  {"de", 8, u"."},         {"fr_CA", 32, u"."},  {"es_ES.UTF-8", 64, u"."},
        {"it_IT", 128, u"."},     {"pt_BR", 256, u"."},    {"nl_NL", 16, u","},  {"ja_JP.eucJP", 4, u","},
        {"ko_KR.UTF-8", 512, u","},
        {"zh_TW.UTF-8", 2048, u","}, {"zh_tw", 2048, u","}, {"zh_HK", 1024, u","}, {"zh_CN.GB18030", 1024, u","},
        {"zh_SG", 1024, u","},    {"zh", 1024, u","},
        {"C", 1, u","},           {"C.UTF-8", 1, u","},    {"POSIX", 1, u","},  {"", 1, u","},
        {"deu_DE", 1, u","},      {"d", 1, u","},          {"_US", 1, u","},    {"sv_SE", 1, u","},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        const LanguageInfo info = LanguageInfo::FromLocaleName(c.locale);
        EXPECT_EQ(info.GetLanguageBits(), c.bits);
        EXPECT_EQ(std::u16string(info.GetThousandsSeparator()), c.separator);
    }
}

TEST(LanguageInfo, FirstNonEmptyOfLcAllLcMessagesAndLang) {
    using Env = std::map<std::string, std::string>;
    const struct {
        const char* name;
        Env env;
        int bits;
    } cases[] = {
        {"LC_ALL overrides LANG", {{"LC_ALL", "de_DE.UTF-8"}, {"LANG", "en_US.UTF-8"}}, 8},
        {"LC_ALL overrides LC_MESSAGES", {{"LC_ALL", "fr_FR"}, {"LC_MESSAGES", "ja_JP"}}, 32},
        {"empty LC_ALL is skipped", {{"LC_ALL", ""}, {"LC_MESSAGES", "ja_JP"}, {"LANG", "de_DE"}}, 4},
        {"LANG alone", {{"LANG", "zh_TW.UTF-8"}}, 2048},
        {"all empty", {{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", ""}}, 1},
        {"nothing set", {}, 1},
        {"other variables play no part", {{"LC_CTYPE", "de_DE"}, {"LANGUAGE", "fr"}}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LanguageInfo info([&c](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        });
        EXPECT_EQ(info.GetLanguageBits(), c.bits);
    }
    EXPECT_EQ(LanguageInfo(LanguageInfo::EnvironmentLookup()).GetLanguageBits(), 1);
}

}  // namespace
