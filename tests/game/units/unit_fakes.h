#pragma once
// Fakes for the unit tests: a battle over a fixture map that owns its units, sides, a view that records
// what the units ask of the scene, and a fixture that loads the project's unit tables through
// LoadUnitAssets from a temporary data folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <strings.h>
#include <string>
#include <thread>
#include <vector>

#include "../battle/battle_fakes.h"
#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "engine/platform/data_folders.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/units/projectile_manager.h"
#include "game/units/unit.h"
#include "game/units/unit_assets.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_services.h"
#include "game/units/unit_factory.h"
#include "game/units/unit_tables.h"
#include "game/units/unit_team.h"
#include "game/units/unit_view.h"
#include "support/temp_folder.h"

namespace units_test {

using namespace game;
using battle_test::H;

class FakeTeam : public UnitTeam {
public:
    explicit FakeTeam(int teamKind, std::uint32_t teamColour = 0xFF0000FFu) : kind(teamKind), colour(teamColour) {}
    int GetKind() const override { return kind; }
    std::uint32_t GetColour() const override { return colour; }
    void AddCash(int amount) override { cash += amount; }
    void AddKill() override { ++kills; }
    void TransferUnit(Unit& unit, int teamKind) override { transfers.emplace_back(&unit, teamKind); }

