#pragma once

#include <QObject>

class QSocketNotifier;

namespace tw::shell {

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the event loop, so the program can close its
// wallet and save its settings before it ends. One per process.
class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace tw::shell
