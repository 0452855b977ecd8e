// Whole battles headless: two sides of four armed test units, and two mixed sides of the real unit classes,
// played by the commander to a result, with the rules' invariants checked every tick and the same seed giving
// the same events; and the carrier's load test against the real team manager.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "battle_driver.h"
#include "support/commander.h"

namespace level_test {
namespace {

struct BattleOutcome {
    int state = 0;
    int days = 0;
    std::vector<std::string> events;
    int jumps = 0;
    int attacks = 0;
    int answered = 0;
    int deaths = 0;
    std::vector<std::string> violations;
    // Unit types that died, and whether a crashed fighter left its scorch where it hit the ground.
    std::multiset<int> deadTypes;
    bool fighterCrater = false;
    // The battle camera's modes as they changed, and the units as the battle left them.
    std::vector<int> cameraModes;
    int zoomsTaken = 0;
    std::vector<int> zoomsRefused;
    std::vector<std::string> finalUnits;
};

// The map's catalogue units replaced by test gunners of the same types (light tanks fire bullets, the
// others shells) on the same hexes.
void ArmWithGunners(BattleDriver& d) {
    for (int kind : {kTeamBlue, kTeamEnemy}) {
        Team* team = d.Teams().FindTeam(kind);
        ASSERT_NE(team, nullptr);
        std::vector<std::pair<int, HexCoord>> starts;
        for (int i = 0; i < kMaxTeamUnits; ++i) {
            if (Unit* u = team->GetUnit(i)) {
                starts.emplace_back(u->GetType(), u->GetHexPos());
                u->Kill(true, nullptr);
            }
        }
        team->RemoveGoneUnits();
        for (const auto& [type, hex] : starts) {
            const auto weapon = type == UT_LIGHT_TANK ? units_test::TestGunner::Weapon::kBullet
                                                      : units_test::TestGunner::Weapon::kShell;
            auto gunner = std::make_unique<units_test::TestGunner>(type, d.Battle(), team, weapon);
            Unit* placed = gunner.get();
            ASSERT_EQ(team->InsertUnit(std::move(gunner)), nullptr);
            placed->PlaceOnHex(hex);
            if (team == d.Current()) placed->StartTurn();
        }
    }
}

std::string Label(HexCoord hex) { return FormatHexLabel(hex); }

void CheckInvariants(BattleDriver& d, BattleOutcome& out) {
    std::set<std::pair<std::uint32_t, bool>> taken;
    for (int slot = 0; slot < kTeamKindCount; ++slot) {
        Team* team = d.Teams().GetTeam(slot);
        for (int i = 0; team != nullptr && i < kMaxTeamUnits; ++i) {
            Unit* u = team->GetUnit(i);
            if (u == nullptr) continue;
            const std::string id = std::to_string(u->GetId());
            if (u->GetHealth() < 0.0f || u->GetHealth() > 1.0f) out.violations.push_back("health " + id);
            if (u->GetAmmo() < 0 || u->GetFuel() < 0.0f) out.violations.push_back("supplies " + id);
            if (Unit* carrier = u->GetCarrier(); carrier != nullptr && carrier->GetPassengerId() != u->GetId()) {
                out.violations.push_back("link " + id);
            }
            if (Unit* passenger = u->GetPassenger(); passenger != nullptr && passenger->GetCarrierId() != u->GetId()) {
                out.violations.push_back("link " + id);
            }
            const bool placed = u->GetState() == kUnitIdle || u->GetState() == kUnitRunningOrders;
            if (placed && u->GetCarrierId() == 0 && !taken.insert({u->GetHexPos().Packed(), u->IsAirborne()}).second) {
                out.violations.push_back("stacked " + Label(u->GetHexPos()));
            }
        }
    }
}

// Plays the level to a result; the clash with test gunners, any other level with its own units.
BattleOutcome PlayClash(std::uint32_t seed, const std::string& levelName = "clash", bool zoomBattles = false) {
    BattleOutcome out;
    DriverSetup setup = SetupOf(kGameModeCampaign, zoomBattles ? kOptionZoomBattles : 0u, seed);
    setup.battleCamera = zoomBattles;
    BattleDriver d(levelName, setup);
    EXPECT_TRUE(d.Loaded());
    if (levelName == "clash") ArmWithGunners(d);

    std::map<int, HexCoord> lastHex;
    std::map<int, int> lastState;
    std::size_t zoomSeen = 0;
    d.afterTick = [&] {
        CheckInvariants(d, out);
        for (int slot = 0; slot < kTeamKindCount; ++slot) {
            Team* team = d.Teams().GetTeam(slot);
            for (int i = 0; team != nullptr && i < kMaxTeamUnits; ++i) {
                Unit* u = team->GetUnit(i);
                if (u == nullptr) continue;
                const int id = u->GetId();
                if (lastHex.count(id) != 0 && !(lastHex[id] == u->GetHexPos())) {
                    const HexMap& map = d.GetLevel().GetHexMap();
                    const bool jump = map.GetTile(lastHex[id]).level != map.GetTile(u->GetHexPos()).level;
                    out.jumps += jump;
                    out.events.push_back((jump ? "jump " : "step ") + std::to_string(id) + " " + Label(u->GetHexPos()));
                }
                if (lastState[id] != kUnitDying && u->GetState() == kUnitDying) {
                    ++out.deaths;
                    out.deadTypes.insert(u->GetType());
                    out.events.push_back("dies " + std::to_string(id));
                }
                if (lastState[id] == kUnitDying && u->GetState() == kUnitGone && u->GetType() == UT_FIGHTER) {
                    const engine::Vec2 ground = u->GetGroundPos();
                    for (const auto& [prototype, at] : d.LevelLog().effects) {
                        const bool here = std::fabs(at.x - ground.x) < 1e-3f && std::fabs(at.z - ground.y) < 1e-3f;
                        if (prototype == "Particles/Combo_chard" && here) out.fighterCrater = true;
                    }
                }
                lastHex[id] = u->GetHexPos();
                lastState[id] = u->GetState();
            }
        }
        if (d.Camera() != nullptr && (out.cameraModes.empty() || out.cameraModes.back() != d.Camera()->GetMode())) {
            out.cameraModes.push_back(d.Camera()->GetMode());
        }
        const auto& zooms = d.LevelLog().zoomLog;
        for (; zoomSeen < zooms.size(); ++zoomSeen) {
            const std::string& entry = zooms[zoomSeen];
            if (entry.rfind("start", 0) != 0) continue;
            ++out.attacks;
            out.events.push_back(entry);
            // An answer starts while the attack it answers is still open.
            if (zoomSeen > 0 && zooms[zoomSeen - 1].rfind("start", 0) == 0) ++out.answered;
        }
    };

    testsupport::Commander commander(d.Teams(), d.GetLevel().GetHexMap(), [&] {
        for (int frames = 0; frames < 5000; ++frames) {
            d.Frame(BattleDriver::kTick);
            if (d.State() != kStateSideTurn) return false;
            if (!d.Teams().IsBusy()) return true;
        }
        ADD_FAILURE() << "the game never settled";
        return false;
    });
    out.state = d.PlayUntilResult([&](BattleDriver&) { commander.PlayTurn(); }, 20);

    out.days = d.Teams().GetDay();
    out.zoomsTaken = d.LevelLog().zoomsTaken;
    out.zoomsRefused = d.LevelLog().zoomsRefused;
    d.afterTick = nullptr;
    for (int slot = 0; slot < kTeamKindCount; ++slot) {
        Team* team = d.Teams().GetTeam(slot);
        for (int i = 0; team != nullptr && i < kMaxTeamUnits; ++i) {
            if (const Unit* u = team->GetUnit(i)) {
                out.finalUnits.push_back(std::to_string(u->GetId()) + " " + Label(u->GetHexPos()) + " " +
                                         std::to_string(u->GetHealth()) + " " + std::to_string(u->GetState()));
            }
        }
    }
    return out;
}

TEST(UnitBattleTest, TwoCommandersFightToAResultWithTheRulesHeldEveryTick) {
    const BattleOutcome first = PlayClash(7);
    EXPECT_TRUE(first.state == kStateWon || first.state == kStateLost) << first.state;
    EXPECT_LE(first.days, 20);
    EXPECT_TRUE(first.violations.empty()) << first.violations.front();
    EXPECT_GT(first.jumps, 0);
    EXPECT_GT(first.attacks, first.answered);  // attacks without an answer
    EXPECT_GT(first.answered, 0);              // and with one
    EXPECT_GE(first.deaths, 4);


    const BattleOutcome again = PlayClash(7);
    EXPECT_EQ(again.events, first.events);
    EXPECT_EQ(again.state, first.state);
}

TEST(UnitBattleTest, WithZoomBattlesEveryAttackSwoopsInAndBackToTheSameEnd) {
    const BattleOutcome plain = PlayClash(7);
    const BattleOutcome zoomed = PlayClash(7, "clash", true);
    EXPECT_EQ(zoomed.state, plain.state);
    EXPECT_EQ(zoomed.events, plain.events);
    EXPECT_EQ(zoomed.finalUnits, plain.finalUnits);
    ASSERT_GT(zoomed.attacks, 0);
    // Every zoom the camera takes swoops in, back out and ends free; the camera refuses a request only while
    // it is already in (an answer) or on its way back.
    int swoops = 0;
    for (std::size_t i = 0; i + 2 < zoomed.cameraModes.size(); ++i) {
        if (zoomed.cameraModes[i] != kCameraBattleZoom) continue;
        EXPECT_EQ(zoomed.cameraModes[i + 1], kCameraReturning);
        EXPECT_EQ(zoomed.cameraModes[i + 2], kCameraFree);
        ++swoops;
    }
    EXPECT_EQ(swoops, zoomed.zoomsTaken);
    EXPECT_GT(swoops, zoomed.attacks / 2);
    EXPECT_EQ(zoomed.zoomsTaken + static_cast<int>(zoomed.zoomsRefused.size()), zoomed.attacks);
    for (int mode : zoomed.zoomsRefused) EXPECT_TRUE(mode == kCameraBattleZoom || mode == kCameraReturning) << mode;
    // The mission's end starts the orbit.
    EXPECT_EQ(zoomed.cameraModes.back(), kCameraOrbit);
}

TEST(UnitBattleTest, MixedSidesOfTheRealClassesFightToAResult) {
    const BattleOutcome first = PlayClash(11, "mixed");
    EXPECT_TRUE(first.state == kStateWon || first.state == kStateLost)
        << first.state << " day " << first.days << " deaths " << first.deaths << " attacks " << first.attacks
        << " events " << first.events.size() << " dead " << [&] {
               std::string t;
               for (int x : first.deadTypes) t += std::to_string(x) + " ";
               return t;
           }();
    EXPECT_TRUE(first.violations.empty()) << first.violations.front();
    EXPECT_GT(first.attacks, 0);
    EXPECT_GE(first.deaths, 7);
    EXPECT_EQ(first.deadTypes.count(UT_FIGHTER), 1u) << "the anti-air vehicle shoots the fighter down";
    EXPECT_TRUE(first.fighterCrater);

    const BattleOutcome again = PlayClash(11, "mixed");
    EXPECT_EQ(again.events, first.events);
    EXPECT_EQ(again.state, first.state);
}

// A carrier's load test against the real team manager: the answer does not depend on which unit was made
// first, nor on a computer player's plan hiding the unit.
class LoadTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        LoadLevel(LandSource(10, ""), nullptr);
    }
};

