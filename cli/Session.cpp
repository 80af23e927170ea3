#include "cli/Session.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ostream>
#include <thread>

#include "app/OpenWallet.h"
#include "cli/UpgradeCommands.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/WalletInfo.h"

namespace tw::cli {

std::string describe(OpenResult r) {
    switch (r) {
        case OpenResult::Ok:
            return "opened";
        case OpenResult::BadPath:
            return "the wallet path is too short (at least 6 characters)";
        case OpenResult::CannotOpen:
            return "the wallet file cannot be opened (missing, no permission, or locked by another program)";
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
    m_context.err << "tmpro: " << message;
    switch (m_wallet.isOpen() ? m_wallet.writeProblem() : WriteProblem::None) {
        case WriteProblem::None:
            break;
        case WriteProblem::LeftoverInTheWay:
            m_context.err << " (" << m_wallet.replacementPath()
                          << " is in the way and cannot be removed; remove or rename it)";
            break;
        case WriteProblem::OwnerNotKept:
            m_context.err << " (the rewritten wallet could not be given the file's owner, group, mode or extended "
                             "attributes, so it was not swapped in; change it as the file's owner)";
            break;
    }
    m_context.err << "\n";
    return code;
}

std::string lockedText(const std::string& holder, std::chrono::milliseconds waited) {
    std::string text = "the wallet is locked by another program that has it open";
    if (!holder.empty()) text += " (" + holder + ")";
    if (waited.count() > 0) {
        text += "; waited " + std::to_string(std::chrono::duration_cast<std::chrono::seconds>(waited).count()) + " s";
    }
    return text + " (wait longer with --wait SECONDS)";
}

int checkWalletFile(Context& context, const std::string& path, bool forWriting, bool looksLikeWallet) {
    auto fail = [&](int code, const std::string& why) {
        context.err << "tmpro: " << path << ": " << why << "\n";
        return code;
    };
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return fail(exit_code::kNotAWallet, "no such file");
        return fail(exit_code::kNotAWallet, std::string("cannot be opened: ") + std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode)) return fail(exit_code::kNotAWallet, "is a folder, not a wallet file");
    if (!S_ISREG(st.st_mode)) return fail(exit_code::kNotAWallet, "is not a regular file");
    if (::access(path.c_str(), R_OK) != 0)
        return fail(exit_code::kNotAWallet, "permission denied (the file cannot be read)");
    if (forWriting && ::access(path.c_str(), W_OK) != 0)
        return fail(exit_code::kNotAWallet, "the file is read-only; this command changes the wallet");
    // The look at the blocks below opens the file; only without it is it opened here.
    bool empty = st.st_size == 0;
    if (!looksLikeWallet) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return fail(exit_code::kNotAWallet, std::string("cannot be opened: ") + std::strerror(errno));
        unsigned char head[8] = {};
        empty = ::read(fd, head, sizeof head) <= 0;
        ::close(fd);
    }
    // Writers hold an exclusive lock for as long as the wallet is open, readers a shared one while
    // they read: a writer waits for them (--wait) before the password is asked.
    if (forWriting) {
        if (const std::optional<std::string> holder =
                app::waitForLock(context.env.files, path, context.env.files.lockWait()))
            return fail(exit_code::kNotAWallet, lockedText(*holder, context.env.files.lockWait()));
    }
    if (empty) return fail(exit_code::kNotAWallet, "the file is empty: this is not a wallet file");
    if (!looksLikeWallet) return exit_code::kOk;
    WalletInfo info;
    const OpenResult r = inspectWallet(context.env, path, info, InspectDepth::Blocks);
    if (r == OpenResult::CannotOpen)
        return fail(exit_code::kNotAWallet, std::string("cannot be opened: ") + std::strerror(errno));
    if (r == OpenResult::NotAWallet || r == OpenResult::BadVersion || r == OpenResult::BadPath)
        return reportOpenFailure(context, path, r);
    return exit_code::kOk;
}

namespace {

// tmpro's answer to the open's password question: the password the session read before opening
// (terminal, standard input, a descriptor or a file), already checked to be text.
class KnownPassword final : public app::PasswordAsker {
public:
    explicit KnownPassword(const std::u16string& password) : m_password(password) {}
    std::optional<std::u16string> askPassword(const app::PasswordRequest&) override { return m_password; }

private:
    const std::u16string& m_password;
};

}  // namespace

