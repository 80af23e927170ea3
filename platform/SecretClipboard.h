#pragma once

#include <QByteArray>
#include <QString>
#include <QTimer>

class QClipboard;

namespace tw {

// The desktop clipboard for secrets (Qt Gui; the command-line tool and the desktop program share
// it). A copied secret is marked for clipboard managers with x-kde-passwordManagerHint = secret
// so that they keep no history of it, goes to the clipboard only (never to the X primary
// selection), and is cleared after a timeout and when this object goes, in both cases only when
// the clipboard still holds it: what the user copied since is left alone. Only a hash of the
// secret is kept here.
//
// REQUIRES: a QGuiApplication exists for as long as this object.
class SecretClipboard {
public:
    static constexpr const char* kHintFormat = "x-kde-passwordManagerHint";

    explicit SecretClipboard(QClipboard* clipboard);
    ~SecretClipboard();
    SecretClipboard(const SecretClipboard&) = delete;
    SecretClipboard& operator=(const SecretClipboard&) = delete;

    // Puts `text` on the clipboard; `clearAfterMs` > 0 clears it that many milliseconds later.
    void copySecret(const QString& text, int clearAfterMs);
    // True when the clipboard still holds the last secret copied.
    bool holdsSecret() const;
    // Clears the clipboard when it still holds the last secret copied; forgets the secret.
    void clearIfOurs();
    // True while a secret is copied and not yet cleared (or replaced by someone else).
    bool pending() const { return !m_hash.isEmpty(); }

private:
    QClipboard* m_clipboard;
    QByteArray m_hash;
    QTimer m_timer;
};

}  // namespace tw
