// Particle emitters: the count rule and refusals, restart spacing, flight paths, sprite frames, the
// once-per-frame update, stopping, finishing, random spawn shapes, streak tails, and emitters as node
// payloads (cloning, attaching, auto-delete, picking, the render queue).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/random_streams.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/pick_segment.h"
#include "engine/scene/render_queue.h"
#include "render_queue_support.h"
#include "scene_test_support.h"

using namespace engine;

namespace {

ParticleClock g_clock;

// A fixed clock and fixed random streams for every test here.
struct EmitterTest : ::testing::Test {
    void SetUp() override {
        g_clock = {1, 0};
        SetParticleClockSource([] { return g_clock; });
        RandomStreams::Create([] { return 12345u; });
    }
    void TearDown() override {
        SetParticleClockSource(nullptr);
        RandomStreams::Destroy();
    }
    // The next engine frame, dtMs later.
    static void Frame(int dtMs) {
        ++g_clock.frame;
        g_clock.deltaMs = dtMs;
    }
    static ParticleParams Burst(float rate, float life) {
        ParticleParams p;
        p.emissionRate = rate;
        p.particleLife = life;
        p.startSize = 1.0f;
        p.quadSize = 2.0f;
        return p;
    }
};

TEST_F(EmitterTest, CountRuleAndRefusals) {
    struct Case {
        float duration, rate, life;
        int count;  // 0: refused
        bool spacing;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {0.0f, 20.0f, 1.0f, 20, false},  {2.0f, 10.0f, 1.0f, 10, true},   {0.0f, 0.5f, 1.0f, 1, false},
        {2.0f, 10.0f, 5.0f, 20, false},  {0.0f, 65536.0f, 1.0f, 65536, false},
        {0.0f, 65537.0f, 1.0f, 0, false}, {1e30f, 1e30f, 1.0f, 0, false}, {-1.0f, 10.0f, 1.0f, 0, false},
        {0.0f, -5.0f, 1.0f, 0, false},   {0.0f, 10.0f, nan, 0, false},    {0.0f, inf, 1.0f, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.duration << " s at " << c.rate << "/s, life " << c.life);
        ParticleEmitter emitter(nullptr);
        ParticleParams p = Burst(c.rate, c.life);
        p.emissionDuration = c.duration;
        EXPECT_EQ(emitter.Setup(p), c.count > 0);
        EXPECT_EQ(emitter.GetParticleCount(), c.count);
        if (c.count == 0) {
            EXPECT_TRUE(emitter.IsFinished());
            EXPECT_EQ(emitter.GetSprites(), nullptr);
            Frame(16);
            EXPECT_EQ(emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr), 0);
            continue;
        }
        EXPECT_EQ(emitter.HasSpacingOverLife(), c.spacing);
        ASSERT_NE(emitter.GetSprites(), nullptr);
        EXPECT_EQ(emitter.GetSprites()->GetCapacity(), c.count);
    }
    // More colour keys than a gradient holds are refused too.
    ParticleEmitter keys(nullptr);
    ParticleParams p = Burst(1.0f, 1.0f);
    p.colourKeyCount = 9;
    EXPECT_FALSE(keys.Setup(p));
}

TEST_F(EmitterTest, RestartSpacesBirths) {
    for (bool overLife : {false, true}) {
        ParticleEmitter emitter(nullptr);
        ParticleParams p = Burst(10.0f, overLife ? 1.0f : 5.0f);
        p.emissionDuration = 2.0f;  // 20 particles over 2 s, or 10 spread over a 1 s life
        ASSERT_TRUE(emitter.Setup(p));
        emitter.SetRestart();
        Frame(0);
        emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr);
        const float spacing = overLife ? 1.0f / 10.0f : 2.0f / 20.0f;
        for (int i = 0; i < emitter.GetParticleCount(); ++i) {
            EXPECT_FLOAT_EQ(emitter.GetParticle(i).time, -(0.000001f + static_cast<float>(i) * spacing)) << i;
        }
        EXPECT_FALSE(emitter.IsRestartPending());
    }
}

