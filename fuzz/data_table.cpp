// Loads arbitrary bytes as a data table and reads every cell. No cell may be empty or hold a separator, and
// every cell must read as the C library reads it in the C locale: GetInt as strtol (where the value fits an
// int), the float form as strtod.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/platform/data_table.h"
#include "engine/platform/leading_number.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void CheckCell(const engine::DataTable& table, int row, int column, const engine::WideString& cell) {
    Check(!cell.IsEmpty());
    const char* text = cell.GetNarrow();
    Check(std::strchr(text, ',') == nullptr && std::strchr(text, '\t') == nullptr);

    errno = 0;
    const long integer = std::strtol(text, nullptr, 10);
    if (errno == 0 && integer >= INT_MIN && integer <= INT_MAX) Check(table.GetInt(row, column) == integer);

    const double expected = std::strtod(text, nullptr);
    const double real = engine::LeadingDouble(text);
    if (std::isnan(expected)) {
        Check(std::isnan(real));
    } else {
        Check(real == expected && std::signbit(real) == std::signbit(expected));
        Check(table.GetFloat(row, column) == static_cast<float>(expected));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    const std::unique_ptr<engine::DataTable> table = engine::DataTable::LoadFromImage(input, size);
    Check(table != nullptr);
    const int rows = static_cast<int>(table->RowCount());
    Check(table->Row(table->RowCount()) == nullptr);
    for (int row = 0; row < rows; ++row) {
        const engine::DataTableRow* cells = table->Row(static_cast<std::size_t>(row));
        Check(cells != nullptr);
        const int columns = static_cast<int>(cells->CellCount());
        for (int column = 0; column < columns; ++column) {
            CheckCell(*table, row, column, *cells->Cell(static_cast<std::size_t>(column)));
        }
        Check(table->GetInt(row, columns) == 0 && table->GetFloat(row, -1) == 0.0f);
    }
    Check(table->GetInt(rows, 0) == 0 && table->GetInt(-1, 0) == 0);
    return 0;
}
