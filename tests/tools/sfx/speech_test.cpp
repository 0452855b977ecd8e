#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "sfx/speech.h"
#include "sfx/text.h"

namespace {

using namespace sfx;

// A pack source with every slot; `change` replaces the first occurrence of a piece of it.
std::string PackSource(const std::string& from = "", const std::string& to = "") {
    std::string text = "pack Test\nvoice en\nspeed 160\npitch 50\nfilter radio\n";
    for (const std::string& slot : SpeechSlots()) text += slot + " Line " + slot + ".\n";
    if (!from.empty()) text.replace(text.find(from), from.size(), to);
    return text;
}

std::vector<double> Tone(double frequency, double seconds, int rate) {
    std::vector<double> out(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = 0.5 * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / rate);
    return out;
}

double Rms(const std::vector<double>& samples, std::size_t from) {
    double sum = 0.0;
    for (std::size_t i = from; i < samples.size(); ++i) sum += samples[i] * samples[i];
    return std::sqrt(sum / static_cast<double>(samples.size() - from));
}

TEST(Speech, PacksParseInSlotOrder) {
    std::string text = PackSource();
    // Lines in another order come back in slot order.
    const std::string jump = "Jump1 Line Jump1.\n";
    text.erase(text.find(jump), jump.size());
    text += jump;
    const auto packs = ParseSpeech(text, "s");
    ASSERT_EQ(packs.size(), 1u);
    EXPECT_EQ(packs[0].voice, "en");
    EXPECT_EQ(packs[0].speed, 160);
    EXPECT_EQ(packs[0].filter, VoiceFilter::Radio);
    ASSERT_EQ(packs[0].lines.size(), 40u);
    for (std::size_t i = 0; i < 40; ++i) EXPECT_EQ(packs[0].lines[i].slot, SpeechSlots()[i]);
    EXPECT_EQ(packs[0].lines[0].text, "Line Jump1.");
    EXPECT_EQ(SpeechSlots()[39], "Congrats4");
}

TEST(Speech, FaultyLinesAndPacksAreRefused) {
    struct Case {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {PackSource("Line Yes3.", "Caf\xc3\xa9!"), "s:20: a character outside ASCII"},
        {PackSource("Yes3 Line Yes3.", "Yes3"), "s:20: Yes3 has no text"},
        {PackSource("Yes3 Line Yes3.", "Yes3    "), "s:20: Yes3 has no text"},
        {PackSource("Line Yes3.", "-v en"), "s:20: Yes3's text starts with \"-\""},
        {PackSource("Yes3 Line Yes3.", "Yes2 Again."), "s:20: Yes2 is given twice"},
        {PackSource("Congrats3 Line Congrats3.\n", ""), "s: pack \"Test\" has no line for Congrats3"},
        {PackSource("filter radio", "filter echo"), "s:5: unknown filter \"echo\""},
        {PackSource("pitch 50", "pitch 120"), "s:4: \"120\" lies outside"},
        {PackSource("speed 160\n", ""), "s: pack \"Test\" lacks its voice or speed"},
        {"voice en\n", "s:1: \"voice\" before the first pack"},
        {PackSource() + PackSource(), "s:46: pack \"Test\" is named twice"},
        {"# nothing\n", "s: no pack"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        try {
            ParseSpeech(c.text, "s");
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

TEST(Speech, TrimmingLeavesAtMost20MsOfLeadingSilence) {
    constexpr int rate = 22050;
    MonoSound spoken;
    spoken.rate = rate;
    // 0.4 s of near silence (a faint hiss), 0.3 s of voice, 0.4 s of near silence.
    for (int i = 0; i < 8820; ++i) spoken.samples.push_back(static_cast<std::int16_t>(i % 2 == 0 ? 3 : -3));
    for (const double s : Tone(220.0, 0.3, rate)) spoken.samples.push_back(static_cast<std::int16_t>(s * 32767));
    for (int i = 0; i < 8820; ++i) spoken.samples.push_back(0);
    for (const VoiceFilter filter : {VoiceFilter::None, VoiceFilter::Plain, VoiceFilter::Radio, VoiceFilter::Ring, VoiceFilter::Slow}) {
        SCOPED_TRACE(static_cast<int>(filter));
        const auto out = FinishSpeech(spoken, filter);
        std::size_t first = 0;
        while (first < out.size() && std::abs(out[first]) < 104) ++first;  // -50 dBFS
        EXPECT_LE(first, static_cast<std::size_t>(0.02 * rate));
        EXPECT_LT(out.size(), static_cast<std::size_t>((filter == VoiceFilter::Slow ? 1.18 : 1.0) * 0.4 * rate));
        int peak = 0;
        for (const std::int16_t s : out) peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_NEAR(20.0 * std::log10(peak / 32767.0), -3.0, 0.01);
    }
    // Silence stays silence instead of being blown up to the speech level.
    EXPECT_TRUE(TrimSilence(std::vector<double>(100, 0.0), rate) == std::vector<double>(100, 0.0));
}

TEST(Speech, TheRadioFilterTakesAtLeast20DbOff100Hz) {
    constexpr int rate = 22050;
    auto gainDb = [](double frequency) {
        std::vector<double> tone = Tone(frequency, 0.5, rate);
        const double in = Rms(tone, tone.size() / 2);
        ApplyVoiceFilter(VoiceFilter::Radio, rate, tone);
        return 20.0 * std::log10(Rms(tone, tone.size() / 2) / in);
    };
    EXPECT_LT(gainDb(100.0), -20.0);
    EXPECT_LT(gainDb(8000.0), -20.0);
    EXPECT_GT(gainDb(1000.0), -3.0);
}

TEST(Speech, AMissingSpeechProgramIsNamedWithItsPackage) {
    const std::string program = "/nonexistent/espeak-ng";
    for (int step = 0; step < 2; ++step) {
        try {
            if (step == 0) {
                CheckEspeak(program);
            } else {
                RunEspeak(ParseSpeech(PackSource(), "s")[0], "Hello.", program);
            }
            ADD_FAILURE() << "no failure";
        } catch (const Error& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("install the Debian package \"espeak-ng\""), std::string::npos) << message;
            EXPECT_NE(message.find("tools/packages.txt"), std::string::npos) << message;
        }
    }
}

// espeak-ng itself (tools/packages.txt installs it): each pack's voice alone makes a voice of its own (a voice
// setting that espeak-ng ignores would repeat another pack's), each pack's finished line differs, and the same
// settings give the same bytes.
TEST(Speech, EachPacksSettingsSpeakDifferentlyAndRepeatably) {
    const auto packs = ParseSpeech(ReadFile(TINMARCH_SOURCE_DIR "/data/Sound/speech.txt"), "speech.txt");
    ASSERT_EQ(packs.size(), 6u);
    std::set<std::string> voices;
    std::set<std::string> files;
    for (const SpeechPack& pack : packs) {
        SCOPED_TRACE(pack.name);
        SpeechPack voiceOnly = pack;
        voiceOnly.speed = 160;
        voiceOnly.pitch = 50;
        voices.insert(RunEspeak(voiceOnly, "Hold the line."));
        const MonoSound spoken = DecodeWav(RunEspeak(pack, "Hold the line."), pack.name);
        EXPECT_EQ(spoken.rate, 22050);
        const std::string wav = EncodeWav(FinishSpeech(spoken, pack.filter), spoken.rate);
        EXPECT_GT(wav.size(), 44u + 2 * 22050 / 4);
        files.insert(wav);
    }
    EXPECT_EQ(voices.size(), 6u);
    EXPECT_EQ(files.size(), 6u);
    EXPECT_TRUE(RunEspeak(packs[3], "Hold the line.") == RunEspeak(packs[3], "Hold the line."));
}

}  // namespace
