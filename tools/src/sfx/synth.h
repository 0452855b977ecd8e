#pragma once
// The synth: renders recipes in double precision into mono sample buffers, and finishes them as 16-bit PCM
// at their class's peak level. Loops render into a circular buffer, so that their end runs on into their start.
#include <cstdint>
#include <string>
#include <vector>

#include "sfx/recipe.h"

namespace sfx {

// One voice of the layers, as for a one-shot: layer i draws its noise from seed + i, every frequency is
// scaled by the pitch ratio, and the buffer is `length` samples long (later starts and tails are cut off).
std::vector<double> RenderVoice(const std::vector<Layer>& layers, double pitch, std::uint32_t seed, int rate,
                                std::size_t length);

// The recipe's samples, before levels are set. A loop whose layers do not repeat within its length (a
// drone whose period does not divide it, a repeat period that does not, a sweep on a drone, a limited
// repeat) is refused with an Error naming the source.
std::vector<double> Render(const Recipe& recipe, const std::string& source, int rate = kEffectRate);

// An echo on the samples: linear, or around the loop when `circular`.
void ApplyEcho(const Echo& echo, int rate, bool circular, std::vector<double>& samples);

// Scales the samples so that the largest magnitude lies at the level (dBFS); silence stays silent.
void NormalisePeak(std::vector<double>& samples, double levelDb);
// A one-shot's edges: a 0.5 ms fade-in and a fade-out that reaches silence 5 ms before the end.
void ShapeOneShotEnds(std::vector<double>& samples, int rate);
// Full scale is 32767; the samples are rounded and kept within +-32767.
std::vector<std::int16_t> Quantise(const std::vector<double>& samples);

// The finished 16-bit samples of a recipe at the effect rate: ends shaped (one-shots), peak at the level.
std::vector<std::int16_t> RenderEffect(const Recipe& recipe, const std::string& source);

}  // namespace sfx
