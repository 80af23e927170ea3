// The main window's commands: what each menu entry, key and drop does to the open wallet and to
// the tree. The rules live in app/TreeCommands; here they are asked, shown and applied.
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QTreeView>

#include "app/PasswordCheck.h"
#include "model/BuiltinForms.h"
#include "model/Card.h"
#include "model/Export.h"
#include "model/FormCards.h"
#include "model/FormLayoutFile.h"
#include "model/WalletImportSink.h"
#include "platform/Launcher.h"
#include "platform/SecretClipboard.h"
#include "platform/Text.h"
#include "shell/AutoClose.h"
#include "shell/CommandTable.h"
#include "shell/LongWork.h"
#include "shell/MainFrame.h"
#include "shell/WalletTreeModel.h"
#include "storage/ChangePassword.h"
#include "storage/WalletFile.h"
#include "views/EnterPasswordDialog.h"
#include "views/FolderPropertiesDialog.h"
#include "views/FormChooser.h"
#include "views/NewPasswordDialog.h"
#include "views/SecurityOptionsDialog.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

namespace tt = tree_type;

constexpr std::uint32_t kInfoCaption = 20001;
constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kConfirmCaption = 20504;
constexpr std::uint32_t kFoldersRefused = 22000;
constexpr std::uint32_t kFormsFolderRefused = 22005;
constexpr std::uint32_t kPasswordChanged = 22006;
constexpr std::uint32_t kTooShort = 22007;
constexpr std::uint32_t kNothingFound = 22155;
constexpr std::uint32_t kImportQuestion = 22040;
constexpr std::uint32_t kImportFolder = 22041;
constexpr std::uint32_t kExportDone = 22146;
constexpr std::uint32_t kOpenExported = 22147;
constexpr std::uint32_t kNotCompleted = 23002;
constexpr std::uint32_t kImportCardsTitle = 25017;
constexpr std::uint32_t kImportFormTitle = 25030;
constexpr std::uint32_t kNewFolderName = 28706;
constexpr std::uint32_t kFolderNameLabel = 28701;
constexpr std::uint32_t kPartialDelete = 41301;
constexpr std::uint32_t kCopyFailed = 41302;
constexpr std::uint32_t kAboutText = 41303;
constexpr std::uint32_t kHelpMissing = 41304;
constexpr std::uint32_t kChangePasswordTitle = 26000;
constexpr std::uint32_t kExportTitle = 22110;

}  // namespace

void MainFrame::runCommand(int id) {
    m_autoClose->touch();
    if (id != cmd::kPaste && m_clip.endCut()) m_model->setGhost(-1);
    switch (id) {
        case cmd::kExit:
            exitProgram();
            return;
        case cmd::kWallets:
            chooseAgain();
            return;
        case cmd::kFind:
            showFindBar(!m_findMode || !m_findEdit->hasFocus());
            return;
        case cmd::kGo:
            runFind();
            return;
        case cmd::kCancelFind:
            cancelFind();
            return;
        case cmd::kHelp:
            help();
            return;
        case cmd::kAbout:
            about();
            return;
        case cmd::kExpandedMenus:
            m_ui.settings.menusExpanded = m_ui.settings.menusExpanded ? 0 : 1;
            rebuildToolBar();
            return;
        default:
            break;
    }
    if (!m_wallet.isOpen()) return;
    switch (id) {
        case cmd::kNewCard:
            newCard();
            break;
        case cmd::kNewFolder:
            newFolder();
            break;
        case cmd::kProperties:
            properties();
            break;
        case cmd::kDelete:
        case cmd::kRemove:
        case cmd::kClear:
            deleteSelected();
            break;
        case cmd::kCut:
            copySelected(true);
            break;
        case cmd::kCopy:
            copySelected(false);
            break;
        case cmd::kPaste:
            pasteHere();
            break;
        case cmd::kAddFavourite:
            addToFavourites();
            break;
        case cmd::kSaveAsForm:
            saveAsForm();
            break;
        case cmd::kRename: {
            const app::TreeItem item = selected();
            if (item.type == 0 || item.underSpecial() || item.type == tt::kRecovered) break;
            m_model->allowRename(true);
            m_tree->edit(m_tree->currentIndex());
            break;
        }
        case cmd::kExport:
            exportSelection();
            break;
        case cmd::kImport:
            importCards();
            break;
        case cmd::kImportForm:
            importForm();
            break;
        case cmd::kSecurity:
            security();
            break;
        case cmd::kChangePassword:
            changePassword();
            break;
        case cmd::kGoToCard:
            goToCard();
            break;
        default:
            break;
    }
    updateActions();
}

