#include <iostream>

#include "cli/Tool.h"
#include "platform/ProcessGuard.h"

int main(int argc, char** argv) {
    // Passwords and keys pass through this process: no core file may hold them.
    tw::keepOutOfCoreDumps();
    return tw::cli::runTool(argc, argv, std::cin, std::cout, std::cerr);
}
