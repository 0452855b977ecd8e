// The real program on llvmpipe, run in-process and driven by the walks' program driver (offscreen window, no
// sound device, a temporary user folder and cache).
//
// Start-up: the program's start to its main menu's first frame, wall time, with a fresh shader cache and on a
// second start with the cache the first one filled; the HLSL compiles and the SPIR-V translations of each
// start are counters, and a second start must show none.
//
// Battle frames: a skirmish on the profile's map, full screen at 1024 x 768, filled up through the teams' own
// spawn call until the wanted units stand in view (40, or a crowd of up to 96 as in a battle of four armies), then
// one iteration per frame of the main thread, 60 frames a repetition, timed from the walk (the program draws
// while the walk waits). Argument planning 1 keeps a computer player of the enemy side planning on its
// worker thread all the while, pass after pass, as the human side's view is drawn; 0 draws the same view
// with no plan running. Argument pixels 0 draws the same frames with the graphics layer's record-only hook:
// every draw is prepared and issued but llvmpipe shades no pixel, which splits a frame into the program's
// and the layer's own work and the rasteriser's. The counters give the median and 99th percentile frame in
// milliseconds (the time column is the mean), the CPU time per frame of the whole process (llvmpipe's
// threads included) and of the program's main thread, and the draws per frame: all of them and those drawn
// as clears and render-target changes (each pass binds its target). Argument passes 1 splits the frame by
// pass (shadow maps, opaque and sky, sorted, glow, 2D and GUI, present, and the rest): at the start of every
// pass the GPU's work is finished (glFinish) and the clocks and draw count are read, so each pass carries
// its own rasterising. The finishes cost time of their own, so that variant's whole-frame figures are not
// those of the others.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "e2e/battle_walks.h"
#include "e2e/program_driver.h"
#include "engine/platform/engine_root.h"
#include "engine/render/render_target.h"
#include "game/ai/ai_goal_factory.h"
#include "game/ai/computer_player.h"
#include "game/ai/level_computer_ports.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure_manager.h"
#include "game/core/game.h"
#include "game/level/level.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"
#include "engine/render/frame_pass_probe.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/graphics_device.h"
#include "sys/gpu_device.h"
#include "sys/gpu_test_hooks.h"
#include "sys/hlsl_compiler.h"
#include "sys/spirv_to_glsl.h"

