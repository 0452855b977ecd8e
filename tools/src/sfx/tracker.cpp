#include "sfx/tracker.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>

#include "sfx/synth.h"

namespace sfx {

namespace {

// The song's settings; inside a pattern, any other first word names an instrument.
const std::set<std::string> kSettings = {"tempo", "beats", "steps", "loop", "tail"};

struct Pattern {
    std::size_t steps = 0;
    std::vector<NoteEvent> notes;  // steps counted from the pattern's start
};

std::size_t VoiceLength(const Instrument& instrument, int rate) {
    double seconds = 0.0;
    for (const Layer& layer : instrument.layers) {
        const int starts = layer.repeat > 0.0 ? std::max(layer.times, 1) : 1;
        seconds = std::max(seconds, layer.start + (starts - 1) * layer.repeat + layer.Duration());
    }
    return static_cast<std::size_t>(std::ceil(seconds * rate)) + 1;
}

void ParseInstrument(const TextLine& line, const std::string& source, Song& song) {
    const auto& w = line.words;
    if (w.size() < 2 || w.size() % 2 != 0) Fail(source, line.number, "instrument takes a name and key-value pairs");
    for (const Instrument& other : song.instruments) {
        if (other.name == w[1]) Fail(source, line.number, "instrument \"" + w[1] + "\" is named twice");
    }
    Instrument instrument;
    instrument.name = w[1];
    for (std::size_t i = 2; i + 1 < w.size(); i += 2) {
        if (w[i] == "pan") {
            instrument.pan = ParseNumber(w[i + 1], -1.0, 1.0, source, line.number);
        } else if (w[i] == "gain") {
            instrument.gain = ParseNumber(w[i + 1], 0.0, 10.0, source, line.number);
        } else if (w[i] == "key") {
            instrument.key = ParseNumber(w[i + 1], 1.0, 20000.0, source, line.number);
        } else if (w[i] == "seed") {
            instrument.seed = static_cast<std::uint32_t>(ParseNumber(w[i + 1], 0.0, 4294967295.0, source, line.number));
        } else {
            Fail(source, line.number, "unknown instrument key \"" + w[i] + "\"");
        }
    }
    song.instruments.push_back(std::move(instrument));
}

}  // namespace

double NoteFrequency(std::string_view word) {
    static constexpr int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
    if (word.size() < 2 || word.size() > 3 || word[0] < 'A' || word[0] > 'G') return 0.0;
    int semitone = kSemitones[word[0] - 'A'];
    std::size_t i = 1;
    if (word.size() == 3) {
        if (word[1] == '#') {
            ++semitone;
        } else if (word[1] == 'b') {
            --semitone;
        } else {
            return 0.0;
        }
        i = 2;
    }
    if (word[i] < '0' || word[i] > '8') return 0.0;
    const int midi = 12 * (word[i] - '0' + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

Song ParseSong(std::string_view text, const std::string& source) {
    Song song;
    std::map<std::string, Pattern> patterns;
    Pattern* current = nullptr;
    bool haveSong = false;
    bool haveTempo = false;
    for (const TextLine& line : ReadLines(text, source)) {
        const std::string& key = line.words[0];
        const int n = line.number;
        if (key == "instrument") {
            ParseInstrument(line, source, song);
            current = nullptr;
        } else if (key == "layer") {
            if (song.instruments.empty()) Fail(source, n, "a layer before any instrument");
            song.instruments.back().layers.push_back(ParseLayer(line, source));
        } else if (key == "delay") {
            song.echo = ParseEcho(line, source);
        } else if (key == "pattern") {
            if (line.words.size() != 2) Fail(source, n, "pattern takes a name");
            if (patterns.count(line.words[1]) != 0) Fail(source, n, "pattern \"" + line.words[1] + "\" is named twice");
            current = &patterns[line.words[1]];
        } else if (key == "song") {
            if (haveSong) Fail(source, n, "a second song line");
            haveSong = true;
            for (std::size_t i = 1; i < line.words.size(); ++i) {
                const auto found = patterns.find(line.words[i]);
                if (found == patterns.end()) Fail(source, n, "unknown pattern \"" + line.words[i] + "\"");
                for (NoteEvent note : found->second.notes) {
                    note.step += song.totalSteps;
                    song.notes.push_back(note);
                }
                song.totalSteps += found->second.steps;
            }
            if (song.totalSteps == 0) Fail(source, n, "the song plays nothing");
        } else if (current != nullptr && kSettings.count(key) == 0) {
            // Inside a pattern, every other line is a row: the instrument, then one word per step.
            const auto instrument = std::find_if(song.instruments.begin(), song.instruments.end(),
                                                 [&](const Instrument& i) { return i.name == key; });
            if (instrument == song.instruments.end()) Fail(source, n, "unknown instrument \"" + key + "\"");
            const std::size_t steps = line.words.size() - 1;
            const auto bar = static_cast<std::size_t>(song.beats * song.steps);
            if (steps == 0 || steps % bar != 0) Fail(source, n, "the row is not a whole number of bars");
            if (current->steps != 0 && current->steps != steps) Fail(source, n, "the rows of a pattern differ in length");
            current->steps = steps;
            for (std::size_t s = 0; s < steps; ++s) {
                const std::string& word = line.words[s + 1];
                if (word == ".") continue;
                NoteEvent note;
                note.instrument = static_cast<std::size_t>(instrument - song.instruments.begin());
                note.step = s;
                if (word != "x") {
                    const double frequency = NoteFrequency(word);
                    if (frequency <= 0.0) Fail(source, n, "\"" + word + "\" is not a step");
                    note.pitch = frequency / instrument->key;
                }
                current->notes.push_back(note);
            }
        } else {
            if (line.words.size() != 2) Fail(source, n, "\"" + key + "\" takes one value");
            const std::string& word = line.words[1];
            if (key == "tempo") {
                song.tempo = ParseNumber(word, 20.0, 400.0, source, n);
                haveTempo = true;
            } else if (key == "beats") {
                song.beats = static_cast<int>(ParseNumber(word, 1.0, 16.0, source, n));
            } else if (key == "steps") {
                song.steps = static_cast<int>(ParseNumber(word, 1.0, 16.0, source, n));
            } else if (key == "tail") {
                song.tail = ParseNumber(word, 0.0, 30.0, source, n);
            } else if (key == "loop") {
                if (word != "yes" && word != "no") Fail(source, n, "loop is yes or no");
                song.loop = word == "yes";
            } else {
                Fail(source, n, "unknown keyword \"" + key + "\"");
            }
        }
    }
    if (!haveTempo) Fail(source, 0, "the song gives no tempo");
    if (!haveSong) Fail(source, 0, "the song has no song line");
    for (const Instrument& instrument : song.instruments) {
        if (instrument.layers.empty()) Fail(source, 0, "instrument \"" + instrument.name + "\" has no layer");
    }
    return song;
}

std::vector<std::int16_t> RenderSong(const Song& song, const std::string& source) {
    constexpr int rate = kMusicRate;
    const double stepSamples = song.StepSeconds() * rate;
    const auto bars = static_cast<std::size_t>(std::lround(song.BarsSeconds() * rate));
    const std::size_t size = song.loop ? bars : bars + static_cast<std::size_t>(std::lround(song.tail * rate));
    if (size == 0) throw Error(source + ": the song is shorter than a sample");
    std::vector<double> left(size, 0.0);
    std::vector<double> right(size, 0.0);

    // Every note of an instrument at one pitch sounds the same: each is rendered once.
    std::map<std::pair<std::size_t, double>, std::vector<double>> voices;
    for (const NoteEvent& note : song.notes) {
        const Instrument& instrument = song.instruments[note.instrument];
        auto [voice, fresh] = voices.try_emplace({note.instrument, note.pitch});
        if (fresh) {
            voice->second = RenderVoice(instrument.layers, note.pitch, instrument.seed, rate, VoiceLength(instrument, rate));
        }
        const double angle = (instrument.pan + 1.0) * std::numbers::pi / 4.0;
        const double gainLeft = instrument.gain * std::cos(angle);
        const double gainRight = instrument.gain * std::sin(angle);
        const auto start = static_cast<std::size_t>(std::lround(static_cast<double>(note.step) * stepSamples));
        const std::vector<double>& samples = voice->second;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            std::size_t at = start + i;
            if (song.loop) {
                at %= size;
            } else if (at >= size) {
                break;
            }
            left[at] += gainLeft * samples[i];
            right[at] += gainRight * samples[i];
        }
    }
    for (std::vector<double>* channel : {&left, &right}) {
        ApplyEcho(song.echo, rate, song.loop, *channel);
        if (!song.loop) ShapeOneShotEnds(*channel, rate);
    }
    std::vector<double> interleaved(2 * size);
    for (std::size_t i = 0; i < size; ++i) {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    NormalisePeak(interleaved, PeakLevelDb(SoundClass::Music));
    return Quantise(interleaved);
}

}  // namespace sfx
