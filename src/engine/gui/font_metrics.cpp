#include "engine/gui/font_metrics.h"

#include <utility>

#include "engine/core/little_endian.h"

namespace engine {

int FontMetrics::Advance(int c, int next) const {
    if (advances == nullptr || c < 0 || c >= kTableSide) return 0;
    // Line breaks, tabs and other control codes end a line as the end of the text does; codes past the table
    // are read as the end of the text too.
    if (next < 32 || next >= kTableSide) next = 0;
    return (*advances)[static_cast<std::size_t>(c * kTableSide + next)];
}

bool ParseFontMetrics(const std::uint8_t* data, std::size_t size, FontMetrics& out) {
    if (data == nullptr || size < 4) return false;
    const int version = data[0];
    const std::size_t skipped = LoadU16(data + 2);
    const std::size_t base = 4 + skipped;
    const std::size_t header = version >= 3 ? 8 : 7;
    if (size < base + header) return false;
    const int lastCode = data[base];
    const std::size_t cellCount = lastCode >= FontMetrics::kFirstCode ? lastCode - FontMetrics::kFirstCode + 1 : 0;
    const std::size_t rowLength = lastCode >= 32 ? lastCode - 32 + 1 : 0;
    const std::size_t entrySize = version >= 2 ? 2 : 1;
    const std::size_t cellsAt = base + header;
    const std::size_t rowsAt = cellsAt + cellCount * 8;
    if (size < rowsAt + rowLength * rowLength * entrySize) return false;

    auto advances = std::make_unique<std::array<std::int16_t, FontMetrics::kTableSide * FontMetrics::kTableSide>>();
    advances->fill(0);
    FontMetrics parsed;
    parsed.lastCode = lastCode;
    parsed.glyphHeight = data[base + 4];
    parsed.lineSpacing = data[base + 5];
    parsed.verticalOffset = data[base + 6];
    for (std::size_t i = 0; i < cellCount; ++i) {
        const std::uint8_t* cell = data + cellsAt + i * 8;
        parsed.cells[i] = IntRect{LoadU16(cell), LoadU16(cell + 2), LoadU16(cell + 4), LoadU16(cell + 6)};
    }
    const std::uint8_t* rows = data + rowsAt;
    for (std::size_t first = 0; first < rowLength; ++first) {
        for (std::size_t second = 0; second < rowLength; ++second) {
            const std::size_t at = (first * rowLength + second) * entrySize;
            const std::int16_t value = entrySize == 2 ? static_cast<std::int16_t>(LoadU16(rows + at))
                                                      : static_cast<std::int16_t>(static_cast<std::int8_t>(rows[at]));
            (*advances)[(first + 32) * FontMetrics::kTableSide + second + 32] = value;
        }
    }
    for (int code = FontMetrics::kFirstCode; code <= lastCode; ++code) {
        (*advances)[static_cast<std::size_t>(code * FontMetrics::kTableSide)] =
            static_cast<std::int16_t>(parsed.Cell(code).width);
    }
    if (lastCode >= 32) (*advances)[32 * FontMetrics::kTableSide] = (*advances)[32 * FontMetrics::kTableSide + 32];
    parsed.advances = std::move(advances);
    out = std::move(parsed);
    return true;
}

}  // namespace engine
