#pragma once

#include <string>

#include "app/PasswordRules.h"
#include "views/FrameDialog.h"

class QCheckBox;
class QLineEdit;
class QTimer;

namespace tw::app {
class PasswordCheck;
}

namespace tw::ui {

// Asks for a wallet's password. Pocket PC: a text box over a large numeric keypad (digits, Clear,
// Back, OK); Smartphone: a text box with "Use numeric entry", which switches it to digits and
// is kept in the "Pass.Numeric" setting. With a check, every entry is verified before the dialog
// accepts it: a wrong one is said so (27006), the box emptied and the two minutes start again,
// and after the fifth failure the hint is shown once. An empty entry cancels. Two minutes without
// a successful entry cancel the dialog. The box is wiped when the dialog closes.
class EnterPasswordDialog final : public FrameDialog {
    Q_OBJECT

public:
    // `walletName` may be empty; `check` may be null (then any entry is returned).
    EnterPasswordDialog(const UiContext& ui, const std::u16string& walletName, app::PasswordCheck* check,
                        QWidget* parent = nullptr);
    ~EnterPasswordDialog() override;

    // The accepted password (at most 23 units); the caller owns and wipes it. Empty after a cancel.
    std::u16string takePassword();

    // The countdown's tick, one second unless a test makes it shorter.
    void setTickInterval(int milliseconds);
    int secondsLeft() const { return m_countdown.secondsLeft(); }

    void accept() override;
    void done(int result) override;

private:
    QWidget* makeKeypad(QWidget* parent);
    void pressDigit(int digit);
    void pressBack();
    void pressClear();
    void setNumeric(bool numeric);
    void tick();

    app::PasswordCheck* m_check;
    QLineEdit* m_edit = nullptr;
    QCheckBox* m_numeric = nullptr;
    QTimer* m_timer = nullptr;
    app::AutoCancel m_countdown;
    app::PasswordAttempts m_attempts;
    std::u16string m_password;
};

}  // namespace tw::ui
