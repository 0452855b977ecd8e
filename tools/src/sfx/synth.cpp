#include "sfx/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sfx/random.h"

namespace sfx {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double Oscillator(Wave wave, double phase, Random& random) {
    switch (wave) {
    case Wave::Sine: return std::sin(kTwoPi * phase);
    case Wave::Square: return phase < 0.5 ? 1.0 : -1.0;
    case Wave::Saw: return 2.0 * phase - 1.0;
    case Wave::Triangle: {
        const double p = phase + 0.25;
        return 1.0 - 4.0 * std::abs((p - std::floor(p)) - 0.5);
    }
    case Wave::Noise: return random.Bipolar();
    }
    return 0.0;
}

double Envelope(const Layer& layer, double t) {
    if (t < layer.attack) return t / layer.attack;
    t -= layer.attack;
    if (t < layer.decay) {
        const double u = 1.0 - t / layer.decay;
        return layer.sustain + (1.0 - layer.sustain) * u * u;
    }
    t -= layer.decay;
    if (t < layer.hold) return layer.sustain;
    t -= layer.hold;
    if (t < layer.release) {
        const double u = 1.0 - t / layer.release;
        return layer.sustain * u * u;
    }
    return 0.0;
}

// The frequency t seconds into a start: the sweep glides exponentially and then holds its target.
double Frequency(const Layer& layer, double pitch, double t) {
    if (layer.sweepTime <= 0.0) return layer.frequency * pitch;
    const double u = std::min(t / layer.sweepTime, 1.0);
    return layer.frequency * pitch * std::pow(layer.sweepTo / layer.frequency, u);
}

// Adds one start of the layer (oscillator times envelope) at the position: cut off at the end of a linear
// buffer, wrapped around a circular one.
void AddStart(const Layer& layer, double pitch, int rate, std::size_t position, bool circular, Random& random,
              std::vector<double>& buffer) {
    const std::size_t size = buffer.size();
    const auto count = static_cast<std::size_t>(std::ceil(layer.Duration() * rate));
    double phase = 0.0;
    for (std::size_t n = 0; n < count; ++n) {
        std::size_t at = position + n;
        if (circular) {
            at %= size;
        } else if (at >= size) {
            break;
        }
        const double t = static_cast<double>(n) / rate;
        buffer[at] += Oscillator(layer.wave, phase, random) * Envelope(layer, t);
        phase += Frequency(layer, pitch, t) / rate;
        phase -= std::floor(phase);
    }
}

// A steady layer of a loop: the oscillator (no envelope) over the whole buffer, its phase computed from the
// sample index so that a whole number of periods ends exactly at the wrap.
void AddDrone(const Layer& layer, int rate, Random& random, std::vector<double>& buffer) {
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        const double cycles = layer.frequency * static_cast<double>(i) / rate;
        buffer[i] += Oscillator(layer.wave, cycles - std::floor(cycles), random);
    }
}

// Tremolo, filters, waveshaping and level: what a layer does to its own signal before the mix.
void ShapeLayer(const Layer& layer, int rate, bool circular, const std::string& source, std::vector<double>& buffer) {
    if (layer.tremoloDepth > 0.0) {
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            const double t = static_cast<double>(i) / rate;
            buffer[i] *= 1.0 - layer.tremoloDepth * 0.5 * (1.0 - std::cos(kTwoPi * layer.tremoloRate * t));
        }
    }
    for (const FilterSettings& settings : layer.filters) {
        if (settings.frequency >= 0.49 * rate) {
            throw Error(source + ": a filter at " + std::to_string(settings.frequency) + " Hz lies above half the rate");
        }
        Biquad filter(settings.kind, settings.frequency, settings.q, rate);
        if (circular) {
            filter.RunCircular(buffer);
        } else {
            filter.Run(buffer);
        }
    }
    if (layer.drive > 0.0) {
        const double norm = 1.0 / std::tanh(layer.drive);
        for (double& s : buffer) s = std::tanh(layer.drive * s) * norm;
    }
    for (double& s : buffer) s *= layer.amp;
}

// True when `count` is a whole number (within rounding of the decimal inputs).
bool Whole(double count) { return count >= 1.0 - 1e-9 && std::abs(count - std::round(count)) < 1e-6; }

// Refuses a loop layer that would not repeat seamlessly within the loop of `size` samples.
void CheckLoopLayer(const Layer& layer, std::size_t index, std::size_t size, int rate, const std::string& source) {
    const double seconds = static_cast<double>(size) / rate;
    const std::string which = source + ": layer " + std::to_string(index + 1) + " ";
    if (layer.repeat > 0.0) {
        if (layer.times > 0) throw Error(which + "limits its repeats, so the loop cannot repeat it");
        if (!Whole(seconds / layer.repeat)) {
            throw Error(which + "repeats every " + std::to_string(layer.repeat) +
                        " s, which does not divide the loop of " + std::to_string(seconds) + " s");
        }
    } else {
        if (layer.sweepTime > 0.0) throw Error(which + "sweeps its pitch but never starts again");
        if (layer.wave != Wave::Noise && !Whole(layer.frequency * seconds)) {
            throw Error(which + "has a period (" + std::to_string(1.0 / layer.frequency) +
                        " s) that does not divide the loop of " + std::to_string(seconds) + " s");
        }
    }
    if (layer.tremoloDepth > 0.0 && !Whole(layer.tremoloRate * seconds)) {
        throw Error(which + "has a tremolo period that does not divide the loop of " + std::to_string(seconds) + " s");
    }
}

