// Battles on the shipped models, drawn by the game's own view over the built archive: on every shipped level
// the level model, units, structures, markers and sky draw without a placeholder texture, and so do the
// announcer's walkers; no unit asks its model for an animation its class waits on that the model lacks; and
// the whole battle of two mixed sides, played on a stepped clock, ends with no unit busy for more than 30 s.
#include "scene_view_fixture.h"

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/archive_set.h"
#include "support/commander.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/posix_zip_archive.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/material_stage_textures.h"
#include "engine/render/render_target.h"
#include "engine/render/shader_set.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/image/mip_filter.h"
#include "engine/scene/scene_container.h"
#include "game/core/engine_announcer_scene.h"
#include "game/core/game_resources.h"
#include "game/core/turn_announcer.h"
#include "game/core/scene_weather_port.h"
#include "game/level/help_icons.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"

namespace core_test {
namespace {

// The animations a class waits on: when the model lacks one, the class passes it within a tick instead.
const std::set<std::string> kWaitedOn = {"die",   "jump",   "embark", "disembark", "getup", "getdown", "stand",
                                         "shoot", "shoot1", "shoot2", "aim",       "hit1",  "hit2",    "hit3",
                                         "cower", "jumpin", "w00t"};

// A view that passes every call on to the scene's view and notes each animation its model refused.
class WatchedView final : public UnitView {
public:
    WatchedView(std::unique_ptr<UnitView> inner, std::vector<std::string>& refused)
        : inner_(std::move(inner)), refused_(refused) {}

