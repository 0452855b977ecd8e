// The level: loading, the per-tick update, ground marks and the mission accessors.
#include "game/level/level.h"

#include <cstddef>
#include <vector>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "engine/platform/data_files.h"
#include "engine/platform/script_reader.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map_file.h"
#include "game/level/level_services.h"

namespace game {
namespace {

bool LoadDataFile(const std::string& path, std::vector<std::uint8_t>& out) {
    std::size_t size = 0;
    const auto bytes = engine::LoadWholeFileNarrow(path.c_str(), size);
    if (bytes == nullptr) return false;
    out.assign(bytes.get(), bytes.get() + size);
    return true;
}

}  // namespace

Level::Level(BattleContext& battle, LevelServices& services, LevelPresenter* presenter,
             StructurePresenter* structures)
    : battle_(battle),
      services_(services),
      presenter_(presenter != nullptr ? presenter : &nullPresenter_),
      map_(std::make_unique<HexMap>()),
      structures_(std::make_unique<StructureManager>(&battle, structures)),
      script_(std::make_unique<ScriptManager>(battle, services)) {
    map_->SetBattleContext(&battle);
}

Level::~Level() { Destroy(); }

bool Level::Load(const std::string& folder, MissionDiagnostics* diagnostics) {
    // A destroyed level has released its map and structures; the game makes a new level instead of reloading one.
    if (!map_ || !structures_) return false;
    folder_ = folder;
    if (!LoadHexMap(*map_, folder, LoadDataFile)) return false;
    map_->SetBattleContext(&battle_);
    hasModel_ = presenter_->LoadModel(folder);
    decorations_.Collect(presenter_->GetModelNode());
    structures_->CreateFromMap(*map_);
    LoadMission(folder, diagnostics);
    script_->Init(folder);
    script_->Load(diagnostics);
    return true;
}

void Level::LoadMission(const std::string& folder, MissionDiagnostics* diagnostics) {
    // A missing file reads as an empty text: empty lists and the defaults.
    engine::ScriptReader reader;
    reader.Load((folder + "/Mission").c_str());
    ReadMission(reader, mission_, diagnostics);
    ShowReachMarker();
}

void Level::LoadMissionFromImage(const std::uint8_t* bytes, std::size_t size, MissionDiagnostics* diagnostics) {
    engine::ScriptReader reader;
    reader.LoadFromImage(bytes, size, "Mission");
    ReadMission(reader, mission_, diagnostics);
    ShowReachMarker();
}

void Level::ShowReachMarker() {
    if (reachMarkerShown_) return;
    for (const MissionCondition& entry : mission_.win) {
        if (entry.id < WLC_REACHTILE_GENERAL || entry.id > WLC_REACHTILE_ANY) continue;
        engine::Vec3 point;
        map_->GetLevelPoint(point, entry.tile);
        presenter_->ShowReachMarker(entry.tile, point);
        reachMarkerShown_ = true;
        return;
    }
}

void Level::Destroy() {
    floatingTexts_.Clear();
    helpIcons_.Destroy();
    weather_.reset();
    decorations_.Clear();
    // The map's trigger tiles point at the blocks: both go together.
    script_->Destroy();
    if (!structures_) return;
    structures_->Destroy();
    structures_.reset();
    map_.reset();
    services_.StopMusic();
    presenter_->Release();
}

void Level::DrawWeather(WeatherPort& port) {
    if (!map_) return;
    if (!weather_) {
        const std::uint32_t seed = battle_.GetRandomStreams().NextRaw(1);
        weather_ = std::make_unique<WeatherManager>(map_->GetWeatherType(), port, seed);
    }
    weather_->Draw();
}

void Level::Update() {
    if (structures_) structures_->Update();
}

void Level::UpdateStructureModels() {
    if (structures_) structures_->UpdateModels();
}

void Level::DrawCaptureProgress() {
    if (structures_) structures_->DrawCaptureProgress();
}

void Level::AddCrater(int kind, const engine::Vec3& position) {
    if (kind != 0 && kind != 1) return;
    auto& list = groundMarks_[kind == 1 ? 0 : 1];
    std::size_t slot = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].time == 0.0f) {
            slot = i;
            break;
        }
        if (list[i].time < list[slot].time) slot = i;
    }
    GroundMark& mark = list[slot];
    mark.position = position;
    mark.time = static_cast<float>(battle_.GetFrameTimer().GetSeconds());
    // A mark made at clock 0 must still count as used.
    if (mark.time == 0.0f) mark.time = 1e-6f;
    engine::RandomStreams& random = battle_.GetRandomStreams();
    mark.variant = static_cast<int>(random.NextRaw(0) & 7u);
    mark.angle = random.NextFloat(0.0f, 360.0f, 0);
}

const GroundMark& Level::GetGroundMark(int kind, int slot) const {
    static const GroundMark none;
    if ((kind != 0 && kind != 1) || slot < 0 || slot >= kGroundMarksPerKind) return none;
    return groundMarks_[kind == 1 ? 0 : 1][static_cast<std::size_t>(slot)];
}

void Level::SetMapTopTreeVisible(bool visible) {
    if (hasModel_) presenter_->SetMapTopTreeVisible(visible);
}

void Level::PlayMusic() { services_.PlayMusic(0); }

bool Level::AreStructuresBusy() const { return structures_ && structures_->IsAnyAnimating(); }

bool Level::IsUnitTypeUnlocked(int unitType) const {
    if (unitType == UT_SUBMARINE) return false;
    const int mode = battle_.GetGameMode();
    if (mode == kGameModePassAndPlay || mode == kGameModeSkirmish) return true;
    return unitType >= 0 && unitType < 32 && (mission_.unlockMask & (1u << unitType)) != 0;
}

float Level::GetAIConfig(int index) const {
    if (index < 0 || index >= kAIConfigCount) return 0.0f;
    const int mode = battle_.GetGameMode();
    if (mode == kGameModePassAndPlay || mode == kGameModeSkirmish) {
        return index == AICFG_ENGINEER_AGRO ? 0.5f : index == AICFG_FUNDS_DONATION ? 0.0f : 1.0f;
    }
    return mission_.aiConfig[static_cast<std::size_t>(index)];
}

}  // namespace game
