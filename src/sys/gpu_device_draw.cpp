// Vertex declarations, streams, shaders and their programs, constant registers and draws.
#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>
#include <string>

#include "sys/gpu_device.h"
#include "sys/gpu_gl.h"
#include "sys/gpu_test_hooks.h"
#include "sys/shader_link.h"
#include "sys/shader_semantics.h"

namespace sys {
namespace {

constexpr std::uint32_t kStreamBufferBytes = 1u << 20;
constexpr std::uint32_t kFrequencyCount = 0x3FFFFFFFu;

const char* UsageName(std::uint8_t usage) {
    switch (usage) {
        case kUsagePosition: return "POSITION";
        case kUsageBlendWeight: return "BLENDWEIGHT";
        case kUsageBlendIndices: return "BLENDINDICES";
        case kUsageNormal: return "NORMAL";
        case kUsagePSize: return "PSIZE";
        case kUsageTexCoord: return "TEXCOORD";
        case kUsageTangent: return "TANGENT";
        case kUsageBinormal: return "BINORMAL";
        case kUsageColour: return "COLOR";
        case kUsageFog: return "FOG";
        default: return nullptr;
    }
}

GLenum PrimitiveMode(GpuPrimitiveType type) {
    switch (type) {
        case kPrimPointList: return GL_POINTS;
        case kPrimLineList: return GL_LINES;
        case kPrimLineStrip: return GL_LINE_STRIP;
        case kPrimTriangleStrip: return GL_TRIANGLE_STRIP;
        case kPrimTriangleFan: return GL_TRIANGLE_FAN;
        default: return GL_TRIANGLES;
    }
}

bool GlslCompiles(GLenum type, const std::string& text) {
    const GLuint shader = GL(glCreateShader(type));
    const char* source = text.c_str();
    const GLint length = static_cast<GLint>(text.size());
    GL(glShaderSource(shader, 1, &source, &length));
    GL(glCompileShader(shader));
    GLint status = GL_FALSE;
    GL(glGetShaderiv(shader, GL_COMPILE_STATUS, &status));
    GL(glDeleteShader(shader));
    return status == GL_TRUE;
}

// One declaration element as a GL attribute.
void AttributePointer(GLuint location, const GpuVertexElement& element, bool integer, GLsizei stride,
                      std::uintptr_t offset) {
    const void* pointer = reinterpret_cast<const void*>(offset);
    switch (element.type) {
        case kDeclFloat1:
        case kDeclFloat2:
        case kDeclFloat3:
        case kDeclFloat4:
            GL(glVertexAttribPointer(location, element.type - kDeclFloat1 + 1, GL_FLOAT, GL_FALSE, stride, pointer));
            break;
        case kDeclColour:
            GL(glVertexAttribPointer(location, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, pointer));
            break;
        case kDeclUByte4N:
            GL(glVertexAttribPointer(location, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, pointer));
            break;
        case kDeclUByte4:
        case kDeclShort2:
        case kDeclShort4: {
            const GLenum type = element.type == kDeclUByte4 ? GL_UNSIGNED_BYTE : GL_SHORT;
            const GLint size = element.type == kDeclShort2 ? 2 : 4;
            if (integer) {
                GL(glVertexAttribIPointer(location, size, type, stride, pointer));
            } else {
                GL(glVertexAttribPointer(location, size, type, GL_FALSE, stride, pointer));
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace

GpuVertexDeclaration* GpuDevice::CreateVertexDeclaration(std::span<const GpuVertexElement> elements) {
    Count(GpuCall::CreateVertexDeclaration);
    if (elements.empty() || GpuHooks().TakeFailure(GpuCreateKind::VertexDeclaration)) return nullptr;
    for (const GpuVertexElement& element : elements) {
        if (element.stream >= kVertexStreams || element.type > kDeclUByte4N || UsageName(element.usage) == nullptr) {
            return nullptr;
        }
    }
    return new GpuVertexDeclaration(this, elements);
}

GpuVertexDeclaration::GpuVertexDeclaration(GpuDevice* device, std::span<const GpuVertexElement> elements)
    : GpuResource(device, true), elements_(elements.begin(), elements.end()) {
    for (const GpuVertexElement& element : elements_) {
        const std::string semantic = std::string(UsageName(element.usage)) + std::to_string(element.usageIndex);
        locations_.push_back(VertexAttributeLocation(semantic));
    }
}

GpuShader* GpuDevice::CreateShader(std::span<const std::uint32_t> words, ShaderStage stage) {
    const bool vertex = stage == ShaderStage::Vertex;
    if (GpuHooks().TakeFailure(vertex ? GpuCreateKind::VertexShader : GpuCreateKind::PixelShader)) return nullptr;
    SpirvToGlslResult translated = SpirvToGlsl(words, stage);
    if (!translated.Ok()) return nullptr;
    return MakeShader(std::move(translated.shader), stage);
}

GpuShader* GpuDevice::MakeShader(GlslShader glsl, ShaderStage stage) {
    const bool vertex = stage == ShaderStage::Vertex;
    if (glsl.reflection.stage != stage) return nullptr;
    if (!GlslCompiles(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, glsl.text)) return nullptr;
    if (vertex) return new GpuVertexShader(this, std::move(glsl));
    return new GpuPixelShader(this, std::move(glsl));
}

GpuVertexShader* GpuDevice::CreateVertexShader(std::span<const std::uint32_t> words) {
    Count(GpuCall::CreateVertexShader);
    return static_cast<GpuVertexShader*>(CreateShader(words, ShaderStage::Vertex));
}

GpuPixelShader* GpuDevice::CreatePixelShader(std::span<const std::uint32_t> words) {
    Count(GpuCall::CreatePixelShader);
    return static_cast<GpuPixelShader*>(CreateShader(words, ShaderStage::Pixel));
}

GpuVertexShader* GpuDevice::CreateVertexShaderFromGlsl(GlslShader glsl) {
    Count(GpuCall::CreateVertexShader);
    if (GpuHooks().TakeFailure(GpuCreateKind::VertexShader)) return nullptr;
    return static_cast<GpuVertexShader*>(MakeShader(std::move(glsl), ShaderStage::Vertex));
}

GpuPixelShader* GpuDevice::CreatePixelShaderFromGlsl(GlslShader glsl) {
    Count(GpuCall::CreatePixelShader);
    if (GpuHooks().TakeFailure(GpuCreateKind::PixelShader)) return nullptr;
    return static_cast<GpuPixelShader*>(MakeShader(std::move(glsl), ShaderStage::Pixel));
}

GpuShader::GpuShader(GpuDevice* device, GlslShader glsl) : GpuResource(device, true), glsl_(std::move(glsl)) {}

void GpuShader::DeleteGl() { device_->ForgetShader(this); }

void GpuDevice::ForgetShader(GpuShader* shader) {
    for (auto it = programs_.begin(); it != programs_.end();) {
        if (it->first.first != shader && it->first.second != shader) {
            ++it;
            continue;
        }
        if (it->second.name != 0) {
            if (it->second.name == currentProgram_) {
                GL(glUseProgram(0));
                currentProgram_ = 0;
            }
            GL(glDeleteProgram(it->second.name));
        }
        it = programs_.erase(it);
    }
}

GpuResult GpuDevice::SetVertexShader(GpuVertexShader* shader) {
    Count(GpuCall::SetVertexShader);
    Rebind(vertexShader_, shader);
    return kGpuOk;
}

GpuResult GpuDevice::SetPixelShader(GpuPixelShader* shader) {
    Count(GpuCall::SetPixelShader);
    Rebind(pixelShader_, shader);
    return kGpuOk;
}

GpuResult GpuDevice::SetVertexShaderConstantF(std::uint32_t start, const float* data, std::uint32_t count) {
    Count(GpuCall::SetVertexShaderConstantF);
    // c255 carries the viewport's pixel size for the half-pixel shift.
    assert(start + count <= 255 && "vertex register c255 belongs to the graphics layer");
    if (data == nullptr || start >= 255 || count > 255 - start) return kGpuInvalidCall;
    for (std::uint32_t i = 0; i < count; ++i) {
        WriteRegister(0, start + i, {data[4 * i], data[4 * i + 1], data[4 * i + 2], data[4 * i + 3]});
    }
    return kGpuOk;
}

GpuResult GpuDevice::SetPixelShaderConstantF(std::uint32_t start, const float* data, std::uint32_t count) {
    Count(GpuCall::SetPixelShaderConstantF);
    // c255 carries the alpha test.
    assert(start + count <= 255 && "pixel register c255 belongs to the graphics layer");
    if (data == nullptr || start >= 255 || count > 255 - start) return kGpuInvalidCall;
    for (std::uint32_t i = 0; i < count; ++i) {
        WriteRegister(1, start + i, {data[4 * i], data[4 * i + 1], data[4 * i + 2], data[4 * i + 3]});
    }
    return kGpuOk;
}

GpuResult GpuDevice::SetVertexDeclaration(GpuVertexDeclaration* declaration) {
    Count(GpuCall::SetVertexDeclaration);
    Rebind(declaration_, declaration);
    attributesDirty_ = true;
    return kGpuOk;
}

GpuResult GpuDevice::SetStreamSource(std::uint32_t stream, GpuVertexBuffer* buffer, std::uint32_t offset,
                                     std::uint32_t stride) {
    Count(GpuCall::SetStreamSource);
    if (stream >= kVertexStreams) return kGpuInvalidCall;
    Rebind(streams_[stream].buffer, buffer);
    streams_[stream].offset = offset;
    streams_[stream].stride = stride;
    attributesDirty_ = true;
    return kGpuOk;
}

GpuResult GpuDevice::SetStreamSourceFreq(std::uint32_t stream, std::uint32_t setting) {
    Count(GpuCall::SetStreamSourceFreq);
    if (stream >= kVertexStreams) return kGpuInvalidCall;
    streams_[stream].frequency = setting;
    attributesDirty_ = true;
    return kGpuOk;
}

GpuResult GpuDevice::SetIndices(GpuIndexBuffer* indices) {
    Count(GpuCall::SetIndices);
    Rebind(indices_, indices);
    return kGpuOk;
}

bool GpuDevice::UseProgram() {
    const auto key = std::make_pair<const GpuShader*, const GpuShader*>(vertexShader_, pixelShader_);
    auto found = programs_.find(key);
    if (found == programs_.end()) {
        ++gpu_internal::g_glCalls;
        const ShaderLinkResult linked = LinkShaderPair(vertexShader_->Glsl(), pixelShader_->Glsl());
        if (linked.program == 0) {
            // Reported once; the pair stays remembered and its draws are skipped.
            ++linkFailures_;
            lastLinkError_ = linked.error;
            std::fprintf(stderr, "tinmarch: %s\n", linked.error.c_str());
        }
        found = programs_.emplace(key, Program{linked.program}).first;
    }
    const GLuint name = found->second.name;
    if (name == 0) return false;
    if (name != currentProgram_) {
        GL(glUseProgram(name));
        currentProgram_ = name;
        attributesDirty_ = true;
    }
    return true;
}

void GpuDevice::UploadRegisters() {
    for (int file = 0; file < 2; ++file) {
        RegisterFile& registers = registers_[file];
        if (registers.dirtyBegin >= registers.dirtyEnd) continue;
        GL(glBindBuffer(GL_UNIFORM_BUFFER, registerBuffers_[file]));
        GL(glBufferSubData(GL_UNIFORM_BUFFER, registers.dirtyBegin * 16,
                           (registers.dirtyEnd - registers.dirtyBegin) * 16,
                           registers.values[registers.dirtyBegin].data()));
        registers.dirtyBegin = 256;
        registers.dirtyEnd = 0;
    }
}

void GpuDevice::SpecifyAttributes(std::uint32_t immediateStride, bool instanced) {
    std::uint32_t enabled = 0;
    for (const ShaderStageVariable& input : vertexShader_->Glsl().reflection.inputs) {
        if (input.location < 0 || input.location >= 32) continue;
        const GLuint location = static_cast<GLuint>(input.location);
        const GpuVertexElement* element = nullptr;
        if (declaration_ != nullptr) {
            for (std::size_t i = 0; i < declaration_->elements_.size(); ++i) {
                if (declaration_->locations_[i] == input.location) element = &declaration_->elements_[i];
            }
        }
        GLuint buffer = 0;
        std::uint32_t offset = 0;
        std::uint32_t stride = 0;
        if (element != nullptr && element->stream == 0 && immediateStride != 0) {
            buffer = streamBuffer_;
            stride = immediateStride;
        } else if (element != nullptr && streams_[element->stream].buffer != nullptr) {
            buffer = streams_[element->stream].buffer->name_;
            offset = streams_[element->stream].offset;
            stride = streams_[element->stream].stride;
        }
        if (buffer == 0) {
            // An input no element feeds reads a constant, as an unbound input reads on the other API.
            GL(glDisableVertexAttribArray(location));
            if (input.isInteger) {
                GL(glVertexAttribI4i(location, 0, 0, 0, 0));
            } else {
                GL(glVertexAttrib4f(location, 0.0f, 0.0f, 0.0f, 1.0f));
            }
            continue;
        }
        GL(glBindBuffer(GL_ARRAY_BUFFER, buffer));
        AttributePointer(location, *element, input.isInteger, static_cast<GLsizei>(stride), offset + element->offset);
        const bool perInstance = instanced && element->stream == 1 &&
                                 (streams_[1].frequency & kStreamInstanceData) != 0;
        GL(glVertexAttribDivisor(location, perInstance ? 1 : 0));
        GL(glEnableVertexAttribArray(location));
        enabled |= 1u << location;
    }
    for (GLuint location = 0; location < 32; ++location) {
        if ((enabledAttributes_ & ~enabled & (1u << location)) != 0) GL(glDisableVertexAttribArray(location));
    }
    enabledAttributes_ = enabled;
    attributesDirty_ = immediateStride != 0;
    attributesInstanced_ = instanced;
}

bool GpuDevice::PrepareDraw(std::uint32_t immediateStride, bool instanced) {
    if (vertexShader_ == nullptr || pixelShader_ == nullptr || declaration_ == nullptr) return false;
    // Every stream the declaration reads needs a buffer.
    for (const GpuVertexElement& element : declaration_->elements_) {
        if (streams_[element.stream].buffer == nullptr && !(element.stream == 0 && immediateStride != 0)) return false;
    }
    if (!BindFramebuffer()) return false;
    if (!UseProgram()) return false;
    UploadRegisters();
    if (attributesDirty_ || immediateStride != 0 || instanced != attributesInstanced_) {
        SpecifyAttributes(immediateStride, instanced);
    }
    return true;
}

GpuResult GpuDevice::DrawPrimitive(GpuPrimitiveType type, std::uint32_t startVertex, std::uint32_t primitiveCount) {
    Count(GpuCall::DrawPrimitive);
    const int vertices = GpuVertexCount(type, static_cast<int>(primitiveCount));
    if (vertices == 0) return kGpuOk;
    if (!PrepareDraw(0)) return kGpuInvalidCall;
    if (GpuHooks().recordDrawsOnly) return kGpuOk;
    GL(glDrawArrays(PrimitiveMode(type), static_cast<GLint>(startVertex), vertices));
    return kGpuOk;
}

GpuResult GpuDevice::DrawIndexedPrimitive(GpuPrimitiveType type, std::int32_t baseVertex, std::uint32_t,
                                          std::uint32_t, std::uint32_t startIndex, std::uint32_t primitiveCount) {
    Count(GpuCall::DrawIndexedPrimitive);
    const int indices = GpuVertexCount(type, static_cast<int>(primitiveCount));
    if (indices == 0) return kGpuOk;
    const bool instanced = (streams_[0].frequency & kStreamIndexedData) != 0;
    if (indices_ == nullptr || indices_->IsLocked() || !PrepareDraw(0, instanced)) return kGpuInvalidCall;
    if ((startIndex + static_cast<std::uint64_t>(indices)) * 2 > indices_->Length()) return kGpuInvalidCall;
    if (GpuHooks().recordDrawsOnly) return kGpuOk;
    GL(glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_->name_));
    const void* first = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(startIndex) * 2);
    const GLenum mode = PrimitiveMode(type);
    if (instanced) {
        const GLsizei instances = static_cast<GLsizei>(streams_[0].frequency & kFrequencyCount);
        GL(glDrawElementsInstancedBaseVertex(mode, indices, GL_UNSIGNED_SHORT, first, instances, baseVertex));
    } else if (baseVertex != 0) {
        GL(glDrawElementsBaseVertex(mode, indices, GL_UNSIGNED_SHORT, first, baseVertex));
    } else {
        GL(glDrawElements(mode, indices, GL_UNSIGNED_SHORT, first));
    }
    return kGpuOk;
}

GpuResult GpuDevice::DrawPrimitiveUP(GpuPrimitiveType type, std::uint32_t primitiveCount, const void* data,
                                     std::uint32_t stride) {
    Count(GpuCall::DrawPrimitiveUP);
    const int vertices = GpuVertexCount(type, static_cast<int>(primitiveCount));
    if (vertices == 0) return kGpuOk;
    if (data == nullptr || stride == 0) return kGpuInvalidCall;
    if (vertexShader_ == nullptr || pixelShader_ == nullptr || !BindFramebuffer()) return kGpuInvalidCall;
    const std::uint32_t offset = StreamData(data, static_cast<std::uint32_t>(vertices) * stride, stride);
    GpuResult result = kGpuInvalidCall;
    if (PrepareDraw(stride)) {
        if (!GpuHooks().recordDrawsOnly) {
            GL(glDrawArrays(PrimitiveMode(type), static_cast<GLint>(offset / stride), vertices));
        }
        result = kGpuOk;
    }
    // Drawing from memory leaves stream 0 unbound.
    Drop(streams_[0].buffer);
    streams_[0].offset = 0;
    streams_[0].stride = 0;
    attributesDirty_ = true;
    return result;
}

std::uint32_t GpuDevice::StreamData(const void* data, std::uint32_t bytes, std::uint32_t stride) {
    if (streamBuffer_ == 0) GL(glGenBuffers(1, &streamBuffer_));
    GL(glBindBuffer(GL_ARRAY_BUFFER, streamBuffer_));
    std::uint32_t position = (streamPosition_ + stride - 1) / stride * stride;
    GLbitfield access = GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT;
    if (bytes > streamBufferSize_ || position + bytes > streamBufferSize_) {
        // Full: fresh storage, so that draws still reading the old data are not disturbed.
        streamBufferSize_ = std::max(streamBufferSize_, std::max(kStreamBufferBytes, bytes));
        GL(glBufferData(GL_ARRAY_BUFFER, streamBufferSize_, nullptr, GL_STREAM_DRAW));
        position = 0;
        access = GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT;
    }
    void* target = GL(glMapBufferRange(GL_ARRAY_BUFFER, position, bytes, access));
    if (target != nullptr) {
        std::memcpy(target, data, bytes);
        GL(glUnmapBuffer(GL_ARRAY_BUFFER));
    }
    streamPosition_ = position + bytes;
    return position;
}

}  // namespace sys