TEST_F(EmitterTest, PositionsFollowDragGravityAndRise) {
    struct Case {
        float drag, gravity, rise, age;
        Vec3 expected;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0.0f, 2.0f, {1.0f, 0.0f, 6.0f}},
        {1.0f, 0.0f, 0.0f, 1.0f, {1.0f, 0.0f, 1.5f}},  // (1 - 2^-1) / 1 = 0.5 s of flight at speed 3
        {0.0f, 2.0f, 0.0f, 1.0f, {1.0f, -2.0f, 3.0f}},  // a (0.5 g a + 1) = 2
        {0.0f, 0.0f, 0.5f, 1.0f, {1.0f, 0.5f, 3.0f}},
    };
    for (const Case& c : cases) {
        ParticleEmitter emitter(nullptr);
        ParticleParams p = Burst(1.0f, 10.0f);
        p.drag = c.drag, p.gravity = c.gravity, p.rise = c.rise;
        ASSERT_TRUE(emitter.Setup(p));
        Particle particle;
        particle.origin = {1, 0, 0};
        particle.direction = {0, 0, 1};
        particle.speed = 3.0f;
        const Vec3 at = emitter.PositionAt(particle, c.age);
        EXPECT_NEAR(at.x, c.expected.x, 1e-5f);
        EXPECT_NEAR(at.y, c.expected.y, 1e-5f);
        EXPECT_NEAR(at.z, c.expected.z, 1e-5f);
    }
}

TEST_F(EmitterTest, SpriteFramesByAgeAndByIndex) {
    struct Case {
        int frames, columns, rows, mode;
        float duration;
        float rect[4];  // of particle 1 at 0.55 s
    };
    const Case cases[] = {
        {10, 4, 3, 0, 1.0f, {0.25f, 1 / 3.0f, 0.5f, 2 / 3.0f}},  // frame 5 by age
        {10, 4, 3, 1, 1.0f, {0.25f, 0.0f, 0.5f, 1 / 3.0f}},      // frame 1 by index
        {10, 4, 3, 0, 0.0f, {0, 0, 1, 1}},                       // no duration: frame 0 of the whole texture
        {10, 0, 3, 1, 1.0f, {0, 0, 1, 1}},                       // no columns
        {10, 4, 0, 1, 1.0f, {0, 0, 1, 1}},                       // no rows
        {0, 4, 3, 0, 1.0f, {0, 0, 1, 1}},                        // no sheet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << " frames, " << c.columns << "x" << c.rows << " mode " << c.mode);
        ParticleEmitter emitter(nullptr);
        ParticleParams p = Burst(2.0f, 10.0f);
        p.spriteFrameCount = c.frames, p.spriteColumns = c.columns, p.spriteRows = c.rows;
        p.spriteFrameMode = c.mode, p.spriteDuration = c.duration;
        ASSERT_TRUE(emitter.Setup(p));
        for (int dt : {100, 100, 100, 100, 100, 50}) {
            Frame(dt);
            emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr);
        }
        ASSERT_EQ(emitter.GetQuadCount(), 2);
        const BillboardSprite& s = emitter.GetSprites()->GetItem(1);
        EXPECT_NEAR(s.uMin, c.rect[0], 1e-6f);
        EXPECT_NEAR(s.vMin, c.rect[1], 1e-6f);
        EXPECT_NEAR(s.uMax, c.rect[2], 1e-6f);
        EXPECT_NEAR(s.vMax, c.rect[3], 1e-6f);
    }
}

TEST_F(EmitterTest, UpdatesOncePerFrameAndSetsTheNothingToDrawFlag) {
    scenetest::NodePtr node = scenetest::MakeNode(kNodeEmitter, "fx");
    ParticleEmitter& emitter = *node->GetParticleEmitter();
    ParticleParams p = Burst(3.0f, 1.0f);
    p.emissionDuration = 10.0f;
    p.speedMin = 1.0f;
    ASSERT_TRUE(emitter.Setup(p));
    emitter.SetRestart();
    Frame(100);
    emitter.UpdateOncePerFrame(IdentityMatrix(), node.get());
    EXPECT_EQ(emitter.GetQuadCount(), 1);  // births at 0, 1/3 and 2/3 s
    EXPECT_EQ(node->GetFlags() & kNodeNothingToDraw, 0u);
    const float time = emitter.GetParticle(0).time;
    EXPECT_EQ(emitter.UpdateOncePerFrame(IdentityMatrix(), node.get()), 0);
    EXPECT_FLOAT_EQ(emitter.GetParticle(0).time, time);

    // Nothing born yet: nothing to draw.
    emitter.SetRestart();
    Frame(0);
    emitter.UpdateOncePerFrame(IdentityMatrix(), node.get());
    EXPECT_EQ(emitter.GetQuadCount(), 0);
    EXPECT_NE(node->GetFlags() & kNodeNothingToDraw, 0u);
}

