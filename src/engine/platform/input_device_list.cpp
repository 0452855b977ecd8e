#include "engine/platform/input_device_list.h"

namespace engine {

InputDeviceList::InputDeviceList(std::unique_ptr<InputDevice> device) { Add(std::move(device)); }

void InputDeviceList::Add(std::unique_ptr<InputDevice> device) {
    if (device != nullptr) devices_.push_back(std::move(device));
}

InputDevice* InputDeviceList::Get(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return devices_[static_cast<std::size_t>(index)].get();
}

}  // namespace engine
