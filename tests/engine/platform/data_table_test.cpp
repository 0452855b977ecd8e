#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "engine/core/string_pool.h"
#include "engine/core/wide_string.h"
#include "engine/platform/data_table.h"
#include "engine/platform/leading_number.h"

namespace {

using namespace engine;

std::unique_ptr<DataTable> FromText(std::string_view text) {
    auto table = DataTable::LoadFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    EXPECT_NE(table, nullptr);
    return table;
}

std::u16string CellText(const DataTable& table, std::size_t row, std::size_t column) {
    const WideString* cell = table.Row(row)->Cell(column);
    return cell != nullptr ? std::u16string(cell->Data(), cell->Length()) : u"<none>";
}

TEST(DataTable, SplitsAtCommasAndTabsDroppingEmptyFields) {
    auto table = FromText("1,,2\n\t a\t\t,b ,\n// comment line\n\n\n3 // note\nx,y // 4,5\n");
    ASSERT_EQ(table->RowCount(), 4u);
    EXPECT_EQ(table->Row(0)->CellCount(), 2u);
    EXPECT_EQ(CellText(*table, 0, 1), u"2");
    // Blanks inside a field stay; the line's leading and trailing blanks do not.
    ASSERT_EQ(table->Row(1)->CellCount(), 2u);
    EXPECT_EQ(CellText(*table, 1, 0), u"a");
    EXPECT_EQ(CellText(*table, 1, 1), u"b ");
    EXPECT_EQ(table->Row(2)->CellCount(), 1u);
    EXPECT_EQ(CellText(*table, 2, 0), u"3");
    EXPECT_EQ(table->Row(3)->CellCount(), 2u);
    EXPECT_EQ(CellText(*table, 3, 1), u"y");
    EXPECT_EQ(table->Row(4), nullptr);
}

TEST(DataTable, ReadsUtf16LittleEndianTables) {
    const char16_t text[] = u"\uFEFF7,\u00E9\r\n8\r\n";
    std::string bytes;
    for (char16_t c : std::u16string_view(text)) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    auto table = FromText(bytes);
    ASSERT_EQ(table->RowCount(), 2u);
    EXPECT_EQ(table->GetInt(0, 0), 7);
    EXPECT_EQ(CellText(*table, 0, 1), u"\u00E9");
    EXPECT_EQ(table->GetInt(1, 0), 8);
}

TEST(DataTable, GetIntAndGetFloatReadLikeAtoiAndAtof) {
    struct Case {
        const char* cell;
        int integer;
        float real;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"7", 7, 7.0f},
        {" 7", 7, 7.0f},
        {"1.5", 1, 1.5f},
        {"-12x", -12, -12.0f},
        {"+3", 3, 3.0f},
        {"abc", 0, 0.0f},
        {"+-5", 0, 0.0f},
        {"010", 10, 10.0f},
        {"0x10", 0, 16.0f},
        {".5", 0, 0.5f},
        {"-2.5e1z", -2, -25.0f},
        {"1e", 1, 1.0f},
        {"2147483647", INT_MAX, 2147483647.0f},
        {"99999999999", INT_MAX, 99999999999.0f},
        {"-99999999999", INT_MIN, -99999999999.0f},
        {"1e999", 1, inf},
        {"-1e999", -1, -inf},
        {"1e-999", 1, 0.0f},
        {"INF", 0, inf},
    };
    std::string text;
    for (const Case& c : cases) text += std::string("row,") + c.cell + "\n";
    auto table = FromText(text);
    ASSERT_EQ(table->RowCount(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const int row = static_cast<int>(i);
        EXPECT_EQ(table->GetInt(row, 1), cases[i].integer) << cases[i].cell;
        EXPECT_EQ(table->GetFloat(row, 1), cases[i].real) << cases[i].cell;
    }
    EXPECT_TRUE(std::isnan(FromText("nan(1)\n")->GetFloat(0, 0)));
}

// The C library in the C locale is the reference for every text whose value fits.
TEST(DataTable, LeadingNumbersMatchTheCLibrary) {
    const char* texts[] = {
        "", " ", "0", "-0", "42", "\t\n\v\f\r 42", "  -17abc", "+", "-", "--1", "+-1", "1 2", "0007", "12.", "-.5e-3",
        "1.e2", "1e+", "1e+2", "1E-2", ".", "e5", "0x", "0x.", "0x.8", "0X1p3", "0x1P-2z", "0x1.8", "-0xff",
        "inf", "-Infinity", "infinit", "nanx", "1.7976931348623157e308", "4.9e-324", "2.2250738585072014e-308",
        "0.000001e-320", "123456789012345678901234567890", "2147483648", "-2147483648", "-2147483649",
        "1\xC3\xA9", "\xA0" "5",
    };
    for (const char* text : texts) {
        errno = 0;
        const long integer = std::strtol(text, nullptr, 10);
        if (errno == 0 && integer >= INT_MIN && integer <= INT_MAX) {
            EXPECT_EQ(LeadingInt(text), static_cast<int>(integer)) << text;
        }
        const double real = std::strtod(text, nullptr);
        const double ours = LeadingDouble(text);
        if (std::isnan(real)) {
            EXPECT_TRUE(std::isnan(ours)) << text;
        } else {
            EXPECT_EQ(ours, real) << text;
            EXPECT_EQ(std::signbit(ours), std::signbit(real)) << text;
        }
    }
    EXPECT_EQ(LeadingInt(nullptr), 0);
    EXPECT_EQ(LeadingDouble(nullptr), 0.0);
}

TEST(DataTable, MissingRowsAndCellsGiveZero) {
    auto table = FromText("1,2,3\n4\n");
    const int outside[][2] = {{0, 48}, {0, 3}, {1, 1}, {2, 0}, {-1, 0}, {0, -1}, {INT_MAX, 0}, {0, INT_MIN}};
    for (const auto& at : outside) {
        EXPECT_EQ(table->GetInt(at[0], at[1]), 0) << at[0] << "," << at[1];
        EXPECT_EQ(table->GetFloat(at[0], at[1]), 0.0f) << at[0] << "," << at[1];
    }
    EXPECT_EQ(table->GetInt(0, 2), 3);
    EXPECT_EQ(table->GetInt(1, 0), 4);
}

TEST(DataTable, LongLinesEndTheTable) {
    const std::string longest(ScriptReader::kMaxLineLength, '9');
    EXPECT_EQ(FromText("1\n" + longest + "\n2\n")->RowCount(), 3u);
    auto table = FromText("1\n" + longest + "9\n2\n");
    ASSERT_EQ(table->RowCount(), 1u);
    EXPECT_EQ(table->GetInt(0, 0), 1);
    EXPECT_EQ(FromText("")->RowCount(), 0u);
}

TEST(DataTable, KeepsEveryRowAndCell) {
    std::string text;
    for (int row = 0; row < 300; ++row) {
        for (int column = 0; column < 60; ++column) text += std::to_string(row * 100 + column) + (column < 59 ? "," : "\n");
    }
    auto table = FromText(text);
    ASSERT_EQ(table->RowCount(), 300u);
    for (int row : {0, 255, 256, 299}) {
        EXPECT_EQ(table->Row(row)->CellCount(), 60u);
        for (int column : {0, 47, 48, 59}) EXPECT_EQ(table->GetInt(row, column), row * 100 + column);
    }
}

TEST(DataTable, CellsBypassTheStringPoolAndTheSettingIsRestored) {
    AllowStringPool(0);
    WideString pooled("x");
    ASSERT_NE(StringPool::Global(), nullptr);
    ASSERT_FALSE(pooled.Flags() & WideString::kHeapBuffer);

    for (bool before : {false, true}) {
        SetPoolBypassForThread(before);
        auto table = FromText("a,b\n");
        EXPECT_EQ(IsPoolBypassedForThread(), before);
        ASSERT_EQ(table->RowCount(), 1u);
        EXPECT_TRUE(table->Row(0)->Cell(0)->Flags() & WideString::kHeapBuffer);
        DataTable added;
        ASSERT_TRUE(added.AddRow(WideString("c,d")));
        EXPECT_TRUE(added.Row(0)->Cell(1)->Flags() & WideString::kHeapBuffer);
        EXPECT_EQ(IsPoolBypassedForThread(), before);
    }
    SetPoolBypassForThread(false);
}

}  // namespace
