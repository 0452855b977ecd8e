#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/platform/packed_block.h"
#include "zip_test_helpers.h"

namespace {

using namespace engine;

std::vector<std::uint8_t> Pack(const std::string& data) {
    std::uint32_t size = static_cast<std::uint32_t>(data.size());
    auto block = PackBlock(data.data(), size);
    if (!block) return {};
    return std::vector<std::uint8_t>(block.get(), block.get() + size);
}

std::optional<std::string> Unpack(const std::vector<std::uint8_t>& block) {
    std::uint32_t size = 77;
    auto data = UnpackBlock(block.data(), block.size(), size);
    if (!data) {
        EXPECT_EQ(size, 0u);
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(data.get()), size);
}

std::uint32_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

void SetWord(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST(PackedBlock, RoundTripsRandomAndZeroData) {
    std::vector<std::size_t> sizes = {100, 1000, 4095, 16000, 16001, 32768, 65536, 70000};
    for (std::size_t n = 1; n <= 64; ++n) sizes.push_back(n);
    for (std::size_t n : sizes) {
        for (const std::string& data : {ziptest::RandomBytes(n, static_cast<std::uint32_t>(n)), std::string(n, '\0')}) {
            const std::vector<std::uint8_t> block = Pack(data);
            ASSERT_GE(block.size(), 8u + 4u) << n;
            EXPECT_EQ(Word(block, 0), n);
            EXPECT_EQ(Word(block, 4), block.size() - 8);
            // The stream ends with the sync-flush marker: an empty stored block.
            EXPECT_EQ(std::memcmp(block.data() + block.size() - 4, "\x00\x00\xFF\xFF", 4), 0) << n;
            EXPECT_EQ(Unpack(block), data) << n;
        }
    }
}

TEST(PackedBlock, NothingToPackGivesNull) {
    std::uint32_t size = 0;
    EXPECT_EQ(PackBlock("x", size), nullptr);
    size = 5;
    EXPECT_EQ(PackBlock(nullptr, size), nullptr);
    EXPECT_EQ(size, 5u);
}

TEST(PackedBlock, BlockWithoutTheMarkersLastByteStillUnpacks) {
    // Blocks written with an output one byte too small lack the final 0xFF of the flush marker.
    const std::string data = ziptest::RandomBytes(70000, 3);
    std::vector<std::uint8_t> block = Pack(data);
    block.pop_back();
    SetWord(block, 4, Word(block, 4) - 1);
    EXPECT_EQ(Unpack(block), data);
}

TEST(PackedBlock, FinishedStreamIsRefused) {
    const std::string data = "a block closed with a finishing flush";
    std::vector<std::uint8_t> stream(compressBound(data.size()));
    uLongf length = stream.size();
    ASSERT_EQ(compress2(stream.data(), &length, reinterpret_cast<const Bytef*>(data.data()), data.size(), 6), Z_OK);
    std::vector<std::uint8_t> block(8);
    SetWord(block, 0, static_cast<std::uint32_t>(data.size()));
    SetWord(block, 4, static_cast<std::uint32_t>(length));
    block.insert(block.end(), stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(Unpack(block), std::nullopt);
}

TEST(PackedBlock, LyingOrShortBlocksAreRefused) {
    const std::string data = ziptest::RandomBytes(500, 9) + std::string(500, 'z');
    const std::vector<std::uint8_t> good = Pack(data);
    ASSERT_EQ(Unpack(good), data);
    const std::uint32_t packed = Word(good, 4);
    struct Case {
        const char* what;
        std::uint32_t raw;
        std::uint32_t packed;
        std::size_t keep;  // bytes of the block handed over
    };
    const Case cases[] = {
        {"packed size past the block", 1000, packed + 1, good.size()},
        {"block cut inside the stream", 1000, packed, good.size() - 1},
        {"stream shorter than the raw size", 1001, packed, good.size()},
        {"stream cut before the data ends", 1000, packed / 2, good.size()},
        {"raw size zero", 0, packed, good.size()},
        {"raw size negative", 0x80000000u, packed, good.size()},
        {"raw size beyond what deflate can reach", packed * 1032 + 65, packed, good.size()},
        {"shorter than the header", 1000, 0, 7},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> block = good;
        SetWord(block, 0, c.raw);
        SetWord(block, 4, c.packed);
        block.resize(c.keep);
        EXPECT_EQ(Unpack(block), std::nullopt) << c.what;
    }
    std::uint32_t size = 3;
    EXPECT_EQ(UnpackBlock(nullptr, 100, size), nullptr);
    EXPECT_EQ(size, 0u);
}

}  // namespace
