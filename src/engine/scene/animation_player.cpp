#include "engine/scene/animation_player.h"

#include <cmath>

#include "engine/core/frame_timer.h"
#include "engine/platform/engine_root.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/skeleton.h"

namespace engine {
namespace {

// A holding record shows the frame just before its end.
constexpr double kHoldBack = 1.1920929e-7;

const WideString& EmptyName() {
    static const WideString empty;
    return empty;
}

}  // namespace

AnimationPlayer::AnimationPlayer(SceneNode* node, const FrameTimerBase* timer) : node_(node), timer_(timer) {}

double AnimationPlayer::Now() const {
    const FrameTimerBase* timer = timer_;
    if (timer == nullptr) {
        Engine* engine = GetEngine();
        timer = engine != nullptr ? engine->GetTimer() : nullptr;
    }
    return timer != nullptr ? timer->GetMilliseconds() * 0.001 : 0.0;
}

AnimationSet* AnimationPlayer::GetAnimationSet() {
    if (set_ == nullptr && node_ != nullptr) set_ = node_->GetAnimationSetShared();
    if (set_ == nullptr && node_ != nullptr && node_->GetType() == kNodeAnimatedMesh) {
        const Model* model = node_->GetModel();
        if (model != nullptr && model->skeleton != nullptr) set_ = model->skeleton->animationSet;
    }
    return set_.get();
}

int AnimationPlayer::Play(const char* name, bool restart) {
    AnimationSet* set = GetAnimationSet();
    if (set == nullptr) return 0;
    AnimationRecord* record = set->Find(name);
    if (record == nullptr) return 0;
    if (record != current_ || restart) {
        start_ = Now();
        finished_ = false;
    }
    current_ = record;
    return 1;
}

void AnimationPlayer::Restart() { start_ = Now(); }

const WideString& AnimationPlayer::GetCurrentName() const {
    return current_ != nullptr ? current_->name : EmptyName();
}

bool AnimationPlayer::IsPastEnd() const {
    if (current_ == nullptr) return false;
    return current_->GetLength() <= Now() - start_;
}

int AnimationPlayer::TakeFinished() {
    if (current_ == nullptr) return 0;
    GetFrame();
    const int finished = finished_ ? 1 : 0;
    finished_ = false;
    return finished;
}

int AnimationPlayer::GetFrame() {
    if (current_ == nullptr) return -1;
    const double now = Now();
    // Each spawn link is followed at most once per record of the set, so a cycle of spawns cannot loop.
    int linksLeft = set_ != nullptr ? set_->RecordCount() : 0;
    double t = now - start_;
    for (;;) {
        const double length = current_->GetLength();
        if (!(length > 0.0)) {
            // fmod(t, 0) is NaN, which would stay in the start time for good.
            if (current_->endMode == kAnimationSpawn && current_->spawnTarget != nullptr && linksLeft > 0) {
                --linksLeft;
                current_ = current_->spawnTarget;
                start_ = now;
                finished_ = true;
                t = 0.0;
                continue;
            }
            finished_ = true;
            return 0;
        }
        if (length > t) return current_->FrameAt(t);
        if (current_->endMode == kAnimationLoop) {
            finished_ = true;
            t = std::fmod(t, length);
            start_ = now - t;
            return current_->FrameAt(t);
        }
        if (current_->endMode == kAnimationSpawn && current_->spawnTarget != nullptr && linksLeft > 0) {
            --linksLeft;
            finished_ = true;
            t = std::fmod(t, length);
            start_ = now - t;
            current_ = current_->spawnTarget;
            continue;
        }
        if (current_->endMode == kAnimationSpawn && current_->spawnTarget == nullptr) {
            return current_->FrameAt(t);  // nothing to hand over to: the last frame, not finished
        }
        // Hold, or a spawn chain that ran out of links.
        finished_ = true;
        return current_->FrameAt(length - kHoldBack);
    }
}

void AnimationPlayer::TakeOver(const AnimationPlayer& other, const std::shared_ptr<AnimationSet>& ownSet) {
    timer_ = other.timer_;
    start_ = other.start_;
    finished_ = false;
    set_ = other.set_;
    current_ = other.current_;
    if (ownSet != nullptr && other.set_ != nullptr && ownSet != other.set_) {
        // A cloned set lists its records in reversed order.
        const int index = other.set_->IndexOf(other.current_);
        set_ = ownSet;
        current_ = index >= 0 ? ownSet->At(ownSet->RecordCount() - 1 - index) : nullptr;
    }
}

}  // namespace engine
