#include "views/NoteEditorDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QToolButton>

#include "platform/Clock.h"
#include "resources/icons/IconArt.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kInsertDateText = 21062;
constexpr std::uint32_t kInsertTimeText = 21063;
constexpr std::uint32_t kZoomText = 21064;
constexpr std::uint32_t kWrapText = 64713;
constexpr int kZoomPercent[] = {75, 100, 150, 200, 300};

}  // namespace

NoteEditorDialog::NoteEditorDialog(const UiContext& ui, Clock& clock, const LocalePatterns& locale,
                                   const QString& title, const QString& text, QWidget* parent)
    : FrameDialog(ui, parent), m_clock(clock), m_locale(locale) {
    setObjectName(QStringLiteral("noteEditor"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tools = new QHBoxLayout();
    auto* date = new QToolButton(body);
    date->setText(ui.text(kInsertDateText));
    auto* time = new QToolButton(body);
    time->setText(ui.text(kInsertTimeText));
    auto* wrap = new QCheckBox(ui.text(kWrapText), body);
    wrap->setObjectName(QStringLiteral("wrapCheck"));
    m_zoom = new QComboBox(body);
    m_zoom->setObjectName(QStringLiteral("zoomChooser"));
    for (int percent : kZoomPercent) m_zoom->addItem(QStringLiteral("%1 %").arg(percent));
    m_zoom->setToolTip(ui.text(kZoomText));
    tools->addWidget(date);
    tools->addWidget(time);
    tools->addStretch(1);
    tools->addWidget(wrap);
    tools->addWidget(m_zoom);
    layout->addLayout(tools);
    m_edit = new QPlainTextEdit(body);
    m_edit->setObjectName(QStringLiteral("noteEdit"));
    m_edit->setPlainText(text);
    m_edit->moveCursor(QTextCursor::End);
    layout->addWidget(m_edit, 1);
    setUpFrame(title, icons::icon(icons::kTitleNotes), body);

    const int zoom = ui.settings.noteZoom <= 4 ? static_cast<int>(ui.settings.noteZoom) : 1;
    m_zoom->setCurrentIndex(zoom);
    setZoom(zoom);
    wrap->setChecked(ui.settings.noteWrap != 0);
    setWrap(ui.settings.noteWrap != 0);
    connect(date, &QToolButton::clicked, this, &NoteEditorDialog::insertDate);
    connect(time, &QToolButton::clicked, this, &NoteEditorDialog::insertTime);
    connect(wrap, &QCheckBox::toggled, this, &NoteEditorDialog::setWrap);
    connect(m_zoom, &QComboBox::currentIndexChanged, this, &NoteEditorDialog::setZoom);
    m_edit->setFocus();
    resize(ui.px(ui.smartphone() ? 240 : 480), ui.px(ui.smartphone() ? 320 : 400));
}

QString NoteEditorDialog::text() const {
    return m_edit->toPlainText();
}

void NoteEditorDialog::setZoom(int step) {
    if (step < 0 || step > 4) return;
    ui().settings.noteZoom = static_cast<std::uint32_t>(step);
    QFont font = ui().fonts.slot(2);
    const double base = font.pointSizeF() > 0 ? font.pointSizeF() : 10;
    font.setPointSizeF(base * kZoomPercent[step] / 100.0);
    m_edit->setFont(font);
}

void NoteEditorDialog::setWrap(bool wrap) {
    ui().settings.noteWrap = wrap ? 1 : 0;
    m_edit->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void NoteEditorDialog::insertDate() {
    m_edit->insertPlainText(toQString(formatShortDate(m_clock.localTime(), m_locale)) + QLatin1Char(' '));
}

void NoteEditorDialog::insertTime() {
    m_edit->insertPlainText(toQString(formatShortTime(m_clock.localTime(), m_locale)) + QLatin1Char(' '));
}

}  // namespace tw::ui
