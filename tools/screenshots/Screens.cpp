#include "Screens.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTemporaryDir>
#include <QTreeView>

#include "platform/Text.h"
#include "shell/CommandTable.h"
#include "shell/MainFrame.h"
#include "shell/WalletChooser.h"
#include "shell/WalletTreeModel.h"
#include "shell/WalletsManager.h"
#include "storage/FormatUpgrade.h"
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

std::unique_ptr<shell::MainFrame> makeMainWindow(ScreenContext& c) {
    static NoChooser chooser;
    // Closing the main window closes its wallet: each main-window screen opens it again.
    if (!c.wallet.isOpen()) {
        (void)openOrUpgrade(c.wallet, "/samples/My Sample Wallet.tm5", std::u16string_view(u"tallowmere"), true,
                            nullptr);
    }
    auto frame = std::make_unique<shell::MainFrame>(c.ui, c.wallet, chooser, shell::MainFrame::OpenOptions{});
    c.wallet.searchResults() = {};
    frame->showWallet();
    return frame;
}

// The wallet with a card selected.
std::unique_ptr<QWidget> mainWindow(ScreenContext& c) {
    auto frame = makeMainWindow(c);
    const QModelIndex banking = frame->model()->index(1, 0);
    frame->tree()->expand(banking);
    frame->tree()->setCurrentIndex(frame->model()->index(0, 0, banking));
    return frame;
}

// Find mode after a find: the results at the top, the find text still in the box.
std::unique_ptr<QWidget> mainWindowFind(ScreenContext& c) {
    auto frame = makeMainWindow(c);
    frame->runCommand(shell::cmd::kFind);
    frame->findEdit()->setText(QStringLiteral("home"));
    frame->runCommand(shell::cmd::kGo);
    frame->runCommand(shell::cmd::kFind);
    return frame;
}

// The context menu of a folder, drawn over the window where a right click would open it.
std::unique_ptr<QWidget> mainWindowMenu(ScreenContext& c) {
    auto frame = makeMainWindow(c);
    const QModelIndex folder = frame->model()->index(1, 0);
    frame->tree()->setCurrentIndex(folder);
    frame->show();
    frame->adjustSize();
    QMenu* menu = frame->contextMenuFor(folder);
    QPixmap window = frame->grab();
    const QPixmap popup = menu->grab();
    QPainter painter(&window);
    const QRect item = frame->tree()->visualRect(folder);
    const QPoint at = frame->tree()->viewport()->mapTo(frame.get(), item.center());
    painter.drawPixmap(at, popup);
    painter.end();
    delete menu;
    auto label = std::make_unique<QLabel>();
    label->setPixmap(window);
    label->setContentsMargins(0, 0, 0, 0);
    return label;
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

// The delete question as the wallets manager asks it: with the wallet's full path.
std::unique_ptr<QWidget> deleteWalletQuestion(const ScreenContext& c) {
    auto box = question(c, 22011, 20001);
    auto* message = static_cast<QMessageBox*>(box.get());
    message->setIcon(QMessageBox::Warning);
    message->setText(ui::toQString(format(c.ui.strings.text(22011), {u"/home/anna/Documents/Home.tm5"})));
    return box;
}

}  // namespace

const std::vector<Screen>& allScreens() {
    static const std::vector<Screen> screens = {
        {"main-window", mainWindow},
        {"main-window-find", mainWindowFind},
        {"main-window-context-menu", mainWindowMenu},
        {"enter-password", enterPassword},
        {"enter-password-typed", enterPasswordTyped},
        {"new-password", newPassword},
        {"change-password", changePassword},
        {"security-options", securityOptions},
        {"wallets-manager", walletsManager},
        {"new-wallet", newWallet},
        {"delete-wallet-question", deleteWalletQuestion},
        {"first-run-notice", [](ScreenContext& c) { return messageBox(c, 20580, 20001, QMessageBox::Information); }},
        {"wrong-password", [](ScreenContext& c) { return messageBox(c, 27006, 20503, QMessageBox::Warning); }},
        {"convert-question", [](ScreenContext& c) { return question(c, 22012, 20001); }},
    };
    return screens;
}

}  // namespace tw::screenshots
