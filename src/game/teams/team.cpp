#include "game/teams/team.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure_manager.h"
#include "game/teams/ai_player.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"
#include "game/teams/unit_costs.h"
#include "game/units/unit_factory.h"

namespace game {

namespace {

const char* const kTeamNames[kTeamKindCount] = {"NEUTRAL TEAM", "BLUE TEAM", "GREEN TEAM", "YELLOW TEAM",
                                                "ENEMY TEAM"};

bool IsPlaced(const Unit& unit) { return unit.GetState() == kUnitIdle || unit.GetState() == kUnitRunningOrders; }
// A unit the computer player plans to stand on a hex counts there; a unit bought this turn too, so that two
// bought units never plan to end on one hex.
bool CountsOnPlannedTile(const Unit& unit) { return IsPlaced(unit) || unit.GetState() == kUnitNotPlaced; }

}  // namespace

Team::Team(int kind, TeamManager& manager)
    : manager_(manager),
      battle_(manager.Battle()),
      services_(manager.Services()),
      kind_(kind),
      name_(kTeamNames[std::clamp(kind, 0, kTeamKindCount - 1)]) {
    if (GetControl() == kControlComputer) aiPlayer_ = services_.CreateAIPlayer(*this);
}

Team::~Team() {
    aiPlayer_.reset();
    for (auto& unit : units_) unit.reset();
}

void Team::AddCash(int amount) {
    const std::int64_t sum = static_cast<std::int64_t>(cash_) + amount;
    cash_ = static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                       std::numeric_limits<int>::max()));
    if (battle_.GetGameMode() == kGameModeCampaign && kind_ == kTeamBlue && cash_ > 4999) {
        battle_.UnlockAchievement(kAchievementBank5000);
    }
}

Unit* Team::GetUnit(int slot) const {
    return slot >= 0 && slot < kMaxTeamUnits ? units_[static_cast<std::size_t>(slot)].get() : nullptr;
}