namespace {

using Clock = std::chrono::steady_clock;
using e2e::kSeconds;
using e2e::ProgramDriver;

constexpr int kUnitsInView = 40;
// Four armies' worth of units in one view: the largest battle's crowd.
constexpr int kCrowdInView = 96;
// Frames drawn after the units are placed and before the timing: their models' first draws are behind them.
constexpr int kSettleFrames = 30;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// CPU seconds of the clock (the process's or the calling thread's).
double CpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

std::uint64_t DrawCalls(const sys::GpuDevice& gpu) {
    return gpu.CallCount(sys::GpuCall::DrawPrimitive) + gpu.CallCount(sys::GpuCall::DrawIndexedPrimitive) +
           gpu.CallCount(sys::GpuCall::DrawPrimitiveUP);
}

// The sample at the fraction (0..1) of the sorted samples, nearest rank.
double Percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0.0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

// The program starts full screen (its default) on a display whose one mode is 1024 x 768, the offscreen video
// driver's desktop size: the driver itself lists no modes, and the program would come up in its small window.
class Display1024x768 {
public:
    Display1024x768() {
        sys::GpuHooks().displayModes = std::vector<sys::GpuDisplayMode>{{1024, 768, 60, sys::kFmtX8R8G8B8}};
    }
    ~Display1024x768() { sys::ResetGpuHooks(); }
    Display1024x768(const Display1024x768&) = delete;
    Display1024x768& operator=(const Display1024x768&) = delete;
};

// Start to the first frame that shows the main menu. Argument 1: a second start on the cache of a first one.
void BM_StartToMainMenu(benchmark::State& state) {
    const bool second = state.range(0) != 0;
    const Display1024x768 display;
    std::uint64_t compiles = 0;
    std::uint64_t translations = 0;
    for (auto _ : state) {
        ProgramDriver driver;
        driver.SetRasterisedFrameEvery(1);
        if (second) {
            driver.Run([](ProgramDriver& d) { d.WaitForState(game::kGameMainMenu, 60 * kSeconds); });
        }
        bool reached = false;
        Clock::time_point end;
        const std::uint64_t compilesBefore = sys::HlslCompileCount();
        const std::uint64_t translationsBefore = sys::SpirvToGlslCount();
        const Clock::time_point start = Clock::now();
        driver.Run([&](ProgramDriver& d) {
            reached = d.WaitForState(game::kGameMainMenu, 60 * kSeconds);
            end = Clock::now();
        });
        compiles = sys::HlslCompileCount() - compilesBefore;
        translations = sys::SpirvToGlslCount() - translationsBefore;
        if (!reached) {
            state.SkipWithError("the main menu did not show");
            return;
        }
        state.SetIterationTime(Seconds(end - start));
    }
    state.counters["shader_compiles"] = static_cast<double>(compiles);
    state.counters["shader_translations"] = static_cast<double>(translations);
}
BENCHMARK(BM_StartToMainMenu)->ArgName("second_start")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- Battle frames ------------------------------------------------------------------------------------------

game::Team* TeamOfControl(game::TeamManager& teams, int control) {
    for (int slot = 0; slot < game::kTeamKindCount; ++slot) {
        game::Team* team = teams.GetTeam(slot);
        if (team != nullptr && team->GetKind() != game::kTeamNeutral && team->GetControl() == control) return team;
    }
    return nullptr;
}

// The hex's standing point lies within the back buffer.
bool InView(ProgramDriver& d, game::HexCoord hex) {
    engine::Vec3 point;
    d.GetGame().GetLevel()->GetHexMap().GetSurfacePoint(point, hex);
    int x = 0;
    int y = 0;
    d.GetGame().GetView()->ProjectToScreen(point, x, y);
    const engine::RenderTarget* target = engine::GetEngine()->GetMainRenderTarget();
    return x >= 0 && y >= 0 && x < target->Width() && y < target->Height();
}

int CountUnitsInView(ProgramDriver& d) {
    int count = 0;
    game::TeamManager& teams = *d.GetGame().GetTeamManager();
    for (int slot = 0; slot < game::kTeamKindCount; ++slot) {
        const game::Team* team = teams.GetTeam(slot);
        for (int index = 0; team != nullptr && index < game::kMaxTeamUnits; ++index) {
            const game::Unit* unit = team->GetUnit(index);
            if (unit != nullptr && unit->GetState() != game::kUnitGone && unit->GetState() != game::kUnitNotPlaced &&
                InView(d, unit->GetHexPos())) {
                ++count;
            }
        }
    }
    return count;
}

// Land units of both sides on the free hexes in view nearest the screen's centre, until the view holds the
// count; false when it cannot.
bool FillView(ProgramDriver& d, int wanted) {
    game::Level& level = *d.GetGame().GetLevel();
    game::TeamManager& teams = *d.GetGame().GetTeamManager();
    game::Team* sides[2] = {TeamOfControl(teams, game::kControlHuman), TeamOfControl(teams, game::kControlComputer)};
    if (sides[0] == nullptr || sides[1] == nullptr) return false;
    constexpr int kTypes[] = {game::UT_GRUNT, game::UT_LIGHT_TANK, game::UT_TROOPER, game::UT_MED_TANK,
                              game::UT_ARTILLERY, game::UT_APC, game::UT_SNIPER, game::UT_HEAVY_TANK};
    const engine::RenderTarget* target = engine::GetEngine()->GetMainRenderTarget();
    const int cx = target->Width() / 2;
    const int cy = target->Height() / 2;
    struct Spot {
        long distance;
        game::HexCoord hex;
    };
    std::vector<Spot> spots;
    const game::HexMap& map = level.GetHexMap();
    for (int column = 0; column < game::kMapColumns; ++column) {
        for (int row = 0; row < game::kMapRows; ++row) {
            const game::HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
            if (!game::IsValidHex(hex) || !InView(d, hex)) continue;
            engine::Vec3 point;
            map.GetSurfacePoint(point, hex);
            int x = 0;
            int y = 0;
            d.GetGame().GetView()->ProjectToScreen(point, x, y);
            spots.push_back({static_cast<long>(x - cx) * (x - cx) + static_cast<long>(y - cy) * (y - cy), hex});
        }
    }
    std::sort(spots.begin(), spots.end(), [](const Spot& a, const Spot& b) { return a.distance < b.distance; });
    int placed = 0;
    for (const Spot& spot : spots) {
        if (CountUnitsInView(d) >= wanted) return true;
        const int type = kTypes[(placed / 2) % std::size(kTypes)];
        if (teams.FindUnitAt(spot.hex) != nullptr || level.GetStructureManager().FindAtHex(spot.hex) != nullptr ||
            map.GetMoveCost(spot.hex, type) <= 0.0f) {
            continue;
        }
        game::Team& side = *sides[placed % 2];
        if (side.SpawnUnit(type, spot.hex, placed % 6, false, 1.0f) != 0) ++placed;
    }
    return CountUnitsInView(d) >= wanted;
}

// The enemy side's computer player as the game makes one (the level's ports, a worker thread), whose planning
// pass runs turn after turn on its worker until it is told to stop: every pass starts from a turn's start (the
// structure goals only, no claim). The side has no cash while it plans, so that it buys nothing and no unit
// waits unplaced on a pad. The side's own computer player stays idle, as in the human side's turn.
class RepeatedPass final : public game::AIGoalFactory {
public:
    void RunPlanningPass(game::ComputerPlayer& player, game::CancelToken& token) override {
        while (!stop.load() && !token.IsCancelled()) {
            player.ClearGoals();
            player.MakeStructureGoals();
            for (int slot = 0; slot < game::kMaxTeamUnits; ++slot) {
                if (game::Unit* unit = player.GetTeam().GetUnit(slot)) unit->SetAIGoalId(0);
            }
            player.RunPlanningPass();
            passes.fetch_add(1);
        }
    }

