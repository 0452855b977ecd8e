#include "engine/render/vertex_formats.h"

#include <vector>

#include "sys/gpu_device.h"

namespace engine {
namespace {

using sys::GpuVertexElement;

constexpr GpuVertexElement Element(std::uint16_t stream, std::uint16_t offset, std::uint8_t type, std::uint8_t usage,
                                   std::uint8_t index) {
    return {stream, offset, type, 0, usage, index};
}

constexpr GpuVertexElement kPosition = Element(0, 0, sys::kDeclFloat3, sys::kUsagePosition, 0);

// Format 4's elements after the position.
void AddMeshElements(std::vector<GpuVertexElement>& elements) {
    elements.push_back(Element(0, 12, sys::kDeclUByte4, sys::kUsageNormal, 0));
    elements.push_back(Element(0, 16, sys::kDeclUByte4, sys::kUsageNormal, 1));
    elements.push_back(Element(0, 20, sys::kDeclColour, sys::kUsageColour, 0));
    elements.push_back(Element(0, 24, sys::kDeclShort2, sys::kUsageTexCoord, 0));
    elements.push_back(Element(0, 28, sys::kDeclShort2, sys::kUsageTexCoord, 1));
}

void AddInstanceRows(std::vector<GpuVertexElement>& elements) {
    for (std::uint8_t row = 0; row < 4; ++row) {
        elements.push_back(Element(1, static_cast<std::uint16_t>(12 * row), sys::kDeclFloat3, sys::kUsagePosition,
                                   static_cast<std::uint8_t>(row + 1)));
    }
}

std::vector<GpuVertexElement> ElementsOf(int format) {
    std::vector<GpuVertexElement> elements;
    if (format != kVertexInstanceRows) elements.push_back(kPosition);
    switch (format) {
        case kVertexNormal:
            elements.push_back(Element(0, 12, sys::kDeclUByte4, sys::kUsageNormal, 0));
            break;
        case kVertexColour:
            elements.push_back(Element(0, 12, sys::kDeclColour, sys::kUsageColour, 0));
            break;
        case kVertexTexture:
            elements.push_back(Element(0, 12, sys::kDeclShort2, sys::kUsageTexCoord, 0));
            break;
        case kVertexMesh:
            AddMeshElements(elements);
            break;
        case kVertexSkinned:
            AddMeshElements(elements);
            elements.push_back(Element(0, 32, sys::kDeclUByte4, sys::kUsageBlendIndices, 0));
            elements.push_back(Element(0, 36, sys::kDeclUByte4, sys::kUsageBlendWeight, 0));
            break;
        case kVertexInstancedMesh:
            AddMeshElements(elements);
            AddInstanceRows(elements);
            break;
        case kVertexInstanceRows:
            AddInstanceRows(elements);
            break;
        default:
            break;
    }
    return elements;
}

}  // namespace

int VertexFormatStride(int format) {
    static constexpr int kStrides[kVertexFormatCount] = {16, 16, 16, 32, 40, 32, 48};
    return format >= 1 && format <= kVertexFormatCount ? kStrides[format - 1] : 0;
}

VertexDeclSet::VertexDeclSet(sys::GpuDevice& device) : device_(device) {
    for (int format = 1; format <= kVertexFormatCount; ++format) {
        declarations_[format - 1] = device_.CreateVertexDeclaration(ElementsOf(format));
    }
}

VertexDeclSet::~VertexDeclSet() {
    for (sys::GpuVertexDeclaration* declaration : declarations_) {
        if (declaration != nullptr) declaration->Release();
    }
}

sys::GpuVertexDeclaration* VertexDeclSet::Declaration(int format) const {
    return format >= 1 && format <= kVertexFormatCount ? declarations_[format - 1] : nullptr;
}

bool VertexDeclSet::Select(int format) {
    sys::GpuVertexDeclaration* declaration = Declaration(format);
    if (declaration == nullptr) return false;
    if (format == current_) return true;
    device_.SetVertexDeclaration(declaration);
    current_ = format;
    return true;
}

}  // namespace engine
