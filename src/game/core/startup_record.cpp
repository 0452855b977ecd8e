#include "game/core/startup_record.h"

#include "game/core/program_icon.h"

namespace game {

engine::StartupParams BuildStartupParams(int desktopWidth, int fullScreenFlag) {
    engine::StartupParams params;
    params.title = "Tinmarch";
    params.makerName = "Ostrel";
    params.smallIcon = SmallProgramIcon();
    params.bigIcon = BigProgramIcon();
    params.captioned = 1;
    const bool large = desktopWidth > kLargeWindowWidth;
    params.width = large ? kLargeWindowWidth : kSmallWindowWidth;
    params.height = large ? kLargeWindowHeight : kSmallWindowHeight;
    params.windowed = fullScreenFlag == 0 ? 1 : 0;
    params.immediatePresent = 0;
    params.animatedMeshPicking = 1;
    params.flaggedMaterialQueries = 0;
    params.cullMargin = 2.0f;
    return params;
}

}  // namespace game
