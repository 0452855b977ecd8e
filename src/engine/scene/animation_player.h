#pragma once
// Plays one record of an animation set against the engine clock and answers which frame to show now. Nodes
// below the player's node take their frame from the nearest player up the tree.
//
// Times are double seconds: float seconds would lose whole milliseconds after a few hours of play.
#include <memory>

#include "engine/core/wide_string.h"
#include "engine/scene/animation_set.h"

namespace engine {

class FrameTimerBase;
class SceneNode;

class AnimationPlayer {
public:
    // The player reads the given timer; null reads the engine's (time 0 while there is no engine).
    explicit AnimationPlayer(SceneNode* node, const FrameTimerBase* timer = nullptr);

    // The cached set; else the node's own set; else, for a type-7 node, its model's skeleton's set; the
    // result is cached. The player holds a reference to the set,
    // so the set lives as long as the player does, whoever else let go of it.
    AnimationSet* GetAnimationSet();
    // Makes the named record current; the start time becomes now and the finished flag clears when the record
    // differs from the current one or restart is set. 0 when there is no set or no such record, else 1.
    int Play(const char* name, bool restart);
    // Start time = now.
    void Restart();
    // The current record's name, or an empty string.
    const WideString& GetCurrentName() const;
    // True when a record is current and its length is at most now - start.
    bool IsPastEnd() const;
    // 0 without a current record; else updates the frame and returns the finished flag, clearing it.
    int TakeFinished();
    // The frame to show now, -1 without a current record. Past the record's end a looping record starts
    // again, a holding one keeps its last frame and a spawning one hands over to its target; each of these
    // sets the finished flag. A record of length 0 or less gives frame 0 and does not loop.
    int GetFrame();

    // Takes over another player's set, current record and start time, with the finished flag clear. When
    // the set is the node's copy of the other's set, pass the copy as ownSet: the current record is then the
    // copy's record at the same position.
    void TakeOver(const AnimationPlayer& other, const std::shared_ptr<AnimationSet>& ownSet);

    SceneNode* GetNode() const { return node_; }
    void SetNode(SceneNode* node) { node_ = node; }
    const FrameTimerBase* GetTimer() const { return timer_; }
    AnimationRecord* GetCurrent() const { return current_; }
    double GetStartTime() const { return start_; }
    bool IsFinished() const { return finished_; }

private:
    double Now() const;

    SceneNode* node_ = nullptr;
    const FrameTimerBase* timer_ = nullptr;
    std::shared_ptr<AnimationSet> set_;
    AnimationRecord* current_ = nullptr;
    double start_ = 0.0;
    bool finished_ = false;
};

}  // namespace engine
