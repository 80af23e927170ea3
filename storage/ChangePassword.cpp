#include "storage/ChangePassword.h"

#include "model/Card.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/CreateWallet.h"
#include "storage/RecordCursor.h"

namespace tw {
namespace {

// Copies the records of `in` (positioned at the first record) to `out`, re-enciphering every live
// record's name and card body from `oldKey` to `newKey`. Deletion markers are copied as they are.
bool reencipherRecords(WalletFile& wallet, File& in, File& out, const KeyRecord& oldKey, const KeyRecord& newKey,
                       const SystemTime& now) {
    RecordCursor cursor(in);
    for (;;) {
        wallet.env().system.pause(1);
        RecordHeader h;
        const RecordCursor::Step step = cursor.next(h);
        if (step == RecordCursor::Step::End) return true;
        if (step != RecordCursor::Step::Record) return false;
        if (h.deleted()) {
            if (!wallet.copyRange(in, cursor.start(), cursor.end() - cursor.start(), out)) return false;
        } else {
            std::u16string name = h.name(oldKey);
            h.putName(name, newKey);
            h.markChange(change::kRenamed, now);
            wipe(name.data(), name.size() * sizeof(char16_t));
            if (h.type() == RecordType::Card) {
                Card card;
                const std::uint32_t bodyLength = h.bodyLength();
                card.setHeader(h);
                if (!card.readBody(&in, bodyLength, oldKey)) return false;
                if (writeCard(&out, card, newKey, now) != CardWriteResult::Ok) return false;
            } else {
                h.setBodyLength(0);
                h.setWord(RecordHeader::kTail, 0);
                if (writeRecord(&out, h, now) != FileResult::Done) return false;
            }
        }
        if (!cursor.skipBody()) return false;
    }
}

}  // namespace

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
        return reencipherRecords(wallet, in, out, oldKey, keys.recordKey, now);
    });
    if (!ok) return PasswordChangeResult::Failed;

    env.prompt.tell(env.strings.text(22006), env.strings.text(20001), Icon::Information);
    const std::string path = wallet.path();
    wallet.close();
    const OpenResult reopened = wallet.readAll(path, newPassword, false);
    return reopened == OpenResult::Ok ? PasswordChangeResult::Ok : PasswordChangeResult::Failed;
}

}  // namespace tw
