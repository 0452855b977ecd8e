// Textures from DDS files of every format the reader takes, sampled against the CPU decoder; copies,
// updates, DDS saves reloaded through the table, and device loss.
#include <cstdlib>
#include <cstring>

#include "engine/image/dds_file.h"
#include "engine/image/dds_writer.h"
#include "engine/image/dxt_codec.h"
#include "engine/image/surface_copy.h"
#include "engine/render/texture_levels.h"
#include "engine/render_textures/texture_table_fixture.h"

namespace {

using engine::SurfaceFormat;
using engine::Texture;
using engine::TextureTable;
using rendertest::TextureTableTest;
using Bytes = std::vector<std::uint8_t>;

// An 8 x 8 picture with opaque, transparent, half-transparent and magenta texels (B, G, R, A bytes).
Bytes Pattern(std::uint32_t size = 8) {
    Bytes texels(std::size_t{size} * size * 4);
    for (std::uint32_t i = 0; i < size * size; ++i) {
        std::uint32_t argb = 0xFF000000u | (i * 0x030507u);
        if (i % 7 == 3) argb = 0x80204060u;
        if (i % 11 == 5) argb = 0x00000000u;
        if (i % 13 == 6) argb = 0xFFFF00FFu;
        for (int b = 0; b < 4; ++b) texels[i * 4 + b] = static_cast<std::uint8_t>(argb >> (8 * b));
    }
    return texels;
}

// The pattern in a format, `levels` levels per face (lower levels are the pattern's top-left corner).
Bytes PatternDds(SurfaceFormat format, std::uint32_t levels, bool cube = false) {
    const Bytes source = Pattern(16);  // faces start one texel apart in it
    std::vector<Bytes> storage;
    std::vector<engine::ConstSurfaceView> views;
    for (int face = 0; face < (cube ? 6 : 1); ++face) {
        for (std::uint32_t level = 0; level < levels; ++level) {
            const std::uint32_t size = 8u >> level;
            storage.emplace_back(engine::SurfaceLevelBytes(format, size, size));
            const engine::SurfaceView to{format, size, size, engine::SurfaceRowBytes(format, size),
                                         storage.back().data()};
            EXPECT_TRUE(engine::Argb8888ToSurface(source.data() + face * 4, 64, to));
        }
    }
    for (std::size_t i = 0; i < storage.size(); ++i) {
        const std::uint32_t size = 8u >> (i % levels);
        views.push_back(engine::PackedSurface(format, size, size, storage[i].data()));
    }
    return engine::EncodeDds(format, 8, 8, levels, cube, views);
}

// A DXT1 file of 8 x 8 whose first block uses the three-colour rule with transparent texels.
Bytes ThreeColourDxt1() {
    Bytes file = PatternDds(SurfaceFormat::kDxt1, 1);
    const std::uint8_t block[8] = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4};  // blue <= red; idx 0..3
    std::memcpy(file.data() + 128, block, 8);
    return file;
}

// The level's texels as the CPU decoder reads them from the file.
Bytes Decoded(const Bytes& file, std::uint32_t face, std::uint32_t level) {
    engine::DdsImage dds;
    EXPECT_TRUE(engine::ParseDds(file.data(), file.size(), dds));
    const engine::DdsSurface& surface = dds.Surface(face, level);
    Bytes pixels(std::size_t{surface.width} * surface.height * 4);
    EXPECT_TRUE(engine::DecodeDdsSurface(dds, surface, pixels.data(), std::size_t{surface.width} * 4));
    return pixels;
}

Bytes LevelOf(sys::GpuBaseTexture& texture, std::uint32_t face, std::uint32_t level) {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    return engine::ReadTextureLevel(texture, face, level, width, height);
}

