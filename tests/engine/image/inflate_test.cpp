#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "engine/image/inflate.h"

namespace {

using namespace engine;
using Bytes = std::vector<std::uint8_t>;

Bytes Deflate(const Bytes& data, int level, int strategy, int windowBits = 15) {
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, windowBits, 8, strategy);
    Bytes out(deflateBound(&zs, data.size()) + 16);
    zs.next_in = const_cast<Bytef*>(data.data());
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

// Random bytes from a small alphabet, with runs and repeats so that every kind of match occurs.
Bytes Sample(std::size_t n, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes out;
    while (out.size() < n) {
        const unsigned kind = random() % 4;
        if (kind == 0 && out.size() > 300) {
            const std::size_t back = 1 + random() % std::min<std::size_t>(out.size(), 40000);
            const std::size_t length = 3 + random() % 300;
            for (std::size_t i = 0; i < length; ++i) out.push_back(out[out.size() - back]);
        } else if (kind == 1) {
            out.insert(out.end(), 1 + random() % 40, static_cast<std::uint8_t>(random()));
        } else {
            for (int i = 0; i < 20; ++i) out.push_back(static_cast<std::uint8_t>(random() % (kind == 2 ? 16 : 256)));
        }
    }
    out.resize(n);
    return out;
}

struct Result {
    int code;
    Bytes out;
};

Result Zlib(const Bytes& stream, std::size_t capacity) {
    Bytes out(capacity);
    std::size_t produced = 99;
    const int code = InflateZlib(stream.data(), stream.size(), out.data(), out.size(), produced);
    out.resize(produced);
    return {code, out};
}

Result Raw(const Bytes& stream, std::size_t capacity) {
    Bytes out(capacity);
    std::size_t produced = 99;
    const int code = InflateRaw(stream.data(), stream.size(), out.data(), out.size(), produced);
    out.resize(produced);
    return {code, out};
}

TEST(Inflate, MatchesZlibForEveryLevelAndStrategy) {
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{257}, std::size_t{70000}, std::size_t{300000}}) {
        const Bytes data = Sample(n, static_cast<std::uint32_t>(n));
        for (int level : {0, 1, 6, 9}) {
            for (int strategy : strategies) {
                const Bytes stream = Deflate(data, level, strategy);
                const Result r = Zlib(stream, data.size());
                EXPECT_EQ(r.code, kInflateOk) << n << " " << level << " " << strategy;
                EXPECT_EQ(r.out, data) << n << " " << level << " " << strategy;
            }
        }
    }
}

TEST(Inflate, IncompressibleDataAndSmallWindows) {
    std::mt19937 random(7);
    Bytes data(100000);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    for (int windowBits : {9, 12, 15}) {
        const Result r = Zlib(Deflate(data, 6, Z_DEFAULT_STRATEGY, windowBits), data.size());
        EXPECT_EQ(r.code, kInflateOk);
        EXPECT_EQ(r.out, data);
    }
}

// Writes bits least significant first; Huffman codes go most significant bit first.
class BitWriter {
public:
    void Bits(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1u);
    }
    void Code(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1u);
    }
    // A fixed-Huffman literal/length symbol.
    void FixedSymbol(int s) {
        if (s < 144) Code(0x30 + s, 8);
        else if (s < 256) Code(0x190 + s - 144, 9);
        else if (s < 280) Code(s - 256, 7);
        else Code(0xC0 + s - 280, 8);
    }
    Bytes Done() { return bytes_; }

private:
    void Bit(unsigned b) {
        if (used_ == 0) bytes_.push_back(0);
        bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (b << used_));
        used_ = (used_ + 1) % 8;
    }
    Bytes bytes_;
    int used_ = 0;
};

