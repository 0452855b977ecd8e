#pragma once
// What every unit type shares, loaded once while the game starts: the model and particle prototypes
// (through the view factory), the unit texts and the two unit tables.
namespace game {

class BattleContext;
class UnitViewFactory;

// Loads the prototypes through the factory (null: units get no models), copies the unit texts through the
// game's text lookup and reads "Units/BasicParams" and "Units/Damage". 1 when everything loaded; 0 when a
// table is missing or refused (every record and damage entry is then 0) or a prototype is missing. The
// factory must outlive the assets.
int LoadUnitAssets(const BattleContext& game, UnitViewFactory* views);
// Frees the prototypes; later units get no models until the assets load again.
void FreeUnitAssets();

// The factory of the loaded assets, or a factory of null views.
UnitViewFactory& GetUnitViewFactory();

}  // namespace game
