#include "engine/scene/billboard_list.h"

#include <cmath>
#include <cstring>

#include "engine/core/sort_array.h"
#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_binder.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/texture_table.h"
#include "engine/render/vertex_packing.h"
#include "engine/scene/camera.h"

namespace engine {
namespace {

std::unique_ptr<DynamicVertexBuffer> MakeEngineBuffer(std::uint32_t bytes) {
    return std::make_unique<DynamicVertexBuffer>(GetGraphicsDevice(), false, bytes);
}

BillboardBufferFactory& Factory() {
    static BillboardBufferFactory factory = &MakeEngineBuffer;
    return factory;
}

// Normal and tangent of unlit quads; unlit shading ignores them.
const std::uint32_t kFlatNormal = PackNormal({0.0f, 1.0f, 0.0f});
const std::uint32_t kFlatTangent = PackNormal({1.0f, 0.0f, 0.0f});

struct QuadVertex {
    Vec3 position;
    std::uint32_t colour;
    float u, v;
};

// One format-4 vertex: position, packed normal and tangent, colour, the texture coordinate in both sets.
std::uint8_t* WriteVertex(std::uint8_t* out, const QuadVertex& q, std::uint32_t normal, std::uint32_t tangent) {
    const std::uint32_t uv = PackUV(q.u, q.v);
    const float pos[3] = {q.position.x, q.position.y, q.position.z};
    const std::uint32_t words[5] = {normal, tangent, q.colour, uv, uv};
    std::memcpy(out, pos, sizeof(pos));
    std::memcpy(out + 12, words, sizeof(words));
    return out + kBillboardVertexBytes;
}

Vec3 Xyz(const Vec4& v) { return {v.x, v.y, v.z}; }

}  // namespace

void ApplyMaterialDrawStates(RenderDevice& device, const MaterialDef& material, std::uint32_t alphaReference) {
    std::uint32_t mask = 15;
    if ((material.flags & 0x20u) != 0) {
        mask = 0;
    } else if (material.blendMode != 0) {
        mask = 7;
    }
    device.SetColourWriteMask(mask);
    device.SetBlendMode(material.blendMode);
    device.ApplyMaterialDepthState(material.flags, material.blendMode);
    device.SetAlphaTest(material.alphaTestMode, alphaReference);
}

void SetBillboardBufferFactory(BillboardBufferFactory factory) {
    Factory() = factory != nullptr ? factory : &MakeEngineBuffer;
}

BillboardListBase::~BillboardListBase() = default;

void BillboardListBase::ReplaceBuffer(int capacity) {
    buffer_.reset();
    if (capacity <= 0) return;
    const auto bytes = static_cast<std::uint32_t>(capacity) * 6u * kBillboardVertexBytes;
    buffer_ = Factory()(bytes);
}

MaterialDef* BillboardListBase::Material() const {
    const MaterialLib& lib = GetMaterialLib();
    MaterialDef* material = lib.Get(material_);
    return material != nullptr ? material : lib.Get(lib.DefaultHandle());
}

std::uint8_t* BillboardListBase::LockVertices() {
    if (count_ <= 0 || !buffer_) return nullptr;
    // Restart first: every build writes from the buffer's start instead of filling it over a few frames.
    buffer_->Restart();
    int first = 0;
    void* data = buffer_->Lock(kBillboardVertexFormat, count_ * 6, first);
    firstVertex_ = first;
    return static_cast<std::uint8_t*>(data);
}

void BillboardListBase::DrawQuads(Camera& view, int depthOnly, const BillboardTarget& target,
                                  std::uint32_t alphaReference) {
    if (count_ <= 0 || !buffer_) return;
    GraphicsDevice* engineDevice = GetGraphicsDevice();
    RenderDevice* device = target.device != nullptr ? target.device : engineDevice;
    if (device == nullptr) return;
    MaterialDef* material = Material();
    if (material == nullptr) return;
    MaterialBinder* binder = target.binder;
    if (binder == nullptr && engineDevice != nullptr) binder = engineDevice->AttachedMaterialBinder();
    if (depthOnly == 0 && binder == nullptr) return;

    BuildVertices(view);
    device->SetCullMode(sys::kCullNone);
    if (depthOnly == 0) {
        ApplyMaterialDrawStates(*device, *material, alphaReference);
        // A material whose shaders cannot be made leaves the list undrawn.
        if (binder->BindMaterial(*material, &view, &IdentityMatrix(), false, false) == 0) return;
    }
    device->DrawDynamic(sys::kPrimTriangleList, static_cast<std::uint32_t>(firstVertex_),
                        static_cast<std::uint32_t>(count_) * 2u, buffer_.get(), kBillboardVertexFormat);
}

// ---- BillboardList ----

BillboardList::BillboardList() { material_ = GetMaterialLib().DefaultHandle(); }

BillboardList::~BillboardList() = default;

void BillboardList::Reserve(int capacity, int material, float quadSize) {
    quadSize_ = quadSize;
    capacity_ = capacity > 0 ? capacity : 0;
    material_ = material;
    count_ = 0;
    items_.assign(static_cast<std::size_t>(capacity_), BillboardSegment{});
    ReplaceBuffer(capacity_);
}

int BillboardList::AddItemParts(const BillboardEnd& a, const BillboardEnd& b) {
    if (count_ >= capacity_) return 0;
    items_[static_cast<std::size_t>(count_++)] = {a, b};
    return 1;
}

void BillboardList::BuildVertices(const Camera& view) {
    std::uint8_t* out = LockVertices();
    if (out == nullptr) return;
    const MaterialDef* material = Material();
    const bool lit = material != nullptr && material->lightingModel != 0;
    const Matrix44& camera = view.GetViewTransform().GetMatrix();
    const Vec3 forward = camera.Row(2);
    const std::uint32_t tangent = lit ? PackNormal(camera.Row(0)) : kFlatTangent;
    for (int i = 0; i < count_; ++i) {
        const BillboardSegment& item = items_[static_cast<std::size_t>(i)];
        const Vec3 a = Xyz(item.a.position);
        const Vec3 b = Xyz(item.b.position);
        const Vec3 side = b.Sub(a).NormalisedSafe().Cross(forward).NormalisedSafe();
        const Vec3 sideA = side * item.a.halfWidth;
        const Vec3 sideB = side * item.b.halfWidth;
        const std::uint32_t normalA = lit ? PackNormal(a.NormalisedSafe()) : kFlatNormal;
        const std::uint32_t normalB = lit ? PackNormal(b.NormalisedSafe()) : kFlatNormal;
        const std::uint32_t ca = item.a.colour, cb = item.b.colour;
        out = WriteVertex(out, {a - sideA, ca, 0, 1}, normalA, tangent);
        out = WriteVertex(out, {b + sideB, cb, 1, 0}, normalB, tangent);
        out = WriteVertex(out, {a + sideA, ca, 1, 1}, normalA, tangent);
        out = WriteVertex(out, {a - sideA, ca, 0, 1}, normalA, tangent);
        out = WriteVertex(out, {b - sideB, cb, 0, 0}, normalB, tangent);
        out = WriteVertex(out, {b + sideB, cb, 1, 0}, normalB, tangent);
    }
    buffer_->Unlock();
}

void BillboardList::Draw(Camera& view, int depthOnly, const BillboardTarget& target) {
    const MaterialDef* material = Material();
    DrawQuads(view, depthOnly, target, material != nullptr ? static_cast<std::uint32_t>(material->alphaRef) : 0u);
}

// ---- SortedBillboardList ----

SortedBillboardList::SortedBillboardList() { material_ = GetMaterialLib().DefaultWithNormalsHandle(); }

SortedBillboardList::~SortedBillboardList() = default;

void SortedBillboardList::Resize(int capacity, float sizeX, float sizeY, std::uint32_t colour, int material,
                                 float boundingSize) {
    sizeX_ = sizeX;
    colour_ = colour;
    sizeY_ = sizeY;
    capacity_ = capacity > 0 ? capacity : 0;
    boundingSize_ = boundingSize;
    material_ = material;
    count_ = 0;
    items_.assign(static_cast<std::size_t>(capacity_), BillboardSprite{});
    ReplaceBuffer(capacity_);
}

int SortedBillboardList::Append(const Vec4& position, const float rect[4], std::uint32_t colour, float sizeX,
                                float sizeY, float angle) {
    if (count_ >= capacity_) return 0;
    BillboardSprite& item = items_[static_cast<std::size_t>(count_++)];
    item = BillboardSprite{};
    item.position = position;
    item.uMin = rect[0], item.vMin = rect[1], item.uMax = rect[2], item.vMax = rect[3];
    item.colour = colour;
    item.sizeX = sizeX;
    item.sizeY = sizeY;
    item.angle = angle;
    return 1;
}

namespace {
const float kFullRect[4] = {0.0f, 0.0f, 1.0f, 1.0f};
}

int SortedBillboardList::AddItem(const Vec4& position) {
    return Append(position, kFullRect, colour_, sizeX_, sizeY_, 0.0f);
}

int SortedBillboardList::AddItemWithUV(const Vec4& position, const float rect[4], float angle) {
    return Append(position, rect, colour_, sizeX_, sizeY_, angle);
}

int SortedBillboardList::AddColouredItem(const Vec4& position, std::uint32_t colour, float size, float angle) {
    return Append(position, kFullRect, colour, size, size, angle);
}

int SortedBillboardList::AddColouredItemWithUV(const Vec4& position, const float rect[4], std::uint32_t colour,
                                               float size, float angle) {
    return Append(position, rect, colour, size, size, angle);
}

namespace {
// Farthest first; a NaN key compares as equal.
int CompareFarthestFirst(const void* a, const void* b) {
    const float ka = static_cast<const BillboardSprite*>(a)->sortKey;
    const float kb = static_cast<const BillboardSprite*>(b)->sortKey;
    if (ka > kb) return -1;
    if (ka < kb) return 1;
    return 0;
}
}  // namespace

void SortedBillboardList::BuildVertices(const Camera& view) {
    std::uint8_t* out = LockVertices();
    if (out == nullptr) return;
    const Matrix44& camera = view.GetViewTransform().GetMatrix();
    const Vec3 eye = camera.GetTranslation();
    if (sort_ != 0 && count_ > 1) {
        for (int i = 0; i < count_; ++i) {
            BillboardSprite& item = items_[static_cast<std::size_t>(i)];
            item.sortKey = Xyz(item.position).Distance(eye);
        }
        SortArray(items_.data(), count_, static_cast<int>(sizeof(BillboardSprite)), &CompareFarthestFirst);
    }
    const MaterialDef* material = Material();
    const bool lit = material != nullptr && material->lightingModel != 0;
    float inset = 0.0f;
    if (material != nullptr && material->textures[0] != 0) {
        // The texture width is used for both directions.
        const std::uint32_t width = TextureTable::GetWidth(material->textures[0]);
        if (width != 0) inset = 0.75f / static_cast<float>(width);
    }
    const std::uint32_t litTangent = PackNormal(camera.Row(0) * -1.0f);
    for (int i = 0; i < count_; ++i) {
        const BillboardSprite& item = items_[static_cast<std::size_t>(i)];
        const float half = item.sizeX * 0.5f;
        Matrix44 rotation;
        Vec3 right{half, 0.0f, 0.0f};
        Vec3 up;
        if (ground_ != 0) {
            rotation.InitRotationY(item.angle);
            up = {0.0f, 0.0f, half};
        } else {
            rotation = camera;
            rotation.SetRow(3, {0.0f, 0.0f, 0.0f});
            if (item.angle != 0.0f) {
                Matrix44 turn;
                turn.InitRotationZ(item.angle);
                Matrix44 turned;
                Matrix44::Multiply(turn, rotation, turned);
                rotation = turned;
            }
            up = {0.0f, half, 0.0f};
        }
        right = rotation.TransformVector(right);
        up = rotation.TransformVector(up);
        const Vec3 p = Xyz(item.position);
        const std::uint32_t normal = lit ? PackNormal(eye.Sub(p).NormalisedSafe()) : kFlatNormal;
        const std::uint32_t tangent = lit ? litTangent : kFlatTangent;
        const float u0 = item.uMin + inset, v0 = item.vMin + inset;
        const float u1 = item.uMax - inset, v1 = item.vMax - inset;
        const std::uint32_t c = item.colour;
        out = WriteVertex(out, {p - right + up, c, u0, v0}, normal, tangent);
        out = WriteVertex(out, {p + right + up, c, u1, v0}, normal, tangent);
        out = WriteVertex(out, {p + right - up, c, u1, v1}, normal, tangent);
        out = WriteVertex(out, {p - right + up, c, u0, v0}, normal, tangent);
        out = WriteVertex(out, {p + right - up, c, u1, v1}, normal, tangent);
        out = WriteVertex(out, {p - right - up, c, u0, v1}, normal, tangent);
    }
    buffer_->Unlock();
}

void SortedBillboardList::Draw(Camera& view, int depthOnly, const BillboardTarget& target) {
    DrawQuads(view, depthOnly, target, 254u);
}

}  // namespace engine