TEST(Inflate, RefusesBrokenStreams) {
    struct Case {
        const char* what;
        Bytes stream;
        std::size_t capacity;
        int code;
    };
    std::vector<Case> cases;
    cases.push_back({"block type 3", {0x07, 0x00}, 16, kInflateBadBlockType});
    cases.push_back({"stored length without its complement", {0x01, 0x03, 0x00, 0x00, 0x00, 'a', 'b', 'c'}, 16,
                     kInflateBadStoredLength});
    cases.push_back({"stored block cut short", {0x01, 0x05, 0x00, 0xFA, 0xFF, 'a', 'b'}, 16, kInflateOutOfData});
    cases.push_back({"stored block larger than the output", {0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'}, 2,
                     kInflateOutputFull});
    cases.push_back({"empty input", {}, 16, kInflateOutOfData});
    {
        BitWriter w;  // a match before any output
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.FixedSymbol(257);
        w.Code(0, 5);
        w.FixedSymbol(256);
        cases.push_back({"distance before the start", w.Done(), 16, kInflateBadDistance});
    }
    {
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.FixedSymbol('x');
        w.FixedSymbol(286);
        cases.push_back({"length symbol 286", w.Done(), 16, kInflateBadSymbol});
    }
    {
        BitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.FixedSymbol('x');
        w.FixedSymbol(257);
        w.Code(30, 5);
        cases.push_back({"distance symbol 30", w.Done(), 16, kInflateBadSymbol});
    }
    {
        BitWriter w;  // a run of three from one literal: the output holds only two bytes
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.FixedSymbol('x');
        w.FixedSymbol(257);
        w.Code(0, 5);
        w.FixedSymbol(256);
        cases.push_back({"match past the output", w.Done(), 2, kInflateOutputFull});
    }
    {
        BitWriter w;  // dynamic block whose code-length code has three codes of length 1
        w.Bits(1, 1);
        w.Bits(2, 2);
        w.Bits(0, 5);
        w.Bits(0, 5);
        w.Bits(0, 4);  // four code-length lengths: symbols 16, 17, 18, 0
        w.Bits(1, 3);
        w.Bits(1, 3);
        w.Bits(1, 3);
        w.Bits(0, 3);
        cases.push_back({"over-subscribed code", w.Done(), 16, kInflateBadCodeLengths});
    }
    {
        BitWriter w;  // dynamic block that opens with "repeat the previous length"
        w.Bits(1, 1);
        w.Bits(2, 2);
        w.Bits(0, 5);
        w.Bits(0, 5);
        w.Bits(0, 4);
        w.Bits(1, 3);  // symbol 16: length 1
        w.Bits(0, 3);
        w.Bits(0, 3);
        w.Bits(1, 3);  // symbol 0: length 1
        w.Code(1, 1);  // 16 comes second in symbol order: code 1
        w.Bits(0, 2);
        cases.push_back({"repeat without a previous length", w.Done(), 16, kInflateBadCodeLengths});
    }
    for (const Case& c : cases) {
        const Result r = Raw(c.stream, c.capacity);
        EXPECT_EQ(r.code, c.code) << c.what;
        EXPECT_LE(r.out.size(), c.capacity) << c.what;
    }
}

TEST(Inflate, ZlibHeaderChecks) {
    const Bytes good = Deflate(Sample(100, 1), 6, Z_DEFAULT_STRATEGY);
    EXPECT_EQ(Zlib({}, 8).code, kZlibTooShort);
    EXPECT_EQ(Zlib({0x78}, 8).code, kZlibTooShort);
    EXPECT_EQ(Zlib({0x78, 0x9D}, 8).code, kZlibBadHeaderCheck);
    EXPECT_EQ(Zlib({0x77, 0x85}, 8).code, kZlibBadMethod);   // method 7
    EXPECT_EQ(Zlib({0x88, 0x98}, 8).code, kZlibBadMethod);   // a 64 KiB window
    EXPECT_EQ(Zlib({0x78, 0xBB}, 8).code, kZlibPresetDictionary);
    EXPECT_EQ(Zlib(good, 100).code, kInflateOk);
}

TEST(Inflate, EveryTruncationFailsWithoutOverrun) {
    const Bytes data = Sample(5000, 3);
    for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED, Z_RLE}) {
        const Bytes stream = Deflate(data, 9, strategy);
        // The last four bytes are the check value, which is not read.
        for (std::size_t cut = 0; cut + 4 < stream.size(); ++cut) {
            const Bytes part(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut));
            const Result r = Zlib(part, data.size());
            EXPECT_NE(r.code, kInflateOk) << cut;
        }
    }
}

}  // namespace
