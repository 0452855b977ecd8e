#pragma once
// A texture source for material tests: names listed as loadable give handles, every request is recorded.
#include <map>
#include <string>
#include <vector>

#include "engine/render/material_def.h"

namespace mtltest {

class FakeMaterialTextures : public engine::MaterialTextureSource {
public:
    // "load:name", "cube:name" and "flagged:name" entries that succeed, each with its handle.
    std::map<std::string, int> available;
    std::vector<std::string> calls;
    int checkTextures = 0;

    int Load(const engine::WideString& name, int mipKind) override {
        return Ask("load:" + std::string(name.GetNarrow()) + (mipKind == 1 ? "" : "#mip"));
    }
    int LoadCubeMap(const engine::WideString& name) override { return Ask("cube:" + std::string(name.GetNarrow())); }
    int LoadFlagged(const engine::WideString& name) override {
        return Ask("flagged:" + std::string(name.GetNarrow()));
    }
    int MakeCheckTexture(int, int, std::uint32_t, std::uint32_t) override { return 900 + ++checkTextures; }
    int Width(int handle) const override { return handle == 77 ? 256 : 0; }

private:
    int Ask(const std::string& key) {
        calls.push_back(key);
        const auto it = available.find(key);
        return it != available.end() ? it->second : 0;
    }
};

}  // namespace mtltest
