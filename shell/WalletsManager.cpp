#include "shell/WalletsManager.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <cerrno>

#include "app/OpenWallet.h"
#include "app/Settings.h"
#include "platform/Env.h"
#include "platform/Text.h"
#include "resources/icons/IconArt.h"
#include "shell/MainFrame.h"
#include "storage/CreateWallet.h"
#include "views/NewPasswordDialog.h"
#include "views/ObjectNames.h"
#include "views/PasswordEdit.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

// Texts.
constexpr std::uint32_t kInfoCaption = 20001;
constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kDocumentsText = 20850;
constexpr std::uint32_t kStorageCardText = 20851;
constexpr std::uint32_t kMenuText = 21000;
constexpr std::uint32_t kCopyText = 21007;
constexpr std::uint32_t kDeleteText = 21009;
constexpr std::uint32_t kAboutText = 21019;
constexpr std::uint32_t kExitText = 21023;
constexpr std::uint32_t kRenameText = 21029;
constexpr std::uint32_t kNewText = 21040;
constexpr std::uint32_t kOpenText = 21041;
constexpr std::uint32_t kDeleteQuestion = 22011;
constexpr std::uint32_t kCreateFailed = 23001;
constexpr std::uint32_t kForbiddenChar = 23007;
constexpr std::uint32_t kExistsOnCard = 23010;
constexpr std::uint32_t kExistsInMemory = 23011;
constexpr std::uint32_t kInvalidNameCaption = 23012;
constexpr std::uint32_t kManagerTitle = 25001;
constexpr std::uint32_t kNewWalletTitle = 25002;
constexpr std::uint32_t kNameLabel = 30002;
// The manager's own texts (manager.txt).
constexpr std::uint32_t kRenameTitle = 25750;
constexpr std::uint32_t kSaveInLabel = 25751;
constexpr std::uint32_t kControlChar = 25752;
constexpr std::uint32_t kDotsName = 25753;
constexpr std::uint32_t kTooLong = 25754;
constexpr std::uint32_t kRenameExists = 25755;
constexpr std::uint32_t kRenameFailed = 25756;
constexpr std::uint32_t kDeleteFailed = 25758;
constexpr std::uint32_t kNotSearched = 25759;
constexpr std::uint32_t kAboutBody = 25761;
constexpr std::uint32_t kNoWallets = 25762;

constexpr int kMaxNameLength = 200;

// The folder a removable medium keeps documents in: named as the documents folder's last part.
std::string cardDocuments(const std::string& mount, const std::string& documents) {
    const QString last = QDir(QFile::decodeName(documents.c_str())).dirName();
    return mount + "/" + QFile::encodeName(last).toStdString();
}

QString mountLabel(const ui::UiContext& ui, const std::string& mount) {
    const QString name = QDir(QFile::decodeName(mount.c_str())).dirName();
    return QStringLiteral("%1 (%2)").arg(ui.text(kStorageCardText), name);
}

void tell(const ui::UiContext& ui, std::u16string text, std::u16string caption, Icon icon) {
    ui.prompt.ask(Message{std::move(text), std::move(caption), Buttons::Ok, icon});
}

}  // namespace

// --- The manager --------------------------------------------------------------------------------

