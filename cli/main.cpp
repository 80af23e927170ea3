#include <iostream>

#include "cli/Tool.h"

int main(int argc, char** argv) {
    return tw::cli::runTool(argc, argv, std::cin, std::cout, std::cerr);
}
