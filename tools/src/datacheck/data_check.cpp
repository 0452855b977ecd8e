#include "datacheck/data_check.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "datacheck/headless_game.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/memory_zip_archive.h"
#include "engine/platform/posix_zip_archive.h"
#include "engine/platform/script_reader.h"
#include "game/units/unit_balance_check.h"
#include "game/units/unit_table_check.h"

namespace datacheck {

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c == '\\') c = '/';
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Line(int line) { return "line " + std::to_string(line); }

std::string TableWhere(const game::UnitTableFault& fault) {
    if (fault.line >= 0) return Line(fault.line);
    std::string where;
    if (fault.row >= 0) where = "row " + std::to_string(fault.row);
    if (fault.column >= 0) where += (where.empty() ? "column " : ", column ") + std::to_string(fault.column);
    return where;
}

}  // namespace

std::string DataFault::Describe() const {
    return file + (where.empty() ? "" : ": " + where) + ": " + message;
}

std::unique_ptr<engine::ZipArchive> OpenArchiveFile(const std::string& path) {
    auto archive = std::make_unique<engine::PosixZipArchive>();
    if (archive->Open(path) != 1) return nullptr;
    return archive;
}

std::unique_ptr<engine::ZipArchive> OpenArchiveMemory(const std::vector<std::uint8_t>& bytes) {
    auto archive = std::make_unique<engine::MemoryZipArchive>(bytes.data(), bytes.size());
    if (archive->Open("DataPC.zip") != 1) return nullptr;
    return archive;
}

DataCheck::DataCheck(std::unique_ptr<engine::ZipArchive> archive) : mounted_(std::make_unique<engine::ArchiveSet>()) {
    archive_ = archive.get();
    for (std::uint32_t i = 0; i < archive_->EntryCount(); ++i) {
        const std::string name(archive_->EntryName(i));
        std::uint32_t size = 0;
        const std::unique_ptr<std::uint8_t[]> bytes = archive_->ExtractEntry(i, size);
        if (bytes == nullptr) {
            Fault(name, "", "does not extract");
            continue;
        }
        const std::string key = Upper(name);
        if (entries_.count(key) != 0) {
            Fault(name, "", "a second entry of this name (names must differ in more than case)");
            continue;
        }
        entries_[key] = {name, std::vector<std::uint8_t>(bytes.get(), bytes.get() + size)};
    }
    // The game's own lookups (levels, tables, texts) see this archive alone: no loose files.
    mounted_->Mount(std::move(archive), "MainWad");
    engine::SetActiveArchiveSet(mounted_.get());
    engine::SetBaseFolderNarrow("/nonexistent/datacheck");
}

DataCheck::~DataCheck() { engine::SetActiveArchiveSet(nullptr); }

const std::vector<std::uint8_t>* DataCheck::Find(const std::string& name) const {
    const auto it = entries_.find(Upper(name));
    return it == entries_.end() ? nullptr : &it->second.second;
}

void DataCheck::Fault(const std::string& file, const std::string& where, const std::string& message) {
    faults_.push_back({file, where, message});
}

void DataCheck::RunAll() {
    CheckEntries();
    CheckUnitTables();
    CheckSkirmishMaps();
    CheckCampaign("standard");
    CheckSounds();
    CheckModels();
    CheckArt(ShippedCellMap());
}

void DataCheck::CheckEntries() {
    for (const auto& [key, entry] : entries_) {
        const auto& [name, bytes] = entry;
        if (!EndsWith(key, ".TXT") && !EndsWith(key, ".CSV")) continue;
        // Locale files and the credits are written by textkeys as UTF-16LE.
        if (key.find("/LOCALE/") != std::string::npos || key.rfind("LOCALE/", 0) == 0 || key == "CREDITS_NOURL.TXT") {
            if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE || bytes.size() % 2 != 0) {
                Fault(name, "", "a locale or credits file must be UTF-16LE with a byte-order mark");
                continue;
            }
            int line = 1;
            char16_t last = 0;
            for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
                const auto c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
                const bool allowed = c == 10 || c == 13 || (c >= 32 && c <= 126) || (c >= 160 && c <= 254);
                if (!allowed) {
                    Fault(name, Line(line), "character " + std::to_string(c) + " is outside what the fonts hold");
                    break;
                }
                if (c == 10) ++line;
                last = c;
            }
            if (last != 10) Fault(name, "", "does not end in a line break");
            continue;
        }
        int line = 1;
        for (std::uint8_t byte : bytes) {
            if (byte != 9 && byte != 10 && byte != 13 && (byte < 32 || byte > 126)) {
                Fault(name, Line(line), "byte " + std::to_string(byte) + " in a text file that must be ASCII");
                break;
            }
            if (byte == 10) ++line;
        }
    }
}

void DataCheck::CheckUnitTables() {
    const char* const names[] = {"Units/BasicParams.TXT", "Units/Damage.TXT"};
    game::UnitTableText tables[2];
    const game::UnitTableText* found[2] = {};
    for (int i = 0; i < 2; ++i) {
        if (const auto* bytes = Find(names[i])) {
            tables[i] = {names[i], *bytes};
            found[i] = &tables[i];
        }
    }
    game::UnitTableFault fault;
    if (!game::CheckUnitTables(found[0], found[1], fault)) {
        Fault(fault.file, TableWhere(fault), fault.message);
        return;
    }
    std::vector<game::UnitTableFault> balance;
    game::CheckUnitBalance(tables[0], tables[1], balance);
    for (const game::UnitTableFault& broken : balance) Fault(broken.file, TableWhere(broken), broken.message);
}

void DataCheck::CompareWithStaging(const std::string& folder) {
    // The reader upper-cases entry names; the staged files keep their case, so they are matched folded.
    std::map<std::string, std::filesystem::path> staged;
    std::error_code error;
    for (const auto& file : std::filesystem::recursive_directory_iterator(folder, error)) {
        if (file.is_regular_file()) staged[Upper(std::filesystem::relative(file.path(), folder).generic_string())] = file.path();
    }
    for (const auto& [key, entry] : entries_) {
        const auto& [name, bytes] = entry;
        const auto it = staged.find(key);
        if (it == staged.end()) {
            Fault(name, "", "no staged file of this name under " + folder);
            continue;
        }
        std::ifstream in(it->second, std::ios::binary);
        const std::vector<std::uint8_t> original{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (original != bytes) Fault(name, "", "reads back different from its staged file");
    }
}

}  // namespace datacheck
