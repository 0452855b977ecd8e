// The sounds: every file the game's sound bank names (its interface, preview, level and music tables, and
// the 40 lines of every speech pack) opened through the game's own sound reader as its own kind, decoded
// to its end and measured: format, length for its class, peak level, clean one-shot ends and seamless
// loops. The names come from the bank itself, loaded against a backend that only records them, and from
// the speech-pack picker's pack list; the classes come from the shipped class table "Sound/sounds.txt".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fnmatch.h>

#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "datacheck/data_check.h"
#include "engine/platform/sound_file.h"
#include "game/core/game_sound_bank.h"
#include "game/screens/speech_picker_zone.h"

namespace datacheck {

namespace {

constexpr const char* kClassTable = "Sound/sounds.txt";

// A class of the class table: its peak level (dBFS; NaN: not checked), length bounds (seconds; both 0: not
// bounded), whether it loops, and the name patterns of its sounds.
struct SoundClass {
    std::string name;
    double peakDb = NAN;
    double minSeconds = 0;
    double maxSeconds = 0;
    bool loop = false;
    std::vector<std::string> patterns;  // upper case
};

// Reads the class table; each line it cannot take is handed to `fault` with its number.
std::vector<SoundClass> ReadSoundClasses(const std::vector<std::uint8_t>& bytes,
                                         const std::function<void(int, const std::string&)>& fault) {
    std::vector<SoundClass> classes;
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    std::string line;
    for (int number = 1; std::getline(text, line); ++number) {
        if (const std::size_t comment = line.find("//"); comment != std::string::npos) line.erase(comment);
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        if (first != "class") {
            if (classes.empty()) {
                fault(number, "names sounds before the first class line");
                continue;
            }
            for (std::string word = first; !word.empty(); word.clear(), words >> word) {
                classes.back().patterns.push_back(Upper(word));
            }
            continue;
        }
        SoundClass added;
        std::string peak;
        std::string play;
        std::string rest;
        words >> added.name >> peak >> added.minSeconds >> added.maxSeconds >> play;
        char* end = nullptr;
        const double level = std::strtod(peak.c_str(), &end);
        const bool peakOk = peak == "-" || (!peak.empty() && *end == '\0');
        if (words.fail() || (words >> rest) || !peakOk || (play != "once" && play != "loop") || added.minSeconds < 0 ||
            added.maxSeconds < added.minSeconds) {
            fault(number, "expected \"class <name> <peak dBFS or -> <shortest s> <longest s> once|loop\"");
            continue;
        }
        added.peakDb = peak == "-" ? NAN : level;
        added.loop = play == "loop";
        classes.push_back(std::move(added));
    }
    return classes;
}

// The first class with a pattern that matches the name (upper case); null when none does.
const SoundClass* ClassOf(const std::vector<SoundClass>& classes, const std::string& name) {
    const std::string upper = Upper(name);
    for (const SoundClass& soundClass : classes) {
        for (const std::string& pattern : soundClass.patterns) {
            if (fnmatch(pattern.c_str(), upper.c_str(), 0) == 0) return &soundClass;
        }
    }
    return nullptr;
}

// A backend that keeps the name of every sound the bank loads.
class NameRecorder final : public game::SoundBackend {
public:
    std::vector<std::string> names;

