#include "shell/AutoClose.h"

#include <QCoreApplication>
#include <QEvent>

namespace tw::shell {

AutoClose::AutoClose(ElapsedClock& clock, QObject* parent) : QObject(parent), m_clock(clock) {
    m_timer.setInterval(app::InactivityRule::kTimerMs);
    m_watch.setInterval(kWatchMs);
    connect(&m_timer, &QTimer::timeout, this, &AutoClose::check);
    connect(&m_watch, &QTimer::timeout, this, &AutoClose::check);
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
}

AutoClose::~AutoClose() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

void AutoClose::start(std::uint32_t minutes) {
    m_rule.setInterval(minutes);
    touch();
    if (minutes == 0) {
        stop();
        return;
    }
    m_timer.start();
    m_watch.start();
}

void AutoClose::stop() {
    m_timer.stop();
    m_watch.stop();
}

void AutoClose::touch() {
    m_rule.touch(m_clock.nowMs());
}

bool AutoClose::check() {
    if (!armed() || !m_rule.due(m_clock.nowMs())) return false;
    stop();
    emit closeRequested();
    return true;
}

bool AutoClose::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
            // An input event while the rule is already due is not activity that could keep the
            // wallet open: the check runs first.
            if (armed() && !check()) touch();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tw::shell
