#include "shell/Program.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSessionManager>

#include "app/CommandLine.h"
#include "app/FileTypes.h"
#include "app/Settings.h"
#include "platform/Clock.h"
#include "platform/Random.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "shell/CardWindowOpener.h"
#include "shell/FormHandOver.h"
#include "shell/LogindSignals.h"
#include "shell/MainFrame.h"
#include "shell/SingleInstance.h"
#include "shell/TerminationSignals.h"
#include "shell/WalletsManager.h"
#include "storage/WalletFile.h"
#include "views/FontCache.h"
#include "views/MessageBoxPrompt.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

constexpr std::uint32_t kFirstRunText = 20580;
constexpr std::uint32_t kInfoCaption = 20001;

// What a second start sends to the first.
InstanceMessage messageFor(const app::CommandLineState& command) {
    if (command.syncEnd) return {InstanceMessageType::SyncEnd, {}};
    if (command.syncStart) return {InstanceMessageType::SyncStart, {}};
    if (!command.argument.empty()) {
        // The first program runs in another folder: it gets the full path. A form-layout file is
        // offered for import into its open wallet, never opened as a wallet.
        return {command.formLayout ? InstanceMessageType::ImportForm : InstanceMessageType::OpenFile,
                QFileInfo(QFile::decodeName(command.argument.c_str())).absoluteFilePath()};
    }
    return {InstanceMessageType::Activate, {}};
}

void bringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

// Cancels every open dialog and message box, innermost first.
void cancelDialogs() {
    while (QWidget* modal = QApplication::activeModalWidget()) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog) break;
        dialog->reject();
        if (QApplication::activeModalWidget() == modal) modal->hide();
    }
}

class Run {
public:
    explicit Run(ProgramServices& services) : m_s(services) {}
    int run(const std::string& argument);

private:
    bool loadLanguage();
    void onMessage(const InstanceMessage& message);
    void terminate();
    void saveOnce();

    ProgramServices& m_s;
    app::Settings m_settings;
    StringTable m_strings;
    ui::MessageBoxPrompt m_prompt{m_strings};
    SystemClock m_clock;
    OsRandom m_random;
    HostSystem m_system;
    MainFrame* m_frame = nullptr;
    WalletFile* m_wallet = nullptr;
    const ui::UiContext* m_ui = nullptr;
    bool m_quitting = false;
    bool m_saved = false;
};

bool Run::loadLanguage() {
    LanguageSearch search;
    search.langPref = m_settings.langPref;
    search.uiLanguage = m_s.uiLanguage.languageId();
    search.programFolder = m_s.programFolder;
    search.folders = {m_s.programFolder};
    const LanguageModuleResult result = loadLanguageModule(m_s.files, m_s.folderLister, search, m_strings, nullptr);
    if (result.loaded) return true;
    QMessageBox::critical(nullptr, ui::toQString(kLanguageFailureCaption), ui::toQString(kLanguageFailureText));
    return false;
}

void Run::saveOnce() {
    if (m_saved) return;
    m_saved = true;
    app::saveSettings(m_settings, m_s.registry, m_s.device);
}

void Run::onMessage(const InstanceMessage& message) {
    if (!m_frame || m_quitting) return;
    switch (message.type) {
        case InstanceMessageType::Activate:
            bringToFront(m_frame);
            break;
        case InstanceMessageType::SyncStart:
        case InstanceMessageType::SyncEnd:
            // A synchronisation changes nothing in an open wallet.
            break;
        case InstanceMessageType::Close:
            terminate();
            break;
        case InstanceMessageType::OpenFile:
            bringToFront(m_frame);
            // A dialog is open: the user finishes it first, and the file waits for them.
            if (QApplication::activeModalWidget()) break;
            m_frame->openWallet(QFile::encodeName(message.text).toStdString(), false);
            m_frame->show();
            break;
        case InstanceMessageType::ImportForm:
            bringToFront(m_frame);
            if (QApplication::activeModalWidget()) break;
            if (offerFormImport(*m_ui, *m_wallet, QFile::encodeName(message.text).toStdString())) m_frame->showWallet();
            break;
    }
}

