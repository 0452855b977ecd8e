#pragma once
// The game over the whole built archive with the program's screens: the units' views watched for refused
// animations, the shipped level folders, and a shipped level played on a stepped clock.
#include "scene_view_fixture.h"

#include <cctype>
#include <cstdio>
#include <chrono>
#include <filesystem>
#include <functional>
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
#include "game/level/turn_start_events.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/level/level.h"
#include "game/screens/program_screens.h"
#include "game/screens/result_screens.h"
#include "game/screens/shop_zone.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"


namespace core_test {

// The animations a class waits on: when the model lacks one, the class passes it within a tick instead.
inline const std::set<std::string> kWaitedOn = {"die",   "jump",   "embark", "disembark", "getup", "getdown", "stand",
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
inline std::vector<std::string> ShippedLevels() {
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
        if (withScreens) {
            // The game over the program's own screens (zones drawn by the view, textures from the table).
            game.reset();
            FreeUnitAssets();
            liveScreens = std::make_unique<RunningScreens>(*platform);
            parts.screens = liveScreens.get();
            parts.moveChoice = liveScreens->GetMoveChoice();
            game = std::make_unique<Game>(parts);
            liveScreens->AttachGame(*game);
            ASSERT_TRUE(liveScreens->CreateZones());
        }
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
        // income coins, the structure models and the capture marker's spanner.
        ASSERT_TRUE(view->GetTileMarkers().Create());
        ASSERT_GT(engine::TextureTable::Load(kSnowflakeTexture, engine::kMipBox), 0);
        ASSERT_TRUE(view->LoadEffectPrototype(kHelpIconEffect));
        ASSERT_TRUE(HelpIcons::LoadModels(view->GetWorldNode()));
        ASSERT_TRUE(view->LoadEffectPrototype(kIncomeCoinsEffect));
        const int spanner = engine::LoadModel(kSpannerModel);
        const int countdown = engine::TextureTable::Load(kCountdownTexture, engine::kMipBox);
        ASSERT_GT(spanner, 0);
        ASSERT_GT(countdown, 0);
        view->GetSceneStructures().SetMarkerAssets([spanner] { return spanner; }, [countdown] { return countdown; });
        ASSERT_TRUE(view->GetSceneStructures().LoadStructureModels());
    }
    void TearDown() override {
        if (liveScreens != nullptr) liveScreens->Zones().DestroyZones();
        game.reset();
        liveScreens.reset();
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
    // The program's screens instead of the fake (set before SetUp).
    bool withScreens = false;
    std::unique_ptr<RunningScreens> liveScreens;
};

// A shipped level played on a stepped clock (three game ticks a frame) over the program's screens.
class ShippedBattleTest : public ShippedDataTest, public ::testing::WithParamInterface<std::string> {
protected:
    static constexpr std::chrono::nanoseconds kFrame{60'000'000};

    ShippedBattleTest() {
        withScreens = true;
        engineClock = [this] { return now; };
        afterFrame = [this](int) { now += kFrame; };
    }

    // Runs single frames until `done` answers true after one (true) or `limit` frames have run (false).
    bool RunUntil(const std::function<bool()>& done, int limit) {
        quitAfterFrame = true;
        for (int frame = 0; frame < limit; ++frame) {
            game->RunMainLoop();
            if (done()) return true;
        }
        return false;
    }

    template <typename ZoneClass>
    ZoneClass* ZoneOf(ZoneId id) const {
        return FindZone<ZoneClass>(&liveScreens->Zones(), id);
    }

    // A producer with a free pad, of the side whose turn it is when there is one; null when the level has none.
    Structure* ShopStructure() const {
        StructureManager& structures = game->GetLevel()->GetStructureManager();
        const Team* current = game->GetTeamManager()->GetCurrentTeam();
        Structure* any = nullptr;
        for (int slot = 0; slot < kMaxStructures; ++slot) {
            Structure* s = structures.GetStructure(slot);
            if (s == nullptr || !s->IsProducer() || s->FindFreePad() == nullptr) continue;
            if (current != nullptr && s->GetTeam() == current->GetKind()) return s;
            if (any == nullptr) any = s;
        }
        return any;
    }

    std::chrono::nanoseconds now{1'000'000'000};
};

}  // namespace core_test
