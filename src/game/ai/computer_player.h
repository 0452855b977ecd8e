#pragma once
// The computer player of the enemy side. At the start of its turn it takes its funds; its driver then starts
// the plan on a runner (a worker thread in the game) once the start-of-turn scripts have finished, polls the
// runner while the battle goes on drawing, and finally carries out the planned goals one step per tick with
// short pauses between them. It also keeps one planner per own unit and the planned damage and claims of
// every unit of the battle.
#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/core/random_streams.h"
#include "game/ai/ai_goal.h"
#include "game/ai/ai_goal_factory.h"
#include "game/ai/ai_unit_planner.h"
#include "game/ai/computer_player_ports.h"
#include "game/ai/plan_runner.h"
#include "game/ai/worker_job.h"
#include "game/battle/hex_map.h"
#include "game/battle/battle_types.h"
#include "game/teams/ai_player.h"

namespace game {

struct HexPath;
class ShuffleBag;
class StructureManager;
class Team;

// Driver states.
inline constexpr int kAIStateTurnStart = 0;
inline constexpr int kAIStatePlanning = 1;
inline constexpr int kAIStateRunGoals = 2;
inline constexpr int kAIStateGoalsFinished = 3;
inline constexpr int kAIStatePause = 4;
inline constexpr int kAIStateFinishing = 5;
inline constexpr int kAIStateTurnOver = 8;

inline constexpr int kMaxGoals = 256;
inline constexpr int kMaxWishes = 64;
inline constexpr int kMaxBought = 64;
inline constexpr int kMaxTransportGoals = 4;
// Live units at which the computer side stops buying, engineers it buys a turn, GRUNT and LIGHT_TANK wishes
// it accepts a turn.
inline constexpr int kMaxLiveUnitsForBuying = 36;
inline constexpr int kMaxEngineersBought = 2;
inline constexpr int kMaxInfantryTankWishes = 4;
// Hot spots looked at for the front goals, on each side.
inline constexpr int kMaxHotSpots = 20;
// Mission tuning keys of Level::GetAIConfig.
inline constexpr int kAIConfigEngineerAgro = 0;
inline constexpr int kAIConfigFundsDonation = 1;
inline constexpr int kAIConfigLandRatio = 2;
inline constexpr int kAIConfigAirRatio = 3;
inline constexpr int kAIConfigSeaRatio = 4;
inline constexpr int kAIConfigOffenceAggro = 5;
// One entry for every unit the battle can hold, so that no planned damage or claim is ever dropped.
inline constexpr int kUnitTableSize = 5 * 48;
// Seconds of a pause between goal steps, counted down by 0.02 per quiet tick.
inline constexpr float kGoalPauseSeconds = 0.5f;
inline constexpr float kQuickPauseSeconds = 0.0001f;
inline constexpr float kTickSeconds = 0.02f;
// Cash of a campaign turn by difficulty, and per owned refinery.
inline constexpr std::array<int, 4> kDifficultyBonus = {0, 20, 40, 90};
inline constexpr int kRefineryIncome = 50;

// The FERRY and the warships.
inline bool IsShipType(int unitType) {
    return unitType == UT_FERRY || (unitType >= UT_SUBMARINE && unitType <= UT_AEGIS);
}

// A unit the computer player would like to buy.
struct BuildWish {
    int unitType = 0;
    float priority = 0.0f;
    HexCoord target{-1, -1};  // (-1, -1): anywhere
    int goalId = 0;
};

// A unit bought during the plan, waiting on its pad to be deployed.
struct BoughtUnit {
    HexCoord pad;
    int unitId = 0;
    int goalId = 0;
};

// A cluster of unit weight on the map, and the rank the front goals give it.
struct HotSpot {
    float weight = 0.0f;  // 0: an empty record
    HexCoord hex;
    float cost = 0.0f;
};

struct UnitTableEntry {
    int unitId = 0;  // 0: free
    float plannedDamage = 0.0f;
    int claimGoalId = 0;
};

class ComputerPlayer final : public AIPlayer, public WorkerJob {
public:
    ComputerPlayer(Team& team, ComputerPlayerPorts& ports, std::unique_ptr<AIGoalFactory> factory = nullptr);
    // The game's computer player owns its ports.
    ComputerPlayer(Team& team, std::unique_ptr<ComputerPlayerPorts> ports,
                   std::unique_ptr<AIGoalFactory> factory = nullptr);
    ~ComputerPlayer() override;

