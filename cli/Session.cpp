#include "cli/Session.h"

#include <ostream>

#include "app/OpenWallet.h"
#include "cli/UpgradeCommands.h"
#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw::cli {

std::string describe(OpenResult r) {
    switch (r) {
        case OpenResult::Ok:
            return "opened";
        case OpenResult::BadPath:
            return "the wallet path is too short (at least 6 characters)";
        case OpenResult::CannotOpen:
            return "the wallet file cannot be opened (missing, no permission, or in use)";
        case OpenResult::RecordUnreadable:
            return "a record of the wallet cannot be read";
        case OpenResult::BadKeyBlock:
            return "the wallet's key block is damaged";
        case OpenResult::BadSettingsBlock:
            return "the wallet's settings block is damaged";
        case OpenResult::NotAWallet:
            return "this is not a wallet file";
        case OpenResult::BadVersion:
            return "the wallet was written by an unknown version";
        case OpenResult::WrongPassword:
            return "wrong password";
        case OpenResult::OutOfMemory:
            return "out of memory while reading the wallet";
        case OpenResult::Damaged:
            return "the wallet is damaged (run: tmpro repair WALLET)";
        case OpenResult::OldFormat:
            return "the wallet is in the old format and must be upgraded";
        case OpenResult::UpgradeDeclined:
            return "the upgrade of the old wallet format was declined";
    }
    return "unknown error";
}

int exitCodeFor(OpenResult r) {
    switch (r) {
        case OpenResult::Ok:
            return exit_code::kOk;
        case OpenResult::WrongPassword:
            return exit_code::kWrongPassword;
        case OpenResult::Damaged:
        case OpenResult::RecordUnreadable:
            return exit_code::kDamaged;
        case OpenResult::UpgradeDeclined:
            return exit_code::kDeclined;
        case OpenResult::OutOfMemory:
        case OpenResult::OldFormat:
            return exit_code::kFailed;
        default:
            return exit_code::kNotAWallet;
    }
}

int reportOpenFailure(Context& context, const std::string& path, OpenResult result) {
    context.err << "tmpro: " << path << ": " << describe(result) << "\n";
    return exitCodeFor(result);
}

Session::~Session() {
    wipe(m_password.data(), m_password.size() * sizeof(char16_t));
}

int Session::fail(int code, const std::string& message) {
    m_context.err << "tmpro: " << message << "\n";
    return code;
}

namespace {

// tmpro's answer to the password question: one password from the terminal or standard input,
// checked by the open itself. The session keeps a copy for commands that need it again.
class ContextPasswords final : public app::PasswordAsker {
public:
    ContextPasswords(Context& context, const std::string& path, std::u16string& kept)
        : m_context(context), m_path(path), m_kept(kept) {}
    std::optional<std::u16string> askPassword(const app::PasswordRequest&) override {
        std::optional<std::u16string> password = m_context.passwords.read("Password for " + m_path + ": ");
        if (password) m_kept = *password;
        return password;
    }

private:
    Context& m_context;
    const std::string& m_path;
    std::u16string& m_kept;
};

}  // namespace

int Session::open(const std::string& path, bool readOnly) {
    ContextPasswords asker(m_context, path, m_password);
    // Old-format wallets are upgraded on the way, after the user agreed (--yes agrees).
    TerminalProgress progress(m_context.err);
    app::OpenRequest request;
    request.path = path;
    request.readOnly = readOnly;
    request.progress = &progress;
    const app::OpenOutcome outcome = app::openWallet(m_wallet, request, asker);
    const OpenResult r = outcome.result;
    if (outcome.stage == app::OpenStage::Cancelled) return fail(exit_code::kUsage, "no password given");
    if (outcome.pass && *outcome.pass != ReencryptResult::Done) {
        return fail(exit_code::kFailed, path + ": the upgrade to the current format failed: " +
                                            describe(*outcome.pass) + "; the wallet was left as it was");
    }
    if (r != OpenResult::Ok) return fail(exitCodeFor(r), path + ": " + describe(r));
    if (m_wallet.unprotected()) {
        m_context.err << "tmpro: warning: " << path << " has no password check; anyone can open it\n";
    }
    return exit_code::kOk;
}

int Session::finish() {
    if (!m_wallet.isOpen()) return exit_code::kOk;
    const int r = m_wallet.flush();
    m_wallet.close();
    if (r != 0) return fail(exit_code::kFailed, "writing the wallet's blocks failed; the wallet was closed");
    return exit_code::kOk;
}

namespace {

std::vector<std::u16string> splitPath(const std::string& path) {
    std::vector<std::u16string> parts;
    std::string current;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '/') {
            current.push_back('/');
            ++i;
        } else if (path[i] == '/') {
            if (!current.empty()) parts.push_back(fromUtf8(current));
            current.clear();
        } else {
            current.push_back(path[i]);
        }
    }
    if (!current.empty()) parts.push_back(fromUtf8(current));
    return parts;
}

}  // namespace

Resolved resolvePath(const WalletFile& wallet, const std::string& path) {
    Resolved result;
    const WalletIndex& index = wallet.index();
    RecordId parent{};
    for (const std::u16string& part : splitPath(path)) {
        std::vector<std::size_t> matches;
        for (std::size_t i = 0; i < index.count(); ++i) {
            const RecordHeader& h = index.at(i);
            if (h.deleted() || h.parent() != parent) continue;
            if (equalNoCase(h.name(wallet.recordKey()), part)) matches.push_back(i);
        }
        if (matches.empty()) {
            result.error = exit_code::kNotFound;
            result.message = "no record named '" + toUtf8(part) + "' in " +
                             (parent.isZero() ? "the top level" : "'" + pathOf(wallet, result.position) + "'");
            return result;
        }
        if (matches.size() > 1) {
            result.error = exit_code::kAmbiguous;
            result.message = "'" + toUtf8(part) + "' names " + std::to_string(matches.size()) + " records";
            return result;
        }
        result.position = static_cast<std::int64_t>(matches.front());
        parent = index.at(matches.front()).id();
    }
    return result;
}

std::string pathOf(const WalletFile& wallet, std::size_t position) {
    std::string path;
    std::int64_t at = static_cast<std::int64_t>(position);
    for (int depth = 0; at >= 0 && depth < 256; ++depth) {
        std::string name = toUtf8(wallet.index().at(static_cast<std::size_t>(at)).name(wallet.recordKey()));
        std::string escaped;
        for (char c : name) {
            if (c == '/')
                escaped += "\\/";
            else
                escaped.push_back(c);
        }
        path = path.empty() ? escaped : escaped + "/" + path;
        at = wallet.index().parentOf(at);
    }
    return path;
}

}  // namespace tw::cli
