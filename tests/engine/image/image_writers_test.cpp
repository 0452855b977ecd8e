#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data_folder_fixture.h"
#include "engine/platform/data_files.h"
#include "engine/image/dds_file.h"
#include "engine/image/dds_writer.h"
#include "engine/image/image.h"
#include "engine/image/image_writers.h"
#include "png_fixture.h"

namespace {

using namespace engine;
using Bytes = std::vector<std::uint8_t>;

// B, G, R, A texels with every alpha class and no opaque magenta (which the DDS loader keys out).
Bytes Texels(std::uint32_t w, std::uint32_t h, bool withAlpha) {
    Bytes out;
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) {
            const std::uint8_t a = withAlpha ? static_cast<std::uint8_t>((x * 37 + y * 11) % 256) : 255;
            out.insert(out.end(), {static_cast<std::uint8_t>(x * 9), static_cast<std::uint8_t>(y * 5),
                                   static_cast<std::uint8_t>(100 + x + y), a});
        }
    }
    return out;
}

Bytes ImagePixels(const Image& image) {
    return Bytes(image.Pixels(), image.Pixels() + image.Pitch() * image.Height());
}

class ImageWriters : public rendertest::DataFolderTest {
protected:
    ImageWriters() { MakeFolder("units"); }
};

TEST_F(ImageWriters, TgaAndPngReloadBitExactFromNamesWithFolders) {
    const Bytes pixels = Texels(13, 7, true);
    const ConstSurfaceView level = PackedSurface(SurfaceFormat::kA8R8G8B8, 13, 7, pixels.data());
    // Saved as the texture code names them, reloaded as the loaders ask for them.
    ASSERT_EQ(SaveTgaFile(WideString("Units\\Tank.TGA"), level), 1);
    ASSERT_EQ(SavePngFile(WideString("Units\\Hull.PNG"), level), 1);
    EXPECT_EQ(Names(), std::set<std::string>{"units"});  // no second folder that differs only in case
    EXPECT_EQ(Names("units"), (std::set<std::string>{"Hull.PNG", "Tank.TGA"}));  // no temporary files left

    for (const char* name : {"Units/Tank", "Units/Hull"}) {
        Image image;
        ASSERT_EQ(image.Load(name), 1) << name;
        EXPECT_EQ(image.Width(), 13u);
        EXPECT_EQ(image.Height(), 7u);
        EXPECT_EQ(ImagePixels(image), pixels) << name;
        EXPECT_EQ(image.GetAlphaKind(), kAlphaBlended) << name;
    }
}

TEST_F(ImageWriters, OpaqueFormatsSaveAlpha255) {
    Bytes pixels = Texels(4, 4, true);
    const ConstSurfaceView level = PackedSurface(SurfaceFormat::kX8R8G8B8, 4, 4, pixels.data());
    ASSERT_EQ(SaveTgaFile(WideString("units/Opaque.TGA"), level), 1);
    ASSERT_EQ(SavePngFile(WideString("units/Opaque.PNG"), level), 1);
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    for (int png = 0; png < 2; ++png) {
        Image image;
        ASSERT_EQ(png ? image.LoadPng(WideString("units/Opaque")) : image.LoadTga(WideString("units/Opaque")), 1);
        EXPECT_EQ(ImagePixels(image), pixels);
        EXPECT_EQ(image.GetAlphaKind(), kAlphaOpaque);
    }
}

