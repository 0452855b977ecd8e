#pragma once
// A comma- or tab-separated text file as rows of text cells, read through ScriptReader, with cells handed
// out as integers or floats (the unit tables are read this way).
//
// Each line that ReadLine gives is one row, so comment lines and empty lines make no row, a comment at the
// end of a line is not part of it, and a line longer than ScriptReader::kMaxLineLength ends the table.
// Lines split at commas and tabs with separators in a row counting as one: empty fields disappear, and
// stored tables rely on that. Rows and cells have no count limit.
//
// Cells live as long as the table, so they take heap buffers rather than string-pool blocks: loading and
// adding rows bypass the pool on the calling thread.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/platform/script_reader.h"

namespace engine {

class DataTableRow {
public:
    std::size_t CellCount() const { return cells_.size(); }
    // Null when out of range.
    const WideString* Cell(std::size_t index) const { return index < cells_.size() ? &cells_[index] : nullptr; }

private:
    friend class DataTable;
    std::vector<WideString> cells_;
};

class DataTable {
public:
    DataTable() = default;
    DataTable(const DataTable&) = delete;
    DataTable& operator=(const DataTable&) = delete;

    // A table of the lines from the reader's cursor until ReadLine gives an empty text. Null when memory
    // runs out.
    static std::unique_ptr<DataTable> LoadFromReader(ScriptReader& reader);
    // The same over a file image, decoded as ScriptReader::LoadFromImage does.
    static std::unique_ptr<DataTable> LoadFromImage(const std::uint8_t* bytes, std::size_t size);
    // A table of every line of the named ".TXT" or ".CSV" data file (see ScriptReader::Load); null when
    // neither exists.
    static std::unique_ptr<DataTable> Load(const char* name);

    // Splits one line's narrow form (the low byte of each character) into cells, widened byte by byte, and
    // appends the row. False, with the table unchanged, when memory runs out.
    bool AddRow(const WideString& line);

    // The cell read as atoi reads its narrow text (see LeadingInt); 0 when the row or the cell is missing.
    int GetInt(int row, int column) const;
    // The same read as atof reads it (see LeadingDouble).
    float GetFloat(int row, int column) const;

    std::size_t RowCount() const { return rows_.size(); }
    // Null when out of range.
    const DataTableRow* Row(std::size_t index) const { return index < rows_.size() ? &rows_[index] : nullptr; }

private:
    const WideString* FindCell(int row, int column) const;

    std::vector<DataTableRow> rows_;
};

}  // namespace engine
