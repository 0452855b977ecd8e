// A front goal's wishes for its squad: the threat cases by the targets' make-up and the side's buildings,
// the number of bag passes (need x AICFG_OFFENCE_AGGRO) and the light tanks against vehicles.
#include <gtest/gtest.h>

#include <set>

#include "computer_battle.h"
#include "game/ai/front_goal.h"
#include "game/battle/structure.h"

namespace ai_test {
namespace {

using level_test::L;
using level_test::LandSource;

std::string Mission(const std::string& aggro) {
    return "[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n[LOSE]\nWLC_NO_ALLIED_UNITS\n[ENDLOSE]\n"
           "[AICONFIG]\nAICFG_OFFENCE_AGGRO, " + aggro + "\n[ENDAICONFIG]\n"
           "[UNLOCK]\nUT_TROOPER\nUT_LIGHT_TANK\nUT_MED_TANK\nUT_HEAVY_TANK\nUT_MLRS\nUT_ARTILLERY\nUT_SNIPER\n"
           "UT_GRENADIER\nUT_SUPERSOLDIER\nUT_ANTIAIR\nUT_FIGHTER\nUT_BOMBER\nUT_DESTROYER\nUT_CRUISER\nUT_AEGIS\n"
           "[ENDUNLOCK]\n";
}

class SquadWishTest : public PlanLevelTest {
protected:
    // The side's buildings (given), its HQ, and the blue targets within 3 of H8 (given); returns the wished
    // types after the goal scored with the cash.
    std::multiset<int> Wishes(const std::string& buildings, const std::string& targets, int cash,
                              const std::string& aggro = "1") {
        Load(LandSource(16, "structure O14 6 owner 4\n" + buildings + targets), Mission(aggro));
        Enemy().SetCash(cash);
        auto goal = std::make_unique<AIFrontGoal>(*ai, 4, 1.0f, L("H8"));
        AIFrontGoal& front = *goal;
        EXPECT_TRUE(ai->AddGoal(std::move(goal)));
        front.Score();
        EXPECT_EQ(front.GetSquadCount(), 0);
        std::multiset<int> types;
        for (int i = 0; i < ai->GetWishCount(); ++i) {
            EXPECT_EQ(ai->GetWish(i).goalId, front.GetId());
            EXPECT_EQ(ai->GetWish(i).target, front.GetCentre());
            types.insert(ai->GetWish(i).unitType);
        }
        return types;
    }
    static bool AnyOf(const std::multiset<int>& wished, const std::set<int>& answers) {
        for (int type : wished) {
            if (answers.count(type)) return true;
        }
        return false;
    }
    // Every wished type is made by one of the side's buildings.
    bool AllMadeHere(const std::multiset<int>& wished) {
        for (int type : wished) {
            if (ai->GetStructures()->CountOwned(4, ProducerTypeForUnit(type)) == 0) return false;
        }
        return true;
    }
};

const char* kFactory = "structure C4 2 owner 4\n";
const char* kBarracks = "structure C10 5 owner 4\n";
const char* kAirport = "structure K2 3 owner 4\n";
const char* kDockyard = "structure L12 4 owner 4\n";

TEST_F(SquadWishTest, EachThreatAsksForItsAnswer) {
    struct Case {
        const char* name;
        std::string buildings;
        const char* targets;
        int cash;
        std::set<int> answers;  // the first passes ask for these; later passes may fall to other cases
    };
    const Case cases[] = {
        {"air threat", std::string(kFactory) + kAirport, "unit H8 13 owner 1\n", 2000,
         {UT_ANTIAIR, UT_FIGHTER}},
        {"sea threat", std::string(kDockyard) + kAirport, "unit H8 19 owner 1\n", 2000,
         {UT_DESTROYER, UT_CRUISER, UT_BOMBER}},
        {"little cash", std::string(kFactory) + kBarracks, "unit H8 17 owner 1\nunit H9 17 owner 1\n", 200,
         {UT_GRUNT}},
        {"infantry", std::string(kFactory) + kBarracks, "unit H8 17 owner 1\nunit H9 17 owner 1\n", 2000,
         {UT_GRENADIER, UT_SNIPER, UT_SUPERSOLDIER, UT_ARTILLERY}},
        {"vehicles", std::string(kFactory) + kBarracks + kAirport, "unit H8 4 owner 1\nunit H9 5 owner 1\n", 5000,
         {UT_BOMBER, UT_HEAVY_TANK, UT_MED_TANK, UT_MLRS, UT_GRENADIER, UT_TROOPER}},
    };
    for (const Case& c : cases) {
        const std::multiset<int> wished = Wishes(c.buildings, c.targets, c.cash);
        EXPECT_TRUE(AnyOf(wished, c.answers)) << c.name;
        EXPECT_TRUE(AllMadeHere(wished)) << c.name;
    }
}

TEST_F(SquadWishTest, WithoutABuildingToMakeItNothingIsWished) {
    EXPECT_TRUE(Wishes("", "unit H8 4 owner 1\nunit H9 13 owner 1\n", 5000).empty());
    // Against aircraft with only a barracks: no air answer, the barracks' infantry instead.
    const std::multiset<int> wished = Wishes(kBarracks, "unit H8 13 owner 1\n", 2000);
    EXPECT_FALSE(AnyOf(wished, {UT_ANTIAIR, UT_FIGHTER, UT_AEGIS}));
    EXPECT_TRUE(AllMadeHere(wished));
}

TEST_F(SquadWishTest, NeedTimesTheOffenceAggroSetsTheDraws) {
    // Three infantry targets and no squad: need 3, raised to 5. Infantry only, so no light-tank draws.
    const char* targets = "unit H8 17 owner 1\nunit H9 17 owner 1\nunit I8 17 owner 1\n";
    struct Case {
        const char* aggro;
        std::size_t most;
    };
    for (const Case& c : {Case{"0.5", 2}, Case{"1", 5}, Case{"0", 0}}) {
        const std::multiset<int> wished = Wishes(std::string(kFactory) + kBarracks, targets, 5000, c.aggro);
        EXPECT_LE(wished.size(), c.most) << c.aggro;
        if (c.most > 0) {
            EXPECT_FALSE(wished.empty()) << c.aggro;
        }
    }
}

TEST_F(SquadWishTest, VehiclesBringLightTanksWhileTheCashLastsFourATurn) {
    // Cash below 250 with vehicles: the land case, then the light-tank draws.
    const std::multiset<int> rich = Wishes(kFactory, "unit H8 4 owner 1\n", 240);
    EXPECT_EQ(rich.count(UT_LIGHT_TANK), 1u);  // 240 pays for one (125)
    const std::multiset<int> richer = Wishes(kFactory, "unit H8 4 owner 1\nunit H9 4 owner 1\n", 200000, "0");
    EXPECT_EQ(richer.count(UT_LIGHT_TANK), 4u);  // the cap of the turn
}

}  // namespace
}  // namespace ai_test
