#include "storage/FormatUpgrade.h"

namespace tw {

const std::u16string_view kUpgradedMessage =
    u"Your wallet file format has been updated.\n\nIf you are also using Tallowmere Pro Desktop Edition,\n"
    u"please open/unlock your wallet file(s) with the Desktop Edition\nto update the files before synchronizing.";

namespace {
constexpr std::u16string_view kCaption = u"Tallowmere Pro";
}  // namespace

ReencryptResult upgradeOpenWallet(WalletFile& wallet, UpgradeProgress* progress, ReencryptStats* stats) {
    if (!wallet.isOpen() || !wallet.oldFormat()) return ReencryptResult::HeaderUnreadable;
    Env& env = wallet.env();
    KeyRecord oldKey;
    oldKey.set(wallet.keys().oldRecordKey.data());
    const KeyRecord newKey = wallet.recordKey();
    HeaderBlock header = wallet.header();
    KeyBlock keys = wallet.keys();
    SettingsBlock settings = wallet.settings();

    ReencryptResult result = ReencryptResult::Done;
    const bool swapped = wallet.replaceFile([&](File& in, File& out) {
        if (header.write(&out) != FileResult::Done || keys.write(&out, env.random) != FileResult::Done ||
            settings.write(&out) != FileResult::Done) {
            result = ReencryptResult::HeaderWriteFailed;
            return false;
        }
        if (!in.seekTo(WalletFile::kFirstRecord)) {
            result = ReencryptResult::HeaderUnreadable;
            return false;
        }
        ReencryptContext context{in, out, oldKey, newKey, env.system, env.clock.localTime(), progress, {}, false};
        result = reencryptPass(context);
        if (stats != nullptr) *stats = context.stats;
        return result == ReencryptResult::Done;
    });
    if (progress != nullptr) progress->finish();
    env.system.pause(100);
    // The records went through but the new file could not be made, synced or swapped in.
    if (!swapped && result == ReencryptResult::Done) result = ReencryptResult::HeaderWriteFailed;
    return result;
}

UpgradeOutcome openOrUpgrade(WalletFile& wallet, const std::string& path, std::optional<std::u16string_view> password,
                             bool readOnly, UpgradeProgress* progress) {
    const std::string kept = path;  // `path` may be the wallet's own, which closing clears
    auto openAsAsked = [&] {
        return readOnly ? wallet.readAll(kept, password, true) : wallet.openWithRepair(kept, password, false);
    };
    struct Forget {
        WalletFile& wallet;
        ~Forget() { wallet.forgetUpgradeAgreement(); }
    } forget{wallet};

    UpgradeOutcome outcome;
    outcome.open = openAsAsked();
    if (outcome.open != OpenResult::OldFormat) return outcome;
    if (readOnly) {
        // The upgrade writes; the user's agreement was given, so it is not asked again.
        wallet.close();
        outcome.open = wallet.open(kept, password, false);
        if (outcome.open != OpenResult::OldFormat) {
            wallet.close();
            return outcome;
        }
    }
    outcome.pass = upgradeOpenWallet(wallet, progress, &outcome.stats);
    wallet.close();
    if (*outcome.pass != ReencryptResult::Done) {
        outcome.open = OpenResult::OldFormat;
        return outcome;
    }
    outcome.open = openAsAsked();
    if (outcome.open == OpenResult::Ok)
        wallet.env().prompt.tell(std::u16string(kUpgradedMessage), std::u16string(kCaption), Icon::Information);
    return outcome;
}

}  // namespace tw
