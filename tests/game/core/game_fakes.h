#pragma once
// Recording fakes for the game object's ports. Every fake writes into one shared log, so that a test can
// check what happened and in which order; scripted answers are plain fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../level/level_fakes.h"
#include "game/core/game.h"

namespace core_test {

using namespace game;

using Log = std::vector<std::string>;

inline std::string Str(const char* name, int value) { return std::string(name) + " " + std::to_string(value); }

class FakePlatform : public GamePlatform {
public:
    explicit FakePlatform(Log& log) : log_(log) {}
    bool PopEvent(int& code) override {
        if (events.empty()) return false;
        code = events.front();
        events.pop_front();
        log_.push_back(Str("event", code));
        return true;
    }
    engine::KeyState ReadKey(int code) override {
        ++keyReads[code];
        if (device != nullptr) return device->ReadKey(code);
        engine::KeyState state;
        state.down = down.count(code) != 0 ? 1 : 0;
        // As on the engine's device, the first read after the key went down sees the press.
        state.pressed = pressed.count(code) != 0 || (state.down != 0 && readDown_.count(code) == 0) ? 1 : 0;
        if (state.down != 0) {
            readDown_.insert(code);
        } else {
            readDown_.erase(code);
        }
        return state;
    }
    void ResetClock() override { log_.emplace_back("reset clock"); }
    float GetFrameDelta() const override { return delta; }
    void ShowSystemPointer() override { log_.emplace_back("pointer"); }
    void SelectResourceGroup(int group) override { log_.push_back(Str("group", group)); }
    void PurgeResourceGroup(int group) override { log_.push_back(Str("purge", group)); }
    int FrameStep() override {
        ++frames;
        log_.emplace_back("frame step");
        if (onFrame) onFrame(frames);
        const int result = presentResults.empty() ? 1 : presentResults.front();
        if (!presentResults.empty()) presentResults.pop_front();
        return result;
    }
    int GetScreenWidth() const override { return width; }
    int GetScreenHeight() const override { return 768; }
    void GetPointerPosition(int& x, int& y) override {
        x = pointerX;
        y = pointerY;
    }
    int TakeMouseWheel() override {
        const int taken = wheel;
        wheel = 0;
        return taken;
    }

