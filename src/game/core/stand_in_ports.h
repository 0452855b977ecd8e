#pragma once
// Stand-ins for the services the program does not have yet, and for tools that run the game object
// without them (the data validator): a default profile held in memory (always idle, never written), no
// achievements, silence, an announcer that never shows, a still camera and no screens. EnginePlatform is the real platform
// port over the engine root.
#include <functional>

#include "game/core/game_ports.h"
#include "game/core/game_view.h"

namespace engine {
class Engine;
}  // namespace engine

namespace game {

// A client-area pointer position in back-buffer pixels: scaled by back-buffer size / client size on each
// axis where the two differ (a HiDPI window, a desktop larger than the back buffer). Sizes of 0 leave it.
void ClientToBackBuffer(int& x, int& y, int clientWidth, int clientHeight, int bufferWidth, int bufferHeight);

class EnginePlatform final : public GamePlatform {
public:
    // afterFrame: called after each frame step with the count of frames stepped.
    explicit EnginePlatform(engine::Engine& engine, std::function<void(int)> afterFrame = nullptr);
    bool PopEvent(int& code) override;
    engine::KeyState ReadKey(int code) override;
    void ResetClock() override;
    float GetFrameDelta() const override;
    void ShowSystemPointer() override;
    void SelectResourceGroup(int group) override;
    void PurgeResourceGroup(int group) override;
    int FrameStep() override;
    int GetScreenWidth() const override;
    int GetScreenHeight() const override;
    void GetPointerPosition(int& x, int& y) override;
    int TakeMouseWheel() override;

private:
    engine::Engine& engine_;
    std::function<void(int)> afterFrame_;
    int frames_ = 0;
};

class MemoryProfile final : public Profile {
public:
    void StartLoad() override {}
    int Poll() override { return kProfileIdle; }
    void Save() override {}
    bool GetStartCountStop() const override { return false; }
    int GetStartCount() const override { return startCount_; }
    void SetStartCount(int count) override { startCount_ = count; }
    std::string GetDefaultMapFolder() const override { return {}; }
    std::string GetSpeechPack(int) const override { return {}; }
    int GetGraphicsLevel() const override { return 0; }
    std::uint32_t GetOptionBits() const override { return 0; }
    void SetCurrentCampaign(const std::string&) override {}
    bool IsSlotInUse(int) const override { return false; }
    void ClearSlot(int) override {}
    void SaveGameToSlot(int) override {}
    bool LoadGameFromSlot(int) override { return false; }
    int AddSkirmishWin() override { return ++skirmishWins_; }
    std::array<int, 4> GetMatchOptions() const override { return {1000, 1000, 0, 0}; }
    int GetDifficulty() const override { return 0; }
    std::uint32_t GetTotalIncome() const override { return income_; }
    void AddTotalIncome(int amount) override { income_ += static_cast<std::uint32_t>(amount); }
    int AddKill() override { return ++kills_; }
    int AddSniperKill() override { return ++sniperKills_; }

private:
    int startCount_ = 0;
    int skirmishWins_ = 0;
    std::uint32_t income_ = 0;
    int kills_ = 0;
    int sniperKills_ = 0;
};

class NullAchievements final : public Achievements {
public:
    void LoadTexts() override {}
    void Unlock(int) override {}
    void DrawPopup() override {}
};

class SilentSoundBank final : public SoundBank {
public:
    void PlayMusic(int) override {}
    void StopMusic() override {}
    void StopStreams(bool) override {}
    void LoadSpeechPack(int, const std::string&) override {}
    void PlaySound(int) override {}
    std::uint32_t PlayUiSound(int) override { return 0; }
    int StartLoop(int) override { return 0; }
    void StopLoop(int, float) override {}
    void PlaySpeech(int, int) override {}
};

class SilentAnnouncer final : public Announcer {
public:
    void Show(const engine::WideString&, int) override {}
    bool IsShowing() const override { return false; }
    void Hide() override {}
    void Reset() override {}
    void Draw() override {}
};

class StillCamera final : public CameraController {
public:
    int GetMode() const override { return kCameraFree; }
    float GetZoom() const override { return zoom_; }
    void SetZoom(float distance) override { zoom_ = distance; }
    void DragBy(const engine::Vec3&, bool) override {}
    void Update() override {}
    void ApplyView() override {}
    void ResetToStart() override {}
    void LookAtHex(HexCoord) override {}
    bool LookAtUnit(Unit&) override { return false; }
    void FollowObject(Unit*) override {}
    void RotateStep(int) override {}
    void PanAcrossView(int) override {}
    void PanAlongView(int) override {}
    bool IsBattleZoomActive() const override { return false; }
    void StartBattleZoom(Unit&, Unit&) override {}
    void EndBattleZoom() override {}

private:
    float zoom_ = 20.0f;
};

class NoScreens final : public Screens {
public:
    void OpenZone(int, int, int) override {}
    void ShowCampaignMap() override {}
    void ShowTurnPanels() override {}
    void SlideOutTurnPanels() override {}
    void ToggleTurnPanels() override {}
    void HideAllDialogs() override {}
    void SelectMap(const std::string&) override {}
    void OpenWin(int, int, const std::string&) override {}
    void OpenLose() override {}
    void OpenPassAndPlayResult() override {}
    void ShowBanner(const engine::WideString&, float) override {}
    bool IsBannerShowing() const override { return false; }
    void HideBanner() override {}
    void DrawBanner() override {}
    void SetPanelUnit(Unit* unit) override { panelUnit_ = unit; }
    Unit* GetPanelUnit() const override { return panelUnit_; }
    void DrawUnitPanel() override {}
    void RefreshCash() override {}
    void OnTurnStart() override {}

private:
    Unit* panelUnit_ = nullptr;
};

}  // namespace game
