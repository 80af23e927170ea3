#include "views/CardWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QStackedWidget>

#include "app/CardActions.h"
#include "app/CardEdit.h"
#include "app/CardRows.h"
#include "model/FormCards.h"
#include "platform/SecretClipboard.h"
#include "platform/Text.h"
#include "resources/icons/IconArt.h"
#include "storage/WalletFile.h"
#include "views/AttachmentsDialog.h"
#include "views/BackgroundDialog.h"
#include "views/CardColorsDialog.h"
#include "views/CardEditor.h"
#include "views/CardView.h"
#include "views/DlgBar.h"
#include "views/FormDesigner.h"
#include "views/IconPicker.h"
#include "views/ObjectNames.h"
#include "views/SoundDialog.h"
#include "views/SoundPlayer.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

// Texts of the window's commands and questions.
constexpr std::uint32_t kMenuText = 21000;
constexpr std::uint32_t kDoneText = 21045;
constexpr std::uint32_t kCancelText = 21025;
constexpr std::uint32_t kEditText = 21005;
constexpr std::uint32_t kCopyTextText = 21050;
constexpr std::uint32_t kCustomizeText = 21051;
constexpr std::uint32_t kIconText = 21052;
constexpr std::uint32_t kColoursText = 21053;
constexpr std::uint32_t kBackgroundText = 21054;
constexpr std::uint32_t kSoundText = 21055;
constexpr std::uint32_t kAttachmentsText = 21056;
constexpr std::uint32_t kDeleteCardText = 21057;
constexpr std::uint32_t kSaveAsFormText = 21011;
constexpr std::uint32_t kFormDesignText = 21061;
constexpr std::uint32_t kFormDesignTitle = 24006;
constexpr std::uint32_t kConfirmCaption = 20504;
constexpr std::uint32_t kDiscardQuestion = 25900;
constexpr std::uint32_t kDeleteQuestion = 22003;
constexpr std::uint32_t kTempFilesQuestion = 28206;
constexpr std::uint32_t kProgramCaption = 20001;
constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kSaveFailedText = 64700;
constexpr std::uint32_t kFormSavedText = 64701;

}  // namespace

CardWindow::CardWindow(const UiContext& ui, CardServices& services, WalletFile& wallet, std::size_t position, Mode mode,
                       QWidget* parent)
    : QDialog(parent),
      m_ui(ui),
      m_services(services),
      m_wallet(wallet),
      m_position(static_cast<std::int64_t>(position)) {
    if (position < wallet.index().count()) m_original = wallet.loadCard(wallet.index().at(position).id());
    if (m_original) m_card = std::make_unique<Card>(*m_original);
    build(mode);
}

