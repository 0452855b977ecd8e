#include "textkeys/key_inventory.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "game/core/achievement_list.h"
#include "game/level/mission.h"
#include "game/units/unit_catalogue.h"
#include "textkeys/locale_source.h"

namespace textkeys {

namespace {

bool IsKeyCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

// Key form: A-Z, 0-9 and "_", starting with a letter, with "%i" or "%s" allowed inside.
bool HasKeyForm(const std::string& text) {
    if (text.empty() || text[0] < 'A' || text[0] > 'Z') return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 'i' || text[i + 1] == 's')) {
            ++i;
            continue;
        }
        if (!IsKeyCharacter(text[i])) return false;
    }
    return true;
}

bool IsFormat(const std::string& text) { return text.find('%') != std::string::npos; }

std::string ReadText(const std::filesystem::path& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = static_cast<bool>(in);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);) parts.push_back(part);
    return parts;
}

// Replaces the one "%s" or "%i" of the pattern.
std::string Fill(const std::string& pattern, std::size_t at, const std::string& value) {
    return pattern.substr(0, at) + value + pattern.substr(at + 2);
}

}  // namespace

std::vector<std::string> ScanKeyLiterals(const std::string& code) {
    std::vector<std::string> literals;
    std::size_t i = 0;
    const std::size_t n = code.size();
    while (i < n) {
        const char c = code[i];
        if (c == '/' && i + 1 < n && code[i + 1] == '/') {
            i = code.find('\n', i);
            if (i == std::string::npos) break;
        } else if (c == '/' && i + 1 < n && code[i + 1] == '*') {
            i = code.find("*/", i + 2);
            if (i == std::string::npos) break;
            i += 2;
        } else if (c == 'R' && i + 1 < n && code[i + 1] == '"' && (i == 0 || !IsKeyCharacter(code[i - 1]))) {
            // A raw string: R"delim( ... )delim".
            const std::size_t open = code.find('(', i + 2);
            if (open == std::string::npos) break;
            const std::string close = ")" + code.substr(i + 2, open - i - 2) + "\"";
            i = code.find(close, open);
            if (i == std::string::npos) break;
            i += close.size();
        } else if (c == '"' || c == '\'') {
            // A digit separator (1'000) is not a character literal.
            if (c == '\'' && i > 0 && std::isxdigit(static_cast<unsigned char>(code[i - 1]))) {
                ++i;
                continue;
            }
            std::string text;
            std::size_t j = i + 1;
            for (; j < n && code[j] != c && code[j] != '\n'; ++j) {
                if (code[j] == '\\' && j + 1 < n) text += code[j++];
                text += code[j];
            }
            if (c == '"' && HasKeyForm(text)) literals.push_back(text);
            i = j + 1;
        } else {
            ++i;
        }
    }
    return literals;
}

std::vector<KeyLiteral> ScanSourceTree(const std::string& folder, const std::string& base) {
    std::map<std::string, std::string> first;
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        const std::string extension = it->path().extension().string();
        if (it->is_regular_file() && (extension == ".h" || extension == ".cpp")) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& path : files) {
        bool ok = false;
        const std::string code = ReadText(path, ok);
        const std::string name = std::filesystem::relative(path, base, error).generic_string();
        for (const std::string& literal : ScanKeyLiterals(code)) {
            // The line of the first appearance in this file.
            const std::size_t at = code.find("\"" + literal + "\"");
            const auto line = std::count(code.begin(), code.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
            first.emplace(literal, name + ":" + std::to_string(line));
        }
    }
    std::vector<KeyLiteral> literals;
    for (const auto& [text, where] : first) literals.push_back({text, where});
    return literals;
}

bool ParseFamilyRules(const std::string& text, std::vector<FamilyRule>& rules, std::string& error) {
    rules.clear();
    int lineNumber = 0;
    for (const std::string& raw : Split(text, '\n')) {
        ++lineNumber;
        std::istringstream line(raw.substr(0, raw.find('#')));
        FamilyRule rule;
        rule.line = lineNumber;
        if (!(line >> rule.literal)) continue;
        std::string extra;
        if (!(line >> rule.pattern >> rule.source) || (line >> extra)) {
            error = "family rules line " + std::to_string(lineNumber) + ": not \"<literal> <pattern> <source>\"";
            return false;
        }
        rules.push_back(rule);
    }
    return true;
}

