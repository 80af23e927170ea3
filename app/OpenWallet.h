#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "app/PasswordCheck.h"
#include "platform/Registry.h"
#include "platform/StringTable.h"
#include "storage/ReencryptPass.h"
#include "storage/WalletConversion.h"
#include "storage/WalletFile.h"

namespace tw::app {

// What a password question is about.
struct PasswordRequest {
    std::u16string walletName;  // the file name without folder and extension
    // The wallet's key block when the answer can be checked as it is typed (the program's
    // dialog checks each entry and offers the hint); null for an older wallet being converted.
    PasswordCheck* check = nullptr;
};

// Asks for a wallet's password: the program's dialog, or tmpro's terminal.
class PasswordAsker {
public:
    virtual ~PasswordAsker() = default;
    // The password, or nullopt when the user cancelled. With a check, the program's dialog
    // returns only a password that verifies; other askers may return any text.
    virtual std::optional<std::u16string> askPassword(const PasswordRequest& request) = 0;
};

struct OpenRequest {
    std::string path;
    bool readOnly = false;
    // Offer to convert an older wallet (".wal") into a new one first, as the program does.
    bool offerConversion = false;
    // Where the conversion looks for custom forms files (storage/WalletConversion.h).
    std::string programFolder;
    Registry* registry = nullptr;
    UpgradeProgress* progress = nullptr;  // the upgrade's progress; may be null
    // How long to wait for another program that has the wallet open for writing to let go of it.
    std::chrono::milliseconds lockWait{0};
    // The caller has already read the file's blocks and, for a writer, waited for other programs
    // to let go of it (tmpro does before it asks the password): steps 3 and the wait are left
    // out, and the password question comes without a check.
    bool fileChecked = false;
};

// Where an open stopped.
enum class OpenStage {
    Opened,     // the wallet is open with its records read
    Probe,      // the file is no wallet, or cannot be read (before any question)
    Cancelled,  // the password question was cancelled
    Open,       // the wallet could not be opened with the password (result says why)
};

struct OpenOutcome {
    OpenStage stage = OpenStage::Probe;
    OpenResult result = OpenResult::Ok;
    std::optional<ReencryptResult> pass;  // set when an upgrade ran
    std::string path;                     // the wallet asked for, or the converted wallet
    // Set when the wallet could not be opened because another program holds it: who, as far as
    // can be told (empty when not).
    std::optional<std::string> lockHolder;
    bool opened() const { return stage == OpenStage::Opened; }
};

// Opens a wallet for use, as the program and tmpro both do:
//   1. with offerConversion, an older ".wal" wallet is offered for conversion (see
//      convertOnOpen) and, when converted, the new wallet is opened in its place;
//   2. a wallet already open in `wallet` is flushed (unless read-only) and closed;
//   3. the file's blocks are read without a password; a failure ends at OpenStage::Probe;
//   4. the password is asked (with the check, so that a dialog can verify each entry);
//   5. the wallet is opened with it: upgraded when old (the user is asked), repaired when
//      damaged (the user is asked; not for a read-only open), and its records read.
// The password is wiped before returning.
OpenOutcome openWallet(WalletFile& wallet, const OpenRequest& request, PasswordAsker& asker);

// Waits up to `wait` for the file to be free for writing: nullopt when it is, else who holds it
// (empty when that cannot be told).
std::optional<std::string> waitForLock(FileSystem& files, const std::string& path, std::chrono::milliseconds wait);

// String ids of the texts about a wallet held by another program.
namespace lock_text {
constexpr std::uint32_t kHeldBy = 29510;  // %s: the wallet's name, %s: the program holding it
constexpr std::uint32_t kHeld = 29511;    // %s: the wallet's name
}  // namespace lock_text

// The file name without folder and extension, as wallets are named to the user.
std::u16string walletDisplayName(const std::string& path);

// The message the program shows for a failed open (caption 20500, stop icon); empty when none is
// shown (a cancelled question, a declined upgrade).
std::u16string openFailureText(const StringTable& strings, const OpenOutcome& outcome);

// Converting an older wallet on the way: asks whether to convert (22012), asks the old wallet's
// password, converts, and tells the outcome. Returns the new wallet's path, or nullopt when
// nothing was converted.
std::optional<std::string> convertOnOpen(Env& env, const OpenRequest& request, PasswordAsker& asker);

}  // namespace tw::app