CardWindow::CardWindow(const UiContext& ui, CardServices& services, WalletFile& wallet, std::unique_ptr<Card> newCard,
                       Mode mode, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_services(services), m_wallet(wallet), m_isNew(true) {
    if (newCard) {
        m_original = std::make_unique<Card>(*newCard);
        m_card = std::move(newCard);
    }
    build(mode);
}

CardWindow::CardWindow(const UiContext& ui, CardServices& services, WalletFile& wallet, Card& card, bool isNew,
                       bool readOnly, Mode mode, QWidget* parent)
    : QDialog(parent),
      m_ui(ui),
      m_services(services),
      m_wallet(wallet),
      m_isNew(isNew),
      m_external(&card),
      m_readOnly(readOnly) {
    m_original = std::make_unique<Card>(card);
    m_card = std::make_unique<Card>(card);
    if (card.header()) {
        const std::int64_t at = wallet.index().find(card.header()->id());
        if (!isNew) m_position = at;
    }
    build(readOnly ? Mode::View : mode);
}

CardWindow::~CardWindow() {
    if (m_services.sound) m_services.sound->stop();
}

void CardWindow::build(Mode mode) {
    setObjectName(QStringLiteral("cardWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_strip = new DlgBar(m_ui, this);
    m_strip->setObjectName(names::kTitleStrip);
    layout->addWidget(m_strip);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages, 1);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("softKeyBar"));
    auto* row = new QHBoxLayout(bar);
    const int margin = m_ui.px(smartphoneMargin());
    row->setContentsMargins(margin, margin, margin, margin);
    auto* doneButton = new QPushButton(m_ui.text(kDoneText), bar);
    doneButton->setObjectName(names::kDoneButton);
    m_menuButton = new QPushButton(m_ui.text(kMenuText), bar);
    m_menuButton->setObjectName(QStringLiteral("menuButton"));
    m_menu = new QMenu(this);
    m_menuButton->setMenu(m_menu);
    row->addWidget(doneButton);
    row->addStretch(1);
    row->addWidget(m_menuButton);
    if (!m_ui.smartphone()) {
        auto* cancelButton = new QPushButton(m_ui.text(kCancelText), bar);
        cancelButton->setObjectName(names::kCancelButton);
        row->addWidget(cancelButton);
        connect(cancelButton, &QPushButton::clicked, this, &CardWindow::cancel);
    } else {
        for (QPushButton* b : {doneButton, m_menuButton}) {
            b->setFlat(true);
            b->setFocusPolicy(Qt::NoFocus);
        }
        bar->setAutoFillBackground(true);
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::Dark));
        bar->setPalette(palette);
    }
    doneButton->setAutoDefault(false);
    m_menuButton->setAutoDefault(false);
    connect(doneButton, &QPushButton::clicked, this, &CardWindow::done);
    layout->addWidget(bar);
    // Done and the menu from the keyboard.
    auto* doneAction = new QAction(this);
    doneAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_Return)});
    connect(doneAction, &QAction::triggered, this, &CardWindow::done);
    addAction(doneAction);
    auto* menuAction = new QAction(this);
    menuAction->setShortcut(QKeySequence(Qt::Key_F10));
    connect(menuAction, &QAction::triggered, m_menuButton, &QPushButton::showMenu);
    addAction(menuAction);

    m_view = new CardView(m_ui, m_pages);
    m_pages->addWidget(m_view);
    connect(m_view, &CardView::actionRequested, this, &CardWindow::runRowAction);
    connect(m_view, &CardView::copyRequested, this, &CardWindow::copyRow);
    connect(m_view, &CardView::propertiesRequested, this, &CardWindow::propertiesRequested);
    setMinimumSize(m_ui.px(m_ui.smartphone() ? 240 : 320), m_ui.px(m_ui.smartphone() ? 320 : 400));
    if (!m_card) return;
    reload();
    setMode(mode);
    // A sound the card asks to be played when viewed.
    if (mode == Mode::View && m_services.sound && m_card->sound().hasData() && m_card->sound().type() != 0)
        m_services.sound->play(m_card->sound().data());
}

int CardWindow::smartphoneMargin() const {
    return m_ui.smartphone() ? 2 : 6;
}

QString CardWindow::cardTitle() const {
    return toQString(app::cardName(*m_card, m_wallet.recordKey()));
}

void CardWindow::updateTitle() {
    if (!m_card) return;
    const QString title = cardTitle();
    if (m_mode == Mode::Design) {
        std::u16string form;
        const bool named = m_card->header() && formName(m_wallet, m_card->header()->formRef(), form);
        m_strip->setTitle(named ? m_ui.text(kFormDesignTitle) + QStringLiteral(": ") + toQString(form)
                                : m_ui.text(kFormDesignTitle));
        m_strip->setIcon(icons::icon(icons::kTitleFormDesign));
    } else {
        m_strip->setTitle(title);
        const std::int32_t index = m_card->header() ? m_card->header()->iconIndex() : 0;
        m_strip->setIcon(index >= 0 ? icons::builtinIcon(index) : icons::icon(icons::kTitleNotes));
    }
    m_strip->setVisible(m_mode != Mode::Edit);
    setWindowTitle(title);
}

