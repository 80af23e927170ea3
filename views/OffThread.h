#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <thread>

namespace tw::ui {

// Runs `work` on a thread of its own and keeps the window's events flowing until it is done (with
// a busy cursor), so that reading or writing a large attachment does not freeze the program.
// `work` must not touch widgets. Input to the caller's window is blocked meanwhile.
template <typename Work>
void runOffThread(QWidget* window, Work&& work) {
    QEventLoop loop;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const bool wasEnabled = window && window->isEnabled();
    if (window) window->setEnabled(false);
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (window) window->setEnabled(wasEnabled);
    QApplication::restoreOverrideCursor();
}

}  // namespace tw::ui
