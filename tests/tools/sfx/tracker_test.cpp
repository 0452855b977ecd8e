#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "sfx/tracker.h"

namespace {

using namespace sfx;

// One bar at 120 beats a minute (2 s): a kick on every beat and a long note on the last step, whose tail runs
// past the end of the bar.
const char* const kSong =
    "tempo 120\nloop yes\n"
    "instrument kick seed 4\nlayer sine freq 150 sweep 45 0.08 attack 0.001 decay 0.2 sustain 0 release 0\n"
    "instrument pad key 440\nlayer triangle freq 440 attack 0.01 hold 0.3 release 0.1\n"
    "pattern a\n"
    "kick x . . . x . . . x . . . x . . .\n"
    "pad  . . . . . . . . . . . . . . . A4\n"
    "song a\n";

double Rms(const std::vector<std::int16_t>& stereo, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = 2 * from; i < 2 * to; ++i) sum += static_cast<double>(stereo[i]) * stereo[i];
    return std::sqrt(sum / static_cast<double>(2 * (to - from)));
}

TEST(Tracker, ALoopIsExactlyItsBarsAndItsTailsWrapToTheStart) {
    const Song song = ParseSong(kSong, "song");
    EXPECT_DOUBLE_EQ(song.BarsSeconds(), 2.0);
    const auto samples = RenderSong(song, "song");
    ASSERT_EQ(samples.size(), 2u * 2 * 44100);
    // The kick on each beat: the first 50 ms of every beat is far louder than the 50 ms before it.
    for (std::size_t beat = 1; beat < 4; ++beat) {
        const std::size_t at = beat * 22050;
        EXPECT_GT(Rms(samples, at, at + 2205), 4.0 * Rms(samples, at - 2205, at)) << beat;
    }
    // The pad starts 0.125 s before the end and sounds on over the start, after the kick has died (0.2 s).
    EXPECT_GT(Rms(samples, 9261, 12348), 300.0);
    int peak = 0;
    for (const std::int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_NEAR(20.0 * std::log10(peak / 32767.0), -3.0, 0.01);
    EXPECT_TRUE(samples == RenderSong(ParseSong(kSong, "song"), "song"));
}

TEST(Tracker, ASongThatEndsAddsItsTailAndEndsInSilence) {
    std::string text = kSong;
    text.replace(text.find("loop yes"), 8, "loop no\ntail 0.5");
    const auto samples = RenderSong(ParseSong(text, "song"), "song");
    ASSERT_EQ(samples.size(), 2u * 44100 * 5 / 2);
    EXPECT_LT(Rms(samples, 9261, 12348), 1.0);  // nothing wraps to the start
    EXPECT_TRUE(std::all_of(samples.end() - 2 * 220, samples.end(), [](std::int16_t s) { return s == 0; }));
}

TEST(Tracker, NotesNameTheirFrequencies) {
    EXPECT_DOUBLE_EQ(NoteFrequency("A4"), 440.0);
    EXPECT_DOUBLE_EQ(NoteFrequency("A5"), 880.0);
    EXPECT_NEAR(NoteFrequency("C4"), 261.6256, 1e-4);
    EXPECT_NEAR(NoteFrequency("G#4"), NoteFrequency("Ab4"), 1e-9);
    EXPECT_NEAR(NoteFrequency("A0"), 27.5, 1e-9);
    for (const char* bad : {"H4", "A", "A9", "A#", "Ax4", "a4", "A44"}) EXPECT_EQ(NoteFrequency(bad), 0.0) << bad;
}

TEST(Tracker, FaultsInASongAreRefusedWithTheirLine) {
    const std::string head = "tempo 120\ninstrument k\nlayer sine\npattern a\n";
    struct Case {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {head + "k x . .\nsong a\n", "s:5: the row is not a whole number of bars"},
        {head + "k\nsong a\n", "s:5: the row is not a whole number of bars"},
        {head + "k x . . . . . . . . . . . . . . .\nk x . . . . . . . . . . . . . . . . . . . . . . . . . . . . . . .\n",
         "s:6: the rows of a pattern differ in length"},
        {head + "drum x . . . . . . . . . . . . . . .\n", "s:5: unknown instrument \"drum\""},
        {head + "k x . . . . . . . . . . . . . . H2\n", "s:5: \"H2\" is not a step"},
        {head + "k x . . . . . . . . . . . . . . .\nsong a b\n", "s:6: unknown pattern \"b\""},
        {"tempo 120\nlayer sine\n", "s:2: a layer before any instrument"},
        {"tempo 120\ninstrument k\nsong\n", "s:3: the song plays nothing"},
        {"instrument k\nlayer sine\npattern a\nk x . . . . . . . . . . . . . . .\nsong a\n", "s:0: the song gives no tempo"},
        {"tempo 120\ninstrument k\npattern a\nk x . . . . . . . . . . . . . . .\nsong a\n", "s:0: instrument \"k\" has no layer"},
        {"tempo 120\nloop maybe\n", "s:2: loop is yes or no"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            ParseSong(c.text, "s");
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

}  // namespace
