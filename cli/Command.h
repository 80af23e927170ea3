#pragma once

#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Env.h"

namespace tw::cli {

// Exit codes of tmpro. Scripts rely on them: never renumber.
namespace exit_code {
constexpr int kOk = 0;
constexpr int kFailed = 1;  // the operation failed (a write, a read, a conversion)
constexpr int kUsage = 2;   // bad command line, or text that is not UTF-8
constexpr int kWrongPassword = 3;
constexpr int kNotAWallet = 4;  // missing, unreadable, locked, not a wallet, unknown version
constexpr int kNotFound = 5;    // no such card, folder or form
constexpr int kAmbiguous = 6;   // a path names more than one record
constexpr int kDamaged = 7;     // the wallet is damaged and was not repaired
constexpr int kDeclined = 8;    // the user declined (upgrade, repair, import)
}  // namespace exit_code

// The parsed command line of one command: positional arguments and --options.
struct Args {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // "--name value" or "--name=value"; flags map to ""
    std::vector<std::string> repeated;           // values of repeatable options, as "name=value"

    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::string get(const std::string& name, const std::string& fallback = {}) const {
        const auto it = options.find(name);
        return it == options.end() ? fallback : it->second;
    }
    // All values given for a repeatable option, in order.
    std::vector<std::string> all(const std::string& name) const;
};

// What a command-line word must be, checked before the command runs.
enum class Check {
    None,    // anything (file system paths: any bytes)
    Text,    // UTF-8 text: values, record paths, texts to find
    Name,    // UTF-8 text without control characters (line feeds, tabs): a new record name
    Number,  // a whole number, 0 or more
};

struct Positional {
    std::string name;  // as shown in the usage line: WALLET, PATH
    std::string description;
    bool required = true;
    Check check = Check::None;
};

struct Option {
    std::string name;   // without the dashes: "form"
    std::string value;  // the value's name in the help ("FORM"); empty for a flag
    std::string description;
    Check check = Check::None;
    bool repeatable = false;
};

// What a command takes. Commands that open a wallet get its first positional argument WALLET and
// the options every wallet-opening command shares (walletOptions()) without listing them.
struct Syntax {
    bool opensWallet = false;
    std::vector<Positional> positionals;
    std::vector<Option> options;
};

// The options shared by every command that opens a wallet with its password.
std::vector<Option> walletOptions();

// Reads passwords, from the first of: --password-fd, --password-file, the terminal without echo,
// standard input (one line per password) when it is not a terminal and carries no other data.
class PasswordSource {
public:
    virtual ~PasswordSource() = default;
    // 0 with the password in `password`; else the exit code after printing why on the error
    // stream (none given, not UTF-8, no terminal to ask on).
    virtual int read(std::string_view prompt, std::u16string& password) = 0;
    // A secret value of a card: typed on the terminal without echo, else the next line of
    // standard input (or asked on /dev/tty when standard input carries data). Must be UTF-8.
    virtual int readValue(std::string_view prompt, std::u16string& value) = 0;
};

struct Context {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    Env& env;
    PasswordSource& passwords;
    bool assumeYes = false;  // --yes: answer every question positively
    // Set by a command that reads data from standard input (a value from "-"): passwords are
    // then asked on the terminal instead.
    bool stdinIsData = false;
};

// One tmpro command.
class Command {
public:
    virtual ~Command() = default;
    virtual std::string_view name() const = 0;
    virtual std::string_view summary() const = 0;
    // What the command does, printed by `tmpro help COMMAND` between the usage line and the list
    // of options.
    virtual std::string_view help() const = 0;
    virtual Syntax syntax() const = 0;
    virtual int run(const Args& args, Context& context) = 0;
};

std::vector<std::unique_ptr<Command>> allCommands();

// The full help of a command: usage line, description, arguments and options.
std::string helpText(const Command& command);

}  // namespace tw::cli
