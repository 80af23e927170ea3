#include "views/DialogPasswordAsker.h"

#include "views/EnterPasswordDialog.h"

namespace tw::ui {

std::optional<std::u16string> DialogPasswordAsker::askPassword(const app::PasswordRequest& request) {
    EnterPasswordDialog dialog(m_ui, request.walletName, request.check, m_parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.takePassword();
}

}  // namespace tw::ui
