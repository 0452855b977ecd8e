#include "e2e/program_driver.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "engine/gui/dialog_control.h"
#include "engine/gui/list_box.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/render_target.h"
#include "game/ai/computer_player.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/core/game.h"
#include "game/core/game_ports.h"
#include "game/level/level.h"
#include "game/core/program_entry.h"
#include "game/screens/program_screens.h"
#include "game/screens/zone.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "sys/gpu_test_hooks.h"

namespace e2e {

// The program's own screens, with the game object kept for the walk when it is attached.
class ProgramDriver::WalkScreens final : public game::ProgramScreens {
public:
    WalkScreens(ProgramDriver& driver, game::GamePlatform& platform)
        : driver_(driver), screens_(platform) {
        driver_.screens_ = &screens_;
    }
    ~WalkScreens() override {
        driver_.screens_ = nullptr;
        driver_.game_ = nullptr;
    }

    void AttachGame(game::Game& game) override {
        driver_.game_ = &game;
        screens_.AttachGame(game);
    }
    game::MoveChoicePort* GetMoveChoice() override { return screens_.GetMoveChoice(); }
    void AttachCoreServices(game::CoreServices& core) override { screens_.AttachCoreServices(core); }
    bool CreateZones() override { return screens_.CreateZones(); }
    void OpenZone(int type, int x, int y) override { screens_.OpenZone(type, x, y); }
    void ShowCampaignMap() override { screens_.ShowCampaignMap(); }
    void ShowTurnPanels() override { screens_.ShowTurnPanels(); }
    void SlideOutTurnPanels() override { screens_.SlideOutTurnPanels(); }
    void ToggleTurnPanels() override { screens_.ToggleTurnPanels(); }
    void HideAllDialogs() override { screens_.HideAllDialogs(); }
    void SelectMap(const std::string& folder) override { screens_.SelectMap(folder); }
    void OpenWin(int medal, int margin, const std::string& record) override {
        screens_.OpenWin(medal, margin, record);
    }
    void OpenLose() override { screens_.OpenLose(); }
    void OpenPassAndPlayResult() override { screens_.OpenPassAndPlayResult(); }
    void ShowBanner(const engine::WideString& text, float seconds) override { screens_.ShowBanner(text, seconds); }
    bool IsBannerShowing() const override { return screens_.IsBannerShowing(); }
    void HideBanner() override { screens_.HideBanner(); }
    void DrawBanner() override { screens_.DrawBanner(); }
    void SetPanelUnit(game::Unit* unit) override { screens_.SetPanelUnit(unit); }
    game::Unit* GetPanelUnit() const override { return screens_.GetPanelUnit(); }
    void DrawUnitPanel() override { screens_.DrawUnitPanel(); }
    void RefreshCash() override { screens_.RefreshCash(); }
    void OnTurnStart() override { screens_.OnTurnStart(); }

private:
    ProgramDriver& driver_;
    game::RunningScreens screens_;
};

namespace {

void SaveEnv(const char* name, std::string& value, bool& had) {
    const char* old = std::getenv(name);
    had = old != nullptr;
    value = had ? old : "";
}

void RestoreEnv(const char* name, const std::string& value, bool had) {
    if (had) {
        setenv(name, value.c_str(), 1);
    } else {
        unsetenv(name);
    }
}

}  // namespace

ProgramDriver::ProgramDriver() {
    SaveEnv("XDG_DATA_HOME", oldData_, hadData_);
    SaveEnv("XDG_CACHE_HOME", oldCache_, hadCache_);
    setenv("XDG_DATA_HOME", folder_.File("data").c_str(), 1);
    setenv("XDG_CACHE_HOME", folder_.File("cache").c_str(), 1);
}

ProgramDriver::~ProgramDriver() {
    RestoreEnv("XDG_DATA_HOME", oldData_, hadData_);
    RestoreEnv("XDG_CACHE_HOME", oldCache_, hadCache_);
}

int ProgramDriver::Run(const Walk& walk, int frameLimit) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        walkTurn_ = false;
        programEnded_ = false;
        walkDone_ = false;
        frameLimit_ = frameLimit;
        frame_ = 0;
        windowId_ = 0;
    }
    // The program's stderr goes to a file of the folder (appended over restarts), then back.
    std::fflush(stderr);
    savedStderr_ = dup(2);
    const int file = open(folder_.File("stderr.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (file >= 0) {
        dup2(file, 2);
        close(file);
    }

    engine::InstallClockHook([this] { return std::chrono::nanoseconds(clockNs_); });
    std::thread walker([this, &walk] {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            turnChanged_.wait(lock, [this] { return walkTurn_; });
        }
        if (!programEnded_) walk(*this);
        std::lock_guard<std::mutex> lock(mutex_);
        walkDone_ = true;
        walkTurn_ = false;
        turnChanged_.notify_all();
    });

    game::ProgramHooks hooks;
    hooks.afterFrame = [this](int frame) { AfterFrame(frame); };
    hooks.makeScreens = [this](game::GamePlatform& platform) -> std::unique_ptr<game::ProgramScreens> {
        return std::make_unique<WalkScreens>(*this, platform);
    };
    const int code = game::RunProgram(hooks);
    {
        // The program has ended: the walk, if still running, sees it on its next frame.
        std::unique_lock<std::mutex> lock(mutex_);
        programEnded_ = true;
        walkTurn_ = true;
        turnChanged_.notify_all();
    }
    walker.join();
    engine::InstallClockHook({});
    sys::GpuHooks().recordDrawsOnly = false;

    std::fflush(stderr);
    dup2(savedStderr_, 2);
    close(savedStderr_);
    return code;
}

