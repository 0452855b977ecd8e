// Saving a battle into a game slot and restoring it into a freshly loaded level: every field back, the
// whole record checked first and refused with nothing changed.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "game/level/saved_battle.h"
#include "level_fakes.h"

namespace level_test {
namespace {

// Blue: HQ C2, factory H2 with pad G2, start units; the enemy: HQ C8 and a start unit.
const char* const kSource =
    "structure C2 6 owner 1\nstructure H2 2 owner 1\nstructure G2 1\nstructure C8 6 owner 4\nstructure J9 8\n"
    "unit A0 17 owner 1\nunit A10 17 owner 4\n";

class SavedBattleTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        LoadLevel(LandSource(12, kSource), nullptr);
        level.SetupTeams(manager);
        blue = manager.FindTeam(kTeamBlue);
        enemy = manager.FindTeam(kTeamEnemy);
        apc = Spawn(blue, UT_APC, H(4, 4));
        rider = Spawn(blue, UT_GRUNT, H(4, 4));
        ASSERT_TRUE(apc->LinkPassenger(*rider));
        heli = Spawn(blue, UT_SKYHOOK, H(6, 6));
        heli->SetAirborneFlag(true);
        heli->SetFuel(7.5f);
        heli->SetHealth(0.25f);
        heli->SetMovementLeft(1.5f);
        heli->SetActionsUsed(2);
        heli->SetRank(3);
        heli->SetAmmo(0);
        heli->SetFacing(5);
        tank = Spawn(enemy, UT_LIGHT_TANK, H(8, 8));
        manager.FindTeam(kTeamEnemy)->GetAIPlayer()->SetUnitImmobilized(tank->GetId(), true);
        blue->SetCash(1234);
        blue->SetKillCount(7);
        enemy->SetCash(-5);
        level.GetStructureManager().FindAtHex(H(9, 9))->SetCapture(0.5f, kTeamBlue);
        level.GetHexMap().EditTile(H(3, 3))->hotspot = 1;
        level.GetHexMap().EditTile(H(1, 5))->hotspot = 1;
        manager.RestoreTurnOrder(3, 3, 1);
        manager.GetCurrentTeam()->SetFocusHex(H(5, 5));
        SaveBattle(slot, level, manager, 77);
    }

    Unit* Spawn(Team* team, int type, HexCoord hex) {
        const int id = team->SpawnUnit(type, hex, 0, false, 1.0f);
        EXPECT_NE(id, 0);
        return team->FindUnitById(id);
    }

    // A second level from the same folder and an empty team manager, as a resumed game has them.
    void Fresh() {
        manager.Destroy();
        manager.Init();
        fresh = std::make_unique<Level>(battle, levelServices);
        battle.level = fresh.get();
        ASSERT_TRUE(fresh->Load("Levels/Test", &diagnostics));
    }

    int CountUnits() const {
        int count = 0;
        for (int kind = 0; kind < kTeamKindCount; ++kind) {
            if (const Team* team = manager.FindTeam(kind)) {
                for (int i = 0; i < kMaxTeamUnits; ++i) count += team->GetUnit(i) != nullptr;
            }
        }
        return count;
    }

    void TearDown() override {
        manager.Destroy();
        battle.level = &level;
        fresh.reset();
        LevelTest::TearDown();
    }

    GameSlot slot;
    std::unique_ptr<Level> fresh;
    Team* blue = nullptr;
    Team* enemy = nullptr;
    Unit* apc = nullptr;
    Unit* rider = nullptr;
    Unit* heli = nullptr;
    Unit* tank = nullptr;
};

