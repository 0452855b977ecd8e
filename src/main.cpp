// Program entry: the crash handler in the user folder, then the program's whole life.
#include <string>

#include "engine/platform/user_folder.h"
#include "game/core/program_entry.h"
#include "sys/crash_handler.h"

int main() {
    const std::string userFolder = engine::UserFolder();
    if (!userFolder.empty()) sys::InstallCrashHandler(userFolder, "tinmarch");
    return game::RunProgram();
}
