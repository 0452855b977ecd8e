// DataTable: splitting lines into cells and reading cells as numbers.
#include "engine/platform/data_table.h"

#include <cstring>
#include <new>
#include <utility>

#include "engine/core/string_pool.h"
#include "engine/platform/leading_number.h"

namespace engine {

namespace {

// Sends the strings made on this thread to the heap for the scope's lifetime, then restores the setting
// found on entry, so that a caller's own bypass survives.
class PoolBypassScope {
public:
    PoolBypassScope() : previous_(SetPoolBypassForThread(true)) {}
    ~PoolBypassScope() { SetPoolBypassForThread(previous_); }
    PoolBypassScope(const PoolBypassScope&) = delete;
    PoolBypassScope& operator=(const PoolBypassScope&) = delete;

private:
    bool previous_;
};

bool IsSeparator(char c) { return c == ',' || c == '\t'; }

}  // namespace

std::unique_ptr<DataTable> DataTable::LoadFromReader(ScriptReader& reader) {
    PoolBypassScope bypass;
    std::unique_ptr<DataTable> table(new (std::nothrow) DataTable);
    if (table == nullptr) return nullptr;
    for (;;) {
        const WideString line = reader.ReadLine();
        if (line.IsEmpty()) break;
        if (!table->AddRow(line)) return nullptr;
    }
    return table;
}

std::unique_ptr<DataTable> DataTable::LoadFromImage(const std::uint8_t* bytes, std::size_t size) {
    PoolBypassScope bypass;
    ScriptReader reader;
    if (!reader.LoadFromImage(bytes, size, "")) return nullptr;
    return LoadFromReader(reader);
}

std::unique_ptr<DataTable> DataTable::Load(const char* name) {
    PoolBypassScope bypass;
    ScriptReader reader;
    if (!reader.Load(name)) return nullptr;
    return LoadFromReader(reader);
}

bool DataTable::AddRow(const WideString& line) {
    PoolBypassScope bypass;
    const char* text = line.GetNarrow();
    const std::size_t length = std::strlen(text);
    try {
        DataTableRow row;
        std::size_t at = 0;
        for (;;) {
            while (at < length && IsSeparator(text[at])) ++at;
            if (at == length) break;
            const std::size_t start = at;
            while (at < length && !IsSeparator(text[at])) ++at;
            WideString& cell = row.cells_.emplace_back();
            if (!cell.Resize(at - start)) return false;
            char16_t* out = cell.MutableData();
            for (std::size_t i = start; i < at; ++i) out[i - start] = static_cast<unsigned char>(text[i]);
        }
        rows_.push_back(std::move(row));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

const WideString* DataTable::FindCell(int row, int column) const {
    if (row < 0 || column < 0) return nullptr;
    const DataTableRow* found = Row(static_cast<std::size_t>(row));
    return found != nullptr ? found->Cell(static_cast<std::size_t>(column)) : nullptr;
}

int DataTable::GetInt(int row, int column) const {
    const WideString* cell = FindCell(row, column);
    return cell != nullptr ? LeadingInt(cell->GetNarrow()) : 0;
}

float DataTable::GetFloat(int row, int column) const {
    const WideString* cell = FindCell(row, column);
    return cell != nullptr ? static_cast<float>(LeadingDouble(cell->GetNarrow())) : 0.0f;
}

}  // namespace engine
