// The scene-backed unit and projectile views: prototypes loaded once and cloned per unit, models hung under
// the world or the level model, part lookups, the shared team materials and the private tint, animations
// that hold a walk until they end, shots that follow their projectile, and a level end that leaves nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <memory>
#include <string>

#include "engine/core/frame_timer.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/pick_segment.h"
#include "engine/scene/scene_node.h"
#include "game/units/action_orders.h"
#include "game/units/move_orders.h"
#include "game/units/scene_projectile_view.h"
#include "game/units/scene_unit_view.h"
#include "game/units/scene_unit_view_factory.h"
#include "game/units/unit_assets.h"
#include "game/units/unit_catalogue.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

// A frame timer over a clock the test sets.
struct FakeTime {
    double seconds = 0.0;
    engine::FrameTimer timer{[this] { return std::chrono::nanoseconds(static_cast<long long>(seconds * 1e9)); }};
};

constexpr float kRunSeconds = 0.5f;
constexpr float kJumpSeconds = 0.8f;

engine::AnimationRecord* Record(const char* name, int endMode, float seconds) {
    auto* record = new engine::AnimationRecord;
    record->Init(name);
    record->endMode = endMode;
    record->AddEntry(0, seconds * 0.5f);
    record->AddEntry(1, seconds * 0.5f);
    return record;
}

// Counts the nodes of a tree and, of them, the particle-emitter nodes.
void CountNodes(const engine::SceneNode* node, int& nodes, int& emitters) {
    if (node == nullptr) return;
    ++nodes;
    if (node->GetType() == engine::kNodeEmitter) ++emitters;
    for (int i = 0; i < node->GetChildCount(); ++i) CountNodes(node->GetChild(i), nodes, emitters);
}

engine::SceneNode* Child(engine::SceneNode* parent, std::uint32_t type, const char* name) {
    engine::SceneNode* node = engine::SceneNode::Init(type, name);
    EXPECT_TRUE(parent->AddChild(node));
    return node;
}

// The engine's material and model tables, a world with its explosions node, and a factory whose
// containers are small generated trees: a unit model is a root named by its path holding a "Turret" group
// and a boxed "Body" mesh in the type's tint material with a "TURRET" below it; the root carries "idle",
// "run", "jump" and "dangle" on a clock the test sets. Effects are emitter nodes; projectile models boxes.
class SceneViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine::GetMaterialLib().Init(512, nullptr));
        engine::GetMaterialLib().SetGroupSource([this] { return group; });
        ASSERT_TRUE(engine::ModelTable::Init(64));
        box = engine::CreateBoxModel(engine::Aabb{{-0.5f, 0, -0.5f}, {0.5f, 1, 0.5f}}, engine::WideString("Box"), 0);
        ASSERT_NE(box, 0);
        world = engine::SceneNode::Init(engine::kNodeGroup, "MainWorld");
        explosions = Child(world, engine::kNodeGroup, "MainExplosions");
        levelModel = Child(world, engine::kNodeGroup, "LevelModel");
        UnitSceneHooks hooks;
        hooks.worldNode = [this] { return world; };
        hooks.explosionsNode = [this] { return explosions; };
        hooks.playLevelSound = [this](int sound) { sounds.push_back(sound); };
        hooks.loadContainer = [this](const char* path) { return Make(path); };
        factory = std::make_unique<SceneUnitViewFactory>(std::move(hooks));
        factory->SetLevelModelNode(levelModel);
    }
    void TearDown() override {
        factory.reset();
        world->Destroy();
        engine::ModelTable::Free();
        engine::GetMaterialLib().SetGroupSource(nullptr);
        engine::GetMaterialLib().Free();
    }

    engine::SceneNode* Make(const char* path) {
        if (missing.count(path) != 0) return nullptr;
        const std::string p = path;
        if (p.rfind("Particles/", 0) == 0) return engine::SceneNode::Init(engine::kNodeEmitter, path);
        engine::SceneNode* root = engine::SceneNode::Init(engine::kNodeGroup, path);
        if (p.rfind("Projectiles/", 0) == 0) {
            Child(root, engine::kNodeMesh, "shot")->SetPayload(box);
            return root;
        }
        Child(root, engine::kNodeGroup, "Turret");
        engine::SceneNode* body = Child(root, engine::kNodeMesh, "Body");
        body->SetPayload(box);
        body->SetMaterial(TintMaterialOf(path));
        Child(body, engine::kNodeGroup, "TURRET");
        auto set = std::make_shared<engine::AnimationSet>();
        set->Add(Record("idle", engine::kAnimationLoop, 2.0f));
        set->Add(Record("stoodidle", engine::kAnimationHold, 1.0f));
        set->Add(Record("run", engine::kAnimationLoop, kRunSeconds));
        set->Add(Record("jump", engine::kAnimationHold, kJumpSeconds));
        set->Add(Record("dangle", engine::kAnimationLoop, 1.0f));
        root->SetAnimationSet(set);
        root->CreateAnimationPlayer(&time.timer);
        return root;
    }
    // The type's tint material, made the first time a model of the type is loaded.
    int TintMaterialOf(const char* path) {
        for (const UnitDescriptor& row : UnitCatalogue()) {
            if (std::string(row.prototypePath) != path) continue;
            return engine::GetMaterialLib().Create((std::string("mat ") + row.tintMaterialName).c_str(), 0, 0, 0, 0);
        }
        return 0;
    }
    std::uint32_t ColourOf(int material) const {
        const engine::MaterialDef* def = engine::GetMaterialLib().Get(material);
        return def != nullptr ? def->GetColourF(0).ToArgb() : 0u;
    }
    int WorldNodes() const {
        int nodes = 0;
        int emitters = 0;
        CountNodes(world, nodes, emitters);
        return nodes;
    }
    int WorldEmitters() const {
        int nodes = 0;
        int emitters = 0;
        CountNodes(world, nodes, emitters);
        return emitters;
    }

    FakeTime time;
    int group = 0;
    int box = 0;
    std::set<std::string> missing;
    std::vector<int> sounds;
    engine::SceneNode* world = nullptr;
    engine::SceneNode* explosions = nullptr;
    engine::SceneNode* levelModel = nullptr;
    std::unique_ptr<SceneUnitViewFactory> factory;
};