void CardWindow::reload() {
    if (!m_card) return;
    m_view->showCard(m_card.get(), app::buildViewRows(*m_card, m_services.locale, m_ui.strings), true);
    updateTitle();
}

void CardWindow::commit() {
    if (m_editor && m_mode == Mode::Edit) m_editor->commit();
    if (m_designer && m_mode == Mode::Design) m_designer->commit();
}

void CardWindow::setMode(Mode mode, int field) {
    if (!m_card || (m_readOnly && mode != Mode::View)) return;
    commit();
    if (field < 0) {
        if (m_mode == Mode::View) field = m_view->selectedField();
        if (m_mode == Mode::Edit && m_editor) field = m_editor->currentField();
        if (m_mode == Mode::Design && m_designer) field = m_designer->currentField();
    }
    if (m_editor) {
        m_pages->removeWidget(m_editor);
        m_editor->deleteLater();
        m_editor = nullptr;
    }
    if (m_designer) {
        m_pages->removeWidget(m_designer);
        m_designer->deleteLater();
        m_designer = nullptr;
    }
    m_mode = mode;
    switch (mode) {
        case Mode::View:
            reload();
            if (field >= 0) m_view->selectField(field);
            m_pages->setCurrentWidget(m_view);
            m_view->setFocus();
            break;
        case Mode::Edit:
            m_editor = new CardEditor(m_ui, m_services, m_wallet, *m_card, m_pages);
            m_pages->addWidget(m_editor);
            m_pages->setCurrentWidget(m_editor);
            m_editor->focusField(field);
            break;
        case Mode::Design:
            m_designer = new FormDesigner(m_ui, m_wallet, *m_card, m_pages);
            m_pages->addWidget(m_designer);
            m_pages->setCurrentWidget(m_designer);
            m_designer->focusField(field);
            break;
    }
    updateTitle();
    buildMenu();
}

void CardWindow::buildMenu() {
    m_menu->clear();
    auto add = [this](QMenu* menu, std::uint32_t textId, const char* name, auto slot) {
        QAction* action = menu->addAction(m_ui.text(textId), this, slot);
        action->setObjectName(QLatin1StringView(name));
        return action;
    };
    switch (m_mode) {
        case Mode::View: {
            add(m_menu, kEditText, "editAction", [this] { setMode(Mode::Edit); })->setEnabled(!m_readOnly);
            add(m_menu, kCopyTextText, "copyTextAction", [this] { copyRow(m_view->selected()); });
            QMenu* customize = m_menu->addMenu(m_ui.text(kCustomizeText));
            customize->setEnabled(!m_readOnly);
            add(customize, kIconText, "iconAction", [this] { showIcon(); });
            add(customize, kColoursText, "coloursAction", [this] { showColours(); });
            add(customize, kBackgroundText, "backgroundAction", [this] { showBackground(); });
            add(customize, kSoundText, "soundAction", [this] { showSound(); });
            add(m_menu, kAttachmentsText, "attachmentsAction", [this] { showAttachments(); });
            m_menu->addSeparator();
            add(m_menu, kDeleteCardText, "deleteCardAction", [this] {
                deleteCard();
            })->setEnabled(!m_isNew && !m_readOnly);
            add(m_menu, kCancelText, "cancelAction", [this] { cancel(); });
            break;
        }
        case Mode::Edit:
            add(m_menu, kFormDesignText, "formDesignAction", [this] { setMode(Mode::Design); });
            m_menu->addSeparator();
            m_editor->addTextCommands(m_menu);
            m_menu->addSeparator();
            add(m_menu, kCancelText, "cancelAction", [this] { cancel(); });
            break;
        case Mode::Design:
            m_designer->addCommands(m_menu);
            m_menu->addSeparator();
            add(m_menu, kSaveAsFormText, "saveAsFormAction", [this] { saveAsForm(); });
            add(m_menu, kCancelText, "cancelAction", [this] { cancel(); });
            break;
    }
    // Keyboard shortcuts of the mode's commands; the window carries them so that they work while
    // the menu is closed.
    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"editAction", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"formDesignAction", QKeySequence(Qt::CTRL | Qt::Key_D)},
        {"attachmentsAction", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {"addFieldAction", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"moveUpAction", QKeySequence(Qt::CTRL | Qt::Key_Up)},
        {"moveDownAction", QKeySequence(Qt::CTRL | Qt::Key_Down)},
        {"deleteFieldAction", QKeySequence(Qt::CTRL | Qt::Key_Delete)},
    };
    for (const auto& [name, keys] : shortcuts) {
        if (QAction* action = m_menu->findChild<QAction*>(QLatin1StringView(name))) {
            action->setShortcut(keys);
            addAction(action);
        }
    }
}

