#include "game/units/unit_balance_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "engine/platform/data_table.h"
#include "game/battle/battle_types.h"
#include "game/battle/structure.h"
#include "game/battle/structure_types.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_tables.h"

namespace game {

namespace {

constexpr int kFirstType = 1;
constexpr int kLastType = kUnitTypeCount - 1;  // 24
// BasicParams columns.
constexpr int kMoveColumn = 1;
constexpr int kRaisedColumn = 3;
constexpr int kRoadColumn = 4;
constexpr int kShallowsColumn = 8;
constexpr int kCostColumn = 9;
constexpr int kFirstRatingColumn = 16;
// moveCost indexes of the same cells.
constexpr int kRaisedCost = 1;
constexpr int kRoadCost = 2;
constexpr int kLandCost = 3;
constexpr int kShallowsCost = 6;

// The rating columns 16..19 rate a type against infantry, vehicles, aircraft and ships, the products of the
// barracks, factory, airport and dockyard.
constexpr std::array<int, 4> kRatedProducers = {kStructureBarracks, kStructureFactory, kStructureAirport,
                                                kStructureDockyard};

const char* Keyword(int type) {
    const UnitDescriptor* row = FindUnitDescriptor(type);
    return row != nullptr ? row->keyword : "?";
}

std::string Number(float value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

class BalanceCheck {
public:
    BalanceCheck(const UnitTables& tables, std::string basicName, std::string damageName,
                 std::vector<UnitTableFault>& faults)
        : tables_(tables), basicName_(std::move(basicName)), damageName_(std::move(damageName)), faults_(faults) {}

    void Run() {
        for (int type = kFirstType; type <= kLastType; ++type) {
            if (IsBuyableUnitType(type) && IsArmed(type)) CheckCounter(type);
        }
        CheckDominance();
        CheckRatings();
        CheckPrices();
        for (int type = kFirstType; type <= kLastType; ++type) {
            if (IsLandType(type)) CheckLandCosts(type);
        }
    }

private:
    // Percent of full health, as written in the table.
    float Damage(int attacker, int defender) const {
        return std::round(tables_.LookupDamage(attacker, defender, 0) * 100.0f);
    }
    const UnitParams& Params(int type) const { return tables_.GetParams(type); }
    bool IsArmed(int type) const {
        for (int defender = kFirstType; defender <= kLastType; ++defender) {
            if (Damage(type, defender) > 0.0f) return true;
        }
        return false;
    }
    static bool IsLandType(int type) {
        const int producer = ProducerTypeForUnit(type);
        return type != UT_DOOR && (producer == kStructureBarracks || producer == kStructureFactory);
    }

    void Fault(bool damageTable, int row, int column, std::string message) {
        UnitTableFault fault;
        fault.file = damageTable ? damageName_ : basicName_;
        fault.row = row;
        fault.column = column;
        fault.message = std::move(message);
        faults_.push_back(std::move(fault));
    }

    void CheckCounter(int type) {
        const UnitParams& own = Params(type);
        for (int counter = kFirstType; counter <= kLastType; ++counter) {
            if (counter == type || !IsBuyableUnitType(counter)) continue;
            const UnitParams& other = Params(counter);
            if (static_cast<float>(other.cost) > 2.5f * static_cast<float>(own.cost)) continue;
            const float dealt = Damage(counter, type);
            if (dealt <= 0.0f) continue;
            if (dealt >= 1.5f * Damage(type, counter) || other.maxRange > own.maxRange) return;
        }
        Fault(true, type, 0,
              std::string(Keyword(type)) + " has no counter: no buyable type costing at most 2.5 x " +
                  std::to_string(own.cost) + " deals 1.5 x the damage it takes from it or outranges it");
    }

    // True when a is at least as good as b in every figure.
    bool AtLeastAsGood(int a, int b) const {
        const UnitParams& pa = Params(a);
        const UnitParams& pb = Params(b);
        if (pa.moveAllowance < pb.moveAllowance || pa.maxRange < pb.maxRange) return false;
        for (int other = kFirstType; other <= kLastType; ++other) {
            if (Damage(a, other) < Damage(b, other) || Damage(other, a) > Damage(other, b)) return false;
        }
        return true;
    }

    void CheckDominance() {
        for (int a = kFirstType; a <= kLastType; ++a) {
            if (!IsBuyableUnitType(a)) continue;
            for (int b = kFirstType; b <= kLastType; ++b) {
                // An unarmed type's worth (capture, carrying, supply) is not in the tables, so only armed
                // types can be outclassed.
                if (a == b || !IsBuyableUnitType(b) || !IsArmed(b) || ProducerTypeForUnit(a) != ProducerTypeForUnit(b)) {
                    continue;
                }
                if (Params(a).cost <= Params(b).cost && AtLeastAsGood(a, b)) {
                    Fault(false, a, kCostColumn,
                          std::string(Keyword(a)) + " is at least as good as " + Keyword(b) +
                              " in every figure and costs no more (" + std::to_string(Params(a).cost) +
                              " against " + std::to_string(Params(b).cost) + ")");
                }
            }
        }
    }

    int Rating(int type, std::size_t index) const {
        const UnitParams& p = Params(type);
        const std::array<int, 4> ratings = {p.vsInfantry, p.vsVehicles, p.vsAirborne, p.vsShips};
        return ratings[index];
    }

    float BestCell(int attacker, int defenderProducer) const {
        float best = 0.0f;
        for (int defender = kFirstType; defender <= kLastType; ++defender) {
            if (defender == UT_DOOR || ProducerTypeForUnit(defender) != defenderProducer) continue;
            best = std::max(best, Damage(attacker, defender));
        }
        return best;
    }

    void CheckRatings() {
        for (std::size_t index = 0; index < kRatedProducers.size(); ++index) {
            const int column = kFirstRatingColumn + static_cast<int>(index);
            for (int a = kFirstType; a <= kLastType; ++a) {
                for (int b = kFirstType; b <= kLastType; ++b) {
                    if (a == b || a == UT_DOOR || b == UT_DOOR ||
                        ProducerTypeForUnit(a) != ProducerTypeForUnit(b)) {
                        continue;
                    }
                    const float bestA = BestCell(a, kRatedProducers[index]);
                    const float bestB = BestCell(b, kRatedProducers[index]);
                    if (bestA > bestB && Rating(a, index) < Rating(b, index)) {
                        Fault(false, a, column,
                              std::string(Keyword(a)) + " is rated " + std::to_string(Rating(a, index)) +
                                  " below " + Keyword(b) + "'s " + std::to_string(Rating(b, index)) +
                                  " though its best damage there is higher (" + Number(bestA) + " against " +
                                  Number(bestB) + ")");
                    }
                }
            }
        }
    }

    void CheckPrices() {
        struct Ceiling {
            int type;
            int cost;
        };
        static constexpr Ceiling kCeilings[] = {
            {UT_GRUNT, 50}, {UT_TROOPER, 100}, {UT_LIGHT_TANK, 125}, {UT_DESTROYER, 200}};
        for (const Ceiling& ceiling : kCeilings) {
            if (Params(ceiling.type).cost > ceiling.cost) {
                Fault(false, ceiling.type, kCostColumn,
                      std::string(Keyword(ceiling.type)) + " costs " + std::to_string(Params(ceiling.type).cost) +
                          ", above the computer player's threshold of " + std::to_string(ceiling.cost));
            }
        }
        for (int type = kFirstType; type <= kLastType; ++type) {
            if (type == UT_GENERAL || ProducerTypeForUnit(type) != kStructureBarracks) continue;
            if (Params(UT_GENERAL).cost <= Params(type).cost) {
                Fault(false, UT_GENERAL, kCostColumn,
                      std::string("UT_GENERAL costs ") + std::to_string(Params(UT_GENERAL).cost) + ", not more than " +
                          Keyword(type) + "'s " + std::to_string(Params(type).cost));
            }
        }
    }

    void CheckLandCosts(int type) {
        const UnitParams& p = Params(type);
        const float land = p.moveCost[kLandCost];
        if (p.moveCost[kRoadCost] >= land) {
            Fault(false, type, kRoadColumn,
                  std::string(Keyword(type)) + ": a road costs " + Number(p.moveCost[kRoadCost]) +
                      ", not less than plain land's " + Number(land));
        }
        const struct {
            int index;
            int column;
            const char* name;
        } rough[] = {{kShallowsCost, kShallowsColumn, "a ford"}, {kRaisedCost, kRaisedColumn, "a hill"}};
        for (const auto& cell : rough) {
            const float cost = p.moveCost[cell.index];
            if (cost > 0.0f && cost <= land) {
                Fault(false, type, cell.column,
                      std::string(Keyword(type)) + ": " + cell.name + " costs " + Number(cost) +
                          ", not more than plain land's " + Number(land));
            }
        }
        if (p.moveAllowance < 20.0f) {
            Fault(false, type, kMoveColumn,
                  std::string(Keyword(type)) + ": an allowance of " + Number(p.moveAllowance) +
                      ", under the 20 a type carried by a FERRY needs");
        }
    }

    const UnitTables& tables_;
    std::string basicName_;
    std::string damageName_;
    std::vector<UnitTableFault>& faults_;
};

}  // namespace

bool IsBuyableUnitType(int unitType) {
    return unitType >= kFirstType && unitType <= kLastType && unitType != UT_SUBMARINE && unitType != UT_GENERAL &&
           unitType != UT_DOOR;
}

bool CheckUnitBalance(const UnitTableText& basicParams, const UnitTableText& damage,
                      std::vector<UnitTableFault>& faults) {
    const std::size_t before = faults.size();
    const auto basic = engine::DataTable::LoadFromImage(basicParams.bytes.data(), basicParams.bytes.size());
    const auto hits = engine::DataTable::LoadFromImage(damage.bytes.data(), damage.bytes.size());
    UnitTables tables;
    if (!basic || !hits || !tables.Load(basic.get(), hits.get())) {
        UnitTableFault fault;
        fault.file = basicParams.name;
        fault.message = "the tables do not load (run the table check first)";
        faults.push_back(std::move(fault));
        return false;
    }
    BalanceCheck(tables, basicParams.name, damage.name, faults).Run();
    return faults.size() == before;
}

}  // namespace game
