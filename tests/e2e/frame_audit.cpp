#include "e2e/frame_audit.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "e2e/program_driver.h"
#include "engine/core/wide_string.h"
#include "engine/gui/bitmap_font.h"
#include "engine/render/material_stage_textures.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "game/core/string_table.h"

namespace e2e {
namespace {

// The prefix of every report the program writes on stderr.
constexpr std::string_view kReportPrefix = "tinmarch:";
constexpr std::u16string_view kNoString = u"No String";
static_assert(kNoString.size() == std::char_traits<char>::length(game::StringTable::kNoString));

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// The placeholder a material stage without a texture binds (ShaderSet::BindTexture), made on its first
// bind: the 2D board of the placeholder's size, or the cube. The material library's own debug board, made
// at start-up and never bound, is larger.
bool IsMissingTexturePlaceholder(const engine::Texture& texture) {
    if (!texture.name.EqualsNarrow("Check")) return false;
    return texture.cubeTexture != nullptr || texture.width == static_cast<std::uint32_t>(engine::kCheckTextureSize);
}

}  // namespace

FrameAudit::FrameAudit(ProgramDriver& driver) : driver_(driver) {
    engine::BitmapFont::SetDrawnTextHook(&FrameAudit::OnText, this);
    driver_.SetFrameCheck([this] { AfterFrame(); });
}

FrameAudit::~FrameAudit() {
    driver_.SetFrameCheck({});
    engine::BitmapFont::SetDrawnTextHook(nullptr, nullptr);
}

void FrameAudit::Note(const std::string& what) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!seen_.insert(what).second) return;
    findings_.push_back(what + " (first seen after frame " + std::to_string(frame_) + ")");
}

void FrameAudit::OnText(std::u16string_view text, void* user) {
    if (text.find(kNoString) == std::u16string_view::npos) return;
    static_cast<FrameAudit*>(user)->Note("text drawn as \"" + Narrow(text) + "\"");
}

void FrameAudit::AfterFrame() {
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04X", error);
        Note(std::string("GL error ") + code);
    }
    for (int handle = 1; handle <= engine::TextureTable::Size(); ++handle) {
        const engine::Texture* texture = engine::TextureTable::Get(handle);
        if (texture != nullptr && IsMissingTexturePlaceholder(*texture)) {
            Note(texture->cubeTexture != nullptr ? "the checker cube map of a missing texture bound"
                                                 : "the checkerboard of a missing texture bound");
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    ++frame_;
}

std::vector<std::string> FrameAudit::Findings() const {
    std::vector<std::string> findings;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        findings = findings_;
    }
    for (const std::string& finding : driver_.PictureFindings()) findings.push_back("picture " + finding);
    std::istringstream errors(driver_.Stderr());
    std::set<std::string> reported;
    for (std::string line; std::getline(errors, line);) {
        if (line.rfind(kReportPrefix, 0) == 0 && reported.insert(line).second) findings.push_back("stderr: " + line);
    }
    return findings;
}

void FrameAudit::ExpectClean() const {
    for (const std::string& finding : Findings()) ADD_FAILURE() << finding;
}

}  // namespace e2e
