#include "views/CardEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

#include "model/DatePattern.h"
#include "model/FieldKind.h"
#include "platform/SecretClipboard.h"
#include "platform/Text.h"
#include "storage/WalletFile.h"
#include "views/CardServices.h"
#include "views/NoteEditorDialog.h"
#include "views/PasswordEdit.h"
#include "views/PasswordGeneratorDialog.h"
#include "views/SecretEdit.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kCutText = 21006;
constexpr std::uint32_t kCopyText = 21007;
constexpr std::uint32_t kPasteText = 21008;
constexpr std::uint32_t kClearText = 21026;
constexpr std::uint32_t kSelectAllText = 21060;
constexpr std::uint32_t kMaskText = 64702;
constexpr std::uint32_t kGenerateText = 64703;
constexpr std::uint32_t kHasValueText = 64712;
constexpr std::uint32_t kExpandText = 64715;
constexpr std::uint32_t kYesText = 20204;

// Captions are dark blue, as the device drew them.
const QColor kCaptionColour(0, 0, 128);

QDateTime toDateTime(const SystemTime& t) {
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}

SystemTime fromPicker(const QDateTime& when, const SystemTime& stored, std::uint16_t kind) {
    SystemTime out = stored;
    if (kind != field_kind::kTime || stored.isZero()) {
        const QDate date = kind == field_kind::kTime ? QDate::currentDate() : when.date();
        out.year = static_cast<std::uint16_t>(date.year());
        out.month = static_cast<std::uint16_t>(date.month());
        out.day = static_cast<std::uint16_t>(date.day());
        out.dayOfWeek = static_cast<std::uint16_t>(weekdayOf(date.year(), date.month(), date.day()));
    }
    if (kind != field_kind::kDate) {
        out.hour = static_cast<std::uint16_t>(when.time().hour());
        out.minute = static_cast<std::uint16_t>(when.time().minute());
        if (toDateTime(stored).time().hour() != when.time().hour() ||
            toDateTime(stored).time().minute() != when.time().minute())
            out.second = 0, out.milliseconds = 0;
    }
    return out;
}

bool isMultiLine(const Field& field) {
    return field.isNote() || field.value().find(u'\n') != std::u16string::npos;
}

}  // namespace

QString qtDateFormat(const std::u16string& shortDate) {
    return toQString(widenYear(shortDate));
}

QString qtTimeFormat(const std::u16string& time, const std::u16string& separator) {
    QString format = toQString(removeSeconds(time, separator));
    format.replace(QStringLiteral("tt"), QStringLiteral("AP"));
    format.replace(QStringLiteral("t"), QStringLiteral("AP"));
    return format;
}