bool CardWindow::changed() {
    if (!m_card) return false;
    commit();
    return m_isNew || !app::sameContent(*m_card, *m_original, m_wallet.recordKey());
}

void CardWindow::done() {
    if (!m_card) {
        finish(Outcome::Unchanged);
        return;
    }
    switch (m_mode) {
        case Mode::Design:
            setMode(Mode::Edit);
            return;
        case Mode::Edit:
            setMode(Mode::View);
            return;
        case Mode::View:
            break;
    }
    if (m_readOnly || !changed()) {
        finish(Outcome::Unchanged);
        return;
    }
    if (m_external) {
        *m_external = *m_card;
        finish(Outcome::Saved);
        return;
    }
    const std::int64_t position = app::saveEditedCard(m_wallet, *m_card);
    if (position < 0) {
        m_ui.message(kSaveFailedText, kErrorCaption, Buttons::Ok, Icon::Stop);
        return;
    }
    m_position = position;
    m_isNew = false;
    *m_original = *m_card;
    emit saved(position);
    finish(Outcome::Saved);
}

void CardWindow::cancel() {
    if (changed() && m_ui.message(kDiscardQuestion, kConfirmCaption, Buttons::YesNo, Icon::Question) != Answer::Yes)
        return;
    finish(Outcome::Unchanged);
}

void CardWindow::deleteCard() {
    if (m_isNew || m_readOnly || !m_card) return;
    if (m_ui.message(kDeleteQuestion, kConfirmCaption, Buttons::YesNo, Icon::Warning) != Answer::Yes) return;
    finish(Outcome::DeleteRequested);
}

void CardWindow::finish(Outcome outcome) {
    if (m_finished) return;
    m_finished = true;
    m_outcome = outcome;
    if (m_services.sound) m_services.sound->stop();
    offerTempFileDeletion();
    emit finishedWith(outcome);
    if (outcome == Outcome::Unchanged) {
        QDialog::reject();
    } else {
        accept();
    }
}

void CardWindow::offerTempFileDeletion() {
    if (m_services.tempFiles.empty()) return;
    if (m_ui.message(kTempFilesQuestion, kProgramCaption, Buttons::YesNo, Icon::Question) == Answer::Yes) {
        m_services.tempFiles.deleteAll();
    } else {
        m_services.tempFiles.forget();
    }
}

void CardWindow::runRowAction(int row) {
    const auto& rows = m_view->rows();
    if (row < 0 || row >= static_cast<int>(rows.size()) || rows[static_cast<std::size_t>(row)].text.empty()) return;
    const app::ViewRow& r = rows[static_cast<std::size_t>(row)];
    switch (app::rowAction(r)) {
        case app::RowAction::Copy:
            copyRow(row);
            return;
        case app::RowAction::Attachment:
            openAttachment(r.attachment, false);
            return;
        default:
            app::runExternalAction(r, m_services.browser, m_services.launcher);
            return;
    }
}

