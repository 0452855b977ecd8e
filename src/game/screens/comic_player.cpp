#include "game/screens/comic_player.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/gui/bitmap_font.h"
#include "engine/platform/script_reader.h"
#include "game/screens/screen_draw.h"
#include "game/screens/screen_services.h"

namespace game {
namespace {

constexpr const char* kWaitPicture = "general";
// The pictures slide from this far beyond the screen's edges: half a picture.
constexpr float kOffScreen = 256.0f;
constexpr float kLineFadeDelay = 0.1f;
constexpr float kLineFadeSeconds = 0.4f;
constexpr float kBubbleFadeStart = 6.0f;
constexpr float kBubbleFadeRate = 10.0f;
constexpr std::uint32_t kLineHidden = 0x00FCFDFCu;
constexpr std::uint32_t kLineShown = 0xFF010101u;
const engine::IntRect kBubbleSource{0, 800, ComicPlayer::kBubbleWidth, ComicPlayer::kBubbleHeight};

struct Keyword {
    const char* name;
    ComicAction action;
    bool needsArgument;
};

constexpr Keyword kKeywords[] = {
    {"LEFTON", ComicAction::kLeftOn, true},      {"RIGHTON", ComicAction::kRightOn, true},
    {"LEFTOFF", ComicAction::kLeftOff, false},   {"RIGHTOFF", ComicAction::kRightOff, false},
    {"LSPEAK", ComicAction::kLeftSpeak, true},   {"RSPEAK", ComicAction::kRightSpeak, true},
    {"FINISHED", ComicAction::kFinished, false},
};

bool SameNoCase(const std::string& a, const char* b) {
    const std::size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The fields of a line split at runs of commas, blanks and tabs.
std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        const std::size_t start = line.find_first_not_of(", \t", i);
        if (start == std::string::npos) break;
        std::size_t end = line.find_first_of(", \t", start);
        if (end == std::string::npos) end = line.size();
        out.push_back(line.substr(start, end - start));
        i = end;
    }
    return out;
}

bool ParseSeconds(const std::string& token, float& seconds) {
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(token.c_str(), &end);
    if (end == token.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(value)) return false;
    seconds = value;
    return true;
}

std::uint32_t Lerp(std::uint32_t from, std::uint32_t to, float f) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float a = static_cast<float>((from >> shift) & 0xFFu);
        const float b = static_cast<float>((to >> shift) & 0xFFu);
        out |= static_cast<std::uint32_t>(std::lround(a + (b - a) * f)) << shift;
    }
    return out;
}

}  // namespace

bool ParseComic(engine::ScriptReader& reader, std::vector<ComicEvent>& events) {
    events.clear();
    reader.SkipBlanksAndComments();
    while (true) {
        // A comic holds at most 31 events: a 32nd fails the file, even at its end.
        if (static_cast<int>(events.size()) >= kComicEventSlots) return false;
        const engine::WideString line = reader.ReadLine();
        const std::vector<std::string> tokens = Tokens(line.GetNarrow());
        if (tokens.empty()) return true;
        ComicEvent event;
        if (!ParseSeconds(tokens[0], event.start) || tokens.size() < 2) return false;
        const Keyword* keyword = nullptr;
        for (const Keyword& k : kKeywords) {
            if (SameNoCase(tokens[1], k.name)) keyword = &k;
        }
        if (keyword == nullptr) continue;
        if (keyword->needsArgument) {
            if (tokens.size() < 3) return false;
            event.argument = tokens[2];
        }
        event.action = keyword->action;
        events.push_back(std::move(event));
    }
}

std::vector<ComicEvent> WaitComic() {
    return {{0.0f, ComicAction::kLeftOn, kWaitPicture},
            {0.5f, ComicAction::kLeftSpeak, "GEN_COMIC_WAIT", true},
            {1.0f, ComicAction::kFinished, ""}};
}

