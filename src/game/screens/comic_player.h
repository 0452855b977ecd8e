#pragma once
// The comic before a campaign mission: a small script in the mission folder ("<folder>/comic") times two
// character pictures sliding in from the screen edges and speech bubbles with localised text. A comic that
// is missing or malformed is replaced by the built-in wait comic.
//
// The comic file: one event per line, "<seconds> <keyword> [<argument>]", the fields separated by any run of
// commas, blanks and tabs; keywords compared without regard to case; "//" comments and blank lines
// skipped. An unknown keyword skips its line; a keyword without its argument, a time that is not a
// number, or a 32nd event fails the file.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/vector.h"
#include "engine/gui/text_wrap.h"
#include "game/screens/picture_shelf.h"

namespace engine {
class ScriptReader;
}

namespace game {

struct ScreenServices;

enum class ComicAction : int { kLeftOn, kRightOn, kLeftOff, kRightOff, kLeftSpeak, kRightSpeak, kFinished };

struct ComicEvent {
    float start = 0.0f;
    ComicAction action = ComicAction::kFinished;
    // The picture name or the text key; empty for the others.
    std::string argument;
    // A speech key of the game's own texts (the wait comic's); a comic file's keys are the campaign's.
    bool gameText = false;
};

inline constexpr int kComicEventSlots = 32;

// Reads the events of a comic file; false (with events holding what was read) when the file fails.
bool ParseComic(engine::ScriptReader& reader, std::vector<ComicEvent>& events);
// The built-in comic: the general says the wait text, then the comic finishes.
std::vector<ComicEvent> WaitComic();

class ComicPlayer {
public:
    static constexpr float kSlideSpeed = 3000.0f;
    static constexpr float kScaleRate = 10.0f;
    static constexpr int kPictureSize = 512;
    static constexpr float kStartScale = 0.85f;
    static constexpr int kBubbleWidth = 502;
    static constexpr int kBubbleHeight = 166;
    static constexpr int kWrapWidth = 452;

    struct Picture {
        engine::Vec2 position{0.0f, 0.0f};
        engine::Vec2 target{0.0f, 0.0f};
        std::unique_ptr<PictureHolder> holder;
        float scale = kStartScale;
        float targetScale = kStartScale;
        // Set once the picture has moved rightwards; never cleared.
        bool mirrored = false;
        std::uint32_t Texture() const { return holder ? holder->Handle() : 0; }
    };

    explicit ComicPlayer(ScreenServices& services) : services_(services) {}

    // Loads "<folder>/comic" (the wait comic when it fails) and lays the comic out on the screen.
    void Start(const std::string& folder);
    bool HasEvents() const { return !events_.empty(); }
    // One frame: update by the frame's seconds, then draw. The first frame after Start restarts the frame
    // timer's clocks and the comic's time, so the time spent loading is not played. 1 while the comic runs;
    // 0 once finished or when there are no events.
    int Tick();
    // Runs the events that start in [time, time + dt) and moves the pictures; nothing for dt <= 0.
    void Update(float dt);
    void Draw();

    const std::vector<ComicEvent>& GetEvents() const { return events_; }
    float GetTime() const { return time_; }
    bool IsFinished() const { return finished_; }
    const Picture& GetPicture(int slot) const { return pictures_[static_cast<std::size_t>(slot)]; }
    const engine::TextWrap& GetSpeech() const { return speech_; }
    int GetSpeechSide() const { return speechSide_; }
    // The left and right pictures' start off screen and their places, x.
    float OffScreenX(int slot) const { return slot == 0 ? offLeft_ : offRight_; }
    float PlaceX(int slot) const { return slot == 0 ? placeLeft_ : placeRight_; }

    // The colour of bubble line j at t seconds after the bubble appeared, before the bubble's fade.
    static std::uint32_t LineColour(int line, float t);
    // The bubble's alpha at t seconds: opaque until 6 s, gone at 6.1 s.
    static int BubbleAlpha(float t);

private:
    void Run(const ComicEvent& event);
    void ShowPicture(int slot, const std::string& name);
    void Speak(int side, const ComicEvent& event);
    void DrawPicture(const Picture& picture);
    void DrawBubble();

    ScreenServices& services_;
    std::string folder_;
    std::vector<ComicEvent> events_;
    bool restartClock_ = false;
    float time_ = 0.0f;
    std::array<Picture, 2> pictures_;
    engine::TextWrap speech_;
    bool finished_ = false;
    float speechStart_ = 0.0f;
    int speechSide_ = 0;
    float lineY_ = 0.0f;
    float placeLeft_ = 0.0f;
    float placeRight_ = 0.0f;
    float offLeft_ = 0.0f;
    float offRight_ = 0.0f;
};

}  // namespace game