    bool BuildModel(const char* path, const char* root) override {
        path_ = path != nullptr ? path : "";
        return inner_->BuildModel(path, root);
    }
    void AttachToWorld(bool underLevelModel) override { inner_->AttachToWorld(underLevelModel); }
    void AttachUnder(engine::SceneNode* node) override { inner_->AttachUnder(node); }
    void Detach() override { inner_->Detach(); }
    bool IsAttached() const override { return inner_->IsAttached(); }
    void SetLocalMatrix(const engine::Matrix44& matrix) override { inner_->SetLocalMatrix(matrix); }
    void SetTeamMaterial(const char* name, std::uint32_t colour) override { inner_->SetTeamMaterial(name, colour); }
    bool PlayAnimation(const char* name, bool restart) override {
        const bool played = inner_->PlayAnimation(name, restart);
        if (!played && name != nullptr) refused_.push_back(path_ + " " + name);
        return played;
    }
    bool ContainsNode(const engine::SceneNode* node) const override { return inner_->ContainsNode(node); }
    void PlayBuildEffect(const engine::Vec3& at) override { inner_->PlayBuildEffect(at); }
    void DestroyModel() override { inner_->DestroyModel(); }
    const char* GetAnimationName() const override { return inner_->GetAnimationName(); }
    bool IsAnimationFinished() const override { return inner_->IsAnimationFinished(); }
    bool IsAnimationPastEnd() const override { return inner_->IsAnimationPastEnd(); }
    void UpdateWorldMatrices() override { inner_->UpdateWorldMatrices(); }
    engine::Matrix44 GetWorldMatrix() const override { return inner_->GetWorldMatrix(); }
    void SetWorldMatrix(const engine::Matrix44& matrix) override { inner_->SetWorldMatrix(matrix); }
    void SetTint(std::uint32_t colour, bool useTint) override { inner_->SetTint(colour, useTint); }
    int CreateEffectNode(const char* name) override { return inner_->CreateEffectNode(name); }
    void HangEffectNode(int h, const engine::Matrix44& m) override { inner_->HangEffectNode(h, m); }
    void PlaceEffectNode(int h, const engine::Matrix44& m) override { inner_->PlaceEffectNode(h, m); }
    void StopEffectEmitting(int h) override { inner_->StopEffectEmitting(h); }
    bool IsEffectFinished(int h) const override { return inner_->IsEffectFinished(h); }
    void HangEffectInWorld(int h, const engine::Matrix44& m) override { inner_->HangEffectInWorld(h, m); }
    void DetachEffectNode(int h) override { inner_->DetachEffectNode(h); }
    int FindPart(const char* name) const override { return inner_->FindPart(name); }
    int FindPartContaining(const char* text) const override { return inner_->FindPartContaining(text); }
    void ReparentPartToRoot(int part) override { inner_->ReparentPartToRoot(part); }
    engine::Matrix44 GetPartLocalMatrix(int part) const override { return inner_->GetPartLocalMatrix(part); }
    void SetPartLocalMatrix(int part, const engine::Matrix44& m) override { inner_->SetPartLocalMatrix(part, m); }
    engine::Matrix44 GetPartWorldMatrix(int part) const override { return inner_->GetPartWorldMatrix(part); }
    void SetPartFlags(int part, std::uint32_t flags, bool on) override { inner_->SetPartFlags(part, flags, on); }
    engine::Matrix44 GetLocalMatrix() const override { return inner_->GetLocalMatrix(); }

private:
    std::unique_ptr<UnitView> inner_;
    std::vector<std::string>& refused_;
    std::string path_;
};

class WatchedViews final : public UnitViewFactory {
public:
    explicit WatchedViews(UnitViewFactory& inner) : inner_(inner) {}
    bool LoadPrototypes() override { return inner_.LoadPrototypes(); }
    void FreePrototypes() override { inner_.FreePrototypes(); }
    std::unique_ptr<UnitView> CreateView() override {
        ++created;
        return std::make_unique<WatchedView>(inner_.CreateView(), refused);
    }
    std::unique_ptr<ProjectileView> CreateProjectileView(ProjectileModel model, bool trail) override {
        return inner_.CreateProjectileView(model, trail);
    }
    // "<prototype path> <animation>" of every refused animation.
    std::vector<std::string> refused;
    int created = 0;

private:
    UnitViewFactory& inner_;
};

// The level folders of the archive: each folder that holds a level model.
std::vector<std::string> ShippedLevels() {
    std::vector<std::string> folders;
    engine::PosixZipArchive archive;
    if (archive.Open(TINMARCH_DATASET_ARCHIVE) != 1) return folders;
    const std::string suffix = "/MAP.CNT";
    for (std::uint32_t i = 0; i < archive.EntryCount(); ++i) {
        const std::string name(archive.EntryName(i));
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper.size() > suffix.size() && upper.compare(upper.size() - suffix.size(), suffix.size(), suffix) == 0) {
            folders.push_back(name.substr(0, name.size() - suffix.size()));
        }
    }
    return folders;
}

// The game over the whole built archive, with the view's own level scene and the units' views watched.
class ShippedDataTest : public SceneGameViewTest {
protected:
    ShippedDataTest() { useSceneLevel = true; }

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SceneGameViewTest::SetUp());
        FreeUnitAssets();
        // The archive mounted as the game mounts it; the loose files of the data folder come after it.
        auto archive = std::make_unique<engine::PosixZipArchive>();
        ASSERT_EQ(archive->Open(TINMARCH_DATASET_ARCHIVE), 1);
        ASSERT_TRUE(archives.Mount(std::move(archive), "MainWad"));
        previousArchives = engine::GetActiveArchiveSet();
        engine::SetActiveArchiveSet(&archives);
        watched = std::make_unique<WatchedViews>(*view->GetUnitViews());
        ASSERT_EQ(LoadUnitAssets(*game, watched.get()), 1);
        view->LoadResources();
        // The assets the program's start-up loads after the view's: tile markers, snowflake, help icons, the
        // structure models and the capture marker's spanner.
        ASSERT_TRUE(view->GetTileMarkers().Create());
        ASSERT_GT(engine::TextureTable::Load(kSnowflakeTexture, engine::kMipBox), 0);
        engine::SceneNode* burst = engine::LoadSceneContainer(kHelpIconEffect);
        ASSERT_NE(burst, nullptr);
        burst->SetEmitterAutoDelete(true);
        view->SetEffectPrototype(kHelpIconEffect, burst);
        ASSERT_TRUE(HelpIcons::LoadModels(view->GetWorldNode()));
        const int spanner = engine::LoadModel(kSpannerModel);
        const int countdown = engine::TextureTable::Load(kCountdownTexture, engine::kMipBox);
        ASSERT_GT(spanner, 0);
        ASSERT_GT(countdown, 0);
        view->GetSceneStructures().SetMarkerAssets([spanner] { return spanner; }, [countdown] { return countdown; });
        ASSERT_TRUE(view->GetSceneStructures().LoadStructureModels());
    }
    void TearDown() override {
        game.reset();
        HelpIcons::FreeModels();
        FreeUnitAssets();
        watched.reset();
        engine::SetActiveArchiveSet(previousArchives);
        SceneGameViewTest::TearDown();
    }

    // The placeholders the shader sets made for a stage without its texture (32 x 32 checkerboards).
    static int PlaceholdersMade() {
        int made = 0;
        for (int handle = 1; handle <= engine::TextureTable::Size(); ++handle) {
            const engine::Texture* texture = engine::TextureTable::Get(handle);
            if (texture != nullptr && std::string(texture->name.GetNarrow()) == "Check" &&
                engine::TextureTable::GetWidth(handle) == static_cast<std::uint32_t>(engine::kCheckTextureSize)) {
                ++made;
            }
        }
        return made;
    }

    // The materials of the library with a stage their shader set reads but no texture on it.
    static std::string MaterialsWithoutTheirTextures() {
        std::string names;
        engine::MaterialLib& lib = engine::GetMaterialLib();
        for (int handle = 1; handle < lib.Count(); ++handle) {
            const engine::MaterialDef* material = lib.Get(handle);
            if (material == nullptr) continue;
            const engine::ShaderSetInfo info = engine::MakeShaderSetInfo(material->GetShaderSetIndex());
            for (int stage = 0; stage < engine::kSetTextureSlots && stage < engine::kMaterialStages; ++stage) {
                if (info.textures[stage].kind != 0 && material->GetTexture(stage) == 0) {
                    names += std::string(material->GetName().GetNarrow()) + " stage " + std::to_string(stage) + "\n";
                }
            }
        }
        return names;
    }

    // Animations the units' classes wait on that a model refused.
    std::string RefusedWaitedAnimations() const {
        std::map<std::string, int> typeOf;
        for (const UnitDescriptor& row : UnitCatalogue()) typeOf[row.prototypePath] = row.type;
        std::set<std::string> faults;
        for (const std::string& entry : watched->refused) {
            const std::string path = entry.substr(0, entry.find(' '));
            const std::string name = entry.substr(entry.find(' ') + 1);
            bool played = kWaitedOn.count(name) != 0;
            if (const auto found = typeOf.find(path); found != typeOf.end()) {
                for (const char* own : GetUnitClassRow(found->second).animations) played = played || name == own;
            }
            if (played) faults.insert(entry);
        }
        std::string text;
        for (const std::string& fault : faults) text += fault + "\n";
        return text;
    }

    std::unique_ptr<WatchedViews> watched;
    engine::ArchiveSet archives;
    engine::ArchiveSet* previousArchives = nullptr;
};

