// Saving the running battle into a game slot and restoring it, the whole record checked first.
#include "game/level/saved_battle.h"

#include <cmath>
#include <map>
#include <memory>
#include <set>

#include "game/battle/battle_context.h"
#include "game/level/level.h"
#include "game/teams/ai_player.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit_factory.h"

namespace game {
namespace {

bool IsCarrierType(int unitType) { return unitType == UT_APC || unitType == UT_FERRY || unitType == UT_SKYHOOK; }

// A record that comes back as a unit: used and alive.
bool IsRestored(const SavedUnit& record) { return record.type != 0 && !(record.health <= 0.0f); }

UnitRecord ToUnitRecord(const SavedUnit& s) { return UnitRecord{s.type, s.id, s.hex, s.facing, s.health}; }

bool IsMapHex(const HexMap& map, HexCoord hex) {
    return IsValidHex(hex) && map.GetTile(hex).terrain != kTerrainNone;
}

// Everything of the slot that needs the map, the other records and the running battle.
class SlotCheck {
public:
    SlotCheck(const GameSlot& slot, const HexMap& map, const TeamManager& teams, BattleContext& battle)
        : slot_(slot), map_(map), teams_(teams), battle_(battle) {}

    bool Passes() const {
        if (slot_.teamCount < 0 || slot_.teamCount > kSlotTeams) return false;
        if (slot_.day < 1 || slot_.lastDaySeen < 0 || slot_.lastDaySeen > slot_.day) return false;
        if (slot_.currentTeam < -1 || slot_.currentTeam >= slot_.teamCount) return false;
        std::set<int> kinds;
        std::set<int> ids;
        for (int place = 0; place < slot_.teamCount; ++place) {
            const int kind = slot_.teamKind[static_cast<std::size_t>(place)];
            if (kind < kTeamNeutral || kind > kTeamEnemy || !kinds.insert(kind).second) return false;
            if (slot_.liveUnits[static_cast<std::size_t>(place)] < 0 ||
                slot_.liveUnits[static_cast<std::size_t>(place)] > kSlotUnitsPerTeam) {
                return false;
            }
            if (!TeamPasses(place, ids)) return false;
        }
        for (HexCoord hex : slot_.markedTiles) {
            if (!(hex == HexCoord{-1, -1}) && !IsMapHex(map_, hex)) return false;
        }
        return true;
    }

private:
    bool TeamPasses(int place, std::set<int>& ids) const {
        const auto& records = slot_.units[static_cast<std::size_t>(place)];
        const Team* existing = teams_.FindTeam(slot_.teamKind[static_cast<std::size_t>(place)]);
        int freeSlots = kMaxTeamUnits;
        if (existing != nullptr) {
            freeSlots = 0;
            for (int i = 0; i < kMaxTeamUnits; ++i) freeSlots += existing->GetUnit(i) == nullptr ? 1 : 0;
        }
        std::map<int, const SavedUnit*> byId;  // the restored records of this team
        std::set<int> deadIds;
        for (const SavedUnit& r : records) {
            if (r.type == 0) continue;
            if (!IsRestored(r)) {
                deadIds.insert(r.id);
                continue;
            }
            if (!Team::IsValidUnitRecord(ToUnitRecord(r)) || !IsMapHex(map_, r.hex)) return false;
            if (!std::isfinite(r.movementLeft) || r.movementLeft < 0.0f || !std::isfinite(r.fuel) || r.fuel < 0.0f ||
                r.ammo < 0 || r.rank < 0 || r.actionsUsed < 0) {
                return false;
            }
            if (!ids.insert(r.id).second || teams_.FindUnitById(r.id) != nullptr) return false;
            byId[r.id] = &r;
            if (--freeSlots < 0) return false;
        }
        for (const auto& [id, r] : byId) {
            if (!LinksPass(*r, byId, deadIds)) return false;
        }
        return true;
    }

