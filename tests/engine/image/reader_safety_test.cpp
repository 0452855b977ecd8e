// Every reader against damaged copies of good files: each truncation, and each size or length field set to
// 0, 1, 0xFFFF and 0xFFFFFFFF. Inputs are copied into buffers of exactly their size, so that the sanitizers
// see any read past the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dds_fixture.h"
#include "engine/image/dds_file.h"
#include "engine/image/image.h"
#include "engine/image/png_decoder.h"
#include "png_fixture.h"
#include "tga_fixture.h"

namespace {

using namespace engine;
using Bytes = std::vector<std::uint8_t>;

// Runs a reader on an exact copy; true when it accepted the input.
using Reader = std::function<bool(const std::uint8_t*, std::size_t)>;

bool Run(const Reader& reader, const Bytes& input) {
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[input.size()]);
    if (!input.empty()) std::memcpy(exact.get(), input.data(), input.size());
    return reader(exact.get(), input.size());
}

bool ReadPng(const std::uint8_t* data, std::size_t size) {
    const DecodedPng png = DecodePng(data, size);
    if (png.error != kPngOk) {
        EXPECT_EQ(png.pixels, nullptr);
        EXPECT_EQ(png.width, 0u);
        return false;
    }
    EXPECT_NE(png.pixels, nullptr);
    return true;
}

bool ReadTga(const std::uint8_t* data, std::size_t size) {
    Image image;
    if (image.DecodeTgaFile(data, size) != 1) return false;
    EXPECT_NE(image.Pixels(), nullptr);
    EXPECT_GT(image.Width(), 0u);
    return true;
}

bool ReadDds(const std::uint8_t* data, std::size_t size) {
    DdsImage dds;
    if (!ParseDds(data, size, dds)) return false;
    for (const DdsSurface& s : dds.surfaces) {
        Bytes pixels(std::size_t{s.width} * s.height * 4);
        EXPECT_TRUE(DecodeDdsSurface(dds, s, pixels.data(), std::size_t{s.width} * 4));
    }
    return true;
}

// A size field: its offset and width in bytes, big- or little-endian.
struct Field {
    std::string name;
    std::size_t offset;
    int bytes;
    bool bigEndian;
    // Values that must be refused; the others may load (as a smaller picture, say) but must read safely.
    std::function<bool(std::uint32_t)> mustRefuse;
};

void Store(Bytes& b, const Field& f, std::uint32_t v) {
    for (int i = 0; i < f.bytes; ++i) {
        const int shift = f.bigEndian ? 8 * (f.bytes - 1 - i) : 8 * i;
        b[f.offset + i] = static_cast<std::uint8_t>(v >> shift);
    }
}

void CheckFixture(const std::string& what, const Bytes& file, const Reader& reader, const std::vector<Field>& fields,
                  std::size_t mustRefuseCutsBelow) {
    ASSERT_TRUE(Run(reader, file)) << what << ": the fixture itself";
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
        const bool accepted = Run(reader, Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut)));
        if (cut < mustRefuseCutsBelow) {
            EXPECT_FALSE(accepted) << what << " cut to " << cut;
        }
    }
    for (const Field& f : fields) {
        for (std::uint32_t value : {0u, 1u, 0xFFFFu, 0xFFFFFFFFu}) {
            Bytes changed = file;
            Store(changed, f, value);
            if (changed == file) continue;
            const bool accepted = Run(reader, changed);
            if (f.mustRefuse(value)) {
                EXPECT_FALSE(accepted) << what << ": " << f.name << " = " << value;
            }
        }
    }
}

auto Always() { return [](std::uint32_t) { return true; }; }
auto Except1() { return [](std::uint32_t v) { return v != 1; }; }

// The length fields of every chunk, and the picture's size in IHDR: all must be refused.
std::vector<Field> PngFields(const Bytes& file) {
    std::vector<Field> fields = {{"width", 16, 4, true, Always()}, {"height", 20, 4, true, Always()}};
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = pngtest::LoadBe32(file, at);
        fields.push_back({std::string(file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                      file.begin() + static_cast<std::ptrdiff_t>(at + 8)) +
                              " length",
                          at, 4, true, Always()});
        at += 12 + length;
    }
    return fields;
}

TEST(ReaderSafety, Png) {
    std::vector<std::pair<std::string, Bytes>> fixtures;
    fixtures.emplace_back("RGBA 8", pngtest::Encode(pngtest::Pattern(8, 8, 8, 6)));
    pngtest::Picture palette = pngtest::Pattern(9, 5, 4, 3);
    for (int i = 0; i < 16; ++i) palette.palette.insert(palette.palette.end(), {std::uint8_t(i), 1, 2});
    palette.transparency = {0, 50, 100, 150};
    fixtures.emplace_back("palette 4 interlaced", pngtest::Encode(palette, true));
    pngtest::Picture grey = pngtest::Pattern(6, 3, 16, 0);
    grey.transparency = {0x12, 0x34};
    fixtures.emplace_back("grey 16 with key", pngtest::Encode(grey));
    pngtest::Picture colour = pngtest::Pattern(5, 5, 8, 2);
    colour.transparency = {0, 1, 0, 2, 0, 3};
    fixtures.emplace_back("truecolour 8 with key, stored", pngtest::Encode(colour, false, 0));
    for (const auto& [what, file] : fixtures) CheckFixture(what, file, ReadPng, PngFields(file), file.size());
}

