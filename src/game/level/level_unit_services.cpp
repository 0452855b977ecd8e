#include "game/level/level_unit_services.h"

#include "game/level/level.h"
#include "game/level/level_services.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"

namespace game {

bool LevelUnitServices::IsBattleZoomActive() const { return level_.Services().IsBattleZoomActive(); }

void LevelUnitServices::StartBattleZoom(Unit& attacker, Unit& target) {
    level_.Services().StartBattleZoom(attacker, target);
}

void LevelUnitServices::EndBattleZoom() { level_.Services().EndBattleZoom(); }

void LevelUnitServices::LookAtUnit(Unit& unit) { teams_.Services().LookAtUnit(unit); }

void LevelUnitServices::PlayLevelSound(int sound) { level_.Services().PlayLevelSound(sound); }

int LevelUnitServices::StartLoopSound(int sound) { return level_.Services().StartLoopSound(sound); }

void LevelUnitServices::StopLoopSound(int handle, float fadeSeconds) {
    level_.Services().StopLoopSound(handle, fadeSeconds);
}

void LevelUnitServices::PlaySpeech(int teamKind, int cue) { level_.Services().PlaySpeech(teamKind, cue); }

void LevelUnitServices::AddEffect(const char* prototype, const engine::Matrix44& placement) {
    level_.Services().AddEffect(prototype, placement);
}

void LevelUnitServices::AddFloatingText(const engine::Vec3& at, const engine::WideString& text) {
    level_.GetFloatingTexts().Add(text, at);
}

void LevelUnitServices::AddCrater(int kind, const engine::Vec3& position) { level_.AddCrater(kind, position); }

int LevelUnitServices::GetDifficulty() const { return level_.Services().GetDifficulty(); }

int LevelUnitServices::AddProfileKill() { return level_.Services().AddProfileKill(); }

int LevelUnitServices::AddProfileSniperKill() { return level_.Services().AddProfileSniperKill(); }

void LevelUnitServices::SetScriptInputHex(HexCoord hex) { level_.GetScriptManager().SetInputHex(hex); }

}  // namespace game