    int kind;
    std::uint32_t colour;
    int cash = 1000;
    int kills = 0;
    std::vector<std::pair<Unit*, int>> transfers;
};

// Everything a unit asks of its model, kept for the test to read.
struct ViewLog {
    // The thread that made the view: the game's main thread. Views change on no other.
    std::thread::id owner = std::this_thread::get_id();
    std::string prototypePath;
    std::string compositeRoot;  // empty: none
    int attaches = 0;
    int detaches = 0;
    bool attached = false;
    bool underLevelModel = false;  // the last attach
    int matrixCount = 0;
    engine::Matrix44 matrix;
    std::string material;
    std::uint32_t materialColour = 0;
    std::vector<std::string> animations;
    int buildEffects = 0;
    bool destroyed = false;
    // The model's animations; playing one makes it current and unfinished until the test ends it.
    std::set<std::string> has = {"idle", "stoodidle"};
    std::string current;
    bool finished = true;
    void EndAnimation() { finished = true; }
    // The world matrix a carrier gave this model, when it did.
    bool worldSet = false;
    engine::Matrix44 world;
    std::uint32_t tint = 0;
    bool useTint = false;
    std::vector<std::string> effectNodes;
    std::vector<int> stoppedEffects;
    std::vector<int> hungEffects;
    // Effects hung in the world with their matrices; hanging one makes it live until the test ends it.
    std::vector<std::pair<int, engine::Matrix44>> worldEffects;
    std::set<int> liveEffects;
    std::vector<int> detachedEffects;
    // The model's named nodes (handle = index + 1) under the model or another part: local matrices, flags and
    // whether they were moved under the root. Every matrix a unit gives a part is recorded.
    struct Part {
        std::string name;
        engine::Matrix44 local;
        int parent = 0;  // the handle of the part it hangs under, 0: the model
        std::uint32_t flags = 0;
        bool underRoot = false;
        int matrixCount = 0;
    };
    std::vector<Part> parts;
    void AddPart(const std::string& name, const engine::Vec3& at = {}) {
        Part part;
        part.name = name;
        part.local.SetRow(3, at);
        parts.push_back(part);
    }
    // The last part of that name, as the view finds it.
    Part* FindPart(const std::string& name) {
        Part* found = nullptr;
        for (auto& part : parts) {
            if (part.name == name) found = &part;
        }
        return found;
    }
};

class RecordingUnitView : public UnitView {
public:
    explicit RecordingUnitView(std::shared_ptr<ViewLog> log) : log_(std::move(log)) {}
    bool BuildModel(const char* prototypePath, const char* compositeRootName) override {
        log_->prototypePath = prototypePath;
        log_->compositeRoot = compositeRootName != nullptr ? compositeRootName : "";
        return true;
    }
    void AttachToWorld(bool underLevelModel) override {
        OnOwnerThread();
        ++log_->attaches;
        log_->attached = true;
        log_->underLevelModel = underLevelModel;
    }
    void Detach() override {
        OnOwnerThread();
        ++log_->detaches;
        log_->attached = false;
    }
    bool IsAttached() const override { return log_->attached; }
    void SetLocalMatrix(const engine::Matrix44& matrix) override {
        OnOwnerThread();
        ++log_->matrixCount;
        log_->matrix = matrix;
    }
    void SetTeamMaterial(const char* name, std::uint32_t colour) override {
        OnOwnerThread();
        log_->material = name;
        log_->materialColour = colour;
    }
    // Only the animations the log declares play (by default "idle" and "stoodidle").
    bool PlayAnimation(const char* name, bool restart) override {
        OnOwnerThread();
        log_->animations.emplace_back(name);
        if (log_->has.count(name) == 0) return false;
        if (log_->current == name && !restart) return true;
        log_->current = name;
        log_->finished = false;
        return true;
    }
    const char* GetAnimationName() const override { return log_->current.c_str(); }
    bool IsAnimationFinished() const override { return log_->finished; }
    bool IsAnimationPastEnd() const override { return log_->finished; }
    engine::Matrix44 GetWorldMatrix() const override { return log_->worldSet ? log_->world : log_->matrix; }
    void SetWorldMatrix(const engine::Matrix44& matrix) override {
        OnOwnerThread();
        log_->worldSet = true;
        log_->world = matrix;
    }
    void SetTint(std::uint32_t colour, bool useTint) override {
        OnOwnerThread();
        log_->tint = colour;
        log_->useTint = useTint;
    }
    int CreateEffectNode(const char* prototype) override {
        OnOwnerThread();
        log_->effectNodes.emplace_back(prototype);
        return static_cast<int>(log_->effectNodes.size());
    }
    void HangEffectNode(int handle, const engine::Matrix44&) override { log_->hungEffects.push_back(handle); }
    void HangEffectInWorld(int handle, const engine::Matrix44& matrix) override {
        OnOwnerThread();
        log_->worldEffects.emplace_back(handle, matrix);
        log_->liveEffects.insert(handle);
    }
    void DetachEffectNode(int handle) override { log_->detachedEffects.push_back(handle); }
    bool IsEffectFinished(int handle) const override { return log_->liveEffects.count(handle) == 0; }
    // Case ignored, the last match wins.
    int FindPart(const char* name) const override {
        int found = 0;
        for (std::size_t i = 0; i < log_->parts.size(); ++i) {
            if (strcasecmp(log_->parts[i].name.c_str(), name) == 0) found = static_cast<int>(i) + 1;
        }
        return found;
    }
    int FindPartContaining(const char* text) const override {
        int found = 0;
        for (std::size_t i = 0; i < log_->parts.size(); ++i) {
            if (log_->parts[i].name.find(text) != std::string::npos) found = static_cast<int>(i) + 1;
        }
        return found;
    }
    void ReparentPartToRoot(int part) override {
        PartOf(part).underRoot = true;
        PartOf(part).parent = 0;
    }
    engine::Matrix44 GetPartLocalMatrix(int part) const override { return PartOf(part).local; }
    void SetPartLocalMatrix(int part, const engine::Matrix44& matrix) override {
        OnOwnerThread();
        PartOf(part).local = matrix;
        ++PartOf(part).matrixCount;
    }
    // The part's world matrix: its local matrix carried by its parents and the model, whose world is its
    // local matrix.
    engine::Matrix44 GetPartWorldMatrix(int part) const override {
        engine::Matrix44 world = PartOf(part).local;
        for (int up = PartOf(part).parent; up != 0; up = PartOf(up).parent) {
            engine::Matrix44 next;
            engine::Matrix44::Multiply(world, PartOf(up).local, next);
            world = next;
        }
        engine::Matrix44 placed;
        engine::Matrix44::Multiply(world, log_->matrix, placed);
        return placed;
    }
    void SetPartFlags(int part, std::uint32_t flags, bool set) override {
        auto& bits = PartOf(part).flags;
        bits = set ? (bits | flags) : (bits & ~flags);
    }
    engine::Matrix44 GetLocalMatrix() const override { return log_->matrix; }
    void StopEffectEmitting(int handle) override { log_->stoppedEffects.push_back(handle); }
    bool ContainsNode(const engine::SceneNode* node) const override { return node == ownNode; }
    void PlayBuildEffect(const engine::Vec3&) override { OnOwnerThread(); ++log_->buildEffects; }
    void DestroyModel() override { OnOwnerThread(); log_->destroyed = true; }

