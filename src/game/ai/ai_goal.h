#pragma once
// A goal of the computer player: scored and planned on the planning thread, carried out step by step on the
// main thread. Execute's results tell the turn driver how to go on (kExecute* below).
#include <atomic>

namespace game {

// Goal kinds; the kind also orders the goal list.
inline constexpr int kGoalStructure = 1;
inline constexpr int kGoalFront = 2;
inline constexpr int kGoalUnit = 3;
inline constexpr int kGoalResupply = 4;
inline constexpr int kGoalTransport = 5;
inline constexpr int kGoalTarget = 6;

// Results of AIGoal::Execute.
inline constexpr int kExecuteFinished = 0;      // the goal is deleted
inline constexpr int kExecuteNext = 1;          // the next goal at once
inline constexpr int kExecuteNextPaused = 2;    // the next goal after a pause
inline constexpr int kExecuteAgain = 3;         // this goal again next tick
inline constexpr int kExecutePauseAgain = 4;    // a pause, then this goal again
inline constexpr int kExecuteRestart = 5;       // this goal again next tick, as a first step
inline constexpr int kExecutePauseRestart = 6;  // a pause, then this goal again as a first step

class AIGoal {
public:
    // Takes the next id of the program-wide counter: ids start at 1 and are never reused.
    AIGoal();
    virtual ~AIGoal() = default;
    AIGoal(const AIGoal&) = delete;
    AIGoal& operator=(const AIGoal&) = delete;

    virtual int GetKind() const = 0;
    virtual void Score() = 0;
    virtual void Plan() = 0;
    virtual int Execute(bool firstStep) = 0;

    // The carrier a transport goal reserved for its unit; 0 for every other goal.
    virtual int GetReservedCarrierId() const { return 0; }

    int GetId() const { return id_; }
    float GetScore() const { return score_; }

    // Tests start the ids at 1 again.
    static void ResetIdCounter();

protected:
    float score_ = 0.0f;

private:
    int id_;
};

}  // namespace game
