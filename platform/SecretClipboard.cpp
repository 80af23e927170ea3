#include "platform/SecretClipboard.h"

#include <QClipboard>
#include <QCryptographicHash>
#include <QMimeData>

namespace tw {
namespace {

QByteArray hashOf(const QString& text) {
    return QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256);
}

}  // namespace

SecretClipboard::SecretClipboard(QClipboard* clipboard) : m_clipboard(clipboard) {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { clearIfOurs(); });
}

SecretClipboard::~SecretClipboard() {
    clearIfOurs();
}

void SecretClipboard::copySecret(const QString& text, int clearAfterMs) {
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QString::fromLatin1(kHintFormat), QByteArrayLiteral("secret"));
    m_clipboard->setMimeData(data, QClipboard::Clipboard);
    m_hash = hashOf(text);
    if (clearAfterMs > 0)
        m_timer.start(clearAfterMs);
    else
        m_timer.stop();
}

bool SecretClipboard::holdsSecret() const {
    if (m_hash.isEmpty()) return false;
    const QMimeData* data = m_clipboard->mimeData(QClipboard::Clipboard);
    return data != nullptr && data->hasText() && hashOf(data->text()) == m_hash;
}

void SecretClipboard::clearIfOurs() {
    m_timer.stop();
    if (holdsSecret()) m_clipboard->clear(QClipboard::Clipboard);
    m_hash.clear();
}

}  // namespace tw
