#include "support/gl_test_environment.h"

namespace testsupport {
namespace {
GlTestEnvironment* g_environment = nullptr;
}

GlTestEnvironment& GlEnvironment() { return *g_environment; }

}  // namespace testsupport

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // gtest owns and deletes the environment.
    testsupport::g_environment = new testsupport::GlTestEnvironment();
    ::testing::AddGlobalTestEnvironment(testsupport::g_environment);
    return RUN_ALL_TESTS();
}