TEST_F(EmitterTest, AStoppedSpriteEmitterBearsNoMoreButStreaksGoOn) {
    for (int kind : {kParticleSprites, kParticleStreaks}) {
        ParticleEmitter emitter(nullptr);
        ParticleParams p = Burst(2.0f, 1.0f);
        p.emissionDuration = 10.0f;
        p.quadKind = kind;
        ASSERT_TRUE(emitter.Setup(p));
        emitter.SetRestart();
        Frame(100);
        emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr);  // the first is born
        emitter.StopEmitting();
        for (int f = 0; f < 8; ++f) {
            Frame(100);
            emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr);  // the second's turn comes at 0.5 s
        }
        EXPECT_EQ(emitter.GetQuadCount(), kind == kParticleSprites ? 1 : 2) << kind;
        // The streak counter wraps to -count when it reaches the count.
        EXPECT_EQ(emitter.GetSpawnCounter(), kind == kParticleSprites ? 1 : -2) << kind;
    }
}

TEST_F(EmitterTest, ABurstFinishesAfterOneLife) {
    ParticleEmitter emitter(nullptr);
    ParticleParams p = Burst(20.0f, 1.0f);
    p.deleteWhenFinished = 1;
    ASSERT_TRUE(emitter.Setup(p));
    emitter.SetRestart();
    int finishedAt = -1;
    for (int f = 1; f <= 15 && finishedAt < 0; ++f) {
        Frame(100);
        const int finished = emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr);
        if (f == 1) {
            EXPECT_EQ(emitter.GetQuadCount(), 20);
        }
        if (finished != 0) finishedAt = f;
    }
    EXPECT_EQ(finishedAt, 11);  // alive through 1.0 s, gone in the frame after
    EXPECT_TRUE(emitter.IsFinished());
}

TEST_F(EmitterTest, ATinyLifeIsRebornWithoutLooping) {
    ParticleEmitter emitter(nullptr);
    ParticleParams p = Burst(1.0f, 1e-6f);
    p.emissionDuration = 1e6f;
    ASSERT_TRUE(emitter.Setup(p));
    Frame(100);
    emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr);
    Frame(100);
    emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr);
    EXPECT_LE(emitter.GetParticle(0).time, 1e-6f);
}

TEST_F(EmitterTest, SpawnShapesStayWithinTheirRadiiAndCones) {
    struct Case {
        int positionMode, directionMode;
    };
    for (const Case c : {Case{1, 0}, Case{2, 1}, Case{2, 2}}) {
        SCOPED_TRACE(testing::Message() << "position " << c.positionMode << " direction " << c.directionMode);
        ParticleEmitter emitter(nullptr);
        ParticleParams p = Burst(10000.0f, 5.0f);
        p.positionMode = c.positionMode, p.directionMode = c.directionMode;
        p.positionRadiusMin = 1.0f, p.positionRadiusMax = 2.0f;
        p.coneAngleMin = 10.0f, p.coneAngleMax = 20.0f;
        p.speedMode = 1, p.speedMin = 2.0f, p.speedMax = 4.0f;
        ASSERT_TRUE(emitter.Setup(p));
        Matrix44 placement;
        placement.InitRotationY(90.0f);  // forward is +X
        placement.SetTranslation(5, 0, 0);
        const Vec3 forward = placement.Row(2);
        Frame(10);
        emitter.UpdateOncePerFrame(placement, nullptr);
        ASSERT_EQ(emitter.GetSpawnCounter(), 10000);
        int outside = 0;
        for (int i = 0; i < emitter.GetParticleCount(); ++i) {
            const Particle& q = emitter.GetParticle(i);
            const Vec3 offset = q.origin.Sub(placement.GetTranslation());
            const float radius = offset.Length();
            bool ok = radius >= 1.0f - 1e-4f && radius <= 2.0f + 1e-4f && q.speed >= 2.0f && q.speed <= 4.0f;
            if (c.positionMode == 1) ok = ok && offset.Dot(forward) >= -1e-4f;
            const Vec3 axis = c.directionMode == 0 ? forward : offset.Scale(1.0f / radius);
            const float angle = std::acos(std::fmin(1.0f, q.direction.Dot(axis))) * 57.29578f;
            if (c.directionMode == 2) {
                ok = ok && angle < 0.1f;
            } else {
                ok = ok && angle >= 10.0f - 0.1f && angle <= 20.0f + 0.1f;
            }
            outside += ok ? 0 : 1;
        }
        EXPECT_EQ(outside, 0);
    }
}

