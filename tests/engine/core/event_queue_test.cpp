#include <gtest/gtest.h>

#include "engine/core/event_queue.h"

namespace {

using namespace engine;

void ExpectEvent(EventQueue& queue, std::int32_t code) {
    EngineEvent event{-1, -1, -1};
    ASSERT_TRUE(queue.Pop(event));
    EXPECT_EQ(event.code, code);
    EXPECT_EQ(event.arg0, 0);
    EXPECT_EQ(event.arg1, 0);
}

void ExpectEmpty(EventQueue& queue) {
    EngineEvent event{7, 8, 9};
    EXPECT_FALSE(queue.Pop(event));
    EXPECT_EQ(event.code, 0);
    EXPECT_EQ(event.arg0, 0);
    EXPECT_EQ(event.arg1, 0);
}

TEST(EventQueue, EmptyQueueGivesZeroEvent) {
    EventQueue queue;
    ExpectEmpty(queue);
    queue.Push(kEventQuit);
    ExpectEvent(queue, kEventQuit);
    ExpectEmpty(queue);
}

TEST(EventQueue, FullQueueDropsTheOldest) {
    EventQueue queue;
    for (int i = 1; i <= 101; ++i) queue.Push(i);
    for (int i = 2; i <= 101; ++i) ExpectEvent(queue, i);
    ExpectEmpty(queue);

    // Still first-in first-out after wrapping round.
    for (int i = 0; i < 250; ++i) queue.Push(i);
    for (int i = 150; i < 250; ++i) ExpectEvent(queue, i);
    ExpectEmpty(queue);
}

TEST(EventQueue, MixedCodesKeepTheirOrderAcrossPops) {
    EventQueue queue;
    queue.Push(kEventDeviceReset);
    queue.Push(kEventQuit);
    ExpectEvent(queue, kEventDeviceReset);
    queue.Push(kEventDeviceReset);
    queue.Push(kEventQuit);
    ExpectEvent(queue, kEventQuit);
    ExpectEvent(queue, kEventDeviceReset);
    ExpectEvent(queue, kEventQuit);
    ExpectEmpty(queue);
}

TEST(EventQueue, EngineQueueIsOneObject) {
    EventQueue& queue = EventQueue::Instance();
    EXPECT_EQ(&queue, &EventQueue::Instance());
    queue.Push(kEventQuit);
    ExpectEvent(EventQueue::Instance(), kEventQuit);
}

}  // namespace
