#pragma once
// The level models' command, run as "levels <verb> ...":
//   levels build <data folder> <palette.txt> <level folder>...
//       writes the shared level assets and, for each level folder, "<folder>/Map" with its terrain, from the
//       "<folder>/GameMap.Hex" already in the data folder
//   levels check <archive> <level folder>...
//       loads each level's map and model from the archive as the game does and reports every fault of the
//       level checks; the result is 1 when there is any
namespace tools {

// argv[0] is the program; argv[1] the verb. Returns the process exit code (0 success, 1 faults or
// failure, 2 usage).
int RunLevelsCommand(int argc, char** argv);

}  // namespace tools