WalletsManagerDialog::WalletsManagerDialog(const ui::UiContext& ui, WalletPlaces places, QWidget* parent)
    : FrameDialog(ui, parent), m_places(std::move(places)) {
    setObjectName(QStringLiteral("walletsManager"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(ui.px(6));
    m_list = new QListWidget(body);
    m_list->setObjectName(QStringLiteral("walletList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    m_list->setIconSize(QSize(ui.px(16), ui.px(16)));
    m_list->setFont(ui.fonts.slot(23));
    layout->addWidget(m_list, 1);
    auto* note = new QLabel(body);
    note->setObjectName(QStringLiteral("walletsNote"));
    note->setWordWrap(true);
    note->hide();
    layout->addWidget(note);

    auto* row = new QHBoxLayout;
    auto* newButton = new QPushButton(ui.text(kNewText), body);
    newButton->setObjectName(QStringLiteral("newWalletButton"));
    auto* menuButton = new QPushButton(ui.text(kMenuText), body);
    menuButton->setObjectName(QStringLiteral("walletsMenuButton"));
    m_menu = buildMenu(true);
    menuButton->setMenu(m_menu);
    row->addWidget(newButton);
    row->addStretch(1);
    row->addWidget(menuButton);
    layout->addLayout(row);
    connect(newButton, &QPushButton::clicked, this, &WalletsManagerDialog::newWallet);
    connect(m_menu, &QMenu::aboutToShow, this, &WalletsManagerDialog::updateMenu);
    connect(m_list, &QListWidget::itemActivated, this, [this] { openSelected(); });
    // Tap and hold (or a right click) on a row: the row's commands.
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (!m_list->itemAt(at) || selectedPath().empty()) return;
        QMenu* menu = buildMenu(false);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        updateMenuOf(menu);
        menu->popup(m_list->viewport()->mapToGlobal(at));
    });

    setUpFrame(ui.text(kManagerTitle), icons::icon(icons::kProgram), body);
    setWindowTitle(ui::toQString(kMainWindowTitle));
    refill();
    resize(ui.px(smartphone() ? 240 : 320), ui.px(smartphone() ? 320 : 400));
}

QMenu* WalletsManagerDialog::buildMenu(bool withAll) {
    const ui::UiContext& u = ui();
    auto* menu = new QMenu(this);
    auto add = [&](std::uint32_t textId, const char* name, void (WalletsManagerDialog::*slot)(), bool needsRow) {
        QAction* action = menu->addAction(u.text(textId));
        action->setObjectName(QLatin1String(name));
        action->setProperty("needsRow", needsRow);
        connect(action, &QAction::triggered, this, slot);
    };
    if (withAll) add(kNewText, "newAction", &WalletsManagerDialog::newWallet, false);
    add(kOpenText, "openAction", &WalletsManagerDialog::openSelected, true);
    add(kDeleteText, "deleteAction", &WalletsManagerDialog::deleteSelected, true);
    add(kCopyText, "copyAction", &WalletsManagerDialog::copySelected, true);
    add(kRenameText, "renameAction", &WalletsManagerDialog::renameSelected, true);
    if (withAll) {
        menu->addSeparator();
        add(kAboutText, "aboutAction", &WalletsManagerDialog::about, false);
        if (u.settings.exitMenu != 0) add(kExitText, "exitAction", &WalletsManagerDialog::exitProgram, false);
    }
    return menu;
}

void WalletsManagerDialog::updateMenu() {
    updateMenuOf(m_menu);
}

void WalletsManagerDialog::updateMenuOf(QMenu* menu) {
    const bool row = !selectedPath().empty();
    for (QAction* action : menu->actions()) {
        if (action->property("needsRow").toBool()) action->setEnabled(row);
    }
}

void WalletsManagerDialog::refill(const std::string& select) {
    const std::string keep = select.empty() ? selectedPath() : select;
    m_list->clear();
    m_entries.clear();
    std::vector<app::ScanPlace> places{{m_places.documents, false}};
    if (m_places.removable) {
        for (const std::string& mount : m_places.removable()) places.push_back({mount, true});
    }
    QApplication::setOverrideCursor(Qt::BusyCursor);
    app::ScanResult result = app::scanWallets(places, m_places.limits);
    QApplication::restoreOverrideCursor();
    m_entries = std::move(result.wallets);
    const QIcon current = icons::icon(icons::kWalletDocument);
    const QIcon older = icons::icon(icons::kOldWalletDocument);
    m_list->setUpdatesEnabled(false);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const app::WalletEntry& entry = m_entries[i];
        auto* item = new QListWidgetItem(entry.older ? older : current, ui::toQString(entry.name), m_list);
        item->setData(Qt::UserRole, static_cast<int>(i));
        item->setToolTip(QFile::decodeName(entry.path.c_str()));
        if (entry.path == keep) m_list->setCurrentItem(item);
    }
    m_list->setUpdatesEnabled(true);
    if (!m_list->currentItem() && m_list->count() > 0) m_list->setCurrentRow(0);
    auto* note = findChild<QLabel*>(QStringLiteral("walletsNote"));
    QStringList notes;
    if (m_entries.empty()) notes.append(ui().text(kNoWallets));
    if (!result.unfinished.empty()) {
        QStringList folders;
        for (const std::string& f : result.unfinished) folders.append(QFile::decodeName(f.c_str()));
        notes.append(
            ui::toQString(format(ui().strings.text(kNotSearched), {ui::toU16(folders.join(QStringLiteral(", ")))})));
    }
    note->setText(notes.join(QLatin1Char('\n')));
    note->setVisible(!notes.isEmpty());
    m_list->setFocus();
}

std::string WalletsManagerDialog::selectedPath() const {
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) return {};
    const int i = item->data(Qt::UserRole).toInt();
    return i >= 0 && static_cast<std::size_t>(i) < m_entries.size() ? m_entries[static_cast<std::size_t>(i)].path
                                                                    : std::string();
}