void CardWindow::copyRow(int row) {
    const auto& rows = m_view->rows();
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    const std::u16string& text = rows[static_cast<std::size_t>(row)].text;
    if (text.empty() || !m_services.clipboard) return;
    // Every value goes through the clipboard for secrets: cleared after a while, kept out of
    // clipboard managers' histories and off the X primary selection.
    m_services.clipboard->copySecret(toQString(text), m_services.clipboardClearMs);
}

void CardWindow::openAttachment(int slot, bool) {
    if (!m_card || slot < 0 || slot >= static_cast<int>(Card::kFileSlots)) return;
    std::string folder = m_services.openedFolder;
    if (folder.empty()) folder = app::openedFilesFolder();
    const app::OpenedFile opened = app::writeForOpening(*m_card, static_cast<std::size_t>(slot), folder,
                                                        m_wallet.env().clock.localTime(), m_services.tempFiles);
    if (!opened.path.empty() && opened.open) m_services.launcher.openDefault(opened.path);
}

void CardWindow::showAttachments() {
    AttachmentsDialog dialog(m_ui, m_services, m_wallet.env(), *m_card, this);
    connect(&dialog, &AttachmentsDialog::openRequested, this, [this](int slot) { openAttachment(slot, true); });
    dialog.exec();
    reload();
}

void CardWindow::showIcon() {
    if (!m_card || !m_card->header()) return;
    static const app::CustomIcons none;
    const app::CustomIcons& icons = m_services.customIcons ? *m_services.customIcons : none;
    const auto chosen = IconPicker::choose(m_ui, app::IconChoice::of(*m_card->header(), icons), icons, this);
    if (!chosen) return;
    chosen->applyTo(*m_card->header());
    m_card->setModified(true);
    reload();
}

void CardWindow::showColours() {
    if (!m_card) return;
    const auto display = CardColorsDialog::edit(m_ui, m_card->display(), this);
    if (!display) return;
    m_card->display() = *display;
    m_card->setModified(true);
    reload();
}

void CardWindow::showBackground() {
    BackgroundDialog dialog(m_ui, m_services, m_wallet.env(), *m_card, this);
    dialog.exec();
    reload();
}

void CardWindow::showSound() {
    SoundDialog dialog(m_ui, m_services, m_wallet.env(), *m_card, this);
    dialog.exec();
    reload();
}

void CardWindow::saveAsForm() {
    commit();
    if (m_isNew || m_position < 0) return;
    // The form is made from the stored card: save the working copy first when it changed.
    if (!app::sameContent(*m_card, *m_original, m_wallet.recordKey())) {
        const std::int64_t position = app::saveEditedCard(m_wallet, *m_card);
        if (position < 0) {
            m_ui.message(kSaveFailedText, kErrorCaption, Buttons::Ok, Icon::Stop);
            return;
        }
        m_position = position;
        *m_original = *m_card;
        emit saved(position);
    }
    if (saveCardAsForm(m_wallet, static_cast<std::size_t>(m_position)) < 0) {
        m_ui.message(kSaveFailedText, kErrorCaption, Buttons::Ok, Icon::Stop);
    } else {
        m_ui.message(kFormSavedText, kProgramCaption, Buttons::Ok, Icon::Information);
    }
}

void CardWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CardWindow::event(QEvent* event) {
    // The Smartphone Back key acts as Done in viewing mode and belongs to the focused control
    // otherwise.
    if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Back &&
        m_mode == Mode::View) {
        done();
        return true;
    }
    return QDialog::event(event);
}

void CardWindow::closeEvent(QCloseEvent* event) {
    if (m_finished) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    cancel();
}

void CardWindow::reject() {
    if (!m_finished) {
        m_finished = true;
        m_outcome = Outcome::Unchanged;
        if (m_services.sound) m_services.sound->stop();
        // Nobody may be there to answer: the opened copies go without a question.
        m_services.tempFiles.deleteAll();
        emit finishedWith(m_outcome);
    }
    QDialog::reject();
}

}  // namespace tw::ui
