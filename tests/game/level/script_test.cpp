// The mission script: tokenising command lines, the keyword tables, loading blocks from a script text with
// every refused piece reported once with its line, stepping blocks, day starts and the variables.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "game/level/script_manager.h"
#include "level_fakes.h"

namespace level_test {
namespace {

std::string Narrow(const engine::WideString& text) { return text.GetNarrow(); }

TEST(ScriptLineTest, TokenizesKeywordAndArguments) {
    struct Case {
        const char* line;
        bool ok;
        const char* keyword;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"MOVEUNIT(a,b12)", true, "MOVEUNIT", {"a", "b12"}},
        {"moveunit (a, b12)", true, "moveunit", {"a", " b12"}},
        {"PAUSE  (1)", true, "PAUSE", {" ", "1"}},  // only the first blank ends the keyword
        {"SPAWN\tx\tUT_GRUNT", true, "SPAWN", {"x", "UT_GRUNT"}},
        {"PAUSE((,,2,,))", true, "PAUSE", {"2"}},
        {"X(1,2,3,4,5,6,7,8,9)", true, "X", {"1", "2", "3", "4", "5", "6", "7", "8"}},
        {"WAITINTEL", true, "WAITINTEL", {}},
        {"", false, "", {}},
        {"(,\t)", false, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ScriptLine line;
        line.argumentCount = 5;
        EXPECT_EQ(TokenizeScriptLine(engine::WideString(c.line), line), c.ok);
        EXPECT_EQ(Narrow(line.keyword), c.keyword);
        ASSERT_EQ(line.argumentCount, static_cast<int>(c.arguments.size()));
        for (int i = 0; i < line.argumentCount; ++i) EXPECT_EQ(Narrow(line.Argument(i)), c.arguments[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(line.Argument(line.argumentCount).IsEmpty());
    }
}

TEST(ScriptLineTest, WideCharactersStayWhole) {
    // U+012C has the low byte of a comma: it must not split the argument.
    ScriptLine tokens;
    engine::WideString built;
    const char16_t text[] = {u'H', u'(', u'A', 0x012C, u'1', u')', 0};
    built.AssignWide(text);
    ASSERT_TRUE(TokenizeScriptLine(built, tokens));
    ASSERT_EQ(tokens.argumentCount, 1);
    EXPECT_EQ(tokens.Argument(0).Length(), 3u);
    EXPECT_TRUE(ScriptArgumentAscii(tokens.Argument(0)).empty());
}

TEST(ScriptLineTest, KeywordTables) {
    EXPECT_EQ(ParseTeamKeyword("TEAM_NEUTRAL"), 0);
    EXPECT_EQ(ParseTeamKeyword("team_ally3"), 3);
    EXPECT_EQ(ParseTeamKeyword("TEAM_ENEMY"), 4);
    EXPECT_EQ(ParseTeamKeyword(" TEAM_ENEMY"), 5);
    EXPECT_EQ(ParseTeamKeyword(""), 5);
    EXPECT_EQ(ParseDirectionKeyword("TD_ABOVE"), 0);
    EXPECT_EQ(ParseDirectionKeyword("td_leftup"), 5);
    EXPECT_EQ(ParseDirectionKeyword("TD_SIDEWAYS"), 6);
}

// A command that answers from a list (the last answer repeats) and counts its executions.
class FakeAction : public ScriptAction {
public:
    FakeAction(ScriptManager& manager, std::vector<int> answers, std::vector<std::string>* log, std::string name)
        : ScriptAction(manager), answers_(std::move(answers)), log_(log), name_(std::move(name)) {}
    bool Parse(const ScriptLine&) override { return true; }
    int Execute() override {
        if (log_ != nullptr) log_->push_back(name_);
        const int answer = answers_[next_ < answers_.size() ? next_ : answers_.size() - 1];
        ++next_;
        return answer;
    }

private:
    std::vector<int> answers_;
    std::vector<std::string>* log_;
    std::string name_;
    std::size_t next_ = 0;
};

class ScriptTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        LoadLevel(LandSource(10, ""), nullptr);
        script().SetTeamManager(&manager);
    }
    ScriptManager& script() { return level.GetScriptManager(); }
    void LoadScript(const std::string& text) {
        diagnostics.lines.clear();
        script().Init("Levels/Test");
        script().LoadFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), &diagnostics);
    }
    std::string Reports() const {
        std::string all;
        for (const auto& [line, message] : diagnostics.lines) all += std::to_string(line) + ": " + message + "\n";
        return all;
    }
    ScriptBlock* AddFakeBlock(const char* name, const std::vector<std::vector<int>>& actions) {
        auto block = std::make_unique<ScriptBlock>(engine::WideString(name));
        for (std::size_t i = 0; i < actions.size(); ++i) {
            EXPECT_TRUE(block->Append(std::make_unique<FakeAction>(script(), actions[i], &log, name + std::to_string(i))));
        }
        ScriptBlock* raw = block.get();
        EXPECT_TRUE(script().AddBlock(std::move(block)));
        return raw;
    }
    std::vector<std::string> log;
};

