#include <gtest/gtest.h>

#include <string>

#include "engine/platform/path_parts.h"

namespace {

using namespace engine;

TEST(PathParts, SplitsAtTheLastSeparatorAndTheLastDotOfTheName) {
    struct Case {
        const char* path;
        const char* drive;
        const char* folder;
        const char* name;
        const char* extension;
    };
    const Case cases[] = {
        {"C:\\Games\\Maps\\coast.map", "C:", "\\Games\\Maps\\", "coast", ".map"},
        {"Textures/Units\\tank.body.dds", "", "Textures/Units\\", "tank.body", ".dds"},
        {"Models.v2/tank", "", "Models.v2/", "tank", ""},
        {"readme", "", "", "readme", ""},
        {"Folder/", "", "Folder/", "", ""},
        {".profile", "", "", "", ".profile"},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        WideString drive, folder, name, extension;
        SplitPath(WideString(c.path), &drive, &folder, &name, &extension);
        EXPECT_STREQ(drive.GetNarrow(), c.drive);
        EXPECT_STREQ(folder.GetNarrow(), c.folder);
        EXPECT_STREQ(name.GetNarrow(), c.name);
        EXPECT_STREQ(extension.GetNarrow(), c.extension);
        SplitPath(WideString(c.path), nullptr, nullptr, nullptr, nullptr);
    }
}

TEST(PathParts, NameTitleAndFolderParts) {
    EXPECT_STREQ(GetFileNamePart(WideString("Models\\Units/Tank.MDL")).GetNarrow(), "Tank.MDL");
    EXPECT_STREQ(GetFileTitle(WideString("Models\\Units/Tank.MDL")).GetNarrow(), "Tank");
    EXPECT_STREQ(GetFolderPartNarrow("Campaigns/Skirmish/Maps.txt").GetNarrow(), "Campaigns/Skirmish/");
    EXPECT_STREQ(GetFolderPartNarrow("D:Saves\\slot1.dat").GetNarrow(), "Saves\\");
    EXPECT_STREQ(GetFolderPartNarrow("slot1.dat").GetNarrow(), "");
    EXPECT_STREQ(GetFolderPartNarrow(nullptr).GetNarrow(), "");

    // Characters beyond 8 bits are kept.
    const char16_t wide[] = {u'a', u'/', 0x4E2D, u'.', u'x', 0};
    WideString path;
    path.AssignWide(wide);
    const WideString title = GetFileTitle(path);
    ASSERT_EQ(title.Length(), 1u);
    EXPECT_EQ(title.Data()[0], 0x4E2D);
}

}  // namespace
