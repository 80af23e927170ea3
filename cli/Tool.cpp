#include "cli/Tool.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <string>

#include "cli/Command.h"
#include "cli/Terminal.h"
#include "platform/PosixFile.h"
#include "platform/Text.h"

namespace tw::cli {
namespace {

void printUsage(std::ostream& out, const std::vector<std::unique_ptr<Command>>& commands) {
    out << "tmpro " << TW_VERSION
        << ": the Tallowmere Pro wallet on the command line\n"
           "\n"
           "Usage: tmpro [--yes] COMMAND [ARGUMENTS]\n"
           "       tmpro help COMMAND     (or: tmpro COMMAND --help)\n"
           "\n"
           "Commands:\n";
    for (const auto& c : commands) {
        out << "  " << c->name();
        for (std::size_t n = c->name().size(); n < 14; ++n) out << ' ';
        out << c->summary() << "\n";
    }
    out << "\n"
           "Passwords are never taken from the command line: they are asked on the terminal without\n"
           "echo, read from --password-fd N or --password-file FILE, or read one per line from\n"
           "standard input when it is not a terminal.\n"
           "--yes answers every question (upgrade, repair, import) with yes.\n"
           "\n"
           "Exit codes: 0 done, 1 failed, 2 bad command line or text that is not UTF-8, 3 wrong\n"
           "password, 4 not a wallet or cannot be opened, 5 not found, 6 ambiguous path, 7 damaged\n"
           "wallet, 8 declined.\n";
}

std::string checkText(const std::string& value) {
    return isValidUtf8(value) ? std::string() : std::string("the text is not valid UTF-8");
}

std::string checkName(const std::string& value) {
    if (!isValidUtf8(value)) return "the text is not valid UTF-8";
    for (const char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return "a name cannot hold line feeds, tabs or other control characters";
    return {};
}

std::string checkNumber(const std::string& value) {
    if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos)
        return "'" + value + "' is not a whole number";
    return {};
}

void addCheck(CLI::Option* option, Check check) {
    if (check == Check::Text) option->check(CLI::Validator(checkText, ""));
    if (check == Check::Name) option->check(CLI::Validator(checkName, ""));
    if (check == Check::Number) option->check(CLI::Validator(checkNumber, ""));
}

Syntax fullSyntax(const Command& command) {
    Syntax syntax = command.syntax();
    if (syntax.opensWallet) {
        syntax.positionals.insert(syntax.positionals.begin(), Positional{"WALLET", "the wallet file (.tm5)"});
        for (Option& o : walletOptions()) syntax.options.push_back(std::move(o));
    }
    return syntax;
}

// Parses the words after the command's name into `args` with CLI11: every option must be one
// the command declares, values are checked, positional arguments are counted. False after
// printing why on `err`.
bool parseArgs(const Command& command, const std::vector<std::string>& words, Args& args, bool& assumeYes, bool& help,
               std::ostream& err) {
    const Syntax syntax = fullSyntax(command);
    CLI::App app{"", "tmpro " + std::string(command.name())};
    app.set_help_flag();
    bool helpFlag = false;
    app.add_flag("-h,--help", helpFlag)->disable_flag_override();
    // --yes answers the questions of opening a wallet (upgrade, repair) and of the commands that
    // ask more; a command that asks nothing does not take it.
    if (syntax.opensWallet || command.name() == "convert") app.add_flag("--yes", assumeYes)->disable_flag_override();
    std::vector<std::string> positional(syntax.positionals.size());
    std::vector<CLI::Option*> positionalOptions;
    for (std::size_t i = 0; i < syntax.positionals.size(); ++i) {
        const Positional& p = syntax.positionals[i];
        CLI::Option* o = app.add_option(p.name, positional[i]);
        if (p.required) o->required();
        addCheck(o, p.check);
        positionalOptions.push_back(o);
    }
    std::vector<std::vector<std::string>> values(syntax.options.size());
    std::vector<CLI::Option*> options;
    for (std::size_t i = 0; i < syntax.options.size(); ++i) {
        const Option& spec = syntax.options[i];
        CLI::Option* o = nullptr;
        if (spec.value.empty()) {
            o = app.add_flag("--" + spec.name);
            o->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)->disable_flag_override();
        } else {
            o = app.add_option("--" + spec.name, values[i]);
            o->type_name(spec.value)->allow_extra_args(false)->expected(1);
            o->multi_option_policy(spec.repeatable ? CLI::MultiOptionPolicy::TakeAll : CLI::MultiOptionPolicy::Throw);
            addCheck(o, spec.check);
        }
        options.push_back(o);
    }
    std::vector<std::string> reversed(words.rbegin(), words.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        if (helpFlag) {
            help = true;
            return true;
        }
        std::string what = e.what();
        if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) {
            const std::vector<std::string> extra = app.remaining();
            const std::string first = extra.empty() ? std::string() : extra.front();
            if (first.size() > 1 && first[0] == '-')
                what = "unknown option '" + first.substr(0, first.find('=')) + "'";
            else if (!first.empty())
                what = "one argument too many: '" + first + "'";
        }
        err << "tmpro: " << command.name() << ": " << what << " (see: tmpro help " << command.name() << ")\n";
        return false;
    }
    if (helpFlag) {
        help = true;
        return true;
    }
    for (std::size_t i = 0; i < positionalOptions.size(); ++i) {
        if (positionalOptions[i]->count() == 0) break;
        args.positional.push_back(positional[i]);
    }
    for (std::size_t i = 0; i < options.size(); ++i) {
        const Option& spec = syntax.options[i];
        if (options[i]->count() == 0) continue;
        if (spec.value.empty()) {
            args.options[spec.name] = "";
            continue;
        }
        for (const std::string& v : values[i]) {
            if (spec.repeatable) args.repeated.push_back(spec.name + "=" + v);
            args.options[spec.name] = v;
        }
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

std::vector<Option> walletOptions() {
    return {
        {"password-fd", "N", "read the password (one line) from the open file descriptor N", Check::Number},
        {"password-file", "FILE", "read the password from the first line of FILE", Check::None},
        {"wait", "SECONDS",
         "wait up to SECONDS for another program that has the wallet open to let go of it\n(default 2; 0: fail at "
         "once)",
         Check::Number},
    };
}

std::string helpText(const Command& command) {
    const Syntax syntax = fullSyntax(command);
    std::string text = "Usage: tmpro " + std::string(command.name());
    for (const Positional& p : syntax.positionals) text += p.required ? " " + p.name : " [" + p.name + "]";
    if (!syntax.options.empty()) text += " [OPTIONS]";
    text += "\n\n";
    text += command.help();
    struct Row {
        std::string left, right;
    };
    std::vector<Row> rows;
    for (const Positional& p : syntax.positionals)
        if (!p.description.empty()) rows.push_back({p.name, p.description});
    for (const Option& o : syntax.options)
        rows.push_back({"--" + o.name + (o.value.empty() ? "" : " " + o.value),
                        o.description + (o.repeatable ? " (may be repeated)" : "")});
    rows.push_back({"-h, --help", "show this help"});
    std::size_t width = 0;
    for (const Row& r : rows) width = std::max(width, r.left.size());
    text += "\nArguments and options:\n";
    for (const Row& r : rows) {
        text += "  " + r.left + std::string(width - r.left.size() + 2, ' ');
        // Long descriptions continue on lines of their own, under the first.
        std::size_t start = 0;
        bool first = true;
        while (start < r.right.size()) {
            std::size_t end = r.right.find('\n', start);
            if (end == std::string::npos) end = r.right.size();
            if (!first) text += "  " + std::string(width + 2, ' ');
            text += r.right.substr(start, end - start) + "\n";
            first = false;
            start = end + 1;
        }
    }
    return text;
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
    auto findCommand = [&](const std::string& n) -> Command* {
        for (const auto& c : commands)
            if (c->name() == n) return c.get();
        return nullptr;
    };
    if (name == "--help" || name == "-h" || name == "help") {
        if (first + 2 < argc) {
            err << "tmpro: help takes one command name\n";
            return exit_code::kUsage;
        }
        if (first + 1 < argc) {
            if (const Command* c = findCommand(argv[first + 1])) {
                out << helpText(*c);
                return exit_code::kOk;
            }
            err << "tmpro: no command '" << argv[first + 1] << "' (try tmpro --help)\n";
            return exit_code::kUsage;
        }
        printUsage(out, commands);
        return exit_code::kOk;
    }
    Command* command = findCommand(name);
    if (command == nullptr) {
        err << "tmpro: unknown command '" << name << "' (try tmpro --help)\n";
        return exit_code::kUsage;
    }
    Args args;
    bool help = false;
    const std::vector<std::string> words(argv + first + 1, argv + argc);
    if (!parseArgs(*command, words, args, assumeYes, help, err)) return exit_code::kUsage;
    if (help) {
        out << helpText(*command);
        return exit_code::kOk;
    }
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
    TerminalPrompt prompt(in, out, err, interactive);
    prompt.assumeYes = assumeYes;
    HostSystem system;
    Env env{files, clock, random, strings, prompt, system};
    loadStrings(strings, argc > 0 ? argv[0] : "tmpro");
    files.setLockWait(std::chrono::seconds(args.has("wait") ? std::stoi(args.get("wait")) : 2));
    PasswordOrigin origin;
    if (args.has("password-fd")) origin.fd = std::stoi(args.get("password-fd"));
    if (args.has("password-file")) origin.file = args.get("password-file");
    if (origin.fd && origin.file) {
        err << "tmpro: give the password by --password-fd or by --password-file, not both\n";
        return exit_code::kUsage;
    }
    Context* context = nullptr;
    TerminalPasswords passwords(in, err, interactive, origin, [&context] { return context && context->stdinIsData; });
    Context ctx{in, out, err, env, passwords, assumeYes};
    context = &ctx;
    return command->run(args, ctx);
}

}  // namespace tw::cli