// --- Factory ---------------------------------------------------------------------------------------------

TEST_F(SceneViewTest, MissingPrototypesFailTheLoadAndAreNamed) {
    missing = {"Units/Grunt/Unit", "Particles/Ricochet", "Projectiles/Grenade"};
    testing::internal::CaptureStderr();
    EXPECT_FALSE(factory->LoadPrototypes());
    const std::string err = testing::internal::GetCapturedStderr();
    // A missing projectile model is no failure: its shots fly without a mesh.
    EXPECT_EQ(factory->GetMissingFiles(), (std::vector<std::string>{"Units/Grunt/Unit", "Particles/Ricochet"}));
    EXPECT_NE(err.find("Units/Grunt/Unit"), std::string::npos);
    EXPECT_NE(err.find("Particles/Ricochet"), std::string::npos);
    EXPECT_EQ(err.find("Grenade"), std::string::npos);
    auto view = factory->CreateView();
    EXPECT_FALSE(view->BuildModel("Units/Grunt/Unit", nullptr));
    EXPECT_TRUE(view->BuildModel("Units/Trooper/Unit", nullptr));

    // Loading again starts afresh, each file once.
    missing.clear();
    const int before = factory->PrototypeCount();
    EXPECT_TRUE(factory->LoadPrototypes());
    EXPECT_TRUE(factory->GetMissingFiles().empty());
    EXPECT_EQ(factory->PrototypeCount(), before + 3);
    factory->FreePrototypes();
    EXPECT_EQ(factory->PrototypeCount(), 0);
    EXPECT_EQ(factory->FindPrototype("Units/Trooper/Unit"), nullptr);
}

