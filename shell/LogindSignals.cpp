#include "shell/LogindSignals.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>

namespace tw::shell {

namespace {

const QString kLogin1 = QStringLiteral("org.freedesktop.login1");
const QString kManagerPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

}  // namespace

LogindSignals::LogindSignals(QObject* parent) : SessionSignals(parent) {
    QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        system.connect(kLogin1, kManagerPath, kManager, QStringLiteral("PrepareForSleep"), this,
                       SLOT(onPrepareForSleep(bool)));
        QDBusInterface manager(kLogin1, kManagerPath, kManager, system);
        const QDBusReply<QDBusObjectPath> session =
            manager.call(QStringLiteral("GetSessionByPID"), static_cast<quint32>(QCoreApplication::applicationPid()));
        if (session.isValid()) {
            const QString path = session.value().path();
            system.connect(kLogin1, path, kSession, QStringLiteral("Lock"), this, SLOT(onLock()));
            system.connect(kLogin1, path, kProperties, QStringLiteral("PropertiesChanged"), this,
                           SLOT(onSessionProperties(QString, QVariantMap, QStringList)));
        }
    }
    QDBusConnection sessionBus = QDBusConnection::sessionBus();
    if (sessionBus.isConnected()) {
        const std::pair<const char*, const char*> savers[] = {
            {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"},
            {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver"},
            {"org.xfce.ScreenSaver", "/org/xfce/ScreenSaver"},
        };
        for (const auto& [name, path] : savers) {
            sessionBus.connect(QString(), QLatin1StringView(path), QLatin1StringView(name),
                               QStringLiteral("ActiveChanged"), this, SLOT(onScreenSaver(bool)));
        }
    }
}

void LogindSignals::holdSleep(bool hold) {
    SessionSignals::holdSleep(hold);
    m_wanted = hold;
    if (!hold) {
        m_inhibitor = QDBusUnixFileDescriptor();  // closing our copy ends the delay
        return;
    }
    if (m_inhibitor.isValid()) return;
    QDBusConnection system = QDBusConnection::systemBus();
    if (!system.isConnected()) return;
    QDBusInterface manager(kLogin1, kManagerPath, kManager, system);
    const QDBusReply<QDBusUnixFileDescriptor> reply =
        manager.call(QStringLiteral("Inhibit"), QStringLiteral("sleep"), QStringLiteral("Tallowmere Pro"),
                     QStringLiteral("Closing the open wallet"), QStringLiteral("delay"));
    if (reply.isValid()) m_inhibitor = reply.value();
}

void LogindSignals::onPrepareForSleep(bool sleeping) {
    if (sleeping) {
        emit suspending();
    } else {
        emit resumed();
        // A wallet still open after the resume holds the next sleep again.
        if (m_wanted) holdSleep(true);
    }
}

void LogindSignals::onLock() {
    emit locked();
}

void LogindSignals::onScreenSaver(bool active) {
    if (active) emit locked();
}

void LogindSignals::onSessionProperties(const QString& interface, const QVariantMap& changed, const QStringList&) {
    if (interface != kSession) return;
    const auto it = changed.find(QStringLiteral("LockedHint"));
    if (it != changed.end() && it->toBool()) emit locked();
}

}  // namespace tw::shell
