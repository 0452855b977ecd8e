// Copies of a render target's picture: into texture-table textures, and into numbered PNG screen dumps.
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/platform/file_stream.h"
#include "engine/platform/user_folder.h"
#include "engine/render/graphics_device.h"
#include "engine/image/image_writers.h"
#include "engine/image/pixel_format.h"
#include "engine/render/render_target.h"
#include "engine/render/screen_dump_name.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "sys/gpu_device.h"
#include "sys/gpu_resource.h"

namespace engine {
namespace {

constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

int RenderTarget::NewCopyTexture(Texture** made) {
    sys::GpuDevice* gpu = device_ != nullptr ? device_->Device() : nullptr;
    if (gpu == nullptr) return 0;
    const int handle = TextureTable::CreateEmpty(name_.GetNarrow());
    Texture* texture = TextureTable::Get(handle);
    if (texture == nullptr) return 0;
    texture->texture = gpu->CreateTexture(static_cast<std::uint32_t>(width_), static_cast<std::uint32_t>(height_), 1,
                                          sys::kUsageRenderTarget, sys::kFmtA8R8G8B8, sys::kPoolDefault);
    if (texture->texture == nullptr) {
        TextureTable::Release(handle);
        return 0;
    }
    texture->width = static_cast<std::uint32_t>(width_);
    texture->height = static_cast<std::uint32_t>(height_);
    texture->widthF = widthF_;
    texture->heightF = heightF_;
    texture->format = kPixelFormat8888;
    texture->bytesPerPixel = 4;
    if (made != nullptr) *made = texture;
    return handle;
}

bool RenderTarget::CopyInto(sys::GpuTexture* texture) {
    sys::GpuTexture* source = colourTextures_[current_];
    if (texture == nullptr || source == nullptr) return false;
    sys::GpuSurface* level = texture->GetSurfaceLevel(0);
    if (level == nullptr) return false;
    Resolve();
    device_->UnbindAllTextures();
    device_->SetRenderTargetSurface(level);
    ApplyView(nullptr);
    if (drawing_ != nullptr) {
        // A raw copy: no tint, no blending, every alpha value kept.
        drawing_->DrawTextureQuad(Target2D(), 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, source, kOpaqueWhite, 0, 0,
                                  0);
    }
    // The device keeps its own reference while the level is bound.
    level->Release();
    if (colourSurfaces_[current_] != nullptr) {
        BindColour(colourSurfaces_[current_]);
    } else {
        boundColour_ = nullptr;
    }
    ApplyView(nullptr);
    device_->UnbindTexture(0);
    return true;
}

int RenderTarget::CopyToTexture() {
    if (colourTextures_[current_] == nullptr) return 0;
    // A texture freed behind the target's back (a purge of its group) is made again.
    if (copyHandle_ != 0 && TextureTable::Get(copyHandle_) != copyTexture_) {
        copyHandle_ = 0;
        copyTexture_ = nullptr;
    }
    if (copyHandle_ == 0) {
        copyHandle_ = NewCopyTexture(&copyTexture_);
        if (copyHandle_ == 0) {
            copyTexture_ = nullptr;
            return 0;
        }
    }
    if (copyTexture_->texture == nullptr) return 0;
    CopyInto(copyTexture_->texture);
    return copyHandle_;
}

int RenderTarget::MakeTexture() {
    if (colourTextures_[current_] == nullptr) return 0;
    Texture* texture = nullptr;
    const int handle = NewCopyTexture(&texture);
    if (handle == 0) return 0;
    CopyInto(texture->texture);
    return handle;
}

int RenderTarget::ScreenDump() {
    sys::GpuSurface* surface = colourSurfaces_[current_];
    if (device_ == nullptr || surface == nullptr || dumpFolder_.empty()) return 0;
    const std::string folder = dumpFolder_ + "/ScreenDumps";
    if (!CreateUserFolder(folder)) return 0;
    const int number = NextScreenDumpNumber(
        dumpTitle_, [&folder](const std::string& name) { return FileExists(folder + "/" + name); });
    if (number == 0) return 0;

    Resolve();
    std::vector<std::uint8_t> rgba;
    if (!device_->Device()->ReadSurfaceRgba8(surface, rgba)) return 0;
    const std::size_t pixels = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    if (rgba.size() < pixels * 4) return 0;
    // Rows top first as read; B, G, R, A for the writer.
    for (std::size_t i = 0; i < pixels; ++i) std::swap(rgba[i * 4], rgba[i * 4 + 2]);
    const std::vector<std::uint8_t> file = EncodePng(PackedSurface(
        SurfaceFormat::kA8R8G8B8, static_cast<std::uint32_t>(width_), static_cast<std::uint32_t>(height_), rgba.data()));
    if (file.empty()) return 0;

    // Written to a temporary file beside it, then renamed over the name.
    const WideString path((folder + "/" + ScreenDumpFileName(dumpTitle_, number)).c_str());
    FileStream stream;
    if (stream.Open(path, path, FileStream::kModeWrite) != 1) return 0;
    if (stream.Write(file.data(), file.size()) != file.size()) return 0;
    return stream.Close() == 1 ? 1 : 0;
}

}  // namespace engine