    ViewLog& Log() const { return *log_; }
    void OnOwnerThread() const {
        EXPECT_EQ(std::this_thread::get_id(), log_->owner) << "a view changed off the main thread";
    }
    ViewLog::Part& PartOf(int handle) const {
        EXPECT_GE(handle, 1);
        EXPECT_LE(handle, static_cast<int>(log_->parts.size()));
        return log_->parts.at(static_cast<std::size_t>(handle - 1));
    }

    const engine::SceneNode* ownNode = nullptr;

private:
    std::shared_ptr<ViewLog> log_;
};

class RecordingViewFactory : public UnitViewFactory {
public:
    bool LoadPrototypes() override {
        loaded = true;
        return prototypesPresent;
    }
    void FreePrototypes() override { loaded = false; }
    std::unique_ptr<UnitView> CreateView() override {
        logs.push_back(std::make_shared<ViewLog>());
        if (!modelAnimations.empty()) logs.back()->has = modelAnimations;
        for (const auto& [name, at] : modelParts) logs.back()->AddPart(name, at);
        for (const auto& [child, parent] : partParents) {
            int childHandle = 0;
            int parentHandle = 0;
            for (std::size_t i = 0; i < logs.back()->parts.size(); ++i) {
                if (logs.back()->parts[i].name == child) childHandle = static_cast<int>(i) + 1;
                if (logs.back()->parts[i].name == parent) parentHandle = static_cast<int>(i) + 1;
            }
            if (childHandle != 0) logs.back()->parts[static_cast<std::size_t>(childHandle - 1)].parent = parentHandle;
        }
        return std::make_unique<RecordingUnitView>(logs.back());
    }

    // The animations the models of new views declare; empty: the default ("idle", "stoodidle").
    std::set<std::string> modelAnimations;
    // The named nodes the models of new views hold, with their translations.
    std::vector<std::pair<std::string, engine::Vec3>> modelParts;
    // Parts hung under another part (child, parent); the last part of each name is meant.
    std::vector<std::pair<std::string, std::string>> partParents;
    bool loaded = false;
    bool prototypesPresent = true;
    std::vector<std::shared_ptr<ViewLog>> logs;
};

// The log of a unit made with the recording views.
inline ViewLog& LogOf(const Unit& unit) {
    auto* view = dynamic_cast<RecordingUnitView*>(&unit.GetView());
    EXPECT_NE(view, nullptr) << "the unit has no recording view";
    static ViewLog none;
    return view != nullptr ? view->Log() : none;
}

// Everything units ask of the game, kept; a zoom started reports active for zoomHoldTicks camera ticks.
class RecordingUnitServices : public UnitServices {
public:
    bool IsBattleZoomActive() const override { return zoomTicksLeft > 0; }
    void StartBattleZoom(Unit& attacker, Unit& target) override {
        zoomLog.push_back("start " + std::to_string(attacker.GetId()) + ">" + std::to_string(target.GetId()));
        zoomTicksLeft = zoomHoldTicks;
    }
    void EndBattleZoom() override { zoomLog.emplace_back("end"); }
    void TickCamera() {
        if (zoomTicksLeft > 0) --zoomTicksLeft;
    }
    void LookAtUnit(Unit& unit) override { lookAts.push_back(unit.GetId()); }
    void PlayLevelSound(int sound) override { sounds.push_back(sound); }
    int StartLoopSound(int sound) override {
        loops.push_back(sound);
        return ++lastLoop;
    }
    void StopLoopSound(int handle, float fade) override { stoppedLoops.emplace_back(handle, fade); }
    void PlaySpeech(int teamKind, int cue) override { speech.emplace_back(teamKind, cue); }
    void AddEffect(const char* prototype, const engine::Matrix44& placement) override {
        effects.emplace_back(prototype, placement.GetTranslation());
    }
    void AddFloatingText(const engine::Vec3& at, const engine::WideString& text) override {
        texts.push_back(text);
        textPoints.push_back(at);
    }
    void AddCrater(int kind, const engine::Vec3&) override { craters.push_back(kind); }
    int GetDifficulty() const override { return difficulty; }
    int AddProfileKill() override { return ++profileKills; }
    int AddProfileSniperKill() override { return ++profileSniperKills; }
    void SetScriptInputHex(HexCoord hex) override { scriptHexes.push_back(hex); }
    ProjectileManager* GetProjectiles() override { return projectiles; }

