// Program entry: the crash handler in the user folder, then the program's whole life with its screens.
#include <string>

#include "engine/platform/user_folder.h"
#include "game/core/program_entry.h"
#include "game/screens/program_screens.h"
#include "sys/crash_handler.h"

int main() {
    const std::string userFolder = engine::UserFolder();
    if (!userFolder.empty()) sys::InstallCrashHandler(userFolder, "tinmarch");
    game::ProgramHooks hooks;
    hooks.makeScreens = game::MakeProgramScreens;
    return game::RunProgram(hooks);
}
