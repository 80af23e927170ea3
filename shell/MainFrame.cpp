#include "shell/MainFrame.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/Settings.h"
#include "platform/Launcher.h"
#include "platform/SecretClipboard.h"
#include "platform/Text.h"
#include "shell/AutoClose.h"
#include "shell/CommandTable.h"
#include "shell/LongWork.h"
#include "shell/WalletChooser.h"
#include "shell/WalletTreeModel.h"
#include "storage/WalletFile.h"
#include "views/DialogPasswordAsker.h"
#include "views/DlgBar.h"
#include "views/ObjectNames.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

constexpr std::uint32_t kMenuText = 21000;
constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kFindHint = 20100;
constexpr std::uint32_t kEditText = 21005;
constexpr std::uint32_t kOptionsText = 21012;
constexpr std::uint32_t kOpeningText = 41305;
constexpr int kNormalMenuBar = 963;
constexpr int kFindMenuBar = 967;

// Cancels every open dialog and message box, innermost first; their exec() calls return once
// control gets back to their event loops.
void cancelDialogs() {
    while (QWidget* modal = QApplication::activeModalWidget()) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog) break;
        dialog->reject();
        if (QApplication::activeModalWidget() == modal) modal->hide();
    }
    for (QWidget* popup = QApplication::activePopupWidget(); popup; popup = QApplication::activePopupWidget())
        popup->close();
}

}  // namespace

MainFrame::MainFrame(const ui::UiContext& ui, WalletFile& wallet, WalletChooser& chooser, OpenOptions options,
                     QWidget* parent)
    : MainFrame(ui, wallet, chooser, std::move(options), Services{}, parent) {}

MainFrame::MainFrame(const ui::UiContext& ui, WalletFile& wallet, WalletChooser& chooser, OpenOptions options,
                     Services services, QWidget* parent)
    : QMainWindow(parent),
      m_ui(ui),
      m_wallet(wallet),
      m_chooser(chooser),
      m_options(std::move(options)),
      m_services(std::move(services)) {
    if (!m_services.clock) {
        m_ownClock = std::make_unique<BootClock>();
        m_services.clock = m_ownClock.get();
    }
    if (!m_services.launcher) {
        m_ownLauncher = std::make_unique<PosixLauncher>();
        m_services.launcher = m_ownLauncher.get();
    }
    if (!m_services.cardOpener) m_services.cardOpener = showPlainCard;
    if (m_services.documentsFolder.empty()) {
        m_services.documentsFolder =
            QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).toStdString();
    }
    m_secrets = std::make_unique<SecretClipboard>(QGuiApplication::clipboard());
    m_autoClose = new AutoClose(*m_services.clock, this);
    connect(m_autoClose, &AutoClose::closeRequested, this, &MainFrame::closeAutomatically);
    if (SessionSignals* session = m_services.session) {
        auto closeIfArmed = [this] {
            if (m_wallet.isOpen() && m_autoClose->interval() != 0) closeAutomatically();
        };
        connect(session, &SessionSignals::locked, this, closeIfArmed);
        connect(session, &SessionSignals::suspending, this, closeIfArmed);
        connect(session, &SessionSignals::resumed, m_autoClose, &AutoClose::check);
    }

    setObjectName(ui::names::kMainWindow);
    setWindowTitle(ui::toQString(kMainWindowTitle));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_strip = new ui::DlgBar(ui, central);
    layout->addWidget(m_strip);
    buildFindBar(central);
    layout->addWidget(m_findBar);

    m_customIcons.watch(m_wallet);
    m_model = new WalletTreeModel(
        {ui::fromColorRef(ui.settings.colorFolderSpecial), ui::fromColorRef(ui.settings.colorFolderForms)},
        &m_customIcons, ui.dpi, this);
    m_model->dropAllowed = [this](std::int64_t source, const QModelIndex& target) {
        const app::DropPlan plan = app::planDrop(m_wallet, app::recordItem(m_wallet, static_cast<std::size_t>(source)),
                                                 m_model->treeItem(target));
        return plan.action != app::DropAction::Nothing;
    };
    connect(m_model, &WalletTreeModel::dropRequested, this, &MainFrame::dropOn);
    connect(m_model, &WalletTreeModel::renameRequested, this, &MainFrame::renameDone);

    m_tree = new QTreeView(central);
    m_tree->setObjectName(ui::names::kWalletTree);
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setExpandsOnDoubleClick(false);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setDragDropMode(QAbstractItemView::DragDrop);
    m_tree->setDefaultDropAction(Qt::MoveAction);
    m_tree->setDragEnabled(true);
    m_tree->setAcceptDrops(true);
    m_tree->setDropIndicatorShown(true);
    m_tree->setAutoScroll(true);  // scrolls while a drag nears the top or bottom edge
    m_tree->setAutoScrollMargin(ui.px(16));
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setFont(ui.fonts.fontFor(ui.settings.fontMain, (ui.settings.fontMainStyle & 1) != 0));
    m_tree->installEventFilter(this);
    connect(m_tree, &QTreeView::doubleClicked, this, &MainFrame::openItem);
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_autoClose->touch();
        const QModelIndex index = m_tree->indexAt(at);
        if (index.isValid()) m_tree->setCurrentIndex(index);
        if (!index.isValid()) m_tree->setCurrentIndex({});
        QMenu* menu = buildContextMenu(m_model->treeItem(index));
        if (!menu) return;
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_tree->viewport()->mapToGlobal(at));
    });
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { updateActions(); });
    layout->addWidget(m_tree, 1);
    setCentralWidget(central);

    buildActions();
    setMenuBar(kNormalMenuBar);
    rebuildToolBar();
    showFindBar(false);
    updateActions();
    resize(ui.px(360), ui.px(480));
}

