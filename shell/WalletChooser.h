#pragma once

#include <optional>
#include <string>

class QWidget;

namespace tw::shell {

// Picks the wallet file to open: in the program the wallets manager (shell/WalletsManager.h),
// which also creates new wallets; in tests a scripted list.
class WalletChooser {
public:
    virtual ~WalletChooser() = default;
    // The chosen path; nullopt when the user chose nothing.
    virtual std::optional<std::string> choose(QWidget* parent) = 0;
};

}  // namespace tw::shell
