#include "Screens.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>

#include "shell/MainFrame.h"
#include "shell/WalletChooser.h"
#include "views/CardColorsDialog.h"
#include "views/ColorChooser.h"
#include "views/EnterPasswordDialog.h"
#include "views/FolderPropertiesDialog.h"
#include "views/FormChooser.h"
#include "views/IconPicker.h"
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

std::unique_ptr<QWidget> formChooser(ScreenContext& c) {
    return std::make_unique<ui::FormChooser>(c.ui, c.wallet, nullptr, app::builtinFormRef(3),
                                             ui::FormChooser::Purpose::NewCard);
}

std::unique_ptr<QWidget> colorChooser(ScreenContext& c) {
    return std::make_unique<ui::ColorChooser>(c.ui, 0x0080FF);  // orange
}

std::unique_ptr<QWidget> cardColors(ScreenContext& c) {
    CardDisplay display = CardDisplay::walletDefault();
    display.setValueColour(0x030201);  // a colour of no list
    return std::make_unique<ui::CardColorsDialog>(c.ui, display);
}

// The sample wallet's custom icons, as the main window keeps them.
const app::CustomIcons& customIcons(ScreenContext& c) {
    static app::CustomIcons icons;
    icons.clear();
    for (std::size_t i = 0; i < c.wallet.index().count(); ++i) icons.add(c.wallet.index().at(i));
    return icons;
}

std::unique_ptr<QWidget> iconPicker(ScreenContext& c) {
    app::IconChoice current;
    current.number = 72;
    auto dialog = std::make_unique<ui::IconPicker>(c.ui, current, customIcons(c));
    dialog->findChild<QListWidget*>(ui::names::kIconList)->setCurrentRow(3);
    return dialog;
}

std::unique_ptr<QWidget> folderProperties(ScreenContext& c) {
    ui::FolderPropertiesDialog::Folder folder;
    folder.name = u"Banking";
    folder.icon.number = 72;
    folder.defaultForm = app::builtinFormRef(2);
    folder.mayPlaceAtMainLevel = true;
    return std::make_unique<ui::FolderPropertiesDialog>(c.ui, c.wallet, customIcons(c), folder);
}

std::unique_ptr<QWidget> specialEntryProperties(ScreenContext& c) {
    ui::FolderPropertiesDialog::Folder folder;
    folder.name = u"Favorites";
    folder.specialEntry = 1;
    return std::make_unique<ui::FolderPropertiesDialog>(c.ui, c.wallet, customIcons(c), folder);
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
        {"first-run-notice", [](ScreenContext& c) { return messageBox(c, 20580, 20001, QMessageBox::Information); }},
        {"wrong-password", [](ScreenContext& c) { return messageBox(c, 27006, 20503, QMessageBox::Warning); }},
        {"convert-question", [](ScreenContext& c) { return question(c, 22012, 20001); }},
        {"form-chooser", formChooser},
        {"color-chooser", colorChooser},
        {"card-text-colors", cardColors},
        {"icon-picker", iconPicker},
        {"folder-properties", folderProperties},
        {"special-entry-properties", specialEntryProperties},
    };
    return screens;
}

}  // namespace tw::screenshots
