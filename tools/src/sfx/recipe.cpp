#include "sfx/recipe.h"

#include <map>

namespace sfx {

double PeakLevelDb(SoundClass kind) {
    switch (kind) {
    case SoundClass::Ui: return -6.0;
    case SoundClass::Weapon:
    case SoundClass::Blast: return -1.0;
    case SoundClass::Loop: return -9.0;
    case SoundClass::Speech: return -3.0;
    case SoundClass::Music: return -3.0;  // headroom for the lossy codec's overshoot
    }
    return -6.0;
}

namespace {

constexpr double kMaxFrequency = 20000.0;
constexpr double kMaxSeconds = 120.0;

}  // namespace

Layer ParseLayer(const TextLine& line, const std::string& source) {
    const auto& w = line.words;
    const int n = line.number;
    if (w.size() < 2) Fail(source, n, "a layer needs a waveform");
    static const std::map<std::string, Wave> kWaves = {{"sine", Wave::Sine},     {"square", Wave::Square},
                                                        {"saw", Wave::Saw},       {"triangle", Wave::Triangle},
                                                        {"noise", Wave::Noise}};
    const auto wave = kWaves.find(w[1]);
    if (wave == kWaves.end()) Fail(source, n, "unknown waveform \"" + w[1] + "\"");
    Layer layer;
    layer.wave = wave->second;
    std::size_t i = 2;
    // The next value of the current key.
    auto value = [&](double low, double high) {
        if (i >= w.size()) Fail(source, n, "\"" + w[i - 1] + "\" lacks a value");
        return ParseNumber(w[i++], low, high, source, n);
    };
    while (i < w.size()) {
        const std::string key = w[i++];
        if (key == "freq") {
            layer.frequency = value(1.0, kMaxFrequency);
        } else if (key == "sweep") {
            layer.sweepTo = value(1.0, kMaxFrequency);
            layer.sweepTime = value(0.001, kMaxSeconds);
        } else if (key == "amp") {
            layer.amp = value(0.0, 10.0);
        } else if (key == "start") {
            layer.start = value(0.0, kMaxSeconds);
        } else if (key == "attack") {
            layer.attack = value(0.0, kMaxSeconds);
        } else if (key == "decay") {
            layer.decay = value(0.0, kMaxSeconds);
        } else if (key == "sustain") {
            layer.sustain = value(0.0, 1.0);
        } else if (key == "hold") {
            layer.hold = value(0.0, kMaxSeconds);
        } else if (key == "release") {
            layer.release = value(0.0, kMaxSeconds);
        } else if (key == "repeat") {
            layer.repeat = value(0.005, kMaxSeconds);
        } else if (key == "times") {
            layer.times = static_cast<int>(value(1.0, 10000.0));
        } else if (key == "tremolo") {
            layer.tremoloRate = value(0.01, 1000.0);
            layer.tremoloDepth = value(0.0, 1.0);
        } else if (key == "drive") {
            layer.drive = value(0.0, 100.0);
        } else if (key == "lowpass" || key == "highpass" || key == "bandpass") {
            FilterSettings filter;
            filter.kind = key == "lowpass"    ? FilterKind::Lowpass
                          : key == "highpass" ? FilterKind::Highpass
                                              : FilterKind::Bandpass;
            filter.frequency = value(1.0, kMaxFrequency);
            filter.q = value(0.05, 50.0);
            layer.filters.push_back(filter);
        } else {
            Fail(source, n, "unknown layer key \"" + key + "\"");
        }
    }
    if (layer.Duration() <= 0.0) Fail(source, n, "the layer's envelope has no length");
    return layer;
}

Echo ParseEcho(const TextLine& line, const std::string& source) {
    if (line.words.size() != 4) Fail(source, line.number, "delay takes a time, a feedback and a mix");
    Echo echo;
    echo.time = ParseNumber(line.words[1], 0.001, 10.0, source, line.number);
    echo.feedback = ParseNumber(line.words[2], 0.0, 0.9, source, line.number);
    echo.mix = ParseNumber(line.words[3], 0.0, 1.0, source, line.number);
    return echo;
}

Recipe ParseRecipe(std::string_view text, const std::string& source) {
    Recipe recipe;
    bool haveClass = false;
    for (const TextLine& line : ReadLines(text, source)) {
        const std::string& key = line.words[0];
        if (key == "layer") {
            recipe.layers.push_back(ParseLayer(line, source));
            continue;
        }
        if (key == "delay") {
            recipe.echo = ParseEcho(line, source);
            continue;
        }
        if (line.words.size() != 2) Fail(source, line.number, "\"" + key + "\" takes one value");
        const std::string& word = line.words[1];
        if (key == "class") {
            static const std::map<std::string, SoundClass> kClasses = {{"ui", SoundClass::Ui},
                                                                       {"weapon", SoundClass::Weapon},
                                                                       {"blast", SoundClass::Blast},
                                                                       {"loop", SoundClass::Loop}};
            const auto found = kClasses.find(word);
            if (found == kClasses.end()) Fail(source, line.number, "unknown class \"" + word + "\"");
            recipe.kind = found->second;
            haveClass = true;
        } else if (key == "length") {
            recipe.length = ParseNumber(word, 0.005, kMaxSeconds, source, line.number);
        } else if (key == "seed") {
            recipe.seed = static_cast<std::uint32_t>(ParseNumber(word, 0.0, 4294967295.0, source, line.number));
        } else {
            Fail(source, line.number, "unknown keyword \"" + key + "\"");
        }
    }
    if (!haveClass) Fail(source, 0, "the recipe names no class");
    if (recipe.length <= 0.0) Fail(source, 0, "the recipe gives no length");
    if (recipe.layers.empty()) Fail(source, 0, "the recipe has no layer");
    return recipe;
}

}  // namespace sfx