TEST_F(EmitterTest, StreaksCarryTheLaggedTail) {
    ParticleEmitter emitter(nullptr);
    ParticleParams p = Burst(1.0f, 2.0f);
    p.quadKind = kParticleStreaks;
    p.speedMin = 1.0f;
    p.trailLag = 0.2f;
    p.sizeMode = 1, p.startSize = 1.0f, p.endSize = 3.0f;
    p.colourKeyCount = 2, p.colourKeys[0] = 0xFF000000u, p.colourKeys[1] = 0xFFFF0000u;
    ASSERT_TRUE(emitter.Setup(p));
    Frame(100);
    emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr);
    for (int f = 0; f < 4; ++f) {
        Frame(100);
        emitter.UpdateOncePerFrame(IdentityMatrix(), nullptr);
    }
    ASSERT_EQ(emitter.GetStreaks()->GetCount(), 1);
    const BillboardSegment& s = emitter.GetStreaks()->GetItem(0);
    const float t = emitter.GetParticle(0).time;  // 0.5 s
    EXPECT_NEAR(s.b.position.z, t, 1e-5f);
    EXPECT_NEAR(s.a.position.z, t - 0.2f, 1e-5f);
    // Widths from the size at each end's age; the tail colour mixes the life fraction with the lag.
    EXPECT_NEAR(s.b.halfWidth, 0.5f * (1.0f + 2.0f * t / 2.0f), 1e-5f);
    EXPECT_NEAR(s.a.halfWidth, 0.5f * (1.0f + 2.0f * (t - 0.2f) / 2.0f), 1e-5f);
    EXPECT_EQ(s.a.colour, 0xFF000000u | (static_cast<std::uint32_t>(255.0f * (t / 2.0f - 0.2f)) << 16));
}

// ---- Emitters as node payloads ----

TEST_F(EmitterTest, ClonesAndAttachedEmittersRestart) {
    scenetest::NodePtr root = scenetest::MakeNode(kNodeGroup, "root");
    scenetest::NodePtr fx = scenetest::MakeNode(kNodeEmitter, "fx");
    ParticleEmitter& emitter = *fx->GetParticleEmitter();
    ParticleParams p = Burst(5.0f, 1.0f);
    p.gravity = 3.0f;
    ASSERT_TRUE(emitter.Setup(p));
    emitter.SetPlayForward(0);
    fx->SetActive(false);
    EXPECT_FALSE(emitter.IsRestartPending());

    scenetest::NodePtr copy(fx->Clone(false));
    ParticleEmitter* cloned = copy->GetParticleEmitter();
    ASSERT_NE(cloned, nullptr);
    EXPECT_NE(cloned, &emitter);
    EXPECT_FLOAT_EQ(cloned->GetParams().gravity, 3.0f);
    EXPECT_EQ(cloned->GetParticleCount(), 5);
    EXPECT_EQ(cloned->GetPlayForward(), 0);
    EXPECT_TRUE(cloned->IsRestartPending());

    SceneNode* attached = fx.release();
    ASSERT_TRUE(root->AddChild(attached));
    EXPECT_TRUE(emitter.IsRestartPending());
    EXPECT_TRUE(attached->IsActive());

    // An emitter group restarts its children's emitters; a group clone stays a group.
    SceneNode* group = scenetest::AddNode(root.get(), "group", kNodeGroup);
    SceneNode* spark = scenetest::AddNode(group, "spark", kNodeEmitter);
    spark->GetParticleEmitter()->Setup(p);
    group->SetEmitterAutoDelete(true);
    EXPECT_EQ(group->GetType(), kNodeEmitter);
    EXPECT_EQ(group->GetParticleEmitter(), nullptr);
    EXPECT_EQ(spark->GetParticleEmitter()->GetParams().deleteWhenFinished, 1);
    scenetest::NodePtr groupCopy(group->Clone(true));
    EXPECT_EQ(groupCopy->GetType(), kNodeEmitter);
    EXPECT_EQ(groupCopy->GetParticleEmitter(), nullptr);
    scenetest::NodePtr other = scenetest::MakeNode(kNodeGroup, "other");
    Frame(10);
    spark->GetParticleEmitter()->UpdateOncePerFrame(IdentityMatrix(), nullptr);
    EXPECT_FALSE(spark->GetParticleEmitter()->IsRestartPending());
    ASSERT_TRUE(other->AddChild(group));
    EXPECT_TRUE(spark->GetParticleEmitter()->IsRestartPending());

    // Without any emitter below, a node keeps its type.
    SceneNode* plain = scenetest::AddNode(root.get(), "plain", kNodeGroup);
    plain->SetEmitterAutoDelete(true);
    EXPECT_EQ(plain->GetType(), kNodeGroup);
}

