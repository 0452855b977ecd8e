#pragma once
// The inventory of text keys the program can ask for, gathered from its sources so that a key added to the
// code without its text fails the build's checks:
// - the scan collects every string literal of key form (A-Z, 0-9 and "_", optionally with "%i" or "%s");
// - a literal that is the code's side of a family ("UT_", "LOSE_%s") is expanded by the family rules, from
//   the game's own tables where one exists (unit catalogue, win/lose condition names, achievement keys);
// - a literal listed as a non-key (file-format keywords, script commands, block markers) is dropped;
// - any other literal must have a text in the locale source.
#include <map>
#include <set>
#include <string>
#include <vector>

namespace textkeys {

struct KeyLiteral {
    std::string text;
    std::string where;  // "src/game/x.cpp:12", the first place it appears
};

// The literals of key form in one C++ source text, in order; comments are skipped.
std::vector<std::string> ScanKeyLiterals(const std::string& code);
// The literals of every .h and .cpp file under `folder`, each with its first place (paths relative to
// `base`); sorted by text.
std::vector<KeyLiteral> ScanSourceTree(const std::string& folder, const std::string& base);

// One family rule: where the code holds `literal`, the keys `pattern` with "%s" or "%i" replaced by each
// value of `source`: "units", "winlose", "achievements", a range "a..b" or a list "A,B,C".
struct FamilyRule {
    std::string literal;
    std::string pattern;
    std::string source;
    int line = 0;
};

// Reads "<literal> <pattern> <source>" lines ("#" comments); false with a message for a malformed line.
bool ParseFamilyRules(const std::string& text, std::vector<FamilyRule>& rules, std::string& error);
// The keys of one rule; false with a message when its source is unknown or its pattern has no "%s"/"%i"
// fitting that source.
bool ExpandFamily(const FamilyRule& rule, std::vector<std::string>& keys, std::string& error);

// The non-keys list: one literal a line, or a prefix ending in "*"; "#" comments.
class NotKeys {
public:
    void Parse(const std::string& text);
    bool Contains(const std::string& literal) const;

private:
    std::set<std::string> exact_;
    std::vector<std::string> prefixes_;
};

struct Inventory {
    // Key -> how it was found ("src/x.cpp:3" or "family UT_%s").
    std::map<std::string, std::string> keys;
    // One line for each literal that is neither a text, a family nor a non-key.
    std::vector<std::string> faults;
};

// Sorts each literal into the inventory, the families or the non-keys.
Inventory BuildInventory(const std::vector<KeyLiteral>& literals, const std::vector<FamilyRule>& rules,
                         const NotKeys& notKeys, const std::set<std::string>& localeKeys);

// The whole scan of a source tree laid out as the project is: src/, tools/src/textkeys_families.txt,
// tools/src/textkeys_not_keys.txt and data/Locale/eng.txt under `root`. Faults of the rule files and the
// locale source land in the inventory's faults.
Inventory ScanProject(const std::string& root);

}  // namespace textkeys
