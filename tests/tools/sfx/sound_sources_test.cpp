// The sound sources in data/: every effect the game names has a recipe that renders, every loop repeats
// without a seam and keeps its level at its ends, the music keeps its lengths and beat, and the six speech
// packs are complete with their own wording.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "sfx/speech.h"
#include "sfx/synth.h"
#include "sfx/text.h"
#include "sfx/tracker.h"

namespace {

using namespace sfx;
namespace fs = std::filesystem;

const std::string kSound = TINMARCH_SOURCE_DIR "/data/Sound";

std::set<std::string> Stems(const std::string& folder) {
    std::set<std::string> out;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".txt") out.insert(entry.path().stem().string());
    }
    return out;
}

double Rms(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

TEST(SoundSources, EveryEffectTheGameNamesHasARecipe) {
    const std::set<std::string> names = {
        // Interface sounds.
        "buttonclick", "ZoomOpen", "yourturn", "Textpopup", "Bleep", "fail", "swish", "ach",
        // Battle sounds; AAFire3 and ChaingunTail2 serve several slots.
        "AAFire4", "RifleSniper", "RifleStandard", "RPGFire2", "GrenadeToss", "MLRSFire", "AAFire3", "ChaingunFire2",
        "ChaingunFire1", "GunRicochet", "HeadShot", "RPGFire1", "ChaingunTail1", "ChaingunTail2", "AAFire1",
        "FlakExplode", "shellexplosion1", "shellexplosion2", "shellexplosion3", "shellexplosion4",
        "UnderwaterExplosion", "helidie", "Footfall_Ground", "TrackedMove", "TrackedStop", "WheeledMove",
        "WheeledStop", "SeaborneMove", "SeaborneStop", "ChopperMove", "HelpIcon", "UnitReady", "KaChing",
        "ReStocked", "JumpWater", "suck", "Captured"};
    ASSERT_EQ(names.size(), 45u);
    EXPECT_EQ(Stems(kSound + "/sfx"), names);
    const std::set<std::string> loops = {"ChaingunFire1", "Footfall_Ground", "TrackedMove", "WheeledMove",
                                          "SeaborneMove",  "ChopperMove",     "suck"};
    for (const std::string& name : names) {
        const Recipe recipe = ParseRecipe(ReadFile(kSound + "/sfx/" + name + ".txt"), name);
        EXPECT_EQ(recipe.IsLoop(), loops.count(name) == 1) << name;
    }
}

TEST(SoundSources, EffectsRenderAndLoopsAreSeamlessAndEven) {
    for (const std::string& name : Stems(kSound + "/sfx")) {
        SCOPED_TRACE(name);
        const Recipe recipe = ParseRecipe(ReadFile(kSound + "/sfx/" + name + ".txt"), name);
        const auto samples = RenderEffect(recipe, name);
        ASSERT_GE(samples.size(), 441u);
        const double seconds = static_cast<double>(samples.size()) / kEffectRate;
        if (!recipe.IsLoop()) {
            // A one-shot is heard within 10 ms.
            const auto start = std::find_if(samples.begin(), samples.end(), [](std::int16_t s) { return std::abs(s) > 104; });
            EXPECT_LE(start - samples.begin(), 220);
            continue;
        }
        EXPECT_GE(seconds, 1.0);
        EXPECT_LE(seconds, 4.0);
        int largest = 0;
        for (std::size_t i = 1; i < samples.size(); ++i) largest = std::max(largest, std::abs(samples[i] - samples[i - 1]));
        EXPECT_LE(std::abs(samples.front() - samples.back()), largest);
        const double whole = Rms(samples, 0, samples.size());
        const std::size_t window = kEffectRate / 10;
        EXPECT_NEAR(20.0 * std::log10(Rms(samples, 0, window) / whole), 0.0, 3.0);
        EXPECT_NEAR(20.0 * std::log10(Rms(samples, samples.size() - window, samples.size()) / whole), 0.0, 3.0);
    }
}

TEST(SoundSources, MusicKeepsItsLengthsAndItsBeat) {
    struct Piece {
        const char* name;
        bool loop;
        double shortest;
        double longest;
    };
    const Piece pieces[] = {{"Theme", true, 45, 90}, {"MenuMusic", true, 30, 60}, {"WinMusic", false, 6, 12},
                            {"LoseMusic", false, 5, 10}};
    EXPECT_EQ(Stems(kSound + "/music"), (std::set<std::string>{"Theme", "MenuMusic", "WinMusic", "LoseMusic"}));
    for (const Piece& piece : pieces) {
        SCOPED_TRACE(piece.name);
        const Song song = ParseSong(ReadFile(kSound + "/music/" + piece.name + ".txt"), piece.name);
        EXPECT_EQ(song.loop, piece.loop);
        const double seconds = song.BarsSeconds() + (song.loop ? 0.0 : song.tail);
        EXPECT_GE(seconds, piece.shortest);
        EXPECT_LE(seconds, piece.longest);
        if (!piece.loop) continue;
        // The beat detector hears a kick on every beat.
        const auto kick = std::find_if(song.instruments.begin(), song.instruments.end(),
                                       [](const Instrument& i) { return i.name == "kick"; });
        ASSERT_NE(kick, song.instruments.end());
        const auto kickIndex = static_cast<std::size_t>(kick - song.instruments.begin());
        std::set<std::size_t> kicked;
        for (const NoteEvent& note : song.notes) {
            if (note.instrument == kickIndex) kicked.insert(note.step);
        }
        for (std::size_t step = 0; step < song.totalSteps; step += static_cast<std::size_t>(song.steps)) {
            EXPECT_EQ(kicked.count(step), 1u) << "beat at step " << step;
        }
    }
}

TEST(SoundSources, SixSpeechPacksWithTheirOwnVoicesAndWords) {
    const auto packs = ParseSpeech(ReadFile(kSound + "/speech.txt"), "speech.txt");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Standard", "en-us+m3"}, {"Pack1", "en+m1"}, {"Pack2", "en-us+f2"},
        {"Pack3", "en+klatt2"},   {"Pack4", "en+f4"}, {"Pack5", "en-us+m7"}};
    ASSERT_EQ(packs.size(), expected.size());
    for (std::size_t p = 0; p < packs.size(); ++p) {
        EXPECT_EQ(packs[p].name, expected[p].first);
        EXPECT_EQ(packs[p].voice, expected[p].second);
    }
    EXPECT_EQ(packs[0].filter, VoiceFilter::Plain);
    EXPECT_EQ(packs[1].filter, VoiceFilter::Radio);
    EXPECT_EQ(packs[3].filter, VoiceFilter::Ring);
    EXPECT_EQ(packs[5].filter, VoiceFilter::Slow);
    // No two packs say the same thing in the same slot.
    for (std::size_t slot = 0; slot < SpeechSlots().size(); ++slot) {
        std::set<std::string> texts;
        for (const SpeechPack& pack : packs) texts.insert(pack.lines[slot].text);
        EXPECT_EQ(texts.size(), packs.size()) << SpeechSlots()[slot];
    }
}

}  // namespace
