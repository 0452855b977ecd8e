// DXT block encoding: end colours from the block's principal colour axis, one least-squares refinement.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/image/dxt_codec.h"

namespace engine {

namespace {

struct Rgb {
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

Rgb TexelRgb(const std::uint8_t* texel) { return Rgb{float(texel[2]), float(texel[1]), float(texel[0])}; }

unsigned Quantise(float v, unsigned max) {
    const float clamped = std::clamp(v, 0.0f, 255.0f);
    return static_cast<unsigned>(clamped * static_cast<float>(max) / 255.0f + 0.5f);
}

unsigned To565(const Rgb& c) { return (Quantise(c.r, 31) << 11) | (Quantise(c.g, 63) << 5) | Quantise(c.b, 31); }

// The four-colour palette that decoders build from two 5:6:5 colours, as R, G, B.
void Palette(unsigned c0, unsigned c1, int palette[4][3]) {
    auto expand = [](unsigned c, int* rgb) {
        const unsigned r = (c >> 11) & 0x1Fu, g = (c >> 5) & 0x3Fu, b = c & 0x1Fu;
        rgb[0] = static_cast<int>((r << 3) | (r >> 2));
        rgb[1] = static_cast<int>((g << 2) | (g >> 4));
        rgb[2] = static_cast<int>((b << 3) | (b >> 2));
    };
    expand(c0, palette[0]);
    expand(c1, palette[1]);
    for (int ch = 0; ch < 3; ++ch) {
        palette[2][ch] = (2 * palette[0][ch] + palette[1][ch]) / 3;
        palette[3][ch] = (palette[0][ch] + 2 * palette[1][ch]) / 3;
    }
}

struct Candidate {
    unsigned c0 = 0, c1 = 0;
    std::uint8_t indices[16] = {};
    long error = 0;
};

// Orders the end colours for the four-colour rule (c0 > c1) and picks each texel's nearest entry. Equal end
// colours give index 0 everywhere, which decodes to that colour under either rule.
Candidate Fit(const std::uint8_t* texels, unsigned c0, unsigned c1) {
    Candidate out;
    if (c0 < c1) std::swap(c0, c1);
    out.c0 = c0;
    out.c1 = c1;
    int palette[4][3];
    Palette(c0, c1, palette);
    const int entries = c0 == c1 ? 1 : 4;
    for (int i = 0; i < 16; ++i) {
        const int rgb[3] = {texels[i * 4 + 2], texels[i * 4 + 1], texels[i * 4]};
        long best = -1;
        for (int e = 0; e < entries; ++e) {
            long d = 0;
            for (int ch = 0; ch < 3; ++ch) d += long(rgb[ch] - palette[e][ch]) * (rgb[ch] - palette[e][ch]);
            if (best < 0 || d < best) {
                best = d;
                out.indices[i] = static_cast<std::uint8_t>(e);
            }
        }
        out.error += best;
    }
    return out;
}

// The principal axis of the texels' colours (power iteration on their covariance).
Rgb PrincipalAxis(const std::uint8_t* texels, const Rgb& mean) {
    float cov[6] = {};  // rr, rg, rb, gg, gb, bb
    Rgb lo{255, 255, 255}, hi{0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        const Rgb c = TexelRgb(texels + i * 4);
        const float r = c.r - mean.r, g = c.g - mean.g, b = c.b - mean.b;
        cov[0] += r * r;
        cov[1] += r * g;
        cov[2] += r * b;
        cov[3] += g * g;
        cov[4] += g * b;
        cov[5] += b * b;
        lo = Rgb{std::min(lo.r, c.r), std::min(lo.g, c.g), std::min(lo.b, c.b)};
        hi = Rgb{std::max(hi.r, c.r), std::max(hi.g, c.g), std::max(hi.b, c.b)};
    }
    Rgb v{hi.r - lo.r, hi.g - lo.g, hi.b - lo.b};
    for (int iteration = 0; iteration < 8; ++iteration) {
        const Rgb w{cov[0] * v.r + cov[1] * v.g + cov[2] * v.b, cov[1] * v.r + cov[3] * v.g + cov[4] * v.b,
                    cov[2] * v.r + cov[4] * v.g + cov[5] * v.b};
        const float length = std::sqrt(w.r * w.r + w.g * w.g + w.b * w.b);
        if (!(length > 1e-6f)) break;
        v = Rgb{w.r / length, w.g / length, w.b / length};
    }
    const float length = std::sqrt(v.r * v.r + v.g * v.g + v.b * v.b);
    if (!(length > 1e-6f)) return Rgb{};
    return Rgb{v.r / length, v.g / length, v.b / length};
}

// End colours that best reproduce the texels with the candidate's indices (least squares per channel).
bool Refit(const std::uint8_t* texels, const Candidate& fit, unsigned& c0, unsigned& c1) {
    static constexpr float kWeight0[4] = {1.0f, 0.0f, 2.0f / 3.0f, 1.0f / 3.0f};
    float aa = 0, ab = 0, bb = 0;
    Rgb ax, bx;
    for (int i = 0; i < 16; ++i) {
        const float a = kWeight0[fit.indices[i]], b = 1.0f - a;
        const Rgb c = TexelRgb(texels + i * 4);
        aa += a * a;
        ab += a * b;
        bb += b * b;
        ax = Rgb{ax.r + a * c.r, ax.g + a * c.g, ax.b + a * c.b};
        bx = Rgb{bx.r + b * c.r, bx.g + b * c.g, bx.b + b * c.b};
    }
    const float det = aa * bb - ab * ab;
    if (std::fabs(det) < 1e-6f) return false;
    const Rgb e0{(bb * ax.r - ab * bx.r) / det, (bb * ax.g - ab * bx.g) / det, (bb * ax.b - ab * bx.b) / det};
    const Rgb e1{(aa * bx.r - ab * ax.r) / det, (aa * bx.g - ab * ax.g) / det, (aa * bx.b - ab * ax.b) / det};
    c0 = To565(e0);
    c1 = To565(e1);
    return true;
}

void EncodeColours(const std::uint8_t* texels, std::uint8_t* block) {
    Rgb mean;
    for (int i = 0; i < 16; ++i) {
        const Rgb c = TexelRgb(texels + i * 4);
        mean = Rgb{mean.r + c.r / 16, mean.g + c.g / 16, mean.b + c.b / 16};
    }
    const Rgb axis = PrincipalAxis(texels, mean);
    float lo = 0.0f, hi = 0.0f;
    for (int i = 0; i < 16; ++i) {
        const Rgb c = TexelRgb(texels + i * 4);
        const float t = (c.r - mean.r) * axis.r + (c.g - mean.g) * axis.g + (c.b - mean.b) * axis.b;
        lo = std::min(lo, t);
        hi = std::max(hi, t);
    }
    const Rgb e0{mean.r + hi * axis.r, mean.g + hi * axis.g, mean.b + hi * axis.b};
    const Rgb e1{mean.r + lo * axis.r, mean.g + lo * axis.g, mean.b + lo * axis.b};
    Candidate best = Fit(texels, To565(e0), To565(e1));
    unsigned r0 = 0, r1 = 0;
    if (best.error > 0 && Refit(texels, best, r0, r1)) {
        const Candidate refined = Fit(texels, r0, r1);
        if (refined.error < best.error) best = refined;
    }
    block[0] = static_cast<std::uint8_t>(best.c0);
    block[1] = static_cast<std::uint8_t>(best.c0 >> 8);
    block[2] = static_cast<std::uint8_t>(best.c1);
    block[3] = static_cast<std::uint8_t>(best.c1 >> 8);
    std::uint32_t indices = 0;
    for (int i = 0; i < 16; ++i) indices |= std::uint32_t{best.indices[i]} << (2 * i);
    for (int k = 0; k < 4; ++k) block[4 + k] = static_cast<std::uint8_t>(indices >> (8 * k));
}

}  // namespace

void EncodeDxt1Block(const std::uint8_t* texels, std::uint8_t* block) { EncodeColours(texels, block); }

void EncodeDxt3Block(const std::uint8_t* texels, std::uint8_t* block) {
    std::memset(block, 0, 8);
    for (int i = 0; i < 16; ++i) {
        const unsigned alpha = (texels[i * 4 + 3] + 8u) / 17u;
        block[i / 2] = static_cast<std::uint8_t>(block[i / 2] | (alpha << (4 * (i & 1))));
    }
    EncodeColours(texels, block + 8);
}

}  // namespace engine