TEST_F(SceneViewTest, EveryCatalogueRowBuildsItsModelUnderTheWorldOrTheLevelModel) {
    ASSERT_TRUE(factory->LoadPrototypes());
    for (const UnitDescriptor& row : UnitCatalogue()) {
        SCOPED_TRACE(row.keyword);
        SceneUnitView view(*factory);
        EXPECT_EQ(view.GetModel(), nullptr);  // nothing is owned before the model is built
        ASSERT_TRUE(view.BuildModel(row.prototypePath, row.compositeRootName));
        engine::SceneNode* model = view.GetModel();
        if (row.compositeRootName != nullptr) {
            EXPECT_TRUE(model->GetName().EqualsNarrow(row.compositeRootName));
            EXPECT_EQ(model->GetType(), engine::kNodeGroup);
            ASSERT_EQ(model->GetChildCount(), 1);
            EXPECT_TRUE(model->GetChild(0)->GetName().EqualsNarrow(row.prototypePath));
        } else {
            EXPECT_TRUE(model->GetName().EqualsNarrow(row.prototypePath));
        }
        // A deep clone: never the prototype itself.
        EXPECT_NE(model, factory->FindPrototype(row.prototypePath));
        const bool door = row.type == UT_DOOR;
        view.AttachToWorld(door);
        EXPECT_EQ(model->GetParent(), door ? levelModel : world);
        EXPECT_TRUE(view.IsAttached());
        EXPECT_TRUE(view.PlayAnimation("idle", false));
        EXPECT_STREQ(view.GetAnimationName(), "idle");
        view.Detach();
        EXPECT_FALSE(view.IsAttached());
    }
}

// --- Parts ---------------------------------------------------------------------------------------------------

TEST_F(SceneViewTest, PartLookupsPickTheLastMatchAndOnlyTheModelsNodes) {
    ASSERT_TRUE(factory->LoadPrototypes());
    SceneUnitView view(*factory);
    ASSERT_TRUE(view.BuildModel("Units/LightTank/Unit", nullptr));
    view.AttachToWorld(false);
    engine::SceneNode* body = view.GetModel()->GetChild(1);
    engine::SceneNode* upper = view.GetModel()->GetChild(0);
    engine::SceneNode* lower = body->GetChild(0);

    struct Case {
        const char* text;
        bool containing;
        engine::SceneNode* expected;
    };
    for (const Case& c : {Case{"turret", false, lower}, Case{"Turret", false, lower}, Case{"urre", true, upper},
                          Case{"URR", true, lower}, Case{"body", false, body}, Case{"wheels", false, nullptr}}) {
        SCOPED_TRACE(c.text);
        const int part = c.containing ? view.FindPartContaining(c.text) : view.FindPart(c.text);
        if (c.expected == nullptr) {
            EXPECT_EQ(part, 0);
            continue;
        }
        ASSERT_NE(part, 0);
        engine::Matrix44 m;
        m.SetTranslation(1, 2, 3);
        view.SetPartLocalMatrix(part, m);
        EXPECT_FLOAT_EQ(c.expected->GetLocalMatrix().GetTranslation().y, 2.0f);
        view.SetPartLocalMatrix(part, engine::Matrix44{});
    }

    // The turret under the body moves up to the root and keeps its handle; flags go on and off.
    const int turret = view.FindPart("turret");
    view.ReparentPartToRoot(turret);
    EXPECT_EQ(lower->GetParent(), view.GetModel());
    EXPECT_EQ(view.FindPart("TURRET"), turret);
    view.SetPartFlags(turret, kNodeFlagNothingToDraw, true);
    EXPECT_NE(lower->GetFlags() & engine::kNodeNothingToDraw, 0u);
    view.SetPartFlags(turret, kNodeFlagNothingToDraw, false);
    EXPECT_EQ(lower->GetFlags() & engine::kNodeNothingToDraw, 0u);

    // A passenger hung under its carrier is placed by a world matrix: its parts follow at once.
    engine::Matrix44 carried;
    carried.SetTranslation(5, 6, 7);
    view.SetWorldMatrix(carried);
    EXPECT_FLOAT_EQ(view.GetWorldMatrix().GetTranslation().y, 6.0f);
    EXPECT_FLOAT_EQ(view.GetPartWorldMatrix(view.FindPart("body")).GetTranslation().z, 7.0f);

    // Picking: the model's nodes and the effects it carries, not the world or another unit.
    SceneUnitView other(*factory);
    ASSERT_TRUE(other.BuildModel("Units/LightTank/Unit", nullptr));
    other.AttachToWorld(false);
    const int smoke = view.CreateEffectNode("Particles/tank_track_smoke");
    ASSERT_NE(smoke, 0);
    view.HangEffectNode(smoke, engine::Matrix44{});
    EXPECT_TRUE(view.ContainsNode(lower));
    EXPECT_TRUE(view.ContainsNode(view.GetModel()));
    EXPECT_TRUE(view.ContainsNode(view.GetModel()->GetChild(view.GetModel()->GetChildCount() - 1)));
    EXPECT_FALSE(view.ContainsNode(world));
    EXPECT_FALSE(view.ContainsNode(other.GetModel()->GetChild(1)));
    EXPECT_FALSE(view.ContainsNode(nullptr));
}

