#include "game/units/unit_assets.h"

#include <atomic>
#include <memory>

#include "engine/platform/data_table.h"
#include "game/units/unit_tables.h"
#include "game/units/unit_texts.h"
#include "game/units/unit_view.h"

namespace game {

namespace {

NullUnitViewFactory gNullViews;
std::atomic<UnitViewFactory*> gViews{nullptr};

}  // namespace

int LoadUnitAssets(const BattleContext& game, UnitViewFactory* views) {
    gViews.store(views);
    bool ok = GetUnitViewFactory().LoadPrototypes();
    GetUnitTexts().Load(game);
    const std::unique_ptr<engine::DataTable> basicParams = engine::DataTable::Load("Units/BasicParams");
    const std::unique_ptr<engine::DataTable> damage = engine::DataTable::Load("Units/Damage");
    ok = GetUnitTables().Load(basicParams.get(), damage.get()) && ok;
    return ok ? 1 : 0;
}

void FreeUnitAssets() {
    UnitViewFactory* views = gViews.exchange(nullptr);
    if (views != nullptr) views->FreePrototypes();
}

UnitViewFactory& GetUnitViewFactory() {
    UnitViewFactory* views = gViews.load();
    return views != nullptr ? *views : gNullViews;
}

}  // namespace game