CardEditor::CardEditor(const UiContext& ui, CardServices& services, WalletFile& wallet, Card& card, QWidget* parent)
    : QScrollArea(parent), m_ui(ui), m_services(services), m_wallet(wallet), m_card(card) {
    setObjectName(QStringLiteral("cardEditor"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("cardEditorBody"));
    QPalette palette = body->palette();
    palette.setColor(QPalette::Window, Qt::white);
    body->setPalette(palette);
    body->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(m_ui.px(4), m_ui.px(4), m_ui.px(4), m_ui.px(4));
    layout->setSpacing(m_ui.px(2));
    addRow(body, -1);
    for (std::size_t i = 0; i < m_card.fieldCount(); ++i) addRow(body, static_cast<int>(i));
    layout->addStretch(1);
    setWidget(body);
}

void CardEditor::addRow(QWidget* body, int field) {
    auto* layout = static_cast<QVBoxLayout*>(body->layout());
    auto* caption = new QLabel(body);
    caption->setTextFormat(Qt::PlainText);
    caption->setFont(m_ui.fonts.slot(7));
    QPalette palette = caption->palette();
    palette.setColor(QPalette::WindowText, kCaptionColour);
    caption->setPalette(palette);
    Row row;
    row.field = field;
    QWidget* editor = nullptr;
    if (field < 0) {
        caption->setText(m_ui.text(app::kNameCaptionId));
        row.kind = app::EditorKind::Text;
        m_name = new QLineEdit(body);
        m_name->setObjectName(QStringLiteral("cardNameEdit"));
        m_name->setMaxLength(static_cast<int>(app::kMaxCardName));
        m_name->setText(toQString(app::cardName(m_card, m_wallet.recordKey())));
        row.line = m_name;
        row.focus = m_name;
        editor = m_name;
    } else {
        const Field& f = m_card.field(static_cast<std::size_t>(field));
        caption->setText(toQString(f.name()));
        row.kind = app::editorKind(f.kind());
        switch (row.kind) {
            case app::EditorKind::Text:
                editor = makeTextEditor(row, f, body);
                break;
            case app::EditorKind::Date:
            case app::EditorKind::Time:
            case app::EditorKind::DateTime:
                editor = makePicker(row, f, body);
                break;
            case app::EditorKind::List:
                editor = makeList(row, f, body);
                break;
            case app::EditorKind::CheckBox: {
                row.check = new QCheckBox(m_ui.text(kYesText), body);
                row.check->setTristate(true);
                const auto state = checkState(f.kind(), f.value()).value_or(CheckState::Undecided);
                row.check->setCheckState(state == CheckState::Checked     ? Qt::Checked
                                         : state == CheckState::Unchecked ? Qt::Unchecked
                                                                          : Qt::PartiallyChecked);
                row.focus = row.check;
                editor = row.check;
                break;
            }
            case app::EditorKind::None: {
                auto* label = new QLabel(toQString(f.value()), body);
                label->setTextFormat(Qt::PlainText);
                editor = label;
                break;
            }
        }
    }
    if (row.focus) {
        row.focus->setObjectName(field < 0 ? QStringLiteral("cardNameEdit")
                                           : QStringLiteral("fieldEditor%1").arg(field));
        row.focus->installEventFilter(this);
    }
    layout->addWidget(caption);
    layout->addWidget(editor);
    auto* rule = new QFrame(body);
    rule->setFrameShape(QFrame::HLine);
    rule->setStyleSheet(QStringLiteral("color: rgb(192,192,192)"));
    layout->addWidget(rule);
    m_rows.push_back(row);
}

QWidget* CardEditor::makeTextEditor(Row& row, const Field& field, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* line = new QHBoxLayout(box);
    line->setContentsMargins(m_ui.px(3), 0, 0, 0);
    line->setSpacing(m_ui.px(2));
    const std::uint16_t kind = field.kind();
    if (isMultiLine(field) && kind != field_kind::kPassword) {
        row.text = new QPlainTextEdit(box);
        row.text->setPlainText(toQString(field.value()));
        row.text->setTabChangesFocus(true);
        row.text->setFixedHeight(QFontMetrics(row.text->font()).lineSpacing() * 5 + m_ui.px(8));
        row.focus = row.text;
        line->addWidget(row.text, 1);
    } else if (kind == field_kind::kPassword) {
        auto* secret = new SecretEdit(box);
        secret->setText(toQString(field.value()));
        row.line = secret;
        row.focus = secret;
        line->addWidget(secret, 1);
        auto* mask = new QToolButton(box);
        mask->setObjectName(QStringLiteral("maskToggle"));
        mask->setText(m_ui.text(kMaskText));
        mask->setCheckable(true);
        mask->setFocusPolicy(Qt::NoFocus);
        connect(mask, &QToolButton::toggled, secret, &SecretEdit::setMasked);
        line->addWidget(mask);
        auto* generate = new QToolButton(box);
        generate->setObjectName(QStringLiteral("generateButton"));
        generate->setText(m_ui.text(kGenerateText));
        generate->setFocusPolicy(Qt::NoFocus);
        connect(generate, &QToolButton::clicked, this, [this, secret] { this->generate(secret); });
        line->addWidget(generate);
    } else {
        row.line = new QLineEdit(box);
        row.line->setText(toQString(field.value()));
        row.line->setCursorPosition(row.line->text().size());
        Qt::InputMethodHints hints = Qt::ImhNone;
        switch (kind) {
            case field_kind::kWebAddress:
                hints = Qt::ImhUrlCharactersOnly | Qt::ImhNoAutoUppercase;
                break;
            case field_kind::kEmail:
                hints = Qt::ImhEmailCharactersOnly | Qt::ImhNoAutoUppercase;
                break;
            case field_kind::kTelephone:
                hints = Qt::ImhDialableCharactersOnly;
                break;
            case field_kind::kNumber:
                hints = Qt::ImhFormattedNumbersOnly;
                break;
            case field_kind::kFirstCapital:
            case field_kind::kWordCapitals:
                hints = Qt::ImhNone;
                break;
            default:
                hints = Qt::ImhNoAutoUppercase;
                break;
        }
        row.line->setInputMethodHints(hints);
        const app::Capitals capitals = app::capitalsFor(kind);
        if (capitals != app::Capitals::None) {
            QLineEdit* edit = row.line;
            connect(edit, &QLineEdit::textEdited, this, [edit, capitals](const QString& text) {
                const QString capped = toQString(app::withCapitals(toU16(text), capitals));
                if (capped == text) return;
                const int cursor = edit->cursorPosition();
                edit->setText(capped);
                edit->setCursorPosition(cursor);
            });
        }
        row.focus = row.line;
        line->addWidget(row.line, 1);
    }
    if (!m_ui.smartphone() && kind != field_kind::kPassword) {
        auto* expandButton = new QToolButton(box);
        expandButton->setObjectName(QStringLiteral("expandButton"));
        expandButton->setText(QStringLiteral("…"));
        expandButton->setToolTip(m_ui.text(kExpandText));
        expandButton->setFocusPolicy(Qt::NoFocus);
        const std::size_t index = m_rows.size();
        connect(expandButton, &QToolButton::clicked, this, [this, index] { expand(m_rows[index]); });
        line->addWidget(expandButton);
    }
    return box;
}

QWidget* CardEditor::makePicker(Row& row, const Field& field, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* line = new QHBoxLayout(box);
    line->setContentsMargins(m_ui.px(3), 0, 0, 0);
    row.hasValue = new QCheckBox(box);
    row.hasValue->setObjectName(QStringLiteral("hasValueCheck"));
    row.hasValue->setToolTip(m_ui.text(kHasValueText));
    switch (row.kind) {
        case app::EditorKind::Date:
            row.picker = new QDateEdit(box);
            break;
        case app::EditorKind::Time:
            row.picker = new QTimeEdit(box);
            break;
        default:
            row.picker = new QDateTimeEdit(box);
            break;
    }
    const QString date = qtDateFormat(m_services.locale.shortDate);
    const QString time = qtTimeFormat(m_services.locale.time, m_services.locale.timeSeparator);
    row.picker->setDisplayFormat(row.kind == app::EditorKind::Date   ? date
                                 : row.kind == app::EditorKind::Time ? time
                                                                     : date + QStringLiteral("   ") + time);
    row.picker->setCalendarPopup(row.kind != app::EditorKind::Time);
    const auto stored = app::storedDate(field);
    row.picker->setDateTime(stored ? toDateTime(*stored) : QDateTime::currentDateTime());
    row.hasValue->setChecked(stored.has_value());
    row.picker->setEnabled(stored.has_value());
    QDateTimeEdit* picker = row.picker;
    connect(row.hasValue, &QCheckBox::toggled, picker, &QWidget::setEnabled);
    row.touched = std::make_shared<bool>(false);
    connect(row.hasValue, &QCheckBox::toggled, this, [touched = row.touched] { *touched = true; });
    connect(row.picker, &QDateTimeEdit::dateTimeChanged, this, [touched = row.touched] { *touched = true; });
    row.focus = row.picker;
    line->addWidget(row.hasValue);
    line->addWidget(row.picker, 1);
    return box;
}

QWidget* CardEditor::makeList(Row& row, const Field& field, QWidget* parent) {
    row.combo = new QComboBox(parent);
    row.combo->setEditable(true);
    row.combo->setInsertPolicy(QComboBox::NoInsert);
    row.combo->addItem(QStringLiteral("<%1>").arg(m_ui.text(app::kNoChoiceId)));
    int chosen = field.value().empty() ? 0 : -1;
    const QString value = toQString(field.value());
    for (const std::u16string& item : field.listItems()) {
        const QString text = toQString(item);
        row.combo->addItem(text);
        if (chosen < 0 && text.compare(value, Qt::CaseInsensitive) == 0) chosen = row.combo->count() - 1;
    }
    if (chosen >= 0) {
        row.combo->setCurrentIndex(chosen);
    } else {
        row.combo->setCurrentIndex(-1);
        row.combo->setEditText(value);
    }
    row.focus = row.combo;
    return row.combo;
}

void CardEditor::commitRow(const Row& row) {
    if (row.field < 0) {
        app::renameCard(m_card, toU16(m_name->text()), m_wallet.recordKey(), m_wallet.env().clock.localTime());
        return;
    }
    Field& field = m_card.field(static_cast<std::size_t>(row.field));
    switch (row.kind) {
        case app::EditorKind::Text:
            if (row.text) {
                app::storeText(field, toU16(row.text->toPlainText()));
            } else {
                std::u16string text = toU16(row.line->text());
                app::storeText(field, text);
                wipeText(text);
            }
            break;
        case app::EditorKind::Date:
        case app::EditorKind::Time:
        case app::EditorKind::DateTime:
            if (!*row.touched) break;
            if (!row.hasValue->isChecked()) {
                app::storeDate(field, std::nullopt);
            } else {
                app::storeDate(field, fromPicker(row.picker->dateTime(), field.date(), field.kind()));
            }
            break;
        case app::EditorKind::List: {
            const QString text = row.combo->currentText();
            const bool noChoice = (row.combo->currentIndex() == 0 && text == row.combo->itemText(0)) || text.isEmpty();
            app::storeListChoice(field, noChoice, toU16(text));
            break;
        }
        case app::EditorKind::CheckBox: {
            const Qt::CheckState state = row.check->checkState();
            app::storeCheck(field, state == Qt::Checked     ? CheckState::Checked
                                   : state == Qt::Unchecked ? CheckState::Unchecked
                                                            : CheckState::Undecided);
            break;
        }
        case app::EditorKind::None:
            break;
    }
}

void CardEditor::commit() {
    for (const Row& row : m_rows) commitRow(row);
}

int CardEditor::focusedRow() const {
    const QWidget* focus = QApplication::focusWidget();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const QWidget* editor = m_rows[i].focus;
        if (editor && focus && (editor == focus || editor->isAncestorOf(focus))) return static_cast<int>(i);
    }
    return -1;
}

