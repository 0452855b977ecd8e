#include "modelreview/model_review.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/gui/dialog_system.h"
#include "engine/gui/frame_overlays.h"
#include "engine/image/image_writers.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/startup_params.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/material_manager_hooks.h"
#include "engine/render/render_target_hooks.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/texture_table_hooks.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_table.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/scene_view.h"
#include "game/battle/team_colours.h"
#include "game/core/scene_game_view.h"
#include "game/core/engine_platform.h"
#include "game/units/unit_catalogue.h"
#include "sys/gpu_test_hooks.h"

namespace tools {
namespace {

constexpr int kTile = 192;
constexpr int kTileHeight = 144;
constexpr int kColumns = 6;
constexpr std::uint32_t kBackground = 0xFF28303Cu;

struct Item {
    std::string path;
    const char* tint = nullptr;  // the material whose colour slot 0 takes the team colour
    int teamKind = 0;
};

// The bounds of every mesh corner of the tree, placed as it stands.
void Bounds(engine::SceneNode& node, engine::Vec3& lo, engine::Vec3& hi) {
    const engine::Model* model =
        node.GetType() == engine::kNodeMesh || node.GetType() == engine::kNodeAnimatedMesh ? node.GetModel() : nullptr;
    for (int t = 0; model != nullptr && t < model->GetTriangleCount(); ++t) {
        engine::Vec3 c[3];
        model->GetTriangleCorners(t, c[0], c[1], c[2]);
        for (const engine::Vec3& corner : c) {
            const engine::Vec3 p = node.GetWorldMatrix().TransformPoint(corner);
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    }
    for (int i = 0; i < node.GetChildCount(); ++i) {
        if (engine::SceneNode* child = node.GetChild(i)) Bounds(*child, lo, hi);
    }
}

// The particles' clock while an effect is reviewed: 50 ms a frame, so a few frames show it in full flow.
std::uint32_t reviewFrame = 0;
engine::ParticleClock ReviewClock() { return {reviewFrame, 50}; }

class Reviewer {
public:
    Reviewer(engine::Engine& engine, game::SceneGameView& view) : engine_(engine), view_(view) {}

    // One tile: the item from above and in front, its size filling the tile.
    // An effect (a container without meshes) is framed 2 across and drawn after 0.3 s of its flow.
    std::vector<std::uint8_t> Draw(const Item& item, bool fromAbove) {
        engine::SceneNode* node = engine::LoadSceneContainer(item.path.c_str());
        if (node == nullptr) {
            std::fprintf(stderr, "modelgen: %s: no container\n", item.path.c_str());
            return {};
        }
        view_.GetWorldNode()->AddChild(node);
        node->UpdateWorldMatrix();
        if (item.tint != nullptr) {
            if (engine::SceneNode* tinted = node->FindByMaterialName(item.tint)) {
                if (engine::MaterialDef* material = engine::GetMaterialLib().Get(tinted->GetMaterial())) {
                    material->SetColour(0, game::GetTeamColour(item.teamKind));
                }
            }
        }
        engine::Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
        Bounds(*node, lo, hi);
        if (lo.x > hi.x) lo = hi = {};
        const engine::Vec3 middle = (lo + hi) * 0.5f;
        const bool effect = lo.x == hi.x && lo.y == hi.y;
        const float size = effect ? 2.0f : std::max(0.2f, (hi - lo).Length());
        const engine::Vec3 offset = fromAbove ? engine::Vec3{0.0f, 2.2f, -0.4f} : engine::Vec3{-0.9f, 0.9f, -1.4f};
        const engine::Vec3 eye = middle + offset * size;
        const engine::Vec3 forward = (middle - eye).NormalisedSafe();
        const engine::Vec3 right = engine::Vec3{0, 1, 0}.Cross(forward).NormalisedSafe();
        engine::Matrix44 camera;
        camera.SetRow(0, right);
        camera.SetRow(1, forward.Cross(right));
        camera.SetRow(2, forward);
        camera.SetRow(3, eye);
        view_.GetSceneView()->GetViewTransform().SetMatrix(camera);
        if (effect) engine::SetParticleClockSource(&ReviewClock);
        for (int frame = 0; frame < (effect ? 6 : 1); ++frame) {
            ++reviewFrame;
            view_.BeginFrame(kBackground);
            view_.BuildRenderQueue();
            view_.RenderQueue();
            view_.EndFrame();
            engine_.FrameStep();
        }
        engine::SetParticleClockSource(nullptr);
        node->Destroy();
        return sys::GpuHooks().presentedImage;
    }

private:
    engine::Engine& engine_;
    game::SceneGameView& view_;
};

// Tiles laid out in rows of six, written as a PNG.
bool WriteSheet(const std::string& path, const std::vector<std::vector<std::uint8_t>>& tiles) {
    const int rows = std::max<int>(1, (static_cast<int>(tiles.size()) + kColumns - 1) / kColumns);
    const int width = kColumns * kTile;
    const int height = rows * kTileHeight;
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width * height * 4), 0);
    for (std::size_t t = 0; t < tiles.size(); ++t) {
        if (tiles[t].size() != static_cast<std::size_t>(kTile * kTileHeight * 4)) continue;
        const int x0 = static_cast<int>(t % kColumns) * kTile;
        const int y0 = static_cast<int>(t / kColumns) * kTileHeight;
        for (int y = 0; y < kTileHeight; ++y) {
            for (int x = 0; x < kTile; ++x) {
                const std::uint8_t* from = &tiles[t][static_cast<std::size_t>((y * kTile + x) * 4)];
                std::uint8_t* to = &bgra[static_cast<std::size_t>(((y0 + y) * width + x0 + x) * 4)];
                to[0] = from[2], to[1] = from[1], to[2] = from[0], to[3] = 255;
            }
        }
    }
    const engine::ConstSurfaceView surface{engine::SurfaceFormat::kA8R8G8B8, static_cast<std::uint32_t>(width),
                                           static_cast<std::uint32_t>(height), static_cast<std::size_t>(width) * 4,
                                           bgra.data()};
    const std::vector<std::uint8_t> png = engine::EncodePng(surface);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return !png.empty() && static_cast<bool>(out);
}

}  // namespace