// --- Team colour -----------------------------------------------------------------------------------------

class SceneUnitsTest : public SceneViewTest {
protected:
    void SetUp() override {
        SceneViewTest::SetUp();
        ASSERT_TRUE(data.Write("Units/BasicParams.TXT", ProjectTable("BasicParams.TXT")));
        ASSERT_TRUE(data.Write("Units/Damage.TXT", ProjectTable("Damage.TXT")));
        ASSERT_EQ(LoadUnitAssets(battle, factory.get()), 1);
    }
    void TearDown() override {
        battle.RemoveAll();
        FreeUnitAssets();
        SceneViewTest::TearDown();
    }
    static SceneUnitView& ViewOf(const Unit& unit) { return static_cast<SceneUnitView&>(unit.GetView()); }
    static const engine::SceneNode* BodyOf(const Unit& unit) {
        return ViewOf(unit).GetModel()->FindDescendant(engine::WideString("Body"));
    }

    DataFolder data;
    FakeUnitBattle battle;
    FakeTeam blue{kTeamBlue, 0xFF3C3CFFu};
    FakeTeam enemy{kTeamEnemy, 0xFFFF3C3Cu};
};

TEST_F(SceneUnitsTest, OneSidesUnitsShareATeamMaterialAndAHitTintsOneUnit) {
    const int materialsBefore = engine::GetMaterialLib().LiveCount();
    std::vector<Unit*> tanks;
    for (int i = 0; i < 48; ++i) tanks.push_back(&battle.Make(UT_LIGHT_TANK, &blue, H(i % 12, i / 12)));
    Unit& foe = battle.Make(UT_LIGHT_TANK, &enemy, H(0, 5));
    Unit& grunt = battle.Make(UT_GRUNT, &blue, H(1, 5));

    // One shared material per type and side; a private tint clone per unit.
    EXPECT_EQ(factory->TeamMaterialCount(), 3);
    EXPECT_EQ(engine::GetMaterialLib().LiveCount(), materialsBefore + 3 + 50);
    const int shared = ViewOf(*tanks[0]).GetTeamMaterialHandle();
    ASSERT_NE(shared, 0);
    EXPECT_EQ(ColourOf(shared), 0xFF3C3CFFu);
    EXPECT_NE(ViewOf(foe).GetTeamMaterialHandle(), shared);
    EXPECT_EQ(ColourOf(ViewOf(foe).GetTeamMaterialHandle()), 0xFFFF3C3Cu);
    EXPECT_NE(ViewOf(grunt).GetTeamMaterialHandle(), shared);
    for (Unit* tank : tanks) {
        EXPECT_EQ(ViewOf(*tank).GetTeamMaterialHandle(), shared);
        EXPECT_EQ(ViewOf(*tank).GetShownMaterial(), shared);
        // The body draws the shared material in place of its own.
        EXPECT_EQ(BodyOf(*tank)->GetSwapTo(), shared);
    }

    // A flash on one unit: its own material changes and shows; the others and the shared one stay.
    tanks[7]->GetView().SetTint(0xFFFFFFFFu, true);
    const SceneUnitView& hit = ViewOf(*tanks[7]);
    EXPECT_EQ(hit.GetShownMaterial(), hit.GetTintMaterialHandle());
    EXPECT_EQ(ColourOf(hit.GetTintMaterialHandle()), 0xFFFFFFFFu);
    EXPECT_EQ(BodyOf(*tanks[7])->GetSwapTo(), hit.GetTintMaterialHandle());
    EXPECT_EQ(ColourOf(shared), 0xFF3C3CFFu);
    EXPECT_EQ(ViewOf(*tanks[6]).GetShownMaterial(), shared);
    tanks[7]->GetView().SetTint(0, false);
    EXPECT_EQ(hit.GetShownMaterial(), shared);
}

