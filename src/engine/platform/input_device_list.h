#pragma once
// The engine's input devices; the desktop has one, the WindowsInputDevice at index 0.
#include <memory>
#include <vector>

#include "engine/platform/input_device.h"

namespace engine {

class InputDeviceList {
public:
    InputDeviceList() = default;
    explicit InputDeviceList(std::unique_ptr<InputDevice> device);

    void Add(std::unique_ptr<InputDevice> device);
    // The device at the index; null outside the list.
    InputDevice* Get(int index) const;
    int Count() const { return static_cast<int>(devices_.size()); }

private:
    std::vector<std::unique_ptr<InputDevice>> devices_;
};

}  // namespace engine
