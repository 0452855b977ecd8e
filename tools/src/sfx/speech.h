#pragma once
// The speech packs: lines spoken by espeak-ng with each pack's voice settings, then trimmed, filtered and set
// to the speech level. The source (data/Sound/speech.txt) lists packs:
//   pack <name>
//   voice <espeak-ng voice>    speed <words per minute>    pitch <0..99>
//   filter none|plain|radio|ring|slow
//   <slot> <text>              one line for each of the 40 slots (Jump1 .. Congrats4), ASCII text
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sfx/wav.h"

namespace sfx {

// The after-filters: none; plain (rumble cut below 80 Hz); radio (a narrow band with a little grit); ring
// (ring modulation, a robot); slow (played 18% slower, so lower, and dulled).
enum class VoiceFilter { None, Plain, Radio, Ring, Slow };

struct SpeechLine {
    std::string slot;
    std::string text;
};

struct SpeechPack {
    std::string name;
    std::string voice;
    int speed = 0;
    int pitch = 0;
    VoiceFilter filter = VoiceFilter::None;
    std::vector<SpeechLine> lines;  // in slot order
};

// The 40 slot names of a pack in slot order: Jump1-4, Select1-8, Yes1-8, Hit1-8, Death1-8, Congrats1-4.
const std::vector<std::string>& SpeechSlots();

// Every pack with all 40 slots exactly once and non-empty text; refused otherwise (Error with the line).
std::vector<SpeechPack> ParseSpeech(std::string_view text, const std::string& source);

inline constexpr const char* kEspeakProgram = "espeak-ng";

// Refused (an Error naming the Debian package) when the program cannot be run.
void CheckEspeak(const std::string& program = kEspeakProgram);
// The WAV bytes espeak-ng writes for the text with the pack's voice, speed and pitch, through a temporary file.
std::string RunEspeak(const SpeechPack& pack, const std::string& text, const std::string& program = kEspeakProgram);

// The samples from 5 ms before the first sound to 50 ms after the last; "sound" is anything within 36 dB of the
// peak. Silence stays as it is.
std::vector<double> TrimSilence(const std::vector<double>& samples, int rate);
// The pack's after-filter on the samples (their rate stays; "slow" makes them longer).
void ApplyVoiceFilter(VoiceFilter filter, int rate, std::vector<double>& samples);
// Trimmed, filtered, set to the speech level with the one-shot ends: the finished samples of a spoken line.
std::vector<std::int16_t> FinishSpeech(const MonoSound& spoken, VoiceFilter filter);

}  // namespace sfx
