// The level models' command on its own (see levels_command.h).
#include "levelmodel/levels_command.h"

int main(int argc, char** argv) { return tools::RunLevelsCommand(argc, argv); }
