// `tesmo`: the command-line toolbox. It runs the system's own code without a window or display.
#include "cli/commands.h"

int main(int argc, char** argv) { return tesmo::cli::run(argc, argv); }
