#include "storage/ChangePassword.h"

#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/CreateWallet.h"
#include "storage/ReencryptPass.h"

namespace tw {

PasswordChangeResult changePassword(WalletFile& wallet, std::u16string_view oldPassword,
                                    std::u16string_view newPassword, std::optional<std::u16string_view> newHint) {
    if (!wallet.isOpen()) return PasswordChangeResult::Failed;
    if (!wallet.keys().verifyPassword(oldPassword)) return PasswordChangeResult::WrongOldPassword;
    if (newPassword.size() < kMinPassword || newPassword.size() > kMaxPassword || !isValidUtf16(newPassword))
        return PasswordChangeResult::BadNewPassword;

    Env& env = wallet.env();
    const SystemTime now = env.clock.localTime();
    const KeyRecord oldKey = wallet.keys().recordKey;
    KeyBlock keys = wallet.keys();
    keys.setPassword(newPassword, now);
    keys.setHint(newHint, now);
    HeaderBlock header = wallet.header();

    const bool ok = wallet.replaceFile([&](File& in, File& out) {
        if (header.write(&out) != FileResult::Done) return false;
        if (keys.write(&out, env.random) != FileResult::Done) return false;
        if (wallet.settings().write(&out) != FileResult::Done) return false;
        if (!in.seekTo(WalletFile::kFirstRecord)) return false;
        // Item by item, as the format upgrade does: what the card reader would refuse or leave
        // out is carried byte for byte, so no record stays behind under the old key.
        ReencryptContext context{in, out, oldKey, keys.recordKey, env.system, now, nullptr, {}, true};
        return reencryptPass(context) == ReencryptResult::Done;
    });
    if (!ok) return PasswordChangeResult::Failed;

    env.prompt.tell(env.strings.text(22006), env.strings.text(20001), Icon::Information);
    const std::string path = wallet.path();
    wallet.close();
    const OpenResult reopened = wallet.readAll(path, newPassword, false);
    return reopened == OpenResult::Ok ? PasswordChangeResult::Ok : PasswordChangeResult::Failed;
}

}  // namespace tw
