#include "shell/CardWindowOpener.h"

#include <QFileDialog>

#include "app/AttachmentFiles.h"
#include "model/WebAddress.h"
#include "platform/Launcher.h"
#include "platform/PrivateFile.h"
#include "views/CardServices.h"
#include "views/CardWindow.h"
#include "views/SoundPlayer.h"

namespace tw::shell {

struct CardWindowOpener::Parts {
    Parts(Registry& registry, SecretClipboard& clipboard, int clearMs, std::string opened, std::string documents)
        : browser(registry, launcher),
          services{launcher,
                   browser,
                   &clipboard,
                   clearMs,
                   ui::systemLocalePatterns(),
                   std::move(documents),
                   std::move(opened),
                   temp,
                   &player,
                   [](QWidget* parent, const QString& title, const QString& filter) {
                       return QFileDialog::getOpenFileName(parent, title, QString(), filter);
                   }} {}
    PosixLauncher launcher;
    WebBrowser browser;
    app::TempFiles temp;
    ui::SoundPlayer player;
    ui::CardServices services;
};

CardWindowOpener::CardWindowOpener(Registry& registry, SecretClipboard& clipboard, int clipboardClearMs,
                                   std::string openedFolder, std::string documentsFolder)
    : m(std::make_unique<Parts>(registry, clipboard, clipboardClearMs, std::move(openedFolder),
                                std::move(documentsFolder))) {
    makePrivateFolder(m->services.openedFolder);
}

CardWindowOpener::~CardWindowOpener() {
    // Opened copies of attachments do not outlive the program.
    m->temp.deleteAll();
}

CardOutcome CardWindowOpener::open(QWidget* parent, const ui::UiContext& ui, CardSession& session) {
    const ui::CardWindow::Mode mode =
        session.startEditing && !session.readOnly ? ui::CardWindow::Mode::Edit : ui::CardWindow::Mode::View;
    std::unique_ptr<ui::CardWindow> window =
        session.newCard ? std::make_unique<ui::CardWindow>(ui, m->services, session.wallet, std::move(session.newCard),
                                                           mode, parent)
                        : std::make_unique<ui::CardWindow>(ui, m->services, session.wallet,
                                                           static_cast<std::size_t>(session.position), mode, parent);
    if (!window->loaded()) return CardOutcome::Unchanged;
    window->exec();
    switch (window->outcome()) {
        case ui::CardWindow::Outcome::Saved:
            session.position = window->position();
            return CardOutcome::Changed;
        case ui::CardWindow::Outcome::DeleteRequested:
            return CardOutcome::Deleted;
        default:
            return CardOutcome::Unchanged;
    }
}

}  // namespace tw::shell
