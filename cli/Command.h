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
constexpr int kUsage = 2;   // bad command line
constexpr int kWrongPassword = 3;
constexpr int kNotAWallet = 4;  // missing, unreadable, not a wallet, unknown version
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

// Reads passwords: from the terminal without echo, or, when standard input is not a
// terminal, one line at a time from it (for scripts).
class PasswordSource {
public:
    virtual ~PasswordSource() = default;
    virtual std::optional<std::u16string> read(std::string_view prompt) = 0;
};

struct Context {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    Env& env;
    PasswordSource& passwords;
    bool assumeYes = false;  // --yes: answer every question positively
};

// One tmpro command.
class Command {
public:
    virtual ~Command() = default;
    virtual std::string_view name() const = 0;
    virtual std::string_view summary() const = 0;
    // Usage line and option list, printed by `tmpro help COMMAND`.
    virtual std::string_view help() const = 0;
    // Options that take a value (all others are flags).
    virtual std::vector<std::string> valueOptions() const { return {}; }
    // Options that may be given more than once (their values go to Args::repeated).
    virtual std::vector<std::string> repeatableOptions() const { return {}; }
    virtual int run(const Args& args, Context& context) = 0;
};

std::vector<std::unique_ptr<Command>> allCommands();

}  // namespace tw::cli
