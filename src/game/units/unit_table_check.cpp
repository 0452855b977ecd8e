#include "game/units/unit_table_check.h"

#include <cctype>
#include <memory>

#include "engine/platform/data_table.h"
#include "engine/platform/script_reader.h"
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_tables.h"

namespace game {

namespace {

// BasicParams columns read as floats; all others (and every Damage cell) are read as integers.
bool IsFloatColumn(int column) { return (column >= 1 && column <= 8) || column == 13; }

// Blanks, optional sign, digits, blanks; with a fraction (".5", "2.", "2.5") when allowed.
bool IsNumber(const char* text, bool allowFraction) {
    const char* p = text;
    while (*p == ' ') ++p;
    if (*p == '+' || *p == '-') ++p;
    int digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) ++p, ++digits;
    if (allowFraction && *p == '.') {
        ++p;
        while (std::isdigit(static_cast<unsigned char>(*p))) ++p, ++digits;
    }
    while (*p == ' ') ++p;
    return digits > 0 && *p == '\0';
}

bool Fail(UnitTableFault& fault, const std::string& file, int row, int column, std::string message) {
    fault.file = file;
    fault.row = row;
    fault.column = column;
    fault.message = std::move(message);
    return false;
}

bool CheckLines(const UnitTableText& text, UnitTableFault& fault) {
    std::size_t length = 0;
    int line = 1;
    for (std::uint8_t byte : text.bytes) {
        if (byte >= 0x80) {
            fault.line = line;
            return Fail(fault, text.name, -1, -1, "not ASCII text");
        }
        if (byte == '\n' || byte == '\r') {
            if (byte == '\n') ++line;
            length = 0;
            continue;
        }
        if (++length > engine::ScriptReader::kMaxLineLength) {
            fault.line = line;
            return Fail(fault, text.name, -1, -1, "line longer than 1022 characters (the reader ends the table there)");
        }
    }
    return true;
}

bool CheckShape(const engine::DataTable& table, const std::string& file, int cells, UnitTableFault& fault) {
    if (table.RowCount() != static_cast<std::size_t>(kUnitTableRows)) {
        return Fail(fault, file, static_cast<int>(table.RowCount()), -1,
                    std::to_string(table.RowCount()) + " rows, expected 25 (a header and the 24 unit types)");
    }
    for (int row = 0; row < kUnitTableRows; ++row) {
        const int count = static_cast<int>(table.Row(static_cast<std::size_t>(row))->CellCount());
        if (count != cells) {
            return Fail(fault, file, row, count < cells ? count : cells,
                        std::to_string(count) + " cells, expected " + std::to_string(cells) +
                            " (an empty cell is dropped and moves the cells after it)");
        }
    }
    return true;
}

bool CheckRows(const engine::DataTable& table, const std::string& file, bool damage, UnitTableFault& fault) {
    for (int row = 1; row < kUnitTableRows; ++row) {
        const engine::DataTableRow& cells = *table.Row(static_cast<std::size_t>(row));
        const char* keyword = FindUnitDescriptor(row)->keyword;
        if (std::string(cells.Cell(0)->GetNarrow()) != keyword) {
            return Fail(fault, file, row, 0,
                        std::string("keyword \"") + cells.Cell(0)->GetNarrow() + "\", expected \"" + keyword + "\"");
        }
        for (int column = 1; column < static_cast<int>(cells.CellCount()); ++column) {
            const bool fraction = !damage && IsFloatColumn(column);
            if (!IsNumber(cells.Cell(static_cast<std::size_t>(column))->GetNarrow(), fraction)) {
                return Fail(fault, file, row, column,
                            std::string("\"") + cells.Cell(static_cast<std::size_t>(column))->GetNarrow() +
                                (fraction ? "\" is not a number" : "\" is not an integer"));
            }
        }
    }
    return true;
}

bool CheckRules(const engine::DataTable& basic, const std::string& basicName, const engine::DataTable& damage,
                const std::string& damageName, UnitTableFault& fault) {
    if (basic.GetInt(UT_ENGINEER, 10) != 1) {
        return Fail(fault, basicName, UT_ENGINEER, 10, "ENGINEER range must start at 1");
    }
    if (basic.GetInt(UT_ENGINEER, 11) != 1) {
        return Fail(fault, basicName, UT_ENGINEER, 11, "ENGINEER range must end at 1");
    }
    for (int type = UT_SKYHOOK; type <= UT_FIGHTER; ++type) {
        for (int column : {2, 6}) {
            if (basic.GetFloat(type, column) <= 0.0f) {
                return Fail(fault, basicName, type, column,
                            std::string(FindUnitDescriptor(type)->keyword) +
                                " must be able to fly over obstacles (column 2) and water (column 6)");
            }
        }
    }
    for (int type : {UT_ENGINEER, UT_APC, UT_TRUCK, UT_FERRY, UT_SKYHOOK, UT_DOOR}) {
        for (int column = 1; column < kDamageCells; ++column) {
            if (damage.GetInt(type, column) != 0) {
                return Fail(fault, damageName, type, column,
                            std::string(FindUnitDescriptor(type)->keyword) +
                                " cannot attack: its damage row must be all 0");
            }
        }
    }
    return true;
}

}  // namespace

std::string UnitTableFault::Describe() const {
    std::string text = file;
    if (line >= 0) text += ": line " + std::to_string(line);
    if (row >= 0) text += ": row " + std::to_string(row);
    if (column >= 0) text += (row >= 0 ? ", column " : ": column ") + std::to_string(column);
    return text + ": " + message;
}

bool CheckUnitTables(const UnitTableText* basicParams, const UnitTableText* damage, UnitTableFault& fault) {
    fault = UnitTableFault{};
    if (basicParams == nullptr) return Fail(fault, "Units/BasicParams", -1, -1, "missing (neither .TXT nor .CSV)");
    if (damage == nullptr) return Fail(fault, "Units/Damage", -1, -1, "missing (neither .TXT nor .CSV)");
    if (!CheckLines(*basicParams, fault) || !CheckLines(*damage, fault)) return false;

    const auto basic = engine::DataTable::LoadFromImage(basicParams->bytes.data(), basicParams->bytes.size());
    const auto hits = engine::DataTable::LoadFromImage(damage->bytes.data(), damage->bytes.size());
    if (!basic || !hits) return Fail(fault, basic ? damage->name : basicParams->name, -1, -1, "out of memory");
    if (!CheckShape(*basic, basicParams->name, kBasicParamsCells, fault) ||
        !CheckShape(*hits, damage->name, kDamageCells, fault)) {
        return false;
    }
    if (!CheckRows(*basic, basicParams->name, false, fault) || !CheckRows(*hits, damage->name, true, fault)) {
        return false;
    }
    if (!CheckRules(*basic, basicParams->name, *hits, damage->name, fault)) return false;

    // What passes here the game loads.
    UnitTables tables;
    if (!tables.Load(basic.get(), hits.get())) {
        return Fail(fault, basicParams->name, -1, -1, "refused by the game's loader");
    }
    return true;
}

}  // namespace game
