#include "sfx/speech.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <numbers>

#include "sfx/biquad.h"
#include "sfx/recipe.h"
#include "sfx/synth.h"
#include "sfx/text.h"

extern char** environ;

namespace sfx {

namespace {

std::string MissingProgram(const std::string& program) {
    return program + " cannot be run: install the Debian package \"espeak-ng\" (listed in tools/packages.txt)";
}

// Runs the program with the arguments and waits; its exit status, or an Error when it cannot start.
int Run(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The program's own messages on standard output (its version, say) are not ours to print.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) throw Error(MissingProgram(arguments[0]) + " (" + std::strerror(started) + ")");
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) throw Error(arguments[0] + ": lost track of the process");
    }
    if (!WIFEXITED(status)) return -1;
    // A shell-style spawner reports a program it could not execute as 127.
    if (WEXITSTATUS(status) == 127) throw Error(MissingProgram(arguments[0]));
    return WEXITSTATUS(status);
}

VoiceFilter ParseFilter(const std::string& word, const std::string& source, int line) {
    static const std::map<std::string, VoiceFilter> kFilters = {{"none", VoiceFilter::None},
                                                                {"plain", VoiceFilter::Plain},
                                                                {"radio", VoiceFilter::Radio},
                                                                {"ring", VoiceFilter::Ring},
                                                                {"slow", VoiceFilter::Slow}};
    const auto found = kFilters.find(word);
    if (found == kFilters.end()) Fail(source, line, "unknown filter \"" + word + "\"");
    return found->second;
}

void CheckPack(const SpeechPack& pack, const std::string& source) {
    const std::string which = source + ": pack \"" + pack.name + "\" ";
    if (pack.voice.empty() || pack.speed == 0) throw Error(which + "lacks its voice or speed");
    for (const std::string& slot : SpeechSlots()) {
        const auto found = std::find_if(pack.lines.begin(), pack.lines.end(),
                                        [&](const SpeechLine& line) { return line.slot == slot; });
        if (found == pack.lines.end()) throw Error(which + "has no line for " + slot);
    }
}

void Filter(FilterKind kind, double frequency, int rate, std::vector<double>& samples) {
    Biquad filter(kind, frequency, std::numbers::sqrt2 / 2.0, rate);
    filter.Run(samples);
}

}  // namespace

const std::vector<std::string>& SpeechSlots() {
    static const std::vector<std::string> slots = [] {
        std::vector<std::string> out;
        const std::pair<const char*, int> groups[] = {{"Jump", 4}, {"Select", 8}, {"Yes", 8},
                                                      {"Hit", 8},  {"Death", 8},  {"Congrats", 4}};
        for (const auto& [name, count] : groups) {
            for (int i = 1; i <= count; ++i) out.push_back(name + std::to_string(i));
        }
        return out;
    }();
    return slots;
}

std::vector<SpeechPack> ParseSpeech(std::string_view text, const std::string& source) {
    std::vector<SpeechPack> packs;
    const auto& slots = SpeechSlots();
    for (const TextLine& line : ReadLines(text, source)) {
        const std::string& key = line.words[0];
        const int n = line.number;
        if (key == "pack") {
            if (line.words.size() != 2) Fail(source, n, "pack takes one name");
            for (const SpeechPack& other : packs) {
                if (other.name == line.words[1]) Fail(source, n, "pack \"" + line.words[1] + "\" is named twice");
            }
            if (!packs.empty()) CheckPack(packs.back(), source);
            packs.emplace_back().name = line.words[1];
            continue;
        }
        if (packs.empty()) Fail(source, n, "\"" + key + "\" before the first pack");
        SpeechPack& pack = packs.back();
        const auto slot = std::find(slots.begin(), slots.end(), key);
        if (slot != slots.end()) {
            if (line.rest.empty()) Fail(source, n, key + " has no text");
            if (line.rest[0] == '-') Fail(source, n, key + "'s text starts with \"-\"");
            for (const SpeechLine& other : pack.lines) {
                if (other.slot == key) Fail(source, n, key + " is given twice");
            }
            pack.lines.push_back({key, line.rest});
            continue;
        }
        if (line.words.size() != 2) Fail(source, n, "\"" + key + "\" takes one value");
        const std::string& word = line.words[1];
        if (key == "voice") {
            pack.voice = word;
        } else if (key == "speed") {
            pack.speed = static_cast<int>(ParseNumber(word, 80.0, 450.0, source, n));
        } else if (key == "pitch") {
            pack.pitch = static_cast<int>(ParseNumber(word, 0.0, 99.0, source, n));
        } else if (key == "filter") {
            pack.filter = ParseFilter(word, source, n);
        } else {
            Fail(source, n, "unknown keyword \"" + key + "\"");
        }
    }
    if (packs.empty()) throw Error(source + ": no pack");
    CheckPack(packs.back(), source);
    for (SpeechPack& pack : packs) {
        std::sort(pack.lines.begin(), pack.lines.end(), [&](const SpeechLine& a, const SpeechLine& b) {
            return std::find(slots.begin(), slots.end(), a.slot) < std::find(slots.begin(), slots.end(), b.slot);
        });
    }
    return packs;
}

