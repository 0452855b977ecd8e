// The win and lose conditions over a fixture world, the opponent-HQ check and the enemy rule.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "game/teams/are_enemies.h"
#include "level_fakes.h"

namespace level_test {
namespace {

// Blue HQ at C2 with a factory at H2 (pad G2); enemy HQ at C6 with barracks at H6 (pad G6); a neutral
// refinery at A8. Blue has an engineer at E0 and a grunt at E1; the enemy a grunt at E8.
const char* const kWorld =
    "structure C2 6 owner 1\nstructure H2 2 owner 1\nstructure G2 1\n"
    "structure C6 6 owner 4\nstructure H6 5 owner 4\nstructure G6 1\nstructure A8 8\n"
    "unit A0 2 owner 1\nunit A1 17 owner 1\nunit A9 17 owner 4\n";

class WorldTest : public LevelTest {
public:
    using LevelTest::level;
    using LevelTest::manager;

protected:
    void SetUp() override {
        LevelTest::SetUp();
        LoadLevel(LandSource(10, kWorld), nullptr);
        level.SetupTeams(manager);
        blue = manager.FindTeam(kTeamBlue);
        enemy = manager.FindTeam(kTeamEnemy);
        ASSERT_NE(blue, nullptr);
        ASSERT_NE(enemy, nullptr);
    }
public:
    Structure* At(const char* label) const {
        HexCoord hex;
        EXPECT_TRUE(ParseHexLabel(label, hex));
        return level.GetStructureManager().FindAtHex(hex);
    }
    void SetOwners(int from, int to) {
        for (int i = 0; i < kMaxStructures; ++i) {
            Structure* s = level.GetStructureManager().GetStructure(i);
            if (s != nullptr && s->GetType() != kStructureBuildPad && s->GetTeam() == from) s->SetOwner(to);
        }
    }
    void KillAll(Team* team) {
        for (int i = 0; i < kMaxTeamUnits; ++i) {
            if (Unit* unit = team->GetUnit(i)) unit->Kill(true, nullptr);
        }
    }
    int Spawn(Team* team, int type, const char* label) {
        HexCoord hex;
        EXPECT_TRUE(ParseHexLabel(label, hex));
        return team->SpawnUnit(type, hex, 0, false, 1.0f);
    }
    void ReadWin(const std::string& lines) {
        const std::string text = "[WIN]\n" + lines + "\n[ENDWIN]\n";
        level.LoadMissionFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), &diagnostics);
        ASSERT_TRUE(diagnostics.lines.empty());
    }

    Team* blue = nullptr;
    Team* enemy = nullptr;
};

struct Row {
    const char* name;
    const char* line;
    std::function<void(WorldTest&)> change;
    bool holds;
};

class ConditionTest : public WorldTest, public ::testing::WithParamInterface<Row> {};

TEST_P(ConditionTest, HoldsAsTheWorldSays) {
    const Row& row = GetParam();
    if (row.change) row.change(*this);
    ReadWin(row.line);
    const int id = level.GetMission().win.at(0).id;
    EXPECT_EQ(level.CheckWinLose(true, manager), row.holds ? id : 0);
    EXPECT_EQ(level.CheckWinLose(false, manager), 0);
}

void KillTeam(WorldTest& t, int kind) {
    for (int i = 0; i < kMaxTeamUnits; ++i) {
        if (Unit* unit = t.manager.FindTeam(kind)->GetUnit(i)) unit->Kill(true, nullptr);
    }
}
void SpawnOn(WorldTest& t, int kind, int type, const char* label) {
    HexCoord hex;
    ASSERT_TRUE(ParseHexLabel(label, hex));
    ASSERT_NE(t.manager.FindTeam(kind)->SpawnUnit(type, hex, 0, false, 1.0f), 0);
}
void Owners(WorldTest& t, int from, int to) {
    for (int i = 0; i < kMaxStructures; ++i) {
        Structure* s = t.level.GetStructureManager().GetStructure(i);
        if (s != nullptr && s->GetType() != kStructureBuildPad && s->GetTeam() == from) s->SetOwner(to);
    }
}
void OwnerAt(WorldTest& t, const char* label, int to) {
    HexCoord hex;
    ASSERT_TRUE(ParseHexLabel(label, hex));
    t.level.GetStructureManager().FindAtHex(hex)->SetOwner(to);
}
void Cash(WorldTest& t, int kind, int cash) { t.manager.GetOrCreateTeam(kind)->SetCash(cash); }

