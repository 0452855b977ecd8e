#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image/mip_filter.h"
#include "engine/image/pixel_format.h"

namespace {

using namespace engine;

// A full mip chain of B, G, R, A levels, each in its own exactly sized buffer so that a read past a level's
// end is caught by the sanitizers.
struct Chain {
    std::vector<std::vector<std::uint8_t>> levels;
    std::vector<MipLevelView> views;

    Chain(std::uint32_t w, std::uint32_t h, int bytes) {
        for (;;) {
            levels.emplace_back(std::size_t{w} * h * bytes, 0);
            views.push_back(MipLevelView{levels.back().data(), w, h, std::size_t{w} * bytes});
            if (w == 1 && h == 1) break;
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
        }
        for (std::size_t i = 0; i < views.size(); ++i) views[i].bits = levels[i].data();
    }
    void Fill(std::uint32_t argb) {
        for (std::size_t i = 0; i + 3 < levels[0].size(); i += 4) {
            WritePixel(argb >> 24, (argb >> 16) & 255, (argb >> 8) & 255, argb & 255, &levels[0][i], 0);
        }
    }
    std::uint32_t Pixel(std::size_t level, std::uint32_t x, std::uint32_t y) const {
        const std::uint8_t* p = &levels[level][(std::size_t{y} * views[level].width + x) * 4];
        return (std::uint32_t{p[3]} << 24) | (p[2] << 16) | (p[1] << 8) | p[0];
    }
};

TEST(MipFilter, Table) {
    struct Row {
        const char* what;
        std::uint32_t width, height;
        int kind;
        std::vector<std::uint32_t> top;  // level 0, or one colour for all of it
        std::uint32_t last;              // the 1 x 1 level
    };
    const std::vector<Row> rows = {
        {"4x4 uniform, box", 4, 4, kMipBox, {0xC0336699u}, 0xC0336699u},
        {"4x4 uniform, alpha-weighted", 4, 4, kMipAlphaWeighted, {0xC0336699u}, 0xC0336699u},
        {"8x2 keeps its brightness (box)", 8, 2, kMipBox, {0xFFC8C8C8u}, 0xFFC8C8C8u},
        {"2x8 keeps its brightness (box)", 2, 8, kMipBox, {0xFFC8C8C8u}, 0xFFC8C8C8u},
        {"1x4 alpha-weighted stays inside its one column", 1, 4, kMipAlphaWeighted, {0xFF102030u}, 0xFF102030u},
        {"4x1 alpha-weighted stays inside its one row", 4, 1, kMipAlphaWeighted, {0xFF102030u}, 0xFF102030u},
        {"one opaque red among transparent (alpha-weighted)", 2, 2, kMipAlphaWeighted,
         {0xFFFF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFFFFu}, 0xFFFF0000u},
        {"box rounds up: (sum + n - 1) / n", 2, 2, kMipBox, {0x00000001u, 0x00000000u, 0x00000000u, 0x00000000u},
         0x00000001u},
        {"2x1 box mean", 2, 1, kMipBox, {0xFF0000FFu, 0xFF000000u}, 0xFF000080u},
        {"all transparent (alpha-weighted) gives black", 2, 2, kMipAlphaWeighted,
         {0x00FF0000u, 0x00FF0000u, 0x00FF0000u, 0x00FF0000u}, 0x00000000u},
    };
    for (const Row& row : rows) {
        Chain chain(row.width, row.height, 4);
        if (row.top.size() == 1) {
            chain.Fill(row.top[0]);
        } else {
            for (std::uint32_t i = 0; i < row.top.size(); ++i) {
                const std::uint32_t c = row.top[i];
                WritePixel(c >> 24, (c >> 16) & 255, (c >> 8) & 255, c & 255, &chain.levels[0][i * 4], 0);
            }
        }
        GenerateMipLevels(chain.views, kPixelFormat8888, row.kind);
        if (row.top.size() == 1) {
            for (std::size_t level = 1; level < chain.views.size(); ++level) {
                for (std::uint32_t y = 0; y < chain.views[level].height; ++y) {
                    for (std::uint32_t x = 0; x < chain.views[level].width; ++x) {
                        EXPECT_EQ(chain.Pixel(level, x, y), row.top[0]) << row.what << " level " << level;
                    }
                }
            }
        }
        EXPECT_EQ(chain.Pixel(chain.views.size() - 1, 0, 0), row.last) << row.what;
    }
}

TEST(MipFilter, SixteenBitFormatsAndOtherKinds) {
    // 4444: an opaque colour keeps its bytes through both filters.
    for (int kind : {kMipBox, kMipAlphaWeighted}) {
        Chain chain(4, 4, 2);
        for (std::size_t i = 0; i < chain.levels[0].size(); i += 2) {
            WritePixel(255, 0x88, 0x44, 0x22, &chain.levels[0][i], kPixelFormat4444);
        }
        GenerateMipLevels(chain.views, kPixelFormat4444, kind);
        for (std::size_t level = 1; level < chain.levels.size(); ++level) {
            EXPECT_EQ(chain.levels[level][0], 0x42) << kind;
            EXPECT_EQ(chain.levels[level][1], 0xF8) << kind;
        }
    }
    // Unknown kinds and block-compressed codes leave the levels alone.
    for (auto [code, kind] : {std::pair{kPixelFormat8888, 3}, std::pair{kPixelFormatDxt1, kMipBox},
                              std::pair{kPixelFormatDxt3, kMipAlphaWeighted}}) {
        Chain chain(4, 4, 4);
        chain.Fill(0xFFFFFFFFu);
        GenerateMipLevels(chain.views, code, kind);
        EXPECT_EQ(chain.Pixel(1, 0, 0), 0u) << code << " " << kind;
    }
}

TEST(MipFilter, ChainLength) {
    EXPECT_EQ(FullMipChainLength(64, 32), 7u);
    EXPECT_EQ(FullMipChainLength(1, 1), 1u);
    EXPECT_EQ(FullMipChainLength(0, 0), 1u);
    EXPECT_EQ(FullMipChainLength(100, 60), 7u);
    EXPECT_EQ(FullMipChainLength(16384, 2), 15u);
}

}  // namespace
