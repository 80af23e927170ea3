#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "storage/ReencryptPass.h"
#include "storage/WalletFile.h"

namespace tw {

// The text shown once an old-format wallet was upgraded (caption "Tallowmere Pro").
extern const std::u16string_view kUpgradedMessage;

// Upgrades the open old-format wallet (REQUIRES: its open gave OldFormat). The whole new wallet
// is written beside it — the header block with the current version text, the key block with the
// current check value and new filler, the settings block, and every record re-enciphered from the
// old record key to the record key made from the password (reencryptPass) — and swapped in by one
// rename. Until that rename the wallet file is untouched, still old-format and still holding its
// old record key, so a failure or an interruption at any point leaves it as it was and a later
// open upgrades it afresh. Progress goes to `progress` (may be null), and once the pass ended the
// bar is finished and a pause of 100 ms follows. `*stats` (may be null) receives the counters.
// The wallet stays open (on the new file after success); the caller closes and reopens it.
ReencryptResult upgradeOpenWallet(WalletFile& wallet, UpgradeProgress* progress, ReencryptStats* stats);

// How openOrUpgrade went.
struct UpgradeOutcome {
    OpenResult open = OpenResult::Ok;     // the final open; OldFormat when the upgrade failed
    std::optional<ReencryptResult> pass;  // set when an upgrade ran
    ReencryptStats stats;
};

// Opens a wallet for use, upgrading an old-format one on the way. The one entry point for every
// caller that opens a wallet (the GUI, tmpro):
//   - read-only: readAll; otherwise openWithRepair (which offers to repair a damaged wallet);
//   - an old-format wallet asks the upgrade question (declined: UpgradeDeclined, nothing
//     changed); agreed, it is upgraded (upgradeOpenWallet, on a wallet opened for writing even
//     when `readOnly` was asked), closed and opened again as asked, and the user is told
//     (kUpgradedMessage) once it opened;
//   - when the upgrade fails the wallet is closed, left as it was, and `open` is OldFormat.
// On Ok the wallet is open with its records read, as after readAll.
UpgradeOutcome openOrUpgrade(WalletFile& wallet, const std::string& path, std::optional<std::u16string_view> password,
                             bool readOnly, UpgradeProgress* progress);

}  // namespace tw
