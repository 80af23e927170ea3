#include "cli/Tool.h"

#include <ostream>
#include <string>

namespace tw::cli {
namespace {

void printUsage(std::ostream& out) {
    out << "Usage: tmpro COMMAND [OPTIONS] WALLET.tm5 ...\n"
           "\n"
           "Commands:\n"
           "  --version    print the version and exit\n"
           "  --help       print this help and exit\n";
}

}  // namespace

int runTool(int argc, char** argv, std::istream&, std::ostream& out, std::ostream& err) {
    if (argc < 2) {
        printUsage(out);
        return 0;
    }
    const std::string command = argv[1];
    if (command == "--version" || command == "version") {
        out << "tmpro " << TW_VERSION << "\n";
        return 0;
    }
    if (command == "--help" || command == "help" || command == "-h") {
        printUsage(out);
        return 0;
    }
    err << "tmpro: unknown command '" << command << "' (try tmpro --help)\n";
    return 2;
}

}  // namespace tw::cli
