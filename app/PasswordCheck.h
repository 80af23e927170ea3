#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/File.h"
#include "storage/KeyBlock.h"
#include "storage/WalletFile.h"

namespace tw::app {

// A wallet's key block, read without its password, to check passwords typed for it and to
// fetch its hint. The wallet itself is not kept open.
class PasswordCheck {
public:
    // Reads the header and key block of the wallet at `path`: BadPath, CannotOpen, NotAWallet,
    // BadVersion or BadKeyBlock when that fails, with `check` untouched.
    static OpenResult read(FileSystem& files, const std::string& path, PasswordCheck& check);

    // False when the wallet has no check value: it was keyed without a password, and any entry
    // opens it.
    bool hasPassword() const { return m_keys.hasCheckValue(); }
    // True when `password` opens the wallet.
    bool verify(std::u16string_view password);
    // The wallet's password hint; empty when it has none.
    std::u16string hint() const;

private:
    KeyBlock m_keys;
};

}  // namespace tw::app
