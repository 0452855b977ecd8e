#pragma once
// A small first-in first-out queue through which the platform layer tells the game loop about application
// events: the window pushes quit when it is closed, the main loop pops one event per pass. Main thread only:
// events are pushed from the message pump, never from callbacks that may run on other threads.
#include <cstddef>
#include <cstdint>

namespace engine {

enum EngineEventCode : std::int32_t {
    kEventNone = 0,
    kEventDeviceReset = 1,
    kEventQuit = 3,
};

struct EngineEvent {
    std::int32_t code = kEventNone;
    std::int32_t arg0 = 0;
    std::int32_t arg1 = 0;
};

class EventQueue {
public:
    static constexpr std::size_t kCapacity = 100;

    // The engine's queue.
    static EventQueue& Instance();

    // Appends an event with this code and two zero arguments; when the queue is full the oldest event is lost.
    void Push(std::int32_t code);
    // Takes the oldest event: true, or false with an all-zero event when the queue is empty.
    bool Pop(EngineEvent& event);

private:
    EngineEvent entries_[kCapacity];
    std::size_t first_ = 0;  // index of the oldest entry in the ring
    std::size_t count_ = 0;
};

}  // namespace engine
