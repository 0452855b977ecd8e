#include "textkeys/locale_check.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "datacheck/data_check.h"
#include "engine/platform/archive_set.h"
#include "game/core/string_table.h"
#include "textkeys/key_inventory.h"

namespace textkeys {

namespace {

constexpr const char* kCampaign = "Campaigns/standard";

bool ReadSource(const std::filesystem::path& path, std::vector<LocaleEntry>& entries, std::vector<std::string>& faults) {
    std::ifstream in(path, std::ios::binary);
    const std::string source(std::istreambuf_iterator<char>(in), {});
    LocaleFault fault;
    if (!in && !in.eof()) {
        faults.push_back("cannot read " + path.string());
        return false;
    }
    if (!ParseLocaleSource(source, entries, fault)) {
        faults.push_back(path.string() + ":" + std::to_string(fault.line) + ": " + fault.message);
        return false;
    }
    return true;
}

}  // namespace

void CheckRoundTrip(const game::StringTable& table, int index, const std::vector<LocaleEntry>& entries,
                    TextTable rules, const std::string& file, std::vector<std::string>& faults) {
    for (const LocaleEntry& entry : entries) {
        const std::string where = file + ":" + std::to_string(entry.line) + ": " + entry.key;
        const engine::WideString read = table.LookupInTable(entry.key.c_str(), index);
        if (std::u16string_view(read.Data(), read.Length()) != entry.text) {
            faults.push_back(where + ": the string table reads \"" + read.GetNarrow() + "\"");
        }
        if (const std::string broken = CheckTextRules(entry.key, entry.text, rules); !broken.empty()) {
            faults.push_back(where + ": " + broken);
        }
    }
}

void CheckResolved(const game::StringTable& table, const std::set<std::string>& keys, std::vector<std::string>& faults) {
    for (const std::string& key : keys) {
        if (table.LookupInTable(key.c_str(), 0).EqualsNarrow(game::StringTable::kNoString)) {
            faults.push_back(key + ": no text in Locale/eng.txt");
        }
    }
}

void CheckUsed(const std::vector<LocaleEntry>& entries, const std::set<std::string>& keys,
               std::vector<std::string>& faults) {
    for (const LocaleEntry& entry : entries) {
        if (keys.count(entry.key) == 0) {
            faults.push_back("data/Locale/eng.txt:" + std::to_string(entry.line) + ": " + entry.key +
                             ": no code asks for this text");
        }
    }
}

LocaleReport CheckArchive(const std::string& archivePath, const std::string& root) {
    LocaleReport report;
    const Inventory inventory = ScanProject(root);
    report.faults = inventory.faults;

    std::unique_ptr<engine::ZipArchive> archive = datacheck::OpenArchiveFile(archivePath);
    if (archive == nullptr) {
        report.faults.push_back("cannot open " + archivePath);
        return report;
    }
    // Mounting makes the archive the game's data for as long as the check lives.
    const datacheck::DataCheck mounted(std::move(archive));
    game::StringTable table;
    table.Init();
    table.Load();
    if (table.GetLanguageBits() == 0) report.faults.push_back("Locale/eng.txt does not load");
    if (!table.LoadCampaignTexts(1, kCampaign)) report.faults.push_back(std::string(kCampaign) + "/Locale/eng.txt does not load");

    std::set<std::string> keys;
    for (const auto& [key, where] : inventory.keys) keys.insert(key);
    CheckResolved(table, keys, report.faults);

    const std::filesystem::path base(root);
    std::vector<LocaleEntry> global;
    if (ReadSource(base / "data/Locale/eng.txt", global, report.faults)) {
        CheckRoundTrip(table, 0, global, TextTable::kGlobal, "data/Locale/eng.txt", report.faults);
    }
    std::vector<LocaleEntry> campaign;
    const std::string campaignSource = "data/" + std::string(kCampaign) + "/Locale/eng.txt";
    if (ReadSource(base / campaignSource, campaign, report.faults)) {
        CheckRoundTrip(table, 1, campaign, TextTable::kCampaign, campaignSource, report.faults);
    }
    report.globalEntries = global.size();
    if (global.size() > kMaxGlobalEntries) {
        report.faults.push_back("data/Locale/eng.txt holds " + std::to_string(global.size()) + " entries, more than " +
                                std::to_string(kMaxGlobalEntries));
    }
    CheckUsed(global, keys, report.faults);
    return report;
}

}  // namespace textkeys
