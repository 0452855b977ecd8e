#pragma once
// The GUI sheets of the GL screen tests: sheets the test makes in the texture table, handed to the screens by
// name, and a sheet whose every pixel the test chooses.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "engine/core/wide_string.h"
#include "engine/image/image.h"
#include "engine/render/texture_table.h"
#include "game/screens/screen_services.h"

namespace screens_gl_test {

// The sheets from the texture table by name; a name without a sheet gives 0.
class FixtureLoader final : public game::TextureLoader {
public:
    std::uint32_t Load(const char* name) override {
        auto it = handles.find(name);
        return it != handles.end() ? it->second : 0;
    }
    void Release(std::uint32_t) override {}
    bool GetSize(std::uint32_t handle, int& w, int& h) const override {
        if (handle == 0) return false;
        w = static_cast<int>(engine::TextureTable::GetWidth(static_cast<int>(handle)));
        h = static_cast<int>(engine::TextureTable::GetHeight(static_cast<int>(handle)));
        return true;
    }
    std::map<std::string, std::uint32_t> handles;
};

// A sheet of the size whose pixel (x, y) has the ARGB colour the function gives.
inline std::uint32_t MakeSheet(int width, int height, const std::function<std::uint32_t(int, int)>& colourAt) {
    engine::Image image;
    image.Create(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), engine::WideString("sheet"));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colourAt(x, y);
            std::uint8_t* p = image.Pixels() + (static_cast<std::size_t>(y) * width + x) * 4;
            p[0] = static_cast<std::uint8_t>(c);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c >> 16);
            p[3] = static_cast<std::uint8_t>(c >> 24);
        }
    }
    return static_cast<std::uint32_t>(engine::TextureTable::CreateFromImage(image, 0));
}

}  // namespace screens_gl_test