TEST_F(SavedBattleTest, SnapshotThenResumeGivesBackEveryField) {
    EXPECT_EQ(slot.nextUnitId, 77);
    EXPECT_EQ(slot.teamCount, 3);  // neutral (the refinery), blue, enemy
    const int heliId = heli->GetId();
    const int apcId = apc->GetId();
    const int riderId = rider->GetId();
    const int tankId = tank->GetId();
    Fresh();
    ASSERT_TRUE(fresh->RestoreFromSave(manager, slot));
    EXPECT_EQ(manager.GetDay(), 3);
    EXPECT_EQ(manager.GetLastSeenDay(), 3);
    EXPECT_EQ(manager.GetCurrentSlot(), 1);
    EXPECT_EQ(manager.GetCurrentTeam()->GetFocusHex(), H(5, 5));
    Team* b = manager.FindTeam(kTeamBlue);
    Team* e = manager.FindTeam(kTeamEnemy);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(b->GetCash(), 1234);
    EXPECT_EQ(b->GetKillCount(), 7);
    EXPECT_EQ(e->GetCash(), -5);
    const Unit* h = b->FindUnitById(heliId);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->GetType(), UT_SKYHOOK);
    EXPECT_EQ(h->GetHexPos(), H(6, 6));
    EXPECT_EQ(h->GetFacing(), 5);
    EXPECT_FLOAT_EQ(h->GetHealth(), 0.25f);
    EXPECT_FLOAT_EQ(h->GetMovementLeft(), 1.5f);
    EXPECT_FLOAT_EQ(h->GetFuel(), 7.5f);
    EXPECT_EQ(h->GetAmmo(), 0);
    EXPECT_EQ(h->GetRank(), 3);
    EXPECT_EQ(h->GetActionsUsed(), 2);
    EXPECT_TRUE(h->GetAirborneFlag());
    const Unit* a = b->FindUnitById(apcId);
    const Unit* r = b->FindUnitById(riderId);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(a->GetPassengerId(), riderId);
    EXPECT_EQ(r->GetCarrierId(), apcId);
    EXPECT_NE(e->FindUnitById(tankId), nullptr);
    EXPECT_TRUE(e->GetAIPlayer()->IsUnitImmobilized(tankId));
    EXPECT_FALSE(e->GetAIPlayer()->IsUnitImmobilized(e->GetUnit(0)->GetId()));
    const Structure* refinery = fresh->GetStructureManager().FindAtHex(H(9, 9));
    EXPECT_FLOAT_EQ(refinery->GetCaptureProgress(), 0.5f);
    EXPECT_EQ(refinery->GetCapturingTeam(), kTeamBlue);
    EXPECT_EQ(fresh->GetHexMap().GetTile(H(3, 3)).hotspot, 1);
    EXPECT_EQ(fresh->GetHexMap().GetTile(H(1, 5)).hotspot, 1);
    // The start tiles are cleared: no unit stands twice on A0.
    EXPECT_EQ(fresh->GetHexMap().CountUnitStartTiles(kTeamBlue), 0);
    EXPECT_EQ(fresh->GetHexMap().CountUnitStartTiles(kTeamEnemy), 0);
    // A second snapshot equals the first.
    GameSlot again;
    SaveBattle(again, *fresh, manager, 77);
    for (int p = 0; p < kSlotTeams; ++p) {
        EXPECT_EQ(again.teamKind[p], slot.teamKind[p]);
        EXPECT_EQ(again.cash[p], slot.cash[p]);
        for (int j = 0; j < kSlotUnitsPerTeam; ++j) {
            EXPECT_EQ(again.units[p][j].id, slot.units[p][j].id) << p << " " << j;
            EXPECT_EQ(again.units[p][j].carrierId, slot.units[p][j].carrierId);
        }
    }
    EXPECT_EQ(again.markedTiles, slot.markedTiles);
}

TEST_F(SavedBattleTest, DeadUnitsAreLeftOutAndTheirLinksDropped) {
    apc->SetHealth(0.0f);
    GameSlot withDeadCarrier;
    SaveBattle(withDeadCarrier, level, manager, 77);
    const int apcId = apc->GetId();
    const int riderId = rider->GetId();
    // Saved while dying: left out.
    bool found = false;
    for (const SavedUnit& r : withDeadCarrier.units[1]) found |= r.id == apcId;
    EXPECT_FALSE(found);
    // A record at health 0 is valid but not restored; its passenger comes back unlinked.
    for (SavedUnit& r : slot.units[1]) {
        if (r.id == apcId) r.health = 0.0f;
    }
    Fresh();
    ASSERT_TRUE(fresh->RestoreFromSave(manager, slot));
    EXPECT_EQ(manager.FindUnitById(apcId), nullptr);
    ASSERT_NE(manager.FindUnitById(riderId), nullptr);
    EXPECT_EQ(manager.FindUnitById(riderId)->GetCarrierId(), 0);
}

TEST_F(SavedBattleTest, AUnitBehindAGapComesBackAndCashIsSet) {
    // Blue's place 0 holds its start grunt; empty it, so that the other units stand after a gap.
    slot.units[1][0] = SavedUnit{};
    const int heliId = heli->GetId();
    Fresh();
    manager.GetOrCreateTeam(kTeamBlue)->SetCash(300);
    ASSERT_TRUE(fresh->RestoreFromSave(manager, slot));
    EXPECT_NE(manager.FindUnitById(heliId), nullptr);
    EXPECT_EQ(manager.FindTeam(kTeamBlue)->GetCash(), 1234);
}