class ShippedBattleTest : public ShippedDataTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ShippedBattleTest, TheBattleDrawsWithoutAPlaceholderAndEveryWaitedAnimationPlays) {
    profile.mapFolder = GetParam();
    game->SetState(kGameLoadSkirmish);
    quitAfterFrame = true;
    game->RunMainLoop();
    ASSERT_NE(game->GetLevel(), nullptr) << GetParam();
    ASSERT_NE(game->GetTeamManager(), nullptr);
    ASSERT_NE(view->GetSceneLevel().GetModelNode(), nullptr) << "the level model did not load";
    EXPECT_GT(watched->created, 0) << "the level's units were made through the watched views";
    // A few seconds of the battle: the units idle, bored soldiers play their turns, the sky and markers draw.
    for (int frame = 0; frame < 30; ++frame) game->RunMainLoop();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(PlaceholdersMade(), 0) << "materials without their textures:\n" << MaterialsWithoutTheirTextures();
    EXPECT_EQ(RefusedWaitedAnimations(), "");
}

// The turn announcer's walker: each vehicle type it may pick, in each team colour, drawn in its own scene.
TEST_F(ShippedDataTest, TheAnnouncersWalkersDrawWithoutAPlaceholder) {
    const std::vector<std::string> levels = ShippedLevels();
    ASSERT_FALSE(levels.empty());
    profile.mapFolder = levels.front();
    game->SetState(kGameLoadSkirmish);
    quitAfterFrame = true;
    game->RunMainLoop();
    ASSERT_NE(game->GetLevel(), nullptr);
    EngineAnnouncerScene scene(*game);
    scene.Init(kWidth, kHeight);
    engine::RenderTarget* target = made->GetMainRenderTarget();
    ASSERT_NE(target, nullptr);
    for (const int type : TurnAnnouncer::kWalkerTypes) {
        for (int kind = 1; kind <= 4; ++kind) {
            ASSERT_TRUE(scene.CreateWalker(type, kind)) << type;
            for (const float x : {-1.5f, 0.0f, 1.5f}) {
                scene.PlaceWalker(x, -90.0f);
                view->BeginFrame(0xFF000000u);
                scene.Render(*target);
                view->EndFrame();
                made->FrameStep();
            }
        }
    }
    scene.DeleteWalker();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(PlaceholdersMade(), 0) << "materials without their textures:\n" << MaterialsWithoutTheirTextures();
    EXPECT_EQ(RefusedWaitedAnimations(), "");
}