TEST_F(ScriptTest, LoadsBlocksWithKeywordsInAnyCaseAndBlanksKeptAfterCommas) {
    LoadScript(
        "// a comment\n"
        "[DAY1_START]\n"
        "{\n"
        "  hotspot(b2)\n"
        "  MoveUnit(tank, B3)\n"          // the label is trimmed
        "  IMMOBILIZEUNIT(tank, ON)\n"     // the keyword argument keeps its blank: refused
        "}\n"
        "[Other]\n"
        "{\n"
        "PAUSE(1)\n"
        "}\n");
    ASSERT_EQ(script().GetBlockCount(), 2);
    EXPECT_EQ(script().GetBlock(0)->GetActionCount(), 2);
    EXPECT_EQ(script().FindBlock(engine::WideString("other")), script().GetBlock(1));
    EXPECT_EQ(script().FindBlock(engine::WideString("missing")), nullptr);
    ASSERT_EQ(diagnostics.lines.size(), 1u) << Reports();
    EXPECT_EQ(diagnostics.lines[0].first, 6);
}

TEST_F(ScriptTest, EachFaultIsReportedOnceWithItsLineAndTheRestLoads) {
    const std::string longLine(2000, 'X');
    const std::string overLine = "PAUSE(" + std::string(294, '1') + ")";  // 301 characters
    LoadScript(
        "[NoBrace]\n"             // 1
        "PAUSE(1)\n"              // 2: not "{": the block is dropped
        "}\n"                     // 3
        "[Good]\n"                // 4
        "{\n"                     // 5
        "FLY(x)\n"                // 6: unknown
        + longLine + "\n"         // 7: too long for the reader
        + overLine + "\n"         // 8: longer than a command line
        "SPAWN(x,UT_NOTHING,B2,TEAM_ENEMY,TD_ABOVE)\n"  // 9: refused
        "ADDTRIGGER(C3,Later)\n"  // 10: names no earlier block
        "PAUSE(1)\n"              // 11
        "}\n"                     // 12
        "[Later]\n"               // 13
        "{\n"                     // 14
        "ADDTRIGGER(C3,Good)\n"   // 15
        "}\n"                     // 16
        "[Open]\n"                // 17
        "{\n"                     // 18
        "PAUSE(1)\n");            // 19: the text ends before "}"
    ASSERT_EQ(script().GetBlockCount(), 2) << Reports();
    EXPECT_EQ(Narrow(script().GetBlock(0)->GetName()), "Good");
    EXPECT_EQ(script().GetBlock(0)->GetActionCount(), 2);
    EXPECT_EQ(Narrow(script().GetBlock(1)->GetName()), "Later");
    std::vector<int> lines;
    for (const auto& entry : diagnostics.lines) lines.push_back(entry.first);
    EXPECT_EQ(lines, (std::vector<int>{2, 6, 7, 8, 9, 10, 19})) << Reports();
}

