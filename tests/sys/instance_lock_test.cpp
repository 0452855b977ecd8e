#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "sys/instance_lock.h"

namespace {

using sys::InstanceLock;

TEST(InstanceLock, OneHolderAtATime) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("instance.lock");
    InstanceLock first;
    InstanceLock second;
    ASSERT_EQ(first.Acquire(path), InstanceLock::Result::kAcquired);
    EXPECT_TRUE(first.IsHeld());
    EXPECT_EQ(second.Acquire(path), InstanceLock::Result::kHeldElsewhere);
    EXPECT_FALSE(second.IsHeld());

    first.Release();
    EXPECT_FALSE(first.IsHeld());
    EXPECT_EQ(second.Acquire(path), InstanceLock::Result::kAcquired);
    // Taking it again through the same object releases the earlier lock first.
    EXPECT_EQ(second.Acquire(path), InstanceLock::Result::kAcquired);
}

TEST(InstanceLock, MissingFolderIsUnavailable) {
    testsupport::TempFolder folder;
    InstanceLock lock;
    EXPECT_EQ(lock.Acquire(folder.File("missing/instance.lock")), InstanceLock::Result::kUnavailable);
    EXPECT_EQ(lock.Acquire(""), InstanceLock::Result::kUnavailable);
    EXPECT_FALSE(lock.IsHeld());
}

}  // namespace