MainFrame::~MainFrame() {
    app::CustomIcons::unwatch(m_wallet);
}

void MainFrame::setCardOpener(CardOpener opener) {
    m_services.cardOpener = opener ? std::move(opener) : CardOpener(showPlainCard);
}

QAction* MainFrame::action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void MainFrame::buildActions() {
    for (const CommandSpec& spec : commandTable()) {
        auto* a = new QAction(m_ui.text(spec.textId), this);
        a->setObjectName(QLatin1StringView(spec.objectName));
        if (spec.standardKey != QKeySequence::UnknownKey) {
            a->setShortcuts(spec.standardKey);
        } else if (spec.key.toCombined() != 0) {
            a->setShortcut(QKeySequence(spec.key));
        }
        if (spec.scope == ShortcutScope::Tree) {
            // Works only while the tree has the focus: in the find box these keys edit its text.
            a->setShortcutContext(Qt::WidgetShortcut);
            m_tree->addAction(a);
        } else {
            addAction(a);
        }
        const int id = spec.id;
        connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
        m_actions[id] = a;
    }
    m_actions[cmd::kExpandedMenus]->setCheckable(true);
    m_actions[cmd::kExpandedMenus]->setVisible(!m_ui.smartphone());
    m_actions[cmd::kImport]->setVisible(!m_ui.smartphone());
    m_actions[cmd::kImportForm]->setVisible(!m_ui.smartphone());
    m_actions[cmd::kExport]->setVisible(!m_ui.smartphone());
    m_actions[cmd::kExit]->setObjectName(ui::names::kExitAction);
    m_actions[cmd::kWallets]->setObjectName(ui::names::kWalletsAction);
}