void CheckEspeak(const std::string& program) {
    if (Run({program, "--version"}) != 0) throw Error(MissingProgram(program));
}

std::string RunEspeak(const SpeechPack& pack, const std::string& text, const std::string& program) {
    std::string path = (std::filesystem::temp_directory_path() / "sfx-speech-XXXXXX.wav").string();
    const int fd = mkstemps(path.data(), 4);
    if (fd < 0) throw Error("cannot make a temporary file for " + program);
    close(fd);
    std::string bytes;
    try {
        const int status = Run({program, "-v", pack.voice, "-s", std::to_string(pack.speed), "-p",
                                std::to_string(pack.pitch), "-w", path, text});
        if (status != 0) throw Error(program + " failed (status " + std::to_string(status) + ") on \"" + text + "\"");
        bytes = ReadFile(path);
    } catch (...) {
        std::remove(path.c_str());
        throw;
    }
    std::remove(path.c_str());
    return bytes;
}

std::vector<double> TrimSilence(const std::vector<double>& samples, int rate) {
    double peak = 0.0;
    for (const double s : samples) peak = std::max(peak, std::abs(s));
    if (peak <= 0.0) return samples;
    const double threshold = peak * std::pow(10.0, -36.0 / 20.0);
    std::size_t first = 0;
    while (std::abs(samples[first]) < threshold) ++first;
    std::size_t last = samples.size() - 1;
    while (std::abs(samples[last]) < threshold) --last;
    const auto lead = static_cast<std::size_t>(0.005 * rate);
    const auto tail = static_cast<std::size_t>(0.05 * rate);
    const std::size_t begin = first > lead ? first - lead : 0;
    const std::size_t end = std::min(samples.size(), last + 1 + tail);
    return std::vector<double>(samples.begin() + static_cast<std::ptrdiff_t>(begin),
                               samples.begin() + static_cast<std::ptrdiff_t>(end));
}

void ApplyVoiceFilter(VoiceFilter filter, int rate, std::vector<double>& samples) {
    switch (filter) {
    case VoiceFilter::None: return;
    case VoiceFilter::Plain: Filter(FilterKind::Highpass, 80.0, rate, samples); return;
    case VoiceFilter::Radio:
        // Two second-order stages at each edge: a steep 400-3000 Hz band, then a soft clip.
        for (int i = 0; i < 2; ++i) Filter(FilterKind::Highpass, 400.0, rate, samples);
        for (int i = 0; i < 2; ++i) Filter(FilterKind::Lowpass, 3000.0, rate, samples);
        for (double& s : samples) s = std::tanh(2.0 * s) / std::tanh(2.0);
        return;
    case VoiceFilter::Ring:
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const double carrier = std::sin(2.0 * std::numbers::pi * 70.0 * static_cast<double>(i) / rate);
            samples[i] = 0.3 * samples[i] + 0.7 * samples[i] * carrier;
        }
        return;
    case VoiceFilter::Slow: {
        constexpr double kStretch = 1.18;
        const std::size_t size = samples.size();
        std::vector<double> out(static_cast<std::size_t>(static_cast<double>(size) * kStretch));
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double at = static_cast<double>(i) / kStretch;
            const auto j = static_cast<std::size_t>(at);
            const double f = at - static_cast<double>(j);
            const double a = j < size ? samples[j] : 0.0;
            const double b = j + 1 < size ? samples[j + 1] : 0.0;
            out[i] = a + (b - a) * f;
        }
        samples = std::move(out);
        Filter(FilterKind::Lowpass, 3500.0, rate, samples);
        return;
    }
    }
}

std::vector<std::int16_t> FinishSpeech(const MonoSound& spoken, VoiceFilter filter) {
    std::vector<double> samples(spoken.samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = spoken.samples[i] / 32768.0;
    samples = TrimSilence(samples, spoken.rate);
    ApplyVoiceFilter(filter, spoken.rate, samples);
    ShapeOneShotEnds(samples, spoken.rate);
    NormalisePeak(samples, PeakLevelDb(SoundClass::Speech));
    return Quantise(samples);
}

}  // namespace sfx
