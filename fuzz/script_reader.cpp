// Decodes arbitrary bytes as a text file, then walks the text with every cursor operation in a fixed order:
// keywords, lines, pairs and integers, a section between the first two keywords (walked the same way), the
// whole text and an error message. The cursor must never leave the text, lines must stay within their
// limit, failed integer reads must put the cursor back, and every walk must end.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/wide_string.h"
#include "engine/platform/script_reader.h"

namespace {

using engine::ScriptReader;
using engine::WideString;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void CheckCursor(const ScriptReader& r) { Check(r.Cursor() <= r.Length()); }

void ReadFields(ScriptReader& r) {
    for (;;) {
        const std::size_t before = r.Cursor();
        int a = 0;
        int b = 0;
        int c = 0;
        for (int count = 1; count <= 3; ++count) {
            const std::size_t at = r.Cursor();
            const int ok = count == 1 ? r.ReadInt(a) : count == 2 ? r.ReadInt2(a, b) : r.ReadInt3(a, b, c);
            if (!ok) Check(r.Cursor() == at);
            CheckCursor(r);
        }
        WideString first;
        WideString second;
        if (!r.ReadPair(first, second)) Check(first.IsEmpty() && second.IsEmpty());
        if (first.IsEmpty()) Check(second.IsEmpty());
        Check(first.Length() <= ScriptReader::kMaxLineLength && second.Length() <= ScriptReader::kMaxLineLength);
        CheckCursor(r);
        const WideString line = r.ReadLine();
        Check(line.Length() <= ScriptReader::kMaxLineLength);
        CheckCursor(r);
        if (r.Cursor() == before) return;
    }
}

void Walk(ScriptReader& r, int depth) {
    CheckCursor(r);
    Check(r.Text()[r.Length()] == 0);

    const WideString first = r.NextKeyword();
    CheckCursor(r);
    const WideString second = r.NextKeyword();
    CheckCursor(r);
    for (;;) {
        const std::size_t before = r.Cursor();
        const WideString name = r.NextKeyword();
        CheckCursor(r);
        if (name.IsEmpty() && r.Cursor() == r.Length()) break;
        Check(r.Cursor() > before);
    }

    if (r.FindKeyword(first.GetNarrow(), true)) Check(r.Cursor() <= r.Length());
    CheckCursor(r);
    ReadFields(r);
    if (!r.FindKeyword("END", true)) Check(r.Cursor() == r.Length());
    ReadFields(r);
    r.FindKeyword(second.GetNarrow(), true);
    while (!r.ReadLine().IsEmpty()) CheckCursor(r);

    const std::unique_ptr<ScriptReader> section = r.ExtractSection(true, first.GetNarrow(), second.GetNarrow());
    CheckCursor(r);
    if (section != nullptr) {
        Check(section->Length() <= r.Length());
        Check(r.Text()[r.Cursor()] == u'[');
        Check(section->BaseLine() >= r.BaseLine());
        if (depth < 2) Walk(*section, depth + 1);
    }

    Check(r.GetText().Length() <= r.Length());
    r.ReportError("%s then %s at %d", first.GetNarrow(), second.GetNarrow(), depth);
    Check(r.CurrentLine() >= r.BaseLine());
    r.FreeText();
    Check(r.Length() == 0 && r.Cursor() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    ScriptReader reader;
    Check(reader.LoadFromImage(input, size, "Fuzz/Script") == 1);
    const bool wide = reader.GetEncoding() == ScriptReader::kUtf16LittleEndian ||
                      reader.GetEncoding() == ScriptReader::kUtf16BigEndian;
    Check(reader.Length() == (wide ? size / 2 : size));
    Walk(reader, 0);
    return 0;
}
