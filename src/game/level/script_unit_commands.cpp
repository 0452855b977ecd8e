// The script commands that make, name and drive units.
#include <memory>

#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_path.h"
#include "game/level/mission.h"
#include "game/level/script_commands.h"
#include "game/level/script_manager.h"
#include "game/teams/ai_player.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/action_orders.h"
#include "game/units/move_orders.h"
#include "game/units/unit.h"

namespace game {
namespace {

constexpr int kUnitIdle = 1;

HexMap& Map(ScriptManager& manager) { return manager.Battle().GetHexMap(); }

void Reserve(ScriptManager& manager, HexCoord hex, int unitId) {
    if (HexTile* tile = Map(manager).EditTile(hex)) tile->dropReservation = unitId;
}

// A command whose first argument names a unit.
class UnitCommand : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine& line) override {
        name_ = line.Argument(0);
        return true;
    }

protected:
    Unit* Target() const { return FindScriptUnit(Manager(), name_); }

    engine::WideString name_;
};

class SpawnCommand final : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine& line) override {
        name_ = line.Argument(0);
        type_ = ParseUnitTypeKeyword(ScriptArgumentAscii(line.Argument(1)));
        team_ = ParseTeamKeyword(ScriptArgumentAscii(line.Argument(3)));
        direction_ = ParseDirectionKeyword(ScriptArgumentAscii(line.Argument(4)));
        return type_ != 0 && ParseScriptHex(line.Argument(2), hex_) && team_ <= kTeamEnemy && direction_ < 6;
    }
    int Execute() override {
        TeamManager* teams = Manager().GetTeamManager();
        Team* team = teams != nullptr ? teams->GetOrCreateTeam(team_) : nullptr;
        const int id = team != nullptr ? team->SpawnUnit(type_, hex_, direction_, false, 1.0f) : 0;
        Unit* unit = id != 0 ? Manager().Battle().FindUnitById(id) : nullptr;
        if (unit == nullptr) return kScriptFailed;
        unit->SetScripted(true);
        Manager().SetUnitVariable(name_, id);
        return kScriptDone;
    }

private:
    engine::WideString name_;
    int type_ = 0;
    HexCoord hex_{-1, -1};
    int team_ = 5;
    int direction_ = 6;
};

class MoveUnitCommand final : public UnitCommand {
public:
    using UnitCommand::UnitCommand;
    bool Parse(const ScriptLine& line) override {
        UnitCommand::Parse(line);
        inputLocation_ = line.Argument(1).EqualsNarrow("INPUTLOC");
        return inputLocation_ || ParseScriptHex(line.Argument(1), hex_);
    }
    int Execute() override {
        if (waitingForCarrier_) {
            Unit* unit = Target();
            Unit* carrier = unit != nullptr ? unit->GetCarrier() : nullptr;
            if (carrier != nullptr && carrier->GetState() != kUnitIdle) return kScriptPending;
            waitingForCarrier_ = false;
            Start();
            return waitingForCarrier_ ? kScriptPending : kScriptDone;
        }
        return Start();
    }

private:
    int Start() {
        Unit* unit = Target();
        if (unit == nullptr) return kScriptDone;
        unit->SetScripted(true);
        HexCoord target = hex_;
        if (inputLocation_ && !Manager().GetLocationVariable(engine::WideString("INPUTLOC"), target)) return kScriptDone;
        Unit* carrier = unit->GetCarrier();
        if (carrier == nullptr) {
            unit->QueueOrder(std::make_unique<MoveOrder>(target));
            return kScriptDone;
        }
        HexMap& map = Map(Manager());
        const int reserved = IsValidHex(target) ? map.GetTile(target).dropReservation : -1;
        if (Manager().Battle().FindUnitAt(target) == nullptr && (reserved == 0 || reserved == unit->GetId())) {
            return SendPassenger(*unit, target);
        }
        HexCoord candidates[4];
        int count = 4;
        if (!map.FindNearbyFreeHexes(target, candidates, count)) return kScriptFailed;
        HexPath route;
        for (int i = 0; i < count; ++i) {
            if (map.FindRoute(unit->GetHexPos(), candidates[i], route, unit->GetType(), 2, false) && route.count < 2) {
                return SendPassenger(*unit, candidates[i]);
            }
        }
        for (int i = 0; i < count; ++i) {
            if (!map.FindRoute(carrier->GetHexPos(), candidates[i], route, carrier->GetType(), 2, true)) continue;
            HexList hexes;
            map.PathToHexList(hexes, route);
            if (hexes.count <= 1) continue;
            carrier->QueueOrder(std::make_unique<MoveOrder>(hexes.hexes[static_cast<std::size_t>(hexes.count - 1)]));
            // The passenger goes to the candidate once the carrier stands next to it.
            hex_ = candidates[i];
            inputLocation_ = false;
            Reserve(Manager(), candidates[i], unit->GetId());
            waitingForCarrier_ = true;
            return kScriptPending;
        }
        return kScriptFailed;
    }