TEST_F(SceneUnitsTest, EveryTypesUnitStandsInTheSceneAndIsPickedByItsModel) {
    std::vector<Unit*> units;
    for (const UnitDescriptor& row : UnitCatalogue()) {
        Unit& unit = battle.Make(row.type, row.type % 2 == 0 ? &blue : &enemy, H((row.type - 1) % 8 + 2, (row.type - 1) / 8 * 3 + 2));
        units.push_back(&unit);
    }
    battle.Tick();
    for (Unit* unit : units) {
        SCOPED_TRACE(unit->GetType());
        const SceneUnitView& view = ViewOf(*unit);
        EXPECT_EQ(view.GetModel()->GetParent(), unit->IsDoor() ? levelModel : world);
        EXPECT_EQ(ColourOf(view.GetShownMaterial()), unit->GetTeam()->GetColour());
        // A ray straight down onto the unit's place hits its model, and the model names the unit.
        engine::Vec3 at;
        unit->GetAimPoint(at);
        const engine::Vec3 top = view.GetWorldMatrix().GetTranslation();
        engine::Vec3 point;
        float distance = 0.0f;
        engine::PickHit hit;
        ASSERT_EQ(engine::SceneNode::RayPick(point, distance, hit, world, engine::Vec3{top.x, top.y + 5.0f, top.z},
                                             engine::Vec3{0, -10.0f, 0}),
                  1);
        Unit* picked = nullptr;
        for (Unit* other : units) {
            if (other->ContainsNode(hit.node)) picked = other;
        }
        EXPECT_EQ(picked, unit);
    }
}

// A carried grunt's model goes with its APC whichever of the two updates first in the frame: its model is
// drawn at the APC's place and a ray there picks it, while its boarding place is empty.
TEST_F(SceneUnitsTest, APassengersModelFollowsItsCarrierInEitherSlotOrder) {
    for (const bool passengerFirst : {false, true}) {
        SCOPED_TRACE(passengerFirst ? "grunt's slot before the APC's" : "grunt's slot after the APC's");
        Unit* apc = nullptr;
        Unit* grunt = nullptr;
        if (passengerFirst) {
            grunt = &battle.Make(UT_GRUNT, &blue, H(5, 6));
            apc = &battle.Make(UT_APC, &blue, H(5, 5));
        } else {
            apc = &battle.Make(UT_APC, &blue, H(5, 5));
            grunt = &battle.Make(UT_GRUNT, &blue, H(5, 6));
        }
        apc->SetMovementLeft(40.0f);
        grunt->SetMovementLeft(40.0f);
        ASSERT_NE(grunt->QueueOrder(std::make_unique<EmbarkOrder>(apc->GetId())), nullptr);
        battle.TickUntil([&] { return apc->GetPassengerId() == grunt->GetId() && apc->GetOrderCount() == 0; });
        ASSERT_EQ(grunt->GetCarrierId(), apc->GetId());
        const engine::Vec3 boarded = ViewOf(*grunt).GetWorldMatrix().GetTranslation();
        ASSERT_NE(apc->QueueOrder(std::make_unique<MoveOrder>(H(5, 1))), nullptr);
        battle.TickUntil([&] { return apc->GetState() == kUnitIdle && apc->GetOrderCount() == 0; });
        ASSERT_EQ(apc->GetHexPos(), H(5, 1));
        battle.Tick();
        const engine::Vec3 carrier = ViewOf(*apc).GetWorldMatrix().GetTranslation();
        const engine::Vec3 shown = ViewOf(*grunt).GetWorldMatrix().GetTranslation();
        EXPECT_NEAR(shown.x, carrier.x, 1e-4f);
        EXPECT_NEAR(shown.z, carrier.z, 1e-4f);
        EXPECT_NEAR(BodyOf(*grunt)->GetWorldMatrix().GetTranslation().z, carrier.z, 1e-4f);
        // Picking: straight down onto the APC's place the grunt's model is hit; onto its boarding place,
        // nothing of the grunt.
        const auto pickedGrunt = [&](const engine::Vec3& at) {
            engine::Vec3 point;
            float distance = 0.0f;
            engine::PickHit hit;
            const int hits = engine::SceneNode::RayPick(point, distance, hit, ViewOf(*grunt).GetModel(),
                                                        engine::Vec3{at.x, at.y + 5.0f, at.z},
                                                        engine::Vec3{0, -10.0f, 0});
            return hits == 1 && grunt->ContainsNode(hit.node);
        };
        EXPECT_TRUE(pickedGrunt(carrier));
        EXPECT_FALSE(pickedGrunt(boarded));
        battle.RemoveAll();
    }
}