    std::atomic<bool> stop{false};
    std::atomic<int> passes{0};
};

class PlanningBeside {
public:
    PlanningBeside(game::Team& enemy, game::Level& level, game::TeamManager& teams) {
        auto pass = std::make_unique<RepeatedPass>();
        pass_ = pass.get();
        computer_ = std::make_unique<game::ComputerPlayer>(
            enemy, std::make_unique<game::LevelComputerPorts>(level, teams, true), std::move(pass));
        for (int slot = 0; slot < game::kMaxTeamUnits; ++slot) {
            const game::Unit* unit = enemy.GetUnit(slot);
            if (unit != nullptr && unit->GetState() != game::kUnitGone) computer_->AddUnitPlanner(unit->GetId());
        }
        const int cash = enemy.GetCash();
        computer_->StartTurn();
        enemy.SetCash(0);
        computer_->Update();
        enemy.SetCash(cash);
    }
    bool IsPlanning() const { return computer_->IsPlanning(); }
    int Passes() const { return pass_->passes.load(); }
    // Stops the passes and lets the last one end, frame by frame.
    void Stop(ProgramDriver& d) {
        pass_->stop.store(true);
        while (computer_->IsPlanning()) {
            computer_->Update();
            if (computer_->IsPlanning()) d.Frames(1);
        }
        computer_->SetState(game::kAIStateTurnOver);
        for (int slot = 0; slot < game::kMaxTeamUnits; ++slot) {
            if (game::Unit* unit = computer_->GetTeam().GetUnit(slot)) unit->SetAIGoalId(0);
        }
    }

private:
    RepeatedPass* pass_ = nullptr;
    std::unique_ptr<game::ComputerPlayer> computer_;
};

// The frame split by pass while installed: at every mark the GPU's queued work is finished, and the wall
// time, process CPU time and draws since the mark before go to the pass that mark ended.
class PassBreakdown {
public:
    static constexpr int kPasses = static_cast<int>(engine::FramePass::kCount);