void ProgramDriver::WaitForPlanning() const {
    const game::TeamManager* teams = game_ != nullptr ? game_->GetTeamManager() : nullptr;
    if (teams == nullptr) return;
    for (int slot = 0; slot < game::kTeamKindCount; ++slot) {
        const game::Team* team = teams->GetTeam(slot);
        const auto* computer = team != nullptr ? dynamic_cast<const game::ComputerPlayer*>(team->GetAIPlayer()) : nullptr;
        if (computer == nullptr) continue;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (computer->IsPlanPending() && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

void ProgramDriver::AfterFrame(int frame) {
    // A planning pass of the computer player takes no time on the walk's clock: the frame waits for its
    // result, so that a run repeats whatever the load of the machine.
    WaitForPlanning();
    clockNs_ += kFrameNanoseconds;
    frame_ = frame;
    if (windowId_ == 0) {
        // The offscreen window never gets the input focus a player's window gets when it opens.
        if (SDL_Window* window = SDL_GL_GetCurrentWindow()) {
            windowId_ = SDL_GetWindowID(window);
            SDL_Event focus{};
            focus.type = SDL_WINDOWEVENT;
            focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
            focus.window.windowID = windowId_;
            SDL_PushEvent(&focus);
        }
    }
    if (frameCheck_) frameCheck_();
    if (!dumpPath_.empty()) {
        dumpWritten_ = false;
        engine::Engine* engine = engine::GetEngine();
        engine::RenderTarget* target = engine != nullptr ? engine->GetMainRenderTarget() : nullptr;
        const std::filesystem::path folder = folder_.File("data/Tinmarch/ScreenDumps");
        std::error_code error;
        std::filesystem::remove_all(folder, error);
        if (target != nullptr && target->ScreenDump() == 1) {
            for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
                // Copied under a name of this process's own, then renamed over the shared name in one step:
                // another walk reading or writing a picture of that name never sees half of this one.
                const std::filesystem::path shared(dumpPath_);
                const std::filesystem::path part =
                    shared.string() + "." + std::to_string(static_cast<long>(getpid())) + ".part";
                std::filesystem::create_directories(shared.parent_path(), error);
                std::filesystem::copy_file(entry.path(), part, std::filesystem::copy_options::overwrite_existing,
                                           error);
                if (!error) std::filesystem::rename(part, shared, error);
                dumpWritten_ = !error;
                dumpSource_ = entry.path();
            }
        }
        dumpPath_.clear();
    }
    // Whether the next frame is rasterised; DumpPng asks for its frame on the walk's turn.
    sys::GpuHooks().recordDrawsOnly = (frame + 1) % rasterisedEvery_ != 0;
    std::unique_lock<std::mutex> lock(mutex_);
    if (!walkDone_ && frame >= frameLimit_) {
        // Past the limit the walk's frames fail; it ends before the program is told to quit.
        programEnded_ = true;
        walkTurn_ = true;
        turnChanged_.notify_all();
        turnChanged_.wait(lock, [this] { return walkDone_; });
    }
    if (walkDone_) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        return;
    }
    walkTurn_ = true;
    turnChanged_.notify_all();
    turnChanged_.wait(lock, [this] { return !walkTurn_; });
}

bool ProgramDriver::Frames(int count) {
    for (int i = 0; i < count; ++i) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (programEnded_) return false;
        walkTurn_ = false;
        turnChanged_.notify_all();
        turnChanged_.wait(lock, [this] { return walkTurn_; });
        if (programEnded_) return false;
    }
    return true;
}