    // The narrow form of each text.
    std::vector<std::string> NarrowTexts() const {
        std::vector<std::string> out;
        for (const auto& text : texts) out.emplace_back(text.GetNarrow());
        return out;
    }
    int CountSound(int sound) const { return static_cast<int>(std::count(sounds.begin(), sounds.end(), sound)); }

    int zoomHoldTicks = 0;
    int zoomTicksLeft = 0;
    std::vector<std::string> zoomLog;
    std::vector<int> lookAts;
    std::vector<int> sounds;
    std::vector<int> loops;
    std::vector<std::pair<int, float>> stoppedLoops;
    int lastLoop = 0;
    std::vector<std::pair<int, int>> speech;
    std::vector<std::pair<std::string, engine::Vec3>> effects;
    std::vector<engine::WideString> texts;
    std::vector<engine::Vec3> textPoints;
    std::vector<int> craters;
    int difficulty = 0;
    int profileKills = 0;
    int profileSniperKills = 0;
    std::vector<HexCoord> scriptHexes;
    ProjectileManager* projectiles = nullptr;
};

// A battle over a fixture map (land everywhere unless told otherwise) that owns its units. Units are found
// by id in any state and on a hex while idle or running orders, the grounded one first.
class FakeUnitBattle : public BattleContext {
public:
    explicit FakeUnitBattle(const std::string& mapSource = battle_test::UniformSource(12, 12, "L0"))
        : map(battle_test::MapFromSource(mapSource, this)),
          random([] { return 1u; }, [this](int stream) { return Draw(stream); }),
          timer([this] { return clockNs; }) {
        unitServices.projectiles = &projectiles;
    }
    ~FakeUnitBattle() override { RemoveAll(); }

    // Removes the units one by one, each out of the lookups before it is destroyed; the projectiles, which
    // point at units, go first.
    void RemoveAll() {
        projectiles.Clear();
        while (!units.empty()) {
            std::unique_ptr<Unit> last = std::move(units.back());
            units.pop_back();
            last.reset();
        }
    }

    Unit& Add(std::unique_ptr<Unit> unit) {
        units.push_back(std::move(unit));
        return *units.back();
    }

    // CreateUnit, then stood on the hex.
    Unit& Make(int type, UnitTeam* team, HexCoord hex,
               Unit::Presentation presentation = Unit::Presentation::kWithModel) {
        Unit& unit = Add(CreateUnit(*this, type, team, 0, presentation));
        unit.PlaceOnHex(hex);
        return unit;
    }

    // Destroys one unit (out of the lookups first).
    void Destroy(Unit& unit) {
        for (auto it = units.begin(); it != units.end(); ++it) {
            if (it->get() == &unit) {
                std::unique_ptr<Unit> owned = std::move(*it);
                units.erase(it);
                return;
            }
        }
    }