// --- Opening ------------------------------------------------------------------------------------

void MainFrame::openItem(const QModelIndex& index) {
    m_autoClose->touch();
    const app::TreeItem item = m_model->treeItem(index);
    if (item.type == tt::kCard && item.position >= 0) {
        openCard(static_cast<std::size_t>(item.position));
    } else if (item.type == tt::kFolder || item.type == tt::kFormsFolder) {
        if (!m_ui.smartphone()) m_tree->setExpanded(index, !m_tree->isExpanded(index));
    }
}

void MainFrame::openCard(std::size_t position) {
    const RecordId id = m_wallet.index().at(position).id();
    std::unique_ptr<Card> card = m_wallet.loadCard(id);
    if (!card) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    const bool inForms = app::recordItem(m_wallet, position).parentType == tt::kFormsFolder;
    CardSession session{m_wallet, *card, false, inForms, m_wallet.readOnly()};
    const CardOutcome outcome = m_services.cardOpener(this, m_ui, session);
    m_autoClose->touch();
    if (m_closing || !m_wallet.isOpen()) return;
    if (outcome == CardOutcome::Changed && !m_wallet.readOnly()) {
        if (m_wallet.saveCard(*card) < 0) {
            m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
            return;
        }
        m_model->updateRecord(m_wallet, position);
        refreshSpecial();
    } else if (outcome == CardOutcome::Deleted && !m_wallet.readOnly()) {
        if (!m_wallet.remove(position)) {
            m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
            return;
        }
        m_model->removeRecord(position);
        refreshSpecial();
    }
}

// --- New card, new folder, properties, rename ---------------------------------------------------

void MainFrame::newCard() {
    const app::TreeItem item = selected();
    if (item.type == tt::kFavourites || item.type == tt::kSearchResults) {
        QApplication::beep();
        return;
    }
    const std::int64_t folder = app::targetFolder(m_wallet, item);
    // The form choice, preset with the folder's default form.
    const FormRef folderForm =
        folder >= 0 ? m_wallet.index().at(static_cast<std::size_t>(folder)).formRef() : FormRef{};
    const std::optional<app::FormChoice> chosen =
        ui::FormChooser::choose(m_ui, m_wallet, &m_customIcons, folderForm, ui::FormChooser::Purpose::NewCard, this);
    if (!chosen || m_closing || !m_wallet.isOpen()) return;
    const RecordId parent = folder >= 0 ? m_wallet.index().at(static_cast<std::size_t>(folder)).id() : RecordId{};
    std::unique_ptr<Card> card = newCardFromForm(m_wallet, parent, chosen->ref);
    if (!card) return;
    CardSession session{m_wallet, *card, true, true, m_wallet.readOnly()};
    const CardOutcome outcome = m_services.cardOpener(this, m_ui, session);
    if (m_closing || !m_wallet.isOpen() || outcome != CardOutcome::Changed) return;
    const std::int64_t position = m_wallet.appendCard(*card);
    if (position < 0) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    const QModelIndex index = m_model->insertRecord(m_wallet, static_cast<std::size_t>(position));
    if (index.parent().isValid()) m_tree->expand(index.parent());
    select(index);
}

void MainFrame::newFolder() {
    const app::TreeItem item = selected();
    if (item.type != 0 && (app::permissionMask(item, 0) & app::permission::kNewFolder) == 0) return;
    std::int64_t parent = item.type == 0 ? -1 : app::targetFolder(m_wallet, item);
    if (item.underSpecial()) parent = -1;
    bool ok = false;
    const QString name = QInputDialog::getText(this, m_ui.text(kNewFolderName), m_ui.text(kFolderNameLabel),
                                               QLineEdit::Normal, m_ui.text(kNewFolderName), &ok)
                             .trimmed();
    if (!ok || name.isEmpty() || m_closing) return;
    const RecordId parentId = parent >= 0 ? m_wallet.index().at(static_cast<std::size_t>(parent)).id() : RecordId{};
    RecordHeader header = m_wallet.newFolder(parentId, false);
    header.setName(ui::toU16(name), m_wallet.recordKey(), m_wallet.env().clock.localTime());
    const std::int64_t position = m_wallet.appendFolder(header);
    if (position < 0) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    const QModelIndex index = m_model->insertRecord(m_wallet, static_cast<std::size_t>(position));
    if (index.parent().isValid()) m_tree->expand(index.parent());
    select(index);
}

