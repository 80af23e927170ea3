#include "views/PasswordEdit.h"

#include <algorithm>

#include "storage/Bytes.h"

namespace tw::ui {

QLineEdit* makePasswordEdit(QWidget* parent, QLatin1StringView objectName, int maxLength) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(maxLength);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setDragEnabled(false);
    edit->setInputMethodHints(Qt::ImhSensitiveData | Qt::ImhNoPredictiveText | Qt::ImhHiddenText |
                              Qt::ImhNoAutoUppercase);
    return edit;
}

std::u16string secretText(const QLineEdit* edit, std::size_t maxUnits) {
    const QString text = edit->text();  // shares the edit's buffer; nothing is copied here
    const auto units = std::min<std::size_t>(static_cast<std::size_t>(text.size()), maxUnits);
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), units);
}

void wipeLineEdit(QLineEdit* edit) {
    QString text = edit->text();
    // Typed text lives in a buffer of the edit's own; text set from a literal lives in read-only
    // memory (no header) and holds no typed secret.
    if (!text.isEmpty() && text.data_ptr().d_ptr() != nullptr) {
        // `text` shares the edit's own buffer: zero it in place rather than detaching a copy.
        auto* data = const_cast<QChar*>(text.constData());
        wipe(data, static_cast<std::size_t>(text.size()) * sizeof(QChar));
    }
    text = QString();
    edit->clear();
}

void wipeText(std::u16string& text) {
    wipe(text.data(), text.size() * sizeof(char16_t));
    text.clear();
}

}  // namespace tw::ui