// A block whose name is not followed by "{" is dropped alone: the blocks on either side load, whatever
// follows the bad name.
TEST_F(ScriptTest, ABlockWithoutItsBraceIsDroppedAloneBetweenTwoGoodBlocks) {
    const std::string first = "[First]\n{\nPAUSE(1)\n}\n";
    const std::string last = "[Last]\n{\nPAUSE(1)\nPAUSE(2)\n}\n";
    struct Case {
        const char* name;
        std::string bad;
        int reportLine;  // the first line after the bad name that is not a comment
    };
    const Case cases[] = {
        {"commands and a closing brace", "[Bad]\nPAUSE(3)\n}\n", 6},
        {"nothing before the next name", "[Bad]\n", 6},
        {"a comment before the next name", "[Bad]\n// no brace\n", 7},
        {"a brace later on", "[Bad]\nPAUSE(3)\n{\nPAUSE(4)\n}\n", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadScript(first + c.bad + last);
        ASSERT_EQ(script().GetBlockCount(), 2) << Reports();
        EXPECT_EQ(Narrow(script().GetBlock(0)->GetName()), "First");
        EXPECT_EQ(script().GetBlock(0)->GetActionCount(), 1);
        EXPECT_EQ(Narrow(script().GetBlock(1)->GetName()), "Last");
        EXPECT_EQ(script().GetBlock(1)->GetActionCount(), 2);
        ASSERT_FALSE(diagnostics.lines.empty());
        EXPECT_EQ(diagnostics.lines[0].first, c.reportLine) << Reports();
    }
}

TEST_F(ScriptTest, ABlockHoldsAtMost127Commands) {
    for (int count : {127, 128}) {
        SCOPED_TRACE(count);
        std::string text = "[Full]\n{\n";
        for (int i = 0; i < count; ++i) text += "HOTSPOT(B2)\n";
        text += "}\n[After]\n{\nHOTSPOT(B3)\n}\n";
        LoadScript(text);
        ASSERT_EQ(script().GetBlockCount(), count == 127 ? 2 : 1);
        if (count == 127) {
            EXPECT_EQ(script().GetBlock(0)->GetActionCount(), 127);
            EXPECT_TRUE(diagnostics.lines.empty()) << Reports();
        } else {
            // Loading goes on at the next bracketed name after the refused block.
            EXPECT_EQ(Narrow(script().GetBlock(0)->GetName()), "After");
            ASSERT_EQ(diagnostics.lines.size(), 1u) << Reports();
            EXPECT_EQ(diagnostics.lines[0].first, 2 + 128);  // the 128th command
        }
    }
}

TEST_F(ScriptTest, AMissingFileOrEmptyTextLeavesTheScriptEmpty) {
    script().Init("Levels/Test");
    script().Load(&diagnostics);
    EXPECT_EQ(script().GetBlockCount(), 0);
    LoadScript("");
    EXPECT_EQ(script().GetBlockCount(), 0);
    LoadScript("[A]");
    EXPECT_EQ(script().GetBlockCount(), 0);
    EXPECT_EQ(diagnostics.lines.size(), 1u) << Reports();
    EXPECT_TRUE(diagnostics.lines.empty() || diagnostics.lines[0].first == 1);
    EXPECT_EQ(script().RunBlocks(), 1);
    EXPECT_FALSE(script().IsAnyBlockRunning());
}

TEST_F(ScriptTest, TheScriptFileOfTheFolderIsRead) {
    ASSERT_TRUE(data.Write("Levels/Test/Script.TXT", "[DAY1_START]\n{\nHOTSPOT(B2)\n}\n"));
    script().Init("Levels/Test");
    script().Load(&diagnostics);
    EXPECT_EQ(script().GetBlockCount(), 1);
    EXPECT_TRUE(diagnostics.lines.empty());
}

TEST_F(ScriptTest, BlockStepping) {
    // All immediate: done inside Start.
    ScriptBlock* quick = AddFakeBlock("q", {{1}, {2}, {1}});
    EXPECT_EQ(quick->Start(), 1);
    EXPECT_FALSE(quick->IsRunning());
    EXPECT_EQ(log, (std::vector<std::string>{"q0", "q1", "q2"}));

    // A waiting command holds the block; a failed one does not.
    log.clear();
    ScriptBlock* slow = AddFakeBlock("s", {{2}, {0, 0, 1}, {1}});
    EXPECT_EQ(slow->Start(), 0);
    EXPECT_TRUE(slow->IsRunning());
    EXPECT_TRUE(script().IsAnyBlockRunning());
    EXPECT_EQ(script().RunBlocks(), 0);
    EXPECT_EQ(script().RunBlocks(), 1);
    EXPECT_FALSE(script().IsAnyBlockRunning());
    EXPECT_EQ(log, (std::vector<std::string>{"s0", "s1", "s1", "s1", "s2"}));
    EXPECT_EQ(slow->Step(), 1);  // done: no command runs again

    // A restart, also of a running block, begins at the first command.
    log.clear();
    ScriptBlock* again = AddFakeBlock("r", {{1}, {0}});
    EXPECT_EQ(again->Start(), 0);
    EXPECT_EQ(again->Start(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"r0", "r1", "r0", "r1"}));
}

TEST_F(ScriptTest, DayStartRunsItsBlockOnceAndClearsReservations) {
    AddFakeBlock("DAY3_START", {{1}});
    AddFakeBlock("DAY03_START", {{1}});
    HexMap& map = level.GetHexMap();
    map.EditTile(H(2, 2))->dropReservation = 7;
    script().FireDayStart(2);
    EXPECT_EQ(map.GetTile(H(2, 2)).dropReservation, 0);
    EXPECT_TRUE(log.empty());
    for (int day = 3; day <= 5; ++day) script().FireDayStart(day);
    EXPECT_EQ(log, (std::vector<std::string>{"DAY3_START0"}));
}

TEST_F(ScriptTest, Variables) {
    const engine::WideString a("A"), b("b"), c("C");
    script().SetUnitVariable(a, 5);
    script().SetUnitVariable(engine::WideString("a"), 6);
    EXPECT_EQ(script().GetUnitVariable(a), 6);
    EXPECT_EQ(script().GetUnitVariable(b), 0);
    script().SetUnitVariable(engine::WideString(), 9);
    EXPECT_EQ(script().GetUnitVariable(engine::WideString()), 0);
    for (int i = 0; i < 200; ++i) script().SetUnitVariable(engine::WideString(("u" + std::to_string(i)).c_str()), i + 1);
    EXPECT_EQ(script().GetUnitVariable(engine::WideString("u126")), 127);
    EXPECT_EQ(script().GetUnitVariable(engine::WideString("u127")), 0);  // the table is full

    HexCoord out{-1, -1};
    script().SetLocationVariable(a, H(1, 1));
    script().SetLocationVariable(b, H(2, 2));
    script().SetLocationVariable(c, H(3, 3));
    script().SetLocationVariable(engine::WideString("B"), H(4, 4));
    EXPECT_TRUE(script().GetLocationVariable(a, out));
    EXPECT_EQ(out, H(1, 1));
    EXPECT_TRUE(script().GetLocationVariable(b, out));
    EXPECT_EQ(out, H(4, 4));
    EXPECT_FALSE(script().GetLocationVariable(c, out));
}

}  // namespace
}  // namespace level_test
