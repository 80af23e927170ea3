#pragma once

#include <QObject>
#include <QTimer>

#include "app/InactivityRule.h"
#include "platform/BootClock.h"

namespace tw::shell {

// Signals of the desktop session that close a wallet which closes itself: the session locked (or
// the screen saver started), the machine about to sleep, and woken up. The base class sends
// nothing: tests emit its signals, and LogindSignals sends the system's.
class SessionSignals : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // Keeps the machine from sleeping until released (a delay inhibitor): taken while a wallet
    // that closes itself is open, released once it is closed.
    virtual void holdSleep(bool hold) { m_holding = hold; }
    bool holdingSleep() const { return m_holding; }

signals:
    void locked();
    void suspending();
    void resumed();

private:
    bool m_holding = false;
};

// The automatic closing of the open wallet: records the user's activity (every key, button, wheel
// and touch in any of the program's windows), checks the inactivity rule every 10 seconds and,
// so that a wallet left open over a suspend closes at once on waking, every 1.2 seconds (a
// timer on the GUI thread: nothing is shared with another thread). `closeRequested` is emitted
// once per arming.
class AutoClose final : public QObject {
    Q_OBJECT

public:
    static constexpr int kWatchMs = 1200;

    explicit AutoClose(ElapsedClock& clock, QObject* parent = nullptr);
    ~AutoClose() override;

    // Arms the rule with the wallet's interval (0: off) and records activity now.
    void start(std::uint32_t minutes);
    void stop();
    bool armed() const { return m_timer.isActive(); }
    std::uint32_t interval() const { return m_rule.interval(); }
    void touch();
    // Checks the rule now (the timers, the window's activation); true when it asked to close.
    bool check();

signals:
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ElapsedClock& m_clock;
    app::InactivityRule m_rule;
    QTimer m_timer;
    QTimer m_watch;
};

}  // namespace tw::shell
