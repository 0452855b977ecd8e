// Decoding a 1024 x 1024 truecolour-with-alpha PNG written at zlib level 6: the whole decode, our inflate
// alone, and zlib's uncompress on the same stream for comparison.
#include <benchmark/benchmark.h>

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "engine/image/image_writers.h"
#include "engine/image/inflate.h"
#include "engine/image/png_decoder.h"

namespace {

constexpr std::uint32_t kSide = 1024;

// Smooth colour fields with soft-edged discs and a little noise, like painted texture art.
std::vector<std::uint8_t> Picture() {
    std::vector<std::uint8_t> bgra(std::size_t{kSide} * kSide * 4);
    std::mt19937 random(11);
    for (std::uint32_t y = 0; y < kSide; ++y) {
        for (std::uint32_t x = 0; x < kSide; ++x) {
            std::uint8_t* p = &bgra[(std::size_t{y} * kSide + x) * 4];
            const double fx = x / 64.0, fy = y / 48.0;
            const int noise = static_cast<int>(random() % 7) - 3;
            p[0] = static_cast<std::uint8_t>(std::clamp(128 + 100 * std::sin(fx) + noise, 0.0, 255.0));
            p[1] = static_cast<std::uint8_t>(std::clamp(128 + 90 * std::cos(fy + fx / 3) + noise, 0.0, 255.0));
            p[2] = static_cast<std::uint8_t>((x ^ y) >> 2);
            const double dx = static_cast<double>(x % 256) - 128, dy = static_cast<double>(y % 256) - 128;
            p[3] = static_cast<std::uint8_t>(std::clamp(400 - std::sqrt(dx * dx + dy * dy) * 3, 0.0, 255.0));
        }
    }
    return bgra;
}

struct Fixture {
    std::vector<std::uint8_t> png;
    std::vector<std::uint8_t> stream;  // the IDAT data: one zlib stream

    Fixture() {
        const std::vector<std::uint8_t> bgra = Picture();
        png = engine::EncodePng(engine::ConstSurfaceView{engine::SurfaceFormat::kA8R8G8B8, kSide, kSide,
                                                         std::size_t{kSide} * 4, bgra.data()});
        for (std::size_t at = 8; at + 8 <= png.size();) {
            const std::uint32_t length = (std::uint32_t{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) |
                                         png[at + 3];
            if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) {
                stream.insert(stream.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8),
                              png.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
            }
            at += 12 + length;
        }
    }
    std::size_t Inflated() const { return std::size_t{kSide} * (kSide * 4 + 1); }
};

const Fixture& Shared() {
    static const Fixture fixture;
    return fixture;
}

void BM_DecodePng(benchmark::State& state) {
    const Fixture& f = Shared();
    for (auto _ : state) {
        engine::DecodedPng png = engine::DecodePng(f.png.data(), f.png.size());
        if (png.error != engine::kPngOk) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(png.pixels.get());
    }
    state.counters["file_bytes"] = static_cast<double>(f.png.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.Inflated()));
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

void BM_OurInflate(benchmark::State& state) {
    const Fixture& f = Shared();
    std::vector<std::uint8_t> out(f.Inflated());
    for (auto _ : state) {
        std::size_t produced = 0;
        if (engine::InflateZlib(f.stream.data(), f.stream.size(), out.data(), out.size(), produced) !=
                engine::kInflateOk ||
            produced != out.size()) {
            state.SkipWithError("inflate failed");
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.Inflated()));
}
BENCHMARK(BM_OurInflate)->Unit(benchmark::kMillisecond);

void BM_ZlibUncompress(benchmark::State& state) {
    const Fixture& f = Shared();
    std::vector<std::uint8_t> out(f.Inflated());
    for (auto _ : state) {
        uLongf produced = static_cast<uLongf>(out.size());
        if (uncompress(out.data(), &produced, f.stream.data(), static_cast<uLong>(f.stream.size())) != Z_OK ||
            produced != out.size()) {
            state.SkipWithError("uncompress failed");
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.Inflated()));
}
BENCHMARK(BM_ZlibUncompress)->Unit(benchmark::kMillisecond);

}  // namespace