TEST_F(SavedBattleTest, OnlyTheFirstSixtyHotSpotsAreSavedInOrder) {
    for (int row = 0; row < 12; ++row) {
        for (int column = 0; column < 12; ++column) level.GetHexMap().EditTile(H(column, row))->hotspot = 1;
    }
    SaveBattle(slot, level, manager, 77);
    EXPECT_EQ(slot.markedTiles[0], H(0, 0));
    EXPECT_EQ(slot.markedTiles[1], H(1, 0));
    EXPECT_EQ(slot.markedTiles[12], H(0, 1));
    EXPECT_EQ(slot.markedTiles[59], H(11, 4));
}

// Where in the slot a record of blue (place 1) sits, by unit id.
SavedUnit* Record(GameSlot& slot, int id) {
    for (auto& team : slot.units) {
        for (SavedUnit& r : team) {
            if (r.type != 0 && r.id == id) return &r;
        }
    }
    return nullptr;
}

TEST_F(SavedBattleTest, EachRestoreFaultIsRefusedWithNothingChanged) {
    const int apcId = apc->GetId();
    const int riderId = rider->GetId();
    const int heliId = heli->GetId();
    const int tankId = tank->GetId();
    struct Case {
        const char* name;
        std::function<void(GameSlot&)> spoil;
    };
    const Case cases[] = {
        {"id in two teams", [&](GameSlot& s) { Record(s, tankId)->id = heliId; }},
        {"off-grid hex", [&](GameSlot& s) { Record(s, heliId)->hex = H(0, 37); }},
        {"hex outside the map", [&](GameSlot& s) { Record(s, heliId)->hex = H(30, 20); }},
        {"unknown type", [&](GameSlot& s) { Record(s, heliId)->type = 25; }},
        {"health above full", [&](GameSlot& s) { Record(s, heliId)->health = 1.5f; }},
        {"fuel not a number", [&](GameSlot& s) { Record(s, heliId)->fuel = std::nanf(""); }},
        {"passenger is itself", [&](GameSlot& s) { Record(s, apcId)->passengerId = apcId; }},
        {"passenger missing", [&](GameSlot& s) { Record(s, apcId)->passengerId = 9999; }},
        {"passenger of another team", [&](GameSlot& s) {
             Record(s, apcId)->passengerId = tankId;
             Record(s, tankId)->carrierId = apcId;
         }},
        {"carrier id not named back", [&](GameSlot& s) { Record(s, riderId)->carrierId = heliId; }},
        {"a second carrier", [&](GameSlot& s) {
             Record(s, heliId)->passengerId = riderId;
         }},
        {"refused type", [&](GameSlot& s) {
             Record(s, riderId)->type = UT_HEAVY_TANK;
         }},
        {"passenger elsewhere", [&](GameSlot& s) { Record(s, riderId)->hex = H(5, 5); }},
        {"bad structure record", [&](GameSlot& s) { s.structures[0].owner = 9; }},
        {"structure of another type", [&](GameSlot& s) { s.structures[0].inUse = kStructureRefinery; }},
        {"team kind twice", [&](GameSlot& s) { s.teamKind[2] = s.teamKind[1]; }},
        {"team kind out of range", [&](GameSlot& s) { s.teamKind[0] = 5; }},
        {"too many teams", [&](GameSlot& s) { s.teamCount = 6; }},
        {"current team out of range", [&](GameSlot& s) { s.currentTeam = 3; }},
        {"day zero", [&](GameSlot& s) { s.day = 0; }},
        {"marked tile off the map", [&](GameSlot& s) { s.markedTiles[5] = H(40, 30); }},
    };
    Fresh();
    // An id the running battle already uses.
    const int takenId = manager.GetOrCreateTeam(kTeamGreen)->SpawnUnit(UT_GRUNT, H(11, 0), 0, false, 1.0f);
    for (const Case& c : cases) {
        GameSlot spoiled = slot;
        c.spoil(spoiled);
        EXPECT_FALSE(fresh->RestoreFromSave(manager, spoiled)) << c.name;
    }
    GameSlot clash = slot;
    Record(clash, heliId)->id = takenId;
    EXPECT_FALSE(fresh->RestoreFromSave(manager, clash));
    // Nothing changed: one team with its one unit, start tiles and structures as loaded.
    EXPECT_EQ(CountUnits(), 1);
    EXPECT_EQ(manager.FindTeam(kTeamBlue), nullptr);
    EXPECT_EQ(fresh->GetHexMap().CountUnitStartTiles(kTeamBlue), 1);
    EXPECT_EQ(fresh->GetStructureManager().FindAtHex(H(9, 9))->GetCapturingTeam(), 0);
    EXPECT_EQ(manager.GetDay(), 1);
    // And the unspoiled slot still restores.
    EXPECT_TRUE(fresh->RestoreFromSave(manager, slot));
}

}  // namespace
}  // namespace level_test
