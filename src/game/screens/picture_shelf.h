#pragma once
// Pictures that several screens may show at once. The texture loader hands out one handle per name and
// keeps no count, so one screen releasing a picture would free it under every other screen still showing
// it. The shelf counts holders per name: the first hold loads the picture, the last let-go releases it.
// Each screen holds through a PictureHolder, which counts itself once however often it is shown or hidden.
#include <cstdint>
#include <map>
#include <string>

namespace game {

class TextureLoader;

class PictureShelf {
public:
    // Loads the picture on its first holder; the handle (0 when it does not load, and then nothing is held).
    std::uint32_t Take(TextureLoader* loader, const std::string& name);
    // Drops one holder; the last one releases the picture.
    void Give(TextureLoader* loader, const std::string& name);
    // The number of holders of the name.
    int Holders(const std::string& name) const;

private:
    struct Entry {
        std::uint32_t handle = 0;
        int holders = 0;
    };
    std::map<std::string, Entry> entries_;
};

struct ScreenServices;

// One screen's hold on one named picture.
class PictureHolder {
public:
    explicit PictureHolder(const char* name) : name_(name) {}
    ~PictureHolder();
    PictureHolder(const PictureHolder&) = delete;
    PictureHolder& operator=(const PictureHolder&) = delete;

    // Takes the picture unless this holder already does; the handle (0 when it does not load).
    std::uint32_t Hold(ScreenServices& services);
    // Gives the picture back when this holder has it.
    void LetGo();
    // The handle while held, else 0.
    std::uint32_t Handle() const { return handle_; }

private:
    std::string name_;
    ScreenServices* services_ = nullptr;
    std::uint32_t handle_ = 0;
};

}  // namespace game
