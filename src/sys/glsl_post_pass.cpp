#include "sys/glsl_post_pass.h"

#include <algorithm>
#include <numeric>
#include <string_view>

namespace sys {
namespace {

constexpr std::string_view kEnhancedLayouts = "#extension GL_ARB_enhanced_layouts : require\n";
constexpr std::uint32_t kLayerRegisterOffset = kLayerRegister * kRegisterBytes;

void EraseAll(std::string& text, std::string_view line) {
    for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at)) {
        text.erase(at, line.size());
    }
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// "layout(row_major, offset = 64) mat4 M;" -> "layout(row_major) mat4 M;"; "layout(offset = 0) vec4 v;" -> "vec4 v;".
std::string DropOffset(std::string_view member) {
    member = Trim(member);
    constexpr std::string_view kLayout = "layout(";
    if (member.substr(0, kLayout.size()) != kLayout) return std::string(member);
    const std::size_t close = member.find(')');
    if (close == std::string_view::npos) return std::string(member);
    std::string kept;
    std::string_view qualifiers = member.substr(kLayout.size(), close - kLayout.size());
    while (!qualifiers.empty()) {
        const std::size_t comma = qualifiers.find(',');
        const std::string_view qualifier = Trim(qualifiers.substr(0, comma));
        if (!qualifier.empty() && qualifier.substr(0, 6) != "offset") {
            if (!kept.empty()) kept += ", ";
            kept += qualifier;
        }
        qualifiers = comma == std::string_view::npos ? std::string_view{} : qualifiers.substr(comma + 1);
    }
    const std::string_view rest = Trim(member.substr(close + 1));
    return kept.empty() ? std::string(rest) : "layout(" + kept + ") " + std::string(rest);
}

// Padding from byte `at` up to the register-aligned byte `to`: floats up to the next register, then whole
// registers. In std140 a float aligns to 4 and a vec4 array to 16, so the following member lands on `to`.
void AppendPadding(std::string& out, std::uint32_t at, std::uint32_t to) {
    at = (at + 3) / 4 * 4;
    while (at % kRegisterBytes != 0 && at < to) {
        out += "    float _pad" + std::to_string(at) + ";\n";
        at += 4;
    }
    if (at < to) {
        const std::uint32_t registers = (to - at) / kRegisterBytes;
        out += "    vec4 _pad" + std::to_string(at);
        if (registers > 1) out += "[" + std::to_string(registers) + "]";
        out += ";\n";
    }
}

std::string BlockBody(const std::vector<std::string>& memberLines, const std::vector<RegisterBlockMember>& members) {
    std::vector<std::size_t> order(members.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return members[a].offset < members[b].offset; });
    std::string body;
    std::uint32_t at = 0;
    for (std::size_t index : order) {
        AppendPadding(body, at, members[index].offset);
        body += "    " + DropOffset(memberLines[index]) + "\n";
        at = members[index].offset + members[index].size;
    }
    AppendPadding(body, at, kLayerRegisterOffset);
    body += "    vec4 c255;\n";
    return body;
}

// Where a new declaration may go: after the #version and #extension lines at the top.
std::size_t AfterDirectives(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == '#') {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) return text.size();
        at = end + 1;
    }
    return at;
}

}  // namespace

const char* RegisterBlockName(ShaderStage stage) { return stage == ShaderStage::Vertex ? "VSRegs" : "PSRegs"; }

const char* RegisterBlockInstance(ShaderStage stage) { return stage == ShaderStage::Vertex ? "vsr" : "psr"; }

std::string RewriteRegisterBlock(std::string& text, ShaderStage stage, const std::vector<RegisterBlockMember>& members) {
    EraseAll(text, kEnhancedLayouts);
    const std::string name = RegisterBlockName(stage);
    const std::string instance = RegisterBlockInstance(stage);
    const std::string header = "uniform " + name + "\n{\n";
    const std::size_t headerAt = text.find(header);

    if (headerAt == std::string::npos) {
        if (!members.empty()) return "register block not found";
        const std::string block = "layout(std140) uniform " + name + "\n{\n" + BlockBody({}, {}) + "} " + instance +
                                  ";\n\n";
        text.insert(AfterDirectives(text), block);
        return {};
    }

    const std::size_t bodyAt = headerAt + header.size();
    const std::string closing = "} " + instance + ";";
    std::vector<std::string> memberLines;
    std::size_t lineAt = bodyAt;
    while (true) {
        const std::size_t end = text.find('\n', lineAt);
        if (end == std::string::npos) return "register block not closed";
        const std::string_view line(text.data() + lineAt, end - lineAt);
        if (line.substr(0, closing.size()) == closing) break;
        memberLines.emplace_back(line);
        lineAt = end + 1;
    }
    if (memberLines.size() != members.size()) return "register block members do not match the module";
    text.replace(bodyAt, lineAt - bodyAt, BlockBody(memberLines, members));
    return {};
}

std::string AddEpilogue(std::string& text, ShaderStage stage, bool alphaTest) {
    constexpr std::string_view kMain = "\nvoid main()\n";
    const std::size_t at = text.find(kMain);
    if (at == std::string::npos) return "entry point not found";
    text.replace(at, kMain.size(), "\nvoid " + std::string(kTranslatedEntryPoint) + "()\n");

    text += "\nvoid main()\n{\n    ";
    text += kTranslatedEntryPoint;
    text += "();\n";
    if (stage == ShaderStage::Vertex) {
        // D3D9 puts pixel centres on integer screen coordinates, GL half a pixel further on: shift by half a
        // pixel (c255 = 1 / viewport size). Then turn D3D clip space into GL's on the upside-down framebuffer:
        // y negated, z from 0..w to -w..w.
        text +=
            "    gl_Position.x += gl_Position.w * vsr.c255.x;\n"
            "    gl_Position.y -= gl_Position.w * vsr.c255.y;\n"
            "    gl_Position.y = -gl_Position.y;\n"
            "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n";
    } else if (alphaTest) {
        // Alpha test (c255.x enables, c255.y is the reference 0-255), compare function GREATEREQUAL.
        text +=
            "    if (psr.c255.x != 0.0 && floor(clamp(o_COLOR0.a, 0.0, 1.0) * 255.0 + 0.5) < psr.c255.y)\n"
            "    {\n"
            "        discard;\n"
            "    }\n";
    }
    text += "}\n";
    return {};
}

}  // namespace sys