void MainFrame::buildFindBar(QWidget* parent) {
    m_findBar = new QWidget(parent);
    m_findBar->setObjectName(QStringLiteral("findBar"));
    auto* row = new QHBoxLayout(m_findBar);
    row->setContentsMargins(m_ui.px(2), m_ui.px(2), m_ui.px(2), m_ui.px(2));
    row->setSpacing(m_ui.px(2));
    auto button = [&](const QString& text, const char* name) {
        auto* b = new QToolButton(m_findBar);
        b->setText(text);
        b->setObjectName(QLatin1StringView(name));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_findEdit = new QLineEdit(m_findBar);
    m_findEdit->setObjectName(QStringLiteral("findEdit"));
    m_findEdit->setMaxLength(static_cast<int>(app::kFindBoxLength));
    m_findEdit->setPlaceholderText(m_ui.text(kFindHint));
    m_findEdit->setClearButtonEnabled(false);
    m_findEdit->installEventFilter(this);
    connect(m_findEdit, &QLineEdit::returnPressed, this, [this] { runCommand(cmd::kGo); });
    m_findGo = button(m_ui.text(21024), "findGo");
    m_findClear = button(QStringLiteral("\u2715"), "findClear");
    m_findToTree = button(QStringLiteral("\u2193"), "findToTree");
    row->addWidget(m_findEdit, 1);
    row->addWidget(m_findGo);
    row->addWidget(m_findClear);
    row->addWidget(m_findToTree);
    connect(m_findGo, &QToolButton::clicked, this, [this] { runCommand(cmd::kGo); });
    connect(m_findClear, &QToolButton::clicked, this, [this] {
        m_findEdit->clear();
        m_findEdit->setFocus();
    });
    connect(m_findToTree, &QToolButton::clicked, this, [this] {
        if (!m_tree->currentIndex().isValid() && m_model->rowCount() > 0) m_tree->setCurrentIndex(m_model->index(0, 0));
        m_tree->setFocus();
    });
    // The Smartphone has neither the Go nor the clear button: its soft keys do both.
    m_findGo->setVisible(!m_ui.smartphone());
    m_findClear->setVisible(!m_ui.smartphone());
    m_findToTree->setVisible(false);
}

void MainFrame::setMenuBar(int id) {
    if (id == m_menuBarId) return;
    m_menuBarId = id;
    QMenuBar* bar = menuBar();
    bar->clear();
    if (id == kFindMenuBar) {
        bar->addAction(m_actions[cmd::kGo]);
        bar->addAction(m_actions[cmd::kCancelFind]);
        return;
    }
    bar->addAction(m_actions[cmd::kFind]);
    QMenu* menu = bar->addMenu(m_ui.text(kMenuText));
    menu->setObjectName(QStringLiteral("mainMenu"));
    connect(menu, &QMenu::aboutToShow, this, [this] {
        m_autoClose->touch();
        updateActions();
    });
    auto fill = [this](QMenu* target, std::span<const int> ids) {
        for (int command : ids) {
            if (command == 0) {
                target->addSeparator();
            } else if (command > 0) {
                target->addAction(m_actions[command]);
            }
        }
    };
    for (int command : mainMenu()) {
        if (command == -1) {
            QMenu* edit = menu->addMenu(m_ui.text(kEditText));
            fill(edit, editMenu());
        } else if (command == -2) {
            QMenu* options = menu->addMenu(m_ui.text(kOptionsText));
            fill(options, optionsMenu(m_ui.smartphone()));
        } else {
            fill(menu, std::span<const int>(&command, 1));
        }
    }
}

void MainFrame::rebuildToolBar() {
    const bool expanded = !m_ui.smartphone() && m_ui.settings.menusExpanded != 0;
    m_actions[cmd::kExpandedMenus]->setChecked(expanded);
    if (!expanded) {
        delete m_toolBar;
        m_toolBar = nullptr;
        return;
    }
    if (m_toolBar) return;
    m_toolBar = addToolBar(QStringLiteral("commands"));
    m_toolBar->setObjectName(QStringLiteral("commandBar"));
    m_toolBar->setMovable(false);
    m_toolBar->addAction(m_actions[cmd::kNewCard]);
    m_toolBar->addAction(m_actions[cmd::kNewFolder]);
    m_toolBar->addAction(m_actions[cmd::kFind]);
}

app::TreeItem MainFrame::selected() const {
    if (!m_wallet.isOpen()) return {};
    return m_model->treeItem(m_tree->currentIndex());
}

std::uint32_t MainFrame::selectedMask() const {
    return app::permissionMask(selected(), m_clip.sourceType(m_wallet));
}

void MainFrame::updateActions() {
    const bool open = m_wallet.isOpen();
    const app::TreeItem item = selected();
    const std::uint32_t mask = selectedMask();
    for (const CommandSpec& spec : commandTable()) {
        QAction* a = m_actions[spec.id];
        bool enabled = open;
        if (spec.maskBits != 0) enabled = open && item.type != 0 && (mask & spec.maskBits) != 0;
        a->setEnabled(enabled);
    }
    // Paste and the new entries also work with nothing selected (the top level).
    if (open && item.type == 0) {
        m_actions[cmd::kNewFolder]->setEnabled(true);
        m_actions[cmd::kPaste]->setEnabled(m_clip.sourceType(m_wallet) == tree_type::kFolder ||
                                           m_clip.sourceType(m_wallet) == tree_type::kCard);
    }
    m_actions[cmd::kDelete]->setText(m_ui.text(app::deleteLabel(mask)));
    m_actions[cmd::kRename]->setEnabled(open && item.type != 0 && !item.underSpecial() &&
                                        item.type != tree_type::kRecovered);
    m_actions[cmd::kProperties]->setEnabled(open && item.type != 0 && !item.underSpecial() &&
                                            item.type != tree_type::kRecovered);
    m_actions[cmd::kGoToCard]->setEnabled(open && item.underSpecial());
    m_actions[cmd::kSaveAsForm]->setEnabled(open && item.type == tree_type::kCard &&
                                            (mask & app::permission::kSaveAsForm) != 0);
    for (int id : {cmd::kExit, cmd::kWallets, cmd::kHelp, cmd::kAbout, cmd::kExpandedMenus, cmd::kCancelFind})
        m_actions[id]->setEnabled(true);
}

QMenu* MainFrame::buildContextMenu(const app::TreeItem& item) {
    if (!m_wallet.isOpen()) return nullptr;
    updateActions();
    const std::span<const int> ids = contextMenu(item.type, item.parentType);
    if (ids.empty()) return nullptr;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("contextMenu"));
    for (int id : ids) {
        if (id == 0) {
            menu->addSeparator();
        } else if (QAction* a = m_actions[id]; a->isVisible()) {
            menu->addAction(a);
        }
    }
    return menu;
}