    void ResetBank(game::SoundBankId, const char*) override {}
    bool LoadSample(game::SoundBankId, int, const std::string& name, int, float, bool) override {
        names.push_back(name);
        return true;
    }
    bool LoadStream(game::SoundBankId, int, const std::string& name, float, bool) override {
        names.push_back(name);
        return true;
    }
    std::uint32_t Play(game::SoundBankId, int, float, bool) override { return 0; }
    void Stop(std::uint32_t) override {}
    void Fade(std::uint32_t, float, float, bool) override {}
    void StopStreams() override {}
};

double Db(double amplitude) { return amplitude <= 0 ? -200.0 : 20.0 * std::log10(amplitude / 32768.0); }

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double Rms(const std::vector<std::int16_t>& pcm, int channels, int channel, std::size_t first, std::size_t end) {
    double sum = 0;
    for (std::size_t frame = first; frame < end; ++frame) {
        const double s = pcm[frame * channels + channel];
        sum += s * s;
    }
    return end > first ? std::sqrt(sum / static_cast<double>(end - first)) : 0.0;
}

}  // namespace

std::vector<std::string> SoundNames() {
    NameRecorder recorder;
    game::GameSoundBank bank(recorder);
    bank.Load();
    for (int pack = 0; pack < game::SpeechPickerZone::kPackCount; ++pack) {
        bank.LoadSpeechPack(1, game::SpeechPickerZone::PackFolder(pack));
    }
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (std::string name : recorder.names) {
        std::replace(name.begin(), name.end(), '\\', '/');
        if (seen.insert(Upper(name)).second) names.push_back(name);
    }
    return names;
}

void DataCheck::CheckSounds() {
    const std::vector<std::uint8_t>* table = Find(kClassTable);
    if (table == nullptr) {
        Fault(kClassTable, "", "missing: the sounds cannot be measured without their classes");
        return;
    }
    const std::vector<SoundClass> classes = ReadSoundClasses(*table, [this](int line, const std::string& message) {
        Fault(kClassTable, "line " + std::to_string(line), message);
    });
    for (const std::string& name : SoundNames()) {
        const bool music = Upper(name).rfind("MUSIC/", 0) == 0;
        const SoundClass* found = ClassOf(classes, name);
        if (found == nullptr) {
            Fault(name + (music ? ".ogg" : ".wav"), "", std::string("belongs to no class of ") + kClassTable);
            continue;
        }
        const SoundClass& type = *found;
        const std::string file = name + (music ? ".ogg" : ".wav");
        engine::SoundFile sound;
        if (sound.Open(engine::WideString(name.c_str())) == 0) {
            Fault(file, "", Find(file) == nullptr ? "missing" : "the game's sound reader does not open it");
            continue;
        }
        const int expectedKind = music ? engine::SoundFile::kKindOgg : engine::SoundFile::kKindWav;
        if (sound.Kind() != expectedKind) {
            Fault(name + (music ? ".wav" : ".ogg"), "", std::string("must ship as \"") + file + "\"");
            continue;
        }
        const engine::WaveFormat& format = sound.Format();
        const int channels = music ? 2 : 1;
        const std::uint32_t rate = music ? 44100 : 22050;
        if (format.channels != channels || format.samplesPerSecond != rate || format.bitsPerSample != 16) {
            Fault(file, "", std::to_string(format.channels) + " channel(s), " + std::to_string(format.samplesPerSecond) +
                                " Hz, " + std::to_string(format.bitsPerSample) + " bits; must be " +
                                std::to_string(channels) + " channel(s), " + std::to_string(rate) + " Hz, 16 bits");
            continue;
        }
        if (!music && Find(file) != nullptr) {
            // The header's "data" size must fit the file: the reader cuts it to the bytes present.
            const std::vector<std::uint8_t>& bytes = *Find(file);
            const std::size_t at = 36;
            if (bytes.size() < at + 8 || std::string(bytes.begin() + at, bytes.begin() + at + 4) != "data") {
                Fault(file, "", "must hold a 16-byte \"fmt \" chunk followed by \"data\" and nothing else");
                continue;
            }
            const std::uint32_t size = bytes[at + 4] | (bytes[at + 5] << 8) | (bytes[at + 6] << 16) |
                                       (static_cast<std::uint32_t>(bytes[at + 7]) << 24);
            if (size != bytes.size() - at - 8) {
                Fault(file, "", "the \"data\" size " + std::to_string(size) + " does not match the " +
                                    std::to_string(bytes.size() - at - 8) + " bytes that follow it");
                continue;
            }
        }
        std::vector<std::int16_t> pcm;
        std::vector<std::int16_t> piece(32768);
        while (const std::size_t got = sound.ReadPcm(piece.data(), piece.size() * 2)) {
            pcm.insert(pcm.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got / 2));
        }
        if (pcm.size() * 2 != sound.PcmLength()) {
            Fault(file, "", "decodes to " + std::to_string(pcm.size() * 2) + " of " + std::to_string(sound.PcmLength()) +
                                " PCM bytes");
            continue;
        }
        const std::size_t frames = pcm.size() / channels;
        const double seconds = static_cast<double>(frames) / rate;
        if (frames == 0) {
            Fault(file, "", "holds no sound");
            continue;
        }
        if (type.maxSeconds > 0 && (seconds < type.minSeconds || seconds > type.maxSeconds)) {
            Fault(file, "", "lasts " + Fixed(seconds, 3) + " s, outside " + Fixed(type.minSeconds, 2) + "-" +
                                Fixed(type.maxSeconds, 2) + " s");
        }
        int peak = 0;
        std::size_t clipped = 0;
        for (const std::int16_t s : pcm) {
            peak = std::max(peak, std::abs(static_cast<int>(s)));
            clipped += s >= 32767 || s <= -32767;
        }
        if (clipped != 0) Fault(file, "", std::to_string(clipped) + " sample(s) at full scale (clipped)");
        if (!std::isnan(type.peakDb) && std::abs(Db(peak) - type.peakDb) > 1.0) {
            Fault(file, "", "peaks at " + Fixed(Db(peak), 1) + " dBFS, not " + Fixed(type.peakDb, 0) + " dBFS +-1 dB");
        }
        const double quiet = 32768.0 * std::pow(10.0, -50.0 / 20.0);
        if (!type.loop) {
            // A one-shot starts at once and fades out before its end.
            const auto first = std::find_if(pcm.begin(), pcm.end(), [&](std::int16_t s) { return std::abs(s) > quiet; });
            const double start = static_cast<double>((first - pcm.begin()) / channels) / rate;
            if (start > 0.010) Fault(file, "", "starts after " + Fixed(start * 1000, 1) + " ms of silence (10 ms at most)");
            const std::size_t tail = std::min(frames, static_cast<std::size_t>(rate / 200)) * channels;
            const bool loud = std::any_of(pcm.end() - static_cast<std::ptrdiff_t>(tail), pcm.end(),
                                          [&](std::int16_t s) { return std::abs(s) >= quiet; });
            if (loud) Fault(file, "", "its last 5 ms are not below -50 dBFS");
            continue;
        }
        for (int channel = 0; channel < channels; ++channel) {
            int largest = 0;
            for (std::size_t f = 1; f < frames; ++f) {
                largest = std::max(largest, std::abs(pcm[f * channels + channel] - pcm[(f - 1) * channels + channel]));
            }
            const int wrap = std::abs(pcm[channel] - pcm[(frames - 1) * channels + channel]);
            if (wrap > largest) {
                Fault(file, "", "a step of " + std::to_string(wrap) + " across the loop's wrap, larger than any inside (" +
                                    std::to_string(largest) + ")");
            }
            // An effect loop holds an even level throughout; music carries its beat, so its first 100 ms
            // (a kick) and last 100 ms (the bar's tail) differ from its mean by design.
            if (music) continue;
            const std::size_t edge = std::min(frames, static_cast<std::size_t>(rate / 10));
            const double whole = Rms(pcm, channels, channel, 0, frames);
            for (const std::size_t begin : {std::size_t{0}, frames - edge}) {
                const double part = Rms(pcm, channels, channel, begin, begin + edge);
                if (std::abs(Db(part) - Db(whole)) > 3.0) {
                    Fault(file, "", std::string("its ") + (begin == 0 ? "first" : "last") + " 100 ms lie " +
                                        Fixed(Db(part) - Db(whole), 1) + " dB from the whole loop's RMS (3 dB at most)");
                }
            }
        }
    }
}

}  // namespace datacheck
