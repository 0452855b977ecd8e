#include "support/shader_draw_fixture.h"

#include <epoxy/gl.h>

#include "sys/shader_semantics.h"

namespace testsupport {
namespace {

constexpr GLsizeiptr kRegisterFileBytes = 256 * 16;

// Binds the framebuffer for the lifetime of the object and restores the window's afterwards.
class BoundFramebuffer {
public:
    explicit BoundFramebuffer(GLuint framebuffer) { glBindFramebuffer(GL_FRAMEBUFFER, framebuffer); }
    ~BoundFramebuffer() { glBindFramebuffer(GL_FRAMEBUFFER, 0); }
};

}  // namespace

ShaderDrawFixture::ShaderDrawFixture(int width, int height) : width_(width), height_(height) {
    glGenTextures(1, &colour_);
    glBindTexture(GL_TEXTURE_2D, colour_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer_);
    {
        BoundFramebuffer bound(framebuffer_);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) error_ = "framebuffer incomplete";
    }
    glGenVertexArrays(1, &vertexArray_);
    glGenBuffers(2, registerBuffers_);
    for (GLuint buffer : registerBuffers_) {
        glBindBuffer(GL_UNIFORM_BUFFER, buffer);
        glBufferData(GL_UNIFORM_BUFFER, kRegisterFileBytes, nullptr, GL_DYNAMIC_DRAW);
    }
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
    vertexRegisters_[255] = {1.0f / static_cast<float>(width), 1.0f / static_cast<float>(height), 0.0f, 0.0f};
}

ShaderDrawFixture::~ShaderDrawFixture() {
    if (!attributeBuffers_.empty()) {
        glDeleteBuffers(static_cast<GLsizei>(attributeBuffers_.size()), attributeBuffers_.data());
    }
    glDeleteBuffers(2, registerBuffers_);
    glDeleteVertexArrays(1, &vertexArray_);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &depth_);
    glDeleteTextures(1, &colour_);
}

void ShaderDrawFixture::SetVertexMatrix(int first, const float (&m)[4][4]) {
    for (int column = 0; column < 4; ++column) {
        vertexRegisters_[first + column] = {m[0][column], m[1][column], m[2][column], m[3][column]};
    }
}

void ShaderDrawFixture::SetAttribute(std::string_view semantic, int components, std::vector<float> values) {
    Attribute attribute;
    attribute.location = sys::VertexAttributeLocation(semantic);
    attribute.components = components;
    attribute.floats = std::move(values);
    attributes_.push_back(std::move(attribute));
}

void ShaderDrawFixture::SetIntegerAttribute(std::string_view semantic, int components,
                                            std::vector<std::int32_t> values) {
    Attribute attribute;
    attribute.location = sys::VertexAttributeLocation(semantic);
    attribute.components = components;
    attribute.integer = true;
    attribute.ints = std::move(values);
    attributes_.push_back(std::move(attribute));
}

void ShaderDrawFixture::Clear(const Float4& colour, float depth) {
    BoundFramebuffer bound(framebuffer_);
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    glClearDepth(depth);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool ShaderDrawFixture::Draw(std::uint32_t program, int vertexCount) {
    while (glGetError() != GL_NO_ERROR) {
    }
    BoundFramebuffer bound(framebuffer_);
    glViewport(0, 0, width_, height_);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);

    const std::array<Float4, 256>* files[2] = {&vertexRegisters_, &pixelRegisters_};
    for (GLuint binding = 0; binding < 2; ++binding) {
        glBindBuffer(GL_UNIFORM_BUFFER, registerBuffers_[binding]);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, kRegisterFileBytes, files[binding]->data());
        glBindBufferBase(GL_UNIFORM_BUFFER, binding, registerBuffers_[binding]);
    }

    glBindVertexArray(vertexArray_);
    for (const Attribute& attribute : attributes_) {
        GLuint buffer = 0;
        glGenBuffers(1, &buffer);
        attributeBuffers_.push_back(buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        const auto location = static_cast<GLuint>(attribute.location);
        if (attribute.integer) {
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(attribute.ints.size() * sizeof(std::int32_t)),
                         attribute.ints.data(), GL_STATIC_DRAW);
            glVertexAttribIPointer(location, attribute.components, GL_INT, 0, nullptr);
        } else {
            glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(attribute.floats.size() * sizeof(float)),
                         attribute.floats.data(), GL_STATIC_DRAW);
            glVertexAttribPointer(location, attribute.components, GL_FLOAT, GL_FALSE, 0, nullptr);
        }
        glEnableVertexAttribArray(location);
    }
    glUseProgram(program);
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
    glUseProgram(0);
    for (const Attribute& attribute : attributes_) glDisableVertexAttribArray(static_cast<GLuint>(attribute.location));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
    glDisable(GL_DEPTH_TEST);

    const GLenum glError = glGetError();
    if (glError != GL_NO_ERROR) {
        error_ = "GL error " + std::to_string(glError);
        return false;
    }
    return true;
}

std::vector<std::uint8_t> ShaderDrawFixture::ReadColour() const {
    BoundFramebuffer bound(framebuffer_);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::array<int, 4> ShaderDrawFixture::Pixel(int x, int y) const {
    const std::vector<std::uint8_t> pixels = ReadColour();
    const std::size_t at = (static_cast<std::size_t>(y) * width_ + x) * 4;
    return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
}

float ShaderDrawFixture::ReadDepth(int x, int y) const {
    BoundFramebuffer bound(framebuffer_);
    float depth = -1.0f;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

int UniformOffset(std::uint32_t program, const std::string& name) {
    const char* names[] = {name.c_str()};
    GLuint index = GL_INVALID_INDEX;
    glGetUniformIndices(program, 1, names, &index);
    if (index == GL_INVALID_INDEX) return -1;
    GLint offset = -1;
    glGetActiveUniformsiv(program, 1, &index, GL_UNIFORM_OFFSET, &offset);
    return offset;
}

int SamplerUnit(std::uint32_t program, const std::string& name) {
    const GLint location = glGetUniformLocation(program, name.c_str());
    if (location < 0) return -1;
    GLint unit = -1;
    glGetUniformiv(program, location, &unit);
    return unit;
}

int UniformBlockSize(std::uint32_t program, const std::string& block) {
    const GLuint index = glGetUniformBlockIndex(program, block.c_str());
    if (index == GL_INVALID_INDEX) return -1;
    GLint size = -1;
    glGetActiveUniformBlockiv(program, index, GL_UNIFORM_BLOCK_DATA_SIZE, &size);
    return size;
}

}  // namespace testsupport
