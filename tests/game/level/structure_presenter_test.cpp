// The structures' scene on a fixture level with every type, a mirrored Factory and pads, over in-memory
// models: placement, team materials through capture and hand-over, the tint, the pop, snow, fireworks,
// picking, capture markers in a render queue, and nothing left after the level goes.
#include "game/level/scene_structure_presenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/image/colour_gradient.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_node.h"
#include "game/battle/structure_look.h"
#include "game/battle/team_colours.h"
#include "level_fakes.h"

namespace level_test {
namespace {

// Every building, a mirrored Factory and three pads (two at Factories, one at the RepairS) on open land.
const char* const kStructures =
    "structure C3 2 owner 1\n"
    "structure C8 2 owner 2 mirrored\n"
    "structure C12 3\n"
    "structure G3 4 owner 4\n"
    "structure G8 5 owner 1\n"
    "structure G12 6 owner 4\n"
    "structure K3 10\n"
    "structure K8 7 owner 2\n"
    "structure K12 8 owner 1\n"
    "structure N3 9\n"
    "structure N8 11 owner 4\n"
    "structure B3 1\n"
    "structure B8 1\n"
    "structure J8 1\n";

engine::SceneNode* Child(engine::SceneNode* parent, std::uint32_t type, const char* name, int material = 0) {
    engine::SceneNode* node = engine::SceneNode::Init(type, name);
    node->SetMaterial(material);
    parent->AddChild(node);
    return node;
}

class StructurePresenterTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        engine::MaterialLib& lib = engine::GetMaterialLib();
        ASSERT_TRUE(lib.Init(1024, nullptr));
        ASSERT_TRUE(engine::ModelTable::Init(64));
        box = engine::CreateBoxModel({{-0.5f, 0, -0.5f}, {0.5f, 1, 0.5f}}, engine::WideString("Box"), 0);
        ASSERT_NE(box, 0);
        walls = lib.Create("Walls_Buildings_01", 0, 0, 0, 0);
        oil = lib.Create("OIL_PLATFORM", 0, 0, 0, 0);
        concrete = lib.Create("Concrete", 0, 0, 0, 0);
        world = engine::SceneNode::Init(engine::kNodeGroup, "MainWorld");
        explosions = Child(world, engine::kNodeGroup, "MainExplosions");
        firework = engine::SceneNode::Init(engine::kNodeGroup, "Firework");

        for (int type = 1; type <= kMaxStructureType; ++type) presenter.SetStructureModel(type, Model(type));
        battle.level = &structureLevel;
    }
    void TearDown() override {
        structureLevel.Destroy();
        battle.level = &level;
        presenter.FreeStructureModels();
        firework->Destroy();
        world->Destroy();
        LevelTest::TearDown();
        engine::ModelTable::Free();
        engine::GetMaterialLib().Free();
    }

    // A group with a mesh in the type's tintable material, a piece of concrete and a "snow" cap. The Radio
    // has no tintable material at all.
    engine::SceneNode* Model(int type) const {
        engine::SceneNode* root = engine::SceneNode::Init(engine::kNodeGroup, "Structure");
        const int tint = type == kStructureRefinery ? oil : type == kStructureRadio ? concrete : walls;
        engine::SceneNode* body = Child(root, engine::kNodeMesh, "body", tint);
        body->SetPayload(box);
        Child(root, engine::kNodeMesh, "base", concrete)->SetPayload(box);
        Child(root, engine::kNodeGroup, "Snow", concrete);
        return root;
    }

    StructureSceneHooks Hooks() {
        StructureSceneHooks hooks;
        hooks.worldNode = [this] { return world; };
        hooks.addEffect = [this](const char* effect, const engine::Matrix44& placement) {
            effects.emplace_back(effect);
            engine::SceneNode* clone = firework->Clone(true);
            clone->SetLocalMatrix(placement);
            explosions->AddChild(clone);
        };
        hooks.renderQueue = [this] { return &queue; };
        hooks.gameSeconds = [] { return 0.35; };
        hooks.markerModel = [this] { return box; };
        hooks.markerTexture = [] { return 0; };
        return hooks;
    }

