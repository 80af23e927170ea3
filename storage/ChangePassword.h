#pragma once

#include <optional>
#include <string_view>

#include "storage/WalletFile.h"

namespace tw {

enum class PasswordChangeResult : int {
    Ok = 0,
    WrongOldPassword = 1,  // nothing was changed
    BadNewPassword = 2,    // not 3 to 23 code units, or not valid text; nothing was changed
    Failed = 3,            // a record could not be read or the new file not written; nothing was changed
};

// Changes the password of the open wallet and sets a new hint (none clears it). Every live
// record is re-enciphered under the new record key item by item (reencryptPass), so the bytes of
// what no card reader would take (unknown sub-records, an eleventh file, reserved words, a body
// too short or overrunning) are carried as they are and nothing stays behind under the old key. The new wallet is
// written beside the old one and swapped in whole, so a failure at any point leaves the wallet as it was, under the old
// password. On success the wallet is reopened with the new password and the user is told.
PasswordChangeResult changePassword(WalletFile& wallet, std::u16string_view oldPassword,
                                    std::u16string_view newPassword, std::optional<std::u16string_view> newHint);

}  // namespace tw
