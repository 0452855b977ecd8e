#pragma once
// The screens a battle ends on: the mission-won screen of a campaign (zone type 10) with its trophy, headline,
// result sentence and the blinking new-record line; the mission-lost screen (11) with the reason for the loss
// and back or retry; and the match result of a won pass-and-play or skirmish battle (10). All are opened from
// (0, 0) and keep the HUD panels out while shown.
#include <memory>
#include <string>

#include "engine/core/wide_string.h"
#include "engine/core/int_rect.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/game_screens.h"

namespace engine {
class RenderQueue;
class SceneNode;
class SceneView;
}  // namespace engine

namespace game {

class Team;

inline constexpr int kZoneMissionWon = 10;
inline constexpr int kZoneMissionLost = 11;
inline constexpr const char* kLosePicture = "GUI/General_lose";
// The trophy scene of a medal 1..3 (gold, silver, bronze); the fail trophy for any other.
const char* TrophyOf(int medal);

// Game states the result screens lead to: the mission completed, after a loss, restart the level.
inline constexpr int kStateMissionCompleted = 15;
inline constexpr int kStateAfterLoss = 16;
inline constexpr int kStateRestartLevel = 17;

inline constexpr int kWinContinue = 12;
inline constexpr int kLoseBack = 13;
inline constexpr int kLoseRetry = 14;

// The trophy's turn in degrees per second.
inline constexpr float kTrophyDegreesPerSecond = 20.0f;

class WinZone final : public BattleDialog, public WinScreenSeam {
public:
    WinZone(ScreenServices& services, SharedPicture* picture);
    ~WinZone() override;
    WinZone(const WinZone&) = delete;
    WinZone& operator=(const WinZone&) = delete;

    // Stores the result (medal 1 gold .. 4 none; days: turns left for the medal, or the turns survived),
    // decides the new-record flag, picks the trophy and opens the screen from (0, 0).
    void Open(int medal, int days);
    void OpenWin(int medal, int margin, const std::string& missionRecord) override;
    // Turns the trophy by the frame's time, then draws the zone.
    int Draw(bool afterControls) override;

    int GetMedal() const { return medal_; }
    int GetDays() const { return days_; }
    bool IsNewRecord() const { return newRecord_; }
    bool IsSurvival() const { return survival_; }
    // The trophy's scene container (TrophyOf the medal): "Trophies/Gold/Trophy", "Trophies/Silver/Trophy", "Trophies/Bronze/Trophy" or
    // "Trophies/Fail/Trophy".
    const std::string& GetTrophyName() const { return trophy_; }
    // The trophy's turn about the vertical axis, in degrees.
    float GetTrophyAngle() const { return spin_ * kTrophyDegreesPerSecond; }
    // The loaded trophy's node under the screen's "WinSpinny" root; null when its container did not load.
    engine::SceneNode* GetTrophyNode() const { return trophyNode_; }
    engine::SceneNode* GetSceneRoot() const { return spinny_; }
    const engine::SceneView* GetSceneView() const { return view_.get(); }
    const engine::WideString& GetHeadline() const { return headline_; }
    // "@C[4]" and the sentence.
    const engine::WideString& GetResultText() const { return resultText_; }

protected:
    void OnShown() override;
    void OnHidden() override;
    int DrawContents(ZoneWindow& window) override;

private:
    void BuildSentence();
    // The trophy turned by the spin so far, through the screen's camera into the viewport.
    void DrawTrophy(const engine::IntRect& viewport);

    int medal_ = 4;
    int days_ = 0;
    bool survival_ = false;
    bool newRecord_ = false;
    std::string trophy_;
    float spin_ = 0.0f;
    engine::WideString headline_;
    engine::WideString resultText_;
    std::unique_ptr<engine::SceneView> view_;
    std::unique_ptr<engine::RenderQueue> queue_;
    engine::SceneNode* spinny_ = nullptr;
    engine::SceneNode* trophyNode_ = nullptr;
};

class LoseZone final : public BattleDialog, public ResultScreenSeam {
public:
    LoseZone(ScreenServices& services, SharedPicture* picture);

    // Takes the game's end condition and opens the screen from (0, 0).
    void Open();
    void OpenResult() override { Open(); }
    int GetEndCondition() const { return endCondition_; }
    // "NOSURVIVE_TITLE" for a lost survival mission of a campaign, else "LOSE_TITLE".
    const char* GetHeadingKey() const;
    // "LOSE_" and the end condition's name.
    std::string GetBodyKey() const;

protected:
    void OnShown() override;
    void OnHidden() override;
    int DrawContents(ZoneWindow& window) override;

private:
    int endCondition_ = 0;
};

inline constexpr int kResultContinue = 101;
// Game states that lead back to the pass-and-play or the skirmish setup.
inline constexpr int kStateBackToPassAndPlay = 18;
inline constexpr int kStateBackToSkirmish = 19;

// The result of a won pass-and-play or skirmish battle (zone type 10): the winner's and the loser's panels with
// their kill counts, and Continue back to the setup of the game mode.
class PassAndPlayResultZone final : public BattleDialog, public ResultScreenSeam {
public:
    PassAndPlayResultZone(ScreenServices& services, SharedPicture* picture);

    // Opens the screen from (0, 0).
    void OpenResult() override;
    // "BLUE", "GREEN", "YELLOW" or "ENEMY" by the side's kind, every side but blue being "ENEMY" in skirmish;
    // then " Wins" or " Loses".
    std::string Heading(const Team& team, bool won) const;

protected:
    void OnShown() override;
    void OnHidden() override;
    int DrawContents(ZoneWindow& window) override;

private:
    void DrawSidePanel(const Team& team, bool won, engine::IntRect panel);
};

// Registers the three screens; the win screen and the match result show the general's picture given.
void RegisterResultScreens(ZoneRegistry& registry, std::shared_ptr<SharedPicture> general);

}  // namespace game