TEST_F(ImageWriters, WrittenPngVerifiesThroughZlib) {
    const Bytes pixels = Texels(33, 9, true);
    const Bytes file = EncodePng(PackedSurface(SurfaceFormat::kA8R8G8B8, 33, 9, pixels.data()));
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), pngtest::Signature());
    std::vector<std::string> types;
    Bytes idat;
    for (std::size_t at = 8; at < file.size();) {
        ASSERT_LE(at + 12, file.size());
        const std::uint32_t length = pngtest::LoadBe32(file, at);
        ASSERT_LE(at + 12 + length, file.size());
        const std::string type(file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               file.begin() + static_cast<std::ptrdiff_t>(at + 8));
        types.push_back(type);
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), file.data() + at + 4, 4 + length);
        EXPECT_EQ(pngtest::LoadBe32(file, at + 8 + length), crc) << type;
        if (type == "IHDR") {
            EXPECT_EQ(pngtest::LoadBe32(file, at + 8), 33u);
            EXPECT_EQ(pngtest::LoadBe32(file, at + 12), 9u);
            EXPECT_EQ(Bytes(file.begin() + static_cast<std::ptrdiff_t>(at + 16),
                            file.begin() + static_cast<std::ptrdiff_t>(at + 21)),
                      (Bytes{8, 6, 0, 0, 0}));
        }
        if (type == "IDAT") {
            idat.insert(idat.end(), file.begin() + static_cast<std::ptrdiff_t>(at + 8),
                        file.begin() + static_cast<std::ptrdiff_t>(at + 8 + length));
        }
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    // uncompress checks the Adler-32 value at the end of the stream.
    Bytes raw(9 * (1 + 33 * 4));
    uLongf size = static_cast<uLongf>(raw.size());
    ASSERT_EQ(uncompress(raw.data(), &size, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
    EXPECT_EQ(size, raw.size());
    for (std::size_t row = 0; row < 9; ++row) EXPECT_LE(raw[row * (1 + 33 * 4)], 4);
}

class DdsSaves : public ImageWriters {
protected:
    // Reads the file back the way the texture loader does: the name with ".dds" appended, archives then disk.
    bool Reload(const char* name, DdsImage& dds) {
        std::size_t size = 0;
        file_ = LoadWholeFile(WideString(name), size);
        return file_ != nullptr && ParseDds(file_.get(), size, dds);
    }
    static Bytes Decoded(const DdsImage& dds, std::uint32_t face, std::uint32_t level) {
        const DdsSurface& s = dds.Surface(face, level);
        Bytes out(std::size_t{s.width} * s.height * 4);
        EXPECT_TRUE(DecodeDdsSurface(dds, s, out.data(), std::size_t{s.width} * 4));
        return out;
    }
    std::unique_ptr<std::uint8_t[]> file_;
};

TEST_F(DdsSaves, UncompressedReloadsBitExact) {
    const Bytes top = Texels(8, 4, true), mid = Texels(4, 2, true);
    const Bytes low = Texels(2, 1, false), last = Texels(1, 1, true);
    const ConstSurfaceView levels[] = {PackedSurface(SurfaceFormat::kA8R8G8B8, 8, 4, top.data()),
                                       PackedSurface(SurfaceFormat::kA8R8G8B8, 4, 2, mid.data()),
                                       PackedSurface(SurfaceFormat::kA8R8G8B8, 2, 1, low.data()),
                                       PackedSurface(SurfaceFormat::kA8R8G8B8, 1, 1, last.data())};
    const Bytes file = EncodeDds(SurfaceFormat::kA8R8G8B8, 8, 4, 4, false, levels);
    ASSERT_EQ(SaveDataFile(WideString("Units\\Track.DDS"), file.data(), file.size()), 1);
    DdsImage dds;
    ASSERT_TRUE(Reload("Units/Track.dds", dds));
    EXPECT_FALSE(dds.hasTrailer);
    EXPECT_EQ(dds.alphaKind, kAlphaBlended);
    ASSERT_EQ(dds.levels, 4u);
    EXPECT_EQ(Decoded(dds, 0, 0), top);
    EXPECT_EQ(Decoded(dds, 0, 1), mid);
    EXPECT_EQ(Decoded(dds, 0, 2), low);
    EXPECT_EQ(Decoded(dds, 0, 3), last);
}

TEST_F(DdsSaves, CompressedReloadsWithinToleranceAndTheSavedAlphaKind) {
    const Bytes pixels = Texels(16, 8, true);
    for (SurfaceFormat format : {SurfaceFormat::kDxt1, SurfaceFormat::kDxt3}) {
        Bytes blocks(static_cast<std::size_t>(SurfaceLevelBytes(format, 16, 8)));
        const SurfaceView packed{format, 16, 8, static_cast<std::size_t>(SurfaceRowBytes(format, 16)), blocks.data()};
        ASSERT_TRUE(CopySurface(PackedSurface(SurfaceFormat::kA8R8G8B8, 16, 8, pixels.data()), packed));
        const ConstSurfaceView view = packed;
        Bytes file = EncodeDds(format, 16, 8, 1, false, {&view, 1});
        const AlphaKind saved = format == SurfaceFormat::kDxt1 ? kAlphaOpaque : kAlphaKeyed;
        AppendDdsTrailer(file, saved);
        ASSERT_EQ(SaveDataFile(WideString("units\\Packed.DDS"), file.data(), file.size()), 1);
        DdsImage dds;
        ASSERT_TRUE(Reload("Units/Packed.dds", dds));
        EXPECT_TRUE(dds.hasTrailer);
        EXPECT_EQ(dds.alphaKind, saved);
        EXPECT_EQ(dds.Surface(0, 0).size, blocks.size());
        const Bytes back = Decoded(dds, 0, 0);
        for (std::size_t i = 0; i < back.size(); ++i) {
            const bool alpha = i % 4 == 3;
            if (alpha && format == SurfaceFormat::kDxt1) {
                EXPECT_EQ(back[i], 255);
            } else {
                EXPECT_LE(std::abs(back[i] - pixels[i]), alpha ? 8 : 12) << i;
            }
        }
    }
}

TEST_F(DdsSaves, CubeRoundTrips) {
    std::vector<Bytes> faces;
    std::vector<ConstSurfaceView> views;
    for (int f = 0; f < 6; ++f) {
        faces.push_back(Texels(4, 4, false));
        faces.back()[0] = static_cast<std::uint8_t>(f);
    }
    for (const Bytes& f : faces) views.push_back(PackedSurface(SurfaceFormat::kX8R8G8B8, 4, 4, f.data()));
    const Bytes file = EncodeDds(SurfaceFormat::kX8R8G8B8, 4, 4, 1, true, views);
    ASSERT_EQ(SaveDataFile(WideString("Units\\Sky.DDS"), file.data(), file.size()), 1);
    DdsImage dds;
    ASSERT_TRUE(Reload("UNITS/sky.dds", dds));
    EXPECT_TRUE(dds.cube);
    EXPECT_EQ(dds.alphaKind, kAlphaOpaque);
    for (std::uint32_t f = 0; f < 6; ++f) EXPECT_EQ(Decoded(dds, f, 0), faces[f]) << f;
}

TEST_F(ImageWriters, FailedSavesLeaveNothingBehind) {
    const Bytes pixels = Texels(2, 2, true);
    const ConstSurfaceView level = PackedSurface(SurfaceFormat::kA8R8G8B8, 2, 2, pixels.data());
    EXPECT_EQ(SavePngFile(WideString("Missing/Folder.PNG"), level), 0);
    EXPECT_EQ(SaveTgaFile(WideString("units/Empty.TGA"), ConstSurfaceView{}), 0);
    EXPECT_EQ(Names(), std::set<std::string>{"units"});
    EXPECT_TRUE(Names("units").empty());
    // A second save replaces the first.
    ASSERT_EQ(SaveDataFile(WideString("units/Note.DDS"), "one", 3), 1);
    ASSERT_EQ(SaveDataFile(WideString("Units/note.dds"), "two!", 4), 1);
    EXPECT_EQ(Names("units"), std::set<std::string>{"Note.DDS"});
    std::size_t size = 0;
    const auto data = LoadWholeFile(WideString("Units/Note.dds"), size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.get()), size), "two!");
}

}  // namespace
