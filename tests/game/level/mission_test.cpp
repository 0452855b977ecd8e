// Reading the mission file: blocks, keys, arguments, limits and the values the level answers from it.
#include <gtest/gtest.h>

#include <string>

#include "level_fakes.h"

namespace level_test {
namespace {

class MissionTest : public LevelTest {
protected:
    void Read(const std::string& text) {
        level.LoadMissionFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), &diagnostics);
    }
    const MissionSettings& Mission() const { return level.GetMission(); }
};

TEST_F(MissionTest, BlocksInAnyOrderWithKeysInAnyCase) {
    Read("[AICONFIG]\nAICFG_OFFENCE_AGGRO, 2.5\naicfg_engineer_agro,0.75\n[ENDAICONFIG]\n"
         "[LOSE]\nwlc_no_allied_units\n[ENDLOSE]\n"
         "[WIN]\nWLC_REACHTILE_ANY, b12\nWlc_CashGrab,5000\n[ENDWIN]\n"
         "[UNLOCK]\nut_light_tank\nUT_BOMBER\n[ENDUNLOCK]\n");
    EXPECT_TRUE(diagnostics.lines.empty());
    ASSERT_EQ(Mission().win.size(), 2u);
    EXPECT_EQ(Mission().win[0].id, WLC_REACHTILE_ANY);
    EXPECT_EQ(Mission().win[0].argument, " b12");
    EXPECT_EQ(Mission().win[0].tile, H(12, 1));
    EXPECT_EQ(Mission().win[1].id, WLC_CASHGRAB);
    EXPECT_EQ(Mission().win[1].amount, 5000);
    ASSERT_EQ(Mission().lose.size(), 1u);
    EXPECT_EQ(Mission().lose[0].id, WLC_NO_ALLIED_UNITS);
    EXPECT_EQ(Mission().unlockMask, kDefaultUnlockMask | (1u << UT_LIGHT_TANK) | (1u << UT_BOMBER));
    EXPECT_FLOAT_EQ(level.GetAIConfig(AICFG_OFFENCE_AGGRO), 2.5f);
    EXPECT_FLOAT_EQ(level.GetAIConfig(AICFG_ENGINEER_AGRO), 0.75f);
    EXPECT_FLOAT_EQ(level.GetAIConfig(AICFG_LANDUNITS_RATIO), 1.0f);
    EXPECT_EQ(level.GetMissionMode(), 0);
}

TEST_F(MissionTest, AnUnknownKeyEndsItsBlockAndKeepsEarlierLines) {
    Read("[WIN]\nWLC_NO_ENEMY_HQ\nWLC_NOTHING\nWLC_NO_ENEMY_UNITS\n[ENDWIN]\n"
         "[UNLOCK]\nUT_MLRS\nUT_WHATEVER\nUT_BOMBER\n[ENDUNLOCK]\n");
    ASSERT_EQ(Mission().win.size(), 1u);
    EXPECT_EQ(Mission().win[0].id, WLC_NO_ENEMY_HQ);
    EXPECT_EQ(Mission().unlockMask, kDefaultUnlockMask | (1u << UT_MLRS));
    ASSERT_EQ(diagnostics.lines.size(), 2u);
    EXPECT_EQ(diagnostics.lines[0].first, 3);
    EXPECT_EQ(diagnostics.lines[1].first, 8);
}

TEST_F(MissionTest, ConditionsThatAreNeverTestedCannotBeRead) {
    for (const char* key : {"WLC_NULL", "WLC_CHEAT", "WLC_UNABLE_TO_TAKE_A_TURN", "WLC_SURVIVOR_FAIL"}) {
        EXPECT_EQ(ParseWinLoseKeyword(key), WLC_NULL) << key;
    }
    EXPECT_EQ(ParseWinLoseKeyword("WLC_NO_ALLIED_SKIRMISH"), WLC_NO_ALLIED_SKIRMISH);
}

TEST_F(MissionTest, SurvivorModeSkipsTheWinBlockAndReadsTheLoseBlock) {
    Read("[GAMEMODE]\nSURVIVOR, 6\n[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n[LOSE]\nWLC_NO_ALLIED_HQ\n[ENDLOSE]\n");
    EXPECT_TRUE(Mission().win.empty());
    ASSERT_EQ(Mission().lose.size(), 1u);
    EXPECT_EQ(level.GetMissionMode(), 1);
    EXPECT_EQ(level.GetSurvivorTurns(), 6);
}

TEST_F(MissionTest, SurvivorTurnsMustBeAWholeNumberAboveZero) {
    for (const char* value : {"0", "-2", "3x", "", "2.5"}) {
        diagnostics.lines.clear();
        Read(std::string("[GAMEMODE]\nsurvivor,") + value + "\n[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n");
        EXPECT_EQ(level.GetMissionMode(), 0) << value;
        EXPECT_EQ(Mission().win.size(), 1u) << value;
        EXPECT_EQ(diagnostics.lines.size(), 1u) << value;
    }
}

TEST_F(MissionTest, UnlocksAndTheirAnswersByGameMode) {
    Read("[UNLOCK]\nUT_SUBMARINE\nUT_HEAVY_TANK\n[ENDUNLOCK]\n");
    EXPECT_FALSE(level.IsUnitTypeUnlocked(UT_SUBMARINE));
    EXPECT_TRUE(level.IsUnitTypeUnlocked(UT_HEAVY_TANK));
    EXPECT_TRUE(level.IsUnitTypeUnlocked(UT_ENGINEER));
    EXPECT_TRUE(level.IsUnitTypeUnlocked(UT_GRUNT));
    EXPECT_FALSE(level.IsUnitTypeUnlocked(UT_TROOPER));
    battle.gameMode = kGameModeSkirmish;
    EXPECT_TRUE(level.IsUnitTypeUnlocked(UT_TROOPER));
    EXPECT_FALSE(level.IsUnitTypeUnlocked(UT_SUBMARINE));
}