class EmitterQueueTest : public scenetest::QueueTest {
protected:
    void SetUp() override {
        QueueTest::SetUp();
        g_clock = {1, 0};
        SetParticleClockSource([] { return g_clock; });
        RandomStreams::Create([] { return 7u; });
    }
    void TearDown() override {
        SetParticleClockSource(nullptr);
        RandomStreams::Destroy();
        QueueTest::TearDown();
    }
};

TEST_F(EmitterQueueTest, AFinishedBurstIsDeletedByTheNextBuildAndNeverDrawn) {
    scenetest::NodePtr root = scenetest::MakeNode(kNodeGroup, "root");
    SceneNode* fx = scenetest::AddNode(root.get(), "burst", kNodeEmitter);
    ParticleParams p;
    p.emissionRate = 4.0f, p.particleLife = 0.3f, p.startSize = 1.0f, p.quadSize = 1.5f;
    p.material = GetMaterialLib().Create("Smoke", 0, 0, 0, 1);
    ASSERT_TRUE(fx->GetParticleEmitter()->Setup(p));
    fx->SetEmitterAutoDelete(true);
    fx->SetLocalMatrix(At(0, 0, 10));
    root->UpdateWorldMatrix();
    RenderQueue queue(16);
    queue.SetScene(root.get());
    int frames = 0;
    while (root->GetChildCount() > 0 && frames < 10) {
        ++frames;
        ++g_clock.frame;
        g_clock.deltaMs = 100;
        queue.Build();
        if (root->GetChildCount() == 0) {
            EXPECT_EQ(queue.GetDrawList(1).Count(), 0);
            break;
        }
        // Alive: one kind-4 entry in the blended list, sized by the quad size, unlit so casting no shadow.
        ASSERT_EQ(queue.GetDrawList(1).Count(), 1);
        const DrawEntry& e = queue.GetDrawList(1).Get(0);
        EXPECT_EQ(e.kind, static_cast<std::uint32_t>(kEntryEmitter));
        EXPECT_FLOAT_EQ(e.radius, 1.5f);
        EXPECT_FLOAT_EQ(e.centre.z, 10.0f);
        EXPECT_NE(e.flags & kEntryNoShadow, 0u);
    }
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(frames, 4);  // born and drawn through 0.3 s, finished in the fourth frame
}

TEST_F(EmitterQueueTest, NestedEmittersArePlacedByTheirParentEmitter) {
    scenetest::NodePtr root = scenetest::MakeNode(kNodeEmitter, "outer");
    root->GetParticleEmitter()->Setup(ParticleParams{});
    SceneNode* inner = scenetest::AddNode(root.get(), "inner", kNodeEmitter);
    ParticleParams p;
    p.emissionRate = 1.0f, p.particleLife = 1.0f;
    ASSERT_TRUE(inner->GetParticleEmitter()->Setup(p));
    root->SetLocalMatrix(At(1, 2, 3));
    inner->SetLocalMatrix(At(10, 0, 0));
    root->UpdateWorldMatrix();
    RenderQueue queue(16);
    queue.SetScene(root.get());
    ++g_clock.frame;
    g_clock.deltaMs = 50;
    queue.Build();
    const Vec3 origin = inner->GetParticleEmitter()->GetParticle(0).origin;
    EXPECT_FLOAT_EQ(origin.x, 1.0f);
    EXPECT_FLOAT_EQ(origin.z, 3.0f);
}

TEST_F(EmitterQueueTest, PickingAnEmitterReportsItsMaterial) {
    scenetest::NodePtr fx = scenetest::MakeNode(kNodeEmitter, "fx");
    ParticleParams p;
    p.emissionRate = 1.0f, p.particleLife = 1.0f;
    p.material = GetMaterialLib().Create("Sparks", 0, 0, 0, 1);
    ASSERT_TRUE(fx->GetParticleEmitter()->Setup(p));
    fx->SetFlags(fx->GetFlags() | kNodePickAsCube);
    fx->UpdateWorldMatrix();
    Vec3 point;
    float distance = 0;
    PickHit hit;
    ASSERT_EQ(SceneNode::RayPick(point, distance, hit, fx.get(), {0, 5, 0}, {0, -10, 0}), 1);
    EXPECT_EQ(hit.node, fx.get());
    EXPECT_EQ(hit.triangle, -1);
    EXPECT_EQ(hit.material, p.material);
}

}  // namespace