int Session::open(const std::string& path, bool readOnly) {
    if (const int r = checkWalletFile(m_context, path, !readOnly)) return r;
    if (const int r = m_context.passwords.read("Password for " + path + ": ", m_password)) return r;
    KnownPassword asker(m_password);
    // Old-format wallets are upgraded on the way, after the user agreed (--yes agrees).
    TerminalProgress progress(m_context.err);
    app::OpenRequest request;
    request.path = path;
    request.readOnly = readOnly;
    request.progress = &progress;
    // The file was looked at and, for a writer, waited for above: the open does not do it again.
    request.fileChecked = true;
    const app::OpenOutcome outcome = app::openWallet(m_wallet, request, asker);
    const OpenResult r = outcome.result;
    if (outcome.pass && *outcome.pass != ReencryptResult::Done) {
        return fail(exit_code::kFailed, path + ": the upgrade to the current format failed: " +
                                            describe(*outcome.pass) + "; the wallet was left as it was");
    }
    if (r == OpenResult::CannotOpen && !readOnly) {
        // Another writer may have taken the wallet since the check.
        if (const std::optional<std::string> holder = m_context.env.files.lockHolder(path))
            return fail(exit_code::kNotAWallet, path + ": " + lockedText(*holder, m_context.env.files.lockWait()));
    }
    if (r != OpenResult::Ok) return fail(exitCodeFor(r), path + ": " + describe(r));
    if (m_wallet.cutShortAt()) {
        m_context.err << "tmpro: warning: " << path
                      << ": the wallet's last record is incomplete (a change was interrupted) and is left out;"
                         " run: tmpro repair WALLET to keep what it holds\n";
    }
    if (m_wallet.leftoverInTheWay()) {
        m_context.err << "tmpro: warning: " << m_wallet.replacementPath()
                      << " is left from an earlier run and cannot be removed (a folder, or not yours):"
                         " changes that rewrite the whole wallet fail until it is removed\n";
    }
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
        } else if (path[i] == '\\' && i + 1 < path.size() &&
                   (path[i + 1] == 'n' || path[i + 1] == 'r' || path[i + 1] == 't')) {
            current.push_back(path[i + 1] == 'n' ? '\n' : path[i + 1] == 'r' ? '\r' : '\t');
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

std::string printableName(std::u16string_view name) {
    std::string out;
    appendPrintable(out, name, false);
    return out;
}

void appendPrintable(std::string& out, std::u16string_view name, bool asSegment) {
    // Most names are printable ASCII that needs no escape: they go over as they are.
    bool plain = true;
    for (const char16_t c : name) plain = plain && c >= 0x20 && c < 0x7F && !(asSegment && c == u'/');
    if (plain) {
        const std::size_t at = out.size();
        out.resize(at + name.size());
        for (std::size_t i = 0; i < name.size(); ++i) out[at + i] = static_cast<char>(name[i]);
        return;
    }
    for (const char c : toUtf8(name)) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' && asSegment) {
            out += "\\/";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
}

std::string idText(const RecordId& id) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : id.bytes) {
        text.push_back(kHex[b >> 4]);
        text.push_back(kHex[b & 15]);
    }
    return text;
}

namespace {

// "#" and 8 to 32 hexadecimal digits: the start of a record identifier.
bool isIdPath(const std::string& path) {
    if (path.size() < 9 || path.size() > 33 || path[0] != '#') return false;
    return path.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
}

}  // namespace

Resolved resolvePath(const WalletFile& wallet, const std::string& path) {
    Resolved result;
    if (isIdPath(path)) {
        std::string wanted = path.substr(1);
        for (char& ch : wanted) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        std::vector<std::size_t> matches;
        for (std::size_t i = 0; i < wallet.index().count(); ++i) {
            const IndexEntry& h = wallet.index().at(i);
            if (!h.deleted() && idText(h.id()).rfind(wanted, 0) == 0) matches.push_back(i);
        }
        if (matches.size() == 1) {
            result.position = static_cast<std::int64_t>(matches.front());
            return result;
        }
        if (matches.size() > 1) {
            result.error = exit_code::kAmbiguous;
            result.message =
                "'" + path + "' starts " + std::to_string(matches.size()) + " identifiers; give more digits";
            return result;
        }
        // No identifier starts so: the text may be a name.
    }
    const WalletIndex& index = wallet.index();
    RecordId parent{};
    for (const std::u16string& part : splitPath(path)) {
        std::vector<std::size_t> matches;
        for (std::size_t i = 0; i < index.count(); ++i) {
            const IndexEntry& h = index.at(i);
            if (h.deleted() || h.parent() != parent) continue;
            if (equalNoCase(h.nameView(), part)) matches.push_back(i);
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
        std::string name = printableName(wallet.index().at(static_cast<std::size_t>(at)).name());
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