// The campaign record of one mission: the test level's folder.
class OneMission final : public CampaignInfo {
public:
    bool Load(const std::string&) override { return true; }
    std::string GetListedName() const override { return {}; }
    std::string GetSelectedMissionFolder() const override { return "Levels/mixed"; }
    HexCoord GetSelectedStartTile() const override { return {}; }
    bool IsLastMissionSelected() const override { return false; }
    bool AllMissionsGold(int) const override { return false; }
    int GetFinishedMedal() const override { return 0; }
    int GetFinishedMargin() const override { return 0; }
    bool RecordResult(int, int) override { return false; }
    std::string GetSelectedMissionRecord() const override { return {}; }
    std::pair<int, int> GetStartCash() const override { return {0, 0}; }
};

// The whole battle of two mixed sides (soldiers, a grenadier, tanks, artillery, an anti-air vehicle and a
// fighter) played by the commander on both sides, on the shipped models, at 50 frames a game second.
class MixedBattleTest : public ShippedDataTest {
protected:
    static constexpr std::chrono::nanoseconds kFrame{20'000'000};
    static constexpr int kBusyLimitFrames = 30 * 50;

    MixedBattleTest() {
        // The test level has no level model of its own: the box stands for it.
        useSceneLevel = false;
        engineClock = [this] { return now; };
        parts.createCampaign = [](void*) -> std::unique_ptr<CampaignInfo> { return std::make_unique<OneMission>(); };
    }

    // Runs frames of the game, drawn, until `done` answers true after one (true) or `limit` frames have run
    // (false). Each frame moves the clock on by 20 ms and counts each unit's run of busy frames.
    bool RunUntil(const std::function<bool()>& done, int limit) {
        int frames = 0;
        bool reached = false;
        afterFrame = [&](int) {
            now += kFrame;
            CountBusy();
            reached = done();
            if (reached || ++frames >= limit || !faults.empty()) game->RequestQuit();
        };
        quitAfterFrame = false;
        game->RunMainLoop();
        afterFrame = nullptr;
        return reached;
    }

