#include "Screens.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTemporaryDir>
#include <QTreeView>

#include "app/CardRows.h"
#include "model/FieldKind.h"
#include "model/FormCards.h"
#include "model/SampleWallet.h"
#include "platform/MemoryRegistry.h"
#include "platform/SecretClipboard.h"
#include "platform/Text.h"
#include "shell/CommandTable.h"
#include "shell/MainFrame.h"
#include "shell/WalletChooser.h"
#include "shell/WalletTreeModel.h"
#include "shell/WalletsManager.h"
#include "storage/FormatUpgrade.h"
#include "views/AttachmentsDialog.h"
#include "views/BackgroundDialog.h"
#include "views/CardColorsDialog.h"
#include "views/CardView.h"
#include "views/CardWindow.h"
#include "views/ColorChooser.h"
#include "views/DisplayOptionsDialog.h"
#include "views/EnterPasswordDialog.h"
#include "views/FolderPropertiesDialog.h"
#include "views/FormChooser.h"
#include "views/IconPicker.h"
#include "views/NewPasswordDialog.h"
#include "views/NoteEditorDialog.h"
#include "views/ObjectNames.h"
#include "views/PasswordGeneratorDialog.h"
#include "views/SecurityOptionsDialog.h"
#include "views/SelectionListDialog.h"
#include "views/SoundDialog.h"

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
    frame->resize(c.ui.px(360), c.ui.px(480));
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
    for (std::size_t i = 0; i < c.wallet.index().count(); ++i) icons.add(c.wallet.headerAt(i));
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

// --- The card window -----------------------------------------------------------------------------

// What the card window is built with in the screenshots: nothing is started, copied or written.
struct ScreenCardServices {
    MemoryRegistry registry;
    RecordingLauncher launcher;
    WebBrowser browser{registry, launcher};
    app::TempFiles temp;
    ui::CardServices services{launcher, browser, nullptr, 0,       LocalePatterns{u"M/d/yyyy", u"h:mm:ss tt", u":"},
                              "",       "",      temp,    nullptr, {}};
};

ui::CardServices& cardServices() {
    static ScreenCardServices services;
    return services.services;
}

// The index position of the sample wallet's card of that name. The wallet is opened again when a
// screen before (the main window, on closing) closed it.
std::size_t sampleCard(WalletFile& wallet, std::u16string_view name) {
    if (!wallet.isOpen()) {
        const std::string path = wallet.path().empty() ? "/samples/My Sample Wallet.tm5" : wallet.path();
        (void)openOrUpgrade(wallet, path, kSampleWalletPassword, true, nullptr);
    }
    for (std::size_t i = 0; i < wallet.index().count(); ++i) {
        if (wallet.index().at(i).type() == RecordType::Card && wallet.nameOf(i) == name) return i;
    }
    return wallet.index().count();
}

std::unique_ptr<QWidget> cardWindow(ScreenContext& c, std::u16string_view name, ui::CardWindow::Mode mode) {
    return std::make_unique<ui::CardWindow>(c.ui, cardServices(), c.wallet, sampleCard(c.wallet, name), mode);
}

// A sample card shown in another layout than its own.
std::unique_ptr<QWidget> cardInLayout(ScreenContext& c, std::u16string_view name, std::uint32_t layout) {
    auto window = std::make_unique<ui::CardWindow>(c.ui, cardServices(), c.wallet, sampleCard(c.wallet, name));
    window->card().display().setLayout(layout);
    window->reload();
    return window;
}

// A new card of built-in form `index`, every field given a value that suits its kind.
std::unique_ptr<QWidget> builtinFormCard(ScreenContext& c, std::uint32_t index) {
    sampleCard(c.wallet, u"");
    std::unique_ptr<Card> card = newCardFromForm(c.wallet, RecordId{}, builtinFormRef(index));
    for (std::size_t i = 0; card && i < card->fieldCount(); ++i) {
        Field& field = card->field(i);
        switch (field.kind()) {
            case field_kind::kWebAddress:
                field.setValue(u"www.example.com");
                break;
            case field_kind::kEmail:
                field.setValue(u"ann.lee@example.com");
                break;
            case field_kind::kTelephone:
                field.setValue(u"+1 555 0100");
                break;
            case field_kind::kPassword:
                field.setValue(u"k3ep-it-secret");
                break;
            case field_kind::kDate:
            case field_kind::kTime:
            case field_kind::kDateTime:
                field.setDate(SystemTime{2027, 6, 2, 15, 9, 30, 0, 0});
                break;
            case field_kind::kCheckBox:
                field.setValue(u"1");
                break;
            case field_kind::kNumber:
                field.setValue(u"1234");
                break;
            case field_kind::kYesNoList:
            case field_kind::kSelectionList:
                if (!field.listItems().empty()) field.setValue(field.listItems().front());
                break;
            default:
                field.setValue(field.isNote() ? u"A note of a few words." : u"Sample");
                break;
        }
    }
    return std::make_unique<ui::CardWindow>(c.ui, cardServices(), c.wallet, std::move(card),
                                            ui::CardWindow::Mode::View);
}