    int SendPassenger(Unit& unit, HexCoord hex) {
        Reserve(Manager(), hex, unit.GetId());
        unit.QueueOrder(std::make_unique<MoveOrder>(hex));
        return kScriptDone;
    }

    HexCoord hex_{-1, -1};
    bool inputLocation_ = false;
    bool waitingForCarrier_ = false;
};

class PickUpUnitCommand final : public UnitCommand {
public:
    using UnitCommand::UnitCommand;
    bool Parse(const ScriptLine& line) override {
        UnitCommand::Parse(line);
        passenger_ = line.Argument(1);
        return true;
    }
    int Execute() override {
        Unit* carrier = Target();
        if (loading_) {
            if (carrier == nullptr || !carrier->IsBusy()) loading_ = false;
        } else if (carrier != nullptr) {
            carrier->SetScripted(true);
            HexMap& map = Map(Manager());
            map.FloodMoveBudget(carrier->GetHexPos(), *carrier, carrier->GetMoveAllowance());
            Unit* passenger = FindScriptUnit(Manager(), passenger_);
            HexPath route;
            if (passenger != nullptr &&
                map.FindRoute(carrier->GetHexPos(), passenger->GetHexPos(), route, carrier->GetType(), 0, false)) {
                carrier->QueueOrder(std::make_unique<FollowPathOrder>(route));
                carrier->QueueOrder(std::make_unique<PickUpOrder>(passenger->GetId()));
                loading_ = true;
            }
        }
        return loading_ ? kScriptPending : kScriptDone;
    }

private:
    engine::WideString passenger_;
    bool loading_ = false;
};

class DropUnitCommand final : public UnitCommand {
public:
    using UnitCommand::UnitCommand;
    int Execute() override {
        Unit* carrier = Target();
        if (carrier == nullptr) return kScriptDone;
        carrier->SetScripted(true);
        if (!carrier->IsAirborne()) return kScriptDone;
        HexMap& map = Map(Manager());
        BattleContext& battle = Manager().Battle();
        int index = 0;
        HexCoord drop = carrier->GetHexPos();
        HexCoord free[1];
        int count = 1;
        if (UnitOrder* move = carrier->FindLastMoveOrder(carrier->GetOrderCount(), index)) {
            move->GetTargetHex(drop);
            if (!IsValidHex(drop) || battle.FindUnitAt(drop) != nullptr || map.GetTile(drop).dropReservation != 0) {
                if (map.FindNearbyFreeHexes(drop, free, count)) {
                    carrier->SetOrderAt(std::make_unique<MoveOrder>(free[0]), index);
                    Reserve(Manager(), free[0], carrier->GetId());
                }
            }
        } else {
            const Unit* standing = battle.FindUnitAt(drop);
            if ((standing != nullptr && standing != carrier) || map.GetTile(drop).dropReservation != 0) {
                if (map.FindNearbyFreeHexes(drop, free, count)) {
                    carrier->QueueOrder(std::make_unique<MoveOrder>(free[0]));
                    Reserve(Manager(), free[0], carrier->GetId());
                }
            }
        }
        carrier->QueueOrder(std::make_unique<PickUpOrder>(0));
        return kScriptDone;
    }
};