TEST_F(LoadTest, ACarrierFindsItsLoadWhateverTheCreationOrderOrAPlanHidingIt) {
    for (bool carrierFirst : {true, false}) {
        SCOPED_TRACE(carrierFirst);
        Team* team = manager.GetOrCreateTeam(kTeamEnemy);
        ASSERT_NE(team, nullptr);
        Unit* apc = nullptr;
        Unit* grunt = nullptr;
        auto make = [&](int type) {
            auto unit = CreateUnit(battle, type, team, 0);
            Unit* raw = unit.get();
            EXPECT_EQ(team->InsertUnit(std::move(unit)), nullptr);
            raw->PlaceOnHex(H(4, 4));
            return raw;
        };
        if (carrierFirst) {
            apc = make(UT_APC);
            grunt = make(UT_GRUNT);
        } else {
            grunt = make(UT_GRUNT);
            apc = make(UT_APC);
        }
        EXPECT_TRUE(apc->CanLoadUnitOnHex());
        // The computer player plans to move the grunt away: the lookups hide it, the load test does not.
        auto* ai = dynamic_cast<teams_test::RecordingAIPlayer*>(team->GetAIPlayer());
        ASSERT_NE(ai, nullptr);
        ai->plannedTiles[grunt->GetId()] = H(7, 7);
        EXPECT_TRUE(apc->CanLoadUnitOnHex());
        ai->plannedTiles.clear();
        // Carried, or of another side, it is no load.
        apc->LinkPassenger(*grunt);
        EXPECT_FALSE(apc->CanLoadUnitOnHex());
        apc->UnlinkPassenger();
        manager.Destroy();
        manager.Init();
    }
}

}  // namespace
}  // namespace level_test
