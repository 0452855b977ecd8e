#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "sfx/synth.h"

namespace {

using namespace sfx;

std::vector<std::int16_t> Effect(const std::string& text) { return RenderEffect(ParseRecipe(text, "test"), "test"); }

double PeakDb(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (const std::int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return 20.0 * std::log10(peak / 32767.0);
}

const char* const kBusyRecipe =
    "class weapon\nlength 0.3\nseed 5\ndelay 0.05 0.4 0.3\n"
    "layer noise attack 0.001 decay 0.2 sustain 0 release 0 lowpass 1500 0.7 drive 3\n"
    "layer saw freq 200 sweep 80 0.1 amp 0.5 tremolo 20 0.5 attack 0.01 hold 0.1 release 0.1 bandpass 600 2\n";

TEST(Synth, TheSameRecipeGivesTheSameSamples) {
    const auto first = Effect(kBusyRecipe);
    EXPECT_EQ(first.size(), 6615u);
    EXPECT_TRUE(first == Effect(kBusyRecipe));
    const std::string loop = "class loop\nlength 1\nlayer noise repeat 0.25 decay 0.1 sustain 0 release 0 highpass 500 1\n";
    EXPECT_TRUE(Effect(loop) == Effect(loop));
}

TEST(Synth, NoiseRepeatsForItsSeedAndChangesWithIt) {
    auto noise = [](int seed) {
        return Effect("class blast\nlength 0.2\nseed " + std::to_string(seed) + "\nlayer noise hold 0.2 release 0\n");
    };
    const auto seven = noise(7);
    EXPECT_TRUE(seven == noise(7));
    const auto eight = noise(8);
    ASSERT_EQ(seven.size(), eight.size());
    std::size_t same = 0;
    for (std::size_t i = 0; i < seven.size(); ++i) same += seven[i] == eight[i] ? 1 : 0;
    EXPECT_LT(same, seven.size() / 20);
}

TEST(Synth, A440SineCrossesZeroWhereComputed) {
    const Recipe recipe = ParseRecipe("class ui\nlength 0.1\nlayer sine freq 440 attack 0 hold 0.1 release 0\n", "sine");
    const std::vector<double> samples = Render(recipe, "sine", kEffectRate);
    ASSERT_EQ(samples.size(), 2205u);
    // Zero crossings lie at k / 880 s: between the samples either side of k * 22050 / 880.
    std::vector<std::size_t> crossings;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if ((samples[i - 1] < 0.0) != (samples[i] < 0.0)) crossings.push_back(i);
    }
    ASSERT_EQ(crossings.size(), 87u);  // 0.1 s of 880 half periods a second, the one at 0 excluded
    for (std::size_t k = 1; k <= crossings.size(); ++k) {
        const double at = static_cast<double>(k) * kEffectRate / 880.0;
        EXPECT_LE(static_cast<double>(crossings[k - 1] - 1), at) << k;
        EXPECT_GE(static_cast<double>(crossings[k - 1]), at) << k;
    }
}

TEST(Synth, LoopLayersThatDoNotRepeatWithinTheLoopAreRefused) {
    struct Case {
        const char* layer;
        bool accepted;
    };
    const Case cases[] = {
        {"layer sine freq 441", true},                       // 441 periods a second
        {"layer sine freq 440.5", false},                    // half a period left over
        {"layer saw freq 55.25", false},
        {"layer noise repeat 0.25 decay 0.1 sustain 0", true},
        {"layer noise repeat 0.3 decay 0.1 sustain 0", false},
        {"layer noise repeat 0.25 times 2 decay 0.1 sustain 0", false},
        {"layer sine freq 300 sweep 100 0.2", false},        // a drone that never comes back to its pitch
        {"layer sine freq 300 sweep 100 0.2 repeat 0.5 decay 0.3 sustain 0", true},
        {"layer noise tremolo 4 0.5", true},
        {"layer noise tremolo 3.3 0.5", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layer);
        const Recipe recipe = ParseRecipe(std::string("class loop\nlength 1\n") + c.layer + "\n", "loop");
        if (c.accepted) {
            EXPECT_NO_THROW(Render(recipe, "loop"));
        } else {
            EXPECT_THROW(Render(recipe, "loop"), Error);
        }
    }
}

TEST(Synth, ALoopsReleaseTailsWrapOntoItsStart) {
    // One burst 0.9 s into a 1 s loop, 0.3 s long: its last 0.2 s belong at the start.
    const auto loop = Effect("class loop\nlength 1\nlayer sine freq 300 start 0.9 repeat 1 attack 0.01 hold 0.1 release 0.19\n");
    ASSERT_EQ(loop.size(), 22050u);
    int largest = 0;
    for (std::size_t i = 1; i < loop.size(); ++i) largest = std::max(largest, std::abs(loop[i] - loop[i - 1]));
    EXPECT_LE(std::abs(loop.front() - loop.back()), largest);
    const auto head = std::max_element(loop.begin(), loop.begin() + 2205, [](auto a, auto b) { return std::abs(a) < std::abs(b); });
    EXPECT_GT(std::abs(*head), 1000);
}

TEST(Synth, PeaksAreSetByClassAndOneShotsEndInSilence) {
    struct Case {
        const char* kind;
        double level;
    };
    const Case cases[] = {{"ui", -6.0}, {"weapon", -1.0}, {"blast", -1.0}, {"loop", -9.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const auto samples = Effect(std::string("class ") + c.kind + "\nlength 1\nlayer square freq 100 amp 3 hold 1\n");
        EXPECT_NEAR(PeakDb(samples), c.level, 0.01);
        EXPECT_LT(*std::max_element(samples.begin(), samples.end()), 32767);
        EXPECT_GT(*std::min_element(samples.begin(), samples.end()), -32767);
        if (std::string(c.kind) != "loop") {
            // A sound still at full level when it ends is faded: its last 5 ms are silent.
            EXPECT_TRUE(std::all_of(samples.end() - 110, samples.end(), [](std::int16_t s) { return s == 0; }));
            EXPECT_NE(samples[10], 0);
        }
    }
}

TEST(Synth, FaultsInARecipeAreRefusedWithTheirLine) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"class ui\nlength 0.1\nlayer sine freq 440 wobble 3\n", "r:3: unknown layer key \"wobble\""},
        {"class ui\nlength 0.1\nlayer organ\n", "r:3: unknown waveform \"organ\""},
        {"class ui\nlength 0.1\nlayer sine freq\n", "r:3: \"freq\" lacks a value"},
        {"class ui\nlength 0.1\nlayer sine freq 4x0\n", "r:3: \"4x0\" is not a number"},
        {"class ui\nlength 0.1\nlayer sine freq -5\n", "r:3: \"-5\" lies outside"},
        {"class ui\nlength 0.1\nlayer sine attack 0 release 0\n", "r:3: the layer's envelope has no length"},
        {"class loud\n", "r:1: unknown class"},
        {"length 0.1\nlayer sine\n", "r:0: the recipe names no class"},
        {"class ui\nlayer sine\n", "r:0: the recipe gives no length"},
        {"class ui\nlength 0.1\n", "r:0: the recipe has no layer"},
        {"class ui\nlength 0.1\nlayer sine\ndelay 0.1 0.5\n", "r:4: delay takes"},
        {"class ui\nlength 0.1\nlayer sine # a comment\nlayer noise # caf\xc3\xa9\n", "r:4: a character outside ASCII"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParseRecipe(c.text, "r");
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
    // A filter above half the rate is caught when rendering.
    EXPECT_THROW(Effect("class ui\nlength 0.1\nlayer noise lowpass 15000 0.7\n"), Error);
}

}  // namespace