TEST_F(TextureTableTest, DdsFormatsLoadAndSampleAsTheCpuDecoderReadsThem) {
    struct Case {
        const char* name;
        Bytes file;
        std::uint32_t levels;
        int format;
        engine::AlphaKind alpha;
    };
    Bytes withTrailer = PatternDds(SurfaceFormat::kDxt3, 1);
    engine::AppendDdsTrailer(withTrailer, engine::kAlphaKeyed);
    const Case cases[] = {
        {"A8R8G8B8", PatternDds(SurfaceFormat::kA8R8G8B8, 1), 1, 0, engine::kAlphaBlended},
        {"X8R8G8B8", PatternDds(SurfaceFormat::kX8R8G8B8, 1), 1, 0, engine::kAlphaOpaque},
        {"R5G6B5", PatternDds(SurfaceFormat::kR5G6B5, 1), 1, 0, engine::kAlphaOpaque},
        {"A1R5G5B5", PatternDds(SurfaceFormat::kA1R5G5B5, 1), 1, 0, engine::kAlphaKeyed},
        {"A4R4G4B4", PatternDds(SurfaceFormat::kA4R4G4B4, 1), 1, 0, engine::kAlphaBlended},
        {"DXT1", ThreeColourDxt1(), 1, 3, engine::kAlphaOpaque},
        {"DXT3", PatternDds(SurfaceFormat::kDxt3, 1), 1, 4, engine::kAlphaBlended},
        {"DXT3 trailer", withTrailer, 1, 4, engine::kAlphaKeyed},
        {"A8R8G8B8 chain", PatternDds(SurfaceFormat::kA8R8G8B8, 4), 4, 0, engine::kAlphaBlended},
        {"DXT1 chain", PatternDds(SurfaceFormat::kDxt1, 3), 3, 3, engine::kAlphaOpaque},
    };
    // Where the driver takes S3TC blocks, DXT files keep their blocks on the GPU.
    sys::GpuTexture* probe = Gpu().CreateTexture(4, 4, 1, 0, sys::kFmtDxt1, sys::kPoolManaged);
    const bool blocks = probe != nullptr;
    if (probe != nullptr) probe->Release();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = std::string("Dds/") + c.name;
        Put(name + ".dds", c.file);
        const int handle = TextureTable::LoadDds(name.c_str());
        ASSERT_NE(handle, 0);
        Texture* texture = TextureTable::Get(handle);
        EXPECT_EQ(texture->width, 8u);
        EXPECT_EQ(texture->height, 8u);
        EXPECT_EQ(texture->format, c.format);
        EXPECT_EQ(texture->alphaKind, c.alpha);
        EXPECT_TRUE(texture->name.EqualsNarrow(name.c_str()));
        ASSERT_NE(texture->texture, nullptr);
        EXPECT_EQ(texture->texture->GetLevelCount(), c.levels);
        const sys::GpuFormat stored =
            c.format == 3 ? sys::kFmtDxt1 : (c.format == 4 ? sys::kFmtDxt3 : sys::kFmtUnknown);
        if (stored != sys::kFmtUnknown) {
            EXPECT_EQ(texture->texture->Format(), blocks ? stored : sys::kFmtA8R8G8B8);
        }
        for (std::uint32_t level = 0; level < c.levels; ++level) {
            EXPECT_EQ(LevelOf(*texture->texture, 0, level), Decoded(c.file, 0, level)) << "level " << level;
        }
        const Bytes expected = Decoded(c.file, 0, 0);
        const auto picture = Sample(handle, 8, 8);
        const bool opaque = texture->texture->Format() == sys::kFmtX8R8G8B8;
        // The GPU's own block decoder may round the interpolated colours the other way.
        const int tolerance = texture->texture->Format() == stored && stored != sys::kFmtUnknown ? 1 : 0;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                auto want = rendertest::TexelRgba(&expected[(y * 8 + x) * 4]);
                if (opaque) want[3] = 255;
                const auto got = SampledAt(picture, x, y);
                for (int channel = 0; channel < 4; ++channel) {
                    ASSERT_LE(std::abs(got[channel] - want[channel]), tolerance) << x << ", " << y << " " << channel;
                }
            }
        }
    }
    // The three-colour block keeps its transparent texel; magenta became transparent black in 8888.
    const Bytes dxt1 = Decoded(ThreeColourDxt1(), 0, 0);
    EXPECT_EQ(dxt1[3 * 4 + 3], 0);
    Put("Dds/Bad.dds", Bytes(100, 0));
    EXPECT_EQ(TextureTable::LoadDds("Dds/Bad"), 0);
    EXPECT_EQ(TextureTable::LoadDds("Dds/Missing"), 0);
}

TEST_F(TextureTableTest, CubeDdsLoadsLevelZeroOfEachFace) {
    const Bytes file = PatternDds(SurfaceFormat::kA8R8G8B8, 2, true);
    Put("Sky.dds", file);
    const int handle = TextureTable::Load("Sky", 1);
    ASSERT_NE(handle, 0);
    Texture* texture = TextureTable::Get(handle);
    EXPECT_EQ(texture->flags, engine::kTextureCube);
    ASSERT_NE(texture->cubeTexture, nullptr);
    EXPECT_EQ(texture->cubeTexture->GetLevelCount(), 1u);
    for (std::uint32_t face = 0; face < 6; ++face) {
        EXPECT_EQ(LevelOf(*texture->cubeTexture, face, 0), Decoded(file, face, 0));
    }
    // A cube is never found by name: the next load makes another texture.
    EXPECT_NE(TextureTable::Load("Sky", 1), handle);
}