bool ProgramDriver::WaitFor(const std::function<bool()>& condition, int frameLimit) {
    for (int i = 0; i < frameLimit; ++i) {
        if (condition()) return true;
        if (!Frames(1)) return false;
    }
    return condition();
}

bool ProgramDriver::WaitForState(int state, int frameLimit) {
    return WaitFor([this, state] { return State() == state; }, frameLimit);
}

game::ZoneRegistry& ProgramDriver::Zones() const { return screens_->Zones(); }

int ProgramDriver::State() const { return game_ != nullptr ? game_->GetState() : -1; }

int ProgramDriver::CurrentSide() const {
    const game::TeamManager* teams = game_ != nullptr ? game_->GetTeamManager() : nullptr;
    const game::Team* team = teams != nullptr ? teams->GetCurrentTeam() : nullptr;
    return team != nullptr ? team->GetKind() : -1;
}

int ProgramDriver::Day() const {
    const game::TeamManager* teams = game_ != nullptr ? game_->GetTeamManager() : nullptr;
    return teams != nullptr ? teams->GetDay() : -1;
}

int ProgramDriver::Cash(int side) const {
    const game::TeamManager* teams = game_ != nullptr ? game_->GetTeamManager() : nullptr;
    if (teams == nullptr) return -1;
    for (int slot = 0; slot < 8; ++slot) {
        const game::Team* team = teams->GetTeam(slot);
        if (team != nullptr && team->GetKind() == side) return team->GetCash();
    }
    return -1;
}

bool ProgramDriver::IsBannerShowing() const { return screens_ != nullptr && screens_->IsBannerShowing(); }

bool ProgramDriver::IsHumanTurn() const {
    if (State() != game::kGameSideTurn) return false;
    const game::TeamManager* teams = game_->GetTeamManager();
    const game::Team* team = teams != nullptr ? teams->GetCurrentTeam() : nullptr;
    // The turn's announcer holds back every order while it shows.
    const game::Announcer* announcer = game_->GetAnnouncer();
    return team != nullptr && team->GetControl() == game::kControlHuman && !teams->IsBusy() &&
           (announcer == nullptr || !announcer->IsShowing());
}

bool ProgramDriver::IsShown(game::ZoneId id) const {
    if (screens_ == nullptr) return false;
    const game::Zone* zone = Zones().Get(id);
    if (zone == nullptr || !zone->IsShown()) return false;
    const auto* titled = dynamic_cast<const game::TitledZone*>(zone);
    return titled == nullptr || titled->IsFullyOpen();
}

bool ProgramDriver::IsEnabled(game::ZoneId id, int controlId) const {
    const game::Zone* zone = screens_ != nullptr ? Zones().Get(id) : nullptr;
    if (zone == nullptr || zone->GetWindow() == nullptr) return false;
    const engine::DialogControl* control = zone->GetWindow()->FindControl(controlId);
    return control != nullptr && control->GetDisabled() == 0;
}

