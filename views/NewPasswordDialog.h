#pragma once

#include <string>

#include "app/PasswordRules.h"
#include "views/FrameDialog.h"

class QCheckBox;
class QLineEdit;
class QTimer;

namespace tw::ui {

// Asks for a new password twice and an optional hint, for a new wallet or a change of password.
// A password of 3 to 23 characters that matches its confirmation is accepted; otherwise the
// dialog says why (27003, 27004, 27007) and stays open with its two minutes started again. Two
// minutes without an accepted entry cancel it. The boxes are wiped when the dialog closes.
class NewPasswordDialog final : public FrameDialog {
    Q_OBJECT

public:
    enum class Purpose { NewWallet, ChangePassword };

    NewPasswordDialog(const UiContext& ui, Purpose purpose, QWidget* parent = nullptr);
    ~NewPasswordDialog() override;

    // The accepted password (the caller owns and wipes it) and hint (may be empty).
    std::u16string takePassword();
    std::u16string hint() const { return m_hint; }

    void setTickInterval(int milliseconds);
    int secondsLeft() const { return m_countdown.secondsLeft(); }

    void accept() override;
    void done(int result) override;

private:
    void setNumeric(bool numeric);
    void tick();

    QLineEdit* m_password = nullptr;
    QLineEdit* m_confirm = nullptr;
    QLineEdit* m_hintEdit = nullptr;
    QCheckBox* m_numeric = nullptr;
    QTimer* m_timer = nullptr;
    app::AutoCancel m_countdown;
    std::u16string m_accepted;
    std::u16string m_hint;
};

}  // namespace tw::ui