int RunModelReview(const std::string& dataFolder, const std::string& outFolder,
                   const std::vector<ReviewGroup>& groups) {
    std::filesystem::create_directories(outFolder + "/home");
    // The review runs beside a game without touching its user folder, on the offscreen window.
    setenv("XDG_DATA_HOME", (outFolder + "/home").c_str(), 1);
    setenv("XDG_CACHE_HOME", (outFolder + "/home").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    engine::InstallGraphicsDeviceHooks();
    engine::InstallShaderManagerHooks();
    engine::InstallRenderTargetHooks();
    engine::InstallTextureTableHooks();
    engine::InstallMaterialLibraryHooks();
    engine::InstallMaterialManagerHooks();
    engine::InstallModelTableHooks();
    engine::InstallDialogHooks();
    engine::InstallDebugOverlayHooks();
    sys::GpuHooks().keepPresentedImage = true;
    engine::StartupParams record;
    record.title = "modelgen review";
    record.windowed = 1;
    record.width = kTile;
    record.height = kTileHeight;
    record.captioned = 1;
    engine::Engine* engine = engine::CreateEngine(record);
    if (engine == nullptr) {
        std::fprintf(stderr, "modelgen: the engine does not start for the review\n");
        return 1;
    }
    // Without archives the game reads loose files from "<base>/Data/PC/": the base is a folder whose
    // "Data/PC" leads to the data folder.
    const std::filesystem::path base = std::filesystem::absolute(outFolder + "/base");
    std::error_code code;
    std::filesystem::remove_all(base, code);
    std::filesystem::create_directories(base / "Data", code);
    std::filesystem::create_directory_symlink(std::filesystem::absolute(dataFolder), base / "Data" / "PC", code);
    engine::SetActiveArchiveSet(nullptr);
    engine::SetBaseFolderNarrow(base.string().c_str());
    game::InitTeamColours();
    int status = 0;
    {
        game::EnginePlatform platform(*engine);
        game::SceneGameView view(*engine, platform);
        view.LoadResources();
        view.SetupLights(true, 0xFFFFFFFFu);
        Reviewer reviewer(*engine, view);
        for (const ReviewGroup& group : groups) {
            std::vector<std::vector<std::uint8_t>> tiles;
            for (const ReviewItem& item : group.items) {
                if (item.teamColours) {
                    for (int kind : {1, 4})
                        tiles.push_back(reviewer.Draw({item.path, item.tint.c_str(), kind}, group.fromAbove));
                } else {
                    tiles.push_back(reviewer.Draw({item.path, nullptr, 0}, group.fromAbove));
                }
                if (tiles.back().empty()) {
                    std::fprintf(stderr, "modelgen: %s does not load\n", item.path.c_str());
                    status = 1;
                }
            }
            const std::string path = outFolder + "/" + group.name + ".png";
            if (!WriteSheet(path, tiles)) {
                std::fprintf(stderr, "modelgen: cannot write %s\n", path.c_str());
                status = 1;
            } else {
                std::printf("%s\n", path.c_str());
            }
        }
    }
    delete engine;
    return status;
}

}  // namespace tools