TEST_F(TextureTableTest, CloneAndCopyOfAMipMappedDxt3DecodeEveryLevel) {
    const Bytes file = PatternDds(SurfaceFormat::kDxt3, 4);
    Put("X.dds", file);
    const int source = TextureTable::LoadDds("X");
    ASSERT_NE(source, 0);
    TextureTable::Get(source)->group = 2;
    const int clone = TextureTable::Get(source)->CloneViaImage();
    ASSERT_NE(clone, 0);
    Texture* copy = TextureTable::Get(clone);
    const std::string expectedName = "X_$$" + std::to_string(TextureTable::CopyCounter());
    EXPECT_TRUE(copy->name.EqualsNarrow(expectedName.c_str()));
    EXPECT_EQ(copy->format, 0);
    EXPECT_EQ(copy->bytesPerPixel, 4);
    EXPECT_EQ(copy->group, 2);
    EXPECT_EQ(copy->alphaKind, engine::kAlphaBlended);
    ASSERT_EQ(copy->texture->GetLevelCount(), 4u);
    for (std::uint32_t level = 0; level < 4; ++level) {
        EXPECT_EQ(LevelOf(*copy->texture, 0, level), Decoded(file, 0, level));
    }

    Texture* original = TextureTable::Get(source);
    original->CopyToManaged();
    EXPECT_EQ(original->format, 0);
    EXPECT_EQ(original->bytesPerPixel, 4);
    EXPECT_EQ(original->texture->GetLevelCount(), 1u);
    EXPECT_EQ(LevelOf(*original->texture, 0, 0), Decoded(file, 0, 0));

    // Without a 2D texture nothing is copied.
    const int empty = TextureTable::CreateEmpty("Empty");
    EXPECT_EQ(TextureTable::Get(empty)->CloneViaImage(), 0);
    TextureTable::Get(empty)->CopyToManaged();
    EXPECT_EQ(TextureTable::Get(empty)->texture, nullptr);
}

TEST_F(TextureTableTest, UpdateFromImageCopiesOnlyTheOverlap) {
    engine::Image red;
    ASSERT_TRUE(red.Create(8, 8, engine::WideString("Board")));
    auto* redTexels = reinterpret_cast<std::uint32_t*>(red.Pixels());
    std::fill(redTexels, redTexels + 64, 0xFFFF0000u);
    const int handle = TextureTable::CreateFromImage(red, 0);
    ASSERT_NE(handle, 0);
    Texture* texture = TextureTable::Get(handle);
    engine::Image green;
    ASSERT_TRUE(green.Create(6, 6, engine::WideString("Green")));
    auto* greenTexels = reinterpret_cast<std::uint32_t*>(green.Pixels());
    for (int i = 0; i < 36; ++i) greenTexels[i] = 0xFF00FF00u + static_cast<std::uint32_t>(i);

    const engine::IntRect over = {4, -2, 10, 10};
    EXPECT_EQ(texture->UpdateFromImage(green, &over), 1);
    const Bytes level = LevelOf(*texture->texture, 0, 0);
    const auto texel = [&](int x, int y) {
        std::uint32_t value;
        std::memcpy(&value, &level[(y * 8 + x) * 4], 4);
        return value;
    };
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 4 && x < 6 && y < 6;
            EXPECT_EQ(texel(x, y), inside ? greenTexels[y * 6 + x] : 0xFFFF0000u) << x << ", " << y;
        }
    }
    const engine::IntRect outside = {6, 0, 4, 4};
    EXPECT_EQ(texture->UpdateFromImage(green, &outside), 0);
    EXPECT_EQ(texture->UpdateFromImage(green, nullptr), 1);
    EXPECT_EQ(LevelOf(*texture->texture, 0, 0)[(5 * 8 + 5) * 4 + 1], 0xFF);
    EXPECT_EQ(texel(7, 7), 0xFFFF0000u);
}

