#pragma once
// Runs the whole program in-process, headless, on the data set beside the test binary, and drives it as a
// player would: SDL key, pointer and wheel events at positions taken from the zones' own controls, one frame
// at a time on a clock that moves a fixed step per frame, so that a run repeats.
//
// The program keeps the test's thread (its window, GL context and main loop live there); the walk runs on a
// second thread in lock step with it. After each frame the program stops and hands the turn to the walk,
// which reads the game, queues input and lets the next frames pass. Only one of the two runs at a time.
#include <SDL.h>

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "e2e/picture_check.h"
#include "engine/core/int_rect.h"
#include "game/battle/hex_coord.h"
#include "game/screens/zone_registry.h"
#include "support/temp_folder.h"

namespace game {
class Game;
class RunningScreens;
class Team;
}  // namespace game

namespace e2e {

class ProgramDriver;
using Walk = std::function<void(ProgramDriver&)>;

class ProgramDriver {
public:
    // Each frame moves the clock by three of the game's 20 ms ticks: the battle's fixed-step update runs as it
    // would at 60 frames a second, while llvmpipe draws a third of the pictures, which is what a walk's time
    // goes into.
    static constexpr std::int64_t kFrameNanoseconds = 60'000'000;
    static constexpr int kFramesPerSecond = static_cast<int>(1'000'000'000 / kFrameNanoseconds);
    // Of the frames a walk lets pass, one in this many is rasterised: the others run the whole program and
    // issue every draw with all its preparation (the graphics layer's record-only hook), but llvmpipe does
    // not shade their pixels. A frame whose picture is dumped is always rasterised.
    static constexpr int kRasterisedFrameEvery = 8;

    // A fresh user folder and cache under a temporary folder; the folder lives as long as the driver, so
    // that several runs of the program (a restart) share it.
    ProgramDriver();
    ~ProgramDriver();
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    // Starts the program and runs the walk beside it. When the walk returns the program is told to quit.
    // The program's exit code. The walk ends early (Frames returns false) when the program ends first or
    // the frame limit is reached.
    int Run(const Walk& walk, int frameLimit = 60 * 60 * 10);

    // From the walk: lets the frames pass. False when the program has ended.
    bool Frames(int count = 1);
    // From the walk: frames until the game's state is the one; false when it is not reached within the limit.
    bool WaitForState(int state, int frameLimit);
    // From the walk: frames until the condition holds (checked between frames); false at the limit.
    bool WaitFor(const std::function<bool()>& condition, int frameLimit);

    // The running program's parts (valid inside the walk).
    game::Game& GetGame() const { return *game_; }
    game::ZoneRegistry& Zones() const;
    int State() const;
    // The side to move, the day and its cash; -1 outside a battle.
    int CurrentSide() const;
    int Day() const;
    int Cash(int side) const;
    // The message banner shows.
    bool IsBannerShowing() const;
    // A human side's turn in a battle with nothing moving and no turn announcer showing: orders can be given.
    bool IsHumanTurn() const;
    int Frame() const { return frame_; }

    // The zone shown and fully open (titled zones) or just shown.
    bool IsShown(game::ZoneId id) const;
    // The control of the zone exists and is neither hidden nor disabled.
    bool IsEnabled(game::ZoneId id, int controlId) const;
    // The screen rectangle of a control of a zone; empty when the zone or control is missing.
    engine::IntRect ControlRect(game::ZoneId id, int controlId) const;
    // Points are in back-buffer pixels, as the zones and the battle camera give them; the events carry them in
    // the window's, which differ in size while a full-screen back buffer is shown in a smaller window.
    // Pointer moves to the point, then a left press and a release, each followed by frames.
    void ClickAt(int x, int y);
    // A click at the centre of a control of a zone. False when the zone is not shown or has no such control.
    bool Click(game::ZoneId id, int controlId);
    void MoveTo(int x, int y);
    // A click on the row of the value in a list of a zone; false when the list has no such row in view.
    bool ClickListRow(game::ZoneId id, int listId, int value);
    // Where the hex's standing point shows on screen through the battle camera; false outside a battle, off
    // screen or under a shown window.
    bool HexOnScreen(game::HexCoord hex, int& x, int& y) const;
    // A tap on the hex's standing point; false when it is not on screen.
    bool ClickHex(game::HexCoord hex);
    void Wheel(int steps);
    // A key press and release (SDL key code), each followed by frames.
    void TapKey(SDL_Keycode key);

    // Writes the main render target as PNG to the file (from the walk; done by the program's thread after
    // the next frame). False when it cannot be written. A titled screen still opening is first let finish its
    // buttons' opening enlargement, so that the picture shows them at their size with their labels. The
    // picture is then checked (picture_check.h) against the controls of the screens shown.
    bool DumpPng(const std::string& path);
    // What the checks of the pictures written so far found, each line naming its picture.
    const std::vector<std::string>& PictureFindings() const { return pictureFindings_; }

    // A check run on the program's thread after every frame, its GL context current, before the walk's turn
    // (empty: none). Set it before Run; it stays for later runs.
    void SetFrameCheck(std::function<void()> check) { frameCheck_ = std::move(check); }
    // One frame in this many is rasterised (1: every frame, as a benchmark wants). Set it before Run.
    void SetRasterisedFrameEvery(int every) { rasterisedEvery_ = every < 1 ? 1 : every; }

    testsupport::TempFolder& Folder() { return folder_; }
    // Everything the program wrote on stderr so far in this driver's runs.
    std::string Stderr() const;

private:
    class WalkScreens;
    void AfterFrame(int frame);
    // Until the computer player's planning pass in flight, if any, has its result.
    void WaitForPlanning() const;
    void Push(SDL_Event& event);
    // A back-buffer point in the window's pixels.
    void ToWindow(int& x, int& y) const;
    // No shown titled screen is still enlarging its buttons.
    bool OpeningsEnded() const;
    // The labelled buttons and the sliders of the shown screens, where they are on the screen.
    std::vector<PictureControl> ShownControls() const;

    testsupport::TempFolder folder_;
    std::string oldData_;
    std::string oldCache_;
    bool hadData_ = false;
    bool hadCache_ = false;
    int savedStderr_ = -1;

    std::mutex mutex_;
    std::condition_variable turnChanged_;
    bool walkTurn_ = false;
    bool programEnded_ = false;
    bool walkDone_ = false;
    int frameLimit_ = 0;
    int frame_ = 0;
    std::uint32_t windowId_ = 0;
    std::int64_t clockNs_ = 0;

    std::function<void()> frameCheck_;
    int rasterisedEvery_ = kRasterisedFrameEvery;
    std::string dumpPath_;
    bool dumpWritten_ = false;
    // The program's own dump of the last picture: parallel walks write pictures of the same name into one
    // folder, so the check reads this private copy.
    std::filesystem::path dumpSource_;
    std::vector<std::string> pictureFindings_;

    game::Game* game_ = nullptr;
    game::RunningScreens* screens_ = nullptr;
};

}  // namespace e2e