    std::deque<int> events;
    std::map<int, int> down;
    std::map<int, int> pressed;
    std::map<int, int> keyReads;
    // When set, the keys are this device's.
    engine::InputDevice* device = nullptr;
    std::deque<int> presentResults;
    std::function<void(int)> onFrame;
    float delta = 0.0f;
    int frames = 0;
    int width = 1024;
    int pointerX = 0;
    int pointerY = 0;
    int wheel = 0;

private:
    Log& log_;
    std::set<int> readDown_;
};

class FakeView : public GameView {
public:
    explicit FakeView(Log& log) : log_(log) {}
    void LoadResources() override { log_.emplace_back("load resources"); }
    void DrawSplash(const char* picture) override { log_.push_back(std::string("splash ") + picture); }
    void ResetExplosionsNode() override {
        log_.emplace_back("explosions reset");
        explosionsPresent = true;
        explosionsEmpty = true;
    }
    bool HasExplosionsNode() const override { return explosionsPresent; }
    bool IsExplosionsNodeEmpty() const override { return explosionsEmpty; }
    void AddEffect(const char* prototype, const engine::Matrix44&) override {
        log_.push_back(std::string("effect ") + prototype);
    }
    void ClearUnitMaterialCache() override { log_.emplace_back("material cache"); }
    void SetupLights(bool quality, std::uint32_t) override { log_.push_back(Str("lights", quality ? 1 : 0)); }
    void BeginFrame(std::uint32_t clear) override {
        char text[32];
        std::snprintf(text, sizeof text, "begin %08X", clear);
        log_.emplace_back(text);
    }
    void DrawMenuPicture() override { log_.emplace_back("menu picture"); }
    void DrawGui() override { log_.emplace_back("gui"); }
    void DrawOverlays() override { log_.emplace_back("overlays"); }
    void EndFrame() override { log_.emplace_back("end"); }
    void DrawProjectiles(ProjectileManager&) override { log_.emplace_back("projectiles"); }
    void RefreshStructureModels(Level&) override { log_.emplace_back("structure models"); }
    void BuildRenderQueue() override { log_.emplace_back("build queue"); }
    void DrawTileMarkers(Level&) override { log_.emplace_back("tile markers"); }
    void DrawLevelEffects(Level&) override { log_.emplace_back("level effects"); }
    void DrawCaptureMarkers(Level&) override { log_.emplace_back("capture markers"); }
    void RenderQueue() override { log_.emplace_back("render queue"); }
    void DrawStructureHooks(Level&) override { log_.emplace_back("structure hooks"); }
    void DrawUnitOverlays(TeamManager&) override { log_.emplace_back("unit overlays"); }
    void DrawFloatingTexts(Level&) override { log_.emplace_back("floating texts"); }
    void ApplyMonochrome(float amount, std::uint32_t) override {
        lastMonochrome = amount;
        log_.emplace_back("monochrome");
    }
    void ApplyBlurBloom() override { log_.emplace_back("bloom"); }
    bool IsMoveMarkerFinished() const override { return markerFinished; }
    void DetachMoveMarker() override {
        markerFinished = false;
        log_.emplace_back("marker detached");
    }
    void ProjectToScreen(const engine::Vec3&, int& x, int& y) const override {
        x = 300;
        y = 200;
    }
    // Scripted picks: none unless the test gives a picker.
    bool PickAtScreen(int x, int y, engine::PickHit& hit, engine::Vec3& point) override {
        ++picks;
        return picker ? picker(x, y, hit, point) : false;
    }
    // Scripted rays: straight down onto the point (x / 10, 0, y / 10) unless the test gives its own.
    void ScreenToRay(int x, int y, engine::PickSegment& segment) const override {
        if (rays) {
            rays(x, y, segment);
            return;
        }
        segment.Init(engine::Vec3(x * 0.1f, 50.0f, y * 0.1f), engine::Vec3(0.0f, -100.0f, 0.0f));
    }
    void AttachMoveMarker(const engine::Vec3& point) override {
        markerAt = point;
        log_.emplace_back("marker attached");
    }

    bool explosionsPresent = true;
    bool explosionsEmpty = false;
    bool markerFinished = false;
    float lastMonochrome = -1.0f;
    std::function<bool(int, int, engine::PickHit&, engine::Vec3&)> picker;
    std::function<void(int, int, engine::PickSegment&)> rays;
    int picks = 0;
    engine::Vec3 markerAt;

private:
    Log& log_;
};

class FakeProfile : public Profile {
public:
    explicit FakeProfile(Log& log) : log_(log) {}
    void StartLoad() override { log_.emplace_back("profile load"); }
    int Poll() override {
        ++polls;
        if (pollResults.empty()) return stuckResult;
        const int result = pollResults.front();
        pollResults.pop_front();
        return result;
    }
    void Save() override { log_.emplace_back("profile save"); }
    bool GetStartCountStop() const override { return false; }
    int GetStartCount() const override { return startCount; }
    void SetStartCount(int count) override { startCount = count; }
    std::string GetDefaultMapFolder() const override { return mapFolder; }
    std::string GetSpeechPack(int side) const override { return "pack" + std::to_string(side); }
    int GetGraphicsLevel() const override { return 0; }
    std::uint32_t GetOptionBits() const override { return options; }
    void SetCurrentCampaign(const std::string& name) override { log_.push_back("profile campaign " + name); }
    bool IsSlotInUse(int slot) const override { return slot == kAutosaveSlot && autosave; }
    void ClearSlot(int slot) override {
        log_.push_back(Str("clear slot", slot));
        if (slot == kAutosaveSlot) autosave = false;
    }
    void SaveGameToSlot(int slot) override { log_.push_back(Str("save slot", slot)); }
    bool LoadGameFromSlot(int slot) override {
        log_.push_back(Str("resume slot", slot));
        if (onResume) return onResume();
        return false;
    }
    int AddSkirmishWin() override { return ++skirmishWins; }
    std::array<int, 4> GetMatchOptions() const override { return matchOptions; }
    int GetDifficulty() const override { return 0; }
    std::uint32_t GetTotalIncome() const override { return 0; }
    void AddTotalIncome(int) override {}
    int AddKill() override { return 1; }
    int AddSniperKill() override { return 1; }