void ComicPlayer::Start(const std::string& folder) {
    folder_ = folder;
    engine::ScriptReader reader;
    const std::string path = folder + "/comic";
    if (reader.Load(path.c_str()) == 0 || !ParseComic(reader, events_)) events_ = WaitComic();
    restartClock_ = true;
    for (Picture& picture : pictures_) {
        picture.scale = kStartScale;
        picture.targetScale = kStartScale;
    }
    speech_.Clear();
    const float width = static_cast<float>(services_.ScreenWidth());
    const float height = static_cast<float>(services_.ScreenHeight());
    lineY_ = static_cast<float>(static_cast<int>(height * 0.6f));
    placeLeft_ = width / 2.0f - 200.0f;
    placeRight_ = width / 2.0f + 200.0f;
    // The right picture starts beyond the right edge whatever the screen's width.
    offLeft_ = -kOffScreen;
    offRight_ = width + kOffScreen;
}

int ComicPlayer::Tick() {
    if (events_.empty()) return 0;
    if (restartClock_) {
        restartClock_ = false;
        if (services_.game != nullptr) services_.game->ResetClock();
        time_ = 0.0f;
    }
    Update(services_.FrameSeconds());
    Draw();
    return finished_ ? 0 : 1;
}

void ComicPlayer::Update(float dt) {
    if (!(dt > 0.0f)) return;
    const float previous = time_;
    time_ += dt;
    // Half-open, so that an event starting exactly at a frame's end runs once, in the next frame.
    for (const ComicEvent& event : events_) {
        if (event.start >= previous && event.start < time_) Run(event);
    }
    const float step = kSlideSpeed * dt;
    for (Picture& picture : pictures_) {
        if (picture.Texture() == 0) continue;
        const float dx = picture.target.x - picture.position.x;
        const float dy = picture.target.y - picture.position.y;
        const float distance = std::sqrt(dx * dx + dy * dy);
        if (distance < step) {
            picture.position = picture.target;
        } else {
            picture.position.x += dx / distance * step;
            picture.position.y += dy / distance * step;
            if (dx > 0.0f) picture.mirrored = true;
        }
        const float gap = picture.targetScale - picture.scale;
        if (std::fabs(gap) <= dt * kScaleRate) {
            picture.scale = picture.targetScale;
        } else {
            picture.scale += gap * dt * kScaleRate;
        }
    }
}

void ComicPlayer::Run(const ComicEvent& event) {
    switch (event.action) {
        case ComicAction::kLeftOn: ShowPicture(0, event.argument); break;
        case ComicAction::kRightOn: ShowPicture(1, event.argument); break;
        case ComicAction::kLeftOff:
        case ComicAction::kRightOff: {
            const int slot = event.action == ComicAction::kLeftOff ? 0 : 1;
            services_.PlayUiSound(kUiSwish);
            pictures_[static_cast<std::size_t>(slot)].target = {OffScreenX(slot), lineY_};
            break;
        }
        case ComicAction::kLeftSpeak: Speak(1, event); break;
        case ComicAction::kRightSpeak: Speak(0, event); break;
        case ComicAction::kFinished: finished_ = true; break;
    }
}

void ComicPlayer::ShowPicture(int slot, const std::string& name) {
    Picture& picture = pictures_[static_cast<std::size_t>(slot)];
    picture.holder = std::make_unique<PictureHolder>(("Comic/" + name).c_str());
    picture.holder->Hold(services_);
    services_.PlayUiSound(kUiSwish);
    picture.position = {OffScreenX(slot), lineY_};
    picture.target = {PlaceX(slot), lineY_};
}

void ComicPlayer::Speak(int side, const ComicEvent& event) {
    services_.PlayUiSound(kUiTextPopup);
    pictures_[0].targetScale = side == 1 ? 1.0f : 0.7f;
    pictures_[1].targetScale = side == 1 ? 0.7f : 1.0f;
    speechSide_ = side;
    speech_.Clear();
    if (engine::BitmapFont* font = services_.Font(FontId::kComic)) {
        const char* key = event.argument.c_str();
        const engine::WideString text = event.gameText ? services_.Text(key) : services_.CampaignText(key);
        speech_.Wrap(*font, engine::WideString(engine::WideString("@C[1]"), text), kWrapWidth);
    }
    speechStart_ = services_.ClockSeconds();
}

