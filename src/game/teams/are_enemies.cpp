#include "game/teams/are_enemies.h"

#include "game/battle/battle_context.h"
#include "game/teams/team.h"

namespace game {

bool AreEnemies(int gameMode, const Team* a, const Team* b) {
    if (a == nullptr || b == nullptr || a == b) return false;
    if (gameMode == kGameModePassAndPlay || gameMode == kGameModeSkirmish) return true;
    return (a->GetControl() == kControlHuman) != (b->GetControl() == kControlHuman);
}

}  // namespace game