    std::deque<int> pollResults{kProfileIdle};
    int stuckResult = kProfileIdle;
    int polls = 0;
    int startCount = 0;
    std::string mapFolder;
    std::uint32_t options = 0;
    bool autosave = false;
    std::function<bool()> onResume;
    int skirmishWins = 0;
    std::array<int, 4> matchOptions = {1000, 1000, 0, 0};

private:
    Log& log_;
};

class FakeAchievements : public Achievements {
public:
    explicit FakeAchievements(Log& log) : log_(log) {}
    void LoadTexts() override { log_.emplace_back("achievement texts"); }
    void Unlock(int achievement) override { unlocked.push_back(achievement); }
    void DrawPopup() override { log_.emplace_back("popup"); }
    std::vector<int> unlocked;

private:
    Log& log_;
};

class FakeSound : public SoundBank {
public:
    explicit FakeSound(Log& log) : log_(log) {}
    void PlayMusic(int track) override { log_.push_back(Str("music", track)); }
    void StopMusic() override { log_.emplace_back("music stop"); }
    void StopStreams(bool stop) override { log_.push_back(Str("streams", stop ? 1 : 0)); }
    void LoadSpeechPack(int side, const std::string&) override { log_.push_back(Str("speech pack", side)); }
    void PlaySound(int) override {}
    std::uint32_t PlayUiSound(int index) override {
        log_.push_back(Str("ui sound", index));
        return 0;
    }
    int StartLoop(int) override { return 1; }
    void StopLoop(int, float) override {}
    void PlaySpeech(int teamKind, int cue) override {
        log_.push_back("speech " + std::to_string(teamKind) + " " + std::to_string(cue));
    }

private:
    Log& log_;
};

class FakeAnnouncer : public Announcer {
public:
    explicit FakeAnnouncer(Log& log) : log_(log) {}
    void Show(const engine::WideString& text, int flag) override {
        log_.push_back(std::string("announce ") + text.GetNarrow() + " " + std::to_string(flag));
    }
    bool IsShowing() const override { return showing; }
    void Hide() override { log_.emplace_back("announcer hidden"); }
    void Reset() override { log_.emplace_back("announcer reset"); }
    void Draw() override { log_.emplace_back("announcer"); }
    bool showing = false;

private:
    Log& log_;
};

class FakeCamera : public CameraController {
public:
    explicit FakeCamera(Log& log) : log_(log) {}
    int GetMode() const override { return mode; }
    float GetZoom() const override { return zoom; }
    // Clamps as the battle camera of a wide screen does.
    void SetZoom(float distance) override { zoom = std::clamp(distance, 12.0f, 32.0f); }
    void DragBy(const engine::Vec3& offset, bool commit) override {
        if (commit) {
            ++commits;
            log_.emplace_back("drag commit");
        } else {
            drags.push_back(offset);
        }
    }
    void Update() override { ++updates; }
    void ApplyView() override { log_.emplace_back("place view"); }
    void ResetToStart() override { log_.emplace_back("camera start"); }
    void LookAtHex(HexCoord hex) override {
        log_.push_back("look " + std::to_string(hex.column) + "," + std::to_string(hex.row));
    }
    bool LookAtUnit(Unit& unit) override {
        lookedAt = &unit;
        return true;
    }
    void FollowObject(Unit* unit) override { followed = unit; }
    void RotateStep(int d) override { log_.push_back(Str("rotate", d)); }
    void PanAcrossView(int d) override { log_.push_back(Str("pan across", d)); }
    void PanAlongView(int d) override { log_.push_back(Str("pan along", d)); }
    bool IsBattleZoomActive() const override { return false; }
    void StartBattleZoom(Unit&, Unit&) override {}
    void EndBattleZoom() override { log_.emplace_back("zoom end"); }
    int updates = 0;
    int mode = kCameraFree;
    float zoom = 20.0f;
    std::vector<engine::Vec3> drags;
    int commits = 0;
    Unit* lookedAt = nullptr;
    Unit* followed = nullptr;

private:
    Log& log_;
};

class FakeScripts : public ScriptPort {
public:
    explicit FakeScripts(Log& log) : log_(log) {}
    bool RunBlocks() override {
        log_.emplace_back("script blocks");
        return finished;
    }
    bool IsAnyBlockRunning() const override { return running; }
    void FireDayStart(int day) override { log_.push_back(Str("day start", day)); }
    bool finished = true;
    bool running = false;

private:
    Log& log_;
};

class FakeScreens : public Screens {
public:
    explicit FakeScreens(Log& log) : log_(log) {}
    bool CreateZones() override {
        log_.emplace_back("zones made");
        return zonesMade;
    }
    void OpenZone(int type, int, int) override { log_.push_back(Str("zone", type)); }
    void ShowCampaignMap() override { log_.emplace_back("campaign map"); }
    void ShowTurnPanels() override { log_.emplace_back("panels shown"); }
    void SlideOutTurnPanels() override { log_.emplace_back("panels out"); }
    void ToggleTurnPanels() override { log_.emplace_back("panels toggled"); }
    void HideAllDialogs() override { log_.emplace_back("dialogs hidden"); }
    void SelectMap(const std::string& folder) override { log_.push_back("map " + folder); }
    void OpenWin(int medal, int margin, const std::string&) override {
        log_.push_back("win " + std::to_string(medal) + " " + std::to_string(margin));
    }
    void OpenLose() override { log_.emplace_back("lose"); }
    void OpenPassAndPlayResult() override { log_.emplace_back("result"); }
    void ShowBanner(const engine::WideString&, float) override { log_.emplace_back("banner shown"); }
    bool IsBannerShowing() const override { return bannerShowing; }
    void HideBanner() override { log_.emplace_back("banner hidden"); }
    void DrawBanner() override { log_.emplace_back("banner"); }
    void SetPanelUnit(Unit* unit) override { panelUnit = unit; }
    Unit* GetPanelUnit() const override { return panelUnit; }
    void DrawUnitPanel() override { log_.emplace_back("unit panel"); }
    void RefreshCash() override {}
    void OnTurnStart() override {}
    bool bannerShowing = false;
    Unit* panelUnit = nullptr;
    bool zonesMade = true;

private:
    Log& log_;
};

// A campaign whose answers the test sets.
class FakeCampaign : public CampaignInfo {
public:
    bool Load(const std::string& path) override {
        loadedPath = path;
        ++*loads;
        return loads_ok;
    }
    std::string GetListedName() const override { return listedName; }
    std::string GetSelectedMissionFolder() const override { return missionFolder; }
    HexCoord GetSelectedStartTile() const override { return {2, 2}; }
    bool IsLastMissionSelected() const override { return lastMission; }
    bool AllMissionsGold(int) const override { return allGold; }
    int GetFinishedMedal() const override { return 2; }
    int GetFinishedMargin() const override { return 7; }
    bool RecordResult(int, int) override { return anotherFollows; }
    std::string GetSelectedMissionRecord() const override { return {}; }
    std::pair<int, int> GetStartCash() const override { return {500, 700}; }

    int* loads = nullptr;
    bool loads_ok = true;
    std::string loadedPath;
    std::string listedName;
    std::string missionFolder;
    bool lastMission = false;
    bool allGold = false;
    bool anotherFollows = true;
};

}  // namespace core_test
