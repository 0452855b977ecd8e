#include "engine/render/shader_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using namespace engine;

TEST(ShaderFormat, ConversionsFollowPrintf) {
    struct Case {
        std::string got;
        const char* expected;
    };
    auto line = [](auto... args) {
        std::string text;
        EmitShaderLine(text, args...);
        return text;
    };
    const Case cases[] = {
        {line("float4 Proj : register(c%d);", 0), "float4 Proj : register(c0);\n"},
        {line("%s_%s", "ShadowMap", "LT_SPOT_1"), "ShadowMap_LT_SPOT_1\n"},
        {line("%08X.vsc", 0xBEEFu), "0000BEEF.vsc\n"},
        {line("%x|%u|%i", 255u, 4000000000u, -12), "ff|4000000000|-12\n"},
        {line("[%5d][%-5d][%05d][%+d][% d]", 42, 42, -42, 7, 7), "[   42][42   ][-0042][+7][ 7]\n"},
        {line("%.6f %.6f", 1.0 / 4096.0, 1.0 / 2048.0), "0.000244 0.000488\n"},
        {line("%f|%.2f|%.0f|%8.3f", 1.5, -0.125, 2.5, 3.14159), "1.500000|-0.12|2|   3.142\n"},
        {line("%c%c 100%%", 'O', 'K'), "OK 100%\n"},
        {line("[%.3s][%6s]", "abcdef", "ab"), "[abc][    ab]\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(ShaderFormat, FloatsKeepTheDecimalPointUnderAnyLocale) {
    // A locale with a decimal comma, when the system has one; the text must not change either way.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) break;
    }
    std::string text;
    EmitShaderLine(text, "%.6f", 0.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "0.500000\n");
}

TEST(ShaderFormat, LinesAppendAndGrowPastAnyFixedBuffer) {
    std::string text = "first\n";
    const std::string longName(3000, 'n');
    for (int i = 0; i < 8; ++i) EmitShaderLine(text, "float4 %s%d;", longName.c_str(), i);
    EXPECT_EQ(text.rfind("first\n", 0), 0u);
    EXPECT_GT(text.size(), 24000u);
    EXPECT_EQ(text.back(), '\n');

    WideString wide("start\n");
    ASSERT_TRUE(AppendFormattedLine(wide, "\tfloat4 Position\t: POSITION%d;", 0));
    EXPECT_STREQ(wide.GetNarrow(), "start\n\tfloat4 Position\t: POSITION0;\n");
}

}  // namespace