    Team& GetTeam() const { return team_; }
    ComputerPlayerPorts& Ports() const { return ports_; }

    // --- AIPlayer ---------------------------------------------------------------------------------------
    void StartTurn() override;
    void Update() override;
    void AddUnitPlanner(int unitId) override;
    void RemoveUnit(int unitId) override;
    void SetUnitImmobilized(int unitId, bool immobilized) override;
    bool IsUnitImmobilized(int unitId) const override;
    int FindUnitTargetingTile(HexCoord hex, bool airborne) const override;
    bool ListTargetedTiles(std::vector<HexCoord>& out) const override;
    bool GetUnitPlannedTile(int unitId, HexCoord& out) const override;
    float GetPlannedDamage(int unitId) const override;
    void StopPlanning() override;
    // True once the turn is over (state 8); the game then passes the turn on.
    bool IsTurnOver() const override { return state_ == kAIStateTurnOver; }

    // --- Driver -------------------------------------------------------------------------------------------
    void SetState(int state);
    int GetState() const { return state_; }
    int GetCurrentGoal() const { return currentGoal_; }
    float GetPauseLeft() const { return pauseLeft_; }
    bool IsPlanning() const { return runner_ != nullptr; }
    // A planning pass has started and its result is not in yet.
    bool IsPlanPending() const;

    // WorkerJob: the planning pass.
    void Run() override;
    // Tests: called at every checkpoint of the plan with its number (to cancel or hold it there).
    void SetCheckpointHook(CancelToken::Hook hook) { checkpointHook_ = std::move(hook); }
    // The planner's own generator, seeded on the main thread when planning starts.
    engine::RandomStreams& PlanRandom() { return *planRandom_; }

    // --- Goal list ----------------------------------------------------------------------------------------
    // Appends the goal; a full list refuses it (and deletes it): false then.
    bool AddGoal(std::unique_ptr<AIGoal> goal);
    AIGoal* FindGoalById(int id) const;
    int GetGoalCount() const { return static_cast<int>(goals_.size()); }
    AIGoal* GetGoal(int i) const;
    void ClearGoals();
    int GetTransportGoalCount() const { return transportGoalCount_; }
    // A carried unit's transport request, counted before its goal exists; its goal takes the count over.
    void ReserveTransportGoal() { ++transportGoalCount_; }
    void ReleaseTransportReservation() { --transportGoalCount_; }

    // Lower kind first; unit goals by id; the other kinds by score, highest first; ties by id.
    static bool CompareGoals(const AIGoal& a, const AIGoal& b);
    void SortGoals();
    // Rebuilds the goal list with one structure goal for every structure but the build pads.
    void MakeStructureGoals();

    // --- Wishes and purchases -----------------------------------------------------------------------------
    // Scales the priority by the mission's ratio of the type's domain (not an ENGINEER's), takes at most four
    // GRUNT or LIGHT_TANK wishes a turn and 64 in all: false when the wish was not taken.
    bool AddBuildWish(const BuildWish& wish);
    bool AddBuildWish(int unitType, float priority, int goalId, HexCoord target) {
        return AddBuildWish({unitType, priority, target, goalId});
    }
    bool AddBuildWishAnywhere(int unitType, float priority, int goalId) {
        return AddBuildWish({unitType, priority, {-1, -1}, goalId});
    }
    // Empties the bought list and the turn's counters; keeps, in order, only the wishes of live resupply and
    // transport goals.
    void PruneWishes();
    static bool CompareWishesByPriority(const BuildWish& a, const BuildWish& b) { return a.priority > b.priority; }
    int GetWishCount() const { return static_cast<int>(wishes_.size()); }
    const BuildWish& GetWish(int i) const { return wishes_[static_cast<std::size_t>(i)]; }
    bool AddBoughtUnit(const BoughtUnit& bought);
    int GetBoughtCount() const { return static_cast<int>(bought_.size()); }
    const BoughtUnit& GetBought(int i) const { return bought_[static_cast<std::size_t>(i)]; }
    int GetFunds() const { return funds_; }
    void SetFunds(int funds) { funds_ = funds; }
    int GetEngineersBought() const { return engineersBought_; }

