#pragma once
// Sound recipes: layers of oscillators and noise with envelopes, pitch sweeps, filters and waveshaping, mixed
// and given an optional echo. The text form, one keyword per line:
//   class ui|weapon|blast|loop     loop recipes repeat seamlessly; the class sets the peak level
//   length <seconds>               the whole sound, or one turn of a loop
//   seed <n>                       seeds the noise (each layer draws from seed + its index)
//   delay <seconds> <feedback> <mix>
//   layer <sine|square|saw|triangle|noise> [<key> <values>...]...
// Layer keys: freq F; sweep F2 T (glide to F2 over T s); amp A; start T; attack A; decay D; sustain S; hold H;
// release R; repeat P (start again every P s); times K (at most K starts); tremolo RATE DEPTH; drive D (tanh
// waveshaping); lowpass|highpass|bandpass F Q (in order, any number).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sfx/biquad.h"
#include "sfx/text.h"

namespace sfx {

inline constexpr int kEffectRate = 22050;
inline constexpr int kMusicRate = 44100;

// What a sound is used for; it sets the peak level of the finished sound.
enum class SoundClass { Ui, Weapon, Blast, Loop, Speech, Music };
// The peak level in dBFS.
double PeakLevelDb(SoundClass kind);

enum class Wave { Sine, Square, Saw, Triangle, Noise };

struct FilterSettings {
    FilterKind kind = FilterKind::Lowpass;
    double frequency = 1000.0;
    double q = 0.707;
};

struct Layer {
    Wave wave = Wave::Sine;
    double frequency = 440.0;
    double sweepTo = 0.0;    // with sweepTime > 0
    double sweepTime = 0.0;
    double amp = 1.0;
    double start = 0.0;
    double attack = 0.002;
    double decay = 0.0;
    double sustain = 1.0;
    double hold = 0.0;
    double release = 0.05;
    double repeat = 0.0;     // 0: one start
    int times = 0;           // 0: as many as fit
    double tremoloRate = 0.0;
    double tremoloDepth = 0.0;
    double drive = 0.0;      // 0: no waveshaping
    std::vector<FilterSettings> filters;

    // The envelope's length in seconds.
    double Duration() const { return attack + decay + hold + release; }
};

struct Echo {
    double time = 0.0;  // 0: none
    double feedback = 0.0;
    double mix = 0.0;
};

struct Recipe {
    SoundClass kind = SoundClass::Ui;
    double length = 0.0;
    std::uint32_t seed = 1;
    Echo echo;
    std::vector<Layer> layers;

    bool IsLoop() const { return kind == SoundClass::Loop; }
};

// Reads one "layer" line's words (the first is "layer"); shared with the music instruments.
Layer ParseLayer(const TextLine& line, const std::string& source);
// Reads a "delay" line's words.
Echo ParseEcho(const TextLine& line, const std::string& source);
// Reads a whole recipe; every fault is an Error naming the source and line.
Recipe ParseRecipe(std::string_view text, const std::string& source);

}  // namespace sfx