// The sample's City Gym card, loaded for the dialogs that work on a card.
Card& gymCard(ScreenContext& c) {
    static std::unique_ptr<Card> card;
    card = c.wallet.loadCard(c.wallet.index().at(sampleCard(c.wallet, u"City Gym")).id());
    return *card;
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
        {"form-chooser", formChooser},
        {"color-chooser", colorChooser},
        {"card-text-colors", cardColors},
        {"icon-picker", iconPicker},
        {"folder-properties", folderProperties},
        {"special-entry-properties", specialEntryProperties},
        {"card-view-passport", [](ScreenContext& c) { return cardWindow(c, u"Passport", ui::CardWindow::Mode::View); }},
        {"card-view-city-gym", [](ScreenContext& c) { return cardWindow(c, u"City Gym", ui::CardWindow::Mode::View); }},
        {"card-view-visa",
         [](ScreenContext& c) { return cardWindow(c, u"Everyday Visa", ui::CardWindow::Mode::View); }},
        {"card-view-book-shop",
         [](ScreenContext& c) { return cardWindow(c, u"Book Shop", ui::CardWindow::Mode::View); }},
        {"card-view-value-first", [](ScreenContext& c) { return cardInLayout(c, u"City Gym", 1); }},
        {"card-view-name-first", [](ScreenContext& c) { return cardInLayout(c, u"City Gym", 2); }},
        {"card-edit-every-kind",
         [](ScreenContext& c) { return cardWindow(c, u"City Gym", ui::CardWindow::Mode::Edit); }},
        {"card-form-design", [](ScreenContext& c) { return cardWindow(c, u"City Gym", ui::CardWindow::Mode::Design); }},
        {"card-attachments",
         [](ScreenContext& c) -> std::unique_ptr<QWidget> {
             Card& card = gymCard(c);
             card.file(0).set(std::vector<std::uint8_t>(2048, 1), u"membership-terms.pdf");
             card.file(0).setTimes(SystemTime{2026, 2, 0, 14, 0, 0, 0, 0}, SystemTime{2026, 2, 0, 14, 0, 0, 0, 0});
             card.file(1).set(std::vector<std::uint8_t>(300, 1), u"locker.txt");
             return std::make_unique<ui::AttachmentsDialog>(c.ui, cardServices(), c.wallet.env(), card);
         }},
        {"card-background",
         [](ScreenContext& c) -> std::unique_ptr<QWidget> {
             Card& card = *c.wallet.loadCard(c.wallet.index().at(sampleCard(c.wallet, u"Passport")).id()).release();
             return std::make_unique<ui::BackgroundDialog>(c.ui, cardServices(), c.wallet.env(), card);
         }},
        {"card-sound",
         [](ScreenContext& c) -> std::unique_ptr<QWidget> {
             return std::make_unique<ui::SoundDialog>(c.ui, cardServices(), c.wallet.env(), gymCard(c));
         }},
        {"note-editor",
         [](ScreenContext& c) -> std::unique_ptr<QWidget> {
             return std::make_unique<ui::NoteEditorDialog>(
                 c.ui, c.wallet.env().clock, cardServices().locale, QStringLiteral("Notes"),
                 QStringLiteral("Locker 17, code on the card.\nRenew in May."));
         }},
        {"password-generator",
         [](ScreenContext& c) -> std::unique_ptr<QWidget> {
             return std::make_unique<ui::PasswordGeneratorDialog>(c.ui, c.wallet.env().random);
         }},
        {"selection-list",
         [](ScreenContext& c) -> std::unique_ptr<QWidget> {
             return std::make_unique<ui::SelectionListDialog>(
                 c.ui, std::vector<std::u16string>{u"Gold", u"Silver", u"Bronze"});
         }},
        {"display-options",
         [](ScreenContext& c) -> std::unique_ptr<QWidget> {
             sampleCard(c.wallet, u"");
             return std::make_unique<ui::DisplayOptionsDialog>(c.ui, c.wallet);
         }},
        {"card-discard-question", [](ScreenContext& c) { return question(c, 25900, 20504); }},
        {"card-delete-question", [](ScreenContext& c) { return question(c, 22003, 20504); }},
    };
    static const std::vector<Screen> withForms = [] {
        std::vector<Screen> all = screens;
        // A card of every built-in form in viewing mode.
        static std::vector<std::string> names;
        names.reserve(kBuiltinFormCount);
        for (std::uint32_t i = 0; i < kBuiltinFormCount; ++i) {
            names.push_back("card-form-" + std::string(i < 10 ? "0" : "") + std::to_string(i));
            all.push_back({names.back().c_str(), [i](ScreenContext& c) { return builtinFormCard(c, i); }});
        }
        return all;
    }();
    return withForms;
}

}  // namespace tw::screenshots