engine::IntRect ProgramDriver::ControlRect(game::ZoneId id, int controlId) const {
    const game::Zone* zone = screens_ != nullptr ? Zones().Get(id) : nullptr;
    if (zone == nullptr || zone->GetWindow() == nullptr) return {};
    const engine::DialogControl* control = zone->GetWindow()->FindControl(controlId);
    if (control == nullptr) return {};
    const engine::IntRect window = zone->GetWindow()->ScreenRect();
    return control->ScreenRect(window.x, window.y);
}

void ProgramDriver::Push(SDL_Event& event) { SDL_PushEvent(&event); }

void ProgramDriver::ToWindow(int& x, int& y) const {
    auto* engine = dynamic_cast<engine::WindowsEngine*>(engine::GetEngine());
    if (engine == nullptr) return;
    int clientWidth = 0;
    int clientHeight = 0;
    engine->GetAppWindow().GetClientSize(clientWidth, clientHeight);
    const int bufferWidth = engine->GetBackBufferWidth();
    const int bufferHeight = engine->GetBackBufferHeight();
    if (clientWidth > 0 && bufferWidth > 0) x = static_cast<int>(static_cast<long long>(x) * clientWidth / bufferWidth);
    if (clientHeight > 0 && bufferHeight > 0) {
        y = static_cast<int>(static_cast<long long>(y) * clientHeight / bufferHeight);
    }
}

void ProgramDriver::MoveTo(int x, int y) {
    ToWindow(x, y);
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = windowId_;
    event.motion.x = x;
    event.motion.y = y;
    Push(event);
    Frames(2);
}

void ProgramDriver::ClickAt(int x, int y) {
    MoveTo(x, y);
    ToWindow(x, y);
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.windowID = windowId_;
    event.button.x = x;
    event.button.y = y;
    Push(event);
    Frames(2);
    event.type = SDL_MOUSEBUTTONUP;
    event.button.state = SDL_RELEASED;
    Push(event);
    Frames(2);
}

bool ProgramDriver::Click(game::ZoneId id, int controlId) {
    if (!IsShown(id)) return false;
    const engine::IntRect rect = ControlRect(id, controlId);
    if (rect.width <= 0 || rect.height <= 0) return false;
    ClickAt(rect.x + rect.width / 2, rect.y + rect.height / 2);
    return true;
}

bool ProgramDriver::ClickListRow(game::ZoneId id, int listId, int value) {
    const game::Zone* zone = screens_ != nullptr ? Zones().Get(id) : nullptr;
    auto* list = zone != nullptr && zone->GetWindow() != nullptr
                     ? dynamic_cast<engine::ListBox*>(zone->GetWindow()->FindControl(listId))
                     : nullptr;
    if (list == nullptr) return false;
    const engine::IntRect r = ControlRect(id, listId);
    for (int row = 0; row < list->GetRowCount(); ++row) {
        engine::WideString text;
        int rowValue = 0;
        if (!list->GetRow(row, text, rowValue) || rowValue != value) continue;
        const int y = r.y + row * list->GetRowHeight() - list->GetScrollOffset() + list->GetRowHeight() / 2;
        if (y < r.y || y >= r.y + r.height) return false;
        ClickAt(r.x + r.width / 2, y);
        return true;
    }
    return false;
}

