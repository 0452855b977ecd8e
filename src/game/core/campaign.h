#pragma once
// A campaign: the folder "Campaigns\<name>" with its "Campaign" file naming the campaign and listing its
// missions in order, one sub-folder per mission whose "Mission" file holds a PARAMS block (three text keys,
// the marker on the campaign map, the par turns of the medals, the start-cash pair and the start tile). The
// campaign keeps the selected mission, decides the medal of a won mission, records it in the profile and
// draws and drives the campaign map screen.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/core/wide_string.h"
#include "engine/gui/text_wrap.h"
#include "game/battle/hex_coord.h"
#include "game/core/game_ports.h"

namespace engine {
class BitmapFont;
class RenderTargetBase;
class ScriptReader;
}  // namespace engine

namespace game {

class PlayerProfile;
class StringTable;

inline constexpr int kMaxCampaignMissions = 20;

struct CampaignMission {
    std::string folder;
    engine::WideString nameText;
    engine::WideString mapText;
    engine::WideString thirdText;
    int markerX = 32;
    int markerY = 32;
    std::array<int, 3> pars{1, 5, 5};
    // The pair line's second value, then its first.
    std::array<int, 2> pair{};
    HexCoord startTile = MakeHexCoord(23, 15);
};

// One frame of the pointer over the campaign map screen.
struct MapPointer {
    int x = 0;
    int y = 0;
    bool down = false;
    bool pressed = false;
    bool released = false;
};

// What a campaign reaches outside itself. Every member may be left empty.
struct CampaignServices {
    StringTable* strings = nullptr;
    PlayerProfile* profile = nullptr;
    // A texture by name through the texture table; 0 when there is none.
    std::function<std::uint32_t(const std::string&)> loadTexture;
    std::function<void(std::uint32_t)> releaseTexture;
    // The team manager's day (1 on the first day).
    std::function<int()> currentDay;
    std::function<void(int)> playUiSound;
    // The menu font that wraps the mission text and the main font of the margins.
    engine::BitmapFont* menuFont = nullptr;
    engine::BitmapFont* mainFont = nullptr;
    // The marker sheet ("GUI/CampaignBack") and the medal sheet ("GUI/ingameUi").
    std::uint32_t markerSheet = 0;
    std::uint32_t medalSheet = 0;
    // The map screen as its zone hosts it: the target it draws on, the frame timer's real seconds and the
    // last frame's seconds, and the pointer in screen pixels with the button held or not (the edges are
    // the campaign's own).
    std::function<engine::RenderTargetBase*()> target;
    std::function<double()> clock;
    std::function<float()> frameSeconds;
    std::function<MapPointer()> pointer;
};

class Campaign final : public CampaignInfo {
public:
    // Map screen layout (large screens).
    static constexpr int kMapSize = 540;
    static constexpr int kTextOffsetX = 315;
    static constexpr int kTextWidth = 386;
    static constexpr int kPanelSize = 512;
    // Where the frame ("GUI/CampaignBack") has its text panel and its top bar, from its top-left corner.
    static constexpr int kTextPanelX = 520;
    static constexpr int kTextPanelY = 130;
    static constexpr int kTitleY = 45;
    static constexpr int kTitleAlignment = 6 | 0x20;  // centred both ways
    static constexpr int kViewWidth = 416;
    static constexpr int kViewHeight = 364;
    static constexpr int kPictureSize = 1024;
    static constexpr int kHitRadius = 60;

    Campaign(const std::string& name, CampaignServices services);
    ~Campaign() override;
    Campaign(const Campaign&) = delete;
    Campaign& operator=(const Campaign&) = delete;

    // --- Loading and selection --------------------------------------------------------------------------
    // Loads "<path>/CampaignMap", "<path>/Campaign" and every mission; the path is the campaign folder.
    bool Load(const std::string& path) override;
    // Parses the PARAMS block of a mission file; false when the block is missing or rejected.
    bool ParseMission(engine::ScriptReader& reader, CampaignMission& mission) const;
    void SelectMission(int index) override;
    int GetMissionCount() const override { return count_; }
    const CampaignMission& GetMission(int index) const;
    int GetSelectedMissionIndex() const override { return selected_; }
    std::string GetFolder() const override { return folder_; }
    std::string GetListedName() const override { return listedName_.GetNarrow(); }
    std::string GetSelectedMissionFolder() const override { return levelFolder_; }
    std::string GetSelectedMissionName() const override;
    std::string GetSelectedMissionRecord() const override;
    HexCoord GetSelectedStartTile() const override;
    // 0: the pair line's second value, 1: its first.
    int GetPairValue(int index) const;
    std::pair<int, int> GetStartCash() const override { return {GetPairValue(1), GetPairValue(0)}; }
    bool IsLastMissionSelected() const override { return count_ > 0 && selected_ == count_ - 1; }
    const engine::TextWrap& GetMissionText() const { return wrapped_; }
    std::uint32_t GetMapTexture() const { return mapTexture_; }