void MainFrame::properties() {
    const app::TreeItem item = selected();
    if (item.type == tt::kCard && item.position >= 0) {
        openCard(static_cast<std::size_t>(item.position));
        return;
    }
    if (item.underSpecial() || item.type == 0 || item.type == tt::kRecovered) return;
    const QModelIndex index = m_tree->currentIndex();
    ui::FolderPropertiesDialog::Folder folder;
    folder.name = ui::toU16(index.data().toString());
    if (item.type == tt::kFavourites || item.type == tt::kSearchResults) {
        // A special entry: its name alone (the find results' entry shows the find text after it).
        const int slot = item.type == tt::kFavourites ? 1 : 2;
        std::uint32_t icon = 0;
        if (!m_wallet.keys().readSpecial(slot, folder.name, icon)) folder.name.clear();
        folder.specialEntry = slot;
        const auto changes = ui::FolderPropertiesDialog::edit(m_ui, m_wallet, m_customIcons, folder, this);
        if (changes && changes->name && !m_closing) renameDone(index, ui::toQString(*changes->name));
        return;
    }
    if (!item.isRecord()) return;
    const auto position = static_cast<std::size_t>(item.position);
    RecordHeader header = m_wallet.headerAt(position);
    folder.icon = app::IconChoice::of(header, m_customIcons);
    folder.defaultForm = header.formRef();
    folder.mayPlaceAtMainLevel = !header.parent().isZero();
    const auto changes = ui::FolderPropertiesDialog::edit(m_ui, m_wallet, m_customIcons, folder, this);
    if (!changes || m_closing || !m_wallet.isOpen()) return;
    const SystemTime now = m_wallet.env().clock.localTime();
    if (changes->name && !changes->name->empty()) header.setName(*changes->name, m_wallet.recordKey(), now);
    if (changes->icon) changes->icon->applyTo(header);
    if (changes->defaultForm) header.setFormRef(*changes->defaultForm);
    const bool toMainLevel = changes->placeAtMainLevel && *changes->placeAtMainLevel;
    if (toMainLevel) header.setParent(RecordId{});
    if (!m_wallet.rewriteHeader(header)) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    if (toMainLevel) m_model->moveRecord(m_wallet, position);
    m_model->updateRecord(m_wallet, position);
    select(m_model->indexOf(item.position));
    refreshSpecial();
}

void MainFrame::renameDone(const QModelIndex& index, const QString& text) {
    m_model->allowRename(false);
    const app::TreeItem item = m_model->treeItem(index);
    const QString name = text.trimmed();
    if (name.isEmpty() || !m_wallet.isOpen()) return;
    if (item.type == tt::kFavourites || item.type == tt::kSearchResults) {
        const int slot = item.type == tt::kFavourites ? 1 : 2;
        m_wallet.keys().setSpecial(slot, ui::toU16(name), KeyBlock::kKeepIcon, m_wallet.env().clock.localTime());
        refreshSpecial();
        return;
    }
    if (!item.isRecord()) return;
    const auto position = static_cast<std::size_t>(item.position);
    if (name == ui::toQString(m_wallet.nameOf(position))) return;
    if (!m_wallet.rename(position, ui::toU16(name))) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    m_model->updateRecord(m_wallet, position);
    refreshSpecial();
    select(m_model->indexOf(item.position));
}

// --- Delete, clipboard, drop -------------------------------------------------------------------

void MainFrame::deleteSelected() {
    const app::TreeItem item = selected();
    const app::DeletePlan plan = app::planDelete(m_wallet, item, m_ui.strings);
    if (plan.kind == app::DeleteKind::Nothing) return;
    if (plan.kind == app::DeleteKind::FormsFolderRefused) {
        m_ui.message(kFormsFolderRefused, kInfoCaption, Buttons::Ok, Icon::Information);
        return;
    }
    if (!plan.question.empty()) {
        const Answer answer =
            m_ui.prompt.ask(Message{plan.question, m_ui.strings.text(kInfoCaption), Buttons::YesNo, Icon::Question});
        if (answer != Answer::Yes || m_closing) return;
    }
    const QModelIndex next = m_tree->indexBelow(m_tree->currentIndex());
    const app::DeleteResult result = app::runDelete(m_wallet, item, plan);
    if (result.partial) {
        // Part of a folder is gone: the tree is read again from the index.
        m_ui.message(kPartialDelete, kErrorCaption, Buttons::Ok, Icon::Stop);
        showWallet();
        return;
    }
    if (!result.done) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    const std::int64_t nextPosition = next.isValid() ? m_model->treeItem(next).position : -1;
    for (std::size_t position : result.removed) m_model->removeRecord(position);
    refreshSpecial();
    if (nextPosition >= 0) select(m_model->indexOf(nextPosition));
}

