#pragma once
// The stand-ins the program runs on until the real services land: a still camera and no screens.
// EnginePlatform is the real platform port over the engine root.
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
