#include "shell/MainFrame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/Settings.h"
#include "model/FolderTree.h"
#include "platform/Text.h"
#include "shell/WalletChooser.h"
#include "storage/WalletFile.h"
#include "views/DialogPasswordAsker.h"
#include "views/DlgBar.h"
#include "views/ObjectNames.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

constexpr std::uint32_t kMenuText = 21000;
constexpr std::uint32_t kWalletsText = 21022;
constexpr std::uint32_t kExitText = 21023;
constexpr std::uint32_t kErrorCaption = 20500;

}  // namespace

MainFrame::MainFrame(const ui::UiContext& ui, WalletFile& wallet, WalletChooser& chooser, OpenOptions options,
                     QWidget* parent)
    : QMainWindow(parent), m_ui(ui), m_wallet(wallet), m_chooser(chooser), m_options(std::move(options)) {
    setObjectName(ui::names::kMainWindow);
    setWindowTitle(ui::toQString(kMainWindowTitle));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_strip = new ui::DlgBar(ui, central);
    m_tree = new QTreeWidget(central);
    m_tree->setObjectName(ui::names::kWalletTree);
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setFont(ui.fonts.fontFor(ui.settings.fontMain, (ui.settings.fontMainStyle & 1) != 0));
    layout->addWidget(m_strip);
    layout->addWidget(m_tree, 1);
    setCentralWidget(central);
    buildMenu();
    resize(ui.px(360), ui.px(480));
}

void MainFrame::buildMenu() {
    QMenu* menu = menuBar()->addMenu(m_ui.text(kMenuText));
    QAction* wallets = menu->addAction(m_ui.text(kWalletsText));
    wallets->setObjectName(ui::names::kWalletsAction);
    wallets->setShortcut(QKeySequence::Open);
    connect(wallets, &QAction::triggered, this, &MainFrame::chooseAgain);
    menu->addSeparator();
    QAction* exit = menu->addAction(m_ui.text(kExitText));
    exit->setObjectName(ui::names::kExitAction);
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &MainFrame::exitProgram);
}

bool MainFrame::hasWallet() const {
    return m_wallet.isOpen();
}

bool MainFrame::openWallet(const std::string& path, bool returnToChooserOnFailure) {
    m_tree->clear();
    m_strip->setTitle({});
    ui::DialogPasswordAsker asker(m_ui, isVisible() ? this : nullptr);
    app::OpenRequest request;
    request.path = path;
    request.offerConversion = true;
    request.programFolder = m_options.programFolder;
    request.registry = m_options.registry;
    request.lockWait = std::chrono::seconds(3);
    const app::OpenOutcome outcome = app::openWallet(m_wallet, request, asker);
    if (outcome.opened()) {
        const std::u16string opened = fromUtf8(outcome.path);
        m_ui.settings.mru = opened.size() <= app::kMaxPath ? opened : std::u16string();
        showWallet();
        return true;
    }
    if (outcome.stage == app::OpenStage::Cancelled) {
        setWindowTitle(ui::toQString(kNoWalletTitle));
        return false;
    }
    const std::u16string text = app::openFailureText(m_ui.strings, outcome);
    if (!text.empty()) m_ui.prompt.ask(Message{text, m_ui.strings.text(kErrorCaption), Buttons::Ok, Icon::Stop});
    if (returnToChooserOnFailure) QTimer::singleShot(0, this, &MainFrame::chooseAgain);
    return false;
}

void MainFrame::showWallet() {
    const QString name = ui::toQString(app::walletDisplayName(m_wallet.path()));
    setWindowTitle(name + QStringLiteral(" - ") + ui::toQString(kMainWindowTitle));
    m_strip->setTitle(name);
    m_tree->clear();
    const FolderTree tree = FolderTree::build(m_wallet);
    std::vector<QTreeWidgetItem*> items(tree.size(), nullptr);
    const QColor special = ui::fromColorRef(m_ui.settings.colorFolderSpecial);
    const QColor forms = ui::fromColorRef(m_ui.settings.colorFolderForms);
    tree.walk(TreeNode::kNone, [&](std::size_t id) {
        const TreeNode& node = tree.node(id);
        QTreeWidgetItem* item =
            node.parent == TreeNode::kNone ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(items[node.parent]);
        item->setText(0, ui::toQString(node.label));
        if (node.isSpecial()) item->setForeground(0, special);
        if (node.type == tree_type::kFormsFolder) item->setForeground(0, forms);
        items[id] = item;
    });
    for (std::size_t id : tree.top()) {
        if (!tree.node(id).isSpecial()) items[id]->setExpanded(true);
    }
    if (m_tree->topLevelItemCount() > 0) m_tree->setCurrentItem(m_tree->topLevelItem(0));
    m_tree->setFocus();
}

void MainFrame::flushWallet() {
    if (m_wallet.isOpen() && !m_wallet.readOnly()) (void)m_wallet.flush();
}

void MainFrame::closeWallet() {
    flushWallet();
    m_wallet.close();
    m_tree->clear();
    m_strip->setTitle({});
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

void MainFrame::closeEvent(QCloseEvent* event) {
    closeWallet();
    event->accept();
}

}  // namespace tw::shell