    bool LinksPass(const SavedUnit& r, const std::map<int, const SavedUnit*>& byId,
                   const std::set<int>& deadIds) const {
        if (IsCarrierType(r.type) && r.passengerId != 0) {
            if (deadIds.count(r.passengerId) != 0) return true;  // the passenger died: no link
            const auto it = byId.find(r.passengerId);
            if (r.passengerId == r.id || it == byId.end()) return false;
            const SavedUnit& passenger = *it->second;
            if (passenger.carrierId != r.id || passenger.passengerId != 0 || !(passenger.hex == r.hex)) return false;
            if (!CanCarry(r, passenger.type)) return false;
        }
        if (r.carrierId != 0 && deadIds.count(r.carrierId) == 0) {
            const auto it = byId.find(r.carrierId);
            if (it == byId.end() || !IsCarrierType(it->second->type) || it->second->passengerId != r.id) return false;
        }
        return true;
    }

    // The carrier class's own answer, from a unit made for the question and dropped.
    bool CanCarry(const SavedUnit& carrier, int passengerType) const {
        const std::unique_ptr<Unit> probe =
            CreateUnit(battle_, carrier.type, nullptr, carrier.id, Unit::Presentation::kLogicOnly);
        return probe != nullptr && probe->CanCarryType(passengerType);
    }

