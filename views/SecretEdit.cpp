#include "views/SecretEdit.h"

namespace tw::ui {

SecretEdit::SecretEdit(QWidget* parent) : QLineEdit(parent) {
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    applyHints();
}

void SecretEdit::applyHints() {
    setInputMethodHints(inputMethodHints() | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase |
                        (m_masked ? Qt::ImhHiddenText : Qt::ImhNone));
}

void SecretEdit::setMasked(bool masked) {
    m_masked = masked;
    setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    applyHints();
}

template <typename F>
void SecretEdit::guarded(F&& handler) {
    if (m_masked) {
        handler();
        return;
    }
    setEchoMode(QLineEdit::Password);
    handler();
    setEchoMode(QLineEdit::Normal);
    applyHints();
}

void SecretEdit::mouseReleaseEvent(QMouseEvent* event) {
    guarded([&] { QLineEdit::mouseReleaseEvent(event); });
}

void SecretEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    guarded([&] { QLineEdit::mouseDoubleClickEvent(event); });
}

void SecretEdit::keyPressEvent(QKeyEvent* event) {
    guarded([&] { QLineEdit::keyPressEvent(event); });
}

}  // namespace tw::ui
