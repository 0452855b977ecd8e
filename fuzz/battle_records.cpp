// Arbitrary bytes read as saved unit and structure records and applied to a fixture battle: a blue and an
// enemy team and a map with a structure of every kind and their pads. Each unit record either makes exactly
// one unit with its id (unique over the battle, the id counter kept above it) or changes nothing; a batch of
// structure records either applies with every owner and capture in range or changes nothing.
// The same bytes then edit a whole saved game of the fixture level, which is restored into a freshly loaded
// level: refused with nothing changed, or restored with unique ids, hexes of the map and symmetric links.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure_manager.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "fuzz_battle.h"
#include "fuzz_level.h"
#include "game/level/game_slot.h"
#include "game/level/saved_battle.h"

namespace {

using namespace game;
using fuzz::Check;
using fuzz::FuzzBattle;

void Put(HexMap& map, int column, int row, int type, int owner) {
    HexTile* tile = map.EditTile(MakeHexCoord(column, row));
    tile->objectClass = kObjectStructure;
    tile->objectType = type;
    tile->objectOwner = owner;
}

struct Snapshot {
    int team;
    int capturing;
    float progress;
    bool operator==(const Snapshot&) const = default;
};

std::vector<Snapshot> Take(const StructureManager& structures) {
    std::vector<Snapshot> out;
    for (int slot = 0; slot < kMaxStructures; ++slot) {
        if (const Structure* s = structures.GetStructure(slot)) {
            out.push_back({s->GetTeam(), s->GetCapturingTeam(), s->GetCaptureProgress()});
        }
    }
    return out;
}

template <typename T>
T Read(const std::uint8_t*& at) {
    T value;
    std::memcpy(&value, at, sizeof(T));
    at += sizeof(T);
    return value;
}

constexpr std::size_t kRecordBytes = 20;

// Every 32-bit field of the battle half of a slot, for the edits.
std::vector<void*> SlotFields(GameSlot& slot) {
    std::vector<void*> fields = {&slot.currentTeam, &slot.day, &slot.lastDaySeen, &slot.teamCount};
    for (int p = 0; p < kSlotTeams; ++p) {
        fields.push_back(&slot.teamKind[p]);
        fields.push_back(&slot.liveUnits[p]);
        fields.push_back(&slot.cash[p]);
        fields.push_back(&slot.killCount[p]);
        for (SavedUnit& r : slot.units[p]) {
            for (void* f : {static_cast<void*>(&r.type), static_cast<void*>(&r.id), static_cast<void*>(&r.hex),
                            static_cast<void*>(&r.facing), static_cast<void*>(&r.passengerId),
                            static_cast<void*>(&r.carrierId), static_cast<void*>(&r.health),
                            static_cast<void*>(&r.movementLeft), static_cast<void*>(&r.immobilized),
                            static_cast<void*>(&r.rank), static_cast<void*>(&r.actionsUsed),
                            static_cast<void*>(&r.fuel), static_cast<void*>(&r.ammo), static_cast<void*>(&r.airborne)}) {
                fields.push_back(f);
            }
        }
    }
    for (StructureRecord& r : slot.structures) {
        for (void* f : {static_cast<void*>(&r.inUse), static_cast<void*>(&r.owner), static_cast<void*>(&r.hex),
                        static_cast<void*>(&r.progress), static_cast<void*>(&r.capturingTeam)}) {
            fields.push_back(f);
        }
    }
    for (HexCoord& hex : slot.markedTiles) fields.push_back(&hex);
    return fields;
}

// A battle on the fixture level: its level, teams and set-up sides.
struct LevelBattle {
    LevelBattle() : level(battle, battle), teams(battle, battle) {
        battle.level = &level;
        battle.teams = &teams;
        battle.gameMode = kGameModeCampaign;
        Check(level.Load(fuzz::kFuzzLevelFolder));
    }
    ~LevelBattle() { teams.Destroy(); }

