#pragma once

#include <optional>
#include <string>

class QWidget;

namespace tw::ui {
struct UiContext;
}

namespace tw::shell {

// Picks the wallet file to open. The wallets manager will list, create, copy and delete wallets;
// until then the program asks with the desktop's file dialog, in the user's documents folder.
class WalletChooser {
public:
    virtual ~WalletChooser() = default;
    // The chosen path; nullopt when the user chose nothing.
    virtual std::optional<std::string> choose(QWidget* parent) = 0;
};

class FileDialogChooser final : public WalletChooser {
public:
    explicit FileDialogChooser(const ui::UiContext& ui) : m_ui(ui) {}
    std::optional<std::string> choose(QWidget* parent) override;

private:
    const ui::UiContext& m_ui;
};

}  // namespace tw::shell
