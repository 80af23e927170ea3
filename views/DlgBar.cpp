#include "views/DlgBar.h"

#include <QLinearGradient>
#include <QPainter>

#include "views/ObjectNames.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

// The title font: 9 points, bold.
constexpr std::size_t kTitleFontSlot = 7;
constexpr int kIconSize = 16;

}  // namespace

DlgBar::DlgBar(const UiContext& ui, QWidget* parent) : QWidget(parent), m_ui(ui) {
    setObjectName(names::kTitleStrip);
    setFont(m_ui.fonts.slot(kTitleFontSlot));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(stripHeight(ui));
}

int DlgBar::stripHeight(const UiContext& ui) {
    const QFontMetrics metrics(ui.fonts.slot(kTitleFontSlot));
    return std::max(ui.px(24), metrics.height() + ui.px(8));
}

void DlgBar::setTitle(const QString& title) {
    m_title = title;
    setAccessibleName(title);
    update();
}

void DlgBar::setIcon(const QIcon& icon) {
    m_icon = icon;
    update();
}

QSize DlgBar::sizeHint() const {
    return {m_ui.px(200), stripHeight(m_ui)};
}
QSize DlgBar::minimumSizeHint() const {
    return {m_ui.px(40), stripHeight(m_ui)};
}

void DlgBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(rect().topLeft(), rect().topRight());
    gradient.setColorAt(0, fromColorRef(m_ui.settings.colorBarStart));
    gradient.setColorAt(1, fromColorRef(m_ui.settings.colorBarEnd));
    painter.fillRect(rect(), gradient);

    int left = 0;
    if (!m_icon.isNull()) {
        const int size = m_ui.px(kIconSize);
        const int inset = (height() - size) / 2;
        m_icon.paint(&painter, QRect(inset, inset, size, size));
        left = inset + size;
    }
    const QRect textArea(left + m_ui.px(5), 0, width() - left - m_ui.px(10), height());
    painter.setPen(fromColorRef(m_ui.settings.colorBarText));
    const QString shown = fontMetrics().elidedText(m_title, Qt::ElideRight, textArea.width());
    painter.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
}

}  // namespace tw::ui