TEST_F(SceneUnitsTest, EndingALevelLeavesNoNodeMaterialOrEmitterBehind) {
    // Mid-walk and mid-shot, the level ends as the game ends it: the units and shots first, then the level's
    // resource group, then the team-material table. Either order of purge and table must leave nothing, and a
    // material made in a purged slot must survive the table's clearing.
    for (const bool purgeFirst : {true, false}) {
        SCOPED_TRACE(purgeFirst);
        engine::MaterialLib& lib = engine::GetMaterialLib();
        const int materials = lib.LiveCount();
        const int models = engine::ModelTable::Count();
        const int nodes = WorldNodes();
        group = 1;
        Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(2, 2));
        battle.Make(UT_LIGHT_TANK, &enemy, H(2, 6));
        Unit& grunt = battle.Make(UT_GRUNT, &enemy, H(5, 5));
        tank.SetMovementLeft(40.0f);
        HexPath route;
        route.start = H(2, 2);
        route.count = 2;
        route.directions[0] = route.directions[1] = 3;
        ASSERT_NE(tank.QueueOrder(std::make_unique<FollowPathOrder>(route)), nullptr);
        for (int i = 0; i < 5; ++i) battle.Tick();
        EXPECT_STREQ(tank.GetView().GetAnimationName(), "run");
        EXPECT_GT(WorldEmitters(), 0);  // the track smoke
        grunt.GetView().SetTint(0xFFFFFFFFu, true);
        auto shot = factory->CreateProjectileView(ProjectileModel::kRocket, true);
        EXPECT_GT(WorldNodes(), nodes);
        EXPECT_GT(lib.LiveCount(), materials);

        shot.reset();
        battle.RemoveAll();
        EXPECT_EQ(WorldNodes(), nodes);
        EXPECT_EQ(WorldEmitters(), 0);
        int stranger = 0;
        if (purgeFirst) {
            lib.PurgeResourceGroup(1);
            engine::ModelTable::PurgeResourceGroup(1);
            group = 0;
            stranger = lib.Create("stranger", 0, 0, 0, 0);  // takes a slot a team material had
            factory->ClearTeamMaterials();
            ASSERT_NE(lib.Get(stranger), nullptr);
            EXPECT_TRUE(lib.Get(stranger)->GetName().EqualsNarrow("stranger"));
            lib.DeleteMaterial(stranger);
        } else {
            factory->ClearTeamMaterials();
            lib.PurgeResourceGroup(1);
            group = 0;
        }
        EXPECT_EQ(factory->TeamMaterialCount(), 0);
        EXPECT_EQ(lib.LiveCount(), materials);
        EXPECT_EQ(engine::ModelTable::Count(), models);
    }
}

TEST_F(SceneUnitsTest, AnAttacksShotIsANodeThatMovesAndIsGoneWhenItHits) {
    Unit& tank = battle.Make(UT_LIGHT_TANK, &blue, H(4, 2));
    Unit& target = battle.Make(UT_LIGHT_TANK, &enemy, H(4, 5));
    battle.Tick();
    for (int i = 0; i < 500 && !tank.AimAtTarget(&target); ++i) tank.UpdateAnimation();
    tank.UpdateAnimation();
    const int before = world->GetChildCount();
    tank.Fire(&target);
    ASSERT_GT(battle.projectiles.CountInFlight(), 0);
    const engine::SceneNode* shot = nullptr;
    for (int i = before; i < world->GetChildCount(); ++i) {
        if (world->GetChild(i)->GetName().EqualsNarrow("Proj")) shot = world->GetChild(i);
    }
    ASSERT_NE(shot, nullptr);
    // The shot is placed when the frame draws it.
    battle.Tick();
    battle.projectiles.DrawAll();
    const engine::Vec3 first = shot->GetWorldMatrix().GetTranslation();
    battle.Tick();
    battle.Tick();
    battle.projectiles.DrawAll();
    EXPECT_GT(shot->GetWorldMatrix().GetTranslation().Sub(first).Length(), 0.0f);
    battle.TickUntil([&] { return battle.projectiles.CountInFlight() == 0; }, 600);
    EXPECT_EQ(battle.projectiles.CountInFlight(), 0);
    for (int i = 0; i < world->GetChildCount(); ++i) EXPECT_FALSE(world->GetChild(i)->GetName().EqualsNarrow("Proj"));
}

