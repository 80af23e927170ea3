#include <ostream>

#include "cli/Commands.h"
#include "platform/Text.h"
#include "storage/CreateWallet.h"

namespace tw::cli {

std::string_view CreateCommand::help() const {
    return "Usage: tmpro create WALLET.tm5 [--hint TEXT] [--no-first-folder]\n"
           "\n"
           "Creates a new wallet. The password (3 to 23 characters) is asked twice.\n"
           "  --hint TEXT         a password hint, readable without the password (up to 255 characters)\n"
           "  --no-first-folder   do not create the first ordinary folder\n";
}

int CreateCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 1) return usageError(c, *this);
    const std::string& path = args.positional[0];
    const auto password = c.passwords.read("New password for " + path + ": ");
    if (!password) return usageError(c, *this);
    const auto again = c.passwords.read("Repeat the password: ");
    if (!again || *again != *password) {
        c.err << "tmpro: the two passwords differ; nothing was created\n";
        return exit_code::kUsage;
    }
    std::optional<std::u16string> hint;
    if (args.has("hint")) hint = fromUtf8(args.get("hint"));
    const CreateResult r =
        createWallet(c.env, path, *password, hint ? std::optional<std::u16string_view>(*hint) : std::nullopt,
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
