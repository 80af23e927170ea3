#include "Screens.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>

#include "shell/MainFrame.h"
#include "shell/WalletChooser.h"
#include "shell/WalletsManager.h"
#include "views/EnterPasswordDialog.h"
#include "views/NewPasswordDialog.h"
#include "views/ObjectNames.h"
#include "views/SecurityOptionsDialog.h"

namespace tw::screenshots {

namespace {

// A chooser the screens never ask.
class NoChooser final : public shell::WalletChooser {
public:
    std::optional<std::string> choose(QWidget*) override { return std::nullopt; }
};

std::unique_ptr<QWidget> mainWindow(ScreenContext& c) {
    static NoChooser chooser;
    auto frame = std::make_unique<shell::MainFrame>(c.ui, c.wallet, chooser, shell::MainFrame::OpenOptions{});
    frame->showWallet();
    return frame;
}

// A documents folder and a memory card with a few wallets, made once per run.
shell::WalletPlaces samplePlaces() {
    static QTemporaryDir root;
    static bool made = false;
    const QString base = root.path();
    if (!made) {
        made = true;
        const char* files[] = {"Documents/Home.tm5",          "Documents/Work.tm5",
                               "Documents/Family Budget.tm5", "Documents/Tallowmere Samples/My Sample Wallet.tm5",
                               "Documents/Travel 2005.wal",   "SD Card/Documents/Holiday.tm5"};
        for (const char* f : files) {
            const QString path = base + QLatin1Char('/') + QLatin1String(f);
            QDir().mkpath(QFileInfo(path).path());
            QFile(path).open(QIODevice::WriteOnly);
        }
    }
    shell::WalletPlaces places;
    places.documents = QFile::encodeName(base + QStringLiteral("/Documents")).toStdString();
    const std::string card = QFile::encodeName(base + QStringLiteral("/SD Card")).toStdString();
    places.removable = [card] { return std::vector<std::string>{card}; };
    return places;
}

std::unique_ptr<QWidget> walletsManager(ScreenContext& c) {
    auto dialog = std::make_unique<shell::WalletsManagerDialog>(c.ui, samplePlaces());
    const auto rows = dialog->list()->findItems(QStringLiteral("Home"), Qt::MatchExactly);
    if (!rows.isEmpty()) dialog->list()->setCurrentItem(rows.first());
    return dialog;
}

std::unique_ptr<QWidget> newWallet(ScreenContext& c) {
    auto dialog = std::make_unique<shell::WalletNameDialog>(c.ui, samplePlaces());
    dialog->nameEdit()->setText(QStringLiteral("Household"));
    return dialog;
}

std::unique_ptr<QWidget> enterPassword(ScreenContext& c) {
    return std::make_unique<ui::EnterPasswordDialog>(c.ui, u"My Sample Wallet", nullptr);
}

std::unique_ptr<QWidget> enterPasswordTyped(ScreenContext& c) {
    auto dialog = std::make_unique<ui::EnterPasswordDialog>(c.ui, u"My Sample Wallet", nullptr);
    dialog->findChild<QLineEdit*>(ui::names::kPasswordEdit)->setText(QStringLiteral("2468"));
    return dialog;
}

std::unique_ptr<QWidget> newPassword(ScreenContext& c) {
    return std::make_unique<ui::NewPasswordDialog>(c.ui, ui::NewPasswordDialog::Purpose::NewWallet);
}

std::unique_ptr<QWidget> changePassword(ScreenContext& c) {
    return std::make_unique<ui::NewPasswordDialog>(c.ui, ui::NewPasswordDialog::Purpose::ChangePassword);
}

std::unique_ptr<QWidget> securityOptions(ScreenContext& c) {
    return std::make_unique<ui::SecurityOptionsDialog>(c.ui, 5, true);
}

std::unique_ptr<QWidget> messageBox(const ScreenContext& c, std::uint32_t text, std::uint32_t caption,
                                    QMessageBox::Icon icon) {
    auto box = std::make_unique<QMessageBox>(icon, c.ui.text(caption), c.ui.text(text), QMessageBox::Ok);
    box->setTextFormat(Qt::PlainText);
    box->button(QMessageBox::Ok)->setText(c.ui.text(21046));
    return box;
}

std::unique_ptr<QWidget> question(const ScreenContext& c, std::uint32_t text, std::uint32_t caption) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, c.ui.text(caption), c.ui.text(text),
                                             QMessageBox::Yes | QMessageBox::No);
    box->setTextFormat(Qt::PlainText);
    box->button(QMessageBox::Yes)->setText(c.ui.text(20204));
    box->button(QMessageBox::No)->setText(c.ui.text(20205));
    return box;
}

}  // namespace

const std::vector<Screen>& allScreens() {
    static const std::vector<Screen> screens = {
        {"main-window", mainWindow},
        {"enter-password", enterPassword},
        {"enter-password-typed", enterPasswordTyped},
        {"new-password", newPassword},
        {"change-password", changePassword},
        {"security-options", securityOptions},
        {"wallets-manager", walletsManager},
        {"new-wallet", newWallet},
        {"delete-wallet-question", [](ScreenContext& c) { return question(c, 22011, 20001); }},
        {"first-run-notice", [](ScreenContext& c) { return messageBox(c, 20580, 20001, QMessageBox::Information); }},
        {"wrong-password", [](ScreenContext& c) { return messageBox(c, 27006, 20503, QMessageBox::Warning); }},
        {"convert-question", [](ScreenContext& c) { return question(c, 22012, 20001); }},
    };
    return screens;
}

}  // namespace tw::screenshots