    void Load(const std::string& extra = "") {
        WriteLevel(data, "Structures", LandSource(16, std::string(kStructures) + extra), nullptr);
        ASSERT_TRUE(structureLevel.Load("Levels/Structures", nullptr));
    }
    StructureManager& Structures() { return structureLevel.GetStructureManager(); }
    Structure& At(const char* label) {
        Structure* s = Structures().FindAtHex(L(label));
        EXPECT_NE(s, nullptr) << label;
        return *s;
    }
    const SceneStructurePresenter::Shown& Shown(const char* label) {
        const SceneStructurePresenter::Shown* shown = presenter.Find(At(label));
        EXPECT_NE(shown, nullptr) << label;
        return *shown;
    }
    static std::uint32_t Colour0(int material) {
        const engine::MaterialDef* def = engine::GetMaterialLib().Get(material);
        return def != nullptr ? engine::ColourFToArgb(def->GetColourF(0)) : 0u;
    }
    static engine::SceneNode* Body(const SceneStructurePresenter::Shown& shown) { return shown.model->GetChild(0); }

    int box = 0;
    int walls = 0;
    int oil = 0;
    int concrete = 0;
    engine::SceneNode* world = nullptr;
    engine::SceneNode* explosions = nullptr;
    engine::SceneNode* firework = nullptr;
    std::vector<std::string> effects;
    engine::RenderQueue queue{64};
    SceneStructurePresenter presenter{Hooks()};
    Level structureLevel{battle, levelServices, nullptr, &presenter};
};

TEST_F(StructurePresenterTest, EveryModelStandsAtItsMatrixUnderTheWorld) {
    Load();
    EXPECT_EQ(presenter.GetShownCount(), 14);
    const struct {
        const char* label;
        bool threeHex;
        bool mirrored;
    } cases[] = {{"C3", true, false},  {"C8", true, true},    {"C12", true, false}, {"G3", true, false},
                 {"G8", true, false},  {"G12", true, false},  {"K3", true, false},  {"K8", false, false},
                 {"K12", false, false}, {"N3", false, false}, {"N8", false, false},  {"B3", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const SceneStructurePresenter::Shown& shown = Shown(c.label);
        ASSERT_NE(shown.model, nullptr);
        EXPECT_EQ(shown.model->GetParent(), world);
        engine::Vec3 point;
        structureLevel.GetHexMap().GetLevelPoint(point, L(c.label));
        const engine::Matrix44 want = StructureModelMatrix(point, c.threeHex, c.mirrored);
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 3; ++col) {
                EXPECT_NEAR(shown.model->GetLocalMatrix().m[row][col], want.m[row][col], 1e-5f) << row << col;
            }
        }
        EXPECT_EQ(shown.model->GetWorldMatrix().GetTranslation().x, want.GetTranslation().x);
    }
}


TEST_F(StructurePresenterTest, TheOwnersColourIsInTheSwappedMaterialAndFollowsACapture) {
    Load();
    // The Refinery tints its "oil_platform" material, the others "buildings"; the Radio has neither and
    // takes the library's first material.
    EXPECT_EQ(presenter.GetBaseMaterial(kStructureFactory), walls);
    EXPECT_EQ(presenter.GetBaseMaterial(kStructureRefinery), oil);
    EXPECT_EQ(presenter.GetBaseMaterial(kStructureRadio), 1);
    for (const char* label : {"C3", "C8", "C12", "G3", "G8", "G12", "K3", "K8", "K12", "N3", "N8"}) {
        SCOPED_TRACE(label);
        Structure& s = At(label);
        const SceneStructurePresenter::Shown& shown = Shown(label);
        EXPECT_EQ(shown.teamMaterial, presenter.GetTeamMaterial(s.GetType(), s.GetTeam()));
        EXPECT_EQ(shown.applied, shown.teamMaterial);
        EXPECT_EQ(Body(shown)->GetSwapFrom(), presenter.GetBaseMaterial(s.GetType()));
        EXPECT_EQ(Body(shown)->GetSwapTo(), shown.teamMaterial);
        EXPECT_EQ(Colour0(shown.teamMaterial), GetTeamColour(s.GetTeam()));
        EXPECT_NE(shown.own.handle, 0);
        // Producers and the HQ carry a capture-marker material.
        EXPECT_EQ(shown.marker.handle != 0, s.GetType() <= kStructureHQ);
    }
    // One shared material per type and team; the tint works on the structure's own copy.
    EXPECT_NE(Shown("C3").teamMaterial, Shown("C8").teamMaterial);
    EXPECT_NE(Shown("C3").own.handle, Shown("C3").teamMaterial);

    Structure& factory = At("C3");
    factory.AddCaptureProgress(1.0f, 4);
    EXPECT_EQ(Colour0(Shown("C3").applied), GetTeamColour(1));
    factory.AddCaptureProgress(1.0f, 4);
    EXPECT_EQ(factory.GetTeam(), 4);
    EXPECT_EQ(Shown("C3").applied, presenter.GetTeamMaterial(kStructureFactory, 4));
    EXPECT_EQ(Colour0(Body(Shown("C3"))->GetSwapTo()), GetTeamColour(4));
}