QMenu* MainFrame::contextMenuFor(const QModelIndex& index) {
    return buildContextMenu(m_model->treeItem(index));
}

void MainFrame::select(const QModelIndex& index) {
    if (!index.isValid()) return;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
}

bool MainFrame::hasWallet() const {
    return m_wallet.isOpen();
}

bool MainFrame::openWallet(const std::string& path, bool returnToChooserOnFailure) {
    m_autoClose->stop();
    m_closing = false;
    m_closePending = false;
    closeWallet();
    ui::DialogPasswordAsker asker(m_ui, isVisible() ? this : nullptr);
    app::OpenRequest request;
    request.path = path;
    request.offerConversion = true;
    request.programFolder = m_options.programFolder;
    request.registry = m_options.registry;
    request.lockWait = std::chrono::seconds(3);
    UpgradeProgressDialog upgrade(this, m_ui.text(kOpeningText));
    request.progress = &upgrade;
    const app::OpenOutcome outcome = app::openWallet(m_wallet, request, asker);
    if (outcome.opened()) {
        const std::u16string opened = fromUtf8(outcome.path);
        m_ui.settings.mru = opened.size() <= app::kMaxPath ? opened : std::u16string();
        m_iconMender.opened(true);
        showWallet();
        return true;
    }
    if (outcome.stage == app::OpenStage::Cancelled) {
        setWindowTitle(ui::toQString(kNoWalletTitle));
        updateActions();
        return false;
    }
    const std::u16string text = app::openFailureText(m_ui.strings, outcome);
    if (!text.empty()) m_ui.prompt.ask(Message{text, m_ui.strings.text(kErrorCaption), Buttons::Ok, Icon::Stop});
    if (returnToChooserOnFailure) QTimer::singleShot(0, this, &MainFrame::chooseAgain);
    updateActions();
    return false;
}

void MainFrame::afterOpen() {
    const std::uint32_t minutes = m_wallet.settings().closeMinutes();
    m_autoClose->start(minutes);
    if (m_services.session) m_services.session->holdSleep(minutes != 0);
}