    // --- The planning pass (planning thread, or inline) ---------------------------------------------------
    // The whole pass: purchases, their hand-over, front goals, scores, unit goals, the order and the plans.
    // It sets the done flag only when it ran to its end.
    void RunPlanningPass();
    // The step of the pass that runs now (3 buying, 7 front goals, 9 scores, 10 unit goals, 13 plans), 16
    // once it ran to its end; 0 before. Read by tests at a checkpoint or after the join.
    int GetPassStep() const { return passStep_; }
    // One or two cheap wishes for an idle side with cash; the bag they are drawn from is FillRandomWishBag's.
    void AddRandomWishes();
    void FillRandomWishBag(ShuffleBag& bag, int cash) const;
    // Buys the best affordable, placeable wish: true when a wish was used up.
    bool BuyNextWish();
    // Every unit bought this pass goes to the goal that wished for it, else to a new target goal.
    void HandOverBoughtUnits();
    // Front goals on the enemy hot spots that no front goal covers yet, the most promising first.
    void MakeFrontGoals();
    // The value of the other sides' units within 3 steps: GENERAL 900, ENGINEER 500, others 10, a carrier 10
    // plus its passenger's.
    int ScoreEnemiesNear(HexCoord hex);
    // Fills the records with the strongest clusters of own (positive) or other (negative) unit weight;
    // returns how many records are used.
    int CollectHotSpots(bool own, int capacity, HotSpot* records);

    // A unit bought this turn whose pad is taken goes before it was ever placed (the team then deletes it).
    // In a plan the removal waits for the join, so that the main thread never sees the unit change.
    void RemoveBoughtUnit(Unit& unit);

    // --- What the goals look up while planning -------------------------------------------------------------
    // The battle the units live in, read through the plan's own map once a plan has started, so that the
    // planning thread never asks the level's ports for the live map.
    BattleContext* Battle() const;
    // The unit of the id on any side, or null.
    Unit* FindAnyUnit(int unitId) const;
    // The level's structures, or null when the battle has none.
    StructureManager* GetStructures() const;
    bool IsUnitTypeUnlocked(int unitType) const;
    // The price of a unit type; 0 for an unknown type.
    int GetUnitCost(int unitType) const;
    // The nearest idle unit of the team of that type (unclaimed and empty when freeOnly), routes searched
    // on the plan's map.
    Unit* FindNearestIdleUnit(HexCoord target, int unitType, HexPath& route, int searchMode, bool stopShort,
                              bool freeOnly);

    // --- Planners and the unit table ----------------------------------------------------------------------
    AIUnitPlanner* FindUnitPlanner(int unitId) const;
    AIUnitPlanner* GetPlanner(int slot) const;
    void SetUnitPlannedTile(int unitId, HexCoord tile);
    bool IsUnitMakingWay(int unitId) const;
    void RequestMakeWay(int unitId);
    void AddPlannedDamage(int unitId, float amount);
    int GetUnitClaim(int unitId) const;
    void SetUnitClaim(int unitId, int goalId);
    void ClearUnitTable();
    // A unit planner's per-turn step: stale orders and tile dropped, resupply and transport goals asked for.
    void TurnStep(AIUnitPlanner& planner);
    // The unit asks to be carried to the destination (carried units count against the cap at once).
    void RequestTransport(AIUnitPlanner& planner, HexCoord destination);

