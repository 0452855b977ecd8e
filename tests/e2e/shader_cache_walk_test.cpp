// The disk shader cache through the real program: a start through the main menu into a skirmish fills it, and
// the same walk on a second start with the same cache compiles no shader. With the cache emptied the walk
// compiles again, so the second start's shaders came from the disk and not from anything the process kept.
// A second start through every screen and a battle with its computer's turn neither compiles nor translates
// a shader. Each start gets a fresh user folder: a kept one holds the battle's autosave, which the next
// start resumes, and the walk would not be the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "e2e/battle_walks.h"
#include "e2e/screen_tour.h"
#include "sys/hlsl_compiler.h"
#include "sys/spirv_to_glsl.h"

namespace e2e {
namespace {

TEST(ShaderCacheWalk, ASecondStartCompilesNoShader) {
    ProgramDriver driver;
    const auto compilesOfAStart = [&driver] {
        std::filesystem::remove_all(driver.Folder().File("data"));
        const std::uint64_t before = sys::HlslCompileCount();
        EXPECT_EQ(driver.Run([](ProgramDriver& d) {
            ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
            d.Frames(10);
        }),
                  0);
        return sys::HlslCompileCount() - before;
    };

    const std::uint64_t first = compilesOfAStart();
    EXPECT_GT(first, 0u);
    std::error_code error;
    EXPECT_FALSE(std::filesystem::is_empty(driver.Folder().File("cache/Tinmarch/ShaderCache"), error));
    EXPECT_FALSE(error) << error.message();
    const std::uint64_t second = compilesOfAStart();
    EXPECT_EQ(second, 0u);

    std::filesystem::remove_all(driver.Folder().File("cache"));
    const std::uint64_t emptied = compilesOfAStart();
    EXPECT_EQ(emptied, first);
    std::printf("shader compiles: first start %llu, second %llu, on an emptied cache %llu\n",
                static_cast<unsigned long long>(first), static_cast<unsigned long long>(second),
                static_cast<unsigned long long>(emptied));
}

// Every screen, then a skirmish's first turn and the computer's turn after it: what a player sees first.
TEST(ShaderCacheWalk, EveryShaderOfTheGameComesFromTheCacheOnASecondStart) {
    ProgramDriver driver;
    struct Start {
        std::uint64_t compiles = 0;
        std::uint64_t translations = 0;
    };
    const auto start = [&driver] {
        std::filesystem::remove_all(driver.Folder().File("data"));
        const Start before{sys::HlslCompileCount(), sys::SpirvToGlslCount()};
        EXPECT_EQ(driver.Run([](ProgramDriver& d) {
            TourEveryScreen(d, false);
            ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
            ASSERT_TRUE(EndTurnAndWaitForComputer(d)) << "state " << d.State();
            d.Frames(10);
        }),
                  0);
        return Start{sys::HlslCompileCount() - before.compiles, sys::SpirvToGlslCount() - before.translations};
    };

    const Start first = start();
    EXPECT_GT(first.compiles, 0u);
    EXPECT_GT(first.translations, 0u);
    const Start second = start();
    EXPECT_EQ(second.compiles, 0u);
    EXPECT_EQ(second.translations, 0u);
    std::printf("every screen and a battle: first start %llu compiles, %llu translations; second %llu, %llu\n",
                static_cast<unsigned long long>(first.compiles), static_cast<unsigned long long>(first.translations),
                static_cast<unsigned long long>(second.compiles),
                static_cast<unsigned long long>(second.translations));
}

}  // namespace
}  // namespace e2e
