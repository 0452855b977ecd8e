#include "sys/shader_link.h"

#include <epoxy/gl.h>

#include "sys/glsl_post_pass.h"

namespace sys {
namespace {

std::string ShaderLog(GLuint shader) {
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) glGetShaderInfoLog(shader, length, nullptr, log.data());
    while (!log.empty() && log.back() == '\0') log.pop_back();
    return log;
}

std::string ProgramLog(GLuint program) {
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) glGetProgramInfoLog(program, length, nullptr, log.data());
    while (!log.empty() && log.back() == '\0') log.pop_back();
    return log;
}

// A compiled shader object, or 0 with the log in `error`.
GLuint CompileShader(GLenum type, const std::string& text, const char* what, std::string& error) {
    const GLuint shader = glCreateShader(type);
    const char* source = text.c_str();
    const GLint length = static_cast<GLint>(text.size());
    glShaderSource(shader, 1, &source, &length);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        error = std::string(what) + " shader does not compile: " + ShaderLog(shader);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

void BindBlock(GLuint program, ShaderStage stage, GLuint binding) {
    const GLuint index = glGetUniformBlockIndex(program, RegisterBlockName(stage));
    if (index != GL_INVALID_INDEX) glUniformBlockBinding(program, index, binding);
}

}  // namespace

ShaderLinkResult LinkShaderPair(const GlslShader& vertex, const GlslShader& pixel) {
    ShaderLinkResult result;
    if (vertex.reflection.stage != ShaderStage::Vertex || pixel.reflection.stage != ShaderStage::Pixel) {
        result.error = "shader stages do not form a vertex and pixel pair";
        return result;
    }
    const PixelFixupResult fixed = PairFixupPixelGlsl(vertex.reflection, pixel);
    if (!fixed.Ok()) {
        result.error = fixed.error;
        return result;
    }
    const GLuint vs = CompileShader(GL_VERTEX_SHADER, vertex.text, "vertex", result.error);
    if (vs == 0) return result;
    const GLuint ps = CompileShader(GL_FRAGMENT_SHADER, fixed.text, "pixel", result.error);
    if (ps == 0) {
        glDeleteShader(vs);
        return result;
    }

    const GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, ps);
    glLinkProgram(program);
    glDetachShader(program, vs);
    glDetachShader(program, ps);
    glDeleteShader(vs);
    glDeleteShader(ps);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        result.error = "shader pair does not link: " + ProgramLog(program);
        glDeleteProgram(program);
        return result;
    }

    // GLSL 330 cannot bind blocks and units in the text.
    BindBlock(program, ShaderStage::Vertex, 0);
    BindBlock(program, ShaderStage::Pixel, 1);
    GLint previous = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
    glUseProgram(program);
    for (const ShaderSampler& sampler : pixel.reflection.samplers) {
        const std::string name = "PS_s" + std::to_string(sampler.samplerRegister);
        const GLint location = glGetUniformLocation(program, name.c_str());
        if (location >= 0) glUniform1i(location, sampler.samplerRegister);
    }
    glUseProgram(static_cast<GLuint>(previous));
    result.program = program;
    return result;
}

void DeleteShaderProgram(std::uint32_t program) {
    if (program != 0) glDeleteProgram(program);
}

}  // namespace sys
