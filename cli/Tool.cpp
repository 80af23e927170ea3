#include "cli/Tool.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <string>

#include "cli/Command.h"
#include "cli/Terminal.h"
#include "platform/PosixFile.h"

namespace tw::cli {
namespace {

void printUsage(std::ostream& out, const std::vector<std::unique_ptr<Command>>& commands) {
    out << "tmpro " << TW_VERSION
        << ": the Tallowmere Pro wallet on the command line\n"
           "\n"
           "Usage: tmpro [--yes] COMMAND [ARGUMENTS]\n"
           "       tmpro help COMMAND\n"
           "\n"
           "Commands:\n";
    for (const auto& c : commands) {
        out << "  " << c->name();
        for (std::size_t n = c->name().size(); n < 14; ++n) out << ' ';
        out << c->summary() << "\n";
    }
    out << "\n"
           "Passwords are never taken from the command line: they are asked on the terminal without\n"
           "echo, or read one per line from standard input when it is not a terminal.\n"
           "--yes answers every question (upgrade, repair, import) with yes.\n"
           "\n"
           "Exit codes: 0 done, 1 failed, 2 bad command line, 3 wrong password, 4 not a wallet or\n"
           "cannot be opened, 5 not found, 6 ambiguous path, 7 damaged wallet, 8 declined.\n";
}

// Splits the arguments after the command name into positional arguments and options.
bool parseArgs(const Command& command, int argc, char** argv, int first, Args& args, std::ostream& err) {
    const auto valueOptions = command.valueOptions();
    const auto repeatable = command.repeatableOptions();
    auto takesValue = [&](const std::string& n) {
        return std::find(valueOptions.begin(), valueOptions.end(), n) != valueOptions.end() ||
               std::find(repeatable.begin(), repeatable.end(), n) != repeatable.end();
    };
    bool onlyPositional = false;
    for (int i = first; i < argc; ++i) {
        std::string a = argv[i];
        if (onlyPositional || a.size() < 3 || a.rfind("--", 0) != 0) {
            if (a == "--") {
                onlyPositional = true;
                continue;
            }
            args.positional.push_back(a);
            continue;
        }
        std::string name = a.substr(2), value;
        const std::size_t eq = name.find('=');
        bool haveValue = false;
        if (eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            haveValue = true;
        }
        if (takesValue(name) && !haveValue) {
            if (i + 1 >= argc) {
                err << "tmpro " << command.name() << ": option --" << name << " needs a value\n";
                return false;
            }
            value = argv[++i];
        }
        if (std::find(repeatable.begin(), repeatable.end(), name) != repeatable.end()) {
            args.repeated.push_back(name + "=" + value);
        }
        args.options[name] = value;
    }
    return true;
}

}  // namespace

std::vector<std::string> Args::all(const std::string& name) const {
    std::vector<std::string> values;
    const std::string prefix = name + "=";
    for (const auto& r : repeated)
        if (r.rfind(prefix, 0) == 0) values.push_back(r.substr(prefix.size()));
    return values;
}

int runTool(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err) {
    const auto commands = allCommands();
    int first = 1;
    bool assumeYes = false;
    while (first < argc && std::string(argv[first]) == "--yes") {
        assumeYes = true;
        ++first;
    }
    if (first >= argc) {
        printUsage(out, commands);
        return exit_code::kOk;
    }
    std::string name = argv[first];
    if (name == "--version" || name == "version") {
        out << "tmpro " << TW_VERSION << "\n";
        return exit_code::kOk;
    }
    if (name == "--help" || name == "-h" || name == "help") {
        if (first + 1 < argc) {
            for (const auto& c : commands)
                if (c->name() == argv[first + 1]) {
                    out << c->help();
                    return exit_code::kOk;
                }
            err << "tmpro: no command '" << argv[first + 1] << "'\n";
            return exit_code::kUsage;
        }
        printUsage(out, commands);
        return exit_code::kOk;
    }
    Command* command = nullptr;
    for (const auto& c : commands)
        if (c->name() == name) command = c.get();
    if (command == nullptr) {
        err << "tmpro: unknown command '" << name << "' (try tmpro --help)\n";
        return exit_code::kUsage;
    }
    Args args;
    if (!parseArgs(*command, argc, argv, first + 1, args, err)) return exit_code::kUsage;
    if (args.has("help")) {
        out << command->help();
        return exit_code::kOk;
    }
    if (args.has("yes")) assumeYes = true;
    // Every command's first argument is a wallet (or an old wallet) file: work on its full
    // path, so that short relative names open like any other.
    if (!args.positional.empty() && !args.positional[0].empty()) {
        std::error_code error;
        const std::filesystem::path full = std::filesystem::absolute(args.positional[0], error);
        if (!error) args.positional[0] = full.lexically_normal().string();
    }

    const bool interactive = &in == &std::cin && stdinIsTerminal();
    PosixFileSystem files;
    SystemClock clock;
    OsRandom random;
    StringTable strings;
    TerminalPrompt prompt(in, out, interactive);
    prompt.assumeYes = assumeYes;
    HostSystem system;
    Env env{files, clock, random, strings, prompt, system};
    loadStrings(strings, argc > 0 ? argv[0] : "tmpro");
    TerminalPasswords passwords(in, err, interactive);
    Context context{in, out, err, env, passwords, assumeYes};
    return command->run(args, context);
}

}  // namespace tw::cli