TEST(ReaderSafety, Tga) {
    // The 16-bit fields hold 0xFFFF for 0xFFFFFFFF too.
    const std::vector<Field> trueColour = {{"width", 12, 2, false, Except1()},
                                           {"height", 14, 2, false, Except1()},
                                           {"x origin", 8, 2, false, Except1()},
                                           {"y origin", 10, 2, false, Except1()},
                                           {"id length", 0, 1, false, [](std::uint32_t v) { return v > 1; }},
                                           {"bits", 16, 1, false, Always()}};
    std::vector<Field> mapped = trueColour;
    mapped.push_back({"map origin", 3, 2, false, Always()});
    mapped.push_back({"map length", 5, 2, false, Always()});
    mapped.push_back({"map entry bits", 7, 1, false, Always()});

    Bytes raw32;
    for (int i = 0; i < 4 * 3; ++i) raw32.insert(raw32.end(), {std::uint8_t(i), 2, 3, std::uint8_t(i * 20)});
    tgatest::Header rle;
    rle.type = 10;
    rle.width = 4;
    rle.height = 3;
    rle.bits = 24;
    rle.descriptor = 0;
    const Bytes packets = {0x85, 1, 2, 3, 0x02, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x82, 13, 14, 15};
    Bytes indices(12);
    for (int i = 0; i < 12; ++i) indices[i] = static_cast<std::uint8_t>(i * 7);

    CheckFixture("32-bit bottom-up", tgatest::TrueColour(4, 3, 32, raw32, false), ReadTga, trueColour, 18 + 48);
    CheckFixture("run-length 24-bit", tgatest::File(rle, {}, packets), ReadTga, trueColour, 18 + packets.size());
    CheckFixture("colour-mapped", tgatest::File(tgatest::Mapped(1, 4, 3), tgatest::Palette(), indices), ReadTga,
                 mapped, 18 + 768 + 12);
    CheckFixture("run-length colour-mapped", tgatest::File(tgatest::Mapped(9, 4, 3), tgatest::Palette(),
                                                            {0x8B, 4}),
                 ReadTga, mapped, 18 + 768 + 2);
}

TEST(ReaderSafety, Dds) {
    const std::vector<Field> fields = {
        {"header size", 4, 4, false, Always()},
        {"height", 12, 4, false, Except1()},
        {"width", 16, 4, false, Except1()},
        {"pitch", 20, 4, false, [](std::uint32_t) { return false; }},  // not used
        {"mip count", 28, 4, false, [](std::uint32_t v) { return v > 1; }},
        {"pixel-format size", 76, 4, false, Always()},
    };
    std::vector<Field> rgbFields = fields;
    rgbFields.push_back({"bit count", 88, 4, false, Always()});

    Bytes chain = ddstest::Head(8, 4, ddstest::A8R8G8B8(), 4);
    chain.resize(128 + (32 + 8 + 2 + 1) * 4, 0x3C);
    CheckFixture("A8R8G8B8 chain", chain, ReadDds, rgbFields, chain.size());

    Bytes dxt1 = ddstest::Head(8, 8, ddstest::FourCc("DXT1"), 4);
    dxt1.resize(128 + (4 + 1 + 1 + 1) * 8, 0xA5);
    CheckFixture("DXT1 chain", dxt1, ReadDds, fields, dxt1.size());

    Bytes cube = ddstest::Head(4, 4, ddstest::FourCc("DXT3"), 3, 0xFE00);
    cube.resize(128 + 6 * 3 * 16, 0x5A);
    CheckFixture("DXT3 cube", cube, ReadDds, fields, cube.size());

    // With a trailer, cutting into it leaves a file whose last bytes are mere extra data. Without the mip-map
    // count flag the count field is not read.
    Bytes trailed = ddstest::Head(3, 5, ddstest::R5G6B5());
    trailed.resize(128 + 3 * 5 * 2, 0x77);
    trailed = ddstest::Join(trailed, ddstest::Trailer(1));
    std::vector<Field> singleLevel = rgbFields;
    singleLevel[4].mustRefuse = [](std::uint32_t) { return false; };
    CheckFixture("R5G6B5 with trailer", trailed, ReadDds, singleLevel, trailed.size() - 12);
}

}  // namespace