int Team::FindFreeUnitSlot() const {
    for (int i = 0; i < kMaxTeamUnits; ++i) {
        if (!units_[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
}

int Team::SlotOf(const Unit& unit) const {
    for (int i = 0; i < kMaxTeamUnits; ++i) {
        if (units_[static_cast<std::size_t>(i)].get() == &unit) return i;
    }
    return -1;
}

Unit* Team::FindUnitById(int id) const {
    // No unit has id 0: the lookups by hex ask for it whenever no planned tile matches.
    if (id == 0) return nullptr;
    for (const auto& unit : units_) {
        if (unit && unit->GetId() == id) return unit.get();
    }
    return nullptr;
}

Unit* Team::FindUnitByNode(const engine::SceneNode* node) const {
    for (const auto& unit : units_) {
        if (!unit || unit->GetState() == kUnitDying || unit->GetState() == kUnitGone) continue;
        if (unit->ContainsNode(node)) return unit.get();
    }
    return nullptr;
}

int Team::CountLiveUnits() const {
    int count = 0;
    for (const auto& unit : units_) {
        if (unit && unit->GetState() != kUnitNotPlaced && unit->GetState() != kUnitGone && unit->GetHealth() > 0.0f) {
            ++count;
        }
    }
    return count;
}

int Team::CountOfType(int unitType) const {
    int count = 0;
    for (const auto& unit : units_) {
        if (!unit || unit->GetType() != unitType) continue;
        if (unit->GetState() != kUnitDying && unit->GetState() != kUnitGone) ++count;
    }
    return count;
}

int Team::CountTargetMarkedUnits() const {
    int count = 0;
    for (const auto& unit : units_) {
        if (unit && unit->IsTargetMarked()) ++count;
    }
    return count;
}

bool Team::IsAnyUnitBusy() const {
    for (const auto& unit : units_) {
        if (unit && unit->IsBusy()) return true;
    }
    return false;
}

void Team::UpdateUnitAnimations() {
    for (auto& unit : units_) {
        if (unit) unit->UpdateAnimation();
    }
}

void Team::DrawUnitOverlays(engine::RenderTargetBase& target, const ScreenProjector& projector, TextPainter& painter,
                            std::uint32_t sheet) const {
    for (const auto& unit : units_) {
        if (unit) unit->DrawInfoOverlay(target, projector, painter, sheet);
    }
}

void Team::ClearTargetMarks() {
    for (auto& unit : units_) {
        if (unit) unit->SetTargetMark(false, nullptr);
    }
}

void Team::ClearScriptedFlags() {
    for (auto& unit : units_) {
        if (unit) unit->SetScripted(false);
    }
}

void Team::SaveUnitSupplies() {
    for (auto& unit : units_) {
        if (unit) unit->StoreFuelAmmo();
    }
}

void Team::RestoreUnitSupplies() {
    for (auto& unit : units_) {
        if (unit) unit->RestoreFuelAmmo();
    }
}

void Team::PlayEndReaction(bool celebrate) {
    for (auto& unit : units_) {
        if (unit && unit->GetState() != kUnitGone) unit->CelebrateOrDespair(celebrate);
    }
}

void Team::StartTurn() {
    for (auto& unit : units_) {
        if (unit) unit->StartTurn();
    }
    if (aiPlayer_) {
        aiPlayer_->StartTurn();
    } else {
        services_.RefreshCash();
        services_.OnTurnStart();
    }
}

void Team::Update() {
    if (aiPlayer_ && services_.IsSideActing()) aiPlayer_->Update();
    for (auto& unit : units_) {
        if (unit) unit->Tick();
    }
}

bool Team::CanTakeTurn() const {
    if (CountLiveUnits() > 0 || services_.IsAnyBlockRunning()) return true;
    const StructureManager* structures = manager_.GetStructureManager();
    const auto owns = [&](int type) { return structures != nullptr && structures->CountOwned(kind_, type) > 0; };
    const bool barracks = owns(kStructureBarracks);
    const bool factory = owns(kStructureFactory);
    const bool airport = owns(kStructureAirport);
    const bool dockyard = owns(kStructureDockyard);
    if (!barracks && !factory && !airport && !dockyard) return false;
    if (owns(kStructureRefinery)) return true;
    const auto unlocked = [this](int type) { return services_.IsUnitTypeUnlocked(type); };
    if (barracks && cash_ >= CheapestInfantryCost(unlocked)) return true;
    if (factory && cash_ >= CheapestVehicleCost(unlocked)) return true;
    if (airport && cash_ >= CheapestAircraftCost(unlocked)) return true;
    return dockyard && cash_ >= CheapestShipCost(unlocked);
}

void Team::RegisterWithComputer(const Unit& unit) {
    if (!aiPlayer_) return;
    aiPlayer_->AddUnitPlanner(unit.GetId());
    if (battle_.GetHexMap().GetTile(unit.GetHexPos()).immobile != 0) {
        aiPlayer_->SetUnitImmobilized(unit.GetId(), true);
    }
}

Unit* Team::InsertLocked(std::unique_ptr<Unit> unit) {
    const int slot = FindFreeUnitSlot();
    if (slot < 0) return nullptr;
    const HexCoord hex = unit->GetHexPos();
    units_[static_cast<std::size_t>(slot)] = std::move(unit);
    MarkOccupied(slot, hex, true);
    return units_[static_cast<std::size_t>(slot)].get();
}

std::uint64_t Team::SlotsAt(HexCoord hex) const {
    static_assert(kMaxTeamUnits <= 64, "one bit per slot");
    if (!IsValidHex(hex)) return kMaxTeamUnits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << kMaxTeamUnits) - 1;
    return occupancy_.At(hex);
}

void Team::OnUnitHexChanged(const Unit& unit, HexCoord from) {
    const int slot = SlotOf(unit);
    if (slot < 0) return;
    MarkOccupied(slot, from, false);
    MarkOccupied(slot, unit.GetHexPos(), true);
}

int Team::SpawnUnit(int unitType, HexCoord hex, int facing, bool effects, float health) {
    std::lock_guard<std::mutex> lock(unitLock_);
    if (FindFreeUnitSlot() < 0 || unitType < 1 || unitType >= kUnitTypeCount || !IsValidHex(hex)) return 0;
    Unit* other = manager_.FindUnitAt(hex);
    // A second unit of the same layer only joins the hex as a passenger or as its carrier: two units stacked
    // on one layer would hide each other from every hex lookup.
    Unit* otherSameLayer = nullptr;
    if (other != nullptr && !other->IsAirborne() && !IsAircraftType(unitType)) otherSameLayer = other;
    if (IsAircraftType(unitType)) {
        otherSameLayer = manager_.FindAirUnitAt(hex);
        if (otherSameLayer != nullptr) other = otherSameLayer;
    }

    Unit* unit = InsertLocked(CreateUnit(battle_, unitType, this, 0));
    unit->SetFacing(((facing % kDirectionCount) + kDirectionCount) % kDirectionCount);
    unit->PlaceOnHex(hex);
    unit->SetFlightHeight(unit->GetWorldPos().y);
    unit->SetAirborne(true);
    unit->SetHealth(health);

    bool linked = false;
    if (other != nullptr) {
        const auto accepts = [](const Unit& carrier, const Unit& passenger) {
            return carrier.CanCarryType(passenger.GetType()) && carrier.GetPassengerId() == 0 &&
                   passenger.GetCarrierId() == 0 && passenger.GetPassengerId() == 0;
        };
        if (accepts(*other, *unit)) {
            linked = other->LinkPassenger(*unit);
        } else if (accepts(*unit, *other)) {
            linked = unit->LinkPassenger(*other);
        }
    }
    if (otherSameLayer != nullptr && !linked) {
        const int slot = SlotOf(*unit);
        MarkOccupied(slot, unit->GetHexPos(), false);
        units_[static_cast<std::size_t>(slot)].reset();
        return 0;
    }
    // A passenger hung under an aircraft dangles from it.
    if (linked) {
        Unit* carrier = unit->GetCarrier() != nullptr ? unit->GetCarrier() : unit;
        Unit* passenger = carrier->GetPassenger();
        if (carrier->IsAircraft() && passenger != nullptr) passenger->PlayAnimation("dangle", false);
    }

    if (effects && services_.LookAtUnit(*unit)) unit->PlayBuildEffect();
    RegisterWithComputer(*unit);
    return unit->GetId();
}

bool Team::IsValidUnitRecord(const UnitRecord& record) {
    // A saved record is outside input: the facing turns the model and the health is drawn and compared.
    return record.type >= 1 && record.type < kUnitTypeCount && IsValidHex(record.hex) && record.id > 0 &&
           record.facing >= 0 && record.facing < kDirectionCount && record.health >= 0.0f && record.health <= 1.0f;
}

Unit* Team::CreateUnitFromRecord(const UnitRecord& record) {
    if (!IsValidUnitRecord(record)) return nullptr;
    std::lock_guard<std::mutex> lock(unitLock_);
    if (FindFreeUnitSlot() < 0 || manager_.FindUnitById(record.id) != nullptr) return nullptr;
    services_.RaiseUnitIdCounter(record.id);
    Unit* unit = InsertLocked(CreateUnit(battle_, record.type, this, record.id));
    unit->SetFacing(record.facing);
    unit->PlaceOnHex(record.hex);
    unit->SetFlightHeight(unit->GetWorldPos().y);
    unit->SetHealth(record.health);
    unit->ReturnToIdle();
    RegisterWithComputer(*unit);
    return unit;
}

int Team::CreateUnplacedUnit(int unitType, HexCoord hex) {
    std::lock_guard<std::mutex> lock(unitLock_);
    if (FindFreeUnitSlot() < 0 || unitType < 1 || unitType >= kUnitTypeCount) return 0;
    // Set up whole before it enters its slot: the main thread may walk the slots meanwhile.
    std::unique_ptr<Unit> made = CreateUnit(battle_, unitType, this, 0, Unit::Presentation::kLogicOnly);
    made->SetState(kUnitNotPlaced);
    made->SetHexPos(hex);
    const int id = made->GetId();
    InsertLocked(std::move(made));
    if (aiPlayer_) aiPlayer_->AddUnitPlanner(id);
    return id;
}

std::unique_ptr<Unit> Team::InsertUnit(std::unique_ptr<Unit> unit) {
    const int slot = FindFreeUnitSlot();
    if (!unit || slot < 0) return unit;
    unit->SetTeam(this);
    const HexCoord hex = unit->GetHexPos();
    units_[static_cast<std::size_t>(slot)] = std::move(unit);
    MarkOccupied(slot, hex, true);
    return nullptr;
}

void Team::TransferUnit(Unit& unit, int teamKind) {
    Team* destination = manager_.FindTeam(teamKind);
    const int slot = SlotOf(unit);
    if (destination == nullptr || destination == this || !destination->HasFreeUnitSlot() || slot < 0) return;
    // A refused unit comes back into its old slot.
    auto& entry = units_[static_cast<std::size_t>(slot)];
    const int id = unit.GetId();
    const HexCoord hex = unit.GetHexPos();
    MarkOccupied(slot, hex, false);
    entry = destination->InsertUnit(entry.release());
    if (entry) {
        MarkOccupied(slot, hex, true);
        return;
    }
    // The planner moves with the unit: the old side's would point at a unit another team deletes later.
    if (aiPlayer_) aiPlayer_->RemoveUnit(id);
    if (Unit* moved = destination->FindUnitById(id)) destination->RegisterWithComputer(*moved);
}

void Team::RemoveGoneUnits() {
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        UnitSlot& unit = units_[static_cast<std::size_t>(slot)];
        if (!unit || (unit->GetState() != kUnitGone && unit->GetState() != kUnitNotPlaced)) continue;
        if (aiPlayer_) aiPlayer_->RemoveUnit(unit->GetId());
        services_.OnUnitDeleting(*unit);
        MarkOccupied(slot, unit->GetHexPos(), false);
        unit.reset();
    }
}

bool Team::HiddenByPlan(const Unit& unit) const {
    const Team* current = manager_.GetCurrentTeam();
    if (current == nullptr || current->GetControl() != kControlComputer || current->aiPlayer_ == nullptr) {
        return false;
    }
    if (current == this) {
        HexCoord planned;
        return current->aiPlayer_->GetUnitPlannedTile(unit.GetId(), planned);
    }
    return current->aiPlayer_->GetPlannedDamage(unit.GetId()) >= 1.0f;
}

Unit* Team::FindUnitAt(HexCoord hex) const {
    Unit* fallback = nullptr;
    if (aiPlayer_) {
        Unit* planned = FindUnitById(aiPlayer_->FindUnitTargetingTile(hex, false));
        if (planned != nullptr && CountsOnPlannedTile(*planned)) {
            if (!planned->IsAirborne()) return planned;
            fallback = planned;
        }
    }
    for (std::uint64_t slots = SlotsAt(hex); slots != 0; slots &= slots - 1) {
        const UnitSlot& unit = units_[static_cast<std::size_t>(std::countr_zero(slots))];
        if (!unit || !IsPlaced(*unit) || !(unit->GetHexPos() == hex) || HiddenByPlan(*unit)) continue;
        Unit* carrier = unit->GetCarrier();
        if (!unit->IsAirborne()) {
            return carrier != nullptr && !carrier->IsAirborne() ? carrier : unit.get();
        }
        fallback = carrier != nullptr && carrier->IsAirborne() ? carrier : unit.get();
    }
    if (fallback == nullptr) return nullptr;
    Unit* carrier = fallback->GetCarrier();
    return carrier != nullptr ? carrier : fallback;
}

Unit* Team::FindAirUnitAt(HexCoord hex) const {
    Unit* found = nullptr;
    if (aiPlayer_) {
        Unit* planned = FindUnitById(aiPlayer_->FindUnitTargetingTile(hex, true));
        if (planned != nullptr && CountsOnPlannedTile(*planned) && planned->IsAirborne()) found = planned;
    }
    for (std::uint64_t slots = SlotsAt(hex); slots != 0 && found == nullptr; slots &= slots - 1) {
        const UnitSlot& unit = units_[static_cast<std::size_t>(std::countr_zero(slots))];
        if (!unit || !IsPlaced(*unit) || !(unit->GetHexPos() == hex) || HiddenByPlan(*unit)) continue;
        if (unit->IsAirborne()) found = unit.get();
    }
    if (found == nullptr) return nullptr;
    Unit* carrier = found->GetCarrier();
    return carrier != nullptr && carrier->IsAirborne() ? carrier : found;
}

bool Team::ListUnitHexes(std::vector<HexCoord>& out) const {
    for (const auto& unit : units_) {
        if (unit) out.push_back(unit->GetHexPos());
    }
    return !aiPlayer_ || aiPlayer_->ListTargetedTiles(out);
}

Unit* Team::FindNearestIdleUnitOfType(HexCoord target, int unitType, HexPath& out, int searchMode, bool stopShort,
                                      bool freeOnly, const HexMap* onMap) const {
    Unit* best = nullptr;
    float bestCost = 10000.0f;
    HexPath route;
    const HexMap& map = onMap != nullptr ? *onMap : battle_.GetHexMap();
    for (const auto& unit : units_) {
        if (!unit || unit->GetType() != unitType || unit->GetState() != kUnitIdle) continue;
        if (freeOnly && (unit->GetAIGoalId() != 0 || (unit->IsCarrier() && unit->GetPassengerId() != 0))) continue;
        if (!map.FindRouteAllowBlocked(unit->GetHexPos(), target, route, unitType, searchMode, stopShort)) continue;
        if (route.cost < bestCost) {
            bestCost = route.cost;
            best = unit.get();
            out = route;
        }
    }
    return best;
}

}  // namespace game