const Row kRows[] = {
    {"EngineerAlive", "WLC_NO_ALLIED_ENGINEER", nullptr, false},
    {"EngineerGone", "WLC_NO_ALLIED_ENGINEER", [](WorldTest& t) { KillTeam(t, 1); }, true},
    {"EnemyHQStands", "WLC_NO_ENEMY_HQ", nullptr, false},
    {"EnemyHQTaken", "WLC_NO_ENEMY_HQ", [](WorldTest& t) { OwnerAt(t, "C6", 1); }, true},
    {"BlueHQStands", "WLC_NO_ALLIED_HQ", nullptr, false},
    {"BlueHQLost", "WLC_NO_ALLIED_HQ", [](WorldTest& t) { OwnerAt(t, "C2", 4); }, true},
    {"GreenWithoutHQ", "WLC_NO_ALLIED_HQ", [](WorldTest& t) { t.manager.GetOrCreateTeam(2); }, true},
    {"NoBlueSuperSoldier", "WLC_NO_ALLIED_SUPERSOLDIER", nullptr, true},
    {"BlueSuperSoldier", "WLC_NO_ALLIED_SUPERSOLDIER", [](WorldTest& t) { SpawnOn(t, 1, UT_SUPERSOLDIER, "B0"); },
     false},
    {"NoEnemySuperSoldier", "WLC_NO_ENEMY_SUPERSOLDIER", nullptr, true},
    {"EnemySuperSoldier", "WLC_NO_ENEMY_SUPERSOLDIER", [](WorldTest& t) { SpawnOn(t, 4, UT_SUPERSOLDIER, "B9"); },
     false},
    {"NoBlueGeneral", "WLC_NO_ALLIED_GENERAL", nullptr, true},
    {"BlueGeneral", "WLC_NO_ALLIED_GENERAL", [](WorldTest& t) { SpawnOn(t, 1, UT_GENERAL, "B0"); }, false},
    {"NoEnemyGeneral", "WLC_NO_ENEMY_GENERAL", nullptr, true},
    {"EnemyGeneral", "WLC_NO_ENEMY_GENERAL", [](WorldTest& t) { SpawnOn(t, 4, UT_GENERAL, "B9"); }, false},
    {"BlueUnitsLive", "WLC_NO_ALLIED_UNITS", nullptr, false},
    {"BlueUnitsGone", "WLC_NO_ALLIED_UNITS", [](WorldTest& t) { KillTeam(t, 1); }, true},
    {"BlueUnitsAtZeroHealth", "WLC_NO_ALLIED_UNITS",
     [](WorldTest& t) {
         for (int i = 0; i < kMaxTeamUnits; ++i) {
             if (Unit* u = t.manager.FindTeam(1)->GetUnit(i)) u->SetHealth(0.0f);
         }
     },
     true},
    {"EnemyUnitsLive", "WLC_NO_ENEMY_UNITS", nullptr, false},
    {"EnemyUnitsGone", "WLC_NO_ENEMY_UNITS", [](WorldTest& t) { KillTeam(t, 4); }, true},
    {"GeneralOnTile", "WLC_REACHTILE_GENERAL, D4", [](WorldTest& t) { SpawnOn(t, 1, UT_GENERAL, "D4"); }, true},
    {"GruntOnGeneralTile", "WLC_REACHTILE_GENERAL, D4", [](WorldTest& t) { SpawnOn(t, 1, UT_GRUNT, "D4"); }, false},
    {"SuperSoldierOnTile", "WLC_REACHTILE_SUPERSOLDIER,d4",
     [](WorldTest& t) { SpawnOn(t, 1, UT_SUPERSOLDIER, "D4"); }, true},
    {"EngineerOnTile", "WLC_REACHTILE_ANY, D4", [](WorldTest& t) { SpawnOn(t, 1, UT_ENGINEER, "D4"); }, true},
    {"EnemyOnTile", "WLC_REACHTILE_ANY, D4", [](WorldTest& t) { SpawnOn(t, 4, UT_GRUNT, "D4"); }, false},
    {"NobodyOnTile", "WLC_REACHTILE_ANY, D4", nullptr, false},
    {"EnemyStructuresStand", "WLC_NO_ENEMY_STRUCTURES", nullptr, false},
    // The enemy's pad keeps its owner: pads never count.
    {"EnemyStructuresTaken", "WLC_NO_ENEMY_STRUCTURES", [](WorldTest& t) { Owners(t, 4, 1); }, true},
    {"BlueStructuresStand", "WLC_NO_ALLIED_STRUCTURES", nullptr, false},
    {"BlueStructuresLost", "WLC_NO_ALLIED_STRUCTURES", [](WorldTest& t) { Owners(t, 1, 4); }, true},
    {"EnemyShopStands", "WLC_NO_ENEMY_SHOPS", nullptr, false},
    {"EnemyShopTaken", "WLC_NO_ENEMY_SHOPS", [](WorldTest& t) { OwnerAt(t, "H6", 1); }, true},
    {"BlueShopStands", "WLC_NO_ALLIED_SHOPS", nullptr, false},
    {"BlueShopLost", "WLC_NO_ALLIED_SHOPS", [](WorldTest& t) { OwnerAt(t, "H2", 4); }, true},
    {"OthersOwnSome", "WLC_ALL_ENEMY_STRUCTURES", [](WorldTest& t) { Owners(t, 1, 4); }, false},
    {"EnemyOwnsAll", "WLC_ALL_ENEMY_STRUCTURES", [](WorldTest& t) { Owners(t, 1, 4), Owners(t, 0, 4); }, true},
    {"EnemyOwnsSome", "WLC_ALL_ALLIED_STRUCTURES", [](WorldTest& t) { Owners(t, 4, 1); }, false},
    {"BlueOwnsAll", "WLC_ALL_ALLIED_STRUCTURES", [](WorldTest& t) { Owners(t, 4, 1), Owners(t, 0, 1); }, true},
    {"CashShort", "WLC_CASHGRAB, 5000", [](WorldTest& t) { Cash(t, 1, 4999); }, false},
    {"CashReached", "WLC_CASHGRAB, 5000", [](WorldTest& t) { Cash(t, 1, 5000); }, true},
    {"CashOfTwoSides", "WLC_CASHGRAB, 5000", [](WorldTest& t) { Cash(t, 1, 3000), Cash(t, 2, 2000); }, true},
    {"EnemyCashDoesNotCount", "WLC_CASHGRAB, 5000", [](WorldTest& t) { Cash(t, 1, 10), Cash(t, 4, 9000); }, false},
    {"CashNearTheLimits", "WLC_CASHGRAB, 2147483647",
     [](WorldTest& t) { Cash(t, 1, 2147483647), Cash(t, 2, 2147483647); }, true},
    {"SkirmishIsNeverTested", "WLC_NO_ALLIED_SKIRMISH", [](WorldTest& t) { KillTeam(t, 1); }, false},
};

