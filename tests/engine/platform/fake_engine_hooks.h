#pragma once
// Recording fakes of every engine hook: each call appends the hook's name to a log. A creating hook named in
// failAt returns false. Resource tables are fakes too: entries tagged with a group, purged by group.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/platform/engine_hooks.h"
#include "engine/platform/windows_engine.h"

namespace testsupport {

class FakeEngineHooks {
public:
    struct Resource {
        int group;
        std::string name;
    };

    // Installs every hook. The device hook sizes the back buffer to the record's size and, when
    // resizeOnCreate is set, sends the first resize-and-centre request.
    void Install() {
        using namespace engine;
        DeviceHooks device;
        device.create = [this](WindowsEngine& e) {
            Log("device.create");
            if (failAt == "device.create") return false;
            e.SetBackBufferSize(backBufferWidth, backBufferHeight);
            if (resizeOnCreate) e.RequestResizeAndCentre(backBufferWidth, backBufferHeight);
            return true;
        };
        device.initDynamicVertexBuffers = Creator("device.initDynamicVertexBuffers");
        device.isLost = [this] {
            Log("device.isLost");
            return deviceLost;
        };
        device.recoverLostDevice = [this] {
            Log("device.recoverLostDevice");
            return recoverSucceeds;
        };
        device.endScene = Logger("device.endScene");
        device.beginScene = Logger("device.beginScene");
        device.presentResult = [this] {
            Log("device.presentResult");
            return presentResult;
        };
        device.setDisplayMode = [this](bool fullScreen, int width, int height) {
            Log(std::string("device.setDisplayMode ") + (fullScreen ? "full " : "windowed ") + std::to_string(width) +
                "x" + std::to_string(height));
        };
        device.releaseDynamicVertexBuffers = Logger("device.releaseDynamicVertexBuffers");
        device.deleteDynamicVertexBuffer = Logger("device.deleteDynamicVertexBuffer");
        device.deleteVertexDecls = Logger("device.deleteVertexDecls");
        device.deleteDevice = Logger("device.deleteDevice");
        InstallDeviceHooks(device);

        RenderTargetHooks targets;
        targets.clearRegistry = Logger("renderTargets.clearRegistry");
        targets.drawMainIntoBackBuffer = [this](WindowsEngine&) { Log("renderTargets.drawMain"); };
        targets.create = [this](const char* name, int width, int height, int kind) {
            Log("renderTargets.create " + std::string(name) + " " + std::to_string(width) + "x" +
                std::to_string(height) + " kind " + std::to_string(kind));
            return reinterpret_cast<RenderTarget*>(&renderTarget);
        };
        targets.deleteAll = Logger("renderTargets.deleteAll");
        InstallRenderTargetHooks(targets);

        InstallOverlayHooks(OverlayHooks{Logger("overlay.clear")});
        InstallShaderHooks(ShaderHooks{Creator("shaders.create"), Logger("shaders.destroy")});

        TextureHooks textures;
        textures.init = SizedCreator("textures.init");
        textures.purge = Purger("textures", this->textures);
        textures.freeTable = Logger("textures.freeTable");
        InstallTextureHooks(textures);

        MaterialHooks materials;
        materials.initLibrary = SizedCreator("materials.initLibrary");
        materials.createManager = Creator("materials.createManager");
        materials.purge = Purger("materials", this->materials);
        materials.freeTable = Logger("materials.freeTable");
        materials.deleteManager = Logger("materials.deleteManager");
        InstallMaterialHooks(materials);

        ModelHooks models;
        models.init = SizedCreator("models.init");
        models.createCollisionAssets = Creator("models.createCollisionAssets");
        models.purge = Purger("models", this->models);
        models.freeTable = Logger("models.freeTable");
        models.freeStaticBuffers = Logger("models.freeStaticBuffers");
        models.clearFrameCounters = Logger("models.clearFrameCounters");
        InstallModelHooks(models);

        InstallGuiHooks(GuiHooks{Creator("gui.init"), Logger("gui.update"), Logger("gui.freeNavigationKeys")});
        InstallAudioHooks(AudioHooks{Creator("audio.create"), Logger("audio.update"), Logger("audio.destroy")});
    }

    void Log(const std::string& entry) { log.push_back(entry); }
    // The entries logged since the given position.
    std::vector<std::string> Since(std::size_t from) const {
        return std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size())),
                                        log.end());
    }

    std::vector<std::string> log;
    std::string failAt;
    bool resizeOnCreate = true;
    int backBufferWidth = 960;
    int backBufferHeight = 640;
    bool deviceLost = false;
    bool recoverSucceeds = true;
    std::uint32_t presentResult = 0;
    std::vector<int> tableSizes;
    std::vector<Resource> textures;
    std::vector<Resource> materials;
    std::vector<Resource> models;
    int renderTarget = 0;

private:
    std::function<void()> Logger(std::string name) {
        return [this, name] { Log(name); };
    }
    std::function<bool()> Creator(std::string name) {
        return [this, name] {
            Log(name);
            return failAt != name;
        };
    }
    std::function<bool(int)> SizedCreator(std::string name) {
        return [this, name](int size) {
            Log(name);
            tableSizes.push_back(size);
            return failAt != name;
        };
    }
    // Frees the table's entries of the group (all for -1), logging each as "<table>.free <name>".
    std::function<void(int)> Purger(std::string table, std::vector<Resource>& entries) {
        return [this, table, &entries](int group) {
            Log(table + ".purge " + std::to_string(group));
            std::vector<Resource> kept;
            for (const Resource& entry : entries) {
                if (group == -1 || entry.group == group) {
                    Log(table + ".free " + entry.name);
                } else {
                    kept.push_back(entry);
                }
            }
            entries = kept;
        };
    }
};

}  // namespace testsupport
