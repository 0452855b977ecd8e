#include "engine/render/screen_dump_name.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(ScreenDumpName, NumbersHaveThreeDigitsOrMoreAndSlashesBecomeUnderscores) {
    EXPECT_EQ(engine::ScreenDumpFileName("Tinmarch", 5), "Tinmarch005.PNG");
    EXPECT_EQ(engine::ScreenDumpFileName("Tinmarch", 1000), "Tinmarch1000.PNG");
    EXPECT_EQ(engine::ScreenDumpFileName("A/B/C", 12), "A_B_C012.PNG");
}

TEST(ScreenDumpName, TheFirstFreeNumberIsTakenAndNoneWhenAllAreTaken) {
    std::set<std::string> files;
    const auto exists = [&files](const std::string& name) { return files.count(name) != 0; };
    EXPECT_EQ(engine::NextScreenDumpNumber("T", exists), 1);
    for (int n = 1; n <= 4; ++n) files.insert(engine::ScreenDumpFileName("T", n));
    EXPECT_EQ(engine::NextScreenDumpNumber("T", exists), 5);
    files.erase(engine::ScreenDumpFileName("T", 2));
    EXPECT_EQ(engine::NextScreenDumpNumber("T", exists), 2);
    for (int n = 1; n <= 999; ++n) files.insert(engine::ScreenDumpFileName("T", n));
    EXPECT_EQ(engine::NextScreenDumpNumber("T", exists), 1000);
    files.insert(engine::ScreenDumpFileName("T", 1000));
    EXPECT_EQ(engine::NextScreenDumpNumber("T", exists), 0);
}

}  // namespace