    void CountBusy() {
        TeamManager* teams = game->GetTeamManager();
        for (int slot = 0; teams != nullptr && slot < kTeamKindCount; ++slot) {
            Team* team = teams->GetTeam(slot);
            for (int i = 0; team != nullptr && i < kMaxTeamUnits; ++i) {
                Unit* unit = team->GetUnit(i);
                if (unit == nullptr) continue;
                if (!unit->IsBusy()) {
                    busyFrames.erase(unit->GetId());
                } else if (++busyFrames[unit->GetId()] == kBusyLimitFrames) {
                    faults.push_back("day " + std::to_string(teams->GetDay()) + ": unit " + std::to_string(unit->GetId()) +
                                     " of type " + std::to_string(unit->GetType()) + " at " +
                                     FormatHexLabel(unit->GetHexPos()) + " busy for 30 s (animation \"" +
                                     unit->GetView().GetAnimationName() + "\")");
                }
            }
        }
    }

    std::chrono::nanoseconds now{1'000'000'000};
    std::map<int, int> busyFrames;
    std::vector<std::string> faults;
};

std::string SourceFile(const std::string& path) {
    std::ifstream in(std::string(TINMARCH_SOURCE_DIR) + "/tests/data/" + path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(MixedBattleTest, TheWholeBattleEndsWithNoUnitBusyForMoreThan30Seconds) {
    // Loose files beside a mounted archive lie in the base folder itself.
    std::vector<std::uint8_t> map;
    std::string error;
    ASSERT_TRUE(BuildHexMapFromSource(SourceFile("levels/mixed/GameMap.src"), map, error)) << error;
    const std::filesystem::path folder = std::filesystem::path(engine::GetDataFolderNarrow()) / "Levels" / "mixed";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "GameMap.Hex", std::ios::binary).write(reinterpret_cast<const char*>(map.data()),
                                                                  static_cast<std::streamsize>(map.size()));
    std::ofstream(folder / "Mission.TXT", std::ios::binary) << SourceFile("levels/mixed/Mission.TXT");
    ASSERT_EQ(game->SelectCampaign("mixed"), 1);
    game->SetState(kGameLoadCampaign);
    RunUntil([] { return true; }, 1);
    ASSERT_NE(game->GetLevel(), nullptr);
    TeamManager& teams = *game->GetTeamManager();
    const auto ended = [&] { return game->GetState() == kGameWon || game->GetState() == kGameLost; };
    testsupport::Commander commander(teams, game->GetLevel()->GetHexMap(), [&] {
        const bool settled =
            RunUntil([&] { return game->GetState() != kGameSideTurn || !teams.IsBusy(); }, 5000);
        EXPECT_TRUE(settled || !faults.empty()) << "the game never settled";
        return settled && game->GetState() == kGameSideTurn;
    });
    for (int turn = 0; turn < 400 && faults.empty() && !ended() && teams.GetDay() <= 20; ++turn) {
        if (!RunUntil([&] { return ended() || (game->GetState() == kGameSideTurn && !teams.IsBusy()); }, 30000)) break;
        if (ended()) break;
        if (commander.PlayTurn() && game->GetState() == kGameSideTurn) game->SetState(kGameBetweenTurns);
    }
    const int state = game->GetState();
    EXPECT_TRUE(state == kGameWon || state == kGameLost) << "state " << state << " day " << teams.GetDay();
    EXPECT_GT(commander.attacks, 0);
    std::string text;
    for (const std::string& fault : faults) text += fault + "\n";
    EXPECT_EQ(text, "");
    EXPECT_EQ(RefusedWaitedAnimations(), "");
    EXPECT_EQ(PlaceholdersMade(), 0) << "materials without their textures:\n" << MaterialsWithoutTheirTextures();
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, ShippedBattleTest, ::testing::ValuesIn(ShippedLevels()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name;
                             for (char c : info.param) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) name.push_back(c);
                             }
                             return name;
                         });

}  // namespace
}  // namespace core_test