    explicit PassBreakdown(const sys::GpuDevice& gpu) : gpu_(gpu) {
        finish_ = reinterpret_cast<void (*)()>(SDL_GL_GetProcAddress("glFinish"));
        Read(last_);
        current_ = engine::CurrentFramePass();
        engine::SetFramePassProbe([this](engine::FramePass next) {
            if (finish_ != nullptr) finish_();
            Reading now;
            Read(now);
            Totals& pass = totals_[static_cast<std::size_t>(current_)];
            pass.wall += now.wall - last_.wall;
            pass.cpu += now.cpu - last_.cpu;
            pass.draws += now.draws - last_.draws;
            last_ = now;
            current_ = next;
        });
    }
    ~PassBreakdown() { engine::SetFramePassProbe({}); }
    PassBreakdown(const PassBreakdown&) = delete;
    PassBreakdown& operator=(const PassBreakdown&) = delete;

    // Per pass and frame: "<pass>_ms" wall, "<pass>_cpu_ms" process CPU and "<pass>_draws".
    void Report(benchmark::State& state, double frames) const {
        for (int i = 0; i < kPasses; ++i) {
            const Totals& pass = totals_[static_cast<std::size_t>(i)];
            const std::string name = engine::FramePassName(static_cast<engine::FramePass>(i));
            state.counters[name + "_ms"] = 1000.0 * pass.wall / frames;
            state.counters[name + "_cpu_ms"] = 1000.0 * pass.cpu / frames;
            state.counters[name + "_draws"] = static_cast<double>(pass.draws) / frames;
        }
    }

private:
    struct Reading {
        double wall = 0.0;
        double cpu = 0.0;
        std::uint64_t draws = 0;
    };
    struct Totals {
        double wall = 0.0;
        double cpu = 0.0;
        std::uint64_t draws = 0;
    };
    void Read(Reading& out) const {
        out.wall = Seconds(Clock::now().time_since_epoch());
        out.cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        out.draws = DrawCalls(gpu_);
    }

