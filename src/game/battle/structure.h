#pragma once
// A building of the battle map: its anchor hex, owner, capture, selection and target marks, the capture pop,
// the income flash, fireworks and its build pads. The eleven classes (structure_types.h) differ only in type,
// footprint, model placement, tintable material name and production. The map's fills and the route search
// ask a structure for its type, owner, capturer and target mark.
#include <array>
#include <cstdint>

#include "engine/core/matrix.h"
#include "game/battle/hex_coord.h"

namespace game {

class BattleContext;
class StructureManager;

inline constexpr int kMaxStructurePads = 6;
inline constexpr float kStructureTick = 0.02f;
inline constexpr float kCapturePopSeconds = 0.2f;
// Achievement unlocked when a skirmish capture leaves every building blue.
inline constexpr int kAchievementSlumLandlord = 12;

// Structure states.
inline constexpr int kStructureNormal = 0;
inline constexpr int kStructureCaptured = 1;
inline constexpr int kStructureFireworks = 2;

// The producer of a unit type: kStructureBarracks, kStructureDockyard, kStructureAirport or
// kStructureFactory; 0 for type 0, types outside 1..24 and the DOOR, which no shop sells.
int ProducerTypeForUnit(int unitType);

class Structure {
public:
    Structure() = default;
    Structure(HexCoord hex, int team, StructureManager* manager, BattleContext* battle);
    virtual ~Structure() = default;
    Structure(const Structure&) = delete;
    Structure& operator=(const Structure&) = delete;

    virtual int GetType() const = 0;  // 1..11; 1 is the build pad
    // True for the hexes the building stands on; the one-hex classes take their anchor only.
    virtual bool OccupiesHex(HexCoord hex) const { return hex == hex_; }
    // Gives the extra hexes of a three-hex building the building's structure tiles.
    virtual void MarkMapTiles() {}
    virtual const char* GetTeamMaterialName() const { return "Material"; }

    virtual int GetTeam() const { return team_; }  // owning team kind, 0 = nobody
    virtual int GetCapturingTeam() const { return capturingTeam_; }  // team kind capturing it, 0 = nobody
    // Sets the target mark, except while a computer team has the turn (the fills of its planning must not
    // mark what the player sees).
    virtual void SetTargetMark(bool marked);
    // Takes the target mark off outright, on any side's turn.
    void ClearTargetMark() { targetMarked_ = false; }

    HexCoord GetHex() const { return hex_; }
    bool IsTargetMarked() const { return targetMarked_; }
    int GetHighlight() const { return highlight_; }
    bool IsSelected() const { return highlight_ != 0; }
    void SetSelected(int mode) { highlight_ = mode; }
    void Reserve() { reserved_ = true; }
    void Unreserve() { reserved_ = false; }
    bool IsReserved() const { return reserved_; }
    void SetAITag(int tag) { aiTag_ = tag; }
    int GetAITag() const { return aiTag_; }
    bool IsProducer() const { return GetType() >= 2 && GetType() <= 5; }
    // 2.0 for the producers and the HQ, else 1.0.
    float GetCaptureNeeded() const { return GetType() >= 2 && GetType() <= 6 ? 2.0f : 1.0f; }
    float GetCaptureProgress() const { return captureProgress_; }
    int GetState() const { return state_; }
    float GetPopTimer() const { return popTimer_; }
    float GetIncomeFlash() const { return incomeFlash_; }
    float GetFireworkTimer() const { return fireworkTimer_; }
    // A pad's building.
    Structure* GetLinkedStructure() const { return linked_; }
    void SetLinkedStructure(Structure* building) { linked_ = building; }
    // The three-hex footprint reaches below-left when set, below-right when not.
    bool IsMirrored() const { return mirrored_; }
    void AddPad(Structure* pad);
    Structure* GetPad(int index) const;
    Structure* GetFirstPad() const { return pads_[0]; }
    Structure* FindFreePad() const;
    bool IsHexFree() const;
    void StartIncomeFlash() { incomeFlash_ = 1.0f; }
    // The shop zone of a producer (6 factory, 4 airport, 7 dockyard, 5 barracks); 0 for the others.
    int GetShopZoneType() const;

    // Owner 0..4 (another value changes nothing); clears the capture, also on every pad.
    void SetOwner(int team);
    void AddCaptureProgress(float amount, int team);
    // Puts back a saved capture; the values are checked by the caller.
    void SetCapture(float progress, int team) {
        captureProgress_ = progress;
        capturingTeam_ = team;
    }
    void SetState(int state);
    void Update();

    // The colour the model is drawn with now; false when the plain team material shows.
    bool GetTint(std::uint32_t& colour) const;
    // The manager that made it; null for a structure made on its own.
    StructureManager* Manager() const { return manager_; }

protected:
    void SetMirrored(bool mirrored) { mirrored_ = mirrored; }
    BattleContext* Battle() const { return battle_; }

private:
    void LaunchFirework();

    HexCoord hex_;
    int team_ = 0;
    std::array<Structure*, kMaxStructurePads> pads_ = {};
    int highlight_ = 0;
    int aiTag_ = 0;
    float captureProgress_ = 0.0f;
    int capturingTeam_ = 0;
    bool targetMarked_ = false;
    int state_ = kStructureNormal;
    float popTimer_ = 0.0f;
    float incomeFlash_ = 0.0f;
    float fireworkTimer_ = 0.0f;
    bool reserved_ = false;
    Structure* linked_ = nullptr;
    bool mirrored_ = false;
    StructureManager* manager_ = nullptr;
    BattleContext* battle_ = nullptr;
};

}  // namespace game
