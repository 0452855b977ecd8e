#pragma once
// Emptying the engine's event queue around a test.
#include <vector>

#include "engine/core/event_queue.h"

namespace platformtest {

// The codes of every event waiting in the engine's queue, which is left empty.
inline std::vector<int> DrainEngineEvents() {
    std::vector<int> codes;
    engine::EngineEvent event;
    while (engine::EventQueue::Instance().Pop(event)) codes.push_back(event.code);
    return codes;
}

}  // namespace platformtest
