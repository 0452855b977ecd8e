#pragma once
// The front goal (kind 2): gathers a squad of up to 12 units against the enemy units within 3 steps of its
// centre, claims those targets, wishes for what the squad lacks, and leads the squad there turn after turn.
#include <array>
#include <cstdint>

#include "game/ai/ai_goal.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_coord.h"

namespace game {

class ComputerPlayer;
class Unit;

inline constexpr int kMaxSquad = 12;
inline constexpr int kMaxFrontTargets = 12;
inline constexpr int kMaxSupporters = 24;
inline constexpr int kFrontRadius = 3;

class AIFrontGoal final : public AIGoal {
public:
    AIFrontGoal(ComputerPlayer& player, int teamKind, float weight, HexCoord hex);
    ~AIFrontGoal() override;

    int GetKind() const override { return kGoalFront; }
    void Score() override;
    void Plan() override;
    int Execute(bool firstStep) override;

    // A unit bought for this goal joins the squad; false when it does not exist or the squad is full.
    bool TakeUnit(int unitId);
    bool HoldsUnit(int unitId) const;
    void DropUnit(int unitId);
    // Wishes for the units that would answer the targets' make-up, as far as the side's buildings, the
    // unlocked types and the cash allow, then for light tanks against vehicles.
    void WishForSquad();

    HexCoord GetCentre() const { return centre_; }
    int GetSquadCount() const { return squadCount_; }
    int GetSquadUnitId(int i) const { return squad_[static_cast<std::size_t>(i)].unitId; }
    int GetTargetCount() const { return targetCount_; }
    int GetSupporterCount() const { return supporterCount_; }

private:
    struct SquadMember {
        int unitId = 0;
        float cost = 0.0f;
        int unitType = 0;
        // The cost is RouteCost's answer, found while recruiting in this same squad update: the update
        // takes it instead of searching the same route again.
        bool routePriced = false;
    };
    struct Target {
        int unitId = 0;
        int unitType = 0;
    };

    void SurveyArea();
    void RefreshTargets();
    void ReleaseSquad();
    void UpdateSquad();
    void Recruit();
    void AppendMember(const Unit& unit, float cost, bool routePriced = false);
    void RemoveMember(int i);
    bool InSquad(int unitId) const;
    // The cost of a route towards the centre allowing blocked hexes, or 100000.
    float RouteCost(const Unit& unit) const;
    bool CanHitTargetFromHere(const Unit& unit);
    Unit* FindUnit(int unitId) const;

    ComputerPlayer& player_;
    int teamKind_;
    HexCoord centre_;
    float weight_;
    std::array<std::int16_t, kUnitTypeCount> targetsByType_{};
    std::array<std::int16_t, kUnitTypeCount> squadByType_{};
    int squadCount_ = 0;
    std::array<SquadMember, kMaxSquad> squad_{};
    int nextMember_ = 0;
    int currentUnitId_ = 0;
    int targetCount_ = 0;
    std::array<Target, kMaxFrontTargets> targets_{};
    int supporterCount_ = 0;
    std::array<int, kMaxSupporters> supporters_{};
};

}  // namespace game
