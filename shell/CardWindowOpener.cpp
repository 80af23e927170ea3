#include "shell/CardWindowOpener.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QStandardPaths>

#include "views/CardWindow.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

constexpr std::uint32_t kTempFilesQuestion = 28206;
constexpr std::uint32_t kProgramCaption = 20001;
// A copied value stays on the clipboard this long.
constexpr int kClipboardClearMs = 30000;

}  // namespace

ProgramCardServices::ProgramCardServices(Registry& registry, Launcher* launcher)
    : m_launcher(launcher ? *launcher : m_posixLauncher),
      m_browser(registry, m_launcher),
      m_clipboard(QGuiApplication::clipboard()) {
    m_services = std::make_unique<ui::CardServices>(ui::CardServices{
        m_launcher, m_browser, &m_clipboard, kClipboardClearMs, ui::systemLocalePatterns(),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString(), std::string(), m_temp,
        &m_sound, [](QWidget* parent, const QString& title, const QString& filter) {
            return QFileDialog::getOpenFileName(parent, title, QString(), filter);
        }});
}

ProgramCardServices::~ProgramCardServices() = default;

CardOpener cardWindowOpener(ui::CardServices& services) {
    return [&services](QWidget* parent, const ui::UiContext& ui, CardSession& session) {
        const auto mode = session.startEditing ? ui::CardWindow::Mode::Edit : ui::CardWindow::Mode::View;
        ui::CardWindow window(ui, services, session.wallet, session.card, session.isNew, session.readOnly, mode,
                              parent);
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        window.exec();
        switch (window.outcome()) {
            case ui::CardWindow::Outcome::Saved:
                return CardOutcome::Changed;
            case ui::CardWindow::Outcome::DeleteRequested:
                return CardOutcome::Deleted;
            case ui::CardWindow::Outcome::Unchanged:
                break;
        }
        return CardOutcome::Unchanged;
    };
}

void offerOpenedFileDeletion(const ui::UiContext& ui, app::TempFiles& files, bool automatic) {
    if (files.empty()) return;
    if (automatic || ui.message(kTempFilesQuestion, kProgramCaption, Buttons::YesNo, Icon::Question) == Answer::Yes) {
        files.deleteAll();
    } else {
        files.forget();
    }
}

}  // namespace tw::shell
