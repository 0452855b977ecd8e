#pragma once
// Ports that do nothing, for the game object run without the services behind them: no achievements,
// silence, an announcer that never shows, a still camera and no screens. The data validator runs its
// headless battles on them, and the program falls back to them before its screens exist.
#include <string>

#include "game/core/game_ports.h"

namespace game {

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