void MainFrame::copySelected(bool cut) {
    const app::TreeItem item = selected();
    const std::uint32_t mask = app::permissionMask(item, 0);
    if (!item.isRecord() || (mask & (cut ? app::permission::kCut : app::permission::kCopy)) == 0) return;
    const auto position = static_cast<std::size_t>(item.position);
    m_clip.set(cut ? app::ClipMode::Cut : app::ClipMode::Copy, m_wallet, position);
    m_model->setGhost(cut ? item.position : -1);
    if (cut || item.type != tt::kCard) return;
    // A copied card also goes to the desktop's clipboard as text: a secret, cleared again.
    std::unique_ptr<Card> card = m_wallet.loadCard(m_wallet.index().at(position).id());
    if (!card) {
        m_ui.message(kCopyFailed, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    std::u16string text = cardClipboardText(*card, m_wallet.recordKey(), locale(), m_ui.strings);
    if (!text.empty())
        m_secrets->copySecret(ui::toQString(text), static_cast<int>(m_ui.settings.clipboardClearSeconds) * 1000);
    std::fill(text.begin(), text.end(), u'\0');
}

void MainFrame::pasteHere() {
    app::TreeItem target = selected();
    const int sourceType = m_clip.sourceType(m_wallet);
    if (sourceType == 0) return;
    if (target.type == 0) {
        // Nothing selected: the top level takes a moved item.
        if (m_clip.mode() != app::ClipMode::Cut) return;
        const auto position = static_cast<std::size_t>(m_clip.position());
        if (m_wallet.move(position, RecordId{})) {
            m_clip.clear();
            m_model->setGhost(-1);
            select(m_model->moveRecord(m_wallet, position));
        }
        return;
    }
    const std::int64_t source = m_clip.position();
    const app::PasteResult result = app::paste(m_wallet, m_clip, target);
    m_model->setGhost(m_clip.mode() == app::ClipMode::Cut ? m_clip.position() : -1);
    if (result.position < 0) return;
    if (result.moved) {
        select(m_model->moveRecord(m_wallet, static_cast<std::size_t>(result.position)));
    } else if (result.position != source) {
        const QModelIndex index = m_model->insertRecord(m_wallet, static_cast<std::size_t>(result.position));
        if (index.parent().isValid()) m_tree->expand(index.parent());
        select(index);
    }
    refreshSpecial();
}

void MainFrame::dropOn(std::int64_t source, const QModelIndex& target) {
    m_autoClose->touch();
    if (source < 0 || !m_wallet.isOpen()) return;
    const app::TreeItem from = app::recordItem(m_wallet, static_cast<std::size_t>(source));
    const app::DropPlan plan = app::planDrop(m_wallet, from, m_model->treeItem(target));
    switch (plan.action) {
        case app::DropAction::Nothing:
            return;
        case app::DropAction::Beep:
            QApplication::beep();
            return;
        case app::DropAction::FoldersRefused:
            m_ui.message(kFoldersRefused, kInfoCaption, Buttons::Ok, Icon::Information);
            return;
        default:
            break;
    }
    const std::int64_t changed = app::runDrop(m_wallet, from, plan);
    m_clip.clear();
    m_model->setGhost(-1);
    if (changed < 0) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    if (plan.action == app::DropAction::Move) {
        const QModelIndex index = m_model->moveRecord(m_wallet, static_cast<std::size_t>(changed));
        if (index.parent().isValid()) m_tree->expand(index.parent());
        select(index);
    } else if (plan.action == app::DropAction::SaveAsForm) {
        select(m_model->insertRecord(m_wallet, static_cast<std::size_t>(changed)));
    }
    refreshSpecial();
    updateActions();
}

void MainFrame::addToFavourites() {
    const app::TreeItem item = selected();
    if (item.type != tt::kCard || item.position < 0) return;
    app::addFavourite(m_wallet, static_cast<std::size_t>(item.position));
    m_model->rebuildFavourites(m_wallet);
    const QModelIndex favourites = m_model->favouritesIndex();
    m_tree->expand(favourites);
    for (int row = 0; row < m_model->rowCount(favourites); ++row) {
        const QModelIndex child = m_model->index(row, 0, favourites);
        if (m_model->treeItem(child).position == item.position) select(child);
    }
}

void MainFrame::saveAsForm() {
    const app::TreeItem item = selected();
    if (item.type != tt::kCard || item.position < 0) return;
    const std::int64_t form = saveCardAsForm(m_wallet, static_cast<std::size_t>(item.position));
    if (form < 0) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    m_model->insertRecord(m_wallet, static_cast<std::size_t>(form));
}

void MainFrame::goToCard() {
    const app::TreeItem item = selected();
    if (item.underSpecial()) select(m_model->indexOf(item.position));
}

void MainFrame::refreshSpecial() {
    const bool resultsOpen = m_tree->isExpanded(m_model->resultsIndex());
    const bool favouritesOpen = m_tree->isExpanded(m_model->favouritesIndex());
    m_model->rebuildFavourites(m_wallet);
    m_model->rebuildResults(m_wallet);
    if (resultsOpen) m_tree->expand(m_model->resultsIndex());
    if (favouritesOpen) m_tree->expand(m_model->favouritesIndex());
}

// --- Find -----------------------------------------------------------------------------------------

void MainFrame::runFind() {
    std::uint32_t clearType = m_ui.settings.clearType;
    std::uint32_t openLast = m_ui.settings.openLast;
    const app::FindOutcome outcome =
        app::runFind(m_wallet, ui::toU16(m_findEdit->text()), locale(), clearType, openLast);
    m_ui.settings.clearType = clearType;
    m_ui.settings.openLast = openLast;
    switch (outcome.kind) {
        case app::FindKind::Maintenance:
            if (outcome.resetSettings) {
                app::resetSettings(m_ui.settings, m_ui.device);
                QApplication::beep();
            }
            return;
        case app::FindKind::Found: {
            m_findEdit->setText(ui::toQString(outcome.boxText));
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_model->rebuildResults(m_wallet);
            QApplication::restoreOverrideCursor();
            const QModelIndex results = m_model->resultsIndex();
            m_tree->expand(results);
            showFindBar(false);
            select(results);
            m_tree->setFocus();
            return;
        }
        case app::FindKind::TooShort:
        case app::FindKind::NothingFound:
            m_ui.message(outcome.kind == app::FindKind::TooShort ? kTooShort : kNothingFound, kInfoCaption, Buttons::Ok,
                         Icon::Information);
            if (m_closing) return;
            showFindBar(true);
            return;
    }
}

void MainFrame::cancelFind() {
    showFindBar(false);
    m_tree->setFocus();
}

// --- Export, import -------------------------------------------------------------------------------

void MainFrame::exportSelection() {
    const app::TreeItem item = selected();
    ExportOptions options;
    options.targetFolder = m_services.documentsFolder;
    const LocalePatterns patterns = locale();
    ++m_busy;
    const ExportReport report = runWithProgress(this, m_ui.text(kExportTitle), [&] {
        if (item.type == tt::kCard && item.position >= 0) {
            return exportCard(m_wallet, m_wallet.index().at(static_cast<std::size_t>(item.position)).id(), options,
                              patterns);
        }
        const FolderTree tree = FolderTree::build(m_wallet);
        const std::optional<std::size_t> node =
            item.type == tt::kFolder || item.type == tt::kFormsFolder ? tree.find(item.position) : std::nullopt;
        return node ? exportFolder(m_wallet, tree, *node, options, patterns)
                    : exportWallet(m_wallet, tree, options, patterns);
    });
    --m_busy;
    if (m_closePending) {
        closeAutomatically();
        return;
    }
    if (report.result != ExportResult::Ok || report.path.empty()) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    const std::u16string question =
        format(u"%s\n\n%s", {m_ui.strings.text(kExportDone), m_ui.strings.text(kOpenExported)});
    const Answer answer =
        m_ui.prompt.ask(Message{question, m_ui.strings.text(kInfoCaption), Buttons::YesNo, Icon::Information});
    if (answer == Answer::Yes) m_services.launcher->openDefault(report.path);
}

void MainFrame::importCards() {
    const app::TreeItem item = selected();
    if (item.type == tt::kFormsFolder || item.parentType == tt::kFormsFolder) {
        importForm();
        return;
    }
    const std::u16string question = format(m_ui.strings.text(kImportQuestion), {m_ui.strings.text(kImportFolder)});
    if (m_ui.prompt.ask(Message{question, m_ui.strings.text(kConfirmCaption), Buttons::YesNo, Icon::Question}) !=
        Answer::Yes)
        return;
    const QString path =
        QFileDialog::getOpenFileName(this, m_ui.text(kImportCardsTitle),
                                     QString::fromStdString(m_services.documentsFolder), QStringLiteral("*.txt"));
    if (path.isEmpty() || m_closing) return;
    const std::size_t before = m_wallet.index().count();
    importCardsIntoWallet(m_wallet, QFile::encodeName(path).toStdString(), locale(), true);
    for (std::size_t i = before; i < m_wallet.index().count(); ++i)
        if (!m_wallet.index().at(i).deleted()) m_model->insertRecord(m_wallet, i);
}

void MainFrame::importForm() {
    const QString path = QFileDialog::getOpenFileName(
        this, m_ui.text(kImportFormTitle), QString::fromStdString(m_services.documentsFolder), QStringLiteral("*.tmx"));
    if (path.isEmpty() || m_closing) return;
    std::int64_t position = -1;
    tw::importForm(m_wallet, QFile::encodeName(path).toStdString(), locale(), &position);
    if (position >= 0) select(m_model->insertRecord(m_wallet, static_cast<std::size_t>(position)));
}

// --- Options ----------------------------------------------------------------------------------------

void MainFrame::security() {
    m_autoClose->stop();
    const std::uint32_t before = m_wallet.settings().closeMinutes();
    ui::SecurityOptionsDialog dialog(m_ui, before, m_ui.settings.closeOnSwitch != 0, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (m_closing || !m_wallet.isOpen()) return;
    if (accepted) {
        if (dialog.intervalMinutes() != before && !m_wallet.readOnly())
            m_wallet.settings().setCloseMinutes(dialog.intervalMinutes(), m_wallet.env().clock.localTime());
        m_ui.settings.closeOnSwitch = dialog.closeOnSwitch() ? 1 : 0;
    }
    afterOpen();
}

void MainFrame::changePassword() {
    const std::string path = m_wallet.path();
    app::PasswordCheck check;
    if (app::PasswordCheck::read(m_wallet.env().files, path, check) != OpenResult::Ok) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    ui::EnterPasswordDialog current(m_ui, app::walletDisplayName(path), &check, this);
    if (current.exec() != QDialog::Accepted || m_closing) return;
    std::u16string oldPassword = current.takePassword();
    ui::NewPasswordDialog next(m_ui, ui::NewPasswordDialog::Purpose::ChangePassword, this);
    if (next.exec() != QDialog::Accepted || m_closing) {
        std::fill(oldPassword.begin(), oldPassword.end(), u'\0');
        return;
    }
    std::u16string newPassword = next.takePassword();
    const std::u16string hint = next.hint();
    ++m_busy;
    const PasswordChangeResult result = runWithProgress(this, m_ui.text(kChangePasswordTitle), [&] {
        return tw::changePassword(m_wallet, oldPassword, newPassword, hint);
    });
    --m_busy;
    std::fill(oldPassword.begin(), oldPassword.end(), u'\0');
    std::fill(newPassword.begin(), newPassword.end(), u'\0');
    if (result != PasswordChangeResult::Ok) {
        m_ui.message(kNotCompleted, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    if (m_closePending) {
        closeAutomatically();
        return;
    }
    m_ui.message(kPasswordChanged, kInfoCaption, Buttons::Ok, Icon::Information);
    if (!m_closing) openWallet(path, true);
}

void MainFrame::help() {
    // The help file lies next to the program; it opens in the desktop's browser.
    const std::string file = m_options.programFolder + "/tmpro.htm";
    if (!m_wallet.env().files.exists(file) || !m_services.launcher->openDefault(file))
        m_ui.message(kHelpMissing, kInfoCaption, Buttons::Ok, Icon::Information);
}

void MainFrame::about() {
    m_ui.message(kAboutText, kInfoCaption, Buttons::Ok, Icon::Information);
}

}  // namespace tw::shell