class StopUnitCommand final : public UnitCommand {
public:
    using UnitCommand::UnitCommand;
    int Execute() override {
        if (Unit* unit = Target()) unit->CancelOrders();
        return kScriptDone;
    }
};

class LandUnitCommand final : public UnitCommand {
public:
    using UnitCommand::UnitCommand;
    int Execute() override {
        if (Unit* unit = Target()) unit->SetAirborne(false);
        return kScriptDone;
    }
};

class KillUnitCommand final : public UnitCommand {
public:
    using UnitCommand::UnitCommand;
    int Execute() override {
        if (Unit* unit = Target()) unit->QueueOrder(std::make_unique<KillOrder>(true));
        return kScriptDone;
    }
};

class RelinquishCommand final : public UnitCommand {
public:
    using UnitCommand::UnitCommand;
    int Execute() override {
        if (done_) return kScriptDone;
        done_ = true;
        if (Unit* unit = Target()) unit->SetScripted(false);
        return kScriptDone;
    }

private:
    bool done_ = false;
};

class ImmobilizeUnitCommand final : public UnitCommand {
public:
    using UnitCommand::UnitCommand;
    bool Parse(const ScriptLine& line) override {
        UnitCommand::Parse(line);
        on_ = line.Argument(1).EqualsNarrow("ON");
        return line.argumentCount == 2 && (on_ || line.Argument(1).EqualsNarrow("OFF"));
    }
    int Execute() override {
        Unit* unit = Target();
        TeamManager* teams = Manager().GetTeamManager();
        Team* enemy = teams != nullptr ? teams->FindTeam(kTeamEnemy) : nullptr;
        AIPlayer* ai = enemy != nullptr ? enemy->GetAIPlayer() : nullptr;
        if (unit != nullptr && ai != nullptr) ai->SetUnitImmobilized(unit->GetId(), on_);
        return kScriptDone;
    }

private:
    bool on_ = false;
};

class AssignUnitNameCommand final : public ScriptAction {
public:
    using ScriptAction::ScriptAction;
    bool Parse(const ScriptLine& line) override {
        name_ = line.Argument(1);
        return ParseScriptHex(line.Argument(0), hex_);
    }
    int Execute() override {
        if (Unit* unit = Manager().Battle().FindUnitAt(hex_)) {
            Manager().SetUnitVariable(name_, unit->GetId());
            unit->SetScripted(true);
        }
        return kScriptDone;
    }

private:
    HexCoord hex_{-1, -1};
    engine::WideString name_;
};

}  // namespace

std::unique_ptr<ScriptAction> CreateUnitCommand(const engine::WideString& keyword, ScriptManager& manager) {
    static constexpr ScriptCommandEntry kCommands[] = {
        {"SPAWN", MakeScriptCommand<SpawnCommand>},           {"MOVEUNIT", MakeScriptCommand<MoveUnitCommand>},
        {"PICKUPUNIT", MakeScriptCommand<PickUpUnitCommand>}, {"DROPUNIT", MakeScriptCommand<DropUnitCommand>},
        {"STOPUNIT", MakeScriptCommand<StopUnitCommand>},     {"LANDUNIT", MakeScriptCommand<LandUnitCommand>},
        {"KILLUNIT", MakeScriptCommand<KillUnitCommand>},     {"RELINQUISH", MakeScriptCommand<RelinquishCommand>},
        {"IMMOBILIZEUNIT", MakeScriptCommand<ImmobilizeUnitCommand>}, {"ASSIGNUNITNAME", MakeScriptCommand<AssignUnitNameCommand>},
    };
    return CreateFromEntries(kCommands, keyword, manager);
}

}  // namespace game
