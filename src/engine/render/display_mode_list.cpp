#include "engine/render/display_mode_list.h"

namespace engine {
namespace {

DisplayModeEntry* FindSize(DisplayModeSet& set, const DisplayModeEntry& mode) {
    for (int i = 0; i < set.count; ++i) {
        if (set.entries[i].width == mode.width && set.entries[i].height == mode.height) return &set.entries[i];
    }
    return nullptr;
}

bool Append(DisplayModeSet& set, const DisplayModeEntry& mode) {
    if (set.count >= DisplayModeSet::kCapacity) return false;
    set.entries[set.count++] = mode;
    return true;
}

}  // namespace

void DisplayModeList::Clear() { *this = DisplayModeList(); }

void DisplayModeList::Add(const DisplayModeEntry& mode) {
    if (DisplayModeEntry* listed = FindSize(listA, mode)) {
        if (mode.refreshRate > 50 && mode.refreshRate < listed->refreshRate) listed->refreshRate = mode.refreshRate;
    } else {
        Append(listA, mode);
    }
    if (DisplayModeEntry* listed = FindSize(listB, mode)) {
        if (mode.refreshRate > listed->refreshRate) listed->refreshRate = mode.refreshRate;
    } else {
        Append(listB, mode);
    }
}

int DisplayModeList::FindNearest(int width, int height) const {
    int best = -1;
    long long bestDistance = 0;
    for (int i = 0; i < listA.count; ++i) {
        const long long dw = static_cast<long long>(listA.entries[i].width) - width;
        const long long dh = static_cast<long long>(listA.entries[i].height) - height;
        if (dw == 0 && dh == 0) return i;
        const long long distance = dw * dw + dh * dh;
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace engine
