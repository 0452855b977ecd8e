// Battles on every shipped level, drawn by the game's own view over the built archive: the level models,
// units, structures, markers and sky load and draw without a placeholder texture, and no unit asks its model
// for an animation its class waits on that the model lacks.
#include "scene_view_fixture.h"

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/archive_set.h"
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