TEST_F(StructurePresenterTest, PadsKeepTheirMaterialUntilAHandOverOfTeamTwo) {
    Load();
    for (const char* label : {"B3", "B8", "J8"}) {
        SCOPED_TRACE(label);
        EXPECT_EQ(At(label).GetType(), kStructureBuildPad);
        EXPECT_EQ(Shown(label).applied, 0);
        EXPECT_EQ(Body(Shown(label))->GetSwapTo(), 0);
    }
    // A capture re-owns the pad, whose table entry is still empty: nothing is swapped.
    At("C3").AddCaptureProgress(2.0f, 4);
    EXPECT_EQ(At("B3").GetTeam(), 4);
    EXPECT_EQ(Shown("B3").applied, 0);

    Structures().HandOverTeam2To4();
    for (const char* label : {"B8", "J8"}) {
        SCOPED_TRACE(label);
        EXPECT_EQ(At(label).GetTeam(), 4);
        EXPECT_NE(Shown(label).applied, 0);
        EXPECT_EQ(Colour0(Shown(label).applied), GetTeamColour(4));
    }
    EXPECT_EQ(Colour0(Shown("C8").applied), GetTeamColour(4));
    EXPECT_EQ(Colour0(Shown("K8").applied), GetTeamColour(4));
    // The pads' table is now filled: a later owner change swaps the pad too.
    At("C3").AddCaptureProgress(2.0f, 1);
    EXPECT_EQ(Colour0(Shown("B3").applied), GetTeamColour(1));
}

TEST_F(StructurePresenterTest, SelectionPulsesInTheOwnCopyAndThePopScalesThenReturns) {
    Load();
    Structure& factory = At("C3");
    const SceneStructurePresenter::Shown& shown = Shown("C3");
    const engine::Matrix44 rest = shown.model->GetLocalMatrix();
    factory.SetSelected(2);
    structureLevel.UpdateStructureModels();
    // At the clock's start the pulse stands at white.
    EXPECT_EQ(shown.applied, shown.own.handle);
    EXPECT_EQ(Colour0(shown.own.handle), 0xFFFFFFFFu);
    std::uint32_t tint = 0;
    ASSERT_TRUE(factory.GetTint(tint));
    EXPECT_EQ(Colour0(shown.own.handle), tint);
    factory.SetSelected(0);
    structureLevel.UpdateStructureModels();
    EXPECT_EQ(shown.applied, shown.teamMaterial);

    factory.AddCaptureProgress(2.0f, 4);
    ASSERT_EQ(factory.GetState(), kStructureCaptured);
    structureLevel.UpdateStructureModels();
    const engine::Matrix44& popped = shown.model->GetLocalMatrix();
    EXPECT_NEAR(popped.Row(0).Length(), 2.0f, 1e-5f);
    EXPECT_NEAR(popped.Row(1).Length(), 6.0f, 1e-5f);
    EXPECT_NEAR(popped.Row(2).Length(), 2.0f, 1e-5f);
    EXPECT_EQ(popped.GetTranslation().x, rest.GetTranslation().x);
    for (int i = 0; i < 5; ++i) structureLevel.Update();
    structureLevel.UpdateStructureModels();
    EXPECT_NEAR(shown.model->GetLocalMatrix().Row(0).Length(), 1.5f, 1e-4f);
    // Taken back while the pop runs: the model still returns to where it stood, not to its scaled shape.
    factory.AddCaptureProgress(2.0f, 1);
    ASSERT_EQ(factory.GetTeam(), 1);
    structureLevel.UpdateStructureModels();
    for (int i = 0; i < 10; ++i) structureLevel.Update();
    ASSERT_EQ(factory.GetState(), kStructureNormal);
    structureLevel.UpdateStructureModels();
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) EXPECT_EQ(shown.model->GetLocalMatrix().m[row][col], rest.m[row][col]);
    }
}

