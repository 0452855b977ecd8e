// Program entry: the crash-report writer in the user folder, then the program's whole life with its screens.
#include "engine/platform/crash_report.h"
#include "game/core/program_entry.h"
#include "game/screens/program_screens.h"

int main() {
    // Without a user folder the program runs on without crash reports.
    engine::CrashDumper::Instance().Init(1);
    game::ProgramHooks hooks;
    hooks.makeScreens = game::MakeProgramScreens;
    return game::RunProgram(hooks);
}