INSTANTIATE_TEST_SUITE_P(Conditions, ConditionTest, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

using WinLoseTest = WorldTest;

TEST_F(WinLoseTest, NoEnemyHQHoldsOnlyWhileTheEnemyTeamExists) {
    SetOwners(4, 1);
    ReadWin("WLC_NO_ENEMY_HQ");
    EXPECT_EQ(level.CheckWinLose(true, manager), WLC_NO_ENEMY_HQ);
    manager.Destroy();
    manager.Init();
    EXPECT_EQ(level.CheckWinLose(true, manager), 0);
}

TEST_F(WinLoseTest, TheFirstMatchWinsAndABadLabelNoLongerEndsTheWalk) {
    ReadWin("WLC_NO_ENEMY_SUPERSOLDIER\nWLC_NO_ENEMY_GENERAL");
    EXPECT_EQ(level.CheckWinLose(true, manager), WLC_NO_ENEMY_SUPERSOLDIER);
    const std::string text = "[LOSE]\nWLC_REACHTILE_ANY, AM5\nWLC_NO_ALLIED_UNITS\n[ENDLOSE]\n";
    level.LoadMissionFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), &diagnostics);
    KillAll(blue);
    EXPECT_EQ(level.CheckWinLose(false, manager), WLC_NO_ALLIED_UNITS);
    EXPECT_EQ(diagnostics.lines.size(), 1u);
}

TEST_F(WinLoseTest, OpponentHQOfTheFirstOtherTeam) {
    ASSERT_TRUE(manager.AdvanceTurn() == false);
    ASSERT_EQ(manager.GetCurrentTeam(), blue);
    EXPECT_EQ(level.CheckOpponentHQ(manager), 0);
    At("C6")->SetOwner(kTeamBlue);
    EXPECT_EQ(level.CheckOpponentHQ(manager), WLC_NO_ENEMY_HQ);
    manager.Destroy();
    manager.Init();
    manager.GetOrCreateTeam(kTeamBlue);
    EXPECT_EQ(level.CheckOpponentHQ(manager), 0);  // nobody else
    // Without a neutral side blue holds slot 0 and is still the enemy's opponent.
    manager.GetOrCreateTeam(kTeamEnemy);
    manager.RestoreTurnOrder(1, 1, 1);
    At("C6")->SetOwner(kTeamEnemy);
    EXPECT_EQ(level.CheckOpponentHQ(manager), 0);
    At("C2")->SetOwner(kTeamEnemy);
    EXPECT_EQ(level.CheckOpponentHQ(manager), WLC_NO_ENEMY_HQ);
}

TEST_F(WinLoseTest, EnemiesByGameMode) {
    Team* neutral = manager.GetOrCreateTeam(kTeamNeutral);
    Team* green = manager.GetOrCreateTeam(kTeamGreen);
    Team* computer = enemy;
    struct Case {
        int mode;
        const Team* a;
        const Team* b;
        bool enemies;
    };
    const Case cases[] = {
        {kGameModeCampaign, nullptr, blue, false},  {kGameModeSkirmish, blue, nullptr, false},
        {kGameModeSkirmish, blue, blue, false},     {kGameModePassAndPlay, blue, green, true},
        {kGameModeSkirmish, neutral, computer, true}, {kGameModeCampaign, blue, computer, true},
        {kGameModeCampaign, computer, blue, true},  {kGameModeCampaign, blue, green, false},
        {kGameModeCampaign, neutral, computer, false}, {kGameModeCampaign, neutral, blue, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AreEnemies(c.mode, c.a, c.b), c.enemies)
            << c.mode << " " << (c.a ? c.a->GetKind() : -1) << " " << (c.b ? c.b->GetKind() : -1);
    }
}

}  // namespace
}  // namespace level_test
