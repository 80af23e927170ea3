#include "shell/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <memory>

namespace tw::shell {

QByteArray encodeInstanceMessage(const InstanceMessage& message) {
    const QByteArray text = message.text.toUtf8();
    const auto length = static_cast<quint32>(1 + text.size());
    QByteArray frame;
    for (int i = 0; i < 4; ++i) frame.append(static_cast<char>((length >> (8 * i)) & 0xFF));
    frame.append(static_cast<char>(message.type));
    frame.append(text);
    return frame;
}

std::optional<InstanceMessage> InstanceMessageReader::next() {
    if (m_failed || m_buffer.size() < 4) return std::nullopt;
    quint32 length = 0;
    for (int i = 0; i < 4; ++i) length |= static_cast<quint32>(static_cast<quint8>(m_buffer[i])) << (8 * i);
    if (length < 1 || length > kMaxInstanceFrame) {
        m_failed = true;
        return std::nullopt;
    }
    if (static_cast<quint32>(m_buffer.size()) < 4 + length) return std::nullopt;
    const auto type = static_cast<quint8>(m_buffer[4]);
    if (type < static_cast<quint8>(InstanceMessageType::Activate) ||
        type > static_cast<quint8>(InstanceMessageType::ImportForm)) {
        m_failed = true;
        return std::nullopt;
    }
    InstanceMessage message{static_cast<InstanceMessageType>(type),
                            QString::fromUtf8(m_buffer.constData() + 5, static_cast<qsizetype>(length - 1))};
    m_buffer.remove(0, static_cast<qsizetype>(4 + length));
    return message;
}

SingleInstance::SingleInstance(QString folder, QObject* parent) : QObject(parent), m_folder(std::move(folder)) {}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
    if (m_lockFd >= 0) ::close(m_lockFd);
}

QString SingleInstance::socketPath() const {
    return m_folder + QLatin1Char('/') + QLatin1String(kInstanceName);
}

SingleInstance::Role SingleInstance::start() {
    if (m_folder.isEmpty()) return Role::Primary;
    const QByteArray lockPath = QFile::encodeName(socketPath() + QStringLiteral(".lock"));
    m_lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lockFd < 0) return Role::Primary;
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
        return Role::Secondary;
    }
    // Ours now: whatever socket is there was left by a run that ended.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(socketPath())) connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return Role::Primary;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto reader = std::make_shared<InstanceMessageReader>();
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] {
            reader->append(socket->readAll());
            while (const auto message = reader->next()) emit received(*message);
            if (reader->failed()) socket->abort();
        });
    }
}

bool SingleInstance::send(const InstanceMessage& message, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
            socket.write(encodeInstanceMessage(message));
            const bool written =
                socket.waitForBytesWritten(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))) ||
                socket.bytesToWrite() == 0;
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(1000);
            return written;
        }
        // The first program holds the lock but may not listen yet.
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
}

QString runtimeFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists()) return QString::fromLocal8Bit(runtime);
    const QString folder = QDir::tempPath() + QStringLiteral("/halvotmpro2006-") + QString::number(::getuid());
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 0077) != 0)
        return {};
    return folder;
}

}  // namespace tw::shell