void MainFrame::showWallet() {
    const QString name = ui::toQString(app::walletDisplayName(m_wallet.path()));
    setWindowTitle(name + QStringLiteral(" - ") + ui::toQString(kMainWindowTitle));
    m_strip->setTitle(name);
    m_clip.clear();
    m_model->build(m_wallet);
    // Icon numbers other programs wrote out of range are mended once the tree shows the records
    // (only after a good opening of a writable wallet); the tree then shows the mended icons.
    if (m_iconMender.treeBuilt(m_wallet).mended > 0) m_model->build(m_wallet);
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex top = m_model->index(row, 0);
        if (m_model->treeItem(top).type < tree_type::kFavourites) m_tree->expand(top);
    }
    showFindBar(false);
    if (m_model->rowCount() > 0) m_tree->setCurrentIndex(m_model->index(0, 0));
    m_tree->setFocus();
    updateActions();
    afterOpen();
}

void MainFrame::flushWallet() {
    if (m_wallet.isOpen() && !m_wallet.readOnly()) (void)m_wallet.flush();
}

void MainFrame::closeWallet() {
    m_autoClose->stop();
    m_secrets->clearIfOurs();
    m_clip.clear();
    flushWallet();
    m_wallet.close();
    m_model->clearAll();
    m_customIcons.clear();
    m_iconMender.opened(false);
    m_strip->setTitle({});
    if (m_services.session) m_services.session->holdSleep(false);
}

int MainFrame::showWalletsManager() {
    closeWallet();
    const std::optional<std::string> path = m_chooser.choose(isVisible() ? this : nullptr);
    if (!path) return -1;
    openWallet(*path, true);
    return 1;
}

void MainFrame::chooseAgain() {
    if (showWalletsManager() < 0) exitProgram();
}

void MainFrame::exitProgram() {
    closeWallet();
    close();
}

void MainFrame::closeAutomatically() {
    if (m_busy > 0) {
        // The work in progress finishes first; then the wallet closes.
        m_closePending = true;
        return;
    }
    if (m_closing) return;
    m_closing = true;
    m_autoClose->stop();
    m_secrets->clearIfOurs();
    cancelDialogs();
    // Exit runs once every cancelled dialog has returned from its exec().
    QTimer::singleShot(0, this, [this] {
        cancelDialogs();
        exitProgram();
    });
}

void MainFrame::closeEvent(QCloseEvent* event) {
    closeWallet();
    event->accept();
}

void MainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !m_wallet.isOpen()) return;
    if (isActiveWindow()) {
        if (!m_autoClose->check()) m_tree->setFocus();
        return;
    }
    // Switching to another program (not to one of our dialogs) closes the wallet when the user
    // asked for that and the wallet closes itself at all.
    if (m_ui.settings.closeOnSwitch != 0 && m_autoClose->interval() != 0 && !QApplication::activeWindow() &&
        !QApplication::activeModalWidget() && !QApplication::activePopupWidget()) {
        closeAutomatically();
    }
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // The view would copy an item's name by itself; the Copy command decides what is copied.
    if (watched == m_tree && key->matches(QKeySequence::Copy)) return true;
    if (watched == m_tree && key->modifiers() == Qt::NoModifier) {
        const QModelIndex current = m_tree->currentIndex();
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                openItem(current);
                return true;
            case Qt::Key_Up:
                // Up on the first item goes to the find box.
                if (current.isValid() && !current.parent().isValid() && current.row() == 0) {
                    showFindBar(true);
                    return true;
                }
                break;
            default:
                break;
        }
    }
    if (watched == m_findEdit) {
        switch (key->key()) {
            case Qt::Key_Down:
                m_tree->setFocus();
                return true;
            case Qt::Key_Escape:
                // The Back key (and Escape) leaves the find box.
                runCommand(cmd::kCancelFind);
                return true;
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainFrame::showFindBar(bool show) {
    m_findMode = show;
    m_findBar->setVisible(show);
    setMenuBar(show ? kFindMenuBar : kNormalMenuBar);
    if (show) {
        m_findEdit->setFocus();
        m_findEdit->end(false);
    }
}

LocalePatterns MainFrame::locale() const {
    const QLocale l;
    QString date = l.dateFormat(QLocale::ShortFormat);
    QString time = l.timeFormat(QLocale::ShortFormat);
    time.replace(QStringLiteral("AP"), QStringLiteral("tt")).replace(QStringLiteral("ap"), QStringLiteral("tt"));
    return {ui::toU16(date), ui::toU16(time), u":"};
}

}  // namespace tw::shell
