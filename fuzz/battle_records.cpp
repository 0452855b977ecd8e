// Arbitrary bytes read as saved unit and structure records and applied to a fixture battle: a blue and an
// enemy team and a map with a structure of every kind and their pads. Each unit record either makes exactly
// one unit with its id (unique over the battle, the id counter kept above it) or changes nothing; a batch of
// structure records either applies with every owner and capture in range or changes nothing.
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure_manager.h"
#include "game/teams/ai_player.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"

namespace {

using namespace game;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

class FuzzBattle final : public BattleContext, public TeamServices {
public:
    FuzzBattle() : random([] { return 7u; }), timer([] { return std::chrono::nanoseconds(0); }) {
        map.SetBattleContext(this);
    }

    MapUnit* FindMapUnitAt(HexCoord hex) const override { return teams->FindUnitAt(hex); }
    MapUnit* FindAirMapUnitAt(HexCoord hex) const override { return teams->FindAirUnitAt(hex); }
    int GetCurrentTeamKind() const override { return -1; }
    int GetTeamControl(int kind) const override { return TeamControlOfKind(kind); }
    std::span<MapUnit* const> GetTeamMapUnits(int) const override { return {}; }
    void ClearTargetMarks() override {}
    int CountTargetMarkedUnits() const override { return 0; }
    Structure* FindStructureAt(HexCoord hex) const override { return structures->FindAtHex(hex); }
    void ClearStructureMarks() override {}
    const UnitParams* GetUnitParams(int) const override { return nullptr; }
    bool IsHeldImmobile(const MapUnit&) const override { return false; }
    bool BoxTouchesLevel(const engine::Matrix44&, const engine::Vec3&) const override { return false; }
    Unit* FindUnitById(int id) const override { return teams->FindUnitById(id); }
    Unit* FindUnitAt(HexCoord hex) const override { return teams->FindUnitAt(hex); }
    bool IsSettingUp() const override { return false; }
    int NextUnitId() override { return ++lastId; }
    int GetGameMode() const override { return kGameModeSkirmish; }
    std::uint32_t GetOptionBits() const override { return 0; }
    bool IsFastForward() const override { return false; }
    void UnlockAchievement(int) override {}
    engine::WideString GetText(const char*) const override { return engine::WideString("No String"); }
    HexMap& GetHexMap() override { return map; }
    engine::RandomStreams& GetRandomStreams() override { return random; }
    const engine::FrameTimer& GetFrameTimer() const override { return timer; }

    std::unique_ptr<AIPlayer> CreateAIPlayer(Team&) override { return nullptr; }
    void RefreshCash() override {}
    void OnTurnStart() override {}
    bool IsAnyBlockRunning() const override { return false; }
    bool IsUnitTypeUnlocked(int) const override { return true; }
    bool IsProjectileBusy() const override { return false; }
    bool LookAtUnit(Unit&) override { return false; }
    bool IsSideActing() const override { return false; }
    void ClearSelection() override {}
    int GetTurnBonus(int) const override { return 0; }
    void RaiseUnitIdCounter(int id) override {
        if (lastId < id) lastId = id;
    }

    HexMap map;
    engine::RandomStreams random;
    engine::FrameTimer timer;
    int lastId = 0;
    TeamManager* teams = nullptr;
    StructureManager* structures = nullptr;
};

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
    return 0;
}