    const GameSlot& slot_;
    const HexMap& map_;
    const TeamManager& teams_;
    BattleContext& battle_;
};

void RestoreUnit(Team& team, const SavedUnit& r) {
    Unit* unit = team.CreateUnitFromRecord(ToUnitRecord(r));
    if (unit == nullptr) return;
    unit->SetMovementLeft(r.movementLeft);
    unit->SetFuel(r.fuel);
    unit->SetAmmo(r.ammo);
    unit->SetRank(r.rank);
    unit->SetActionsUsed(r.actionsUsed);
    unit->SetAirborneFlag(r.airborne != 0);
    if (r.immobilized != 0 && team.GetControl() == kControlComputer && team.GetAIPlayer() != nullptr) {
        team.GetAIPlayer()->SetUnitImmobilized(r.id, true);
    }
}

void RestoreLinks(Team& team, const std::array<SavedUnit, kSlotUnitsPerTeam>& records) {
    for (const SavedUnit& r : records) {
        if (!IsRestored(r) || !IsCarrierType(r.type) || r.passengerId == 0) continue;
        Unit* carrier = team.FindUnitById(r.id);
        Unit* passenger = team.FindUnitById(r.passengerId);
        if (carrier == nullptr || passenger == nullptr) continue;  // the passenger died
        carrier->LinkPassenger(*passenger);
        if (IsAircraftType(carrier->GetType())) passenger->GetView().PlayAnimation("dangle", true);
    }
}

}  // namespace

bool Level::RestoreFromSave(TeamManager& teams, const GameSlot& slot) {
    if (!structures_ || !SlotCheck(slot, *map_, teams, battle_).Passes()) return false;
    for (int k = 0; k < kMaxStructures; ++k) {
        const StructureRecord& r = slot.structures[static_cast<std::size_t>(k)];
        if (r.inUse == 0) continue;
        const Structure* s = structures_->FindAtHex(r.hex);
        if (s == nullptr || s->GetType() != r.inUse || !(s->GetHex() == r.hex)) return false;
    }
    if (!structures_->RestoreFromSave(*map_, slot.structures)) return false;

    teams.SetStructureManager(structures_.get());
    script_->SetTeamManager(&teams);
    for (int row = 0; row < kMapRows; ++row) {
        for (int column = 0; column < kMapColumns; ++column) {
            HexTile* tile = map_->EditTile(MakeHexCoord(column, row));
            if (tile == nullptr || tile->objectClass != kObjectUnitStart) continue;
            tile->objectClass = kObjectNone;
            tile->objectType = 0;
            tile->objectOwner = 0;
        }
    }
    for (int place = 0; place < slot.teamCount; ++place) {
        const auto index = static_cast<std::size_t>(place);
        Team* team = teams.GetOrCreateTeam(slot.teamKind[index]);
        if (team == nullptr) continue;
        team->SetCash(slot.cash[index]);
        team->SetKillCount(slot.killCount[index]);
        for (const SavedUnit& r : slot.units[index]) {
            if (IsRestored(r)) RestoreUnit(*team, r);
        }
        RestoreLinks(*team, slot.units[index]);
    }
    teams.RestoreTurnOrder(slot.day, slot.lastDaySeen, slot.currentTeam);
    if (Team* current = teams.GetCurrentTeam()) current->SetFocusHex(slot.focusHex);
    for (HexCoord hex : slot.markedTiles) {
        if (HexTile* tile = map_->EditTile(hex)) tile->hotspot = 1;
    }
    return true;
}

void SaveBattle(GameSlot& slot, const Level& level, const TeamManager& teams, int nextUnitId) {
    slot.nextUnitId = nextUnitId;
    slot.currentTeam = teams.GetCurrentSlot();
    slot.day = teams.GetDay();
    slot.lastDaySeen = teams.GetLastSeenDay();
    slot.teamCount = 0;
    for (int place = 0; place < kSlotTeams; ++place) {
        const auto index = static_cast<std::size_t>(place);
        slot.units[index] = {};
        const Team* team = teams.GetTeam(place);
        if (team == nullptr) continue;
        slot.killCount[index] = team->GetKillCount();
        slot.teamKind[index] = team->GetKind();
        slot.liveUnits[index] = team->CountLiveUnits();
        slot.cash[index] = team->GetCash();
        ++slot.teamCount;
        const AIPlayer* ai = team->GetControl() == kControlComputer ? team->GetAIPlayer() : nullptr;
        for (int j = 0; j < kMaxTeamUnits; ++j) {
            const Unit* unit = team->GetUnit(j);
            if (unit == nullptr || unit->GetState() == kUnitNotPlaced || unit->GetState() == kUnitGone ||
                unit->GetHealth() <= 0.0f) {
                continue;
            }
            SavedUnit& r = slot.units[index][static_cast<std::size_t>(j)];
            r.type = unit->GetType();
            r.id = unit->GetId();
            r.hex = unit->GetHexPos();
            r.facing = unit->GetFacing();
            r.passengerId = unit->GetPassengerId();
            r.carrierId = unit->GetCarrierId();
            r.health = unit->GetHealth();
            r.movementLeft = unit->GetMovementLeft();
            r.immobilized = ai != nullptr && ai->IsUnitImmobilized(unit->GetId()) ? 1 : 0;
            r.rank = unit->GetRank();
            r.actionsUsed = unit->GetActionsUsed();
            r.mapWeight = 0;
            r.fuel = unit->GetFuel();
            r.ammo = unit->GetAmmo();
            r.airborne = unit->GetAirborneFlag() ? 1 : 0;
        }
    }
    const StructureManager& structures = level.GetStructureManager();
    for (int k = 0; k < kMaxStructures; ++k) {
        const Structure* s = structures.GetStructure(k);
        slot.structures[static_cast<std::size_t>(k)] =
            s == nullptr ? StructureRecord{}
                         : StructureRecord{s->GetType(), s->GetTeam(), s->GetHex(), s->GetCaptureProgress(),
                                           s->GetCapturingTeam()};
    }
    // Icons keep their text key, which the resumed level looks up again.
    const HelpIcons& icons = level.GetHelpIcons();
    for (int i = 0; i < kSlotHelpIcons && i < kHelpIconCount; ++i) {
        const HelpIconEntry& entry = icons.GetEntry(i);
        slot.helpIcons[static_cast<std::size_t>(i)] =
            entry.model == nullptr ? SavedHelpIcon{}
                                   : SavedHelpIcon{entry.key, entry.hex,
                                                   static_cast<std::int32_t>(std::lround(entry.bannerSeconds))};
    }
    const Team* current = teams.GetCurrentTeam();
    slot.focusHex = current != nullptr ? current->GetFocusHex() : HexCoord{-1, -1};
    slot.markedTiles.fill(HexCoord{-1, -1});
    std::size_t marked = 0;
    const HexMap& map = level.GetHexMap();
    for (int row = 0; row < kMapRows && marked < slot.markedTiles.size(); ++row) {
        for (int column = 0; column < kMapColumns && marked < slot.markedTiles.size(); ++column) {
            const HexCoord hex = MakeHexCoord(column, row);
            if (IsValidHex(hex) && map.GetTile(hex).hotspot != 0) slot.markedTiles[marked++] = hex;
        }
    }
}

}  // namespace game