int CardEditor::currentField() const {
    const int row = focusedRow();
    return row < 0 ? -1 : m_rows[static_cast<std::size_t>(row)].field;
}

void CardEditor::focusField(int field) {
    for (const Row& row : m_rows) {
        if (row.field == field && row.focus) {
            row.focus->setFocus();
            // Once laid out, with its caption.
            QTimer::singleShot(0, this, [this, editor = row.focus] { ensureWidgetVisible(editor, 0, m_ui.px(40)); });
            return;
        }
    }
    if (m_name) m_name->setFocus();
}

QWidget* CardEditor::editorOf(int field) const {
    for (const Row& row : m_rows) {
        if (row.field == field) return row.focus;
    }
    return nullptr;
}

void CardEditor::move(int step) {
    int at = focusedRow();
    if (at < 0) at = 0;
    for (int i = at + step; i >= 0 && i < static_cast<int>(m_rows.size()); i += step) {
        if (m_rows[static_cast<std::size_t>(i)].focus && m_rows[static_cast<std::size_t>(i)].focus->isEnabled()) {
            m_rows[static_cast<std::size_t>(i)].focus->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            ensureWidgetVisible(m_rows[static_cast<std::size_t>(i)].focus, 0, m_ui.px(40));
            return;
        }
        // A picker without a value is passed over to its "no value" box.
        if (m_rows[static_cast<std::size_t>(i)].hasValue) {
            m_rows[static_cast<std::size_t>(i)].hasValue->setFocus();
            ensureWidgetVisible(m_rows[static_cast<std::size_t>(i)].hasValue);
            return;
        }
    }
}