    // The map's questions.
    MapUnit* FindMapUnitAt(HexCoord hex) const override { return FindUnitAt(hex); }
    MapUnit* FindAirMapUnitAt(HexCoord hex) const override {
        for (const auto& u : units) {
            if (Placed(*u) && u->GetHexPos() == hex && u->IsAirborne()) return u.get();
        }
        return nullptr;
    }
    int GetCurrentTeamKind() const override { return currentTeam; }
    int GetTeamControl(int teamKind) const override { return teamKind == 4 ? kControlComputer : kControlHuman; }
    std::span<MapUnit* const> GetTeamMapUnits(int teamKind) const override {
        teamList.clear();
        for (const auto& u : units) {
            if (u->GetTeamKind() == teamKind && Placed(*u)) teamList.push_back(u.get());
        }
        return teamList;
    }
    void ClearTargetMarks() override {}
    int CountTargetMarkedUnits() const override { return 0; }
    Structure* FindStructureAt(HexCoord) const override { return nullptr; }
    void ClearStructureMarks() override {}
    const UnitParams* GetUnitParams(int unitType) const override {
        return unitType >= 1 && unitType < kUnitTypeCount ? &game::GetUnitParams(unitType) : nullptr;
    }
    bool IsHeldImmobile(const MapUnit&) const override { return false; }
    bool BoxTouchesLevel(const engine::Matrix44&, const engine::Vec3&) const override { return false; }

    // The units' questions.
    Unit* FindUnitById(int id) const override {
        if (id == 0) return nullptr;
        for (const auto& u : units) {
            if (u->GetId() == id) return u.get();
        }
        return nullptr;
    }
    Unit* FindUnitAt(HexCoord hex) const override {
        Unit* air = nullptr;
        for (const auto& u : units) {
            if (!Placed(*u) || !(u->GetHexPos() == hex)) continue;
            if (!u->IsAirborne()) return u.get();
            if (air == nullptr) air = u.get();
        }
        return air;
    }
    bool IsSettingUp() const override { return settingUp; }
    int NextUnitId() override { return lastId.fetch_add(1) + 1; }
    int GetGameMode() const override { return gameMode; }
    std::uint32_t GetOptionBits() const override { return options; }
    bool IsFastForward() const override { return fastForward; }
    void UnlockAchievement(int achievement) override { achievements.push_back(achievement); }
    engine::WideString GetText(const char* key) const override {
        if (auto it = wideTexts.find(key); it != wideTexts.end()) return it->second;
        return engine::WideString(missingTexts.count(key) != 0 ? "No String" : (std::string("text ") + key).c_str());
    }
    HexMap& GetHexMap() override { return *map; }
    engine::RandomStreams& GetRandomStreams() override { return random; }
    const engine::FrameTimer& GetFrameTimer() const override { return timer; }
    UnitServices* GetUnitServices() override { return &unitServices; }

    // One game tick of everything a unit test runs, as a frame of 0.02 s: the camera, the units (in
    // creation order), the projectiles, then the units' frame (animation, shake, tint, passengers).
    void Tick() {
        unitServices.TickCamera();
        for (std::size_t i = 0; i < units.size(); ++i) units[i]->Tick();
        projectiles.Update();
        clockNs += std::chrono::milliseconds(20);
        timer.Tick();
        for (std::size_t i = 0; i < units.size(); ++i) units[i]->UpdateAnimation();
    }
    // Ticks until the predicate holds or the limit is reached; the ticks run.
    template <typename Done>
    int TickUntil(Done done, int limit = 2000) {
        int ticks = 0;
        while (ticks < limit && !done()) {
            Tick();
            ++ticks;
        }
        return ticks;
    }

    // Raw draws: the queued values of stream 0 first, then a fixed sequence; every draw is counted.
    std::uint32_t Draw(int stream) {
        ++draws[stream == 0 ? 0 : 1];
        if (stream == 0 && !queuedDraws.empty()) {
            const std::uint32_t value = queuedDraws.front();
            queuedDraws.pop_front();
            return value;
        }
        sequence = sequence * 1103515245u + 12345u;
        return (sequence >> 1) & 0x7FFFFFFFu;
    }
    // Queues the raw draw that makes NextInt(0, 5) give the value.
    void QueueDirection(int direction) {
        queuedDraws.push_back(
            static_cast<std::uint32_t>(static_cast<std::uint64_t>(direction) * 0x7FFFFFFFu / 6u + 1u));
    }

    static bool Placed(const Unit& u) { return u.GetState() == kUnitIdle || u.GetState() == kUnitRunningOrders; }

