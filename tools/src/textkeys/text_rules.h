#pragma once
// The rules every text of a locale table obeys so that it draws as written:
// - markup only "@C[0]".."@C[4]", "@J[n]", "@X[n]" and "@@"; n of "@X" is 0..15, and 0 in texts drawn with
//   the large font (the only large icon there is); any other "@" is malformed and stops drawing;
// - no "%" (some texts pass through formatting) and no tab (drawing and measuring place it differently);
// - the two characters "\n" only in texts whose callers turn them into line breaks.
#include <string>

namespace textkeys {

// Which table a text belongs to: the rules for "\n" differ.
enum class TextTable { kGlobal, kCampaign };

// Empty when the text obeys the rules, else the reason.
std::string CheckTextRules(const std::string& key, const std::u16string& text, TextTable table);

}  // namespace textkeys