TEST_F(TextureTableTest, DdsSavesReloadThroughTheTable) {
    std::filesystem::create_directories(folder_.Path() / "Data" / "PC" / "Saved");
    const Bytes pattern = Pattern();
    engine::Image image;
    ASSERT_TRUE(image.Create(8, 8, engine::WideString("Saved/Plain")));
    std::memcpy(image.Pixels(), pattern.data(), pattern.size());
    image.SetAlphaKind(engine::kAlphaBlended);
    const int plain = TextureTable::CreateFromImage(image, 1);
    ASSERT_NE(plain, 0);
    ASSERT_EQ(TextureTable::Get(plain)->SaveDds(0, 0), 1);
    const Bytes saved = LevelOf(*TextureTable::Get(plain)->texture, 0, 0);
    TextureTable::Release(plain);
    const int reloaded = TextureTable::LoadDds("Saved/Plain");
    ASSERT_NE(reloaded, 0);
    EXPECT_EQ(TextureTable::Get(reloaded)->texture->GetLevelCount(), 4u);
    // Opaque magenta was stored as it is and reads back through the load-time key as transparent black.
    Bytes keyed = saved;
    engine::ApplyColourKey(keyed.data(), 8, 8, 32, false);
    EXPECT_EQ(LevelOf(*TextureTable::Get(reloaded)->texture, 0, 0), keyed);

    ASSERT_TRUE(image.SetName(engine::WideString("Saved/Packed")));
    const int packed = TextureTable::CreateFromImage(image, 0);
    TextureTable::Get(packed)->alphaKind = engine::kAlphaKeyed;
    ASSERT_EQ(TextureTable::Get(packed)->SaveDds(1, 0), 1);
    TextureTable::Release(packed);
    const int back = TextureTable::LoadDds("Saved/Packed");
    ASSERT_NE(back, 0);
    EXPECT_EQ(TextureTable::Get(back)->format, 4);
    EXPECT_EQ(TextureTable::Get(back)->alphaKind, engine::kAlphaKeyed);
    // The texels are the block codec's own round trip of what was saved (the trailer is not texel data).
    Bytes blocks(16 * 4);
    ASSERT_TRUE(engine::EncodeDxtBlocks(SurfaceFormat::kDxt3, saved.data(), 32, 8, 8, blocks.data(), 32));
    Bytes expected(saved.size());
    ASSERT_TRUE(engine::DecodeDxtBlocks(SurfaceFormat::kDxt3, blocks.data(), 32, 8, 8, expected.data(), 32));
    EXPECT_EQ(LevelOf(*TextureTable::Get(back)->texture, 0, 0), expected);

    const int cube = TextureTable::MakeCheckCubeMap(0xFF0000FF, 0xFFFF0000);
    TextureTable::Get(cube)->name.AssignNarrow("Saved/Check_X");
    ASSERT_EQ(TextureTable::Get(cube)->SaveDds(0, 0), 1);
    const int cubeBack = TextureTable::LoadDds("Saved/Check");
    ASSERT_NE(cubeBack, 0);
    EXPECT_EQ(TextureTable::Get(cubeBack)->flags, engine::kTextureCube);
    for (std::uint32_t face = 0; face < 6; ++face) {
        EXPECT_EQ(LevelOf(*TextureTable::Get(cubeBack)->cubeTexture, face, 0),
                  LevelOf(*TextureTable::Get(cube)->cubeTexture, face, 0));
    }
}

TEST_F(TextureTableTest, DeviceLossReleasesOnlyDefaultPoolTextures) {
    const int loaded = TextureTable::MakeCheckTexture(0xFF0000FF, 0xFFFF0000, 8);
    const int target = TextureTable::CreateEmpty("Target");
    ASSERT_NE(target, 0);
    TextureTable::Get(target)->texture =
        Gpu().CreateTexture(8, 8, 1, sys::kUsageRenderTarget, sys::kFmtA8R8G8B8, sys::kPoolDefault);
    ASSERT_NE(TextureTable::Get(target)->texture, nullptr);
    const int hook = device_->AddResetHook([](bool release) {
        if (release) TextureTable::ReleaseDefaultPool();
    });
    sys::GpuHooks().loss = sys::GpuLossState::NotReset;
    EXPECT_FALSE(device_->RecoverLostDevice(true));
    EXPECT_EQ(TextureTable::Get(target)->texture, nullptr);
    ASSERT_NE(TextureTable::Get(loaded)->texture, nullptr);
    host_.frameMilliseconds = 100;
    bool recovered = false;
    for (int frame = 0; frame < 100 && !recovered; ++frame) recovered = device_->RecoverLostDevice(false);
    ASSERT_TRUE(recovered) << Gpu().CallCount(sys::GpuCall::Reset);
    device_->RemoveResetHook(hook);
    const auto picture = Sample(loaded, 8, 8);
    EXPECT_EQ(SampledAt(picture, 0, 0), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(SampledAt(picture, 1, 0), (std::array<int, 4>{255, 0, 0, 255}));
}

}  // namespace
