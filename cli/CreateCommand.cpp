#include <ostream>

#include "cli/Commands.h"
#include "cli/Terminal.h"
#include "platform/Text.h"
#include "storage/CreateWallet.h"

namespace tw::cli {

Syntax CreateCommand::syntax() const {
    std::vector<Option> options = {
        {"hint", "TEXT", "a password hint, readable without the password (up to 255 characters)", Check::Text},
        {"no-first-folder", "", "do not create the first ordinary folder"},
    };
    for (Option& o : walletOptions()) options.push_back(std::move(o));
    return {false, {{"WALLET", "the new wallet file (.tm5)"}}, options};
}

std::string_view CreateCommand::help() const {
    return "Creates a new wallet. The password (3 to 23 characters, UTF-8) is asked twice; from a file\n"
           "or a file descriptor it is read twice, one line each.\n";
}

int CreateCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 1) return usageError(c, *this);
    const std::string& path = args.positional[0];
    Secret password, again;
    if (const int r = c.passwords.read("New password for " + path + ": ", password.text)) return r;
    if (const int r = c.passwords.read("Repeat the password: ", again.text)) return r;
    if (again.text != password.text) {
        c.err << "tmpro: the two passwords differ; nothing was created\n";
        return exit_code::kUsage;
    }
    std::optional<std::u16string> hint;
    if (args.has("hint")) hint = fromUtf8(args.get("hint"));
    const CreateResult r =
        createWallet(c.env, path, password.text, hint ? std::optional<std::u16string_view>(*hint) : std::nullopt,
                     !args.has("no-first-folder"));
    switch (r) {
        case CreateResult::Ok:
            c.out << "Created " << path << "\n";
            return exit_code::kOk;
        case CreateResult::BadPath:
            c.err << "tmpro: the path is too short (at least 6 characters)\n";
            return exit_code::kUsage;
        case CreateResult::NoPassword:
        case CreateResult::BadPasswordLength:
            c.err << "tmpro: the password must have 3 to 23 characters\n";
            return exit_code::kUsage;
        case CreateResult::Exists:
            c.err << "tmpro: " << path << " exists already; it was not touched\n";
            return exit_code::kFailed;
        default:
            c.err << "tmpro: the wallet could not be written (code " << static_cast<int>(r) << ")\n";
            return exit_code::kFailed;
    }
}

}  // namespace tw::cli