TEST_F(StructurePresenterTest, TheMarkerIsQueuedPartWayThroughATwoStepCapture) {
    Load();
    struct Case {
        const char* label;
        float progress;
        int entries;
    };
    // A RepairS needs one capture: it never shows a marker; nor does a building nobody is capturing.
    const Case cases[] = {{"C3", 1.0f, 1}, {"G12", 1.0f, 1}, {"C3", 0.0f, 0}, {"K8", 0.5f, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Structure& s = At(c.label);
        s.SetCapture(c.progress, 2);
        queue.GetDrawList(0).Clear();
        structureLevel.DrawCaptureProgress();
        ASSERT_EQ(queue.GetDrawList(0).Count(), c.entries);
        s.SetCapture(0.0f, 0);
        if (c.entries == 0) continue;
        const engine::DrawEntry& entry = queue.GetDrawList(0).Get(0);
        EXPECT_EQ(entry.material->GetIndex(), Shown(c.label).marker.handle);
        EXPECT_EQ(Colour0(Shown(c.label).marker.handle), GetTeamColour(2));
        const engine::Vec3 at = Shown(c.label).placement.GetTranslation();
        const engine::Matrix44 want = CaptureMarkerMatrix(at, 0.35);
        EXPECT_NEAR(entry.world.m[3][1], at.y + 1.3f, 1e-5f);
        EXPECT_NEAR(entry.world.m[0][0], want.m[0][0], 1e-5f);
    }
}

TEST_F(StructurePresenterTest, SnowShowsOnlyOnASnowMap) {
    for (const bool snowy : {false, true}) {
        SCOPED_TRACE(snowy);
        Level weathered{battle, levelServices, nullptr, &presenter};
        WriteLevel(data, "Weathered", LandSource(16, std::string(kStructures) + (snowy ? "weather 3\n" : "")),
                   nullptr);
        ASSERT_TRUE(weathered.Load("Levels/Weathered", nullptr));
        for (const char* label : {"C3", "K12", "B3"}) {
            const Structure* s = weathered.GetStructureManager().FindAtHex(L(label));
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(presenter.Find(*s)->model->GetChild(2)->IsActive(), snowy) << label;
        }
    }
}

TEST_F(StructurePresenterTest, AFireworkClonesAnEffectAboveTheModel) {
    Load();
    battle.options = 0x10;  // the quality option
    Structures().StartFireworks(true);
    for (int i = 0; i < 100 && effects.empty(); ++i) structureLevel.Update();
    ASSERT_FALSE(effects.empty());
    EXPECT_EQ(effects[0].rfind("Particles/Combo_fireworks_", 0), 0u);
    ASSERT_EQ(explosions->GetChildCount(), static_cast<int>(effects.size()));

    effects.clear();
    presenter.LaunchFirework(At("K12"), 1, {0.25f, 1.5f, -0.25f});
    ASSERT_EQ(effects, std::vector<std::string>{"Particles/Combo_fireworks_green"});
    const engine::Matrix44& placement = explosions->GetChild(explosions->GetChildCount() - 1)->GetLocalMatrix();
    const engine::Vec3 at = Shown("K12").placement.GetTranslation();
    EXPECT_NEAR(placement.m[3][0], at.x + 0.25f, 1e-5f);
    EXPECT_NEAR(placement.m[3][1], at.y + 1.5f, 1e-5f);
    EXPECT_NEAR(placement.m[3][2], at.z - 0.25f, 1e-5f);
    // Turned a quarter back about X: the effect's up axis points along -Z.
    EXPECT_NEAR(placement.m[1][2], -1.0f, 1e-5f);
}

TEST_F(StructurePresenterTest, PickingFindsAStructureFromAnyActiveNodeOfItsModel) {
    Load();
    EXPECT_EQ(Structures().FindByNode(Body(Shown("G8"))), &At("G8"));
    EXPECT_EQ(Structures().FindByNode(Shown("C8").model), &At("C8"));
    EXPECT_EQ(Structures().FindByNode(world), nullptr);
    EXPECT_EQ(Structures().FindByNode(nullptr), nullptr);
    // The snow cap is switched off on this map: it is not a node the player sees.
    EXPECT_EQ(Structures().FindByNode(Shown("G8").model->GetChild(2)), nullptr);
}

TEST_F(StructurePresenterTest, NothingOfTheStructuresIsLeftAfterTheLevelGoes) {
    const int before = engine::GetMaterialLib().LiveCount();
    Load();
    At("C3").AddCaptureProgress(2.0f, 4);
    Structures().HandOverTeam2To4();
    EXPECT_GT(engine::GetMaterialLib().LiveCount(), before);
    const int children = world->GetChildCount();
    EXPECT_EQ(children, 15);
    structureLevel.Destroy();
    EXPECT_EQ(world->GetChildCount(), 1);  // the explosions node
    EXPECT_EQ(engine::GetMaterialLib().LiveCount(), before);
    EXPECT_EQ(presenter.GetShownCount(), 0);
    EXPECT_EQ(presenter.GetTeamMaterial(kStructureFactory, 1), 0);
}

TEST_F(StructurePresenterTest, MissingModelsLeaveWorkingStructuresWithoutAModel) {
    std::vector<std::string> asked;
    StructureSceneHooks hooks = Hooks();
    hooks.loadContainer = [this, &asked](const char* path) -> engine::SceneNode* {
        asked.emplace_back(path);
        return std::string(path) == "Structures/Factory/Factory" ? Model(kStructureFactory) : nullptr;
    };
    SceneStructurePresenter sparse(std::move(hooks));
    EXPECT_FALSE(sparse.LoadStructureModels());
    ASSERT_EQ(asked.size(), 11u);
    EXPECT_EQ(asked[0], "Structures/BuildPad/Pad");
    EXPECT_EQ(asked[10], "Structures/SupplyShed/SupplyShed");
    EXPECT_NE(sparse.GetStructureModel(kStructureFactory), nullptr);
    EXPECT_EQ(sparse.GetStructureModel(kStructureHQ), nullptr);

    Level bare{battle, levelServices, nullptr, &sparse};
    WriteLevel(data, "Structures", LandSource(16, kStructures), nullptr);
    ASSERT_TRUE(bare.Load("Levels/Structures", nullptr));
    Structure* hq = bare.GetStructureManager().FindAtHex(L("G12"));
    ASSERT_NE(hq, nullptr);
    EXPECT_EQ(sparse.Find(*hq)->model, nullptr);
    EXPECT_NE(sparse.Find(*bare.GetStructureManager().FindAtHex(L("C3")))->model, nullptr);
    hq->SetSelected(2);
    hq->AddCaptureProgress(2.0f, 1);
    bare.UpdateStructureModels();
    bare.DrawCaptureProgress();
    sparse.LaunchFirework(*hq, 0, {});
    EXPECT_EQ(hq->GetTeam(), 1);
    EXPECT_EQ(bare.GetStructureManager().FindByNode(world), nullptr);
    bare.Destroy();
    EXPECT_EQ(world->GetChildCount(), 1);
}

}  // namespace
}  // namespace level_test
