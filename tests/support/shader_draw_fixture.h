#pragma once
// Test-only drawing with translated shaders on the shared test context: one vertex array fed by semantic, the
// two 4 KB register buffers at uniform-buffer bindings 0 (vertex) and 1 (pixel), one framebuffer object with
// RGBA8 colour and 24-bit depth, and read-back (rows top first, as the shaders draw upside down).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

using Float4 = std::array<float, 4>;

class ShaderDrawFixture {
public:
    ShaderDrawFixture(int width, int height);
    ~ShaderDrawFixture();
    ShaderDrawFixture(const ShaderDrawFixture&) = delete;
    ShaderDrawFixture& operator=(const ShaderDrawFixture&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Register files, uploaded at each draw. Vertex c255 starts as (1/width, 1/height, 0, 0), pixel c255 as 0
    // (alpha test off).
    void SetVertexRegister(int index, const Float4& value) { vertexRegisters_[index] = value; }
    void SetPixelRegister(int index, const Float4& value) { pixelRegisters_[index] = value; }
    // A row-vector matrix (m[row][column]) as the engine uploads it: transposed, into four registers.
    void SetVertexMatrix(int first, const float (&m)[4][4]);

    // Per-vertex data for the attribute location of a vertex-input semantic ("POSITION0").
    void SetAttribute(std::string_view semantic, int components, std::vector<float> values);
    void SetIntegerAttribute(std::string_view semantic, int components, std::vector<std::int32_t> values);

    void Clear(const Float4& colour, float depth = 1.0f);
    // Draws a triangle list with the program; false (with the GL error) when GL reports an error.
    bool Draw(std::uint32_t program, int vertexCount);

    // RGBA8 pixels, width * height * 4 bytes, row 0 first (the top row in the shaders' convention).
    std::vector<std::uint8_t> ReadColour() const;
    std::array<int, 4> Pixel(int x, int y) const;
    float ReadDepth(int x, int y) const;

    const std::string& LastError() const { return error_; }

private:
    struct Attribute {
        int location = -1;
        int components = 0;
        bool integer = false;
        std::vector<float> floats;
        std::vector<std::int32_t> ints;
    };

    int width_;
    int height_;
    std::uint32_t framebuffer_ = 0;
    std::uint32_t colour_ = 0;
    std::uint32_t depth_ = 0;
    std::uint32_t vertexArray_ = 0;
    std::uint32_t registerBuffers_[2] = {0, 0};
    std::vector<std::uint32_t> attributeBuffers_;
    std::vector<Attribute> attributes_;
    std::array<Float4, 256> vertexRegisters_{};
    std::array<Float4, 256> pixelRegisters_{};
    std::string error_;
};

// Introspection of a linked program: byte offset of a block member ("VSRegs.Proj"), -1 when not found; the
// texture unit a sampler uniform is set to; the data size of a uniform block.
int UniformOffset(std::uint32_t program, const std::string& name);
int SamplerUnit(std::uint32_t program, const std::string& name);
int UniformBlockSize(std::uint32_t program, const std::string& block);

}  // namespace testsupport