bool ProgramDriver::HexOnScreen(game::HexCoord hex, int& x, int& y) const {
    game::Level* level = game_ != nullptr ? game_->GetLevel() : nullptr;
    if (level == nullptr || game_->GetView() == nullptr || !game::IsValidHex(hex)) return false;
    engine::Vec3 point;
    level->GetHexMap().GetSurfacePoint(point, hex);
    game_->GetView()->ProjectToScreen(point, x, y);
    engine::Engine* engine = engine::GetEngine();
    const engine::RenderTarget* target = engine != nullptr ? engine->GetMainRenderTarget() : nullptr;
    if (target == nullptr || x < 0 || y < 0 || x >= target->Width() || y >= target->Height()) return false;
    // A point under a shown window (the HUD's buttons, a dialog) is not the battle's: a tap there is the window's.
    for (int id = 0; id < game::kZoneIdCount; ++id) {
        const game::Zone* zone = Zones().Get(static_cast<game::ZoneId>(id));
        if (zone != nullptr && zone->IsShown() && zone->GetWindow() != nullptr &&
            zone->GetWindow()->ScreenRect().Contains(x, y)) {
            return false;
        }
    }
    return true;
}

bool ProgramDriver::ClickHex(game::HexCoord hex) {
    int x = 0;
    int y = 0;
    if (!HexOnScreen(hex, x, y)) return false;
    ClickAt(x, y);
    return true;
}

void ProgramDriver::Wheel(int steps) {
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = windowId_;
    event.wheel.y = steps;
    Push(event);
    Frames(2);
}

void ProgramDriver::TapKey(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.windowID = windowId_;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    Push(event);
    Frames(2);
    event.type = SDL_KEYUP;
    event.key.state = SDL_RELEASED;
    Push(event);
    Frames(2);
}

bool ProgramDriver::OpeningsEnded() const {
    if (screens_ == nullptr) return true;
    for (int id = 0; id < game::kZoneIdCount; ++id) {
        const auto* titled = dynamic_cast<const game::TitledZone*>(Zones().Get(static_cast<game::ZoneId>(id)));
        if (titled != nullptr && titled->IsShown() && (!titled->IsFullyOpen() || titled->OpeningGrow() != 0)) {
            return false;
        }
    }
    return true;
}

std::vector<PictureControl> ProgramDriver::ShownControls() const {
    std::vector<PictureControl> controls;
    if (screens_ == nullptr) return controls;
    constexpr int kHidden = 2;
    for (int id = 0; id < game::kZoneIdCount; ++id) {
        const game::Zone* zone = Zones().Get(static_cast<game::ZoneId>(id));
        if (zone == nullptr || !zone->IsShown() || zone->GetWindow() == nullptr) continue;
        const engine::IntRect window = zone->GetWindow()->ScreenRect();
        for (const engine::DialogControl* c = zone->GetWindow()->FirstControl(); c != nullptr; c = c->Next()) {
            if (c->GetDisabled() == kHidden) continue;
            PictureControl control;
            control.name = "zone " + std::to_string(id) + " control " + std::to_string(c->GetId());
            control.rect = c->ScreenRect(window.x, window.y);
            control.dimmed = c->GetDisabled() != 0;
            if (c->GetType() == engine::kControlSlider) {
                control.kind = ControlKind::kSlider;
            } else if (c->GetType() == engine::kControlButton && c->GetText().Length() > 0) {
                // Unlabelled buttons are icon plates, slot buttons or areas of their screen drawn by it.
                control.labelled = true;
            } else {
                continue;
            }
            controls.push_back(control);
        }
    }
    return controls;
}

bool ProgramDriver::DumpPng(const std::string& path) {
    WaitFor([this] { return OpeningsEnded(); }, 2 * kFramesPerSecond);
    const std::vector<PictureControl> controls = ShownControls();
    dumpPath_ = path;
    // The program waits for the walk's turn to end: the hook is the walk's to set until then.
    sys::GpuHooks().recordDrawsOnly = false;
    Frames(1);
    if (!dumpWritten_) return false;
    Picture picture;
    const std::string name = std::filesystem::path(path).filename().string();
    if (!ReadPicture(dumpSource_.string(), picture)) {
        pictureFindings_.push_back(name + ": the picture cannot be read back");
        return true;
    }
    for (const std::string& finding : CheckPicture(picture, controls)) pictureFindings_.push_back(name + ": " + finding);
    return true;
}

std::string ProgramDriver::Stderr() const {
    std::ifstream in(folder_.File("stderr.txt"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace e2e
