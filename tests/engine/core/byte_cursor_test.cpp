#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/byte_cursor.h"
#include "engine/core/matrix.h"
#include "engine/core/wide_string.h"

namespace {

using namespace engine;

// The data sits at the very end of a heap block, so that any read past it is an ASan report.
std::unique_ptr<std::uint8_t[]> Exact(const std::vector<std::uint8_t>& bytes) {
    auto block = std::make_unique<std::uint8_t[]>(bytes.size());
    if (!bytes.empty()) std::memcpy(block.get(), bytes.data(), bytes.size());
    return block;
}

TEST(ByteCursor, LittleEndianReads) {
    const std::vector<std::uint8_t> bytes = {0x7F, 0x34, 0x12, 0x00, 0x00, 0x80, 0x3F};
    auto block = Exact(bytes);
    ByteCursor cursor(block.get(), bytes.size());
    std::uint8_t u8 = 0;
    std::uint16_t u16 = 0;
    float f = 0;
    ASSERT_TRUE(ReadU8(cursor, u8));
    ASSERT_TRUE(ReadU16(cursor, u16));
    ASSERT_TRUE(ReadFloat(cursor, f));
    EXPECT_EQ(u8, 0x7F);
    EXPECT_EQ(u16, 0x1234);
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(cursor.Remaining(), 0u);
    EXPECT_FALSE(cursor.Failed());
}

TEST(ByteCursor, TruncatedReadsFailWithoutReadingAndStayFailed) {
    struct Case {
        const char* what;
        std::size_t size;
        bool (*read)(ByteCursor&);
    };
    const Case cases[] = {
        {"u8 of nothing", 0, [](ByteCursor& c) { std::uint8_t v = 1; return ReadU8(c, v) || v != 1; }},
        {"u16 of one byte", 1, [](ByteCursor& c) { std::uint16_t v = 1; return ReadU16(c, v) || v != 1; }},
        {"float of three bytes", 3, [](ByteCursor& c) { float v = 1; return ReadFloat(c, v) || v != 1; }},
        {"matrix of 47 bytes", 47,
         [](ByteCursor& c) {
             Matrix44 m;
             return ReadMatrix4x3(c, m) || m.m[0][0] != 1.0f || m.m[3][2] != 0.0f;
         }},
    };
    for (const Case& c : cases) {
        auto block = Exact(std::vector<std::uint8_t>(c.size, 0x41));
        ByteCursor cursor(block.get(), c.size);
        EXPECT_FALSE(c.read(cursor)) << c.what << ": must fail and leave the output untouched";
        EXPECT_TRUE(cursor.Failed()) << c.what;
        EXPECT_EQ(cursor.Offset(), 0u) << c.what;
        // Sticky: even a read that would fit now fails.
        std::uint8_t v = 0;
        EXPECT_EQ(c.size > 0 && ReadU8(cursor, v), false) << c.what;
    }
}

TEST(ByteCursor, Matrix4x3FillsThreeColumnsAndLeavesTheFourth) {
    std::vector<std::uint8_t> bytes(48);
    for (int i = 0; i < 12; ++i) {
        const float v = static_cast<float>(i + 1);
        std::memcpy(bytes.data() + i * 4, &v, 4);
    }
    auto block = Exact(bytes);
    ByteCursor cursor(block.get(), bytes.size());
    Matrix44 m;
    for (auto& row : m.m) row[3] = 7.0f;
    ASSERT_TRUE(ReadMatrix4x3(cursor, m));
    EXPECT_EQ(m.m[0][0], 1.0f);
    EXPECT_EQ(m.m[1][2], 6.0f);
    EXPECT_EQ(m.m[3][0], 10.0f);
    EXPECT_EQ(m.m[3][2], 12.0f);
    for (auto& row : m.m) EXPECT_EQ(row[3], 7.0f);
}

TEST(ByteCursor, SkipAndBytesAreBounded) {
    auto block = Exact({1, 2, 3, 4});
    ByteCursor cursor(block.get(), 4);
    std::uint8_t out[4] = {};
    ASSERT_TRUE(cursor.Skip(1));
    ASSERT_TRUE(cursor.ReadBytes(out, 3));
    EXPECT_EQ(out[2], 4);
    EXPECT_TRUE(cursor.ReadBytes(out, 0));
    EXPECT_FALSE(cursor.Skip(1));
    EXPECT_TRUE(cursor.Failed());

    ByteCursor huge(block.get(), 4);
    EXPECT_FALSE(huge.Skip(static_cast<std::size_t>(-1)));  // no wrap-around of offset + n
}

TEST(ByteCursor, ShortStrings) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        bool ok;
        const char16_t* text;  // what the string holds afterwards ("kept" when the read fails)
        std::size_t offset;
    };
    const Case cases[] = {
        {{3, 'A', 'B', 'C'}, true, u"ABC", 4},
        {{4, 'A', 0, 'B', 'C', 9}, true, u"A", 5},  // a zero ends the text, the cursor still passes n + 1
        {{2, 0xE9, 0xFF}, true, u"\u00E9\u00FF", 3},
        {{0}, true, u"", 1},
        {{5, 'A', 'B'}, false, u"kept", 0},  // length beyond the data
        {{}, false, u"kept", 0},
    };
    for (const Case& c : cases) {
        auto block = Exact(c.bytes);
        ByteCursor cursor(block.get(), c.bytes.size());
        WideString out("kept");
        EXPECT_EQ(ReadShortString(cursor, out), c.ok) << c.bytes.size();
        EXPECT_EQ(cursor.Failed(), !c.ok);
        EXPECT_EQ(std::u16string(out.Data(), out.Length()), c.text);
        EXPECT_EQ(cursor.Offset(), c.offset);
    }
}

}  // namespace
