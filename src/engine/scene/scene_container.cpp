// The scene-container reader: wrapper, magic and version, then the node records with their version-gated
// fields and type payloads, then the tree linked by depth.
#include "engine/scene/scene_container.h"

#include <new>
#include <vector>

#include "engine/core/byte_cursor.h"
#include "engine/core/little_endian.h"
#include "engine/core/matrix.h"
#include "engine/platform/path_parts.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/spline.h"

namespace engine {
namespace {

constexpr std::size_t kMatrixBytes = 48;
constexpr std::size_t kKnotBytes = 12;

struct Record {
    SceneNode* node = nullptr;
    int depth = 0;
};

class ContainerReader {
public:
    ContainerReader(const std::uint8_t* data, std::size_t size, const char* path,
                    const SceneContainerServices& services)
        : cursor_(data, size), services_(services), path_(path != nullptr ? path : "") {
        WideString drive;
        SplitPath(path_, &drive, &folder_, nullptr, nullptr);
        folder_ = WideString(drive, folder_);
    }
    // A refused file frees every node made. A record's parent is always an earlier record, so freeing from
    // the back takes each child out of its parent before the parent goes.
    ~ContainerReader() {
        for (auto r = records_.rbegin(); r != records_.rend(); ++r) r->node->Destroy();
    }

    SceneNode* Read();

private:
    bool ReadHeader(int& count);
    bool ReadRecord(bool first);
    bool ReadNodeFields(SceneNode& node);
    bool ReadPayload(SceneNode& node, int type);
    bool ReadEmitter(SceneNode& node);
    bool ReadSpline(SceneNode& node);
    bool LinkTree();
    // The handle from the loader, tried with the name as given and then with the container's folder before it.
    int Resolve(const std::function<int(const char*)>& load, const WideString& name) const;

    bool U32(std::uint32_t& out) {
        std::uint8_t b[4];
        if (!cursor_.ReadBytes(b, 4)) return false;
        out = LoadU32(b);
        return true;
    }
    bool I32(std::int32_t& out) {
        std::uint32_t v = 0;
        if (!U32(v)) return false;
        out = static_cast<std::int32_t>(v);
        return true;
    }
    bool S16(int& out) {
        std::uint16_t v = 0;
        if (!ReadU16(cursor_, v)) return false;
        out = static_cast<std::int16_t>(v);
        return true;
    }
    bool F32(float& out) { return ReadFloat(cursor_, out); }
    bool Floats(float* out, int n) {
        for (int i = 0; i < n; ++i) {
            if (!F32(out[i])) return false;
        }
        return true;
    }

