#pragma once
// The dialogs that interrupt a battle: the end-turn confirmation (zone type 16), the pause menu (9), the
// surrender confirmation (33) and the objective screen (15). While one is open the game's modal flag keeps the
// map from taking the pointer; giving control back to the battle (resuming) closes the dialog, brings the HUD
// panels back in and clears the flag. Three of them show the general's picture, shared with the result screens.
#include <memory>

#include "engine/gui/text_wrap.h"
#include "game/screens/menu_zone.h"
#include "game/screens/screen_flow.h"

namespace game {

inline constexpr int kZoneObjective = 15;
inline constexpr int kZoneEndTurnConfirm = 16;
inline constexpr int kZoneSurrender = 33;
inline constexpr const char* kGeneralPicture = "Comic/general";

// Game states the dialogs set: the side's turn ends; the level is left.
inline constexpr int kStateEndTurn = 6;
inline constexpr int kStateLeaveLevel = 13;

// Control ids.
inline constexpr int kEndTurnYes = 10;
inline constexpr int kEndTurnNo = 11;
inline constexpr int kPauseResume = 4;
inline constexpr int kPauseSurrender = 5;
inline constexpr int kPauseSettings = 6;
inline constexpr int kPauseObjective = 7;
inline constexpr int kPauseSave = 8;
inline constexpr int kSurrenderYes = 104;
inline constexpr int kSurrenderNo = 105;
inline constexpr int kObjectiveDone = 15;

// A battle dialog: a menu of buttons over no menu picture, holding the shared picture while shown.
class BattleDialog : public MenuZone {
public:
    BattleDialog(ScreenServices& services, std::vector<MenuEntry> entries, std::optional<MenuParent> parent,
                 SharedPicture* picture);

    int OnShow(bool shown) override;
    void PreDraw() override {}
    // The menu button, shrinking into place while the dialog opens unless the dialog keeps it still.
    int DrawControl(int controlId, const engine::IntRect& rect) override;
    // Closes the dialog, shows the HUD panels again and clears the modal flag.
    void Resume();
    std::uint32_t GetPicture() const { return picture_.Get(); }

protected:
    virtual void OnShown() {}
    virtual void OnHidden() {}
    // Buttons drawn at their size from the start.
    void KeepButtonsStill() { shrinkButtons_ = false; }
    // "GUI/Zoomer" over the window after resolving the main target, then the picture.
    void DrawPanelAndPicture(ZoneWindow& window);
    // The lines in the font, each centred on x, the first at y.
    void DrawCentredLines(const engine::TextWrap& lines, FontId font, int x, int y);
    // The text wrapped to the width in the font, then drawn as DrawCentredLines does.
    void DrawWrappedCentred(const engine::WideString& text, FontId font, int width, int x, int y);

private:
    PictureHold picture_;
    bool shrinkButtons_ = true;
};

class EndTurnZone final : public BattleDialog {
public:
    EndTurnZone(ScreenServices& services, SharedPicture* picture);
    const engine::TextWrap& GetText() const { return text_; }

protected:
    void OnShown() override;
    int DrawContents(ZoneWindow& window) override;

private:
    engine::TextWrap text_;
};

class PauseZone final : public BattleDialog {
public:
    explicit PauseZone(ScreenServices& services);
    // Back resumes the battle without a sound.
    int OnKey(int code) override;
    // The titled panel alone.
    int DrawContents(ZoneWindow& /*window*/) override { return 0; }

protected:
    void OnShown() override;
};

class SurrenderZone final : public BattleDialog {
public:
    SurrenderZone(ScreenServices& services, SharedPicture* picture);
    const engine::TextWrap& GetText() const { return text_; }

protected:
    void OnShown() override;
    int DrawContents(ZoneWindow& window) override;

private:
    engine::TextWrap text_;
};

class ObjectiveZone final : public BattleDialog {
public:
    ObjectiveZone(ScreenServices& services, SharedPicture* picture);
    // The objective of the game mode: the pass-and-play or skirmish text, or the campaign mission's description.
    engine::WideString GetObjective() const;

protected:
    int DrawContents(ZoneWindow& window) override;
};

// Registers the four dialogs, the three with a picture sharing the one given.
void RegisterBattleDialogs(ZoneRegistry& registry, std::shared_ptr<SharedPicture> general);

}  // namespace game
