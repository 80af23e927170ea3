#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>
#include <vector>

class QLocalServer;

namespace tw::shell {

// The name that marks the running program ("hgtmpro5.mtx" on the device, together with its main
// window's class name). Its lock file and socket live in the user's runtime folder.
inline constexpr char kInstanceName[] = "hgtmpro5.mtx";

// What a second start asks of the first. The setup driver sends Close before removing the program.
enum class InstanceMessageType : quint8 {
    Activate = 1,   // bring the windows to the front
    SyncStart = 2,  // started with a synchronisation argument
    SyncEnd = 3,
    Close = 4,       // end the program as Exit does
    OpenFile = 5,    // open this wallet (the text is its path)
    ImportForm = 6,  // offer this form-layout file for import into the open wallet (its path)
};

struct InstanceMessage {
    InstanceMessageType type = InstanceMessageType::Activate;
    QString text;
    bool operator==(const InstanceMessage&) const = default;
};

// Messages on the socket: a 32-bit little-endian length of what follows, one type byte, then the
// text in UTF-8. A frame of more than kMaxInstanceFrame bytes, or of an unknown type, is refused.
inline constexpr quint32 kMaxInstanceFrame = 64 * 1024;
QByteArray encodeInstanceMessage(const InstanceMessage& message);

// Takes bytes as they arrive and hands out whole messages.
class InstanceMessageReader {
public:
    void append(const QByteArray& bytes) { m_buffer.append(bytes); }
    // The next whole message; nullopt when more bytes are needed or the stream is bad (failed()).
    std::optional<InstanceMessage> next();
    bool failed() const { return m_failed; }

private:
    QByteArray m_buffer;
    bool m_failed = false;
};

// One program per user session. The first start takes an exclusive lock on
// "<folder>/hgtmpro5.mtx.lock" and listens on the socket "<folder>/hgtmpro5.mtx" (user-only); a
// lock that a crashed run left behind is released with its process, and its socket is replaced,
// so a stale socket never blocks a start. A later start finds the lock taken and sends its
// message to the socket.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Role { Primary, Secondary };

    // `folder`: where the lock and socket live (runtimeFolder() in the program).
    explicit SingleInstance(QString folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock (Primary, listening) or finds it taken (Secondary). When the folder cannot
    // be used the program runs as Primary without the guard.
    Role start();
    // Secondary: sends one message, trying for up to `timeoutMs` while the first program is still
    // starting. False when it could not be delivered.
    bool send(const InstanceMessage& message, int timeoutMs = 5000);

    QString socketPath() const;

signals:
    void received(const tw::shell::InstanceMessage& message);

private:
    void accept();

    QString m_folder;
    int m_lockFd = -1;
    QLocalServer* m_server = nullptr;
};

// $XDG_RUNTIME_DIR when set and usable; else a folder of the user's own under the temporary
// folder, made with mode 0700 and refused when it is not a real folder owned by the user alone.
// Empty when there is none.
QString runtimeFolder();

}  // namespace tw::shell
