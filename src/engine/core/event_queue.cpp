#include "engine/core/event_queue.h"

namespace engine {

EventQueue& EventQueue::Instance() {
    static EventQueue queue;
    return queue;
}

void EventQueue::Push(std::int32_t code) {
    if (count_ == kCapacity) {
        first_ = (first_ + 1) % kCapacity;
        --count_;
    }
    entries_[(first_ + count_) % kCapacity] = EngineEvent{code, 0, 0};
    ++count_;
}

bool EventQueue::Pop(EngineEvent& event) {
    if (count_ == 0) {
        event = EngineEvent{};
        return false;
    }
    event = entries_[first_];
    entries_[first_] = EngineEvent{};
    first_ = (first_ + 1) % kCapacity;
    --count_;
    return true;
}

}  // namespace engine