// --- Animation -------------------------------------------------------------------------------------------

TEST_F(SceneUnitsTest, AJumpHoldsTheWalkUntilTheModelsAnimationEnds) {
    std::string grid = "weather 2\ngrid 12 12\n";
    for (int r = 0; r < 12; ++r) {
        for (int c = 0; c < 12; ++c) grid += std::string(c == 2 && r == 3 ? "L2" : "L0") + (c + 1 < 12 ? " " : "\n");
    }
    FakeUnitBattle jumpy(grid);
    Unit& grunt = jumpy.Make(UT_GRUNT, &blue, H(2, 2));
    grunt.SetMovementLeft(25.0f);
    HexPath route;
    route.start = H(2, 2);
    route.count = 1;
    route.directions[0] = 3;
    ASSERT_NE(grunt.QueueOrder(std::make_unique<FollowPathOrder>(route)), nullptr);
    for (int i = 0; i < 60; ++i) jumpy.Tick();
    EXPECT_STREQ(grunt.GetView().GetAnimationName(), "jump");
    EXPECT_TRUE(grunt.IsJumping());
    EXPECT_EQ(grunt.GetHexPos(), H(2, 2));  // the model's clock has not moved: the jump is still on
    time.seconds += kJumpSeconds + 0.01;
    jumpy.Tick();
    EXPECT_EQ(grunt.GetHexPos(), H(2, 3));
    EXPECT_FALSE(grunt.IsJumping());
    jumpy.RemoveAll();
}

TEST_F(SceneViewTest, FinishedHoldsUntilAnotherTakeStarts) {
    ASSERT_TRUE(factory->LoadPrototypes());
    SceneUnitView view(*factory);
    EXPECT_TRUE(view.IsAnimationFinished());  // no model: nothing plays
    EXPECT_FALSE(view.PlayAnimation("run", false));
    ASSERT_TRUE(view.BuildModel("Units/Grunt/Unit", nullptr));
    EXPECT_FALSE(view.PlayAnimation("fly", false));
    ASSERT_TRUE(view.PlayAnimation("run", true));
    EXPECT_FALSE(view.IsAnimationFinished());
    EXPECT_FALSE(view.IsAnimationPastEnd());
    time.seconds += kRunSeconds + 0.01;
    // A looping take reports its end once to the player; the view keeps it for every later question.
    EXPECT_TRUE(view.IsAnimationFinished());
    EXPECT_TRUE(view.IsAnimationFinished());
    EXPECT_TRUE(view.IsAnimationPastEnd());
    EXPECT_TRUE(view.PlayAnimation("run", false));  // the same take goes on
    EXPECT_TRUE(view.IsAnimationFinished());
    EXPECT_TRUE(view.PlayAnimation("run", true));
    EXPECT_FALSE(view.IsAnimationFinished());
    EXPECT_TRUE(view.PlayAnimation("dangle", false));
    EXPECT_STREQ(view.GetAnimationName(), "dangle");
    EXPECT_FALSE(view.IsAnimationFinished());
}

// --- Effects -------------------------------------------------------------------------------------------------