std::size_t SampleCount(double seconds, int rate) { return static_cast<std::size_t>(std::lround(seconds * rate)); }

}  // namespace

std::vector<double> RenderVoice(const std::vector<Layer>& layers, double pitch, std::uint32_t seed, int rate,
                                std::size_t length) {
    std::vector<double> mix(length, 0.0);
    std::vector<double> buffer;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const Layer& layer = layers[i];
        Random random(static_cast<std::uint64_t>(seed) + i);
        buffer.assign(length, 0.0);
        const int starts = layer.repeat > 0.0 ? (layer.times > 0 ? layer.times : 1 << 30) : 1;
        for (int k = 0; k < starts; ++k) {
            const std::size_t position = SampleCount(layer.start + k * layer.repeat, rate);
            if (position >= length) break;
            AddStart(layer, pitch, rate, position, false, random, buffer);
        }
        ShapeLayer(layer, rate, false, "voice", buffer);
        for (std::size_t n = 0; n < length; ++n) mix[n] += buffer[n];
    }
    return mix;
}

std::vector<double> Render(const Recipe& recipe, const std::string& source, int rate) {
    const std::size_t size = SampleCount(recipe.length, rate);
    if (size == 0) throw Error(source + ": the sound is shorter than a sample");
    std::vector<double> mix;
    if (!recipe.IsLoop()) {
        mix = RenderVoice(recipe.layers, 1.0, recipe.seed, rate, size);
        ApplyEcho(recipe.echo, rate, false, mix);
        return mix;
    }
    mix.assign(size, 0.0);
    std::vector<double> buffer;
    for (std::size_t i = 0; i < recipe.layers.size(); ++i) {
        const Layer& layer = recipe.layers[i];
        CheckLoopLayer(layer, i, size, rate, source);
        Random random(static_cast<std::uint64_t>(recipe.seed) + i);
        buffer.assign(size, 0.0);
        if (layer.repeat > 0.0) {
            const auto starts = std::lround(recipe.length / layer.repeat);
            for (long k = 0; k < starts; ++k) {
                AddStart(layer, 1.0, rate, SampleCount(layer.start + k * layer.repeat, rate) % size, true, random,
                         buffer);
            }
        } else {
            AddDrone(layer, rate, random, buffer);
        }
        ShapeLayer(layer, rate, true, source, buffer);
        for (std::size_t n = 0; n < size; ++n) mix[n] += buffer[n];
    }
    ApplyEcho(recipe.echo, rate, true, mix);
    return mix;
}

void ApplyEcho(const Echo& echo, int rate, bool circular, std::vector<double>& samples) {
    const std::size_t size = samples.size();
    const std::size_t delay = SampleCount(echo.time, rate);
    if (echo.time <= 0.0 || echo.mix <= 0.0 || delay == 0 || size == 0) return;
    std::vector<double> line(size, 0.0);
    if (!circular) {
        for (std::size_t n = delay; n < size; ++n) line[n] = samples[n - delay] + echo.feedback * line[n - delay];
    } else {
        // Passes around the loop until what the first pass missed has died below 1e-6.
        const double turns = echo.feedback > 0.0 ? std::log(1e-6) / std::log(echo.feedback) : 1.0;
        const auto passes = 1 + static_cast<std::size_t>(std::ceil(turns * static_cast<double>(delay) / size));
        for (std::size_t pass = 0; pass < passes; ++pass) {
            for (std::size_t n = 0; n < size; ++n) {
                const std::size_t from = (n + size - delay % size) % size;
                line[n] = samples[from] + echo.feedback * line[from];
            }
        }
    }
    for (std::size_t n = 0; n < size; ++n) samples[n] += echo.mix * line[n];
}

void NormalisePeak(std::vector<double>& samples, double levelDb) {
    double peak = 0.0;
    for (const double s : samples) peak = std::max(peak, std::abs(s));
    if (peak <= 0.0) return;
    const double scale = std::pow(10.0, levelDb / 20.0) / peak;
    for (double& s : samples) s *= scale;
}

void ShapeOneShotEnds(std::vector<double>& samples, int rate) {
    const std::size_t size = samples.size();
    const std::size_t in = std::min(size, SampleCount(0.0005, rate));
    for (std::size_t n = 0; n < in; ++n) samples[n] *= static_cast<double>(n) / static_cast<double>(in);
    const std::size_t silent = std::min(size, SampleCount(0.005, rate));
    const std::size_t fade = std::min(size - silent, SampleCount(0.02, rate));
    const std::size_t fadeStart = size - silent - fade;
    for (std::size_t n = 0; n < fade; ++n) {
        const double u = 1.0 - static_cast<double>(n + 1) / static_cast<double>(fade);
        samples[fadeStart + n] *= u * u;
    }
    for (std::size_t n = size - silent; n < size; ++n) samples[n] = 0.0;
}

std::vector<std::int16_t> Quantise(const std::vector<double>& samples) {
    std::vector<std::int16_t> out(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double value = std::clamp(samples[i] * 32767.0, -32767.0, 32767.0);
        out[i] = static_cast<std::int16_t>(std::lround(value));
    }
    return out;
}

std::vector<std::int16_t> RenderEffect(const Recipe& recipe, const std::string& source) {
    std::vector<double> samples = Render(recipe, source, kEffectRate);
    if (!recipe.IsLoop()) ShapeOneShotEnds(samples, kEffectRate);
    NormalisePeak(samples, PeakLevelDb(recipe.kind));
    return Quantise(samples);
}

}  // namespace sfx