std::uint32_t ComicPlayer::LineColour(int line, float t) {
    const float f = (t - kLineFadeDelay * static_cast<float>(line)) / kLineFadeSeconds;
    if (f <= 0.0f) return kLineHidden;
    if (f >= 1.0f) return kLineShown;
    return Lerp(kLineHidden, kLineShown, f);
}

int ComicPlayer::BubbleAlpha(float t) {
    const float f = std::clamp((t - kBubbleFadeStart) * kBubbleFadeRate, 0.0f, 1.0f);
    return static_cast<int>(255.0f * (1.0f - f));
}

void ComicPlayer::Draw() {
    if (services_.game != nullptr) {
        DrawImageCentred(services_, services_.game->GetMenuPicture(), services_.ScreenWidth() / 2,
                         services_.ScreenHeight() / 2, 1.0f);
        // The announcer, reset when the comic started, lays its dark bands over the backdrop.
        services_.game->DrawAnnouncer();
    }
    for (const Picture& picture : pictures_) DrawPicture(picture);
    if (speech_.GetLineCount() > 0) DrawBubble();
}

void ComicPlayer::DrawPicture(const Picture& picture) {
    const std::uint32_t texture = picture.Texture();
    if (texture == 0) return;
    int width = kPictureSize;
    int height = kPictureSize;
    if (services_.textures != nullptr) services_.textures->GetSize(texture, width, height);
    const float scale = picture.scale == 0.0f ? 1.0f : picture.scale;
    const float w = static_cast<float>(kPictureSize) * scale;
    const float h = static_cast<float>(kPictureSize) * picture.scale;
    // The pivot is half the picture's width and three quarters of its height.
    engine::IntRect destination{static_cast<int>(picture.position.x - w / 2.0f),
                                static_cast<int>(picture.position.y - h * 0.75f), static_cast<int>(w),
                                static_cast<int>(h)};
    // A negative width flips the picture about its own middle: it still covers x to x + |width|.
    if (picture.mirrored) destination.width = -destination.width;
    DrawImage(services_, texture, {0, 0, width, height}, destination, kOpaqueWhite, kBlendAlpha);
}

void ComicPlayer::DrawBubble() {
    const float t = services_.ClockSeconds() - speechStart_;
    const int alpha = BubbleAlpha(t);
    const int x = services_.ScreenWidth() / 2 - kBubbleWidth / 2;
    const int y = services_.ScreenHeight() - 40 - kBubbleHeight;
    engine::IntRect bubble{x, y, kBubbleWidth, kBubbleHeight};
    // The right speaker's bubble is flipped, its tail pointing the other way, one pixel further left.
    if (speechSide_ == 0) bubble = {x - 1, y, -kBubbleWidth, kBubbleHeight};
    const std::uint32_t bubbleColour = (static_cast<std::uint32_t>(alpha) << 24) | 0x00FFFFFFu;
    DrawArt(services_, kArtZoomer, kBubbleSource, bubble, bubbleColour, kBlendAlpha);

    engine::BitmapFont* font = services_.Font(FontId::kComic);
    if (font == nullptr) return;
    const std::uint32_t saved = font->GetColour(1);
    const int spacing = font->GetLineSpacing();
    for (int j = 0; j < speech_.GetLineCount(); ++j) {
        std::uint32_t colour = LineColour(j, t);
        const std::uint32_t lineAlpha = (colour >> 24) * static_cast<std::uint32_t>(alpha) / 255u;
        colour = (colour & 0x00FFFFFFu) | (lineAlpha << 24);
        // The first line selects entry 1 and the rest draw in entry 0: both carry the line's colour.
        font->SetColour(0, colour);
        font->SetColour(1, colour);
        DrawScreenText(services_, FontId::kComic, speech_.GetLine(j), bubble.x + 20, y + 64 + j * spacing,
                       kAlignLeft);
    }
    font->SetColour(0, kOpaqueWhite);
    font->SetColour(1, saved);
}

}  // namespace game
