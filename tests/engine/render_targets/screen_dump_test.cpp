// Numbered PNG screen dumps of a target's picture in the dump folder's "ScreenDumps".
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/image/png_decoder.h"
#include "render_target_fixture.h"

namespace {

namespace fs = std::filesystem;
using engine::RenderTarget;
using targettest::RenderTargetTest;

constexpr int kW = 13;
constexpr int kH = 7;

std::uint32_t BigEndian(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every chunk's CRC matches its type and data, and the file ends with IEND.
::testing::AssertionResult ChunksCheck(const std::vector<std::uint8_t>& file) {
    std::size_t at = 8;
    std::string last;
    while (at + 12 <= file.size()) {
        const std::uint32_t length = BigEndian(&file[at]);
        if (at + 12 + length > file.size()) return ::testing::AssertionFailure() << "chunk past the end";
        last.assign(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), &file[at + 4], length + 4);
        if (crc != BigEndian(&file[at + 8 + length])) return ::testing::AssertionFailure() << "bad CRC in " << last;
        at += 12 + length;
    }
    if (at != file.size() || last != "IEND") return ::testing::AssertionFailure() << "does not end with IEND";
    return ::testing::AssertionSuccess();
}

class ScreenDumpTest : public RenderTargetTest {
protected:
    fs::path Folder() const { return dumps_.Path() / "ScreenDumps"; }
    void Touch(int number, const std::string& title = "Tinmarch") {
        fs::create_directories(Folder());
        std::ofstream(Folder() / (title + (number < 10 ? "00" : number < 100 ? "0" : "") + std::to_string(number) +
                                  ".PNG"));
    }
    static std::size_t Entries(const fs::path& folder) {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    RenderTarget* NoiseTarget() {
        RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
        const int noise = NoiseTexture(kW, kH, 11);
        target->Begin(0xFF000000u);
        DrawRaw(*target, noise);
        target->End();
        return target;
    }
};

TEST_F(ScreenDumpTest, TheNextFreeNumberReceivesThePictureAsACheckedPng) {
    for (int n = 1; n <= 4; ++n) Touch(n);
    RenderTarget* target = NoiseTarget();
    ASSERT_EQ(target->ScreenDump(), 1);
    const fs::path dump = Folder() / "Tinmarch005.PNG";
    ASSERT_TRUE(fs::exists(dump));
    EXPECT_EQ(Entries(Folder()), 5u) << "no temporary file is left behind";

    const std::vector<std::uint8_t> file = FileBytes(dump);
    EXPECT_TRUE(ChunksCheck(file));
    const engine::DecodedPng png = engine::DecodePng(file.data(), file.size());
    ASSERT_EQ(png.error, engine::kPngOk);
    ASSERT_EQ(png.width, static_cast<std::uint32_t>(kW));
    ASSERT_EQ(png.height, static_cast<std::uint32_t>(kH));
    std::vector<std::uint8_t> rgba(png.pixels.get(), png.pixels.get() + kW * kH * 4);
    for (std::size_t i = 0; i < rgba.size(); i += 4) std::swap(rgba[i], rgba[i + 2]);
    EXPECT_EQ(rgba, Read(*target));
    EXPECT_EQ(rgba, NoisePicture(kW, kH, 11)) << "top row first";

    ASSERT_EQ(target->ScreenDump(), 1);
    EXPECT_TRUE(fs::exists(Folder() / "Tinmarch006.PNG"));
}

TEST_F(ScreenDumpTest, NumberOneThousandHasFourDigitsAndAfterItNothingIsWritten) {
    for (int n = 1; n <= 999; ++n) Touch(n);
    RenderTarget* target = NoiseTarget();
    ASSERT_EQ(target->ScreenDump(), 1);
    EXPECT_TRUE(fs::exists(Folder() / "Tinmarch1000.PNG"));
    EXPECT_EQ(Entries(Folder()), 1000u);
    EXPECT_EQ(target->ScreenDump(), 0);
    EXPECT_EQ(Entries(Folder()), 1000u);
}

TEST_F(ScreenDumpTest, AMissingFolderIsMadeAndASlashInTheTitleBecomesAnUnderscore) {
    engine::RenderTargetServices services = services_;
    services.dumpFolder = (dumps_.Path() / "user" / "folder").string();
    services.dumpTitle = "Tin/march";
    RenderTarget target(services, "Dump RT", kW, kH, engine::kTargetPlain);
    target.CreateSurfaces();
    target.Begin(0xFF804020u);
    target.End();
    ASSERT_EQ(target.ScreenDump(), 1);
    const fs::path dump = dumps_.Path() / "user" / "folder" / "ScreenDumps" / "Tin_march001.PNG";
    ASSERT_TRUE(fs::exists(dump));
    const std::vector<std::uint8_t> file = FileBytes(dump);
    const engine::DecodedPng png = engine::DecodePng(file.data(), file.size());
    ASSERT_EQ(png.error, engine::kPngOk);
    EXPECT_EQ(png.pixels[0], 0x20);  // B, G, R, A
    EXPECT_EQ(png.pixels[2], 0x80);
    EXPECT_EQ(png.pixels[3], 0xFF);
}

TEST_F(ScreenDumpTest, WithoutAFolderOrAPictureNothingIsWritten) {
    engine::RenderTargetServices services = services_;
    services.dumpFolder.clear();
    RenderTarget target(services, "Dump RT", kW, kH, engine::kTargetPlain);
    target.CreateSurfaces();
    EXPECT_EQ(target.ScreenDump(), 0);
    RenderTarget cube(services_, "Cube RT", kW, kW, engine::kTargetCubeView);
    EXPECT_EQ(cube.ScreenDump(), 0);
    EXPECT_FALSE(fs::exists(Folder()));
}

}  // namespace
