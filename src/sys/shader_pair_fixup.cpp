#include <string_view>
#include <utility>

#include "sys/shader_link.h"

namespace sys {
namespace {

bool IsIdentifierChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Replaces every whole-word occurrence of `from` with `to`.
void ReplaceIdentifier(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        const bool before = at > 0 && IsIdentifierChar(text[at - 1]);
        const std::size_t end = at + from.size();
        const bool after = end < text.size() && IsIdentifierChar(text[end]);
        if (before || after) {
            at = end;
            continue;
        }
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

// The line declaring input `name` ("in vec2 v_TEXCOORD0;", possibly with qualifiers): [start, end) without the
// newline, or npos.
std::pair<std::size_t, std::size_t> FindInputDeclaration(const std::string& text, const std::string& name) {
    const std::string suffix = " " + name + ";";
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        if (line.size() > suffix.size() && line.substr(line.size() - suffix.size()) == suffix &&
            (line.substr(0, 3) == "in " || line.find(" in ") != std::string_view::npos)) {
            return {start, end};
        }
        start = end + 1;
    }
    return {std::string::npos, std::string::npos};
}

// `value` of type `from` as type `to` (both float types): extra components 0, w 1.
std::string Convert(const std::string& value, const ShaderStageVariable& from, const ShaderStageVariable& to) {
    static const char* const kSwizzles[] = {"", ".x", ".xy", ".xyz"};
    if (to.components <= from.components) return value + kSwizzles[to.components];
    std::string expression = to.glslType + "(" + value;
    for (int i = from.components; i < to.components; ++i) expression += i == 3 ? ", 1.0" : ", 0.0";
    return expression + ")";
}

}  // namespace

PixelFixupResult PairFixupPixelGlsl(const ShaderReflection& vertex, const GlslShader& pixel) {
    PixelFixupResult result;
    std::string text = pixel.text;
    std::string prologue;
    for (const ShaderStageVariable& input : pixel.reflection.inputs) {
        const ShaderStageVariable* written = nullptr;
        for (const ShaderStageVariable& output : vertex.outputs) {
            if (output.semantic == input.semantic) written = &output;
        }
        if (written != nullptr && written->glslType == input.glslType) continue;

        const std::string name = "v_" + input.semantic;
        if (written != nullptr && (written->isInteger || input.isInteger)) {
            result.error = "pixel input " + input.semantic + " reads " + input.glslType + " where the vertex shader writes " +
                           written->glslType;
            return result;
        }
        const std::string copy = "fix_" + input.semantic;
        ReplaceIdentifier(text, name, copy);
        const auto [start, end] = FindInputDeclaration(text, copy);
        if (start == std::string::npos) {
            result.error = "declaration of pixel input " + input.semantic + " not found";
            return result;
        }
        if (written == nullptr) {
            // Never written by this vertex shader: a constant 0 (undefined data in shader model 3).
            text.replace(start, end - start, "const " + input.glslType + " " + copy + " = " + input.glslType + "(0);");
        } else {
            text.replace(start, end - start,
                         "in " + written->glslType + " " + name + ";\n" + input.glslType + " " + copy + ";");
            prologue += "    " + copy + " = " + Convert(name, *written, input) + ";\n";
        }
    }
    if (!prologue.empty()) {
        const std::string main = "\nvoid main()\n{\n";
        const std::size_t at = text.rfind(main);
        if (at == std::string::npos) {
            result.error = "entry point not found";
            return result;
        }
        text.insert(at + main.size(), prologue);
    }
    result.text = std::move(text);
    return result;
}

}  // namespace sys
