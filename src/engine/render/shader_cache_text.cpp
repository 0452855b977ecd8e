// The cache's translated-text files: the GLSL and reflection a device made from a shader's words, so that a
// later start hands them to the device without translating the words again.
//
// Layout, little-endian: the magic "TGLS", the layout version, the stage (0 vertex, 1 pixel), the body's
// length and its CRC-32, then the body: the text, and the constants, samplers, inputs and outputs of the
// reflection, each list as a count and its entries. A string is its length and its bytes.
#include <limits>

#include "engine/core/crc32.h"
#include "engine/core/little_endian.h"
#include "engine/render/shader_cache.h"
#include "sys/spirv_to_glsl.h"

namespace engine {

namespace {

constexpr std::uint32_t kTextMagic = 0x534C4754;  // "TGLS"
// Raised with any change of the layout or of what the translation writes, so that older texts are remade.
constexpr std::uint32_t kTextVersion = 1;
constexpr std::size_t kHeaderBytes = 20;

class Writer {
public:
    void U32(std::uint32_t value) {
        const std::size_t at = bytes.size();
        bytes.resize(at + 4);
        StoreU32(bytes.data() + at, value);
    }
    void I32(int value) { U32(static_cast<std::uint32_t>(value)); }
    void String(const std::string& text) {
        U32(static_cast<std::uint32_t>(text.size()));
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    std::vector<std::uint8_t> bytes;
};

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool U32(std::uint32_t& value) {
        if (bytes_.size() - at_ < 4) return Fail();
        value = LoadU32(bytes_.data() + at_);
        at_ += 4;
        return true;
    }
    bool I32(int& value) {
        std::uint32_t raw = 0;
        if (!U32(raw) || raw > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) return Fail();
        value = static_cast<int>(raw);
        return true;
    }
    bool String(std::string& text) {
        std::uint32_t length = 0;
        if (!U32(length) || bytes_.size() - at_ < length) return Fail();
        text.assign(reinterpret_cast<const char*>(bytes_.data() + at_), length);
        at_ += length;
        return true;
    }
    // A list count no larger than the bytes left could hold.
    bool Count(std::uint32_t& count) { return U32(count) && count <= (bytes_.size() - at_) / 4; }
    bool AtEnd() const { return ok_ && at_ == bytes_.size(); }

private:
    bool Fail() {
        ok_ = false;
        return false;
    }
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

void WriteVariables(Writer& out, const std::vector<sys::ShaderStageVariable>& variables) {
    out.U32(static_cast<std::uint32_t>(variables.size()));
    for (const sys::ShaderStageVariable& v : variables) {
        out.String(v.semantic);
        out.String(v.glslType);
        out.I32(v.components);
        out.U32(v.isInteger ? 1 : 0);
        out.U32(static_cast<std::uint32_t>(v.location));
    }
}

bool ReadVariables(Reader& in, std::vector<sys::ShaderStageVariable>& variables) {
    std::uint32_t count = 0;
    if (!in.Count(count)) return false;
    variables.resize(count);
    for (sys::ShaderStageVariable& v : variables) {
        std::uint32_t integer = 0;
        std::uint32_t location = 0;
        if (!in.String(v.semantic) || !in.String(v.glslType) || !in.I32(v.components) || !in.U32(integer) ||
            !in.U32(location) || integer > 1) {
            return false;
        }
        v.isInteger = integer != 0;
        v.location = static_cast<int>(location);
    }
    return true;
}

}  // namespace

std::string TranslatedTextCachePath(std::string_view wordsPath) {
    if (wordsPath.size() < 4) return {};
    std::string path(wordsPath.substr(0, wordsPath.size() - 4));
    return path + (wordsPath.ends_with(".vsc") ? ".vst" : ".pst");
}

std::vector<std::uint8_t> EncodeTranslatedText(const sys::GlslShader& glsl) {
    Writer body;
    body.String(glsl.text);
    body.U32(static_cast<std::uint32_t>(glsl.reflection.constants.size()));
    for (const sys::ShaderConstant& c : glsl.reflection.constants) {
        body.String(c.name);
        body.I32(c.firstRegister);
        body.I32(c.registerCount);
    }
    body.U32(static_cast<std::uint32_t>(glsl.reflection.samplers.size()));
    for (const sys::ShaderSampler& s : glsl.reflection.samplers) {
        body.String(s.name);
        body.I32(s.samplerRegister);
    }
    WriteVariables(body, glsl.reflection.inputs);
    WriteVariables(body, glsl.reflection.outputs);

    Writer file;
    file.U32(kTextMagic);
    file.U32(kTextVersion);
    file.U32(glsl.reflection.stage == sys::ShaderStage::Vertex ? 0 : 1);
    file.U32(static_cast<std::uint32_t>(body.bytes.size()));
    file.U32(Crc32OfLength(body.bytes.data(), body.bytes.size()));
    file.bytes.insert(file.bytes.end(), body.bytes.begin(), body.bytes.end());
    return file.bytes;
}

bool AcceptTranslatedTextBytes(std::span<const std::uint8_t> bytes, sys::ShaderStage stage, sys::GlslShader& out) {
    out = sys::GlslShader{};
    if (bytes.size() < kHeaderBytes) return false;
    const std::uint32_t wantedStage = stage == sys::ShaderStage::Vertex ? 0 : 1;
    const std::span<const std::uint8_t> body = bytes.subspan(kHeaderBytes);
    if (LoadU32(bytes.data()) != kTextMagic || LoadU32(bytes.data() + 4) != kTextVersion ||
        LoadU32(bytes.data() + 8) != wantedStage || LoadU32(bytes.data() + 12) != body.size() ||
        LoadU32(bytes.data() + 16) != Crc32OfLength(body.data(), body.size())) {
        return false;
    }
    sys::GlslShader glsl;
    glsl.reflection.stage = stage;
    Reader in(body);
    std::uint32_t count = 0;
    bool ok = in.String(glsl.text) && in.Count(count);
    glsl.reflection.constants.resize(ok ? count : 0);
    for (sys::ShaderConstant& c : glsl.reflection.constants) {
        ok = ok && in.String(c.name) && in.I32(c.firstRegister) && in.I32(c.registerCount);
    }
    ok = ok && in.Count(count);
    glsl.reflection.samplers.resize(ok ? count : 0);
    for (sys::ShaderSampler& s : glsl.reflection.samplers) ok = ok && in.String(s.name) && in.I32(s.samplerRegister);
    ok = ok && ReadVariables(in, glsl.reflection.inputs) && ReadVariables(in, glsl.reflection.outputs) && in.AtEnd();
    if (!ok || glsl.text.empty()) return false;
    out = std::move(glsl);
    return true;
}

}  // namespace engine
