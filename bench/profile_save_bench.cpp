// The autosave of every human turn: SaveGameToSlot of a battle of five sides with 48 units each, then the
// profile written to a user folder on tmpfs (/dev/shm).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "../tests/game/core/game_fixture.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/save_store.h"
#include "game/battle/hex_map_source.h"
#include "game/core/player_profile.h"

namespace {

using namespace core_test;

// The game over the recording fakes (the test fixture, run by hand) with the real profile.
class AutosaveBattle : public GameTest {
public:
    AutosaveBattle() { parts.profile = &profile_; }
    void TestBody() override {}

    bool Build() {
        SetUp();
        if (HasFatalFailure()) return false;
        profile_.AttachGame(game.get());
        std::string lines;
        for (int kind = 0; kind < 5; ++kind) {
            for (int i = 0; i < 48; ++i) {
                const int tile = kind * 48 + i;
                lines += "unit " + FormatHexLabel(MakeHexCoord(tile % 16, tile / 16)) + " 17 owner " +
                         std::to_string(kind) + "\n";
            }
        }
        level_test::WriteLevel(data, "Big", level_test::LandSource(16, lines), nullptr);
        profile_.SetDefaultMapName("Levels/Big");
        platform.onFrame = [this](int) { game->RequestQuit(); };
        game->SetState(kGameLoadPassAndPlay);
        game->RunMainLoop();
        return game->GetTeamManager() != nullptr;
    }
    int CountUnits() const {
        int units = 0;
        for (int place = 0; place < 5; ++place) {
            const Team* team = game->GetTeamManager()->GetTeam(place);
            units += team != nullptr ? team->CountLiveUnits() : 0;
        }
        return units;
    }
    PlayerProfile& Profile() { return profile_; }

private:
    std::unique_ptr<engine::SaveStore> MakeStore() {
        ::setenv("XDG_DATA_HOME", folder_.c_str(), 1);
        auto store = std::make_unique<engine::SaveStore>();
        store->InitUserFolder();
        return store;
    }

    std::string folder_ = "/dev/shm/tinmarch-bench-" + std::to_string(::getpid());
    std::unique_ptr<engine::SaveStore> store_ = MakeStore();
    engine::NamedSaveBlob blob_{*store_};
    PlayerProfile profile_{blob_, *store_};

public:
    ~AutosaveBattle() override {
        TearDown();
        std::filesystem::remove_all(folder_);
    }
};

void BM_AutosaveAndWrite(benchmark::State& state) {
    AutosaveBattle battle;
    if (!battle.Build()) {
        state.SkipWithError("the battle did not load");
        return;
    }
    for (auto _ : state) {
        battle.Profile().SaveGameToSlot(kAutosaveSlot);
        battle.Profile().Save();
    }
    state.counters["units"] = battle.CountUnits();
}
BENCHMARK(BM_AutosaveAndWrite)->Unit(benchmark::kMillisecond);

}  // namespace