    // --- Planning (planning thread, or inline) ------------------------------------------------------------
    // The plan's own copy of the level's map, made when planning starts (or on first use outside a plan); it
    // marks no unit or structure.
    HexMap& PlanMap();
    // Copies the level's map again (main thread; planning start does it).
    void RefreshPlanMap();
    // One checkpoint of the plan; true when the plan is to stop.
    bool Checkpoint();
    // The best target for the unit standing on the hex (its own hex when none), aircraft judged airborne;
    // its score in score. Null when none.
    Unit* ChooseAttackTarget(const AIUnitPlanner& planner, float& score, const HexCoord* hex);
    // An attack from the unit's own hex: 1 when one was planned.
    bool AttackFromHere(AIUnitPlanner& planner);
    // Pends the attack and adds its damage to the target's planned damage.
    void PendAttack(AIUnitPlanner& planner, const Unit& attacker, const Unit& target);
    // The best tile within this turn's reach and the attack from it: true when something was planned.
    bool PlanFreeMove(AIUnitPlanner& planner);
    // Walks the unit along a route towards the destination and stops on the best hex within this turn's
    // reach, attacking on the way unless noAttack; true when the stop is the route's end.
    bool AdvanceTowards(AIUnitPlanner& planner, HexCoord destination, bool noAttack, bool stopShort,
                        int searchMode);
    // The carrier the unit rides, else the one its transport goal reserved; 0 when none.
    int GetTransportId(const AIUnitPlanner& planner) const;
    // Walks the unit to its reserved land or sea carrier and embarks it; false without a carrier.
    bool PlanBoarding(AIUnitPlanner& planner);
    // True when the aircraft should land where it stands.
    bool ShouldLand(const AIUnitPlanner& planner);
    // Main thread: the pending orders go to the unit, routes marked 0x10 on the level's map; the camera
    // follows a moving unit or looks at it. False (and no camera call) with nothing pending.
    bool CommitOrders(AIUnitPlanner& planner);

private:
    enum class Bookkeeping { kAdd, kRemove, kImmobile, kMobile };
    struct QueuedCall {
        Bookkeeping kind;
        int unitId;
    };

    void StartPlanning();
    void FinishPlanning();
    void RunGoalStep();
    void DeleteCurrentGoal();
    void AddFunds();
    // True when a call from this thread must wait for the running plan to be joined.
    bool MustQueue() const;
    // True when this thread's lookups must not see the plan (the main thread while a worker plans).
    bool PlanHidden() const;
    void ApplyAdd(int unitId);
    void ApplyRemove(int unitId);
    void ApplyImmobilized(int unitId, bool immobilized);
    UnitTableEntry* FindTableEntry(int unitId, bool create);

    Team& team_;
    std::unique_ptr<ComputerPlayerPorts> ownedPorts_;
    ComputerPlayerPorts& ports_;
    std::unique_ptr<AIGoalFactory> factory_;
    std::vector<std::unique_ptr<AIGoal>> goals_;
    int transportGoalCount_ = 0;
    bool structureGoalsMade_ = false;
    int dayAtTurnStart_ = 0;
    int state_ = kAIStateTurnOver;
    int currentGoal_ = 0;
    bool firstStep_ = true;
    float pauseLeft_ = 0.0f;
    std::vector<BuildWish> wishes_;
    std::vector<BoughtUnit> bought_;
    int funds_ = 0;
    int passStep_ = 0;
    int infantryTankWishes_ = 0;
    int engineersBought_ = 0;
    std::array<UnitTableEntry, kUnitTableSize> unitTable_{};
    // False while every entry's planned damage is 0: the unit lookups ask for it on every hex they visit.
    bool anyPlannedDamage_ = false;
    // Guards the planner slots: the planning thread adds planners for units it buys.
    mutable std::mutex plannerLock_;
    // Before the planners: it outlives them, as they unmark themselves when deleted.
    PlannedTileIndex plannedTiles_;
    std::array<std::unique_ptr<AIUnitPlanner>, 48> planners_;
    // The unit id of each planner slot (0 for an empty one), beside the slots so that a lookup by unit
    // scans ids, not planners.
    std::array<int, 48> plannerUnitIds_{};
    std::unique_ptr<PlanRunner> runner_;
    // Main thread only: true from the start of a plan until its runner is joined.
    bool planActive_ = false;
    std::vector<QueuedCall> queued_;
    // Bought units the plan removes, applied after the join.
    std::vector<int> removals_;
    CancelToken::Hook checkpointHook_;
    std::unique_ptr<engine::RandomStreams> planRandom_;
    std::unique_ptr<HexMap> planMap_;
    CancelToken* token_ = nullptr;
};

}  // namespace game
