// The announcer's captions through the game object with the built texts: the one player's turn, each of
// several players' turns and the computer's turn each show an English caption, never "No String".
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../../game/core/game_fixture.h"
#include "engine/platform/posix_zip_archive.h"
#include "engine/platform/script_reader.h"
#include "game/core/string_table.h"

namespace {

using namespace game;

class CaptionWalk : public core_test::GameTest {
protected:
    void SetUp() override {
        engine::PosixZipArchive archive;
        ASSERT_EQ(archive.Open(TINMARCH_DATASET_ARCHIVE), 1);
        std::unique_ptr<std::uint8_t[]> bytes;
        std::uint32_t size = 0;
        ASSERT_EQ(archive.FindEntry("Locale/eng.txt", bytes, size), 1);
        engine::ScriptReader reader;
        ASSERT_EQ(reader.LoadFromImage(bytes.get(), size, "Locale/eng.txt"), 1);
        table.Init();
        ASSERT_GT(table.ReadTable(0, reader), 0);
        parts.strings = &table;
        GameTest::SetUp();
    }
    // The caption of the key as the announcer must have shown it.
    std::string Caption(const char* key, int flag) {
        const engine::WideString text = table.Lookup(key);
        EXPECT_FALSE(text.EqualsNarrow(StringTable::kNoString)) << key;
        return "announce " + std::string(text.GetNarrow()) + " " + std::to_string(flag);
    }
    void StartTurnOf(int kind) {
        TeamManager& teams = *game->GetTeamManager();
        for (int i = 0; i < 8 && teams.GetCurrentTeam()->GetKind() != kind; ++i) teams.AdvanceTurn();
        ASSERT_EQ(teams.GetCurrentTeam()->GetKind(), kind);
        Clear();
        game->SetState(kGameSideTurn);
    }

    StringTable table;
};

TEST_F(CaptionWalk, OnePlayerSeveralPlayersAndTheComputer) {
    // Three players of pass-and-play and the computer.
    WriteMap("Three", "structure C2 6 owner 1\nstructure C6 6 owner 4\nunit A1 17 owner 1\nunit A3 17 owner 2\n"
                      "unit A5 17 owner 3\nunit A9 17 owner 4\n");
    platform.onFrame = [this](int frame) {
        if (frame >= 1) game->RequestQuit();
    };
    LoadThrough(kGameLoadPassAndPlay, "Three");
    ASSERT_NE(game->GetTeamManager(), nullptr);
    const struct {
        int kind;
        const char* key;
    } sides[] = {{kTeamBlue, "ANN_ALLY1TURN"}, {kTeamGreen, "ANN_ALLY2TURN"}, {3, "ANN_ALLY3TURN"}};
    for (const auto& side : sides) {
        StartTurnOf(side.kind);
        EXPECT_TRUE(Logged(Caption(side.key, 0))) << side.key;
    }

    // One player against the computer.
    WriteMap("Duel", "structure C2 6 owner 1\nstructure C6 6 owner 4\nunit A1 17 owner 1\nunit A9 17 owner 4\n");
    LoadThrough(kGameLoadSkirmish, "Duel");
    StartTurnOf(kTeamBlue);
    EXPECT_TRUE(Logged(Caption("ANN_YOURTURN", 0)));
    StartTurnOf(4);
    EXPECT_TRUE(Logged(Caption("ANN_CPUTURN", 1)));
}

}  // namespace