TEST_F(MissionTest, WithoutAnyBlockTheDefaultsHold) {
    Read("");
    EXPECT_EQ(Mission().unlockMask, 0x20004u);
    EXPECT_TRUE(Mission().win.empty());
    EXPECT_TRUE(Mission().lose.empty());
    for (int i = 0; i < kAIConfigCount; ++i) EXPECT_EQ(level.GetAIConfig(i), kAIConfigDefaults[i]) << i;
    // A missing file reads the same.
    level.LoadMission("Levels/Nowhere", &diagnostics);
    EXPECT_EQ(Mission().unlockMask, 0x20004u);
    EXPECT_TRUE(diagnostics.lines.empty());
}

TEST_F(MissionTest, TuningIsResetOnEveryReadAndFixedOutsideCampaigns) {
    Read("[AICONFIG]\nAICFG_FUNDS_DONATION, 3\nAICFG_SEAUNITS_RATIO, lots\nOTHER, 1\n[ENDAICONFIG]\n");
    EXPECT_FLOAT_EQ(level.GetAIConfig(AICFG_FUNDS_DONATION), 3.0f);
    EXPECT_FLOAT_EQ(level.GetAIConfig(AICFG_SEAUNITS_RATIO), 1.0f);  // not a number: the default stays
    EXPECT_EQ(diagnostics.lines.size(), 1u);
    Read("[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n");
    EXPECT_FLOAT_EQ(level.GetAIConfig(AICFG_FUNDS_DONATION), 0.0f);
    Read("[AICONFIG]\nAICFG_FUNDS_DONATION, 3\n[ENDAICONFIG]\n");
    for (int mode : {kGameModePassAndPlay, kGameModeSkirmish}) {
        battle.gameMode = mode;
        EXPECT_FLOAT_EQ(level.GetAIConfig(AICFG_ENGINEER_AGRO), 0.5f);
        EXPECT_FLOAT_EQ(level.GetAIConfig(AICFG_FUNDS_DONATION), 0.0f);
        EXPECT_FLOAT_EQ(level.GetAIConfig(AICFG_OFFENCE_AGGRO), 1.0f);
    }
    EXPECT_EQ(level.GetAIConfig(6), 0.0f);
    EXPECT_EQ(level.GetAIConfig(-1), 0.0f);
}

TEST_F(MissionTest, EntriesWithABadArgumentAreRefusedAndLaterEntriesKept) {
    struct Case {
        const char* line;
        bool kept;
    };
    const Case cases[] = {
        {"WLC_REACHTILE_ANY, b12", true},   {"WLC_REACHTILE_ANY,AM5", false}, {"WLC_REACHTILE_GENERAL,", false},
        {"WLC_REACHTILE_SUPERSOLDIER, ZZ1", false}, {"WLC_CASHGRAB, 5000", true}, {"WLC_CASHGRAB,5000x", false},
        {"WLC_CASHGRAB,", false},           {"WLC_CASHGRAB,-5", false},       {"WLC_CASHGRAB, 12.5", false},
        {"WLC_CASHGRAB,99999999999", false}, {"WLC_NO_ENEMY_HQ, whatever", true},
    };
    for (const Case& c : cases) {
        diagnostics.lines.clear();
        Read(std::string("[WIN]\n") + c.line + "\nWLC_NO_ALLIED_UNITS\n[ENDWIN]\n");
        ASSERT_EQ(Mission().win.size(), c.kept ? 2u : 1u) << c.line;
        EXPECT_EQ(Mission().win.back().id, WLC_NO_ALLIED_UNITS) << c.line;
        EXPECT_EQ(diagnostics.lines.size(), c.kept ? 0u : 1u) << c.line;
        if (!c.kept) {
            EXPECT_EQ(diagnostics.lines[0].first, 2) << c.line;
        }
    }
}

TEST_F(MissionTest, AListHoldsTwentyFourEntriesAndReportsTheRest) {
    std::string text = "[LOSE]\n";
    for (int i = 0; i < 26; ++i) text += "WLC_NO_ALLIED_HQ\n";
    text += "[ENDLOSE]\n";
    Read(text);
    EXPECT_EQ(Mission().lose.size(), 24u);
    ASSERT_EQ(diagnostics.lines.size(), 2u);
    EXPECT_EQ(diagnostics.lines[0].first, 26);
}

TEST_F(MissionTest, ConditionNamesAndUnitTypeKeywords) {
    EXPECT_STREQ(WinLoseConditionName(0), "WLC_NULL");
    EXPECT_STREQ(WinLoseConditionName(13), "WLC_REACHTILE_ANY");
    EXPECT_STREQ(WinLoseConditionName(23), "WLC_NO_ALLIED_SKIRMISH");
    EXPECT_STREQ(WinLoseConditionName(24), "");
    EXPECT_STREQ(WinLoseConditionName(-1), "");
    EXPECT_EQ(ParseUnitTypeKeyword("UT_TROOPER"), UT_TROOPER);
    EXPECT_EQ(ParseUnitTypeKeyword("ut_door"), UT_DOOR);
    EXPECT_EQ(ParseUnitTypeKeyword("UT_SUPERSOLDIER"), UT_SUPERSOLDIER);
    EXPECT_EQ(ParseUnitTypeKeyword("UT_"), 0);
    EXPECT_EQ(ParseUnitTypeKeyword("UT_DOORS"), 0);
    EXPECT_EQ(ParseUnitTypeKeyword(""), 0);
}

}  // namespace
}  // namespace level_test
