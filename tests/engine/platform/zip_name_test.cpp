#include <gtest/gtest.h>

#include <string>

#include "engine/core/crc32.h"
#include "engine/platform/zip_name.h"

namespace {

using namespace engine;

TEST(ZipName, NormalisesOnlyLowerCaseLettersAndBackslashes) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"data\\Models\\tank.mdl", "DATA/MODELS/TANK.MDL"},
        {"DATA/MODELS/TANK.MDL", "DATA/MODELS/TANK.MDL"},
        {"az`{@[", "AZ`{@["},
        {"caf\xC3\xA9.txt", "CAF\xC3\xA9.TXT"},  // bytes above 127 stay as they are
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(NormaliseZipName(c.in), c.out) << c.in;
}

TEST(ZipName, HashIsTheCrcKeyOfTheWholeNormalisedName) {
    EXPECT_EQ(ZipNameHash("data\\a.txt"), Crc32OfText("DATA/A.TXT"));
    EXPECT_EQ(ZipNameHash("Data/A.txt"), ZipNameHash("DATA\\a.TXT"));
    // No length limit: a 400-character name is keyed whole.
    const std::string longName(400, 'x');
    EXPECT_EQ(ZipNameHash(longName), Crc32OfText(std::string(400, 'X').c_str()));
    EXPECT_NE(ZipNameHash(longName), ZipNameHash(longName.substr(0, 255)));
}

TEST(ZipName, KnownCollidingPair) {
    EXPECT_EQ(ZipNameHash("DATA/RBHDNMUH.TXT"), 0x3AB25DE0u);
    EXPECT_EQ(ZipNameHash("DATA/PTDXDICB.TXT"), 0x3AB25DE0u);
}

}  // namespace