    // --- Medals and results --------------------------------------------------------------------------------
    // The medal (1 gold .. 4 none) of the selected mission for the days used, and its margin.
    int GetFinishedMedal() const override;
    int GetFinishedMargin() const override;
    void MedalFor(int daysUsed, int& medal, int& margin) const;
    // Records the result at the current difficulty; true when another mission follows (then selected).
    bool RecordResult(int medal, int margin) override;
    bool WasNewRecord() const { return newRecord_; }
    // The profile's result (medal, second value) of the selected mission at the current difficulty; false,
    // with zeros, when there is none.
    bool GetStoredResult(int& medal, int& margin) const;
    bool IsCompleted(int difficulty) const;
    bool IsCompletedAtDifficulty(int difficulty) const override { return IsCompleted(difficulty); }
    bool AllMissionsGold(int difficulty) const override;
    int GetFirstUnfinished(int difficulty) const;

    // --- Campaign map screen -------------------------------------------------------------------------------
    void SetScreenSize(int width, int height);
    void StartMap(double now);
    // One frame of pointer input and the glide; dt in seconds.
    void UpdateMap(const MapPointer& pointer, float dt, double now);
    // The map view with its markers, then the mission text.
    void DrawMap(engine::RenderTargetBase& target, double now);
    // The screen as its zone shows it: start on show, then each frame the pointer, the glide, the map
    // view, the screen's frame centred over it and the mission text.
    void ResetMapScreen() override;
    void DrawMapScreen() override;
    // The mission whose marker lies within the hit radius of the picture point, or -1.
    int HitMarker(int x, int y) const;
    int GetViewState() const { return viewState_; }
    float GetScrollX() const { return scrollX_; }
    float GetScrollY() const { return scrollY_; }
    int GetTappedMarker() const { return tapped_; }
    int GetHighestSelectable() const { return highestSelectable_; }
    // The viewport for a screen of that size.
    static void ViewportRect(int screenWidth, int screenHeight, int& x, int& y);
    // The colour of line i of the mission text at a time after the selection (0 before it shows).
    static std::uint32_t LineColour(int line, double sinceSelection);
    // Marker sheet column and colour of a mission (not the pulse of the selected one).
    void MarkerLook(int mission, int& column, std::uint32_t& colour) const;

private:
    bool ReadCampaignFile(engine::ScriptReader& reader);
    void ClampScroll();
    void DrawMapView(engine::RenderTargetBase& target, double now);
    void DrawMapText(engine::RenderTargetBase& target, double now);
    double Now() const { return services_.clock ? services_.clock() : lastNow_; }
    void ReleaseResources();
    int Difficulty() const;

    CampaignServices services_;
    std::string folder_;
    std::string selectedFolder_;
    std::string levelFolder_;
    engine::WideString listedName_;
    std::array<CampaignMission, kMaxCampaignMissions> missions_{};
    int count_ = 0;
    int selected_ = -1;
    engine::TextWrap wrapped_;
    double selectedAt_ = 0.0;
    // The time the map screen last saw (a selection notes it).
    double lastNow_ = 0.0;
    std::uint32_t mapTexture_ = 0;
    bool newRecord_ = false;
    // Map screen.
    int firstUnfinished_ = 0;
    int highestSelectable_ = 0;
    int viewState_ = 0;
    float scrollX_ = 0.0f;
    float scrollY_ = 0.0f;
    int tapped_ = -1;
    bool dragging_ = false;
    int pressX_ = 0;
    int pressY_ = 0;
    float pressScrollX_ = 0.0f;
    float pressScrollY_ = 0.0f;
    // The button as the map screen's last frame saw it.
    bool pointerWasDown_ = false;
    int screenWidth_ = 960;
    int screenHeight_ = 640;
};

// Whether a result (medal, margin) beats a stored one: a better (lower) medal, or the same medal with a
// larger margin. A worse medal never beats a better one, whatever the margins.
bool IsBetterResult(int medal, int margin, int storedMedal, int storedMargin);

}  // namespace game
