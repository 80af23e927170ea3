#include "Screens.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTreeView>

#include "shell/CommandTable.h"
#include "shell/MainFrame.h"
#include "shell/WalletChooser.h"
#include "shell/WalletTreeModel.h"
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
        {"main-window-find", mainWindowFind},
        {"main-window-context-menu", mainWindowMenu},
        {"enter-password", enterPassword},
        {"enter-password-typed", enterPasswordTyped},
        {"new-password", newPassword},
        {"change-password", changePassword},
        {"security-options", securityOptions},
        {"first-run-notice", [](ScreenContext& c) { return messageBox(c, 20580, 20001, QMessageBox::Information); }},
        {"wrong-password", [](ScreenContext& c) { return messageBox(c, 27006, 20503, QMessageBox::Warning); }},
        {"convert-question", [](ScreenContext& c) { return question(c, 22012, 20001); }},
    };
    return screens;
}

}  // namespace tw::screenshots