bool ExpandFamily(const FamilyRule& rule, std::vector<std::string>& keys, std::string& error) {
    keys.clear();
    const std::string name = "family rule " + rule.literal + " " + rule.pattern;
    const std::size_t text = rule.pattern.find("%s");
    const std::size_t number = rule.pattern.find("%i");
    if ((text == std::string::npos) == (number == std::string::npos) ||
        rule.pattern.find('%', std::min(text, number) + 1) != std::string::npos) {
        error = name + ": the pattern needs exactly one \"%s\" or \"%i\"";
        return false;
    }
    std::vector<std::string> values;
    if (rule.source == "units") {
        // The catalogue's keywords without their "UT_".
        for (const game::UnitDescriptor& unit : game::UnitCatalogue()) values.push_back(std::string(unit.keyword).substr(3));
    } else if (rule.source == "winlose") {
        for (int id = 0; id < game::kWinLoseConditionCount; ++id) values.push_back(game::WinLoseConditionName(id));
    } else if (rule.source == "achievements") {
        for (int id = 0; id < game::kAchievementCount; ++id) values.push_back(game::AchievementList::GetKeyName(id));
    } else if (const std::size_t dots = rule.source.find(".."); dots != std::string::npos) {
        const std::string low = rule.source.substr(0, dots);
        const std::string high = rule.source.substr(dots + 2);
        const auto digits = [](const std::string& s) {
            return !s.empty() && s.size() < 4 && s.find_first_not_of("0123456789") == std::string::npos;
        };
        if (!digits(low) || !digits(high) || std::stoi(low) > std::stoi(high)) {
            error = name + ": bad range " + rule.source;
            return false;
        }
        for (int i = std::stoi(low); i <= std::stoi(high); ++i) values.push_back(std::to_string(i));
    } else if (rule.source.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_,") == std::string::npos) {
        values = Split(rule.source, ',');
    } else {
        error = name + ": unknown source " + rule.source;
        return false;
    }
    const bool numeric = rule.source.find("..") != std::string::npos;
    if (numeric != (number != std::string::npos)) {
        error = name + ": \"%i\" goes with a range, \"%s\" with names";
        return false;
    }
    for (const std::string& value : values) {
        if (value.empty()) {
            error = name + ": an empty value";
            return false;
        }
        keys.push_back(Fill(rule.pattern, numeric ? number : text, value));
    }
    return true;
}

void NotKeys::Parse(const std::string& text) {
    for (const std::string& raw : Split(text, '\n')) {
        std::istringstream line(raw.substr(0, raw.find('#')));
        for (std::string word; line >> word;) {
            if (word.size() > 1 && word.back() == '*') {
                prefixes_.push_back(word.substr(0, word.size() - 1));
            } else {
                exact_.insert(word);
            }
        }
    }
}

bool NotKeys::Contains(const std::string& literal) const {
    if (exact_.count(literal) != 0) return true;
    return std::any_of(prefixes_.begin(), prefixes_.end(),
                       [&](const std::string& prefix) { return literal.rfind(prefix, 0) == 0; });
}

Inventory BuildInventory(const std::vector<KeyLiteral>& literals, const std::vector<FamilyRule>& rules,
                         const NotKeys& notKeys, const std::set<std::string>& localeKeys) {
    Inventory inventory;
    for (const KeyLiteral& literal : literals) {
        bool family = false;
        for (const FamilyRule& rule : rules) {
            if (rule.literal != literal.text) continue;
            family = true;
            std::vector<std::string> keys;
            std::string error;
            if (!ExpandFamily(rule, keys, error)) {
                inventory.faults.push_back(error);
                continue;
            }
            for (const std::string& key : keys) inventory.keys.emplace(key, "family " + rule.pattern);
        }
        if (family || notKeys.Contains(literal.text)) continue;
        if (IsFormat(literal.text)) {
            inventory.faults.push_back(literal.where + ": \"" + literal.text + "\" is a key format with no family rule");
        } else if (localeKeys.count(literal.text) != 0) {
            inventory.keys.emplace(literal.text, literal.where);
        } else {
            inventory.faults.push_back(literal.where + ": \"" + literal.text +
                                       "\" has no text and is not listed as a non-key");
        }
    }
    return inventory;
}

Inventory ScanProject(const std::string& root) {
    const std::filesystem::path base(root);
    Inventory failed;
    bool ok = false;
    std::vector<FamilyRule> rules;
    std::string error;
    const std::string rulesText = ReadText(base / "tools/src/textkeys_families.txt", ok);
    if (!ok) failed.faults.push_back("cannot read tools/src/textkeys_families.txt");
    if (ok && !ParseFamilyRules(rulesText, rules, error)) failed.faults.push_back(error);
    NotKeys notKeys;
    notKeys.Parse(ReadText(base / "tools/src/textkeys_not_keys.txt", ok));
    if (!ok) failed.faults.push_back("cannot read tools/src/textkeys_not_keys.txt");
    std::set<std::string> localeKeys;
    std::vector<LocaleEntry> entries;
    LocaleFault fault;
    const std::string source = ReadText(base / "data/Locale/eng.txt", ok);
    if (!ok) failed.faults.push_back("cannot read data/Locale/eng.txt");
    if (ok && !ParseLocaleSource(source, entries, fault)) {
        failed.faults.push_back("data/Locale/eng.txt:" + std::to_string(fault.line) + ": " + fault.message);
    }
    for (const LocaleEntry& entry : entries) localeKeys.insert(entry.key);
    if (!failed.faults.empty()) return failed;
    return BuildInventory(ScanSourceTree((base / "src").string(), root), rules, notKeys, localeKeys);
}

}  // namespace textkeys