    std::unique_ptr<HexMap> map;
    std::vector<std::unique_ptr<Unit>> units;
    mutable std::vector<MapUnit*> teamList;
    std::atomic<int> lastId{0};
    bool settingUp = false;
    int currentTeam = 1;
    int gameMode = kGameModeSkirmish;
    std::uint32_t options = 0;
    bool fastForward = false;
    std::vector<int> achievements;
    std::set<std::string> missingTexts;
    std::map<std::string, engine::WideString> wideTexts;
    std::atomic<int> draws[2] = {0, 0};
    std::deque<std::uint32_t> queuedDraws;
    std::uint32_t sequence = 7;
    std::chrono::nanoseconds clockNs{0};
    engine::RandomStreams random;
    engine::FrameTimer timer;
    ProjectileManager projectiles;
    RecordingUnitServices unitServices;
};

// An armed test class until the unit classes exist: a catalogue unit that fires bullets (or shells) through
// the battle's projectile manager and reports its firing finished when told.
class TestGunner : public CatalogueUnit {
public:
    enum class Weapon { kBullet, kShell };
    TestGunner(int type, BattleContext& battle, UnitTeam* team, Weapon weapon = Weapon::kBullet)
        : CatalogueUnit(type, battle, team, Presentation::kWithModel), weapon_(weapon) {
        SetId(battle.NextUnitId());
        SetFuel(GetParams().fuelCapacity);
        SetAmmo(GetParams().ammoCapacity);
        AttachPresentation();
    }
    void Fire(Unit* target) override {
        ++shots;
        ProjectileManager* projectiles = Services().GetProjectiles();
        if (projectiles == nullptr || target == nullptr) return;
        engine::Vec3 from;
        GetAimPoint(from);
        if (weapon_ == Weapon::kShell) {
            projectiles->LaunchShell(from, *this, *target, 1.0f);
        } else {
            projectiles->LaunchBullet(from, *this, *target);
        }
    }
    bool IsFiringFinished() override { return firingFinished; }
    void PlayShoot() override { ++shootEffects; }

    int shots = 0;
    int shootEffects = 0;
    bool firingFinished = true;

private:
    Weapon weapon_;
};

// Level land whose rows from 3 on stand the given number of tile levels (0.25 each) higher or lower.
inline std::string TerracedSource(int targetLevels) {
    std::string s = battle_test::UniformSource(12, 12, "L1");
    for (int r = 3; r < 12; ++r) {
        for (int c = 0; c < 12; ++c) {
            s += "height " + FormatHexLabel(H(c, r)) + " " + std::to_string(0.5f + 0.25f * targetLevels) + "\n";
        }
    }
    return s;
}

// The text of one of the project's unit tables.
inline std::string ProjectTable(const char* name) {
    std::ifstream in(std::string(TINMARCH_SOURCE_DIR) + "/data/Units/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A temporary base folder holding data files under Data/PC/; the base folder is put back afterwards.
class DataFolder {
public:
    DataFolder() : previous_(engine::GetBaseFolderNarrow()) {
        engine::SetBaseFolderNarrow(temp_.Path().string().c_str());
    }
    ~DataFolder() { engine::SetBaseFolderNarrow(previous_.c_str()); }
    bool Write(const std::string& name, const std::string& text) const {
        return temp_.Write("Data/PC/" + name, text.data(), text.size());
    }

private:
    testsupport::TempFolder temp_;
    std::string previous_;
};

// The project's unit tables loaded through LoadUnitAssets with the recording views, over a 12 x 12 land map.
class UnitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.Write("Units/BasicParams.TXT", ProjectTable("BasicParams.TXT")));
        ASSERT_TRUE(data.Write("Units/Damage.TXT", ProjectTable("Damage.TXT")));
        ASSERT_EQ(LoadUnitAssets(battle, &views), 1);
    }
    void TearDown() override {
        battle.RemoveAll();
        FreeUnitAssets();
    }

    DataFolder data;
    RecordingViewFactory views;
    FakeUnitBattle battle;
    FakeTeam blue{kTeamBlue};
    FakeTeam green{kTeamGreen};
    FakeTeam enemy{kTeamEnemy};
};

}  // namespace units_test