    ByteCursor cursor_;
    const SceneContainerServices& services_;
    WideString path_;
    WideString folder_;
    int version_ = 0;
    std::vector<Record> records_;
};

int ContainerReader::Resolve(const std::function<int(const char*)>& load, const WideString& name) const {
    if (!load || name.IsEmpty()) return 0;
    int handle = load(name.GetNarrow());
    if (handle == 0 && !folder_.IsEmpty()) handle = load(WideString(folder_, name).GetNarrow());
    return handle;
}

bool ContainerReader::ReadHeader(int& count) {
    const std::size_t size = cursor_.Size();
    if (size >= 8) {
        const std::uint8_t* start = cursor_.Current();
        // The wrapper is only taken as one when its length word matches the file.
        if (LoadU32(start) == 1 && static_cast<std::uint64_t>(LoadU32(start + 4)) + 16 == size) cursor_.Skip(8);
    }
    if (cursor_.Remaining() >= 4 && LoadU32(cursor_.Current()) == kSceneContainerMagic) {
        cursor_.Skip(4);
        std::uint8_t version = 0;
        if (!ReadU8(cursor_, version) || version > kSceneContainerVersion) return false;
        version_ = version;
    }
    std::uint16_t nodes = 0;
    if (!ReadU16(cursor_, nodes) || nodes == 0 || nodes > kMaxContainerNodes) return false;
    count = nodes;
    return true;
}

bool ContainerReader::ReadRecord(bool first) {
    WideString name, mesh, material;
    int type = 0, depth = 0;
    Matrix44 local;
    std::uint32_t flags = 0;
    if (!ReadShortString(cursor_, name) || !ReadShortString(cursor_, mesh) || !ReadShortString(cursor_, material) ||
        !S16(type) || !ReadMatrix4x3(cursor_, local) || !S16(depth) || !U32(flags)) {
        return false;
    }
    // Depth -1 belongs to the root alone, and deeper than 15 would overflow the parent stack.
    if (depth < -1 || depth > kMaxContainerDepth || (depth == -1 && !first)) return false;
    const bool known = type >= 0 && type <= static_cast<int>(kNodeReserved);
    SceneNode* node = SceneNode::Init(known ? static_cast<std::uint32_t>(type) : kNodeReserved, name.GetNarrow());
    if (node == nullptr) return false;
    records_.push_back({node, depth});
    node->SetLocalMatrix(local);
    node->SetFlags(flags);
    node->SetMaterial(Resolve(services_.loadMaterial, material));
    if (!ReadNodeFields(*node) || !ReadPayload(*node, type)) return false;
    if (type == kNodeMesh || type == kNodeAnimatedMesh) {
        int model = Resolve(services_.loadModel, mesh);
        if (model == 0 && !mesh.IsEmpty() && services_.makeUnitBox) model = services_.makeUnitBox(mesh.GetNarrow());
        node->SetPayload(model);
        if (model == 0) node->SetActive(false);
    }
    return true;
}

bool ContainerReader::ReadNodeFields(SceneNode& node) {
    if (version_ == 0) return cursor_.Skip(6);
    if (version_ >= 4) {
        std::uint8_t n = 0;
        if (!ReadU8(cursor_, n) || n > 8) return false;
        if (n > 0) {
            auto extra = std::make_shared<NodeExtraData>();
            std::uint8_t kind = 0;
            if (!ReadU8(cursor_, kind) || !Floats(extra->values, n)) return false;
            extra->kind = kind;
            node.SetExtraData(std::move(extra));
        }
        std::uint16_t bone = 0;
        if (!ReadU16(cursor_, bone)) return false;
        node.SetAttachBone(bone);
    }
    if (version_ >= 11) {
        std::uint16_t m = 0;
        if (!ReadU16(cursor_, m) || m * kMatrixBytes > cursor_.Remaining()) return false;
        if (m > 0) {
            auto frames = std::make_shared<std::vector<Matrix44>>(m);
            for (Matrix44& frame : *frames) {
                if (!ReadMatrix4x3(cursor_, frame)) return false;
            }
            node.SetFrameMatrices(std::move(frames));
        }
    }
    if (version_ >= 13) {
        std::uint16_t r = 0;
        if (!ReadU16(cursor_, r) || r * std::size_t{2} > cursor_.Remaining()) return false;
        if (r > 0) {
            auto remap = std::make_shared<std::vector<std::uint16_t>>(r);
            for (std::uint16_t& entry : *remap) {
                if (!ReadU16(cursor_, entry)) return false;
            }
            node.SetFrameRemap(std::move(remap));
        }
    }
    return true;
}

bool ContainerReader::ReadPayload(SceneNode& node, int type) {
    switch (type) {
        case kNodeGroup:
        case kNodeMesh:
        case kNodeAnimatedMesh:
            return true;
        case kNodeSkipped:
            return cursor_.Skip(ContainerSkippedBytes(version_));
        case kNodeEmitter:
            return ReadEmitter(node);
        case kNodeBox: {
            float v[6];
            if (!Floats(v, 6)) return false;
            node.GetBox()->Init({v[0], v[1], v[2]}, {v[3], v[4], v[5]});
            return true;
        }
        case kNodeSpline:
            return ReadSpline(node);
        default:
            // Types whose payload a container cannot carry.
            node.SetActive(false);
            return true;
    }
}

bool ContainerReader::ReadEmitter(SceneNode& node) {
    ParticleEmitter* emitter = node.GetParticleEmitter();
    ParticleParams p;
    if (version_ >= 8) {
        int forward = 0, mode = 0;
        if (!S16(forward) || !S16(mode)) return false;
        emitter->SetPlayForward(forward);
        emitter->SetQuadListMode(mode);
    }
    float head[8];
    if (!Floats(head, 8) || !I32(p.colourKeyCount)) return false;
    p.quadSize = head[0], p.emissionDuration = head[1], p.particleLife = head[2], p.emissionRate = head[3];
    p.startSize = head[4], p.endSize = head[5], p.gravity = head[6], p.drag = head[7];
    if (p.colourKeyCount < 0 || p.colourKeyCount > ParticleParams::kMaxColourKeys) return false;
    for (int i = 0; i < p.colourKeyCount; ++i) {
        if (!U32(p.colourKeys[i])) return false;
    }
    float ranges[7];
    if (!I32(p.spinMode) || !F32(p.spinMin) || !I32(p.positionMode) || !I32(p.directionMode) ||
        !I32(p.speedMode) || !I32(p.sizeMode) || !Floats(ranges, 7) || !I32(p.deleteWhenFinished)) {
        return false;
    }
    p.spinMax = p.spinMin;
    p.positionRadiusMin = ranges[0], p.positionRadiusMax = ranges[1];
    p.coneAngleMin = ranges[2], p.coneAngleMax = ranges[3];
    p.speedMin = ranges[4], p.speedMax = ranges[5], p.extraValue = ranges[6];
    if (version_ >= 9) {
        if (!I32(p.spriteFrameCount) || !I32(p.spriteColumns)) return false;
        if (version_ >= 14) {
            if (!I32(p.spriteRows)) return false;
        } else if (p.spriteColumns > 0) {
            // Older files carry no row count: enough rows for the frames.
            const std::int64_t rows = (std::int64_t{p.spriteFrameCount} + p.spriteColumns - 1) / p.spriteColumns;
            p.spriteRows = static_cast<std::int32_t>(rows < 0 ? 0 : rows);
        }
        if (!F32(p.spriteDuration) || !I32(p.spriteFrameMode)) return false;
    }
    if (version_ >= 15 && (!F32(p.spinMax) || !I32(p.quadKind) || !F32(p.trailLag) || !F32(p.trailValue))) {
        return false;
    }
    if (version_ >= 16 && (!F32(p.rise) || !cursor_.Skip(12))) return false;
    WideString material, discarded;
    std::uint8_t sort = 0;
    if (!ReadShortString(cursor_, material)) return false;
    if (version_ < 18 && !ReadShortString(cursor_, discarded)) return false;
    if (!ReadU8(cursor_, sort)) return false;
    if (version_ < 18 && !ReadShortString(cursor_, discarded)) return false;
    p.sortFlag = sort;
    p.material = Resolve(services_.loadMaterial, material);
    // Parameters the emitter refuses leave it drawing nothing; the file itself is sound.
    emitter->Setup(p);
    return true;
}

bool ContainerReader::ReadSpline(SceneNode& node) {
    std::uint32_t kind = 0, knots = 0;
    float tension = 1.0f;
    if (!U32(kind) || !U32(knots)) return false;
    if (version_ >= 7 && !F32(tension)) return false;
    if (knots > cursor_.Remaining() / kKnotBytes) return false;
    Spline* spline = node.GetSpline();
    spline->kind = static_cast<int>(kind);
    spline->tension = tension;
    for (std::uint32_t i = 0; i < knots; ++i) {
        float v[3];
        if (!Floats(v, 3) || !spline->InsertKnot({v[0], v[1], v[2]})) return false;
    }
    return true;
}

bool ContainerReader::LinkTree() {
    SceneNode* root = records_.front().node;
    std::vector<SceneNode*> stack;
    SceneNode* parent = root;
    for (std::size_t i = 1; i < records_.size(); ++i) {
        const std::size_t height = stack.size();
        const auto level = static_cast<std::size_t>(records_[i].depth + 1);
        if (level > height) {
            parent = records_[i - 1].node;
            stack.push_back(parent);
        } else if (level < height) {
            parent = stack[level - 1];
            stack.resize(level);
        }
        if (!parent->AddChild(records_[i].node)) return false;
    }
    return true;
}

SceneNode* ContainerReader::Read() {
    int count = 0;
    if (!ReadHeader(count)) return nullptr;
    try {
        records_.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            if (!ReadRecord(i == 0)) return nullptr;
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    SceneNode* root = records_.front().node;
    AttachContainerAnimation(*root, path_.GetNarrow(), services_);
    if (!LinkTree()) return nullptr;
    WideString rootName = path_;
    rootName.DropExtension();
    rootName.AppendNarrow(".CNT");
    root->SetName(rootName);
    records_.clear();  // the tree owns its nodes from here
    root->ResolveEmitterGroup();
    root->UpdateWorldMatrix();
    return root;
}

}  // namespace

std::size_t ContainerSkippedBytes(int version) {
    if (version <= 1) return 21;
    if (version == 2) return 26;
    if (version <= 5) return 30;
    if (version <= 9) return 18;
    if (version <= 11) return 34;
    return 22;
}

SceneNode* ParseSceneContainer(const std::uint8_t* data, std::size_t size, const char* containerPath,
                               const SceneContainerServices& services) {
    if (data == nullptr) return nullptr;
    ContainerReader reader(data, size, containerPath, services);
    return reader.Read();
}

}  // namespace engine
