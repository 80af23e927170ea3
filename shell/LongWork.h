#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <memory>
#include <optional>
#include <thread>
#include <type_traits>

#include "storage/ReencryptPass.h"

namespace tw::shell {

// Runs `work` on a thread of its own while a modal progress dialog (without a Cancel button:
// the work is not abandoned half-way) keeps the window drawn; returns the work's result. The
// work owns what it touches until it returns: the window's wallet is not used meanwhile.
template <class Work>
auto runWithProgress(QWidget* parent, const QString& label, Work&& work) -> std::invoke_result_t<Work> {
    using Result = std::invoke_result_t<Work>;
    QProgressDialog progress(label, QString(), 0, 0, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setCancelButton(nullptr);
    QEventLoop loop;
    std::optional<Result> result;
    std::thread worker([&] {
        result.emplace(work());
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return std::move(*result);
}

// The progress of a format upgrade in a dialog, on the GUI thread: the window is drawn again
// between steps.
class UpgradeProgressDialog final : public UpgradeProgress {
public:
    UpgradeProgressDialog(QWidget* parent, const QString& label) : m_parent(parent), m_label(label) {}
    void update(std::uint64_t done, std::uint64_t total) override {
        // Made on the first step only: a wallet that needs no upgrade shows nothing.
        if (!m_dialog) {
            m_dialog = std::make_unique<QProgressDialog>(m_label, QString(), 0, 1000, m_parent);
            m_dialog->setWindowModality(Qt::WindowModal);
            m_dialog->setMinimumDuration(300);
            m_dialog->setCancelButton(nullptr);
        }
        // The pass reports several times per record: with a known total the window is drawn again
        // only when the bar moves, at most a thousand times. Work of unknown length keeps the
        // window drawn at every report.
        if (total > 0) {
            const int value = static_cast<int>(done * 1000 / total);
            if (value == m_value) return;
            m_value = value;
            m_dialog->setValue(value);
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void finish() override { m_dialog.reset(); }

private:
    QWidget* m_parent;
    QString m_label;
    std::unique_ptr<QProgressDialog> m_dialog;
    int m_value = -1;
};

}  // namespace tw::shell