void Run::terminate() {
    if (m_quitting) return;
    m_quitting = true;
    cancelDialogs();
    if (m_frame) m_frame->exitProgram();
    QCoreApplication::quit();
}

int Run::run(const std::string& argument) {
    m_settings = app::Settings::defaults(m_s.device);
    app::loadSettings(m_settings, m_s.registry, m_s.device,
                      [&] { app::registerFileTypes(m_s.registry, fromUtf8(m_s.programPath)); });
    const app::CommandLineState command =
        app::parseCommandLine(argument, [&](const std::string& path) { return m_s.files.exists(path); });

    SingleInstance instance(m_s.runtimeFolder);
    if (instance.start() == SingleInstance::Role::Secondary) {
        instance.send(messageFor(command));
        return 0;
    }
    if (command.syncStart || command.syncEnd) return 0;
    if (!loadLanguage()) return 0;

    ui::FontCache fonts(QApplication::font(), m_settings.clearType != 0);
    ui::UiContext ui{m_strings, m_settings, m_s.device, fonts, m_prompt, ui::screenDpi()};
    Env env{m_s.files, m_clock, m_random, m_strings, m_prompt, m_system};
    WalletFile wallet(env);
    WalletsManager chooser(ui, env, desktopWalletPlaces());
    // The session's lock and sleep close a wallet that closes itself.
    LogindSignals session;
    MainFrame::Services services;
    services.session = &session;
    MainFrame frame(ui, wallet, chooser, MainFrame::OpenOptions{m_s.programFolder, &m_s.registry}, services);
    m_frame = &frame;
    m_wallet = &wallet;
    m_ui = &ui;
    // Cards open in the card window. One clipboard for secrets: what a card copies is cleared
    // with what the main window copies.
    ProgramCardServices cardServices(m_s.registry);
    cardServices.services().clipboard = &frame.secrets();
    cardServices.services().customIcons = &frame.customIcons();
    frame.setCardOpener(cardWindowOpener(cardServices.services()));
    QObject::connect(&instance, &SingleInstance::received, &frame, [this](const InstanceMessage& m) { onMessage(m); });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &frame, [this] { terminate(); });
    // The session is ending: what would be lost if it killed the program reaches the disk now.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &frame, [this](QSessionManager&) {
        m_frame->flushWallet();
        saveOnce();
    });

    if (m_settings.runCount < 1 || (m_settings.info & 1) != 0)
        ui.message(kFirstRunText, kInfoCaption, Buttons::Ok, Icon::Information);

    const auto exists = [&](const std::string& path) { return m_s.files.exists(path); };
    const std::optional<std::string> first =
        app::firstWallet(command, m_settings.mru, m_settings.openLast != 0, exists);
    const bool opened = first && frame.openWallet(*first, false);
    if (!opened && !m_quitting && frame.showWalletsManager() != 1) m_quitting = true;
    // Started with a form-layout file: its form is offered to the wallet that is now open.
    if (!m_quitting && command.formLayout && wallet.isOpen() && offerFormImport(ui, wallet, command.argument))
        frame.showWallet();
    int code = 0;
    if (!m_quitting) {
        frame.show();
        code = QApplication::exec();
    }
    m_frame = nullptr;
    m_wallet = nullptr;
    m_ui = nullptr;
    if (wallet.isOpen()) frame.exitProgram();
    // Copies of opened attachments: the user is asked, unless the program closed by itself.
    offerOpenedFileDeletion(ui, cardServices.openedFiles(), m_quitting || frame.closedAutomatically());
    saveOnce();
    return code;
}

}  // namespace

int runProgram(ProgramServices& services, const std::string& argument) {
    Run run(services);
    return run.run(argument);
}

}  // namespace tw::shell
