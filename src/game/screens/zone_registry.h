#pragma once
// The zone singletons and how they reach each other. Each screen registers a maker for its id; CreateZones
// makes every registered zone in id order (the order in which their windows take engine window slots, and
// so the order in which zones shown together are drawn), then loads the six GUI sheets. Zones open and find
// each other only through the registry.
#include <array>
#include <functional>
#include <memory>

#include "game/screens/screen_services.h"

namespace game {

class TitledZone;
class Zone;

enum class ZoneId : int {
    kCampaignMap = 0,
    kTopBar,
    kTurnButton,
    kPause,
    kEndTurnConfirm,
    kSurrenderConfirm,
    kShop,
    kMoveChoice,
    kMainMenu,
    kGameType,
    kDifficulty,
    kComicOverlay,
    kMissionWon,
    kPassAndPlayResult,
    kSkirmishSetup,
    kMissionLost,
    kSettings,
    kMatchOptions,
    kCredits,
    kObjective,
    kSpeechPicker,
    kCampaignPicker,
    kPassAndPlaySetup,
    kSaveLoad,
    kMapPicker,
    kAchievements,
    kCount,
};
inline constexpr int kZoneIdCount = static_cast<int>(ZoneId::kCount);

// Makes a zone with its window; null when it cannot be made.
using ZoneMaker = std::function<std::unique_ptr<Zone>(ScreenServices& services)>;
// Told of every failure: a zone that could not be made, a zone opened or looked up that does not exist.
using ZoneErrorHandler = std::function<void(const char* message)>;

class ZoneRegistry {
public:
    // The registry sets itself as the services' zone registry.
    explicit ZoneRegistry(ScreenServices& services);
    // DestroyZones.
    ~ZoneRegistry();
    ZoneRegistry(const ZoneRegistry&) = delete;
    ZoneRegistry& operator=(const ZoneRegistry&) = delete;

    // The maker of an id; a later one replaces an earlier one (tests put recording zones in).
    void Register(ZoneId id, ZoneMaker maker);
    // Makes every registered zone in id order and loads the six sheets. False, with the error reported and
    // every zone made so far deleted, when a zone cannot be made.
    bool CreateZones();
    // Deletes every zone (through its destructor, in reverse order) and releases the sheets.
    void DestroyZones();

    // The zone of the id; null (and an error) when there is none.
    Zone* Get(ZoneId id) const;
    // The titled zone of the id; null (and an error) when there is none or it has no title panel.
    TitledZone* GetTitled(ZoneId id) const;
    // OpenZone on the titled zone of the id; false (and an error) when there is none.
    bool Open(ZoneId id, int type, int originX, int originY) const;
    // Hides the zone of the id when it exists.
    void Close(ZoneId id) const;
    bool Has(ZoneId id) const;

    void SetErrorHandler(ZoneErrorHandler handler) { onError_ = std::move(handler); }
    ScreenServices& Services() const { return services_; }

private:
    void Fail(const char* what, ZoneId id) const;

    ScreenServices& services_;
    std::array<ZoneMaker, kZoneIdCount> makers_{};
    std::array<std::unique_ptr<Zone>, kZoneIdCount> zones_{};
    ZoneErrorHandler onError_;
};

// The registry's zone of the id cast to its class; null when absent or of another class.
template <typename ZoneClass>
ZoneClass* FindZone(const ZoneRegistry* zones, ZoneId id) {
    return zones != nullptr && zones->Has(id) ? dynamic_cast<ZoneClass*>(zones->Get(id)) : nullptr;
}

}  // namespace game
