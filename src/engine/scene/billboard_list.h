#pragma once
// Lists of small quads drawn from one dynamic vertex buffer in one draw call. A BillboardList holds segments
// (two ends with a position, colour and half-width) that become strips turned to the camera: laser and tracer
// streaks, spline ribbons. A SortedBillboardList holds square sprites (position, texture rectangle, colour,
// edge length, angle) that face the camera or lie flat on the ground, optionally sorted back to front.
//
// Appends are refused when a list is full (0, list unchanged). The vertex buffer is restarted before every
// build, so each frame writes from its start.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"

namespace engine {

class Camera;
class DynamicVertexBuffer;
class MaterialBinder;
class MaterialDef;
class RenderDevice;

// Makes the vertex buffer of a list (bytes long); the engine's device is used unless a test installs its own
// factory. Null restores the default.
using BillboardBufferFactory = std::unique_ptr<DynamicVertexBuffer> (*)(std::uint32_t bytes);
void SetBillboardBufferFactory(BillboardBufferFactory factory);

// Where a list draws: the device (the engine's when null) and the material binder (the engine device's when
// null; without one nothing is drawn unless depthOnly).
struct BillboardTarget {
    RenderDevice* device = nullptr;
    MaterialBinder* binder = nullptr;
};

// The states of an unbatched draw with a material: colour mask (0 with flag 0x20, 7 when it blends, else 15),
// blend mode, depth state and alpha test with the given reference.
void ApplyMaterialDrawStates(RenderDevice& device, const MaterialDef& material, std::uint32_t alphaReference);

struct BillboardEnd {
    Vec4 position;
    std::uint32_t colour = 0xFFFFFFFFu;
    float halfWidth = 0.0f;
};
static_assert(sizeof(BillboardEnd) == 24);

struct BillboardSegment {
    BillboardEnd a;
    BillboardEnd b;
};
static_assert(sizeof(BillboardSegment) == 48);

struct BillboardSprite {
    Vec4 position;
    float uMin = 0.0f, vMin = 0.0f, uMax = 1.0f, vMax = 1.0f;
    std::uint32_t colour = 0xFFFFFFFFu;
    float sizeX = 1.0f;
    float sizeY = 1.0f;
    float angle = 0.0f;  // degrees
    float sortKey = 0.0f;
    std::uint32_t spare = 0;
};
static_assert(sizeof(BillboardSprite) == 56);

// Vertex format 4 as the lists write it.
constexpr int kBillboardVertexFormat = 4;
constexpr int kBillboardVertexBytes = 32;

class BillboardListBase {
public:
    virtual ~BillboardListBase();
    virtual void Draw(Camera& view, int depthOnly, const BillboardTarget& target = {}) = 0;
    virtual void BuildVertices(const Camera& view) = 0;

    int GetMaterial() const { return material_; }
    void SetMaterial(int handle) { material_ = handle; }
    int GetCount() const { return count_; }
    int GetCapacity() const { return capacity_; }
    void Clear() { count_ = 0; }
    DynamicVertexBuffer* GetVertexBuffer() const { return buffer_.get(); }
    // The first vertex of the last build.
    int GetFirstVertex() const { return firstVertex_; }

protected:
    // Replaces the vertex buffer by one for capacity x 6 vertices (none for capacity 0).
    void ReplaceBuffer(int capacity);
    // The material of the list's handle; an index outside the table gives "Default".
    MaterialDef* Material() const;
    // Restarts and locks count x 6 vertices; null when there is nothing to write or no buffer.
    std::uint8_t* LockVertices();
    void DrawQuads(Camera& view, int depthOnly, const BillboardTarget& target, std::uint32_t alphaReference);

    int material_ = 0;
    int capacity_ = 0;
    int count_ = 0;
    int firstVertex_ = 0;
    std::unique_ptr<DynamicVertexBuffer> buffer_;
};

class BillboardList final : public BillboardListBase {
public:
    // Empty, with the "Default" material.
    BillboardList();
    ~BillboardList() override;

    void Draw(Camera& view, int depthOnly, const BillboardTarget& target = {}) override;
    void BuildVertices(const Camera& view) override;

    // Size, capacity and material; empties the list and replaces the items and the vertex buffer.
    void Reserve(int capacity, int material, float quadSize);
    // 1, or 0 when the list is full.
    int AddItemParts(const BillboardEnd& a, const BillboardEnd& b);
    const BillboardSegment& GetItem(int i) const { return items_[static_cast<std::size_t>(i)]; }
    float GetQuadSize() const { return quadSize_; }

private:
    std::vector<BillboardSegment> items_;
    float quadSize_ = 0.0f;
};

class SortedBillboardList final : public BillboardListBase {
public:
    // Empty, "DefaultWithNormals", white, sorting and ground flags off.
    SortedBillboardList();
    ~SortedBillboardList() override;

    void Draw(Camera& view, int depthOnly, const BillboardTarget& target = {}) override;
    void BuildVertices(const Camera& view) override;

    // Stores the sizes, colour, capacity, bounding size and material; empties the list and replaces the items
    // and the vertex buffer.
    void Resize(int capacity, float sizeX, float sizeY, std::uint32_t colour, int material, float boundingSize);
    // Each returns 1, or 0 when the list is full.
    int AddItem(const Vec4& position);
    int AddItemWithUV(const Vec4& position, const float rect[4], float angle);
    int AddColouredItem(const Vec4& position, std::uint32_t colour, float size, float angle);
    int AddColouredItemWithUV(const Vec4& position, const float rect[4], std::uint32_t colour, float size,
                              float angle);

    void SetSortFlag(int on) { sort_ = on; }
    void SetGroundFlag(int on) { ground_ = on; }
    const BillboardSprite& GetItem(int i) const { return items_[static_cast<std::size_t>(i)]; }
    float GetBoundingSize() const { return boundingSize_; }

private:
    int Append(const Vec4& position, const float rect[4], std::uint32_t colour, float sizeX, float sizeY,
               float angle);

    std::vector<BillboardSprite> items_;
    int sort_ = 0;
    std::uint32_t colour_ = 0xFFFFFFFFu;
    float sizeX_ = 1.0f;
    float sizeY_ = 1.0f;
    float boundingSize_ = 0.0f;
    int ground_ = 0;
};

}  // namespace engine
