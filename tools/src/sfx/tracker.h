#pragma once
// The music tracker: songs of patterns played by instruments made of recipe layers, rendered as 44100 Hz
// stereo. The text form:
//   tempo <beats per minute>       beats <per bar, default 4>       steps <per beat, default 4>
//   loop yes|no                    tail <seconds after the last bar of a song that ends, default 1>
//   delay <seconds> <feedback> <mix>                  an echo on the mix
//   instrument <name> [pan -1..1] [gain G] [key Hz] [seed n]   key: the pitch its layers are written at (440)
//   layer ...                      a layer of the last instrument (the recipe keys)
//   pattern <name>                 then rows: <instrument> <one word per step>...
//   song <pattern>...              the order of the patterns
// A step is "." (rest), "x" (the instrument at its key) or a note such as C3, F#2 or Bb4. A loop renders into
// a circular buffer, so that the tails of its last notes sound over its first.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sfx/recipe.h"

namespace sfx {

struct Instrument {
    std::string name;
    double pan = 0.0;
    double gain = 1.0;
    double key = 440.0;
    std::uint32_t seed = 1;
    std::vector<Layer> layers;
};

struct NoteEvent {
    std::size_t instrument = 0;
    std::size_t step = 0;   // from the start of the song
    double pitch = 1.0;     // frequency ratio to the instrument's key
};

struct Song {
    double tempo = 120.0;
    int beats = 4;
    int steps = 4;
    bool loop = false;
    double tail = 1.0;
    Echo echo;
    std::vector<Instrument> instruments;
    std::vector<NoteEvent> notes;
    std::size_t totalSteps = 0;

    double StepSeconds() const { return 60.0 / tempo / steps; }
    // The length of the bars (a loop's whole length; a song that ends adds its tail).
    double BarsSeconds() const { return static_cast<double>(totalSteps) * StepSeconds(); }
};

// The frequency of a note name ("A4" is 440 Hz); 0 when the word is not a note.
double NoteFrequency(std::string_view word);

Song ParseSong(std::string_view text, const std::string& source);
// Interleaved stereo 16-bit samples at the music rate, peak at the music level; a song that ends fades to
// silence over its tail.
std::vector<std::int16_t> RenderSong(const Song& song, const std::string& source);

}  // namespace sfx
