#pragma once
// Second-order filters from the usual analogue prototypes by the bilinear transform, run in double precision.
#include <cstddef>
#include <vector>

namespace sfx {

enum class FilterKind { Lowpass, Highpass, Bandpass };

class Biquad {
public:
    // The corner (or centre) frequency must lie below half the rate; q > 0.
    Biquad(FilterKind kind, double frequency, double q, int rate);

    double Step(double x);
    // Filters the samples in place from a silent start.
    void Run(std::vector<double>& samples);
    // Filters a loop in place as the steady state of its endless repetition: one pass over the samples settles
    // the filter, the second writes the output.
    void RunCircular(std::vector<double>& samples);

private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

}  // namespace sfx
