#include "game/ai/ai_goal.h"

namespace game {
namespace {
// Goals are made on the planning thread and on the main thread (turn steps), so the counter is atomic.
std::atomic<int> g_lastGoalId{0};
}  // namespace

AIGoal::AIGoal() : id_(g_lastGoalId.fetch_add(1, std::memory_order_relaxed) + 1) {}

void AIGoal::ResetIdCounter() { g_lastGoalId.store(0, std::memory_order_relaxed); }

}  // namespace game
