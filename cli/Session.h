#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "storage/WalletFile.h"

namespace tw::cli {

// A one-line description of an open failure, for the error stream.
std::string describe(OpenResult result);
// The exit code for an open failure.
int exitCodeFor(OpenResult result);
// Prints "tmpro: PATH: <description>" on the error stream; the exit code for the failure.
int reportOpenFailure(Context& context, const std::string& path, OpenResult result);

// "the wallet is locked by another program ... (HOLDER)", with how long it was waited for.
std::string lockedText(const std::string& holder, std::chrono::milliseconds waited);

// Checks, before any password is asked, that `path` is a wallet file this command can use: it
// exists, is no folder, can be read (and written, `forWriting`), is not locked by another
// program, and starts as a wallet does. 0, or the exit code after saying why not.
// `looksLikeWallet` false skips the last check (for the repair of damaged fixed blocks).
int checkWalletFile(Context& context, const std::string& path, bool forWriting, bool looksLikeWallet = true);

// One command's use of a wallet: asks the password, opens and reads the wallet (offering the
// repair of a damaged one), and writes the changed blocks back at the end.
class Session {
public:
    explicit Session(Context& context) : m_context(context), m_wallet(context.env) {}
    ~Session();

    // The one way tmpro opens a wallet: checks the file, asks the password, opens and reads the
    // wallet (upgrading an old-format one, offering the repair of a damaged one). Returns kOk when
    // the wallet is open with its records read; else prints why and returns the exit code.
    int open(const std::string& path, bool readOnly);
    // Flushes the changed blocks and closes; the exit code.
    int finish();

    WalletFile& wallet() { return m_wallet; }
    const std::u16string& password() const { return m_password; }
    // Prints "tmpro: <message>" on the error stream and returns `code`.
    int fail(int code, const std::string& message);

private:
    Context& m_context;
    WalletFile m_wallet;
    std::u16string m_password;
};

// A name as tmpro prints it: line feeds, carriage returns and tabs as \n, \r and \t, other
// control characters as \xNN, so that every name stays on its line. resolvePath reads
// these escapes back.
std::string printableName(std::u16string_view name);
// Appends the name as printableName writes it; as a path segment also with "/" written "\/".
void appendPrintable(std::string& out, std::u16string_view name, bool asSegment);

// A record's identifier as 32 lowercase hexadecimal digits, as `tree --ids` shows it.
std::string idText(const RecordId& id);

// A record named by a path of names from the top level, "/" between them ("\/" for a slash
// inside a name), compared without case; or by "#" and its identifier (at least its first 8
// hexadecimal digits), which reaches records whose names are not unique. Deleted records are
// never matched.
struct Resolved {
    std::int64_t position = -1;  // -1: the top level (for an empty path)
    int error = exit_code::kOk;  // kNotFound or kAmbiguous
    std::string message;
};
Resolved resolvePath(const WalletFile& wallet, const std::string& path);
// The path of an index entry, as resolvePath reads it.
std::string pathOf(const WalletFile& wallet, std::size_t position);

}  // namespace tw::cli