bool CardEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool lineLike = qobject_cast<QLineEdit*>(watched) || qobject_cast<QCheckBox*>(watched);
        switch (key->key()) {
            case Qt::Key_Tab:
                move(1);
                return true;
            case Qt::Key_Backtab:
                move(-1);
                return true;
            case Qt::Key_Down:
                if (!lineLike) break;
                move(1);
                return true;
            case Qt::Key_Up:
                if (!lineLike) break;
                move(-1);
                return true;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (qobject_cast<QComboBox*>(watched) || qobject_cast<QLineEdit*>(watched)) {
                    move(1);
                    return true;
                }
                break;
            default:
                break;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

void CardEditor::expand(Row& row) {
    const QString title = row.field < 0 ? m_ui.text(app::kNameCaptionId)
                                        : toQString(m_card.field(static_cast<std::size_t>(row.field)).name()).left(128);
    const QString current = row.text ? row.text->toPlainText() : row.line->text();
    NoteEditorDialog dialog(m_ui, m_wallet.env().clock, m_services.locale, title, current, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (row.text) {
        row.text->setPlainText(dialog.text());
        row.text->setFocus();
    } else {
        row.line->setText(dialog.text());
        row.line->setFocus();
    }
}

void CardEditor::generate(SecretEdit* edit) {
    PasswordGeneratorDialog dialog(m_ui, m_wallet.env().random, this);
    if (dialog.exec() != QDialog::Accepted) return;
    std::u16string password = dialog.takePassword();
    if (password.empty()) return;
    edit->setText(toQString(password));
    wipeText(password);
    edit->setFocus();
}

void CardEditor::addTextCommands(QMenu* menu) {
    auto onFocused = [](auto action) {
        return [action] {
            QWidget* focus = QApplication::focusWidget();
            if (qobject_cast<SecretEdit*>(focus)) return;  // a secret leaves only through the view's copy
            if (auto* line = qobject_cast<QLineEdit*>(focus)) {
                action(line);
            } else if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit()) {
                action(combo->lineEdit());
            } else if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
                action(text);
            }
        };
    };
    menu->addAction(m_ui.text(kCutText), this, onFocused([](auto* e) { e->cut(); }));
    menu->addAction(m_ui.text(kCopyText), this, [this, copy = onFocused([](auto* e) { e->copy(); })] {
        // A password is copied through the clipboard for secrets only.
        if (auto* secret = qobject_cast<SecretEdit*>(QApplication::focusWidget())) {
            if (m_services.clipboard) m_services.clipboard->copySecret(secret->text(), m_services.clipboardClearMs);
            return;
        }
        copy();
    });
    menu->addAction(m_ui.text(kPasteText), this, onFocused([](auto* e) { e->paste(); }));
    menu->addAction(m_ui.text(kClearText), this, onFocused([](auto* e) { e->clear(); }));
    menu->addAction(m_ui.text(kSelectAllText), this, onFocused([](auto* e) { e->selectAll(); }));
}

}  // namespace tw::ui
