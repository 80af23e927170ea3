#pragma once

#include <QDBusUnixFileDescriptor>

#include "shell/AutoClose.h"

namespace tw::shell {

// The desktop session's signals from D-Bus: logind's session Lock signal and LockedHint
// property, its PrepareForSleep (with a delay inhibitor held while a wallet that closes itself
// is open, so that it is closed before the machine sleeps), and the screen savers' ActiveChanged
// (freedesktop, GNOME, Xfce). Without a bus, or without logind, it sends nothing.
class LogindSignals final : public SessionSignals {
    Q_OBJECT

public:
    explicit LogindSignals(QObject* parent = nullptr);
    void holdSleep(bool hold) override;

private Q_SLOTS:
    void onPrepareForSleep(bool sleeping);
    void onLock();
    void onScreenSaver(bool active);
    void onSessionProperties(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    QDBusUnixFileDescriptor m_inhibitor;
    bool m_wanted = false;
};

}  // namespace tw::shell