    const sys::GpuDevice& gpu_;
    void (*finish_)() = nullptr;
    Reading last_;
    engine::FramePass current_ = engine::FramePass::kOther;
    std::array<Totals, kPasses> totals_{};
};

void BM_BattleFrame(benchmark::State& state) {
    const bool planning = state.range(0) != 0;
    const int wanted = static_cast<int>(state.range(1));
    const bool pixels = state.range(2) != 0;
    const bool byPass = state.range(3) != 0;
    std::vector<double> frames;
    const char* error = nullptr;
    int inView = 0;
    int width = 0;
    int height = 0;
    int passes = 0;
    double seconds = 0.0;
    double processCpu = 0.0;
    double mainCpuUsed = 0.0;
    std::uint64_t draws = 0;
    std::uint64_t clears = 0;
    std::uint64_t targets = 0;
    const Display1024x768 display;
    ProgramDriver driver;
    driver.SetRasterisedFrameEvery(pixels ? 1 : 1 << 30);
    // The main thread's CPU time, read on that thread after every frame.
    std::atomic<double> mainCpu{0.0};
    driver.SetFrameCheck([&mainCpu] { mainCpu.store(CpuSeconds(CLOCK_THREAD_CPUTIME_ID)); });
    driver.Run([&](ProgramDriver& d) {
        if (!e2e::StartSkirmish(d)) {
            error = "the skirmish did not start";
            return;
        }
        // The crowd is as many as the view holds, up to its count; 40 must fit.
        if (!FillView(d, wanted) && wanted <= kUnitsInView) {
            error = "the units do not fit in the view";
            return;
        }
        d.Frames(kSettleFrames);
        inView = CountUnitsInView(d);
        width = engine::GetEngine()->GetMainRenderTarget()->Width();
        height = engine::GetEngine()->GetMainRenderTarget()->Height();
        if (width != 1024 || height != 768) {
            error = "the view is not 1024 x 768";
            return;
        }
        if (pixels) d.DumpPng(e2e::Png(wanted > kUnitsInView ? "battle_frame_crowd" : "battle_frame"));

        std::unique_ptr<PlanningBeside> plan;
        if (planning) {
            game::TeamManager& teams = *d.GetGame().GetTeamManager();
            plan = std::make_unique<PlanningBeside>(*TeamOfControl(teams, game::kControlComputer),
                                                    *d.GetGame().GetLevel(), teams);
            if (!plan->IsPlanning()) {
                error = "the plan did not start";
                return;
            }
        }
        d.Frames(1);
        const sys::GpuDevice& gpu = *engine::GetGraphicsDevice()->Device();
        const std::uint64_t drawsBefore = DrawCalls(gpu);
        const std::uint64_t clearsBefore = gpu.CallCount(sys::GpuCall::Clear);
        const std::uint64_t targetsBefore = gpu.CallCount(sys::GpuCall::SetRenderTarget);
        const double mainBefore = mainCpu.load();
        const double processBefore = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        std::unique_ptr<PassBreakdown> breakdown;
        if (byPass) breakdown = std::make_unique<PassBreakdown>(gpu);
        const Clock::time_point loopStart = Clock::now();
        for (auto _ : state) {
            const Clock::time_point start = Clock::now();
            d.Frames(1);
            const double frame = Seconds(Clock::now() - start);
            state.SetIterationTime(frame);
            frames.push_back(frame * 1000.0);
        }
        if (breakdown) {
            breakdown->Report(state, static_cast<double>(frames.empty() ? 1 : frames.size()));
            breakdown.reset();
        }
        seconds = Seconds(Clock::now() - loopStart);
        processCpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processBefore;
        mainCpuUsed = mainCpu.load() - mainBefore;
        draws = DrawCalls(gpu) - drawsBefore;
        clears = gpu.CallCount(sys::GpuCall::Clear) - clearsBefore;
        targets = gpu.CallCount(sys::GpuCall::SetRenderTarget) - targetsBefore;
        if (plan) {
            passes = plan->Passes();
            plan->Stop(d);
        }
    });
    if (error != nullptr) {
        state.SkipWithError(error);
        return;
    }
    const double count = frames.empty() ? 1.0 : static_cast<double>(frames.size());
    state.counters["median_ms"] = Percentile(frames, 0.5);
    state.counters["p99_ms"] = Percentile(frames, 0.99);
    state.counters["process_cpu_ms"] = 1000.0 * processCpu / count;
    state.counters["main_cpu_ms"] = 1000.0 * mainCpuUsed / count;
    state.counters["draws"] = static_cast<double>(draws) / count;
    state.counters["clears"] = static_cast<double>(clears) / count;
    state.counters["targets"] = static_cast<double>(targets) / count;
    state.counters["units_in_view"] = inView;
    state.counters["width"] = width;
    state.counters["height"] = height;
    // Planning passes the worker finished per second of the timed frames.
    if (planning) state.counters["passes_per_s"] = seconds > 0.0 ? passes / seconds : 0.0;
}
// 60 frames a repetition, so that the 99th percentile is not the slowest frame alone.
BENCHMARK(BM_BattleFrame)
    ->ArgNames({"planning", "units", "pixels", "passes"})
    ->Args({0, kUnitsInView, 1, 0})
    ->Args({1, kUnitsInView, 1, 0})
    ->Args({0, kCrowdInView, 1, 0})
    ->Args({0, kCrowdInView, 0, 0})
    ->Args({0, kCrowdInView, 1, 1})
    ->Iterations(60)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