    FuzzBattle battle;
    Level level;
    TeamManager teams;
};

void RestoreWholeSlot(const std::uint8_t* input, std::size_t size) {
    fuzz::UseFuzzLevelData();
    GameSlot slot;
    {
        LevelBattle source;
        source.level.SetupTeams(source.teams);
        source.teams.AdvanceTurn();
        Team* blue = source.teams.FindTeam(kTeamBlue);
        Unit* apc = nullptr;
        for (int i = 0; i < kMaxTeamUnits && apc == nullptr; ++i) {
            Unit* u = blue->GetUnit(i);
            if (u != nullptr && u->GetType() == UT_APC) apc = u;
        }
        const int riderId = blue->SpawnUnit(UT_GRUNT, apc->GetHexPos(), 0, false, 1.0f);
        Check(apc->LinkPassenger(*blue->FindUnitById(riderId)));
        source.level.GetHexMap().EditTile(MakeHexCoord(3, 3))->hotspot = 1;
        SaveBattle(slot, source.level, source.teams, source.battle.lastId + 1);
    }
    const std::vector<void*> fields = SlotFields(slot);
    for (const std::uint8_t* at = input; at + 6 <= input + size; at += 6) {
        std::uint16_t index;
        std::memcpy(&index, at, 2);
        std::memcpy(fields[index % fields.size()], at + 2, 4);
    }

    LevelBattle target;
    const std::vector<Snapshot> before = Take(target.level.GetStructureManager());
    const int startTiles = target.level.GetHexMap().CountUnitStartTiles(kTeamBlue);
    if (!target.level.RestoreFromSave(target.teams, slot)) {
        Check(Take(target.level.GetStructureManager()) == before);
        Check(target.level.GetHexMap().CountUnitStartTiles(kTeamBlue) == startTiles);
        for (int s = 0; s < kTeamKindCount; ++s) Check(target.teams.GetTeam(s) == nullptr);
        Check(target.teams.GetDay() == 1);
        return;
    }
    std::vector<int> ids;
    for (int s = 0; s < kTeamKindCount; ++s) {
        const Team* team = target.teams.GetTeam(s);
        for (int i = 0; team != nullptr && i < kMaxTeamUnits; ++i) {
            const Unit* u = team->GetUnit(i);
            if (u == nullptr) continue;
            ids.push_back(u->GetId());
            Check(IsValidHex(u->GetHexPos()) && target.level.GetHexMap().GetTile(u->GetHexPos()).terrain != kTerrainNone);
            if (const Unit* passenger = u->GetPassenger()) {
                Check(passenger->GetCarrier() == u && passenger->GetTeamKind() == u->GetTeamKind());
                Check(u->CanCarryType(passenger->GetType()));
            }
            if (const Unit* carrier = u->GetCarrier()) Check(carrier->GetPassenger() == u);
        }
    }
    std::sort(ids.begin(), ids.end());
    Check(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    Check(target.battle.lastId >= (ids.empty() ? 0 : ids.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    InitTeamColours();
    FuzzBattle battle;
    TeamManager teams(battle, battle);
    StructureManager structures(&battle, nullptr, &teams);
    battle.teams = &teams;
    battle.structures = &structures;
    teams.SetStructureManager(&structures);
    Put(battle.map, 5, 5, kStructureFactory, 1);
    Put(battle.map, 5, 4, kStructureBuildPad, 0);
    Put(battle.map, 10, 10, kStructureRepairS, 4);
    Put(battle.map, 10, 9, kStructureBuildPad, 0);
    Put(battle.map, 1, 37, kStructureDockyard, 0);
    Put(battle.map, 20, 20, kStructureRefinery, 2);
    structures.CreateFromMap(battle.map);
    Team* sides[2] = {teams.GetOrCreateTeam(kTeamBlue), teams.GetOrCreateTeam(kTeamEnemy)};

    const std::uint8_t* at = input;
    const std::uint8_t* end = input + size;
    while (end - at >= 1 + static_cast<std::ptrdiff_t>(kRecordBytes)) {
        const std::uint8_t selector = *at++;
        if ((selector & 1) == 0) {
            UnitRecord record;
            record.type = Read<std::int32_t>(at);
            record.id = Read<std::int32_t>(at);
            record.hex.column = Read<std::int16_t>(at);
            record.hex.row = Read<std::int16_t>(at);
            record.facing = Read<std::int32_t>(at);
            record.health = Read<float>(at);
            Team* team = sides[(selector >> 1) & 1];
            const Unit* before = teams.FindUnitById(record.id);
            const int live = team->CountLiveUnits();
            const Unit* made = team->CreateUnitFromRecord(record);
            if (made == nullptr) {
                Check(team->CountLiveUnits() == live);
                Check(teams.FindUnitById(record.id) == before);
            } else {
                Check(before == nullptr && made->GetId() == record.id && teams.FindUnitById(record.id) == made);
                Check(battle.lastId >= record.id);
            }
            // A fresh unit never takes a restored id.
            const int fresh = team->CreateUnplacedUnit(UT_GRUNT, MakeHexCoord(0, 0));
            if (fresh != 0) {
                Check(teams.FindUnitById(fresh) == team->FindUnitById(fresh));
                int count = 0;
                for (int s = 0; s < kMaxTeamUnits; ++s) {
                    for (Team* side : sides) count += side->GetUnit(s) != nullptr && side->GetUnit(s)->GetId() == fresh;
                }
                Check(count == 1);
            }
            teams.RemoveGoneUnits();
        } else {
            const std::size_t count =
                std::min<std::size_t>(selector >> 1, static_cast<std::size_t>(end - at) / kRecordBytes);
            std::vector<StructureRecord> records(count);
            for (StructureRecord& r : records) {
                r.inUse = Read<std::int32_t>(at);
                r.owner = Read<std::int32_t>(at);
                r.hex.column = Read<std::int16_t>(at);
                r.hex.row = Read<std::int16_t>(at);
                r.progress = Read<float>(at);
                r.capturingTeam = Read<std::int32_t>(at);
            }
            const std::vector<Snapshot> before = Take(structures);
            if (!structures.RestoreFromSave(battle.map, records)) {
                Check(Take(structures) == before);
            } else {
                for (const Snapshot& s : Take(structures)) {
                    Check(s.team >= 0 && s.team <= kMaxTeamKind && s.capturing >= 0 && s.capturing <= kMaxTeamKind);
                    Check(std::isfinite(s.progress) && s.progress >= 0.0f);
                }
            }
            structures.Update();
            structures.FindAtHex(MakeHexCoord(5, 5))->ProduceUnit(UT_MED_TANK);
        }
    }
    teams.Destroy();
    RestoreWholeSlot(input, size);
    return 0;
}
