#include "sfx/biquad.h"

#include <cmath>
#include <numbers>

namespace sfx {

Biquad::Biquad(FilterKind kind, double frequency, double q, int rate) {
    const double w = 2.0 * std::numbers::pi * frequency / rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    double b0 = 0, b1 = 0, b2 = 0;
    switch (kind) {
    case FilterKind::Lowpass:
        b0 = (1.0 - c) / 2.0;
        b1 = 1.0 - c;
        b2 = b0;
        break;
    case FilterKind::Highpass:
        b0 = (1.0 + c) / 2.0;
        b1 = -(1.0 + c);
        b2 = b0;
        break;
    case FilterKind::Bandpass:  // 0 dB at the centre
        b0 = alpha;
        b1 = 0.0;
        b2 = -alpha;
        break;
    }
    const double a0 = 1.0 + alpha;
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = -2.0 * c / a0;
    a2_ = (1.0 - alpha) / a0;
}

double Biquad::Step(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

void Biquad::Run(std::vector<double>& samples) {
    for (double& s : samples) s = Step(s);
}

void Biquad::RunCircular(std::vector<double>& samples) {
    for (const double s : samples) Step(s);
    Run(samples);
}

}  // namespace sfx