void WalletsManagerDialog::accept() {
    openSelected();
}

void WalletsManagerDialog::reject() {
    m_chosen.clear();
    m_new = false;
    done(2);
}

void WalletsManagerDialog::openSelected() {
    const std::string path = selectedPath();
    if (path.empty()) {
        reject();
        return;
    }
    // An older wallet is offered for conversion when it is opened.
    m_chosen = path;
    m_new = false;
    done(1);
}

void WalletsManagerDialog::newWallet() {
    WalletNameDialog dialog(ui(), m_places, this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_chosen = dialog.path();
    m_new = true;
    done(1);
}

void WalletsManagerDialog::deleteSelected() {
    const std::string path = selectedPath();
    if (path.empty()) return;
    const ui::UiContext& u = ui();
    const std::u16string question = format(u.strings.text(kDeleteQuestion), {fromUtf8(path)});
    if (u.prompt.ask(Message{question, u.strings.text(kInfoCaption), Buttons::YesNo, Icon::Warning}) != Answer::Yes)
        return;
    const app::FileOutcome outcome = app::deleteWallet(path);
    if (!outcome.ok) {
        // The row stays; the user learns why.
        tell(u, format(u.strings.text(kDeleteFailed), {fromUtf8(app::errorText(outcome.error))}),
             u.strings.text(kErrorCaption), Icon::Stop);
        return;
    }
    const int row = m_list->currentRow();
    delete m_list->takeItem(row);
    if (m_list->count() > 0) m_list->setCurrentRow(std::min(row, m_list->count() - 1));
}

void WalletsManagerDialog::copySelected() {
    const std::string path = selectedPath();
    if (path.empty()) return;
    const app::FileOutcome outcome = app::copyWallet(path);
    if (!outcome.ok) {
        QApplication::beep();
        tell(ui(), fromUtf8(app::errorText(outcome.error)), kMainWindowTitle, Icon::Information);
        return;
    }
    refill(outcome.path);
}

void WalletsManagerDialog::renameSelected() {
    const std::string path = selectedPath();
    if (path.empty()) return;
    WalletNameDialog dialog(ui(), path, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const ui::UiContext& u = ui();
    const app::FileOutcome outcome = app::renameWallet(path, dialog.name(), &u.settings.mru);
    if (!outcome.ok) {
        const std::u16string text =
            outcome.error == EEXIST ? u.strings.text(kRenameExists)
                                    : format(u.strings.text(kRenameFailed), {fromUtf8(app::errorText(outcome.error))});
        tell(u, text, u.strings.text(kErrorCaption), Icon::Stop);
        return;
    }
    refill(outcome.path);
}

void WalletsManagerDialog::about() {
    const ui::UiContext& u = ui();
    tell(
        u,
        format(u.strings.text(kAboutBody), {std::u16string(kMainWindowTitle), std::int64_t{app::kSettingsVersion / 100},
                                            std::int64_t{app::kSettingsVersion % 100}}),
        u.strings.text(kInfoCaption), Icon::Information);
}

void WalletsManagerDialog::exitProgram() {
    m_chosen.clear();
    done(kExitResult);
}

// --- The name of a new or renamed wallet ----------------------------------------------------------

WalletNameDialog::WalletNameDialog(const ui::UiContext& ui, const WalletPlaces& places, QWidget* parent)
    : FrameDialog(ui, parent) {
    m_folders.push_back({places.documents, false});
    if (places.removable) {
        for (const std::string& mount : places.removable()) m_folders.push_back({mount, true});
    }
    build(ui.text(kNewWalletTitle), {});
}

WalletNameDialog::WalletNameDialog(const ui::UiContext& ui, const std::string& path, QWidget* parent)
    : FrameDialog(ui, parent), m_renaming(path) {
    build(ui.text(kRenameTitle), ui::toQString(app::walletDisplayName(path)));
}

void WalletNameDialog::build(const QString& title, const QString& name) {
    const ui::UiContext& u = ui();
    setObjectName(QStringLiteral("walletNameDialog"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(u.px(4));
    auto* label = new QLabel(u.text(kNameLabel) + QLatin1Char(':'), body);
    m_edit = new QLineEdit(name, body);
    m_edit->setObjectName(QStringLiteral("walletNameEdit"));
    m_edit->setMaxLength(kMaxNameLength);
    label->setBuddy(m_edit);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    if (m_renaming.empty()) {
        auto* saveIn = new QLabel(u.text(kSaveInLabel), body);
        m_places = new QComboBox(body);
        m_places->setObjectName(QStringLiteral("saveInChooser"));
        for (const Place& place : m_folders)
            m_places->addItem(place.removable ? mountLabel(u, place.folder) : u.text(kDocumentsText));
        m_places->setEnabled(m_places->count() >= 2);
        saveIn->setBuddy(m_places);
        layout->addSpacing(u.px(6));
        layout->addWidget(saveIn);
        layout->addWidget(m_places);
    }
    layout->addStretch(1);
    setUpFrame(title, icons::icon(icons::kWalletDocument), body);
    m_edit->selectAll();
    m_edit->setFocus();
}

bool WalletNameDialog::nameIsUsable(const std::u16string& name) {
    const ui::UiContext& u = ui();
    std::uint32_t text = 0;
    switch (app::checkWalletName(name)) {
        case app::NameCheck::Ok:
        case app::NameCheck::Empty:
            return true;
        case app::NameCheck::ForbiddenChar:
            text = kForbiddenChar;
            break;
        case app::NameCheck::ControlChar:
            text = kControlChar;
            break;
        case app::NameCheck::Dots:
            text = kDotsName;
            break;
        case app::NameCheck::TooLong:
            text = kTooLong;
            break;
    }
    tell(u, u.strings.text(text), u.strings.text(kInvalidNameCaption), Icon::Stop);
    return false;
}

void WalletNameDialog::accept() {
    const std::u16string name = ui::toU16(m_edit->text());
    if (name.empty()) {
        reject();
        return;
    }
    if (!nameIsUsable(name)) return;
    if (!m_renaming.empty()) {
        if (name == app::walletDisplayName(m_renaming)) {
            reject();
            return;
        }
        m_name = name;
        QDialog::accept();
        return;
    }
    const ui::UiContext& u = ui();
    const int index = std::max(0, m_places->currentIndex());
    const Place& place = m_folders[static_cast<std::size_t>(index)];
    const std::string folder = place.removable ? cardDocuments(place.folder, m_folders.front().folder) : place.folder;
    const app::NewPath target = app::newWalletPath(folder, name, place.removable);
    switch (target.result) {
        case app::NewPathResult::Ok:
            m_name = name;
            m_path = target.path;
            QDialog::accept();
            return;
        case app::NewPathResult::Exists:
            tell(u, u.strings.text(place.removable ? kExistsOnCard : kExistsInMemory), kMainWindowTitle, Icon::Stop);
            return;
        case app::NewPathResult::NoFolder:
            tell(u, u.strings.text(kCreateFailed), u.strings.text(kErrorCaption), Icon::Stop);
            return;
    }
}

// --- The chooser ----------------------------------------------------------------------------------

std::optional<std::string> WalletsManager::choose(QWidget* parent) {
    for (;;) {
        WalletsManagerDialog manager(m_ui, m_places, parent);
        if (manager.exec() != 1) return std::nullopt;
        if (!manager.isNew()) return manager.chosenPath();
        const std::string path = manager.chosenPath();
        ui::NewPasswordDialog question(m_ui, ui::NewPasswordDialog::Purpose::NewWallet, parent);
        if (question.exec() != QDialog::Accepted) continue;
        std::u16string password = question.takePassword();
        const std::u16string hint = question.hint();
        const CreateResult created = createWallet(m_env, path, password, hint, true);
        ui::wipeText(password);
        if (created != CreateResult::Ok) {
            tell(m_ui, m_ui.strings.text(kCreateFailed), m_ui.strings.text(kErrorCaption), Icon::Stop);
            continue;
        }
        return path;
    }
}

WalletPlaces desktopWalletPlaces() {
    WalletPlaces places;
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty()) documents = QDir::homePath();
    places.documents = QFile::encodeName(documents).toStdString();
    places.removable = [] { return app::removableMounts(); };
    return places;
}

}  // namespace tw::shell