TEST_F(SceneViewTest, EffectsAreOwnedByTheViewWhereverTheyHang) {
    ASSERT_TRUE(factory->LoadPrototypes());
    const int nodesBefore = WorldNodes();
    {
        SceneUnitView view(*factory);
        ASSERT_TRUE(view.BuildModel("Units/Engineer/Unit", nullptr));
        view.AttachToWorld(false);
        EXPECT_EQ(view.CreateEffectNode("Particles/NoSuchEffect"), 0);
        const int smoke = view.CreateEffectNode("Particles/tank_track_smoke");
        const int suck = view.CreateEffectNode("Particles/EngineerSuck");
        const int flash = view.CreateEffectNode("Particles/MuzzleFlashSmall");
        ASSERT_TRUE(smoke != 0 && suck != 0 && flash != 0);
        EXPECT_TRUE(smoke != suck && suck != flash);

        engine::Matrix44 at;
        at.SetTranslation(0, 1, 0);
        view.HangEffectNode(smoke, at);
        view.HangEffectInWorld(suck, at);
        EXPECT_EQ(view.GetModel()->GetChild(view.GetModel()->GetChildCount() - 1)->GetType(), engine::kNodeEmitter);
        EXPECT_EQ(world->GetChild(world->GetChildCount() - 1)->GetType(), engine::kNodeEmitter);
        view.StopEffectEmitting(smoke);
        const engine::SceneNode* smokeNode = view.GetModel()->GetChild(view.GetModel()->GetChildCount() - 1);
        EXPECT_TRUE(smokeNode->GetParticleEmitter()->IsStopped());
        EXPECT_TRUE(view.IsEffectFinished(12345));
        view.DetachEffectNode(suck);
        EXPECT_EQ(WorldNodes(), nodesBefore + 5);  // the model's four nodes and the smoke under it; the suck is out

        // The build effect goes under the explosions node, turned to lie flat, with its level sound.
        view.PlayBuildEffect(engine::Vec3{2, 0, 3});
        ASSERT_EQ(explosions->GetChildCount(), 1);
        EXPECT_FLOAT_EQ(explosions->GetChild(0)->GetLocalMatrix().GetTranslation().z, 3.0f);
        EXPECT_EQ(sounds, std::vector<int>{35});
        explosions->GetChild(0)->Destroy();
        (void)flash;  // never hung: owned all the same
    }
    // The view took its model and every effect it made, hung or not.
    EXPECT_EQ(WorldNodes(), nodesBefore);
}

// --- Projectiles -----------------------------------------------------------------------------------------

TEST_F(SceneViewTest, AShotsNodeCarriesItsModelFollowsTheMatrixAndGoesWithTheShot) {
    ASSERT_TRUE(factory->LoadPrototypes());
    const int before = world->GetChildCount();
    struct Case {
        ProjectileModel model;
        bool trail;
        bool mesh;
    };
    for (const Case& c : {Case{ProjectileModel::kRocket, true, true}, Case{ProjectileModel::kGrenade, false, true},
                          Case{ProjectileModel::kNone, false, false}}) {
        SCOPED_TRACE(static_cast<int>(c.model));
        {
            std::unique_ptr<ProjectileView> view = factory->CreateProjectileView(c.model, c.trail);
            auto* scene = dynamic_cast<SceneProjectileView*>(view.get());
            ASSERT_NE(scene, nullptr);
            engine::SceneNode* node = scene->GetNode();
            ASSERT_NE(node, nullptr);
            EXPECT_TRUE(node->GetName().EqualsNarrow("Proj"));
            EXPECT_EQ(node->GetParent(), world);
            EXPECT_EQ(node->GetModelIndex(), c.mesh ? box : 0);
            EXPECT_EQ(scene->GetTrail() != nullptr, c.trail);
            EXPECT_EQ(world->GetChildCount(), before + 1 + (c.trail ? 1 : 0));

            engine::Matrix44 m;
            m.SetTranslation(4, 5, 6);
            view->SetMatrix(m);
            EXPECT_FLOAT_EQ(node->GetWorldMatrix().GetTranslation().x, 4.0f);
            view->SetHidden(true);
            EXPECT_NE(node->GetFlags() & engine::kNodeNothingToDraw, 0u);
            view->SetHidden(false);
            // A shot without a model never shows a default cube.
            EXPECT_EQ((node->GetFlags() & engine::kNodeNothingToDraw) != 0, !c.mesh);
            view->SetTrailMatrix(m);
            if (c.trail) {
                EXPECT_FLOAT_EQ(scene->GetTrail()->GetWorldMatrix().GetTranslation().z, 6.0f);
            }
        }
        EXPECT_EQ(world->GetChildCount(), before);
    }
}

}  // namespace
}  // namespace units_test
