#include "views/CardView.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>

#include "resources/icons/IconArt.h"
#include "views/Background.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr int kIndent = 5;
constexpr std::uint32_t kCopyFieldText = 62867;  // "Copy %s"
constexpr std::uint32_t kPropertiesText = 20719;
constexpr std::uint32_t kEmptyCardText = 62868;
constexpr std::uint32_t kEmptyCardHintText = 62869;

}  // namespace

QStringList breakLines(const QString& text, const QFont& font, int width) {
    QStringList lines;
    QString expanded = text;
    expanded.replace(QLatin1Char('\r'), QString());
    for (const QString& paragraph : expanded.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setTabStopDistance(QFontMetrics(font).horizontalAdvance(QLatin1Char(' ')) * 8);
        layout.setTextOption(option);
        layout.beginLayout();
        bool any = false;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(1, width));
            lines << paragraph.mid(line.textStart(), line.textLength());
            any = true;
        }
        layout.endLayout();
        if (!any) lines << QString();
    }
    return lines;
}

CardView::CardView(const UiContext& ui, QWidget* parent)
    : QAbstractScrollArea(parent), m_ui(ui), m_backgroundColour(palette().color(QPalette::Base)) {
    setObjectName(QStringLiteral("cardView"));
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize CardView::sizeHint() const {
    return {m_ui.px(240), m_ui.px(268)};
}

void CardView::showCard(const Card* card, std::vector<app::ViewRow> rows, bool keepSelection) {
    m_card = card;
    m_rows = std::move(rows);
    const CardDisplay display = card ? card->display() : CardDisplay::walletDefault();
    m_layout = display.layout() >= 3 ? Layout::Stacked : static_cast<Layout>(display.layout());
    const std::uint32_t size = display.textSize();
    m_valueFont = m_ui.fonts.fontFor(size, display.valuesBold());
    m_nameFont = m_ui.fonts.fontFor(size > 1 ? size - 1 : size, display.namesBold());
    m_nameLine = QFontMetrics(m_nameFont).height();
    m_valueLine = QFontMetrics(m_valueFont).height();
    m_backgroundColour = fromColorRef(display.background());
    m_nameColour = fromColorRef(display.nameColour());
    m_valueColour = fromColorRef(display.valueColour());
    m_showPasswords = display.showPasswords();
    m_picture = QImage();
    m_composed = QImage();
    m_placement = 0;
    if (card && card->picture().hasData()) {
        m_picture = decodePicture(card->picture().data());
        m_placement = static_cast<int>(card->picture().placement());
    }
    if (!keepSelection || m_selected >= static_cast<int>(m_rows.size())) m_revealed = false;
    relayout(keepSelection && m_selected < static_cast<int>(m_rows.size()));
}

int CardView::columnWidth() const {
    return viewport()->width() - m_ui.px(2);
}

QFont CardView::fontOf(int row) const {
    return row % 2 == 0 ? m_nameFont : m_valueFont;
}

int CardView::lineHeightOf(int row) const {
    return row % 2 == 0 ? m_nameLine : m_valueLine;
}

int CardView::textWidth(int row) const {
    const app::ViewRow& r = m_rows[static_cast<std::size_t>(row)];
    int width = columnWidth() - 1;
    if (r.flags & app::row_flag::kIndent) width -= kIndent;
    if (app::reservesIcon(r)) width -= m_ui.px(20);
    // Side by side, the value shares its lines with the name.
    if (m_layout != Layout::Stacked && row % 2 == 1) {
        width -= QFontMetrics(m_nameFont).horizontalAdvance(toQString(m_rows[static_cast<std::size_t>(row - 1)].text));
    }
    return width;
}

void CardView::relayout(bool keepSelection) {
    m_heights.assign(m_rows.size(), 0);
    m_total = 0;
    const int line = std::max(m_nameLine, m_valueLine);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const app::ViewRow& row = m_rows[i];
        if (row.text.empty()) continue;
        if (row.isName() && m_layout != Layout::Stacked) continue;
        const int lines = static_cast<int>(
            breakLines(toQString(row.text), fontOf(static_cast<int>(i)), textWidth(static_cast<int>(i))).size());
        m_heights[i] = line * lines;
        m_total += m_heights[i];
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, m_total - page()));
    bar->setPageStep(page());
    bar->setSingleStep(std::max(1, m_valueLine));
    if (!keepSelection) {
        m_selected = nextTarget(-1, 1);
        if (m_selected < 0) m_selected = static_cast<int>(app::firstSelectable(m_rows));
        bar->setValue(0);
    }
    ensureVisible();
    m_composed = QImage();
    viewport()->update();
}

int CardView::page() const {
    return std::max(1, viewport()->height());
}

int CardView::position() const {
    return verticalScrollBar()->value();
}

void CardView::setPosition(int position) {
    verticalScrollBar()->setValue(std::clamp(position, 0, verticalScrollBar()->maximum()));
    viewport()->update();
}

int CardView::rowTop(int row) const {
    int top = 0;
    for (int i = 0; i < row && i < static_cast<int>(m_heights.size()); ++i)
        top += m_heights[static_cast<std::size_t>(i)];
    return top;
}

int CardView::shownTop(int row) const {
    // A value row brought into view from below keeps its name above it when both fit the page.
    const int top = rowTop(row);
    if (row < 1 || !m_rows[static_cast<std::size_t>(row - 1)].isName()) return top;
    const int nameTop = top - m_heights[static_cast<std::size_t>(row - 1)];
    return top + m_heights[static_cast<std::size_t>(row)] - nameTop < page() ? nameTop : top;
}

int CardView::selectedField() const {
    if (m_rows.empty()) return -1;
    return m_rows[static_cast<std::size_t>(m_selected)].field;
}

bool CardView::selectedDrawnMasked() const {
    if (m_rows.empty()) return false;
    return app::drawnMasked(m_rows[static_cast<std::size_t>(m_selected)], m_revealed, m_showPasswords);
}

void CardView::select(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || m_rows[static_cast<std::size_t>(row)].isName()) return;
    m_selected = row;
    m_revealed = true;
    ensureVisible();
}

void CardView::selectField(int field) {
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (!m_rows[i].isName() && m_rows[i].field == field) {
            m_selected = static_cast<int>(i);
            ensureVisible();
            return;
        }
    }
}

void CardView::ensureVisible() {
    if (!m_rows.empty() && verticalScrollBar()->maximum() > 0) {
        const int top = rowTop(m_selected);
        const int bottom = top + m_heights[static_cast<std::size_t>(m_selected)];
        if (top < position()) {
            setPosition(shownTop(m_selected));
        } else if (bottom > position() + page()) {
            setPosition(bottom - page() > top ? top : bottom - page());
        }
    }
    viewport()->update();
}

// The next (step 1) or previous (step -1) value row that shows something; `from` when none.
int CardView::nextTarget(int from, int step) const {
    for (int i = from + step; i >= 0 && i < static_cast<int>(m_rows.size()); i += step) {
        if (!m_rows[static_cast<std::size_t>(i)].isName() && m_heights[static_cast<std::size_t>(i)] > 0) return i;
    }
    return from;
}

void CardView::selectNext() {
    if (m_rows.empty()) return;
    const int current = m_selected;
    const int target = nextTarget(current, 1);
    const int top = rowTop(current);
    const int bottom = top + m_heights[static_cast<std::size_t>(current)];
    const bool lastPageShown = position() + page() >= bottom;
    if (target == current) {
        if (!lastPageShown) setPosition(std::min(position() + page(), bottom - page()));
        return;
    }
    if (fits(current) || lastPageShown) {
        m_selected = target;
        m_revealed = true;
        const int targetTop = rowTop(target);
        const int targetBottom = targetTop + m_heights[static_cast<std::size_t>(target)];
        if (!(fits(target) && targetTop >= position() && targetBottom <= position() + page())) {
            setPosition(fits(target) ? std::max(targetBottom - page(), std::min(targetTop, position())) : targetTop);
            if (targetTop < position()) setPosition(shownTop(target));
        }
    } else {
        setPosition(std::min(position() + page(), bottom - page()));
    }
    viewport()->update();
}

void CardView::selectPrevious() {
    if (m_rows.empty()) return;
    const int current = m_selected;
    const int target = nextTarget(current, -1);
    const int top = rowTop(current);
    if (!fits(current) && position() > top) {
        // Page up through the tall row first.
        setPosition(std::max(top, position() - page()));
        return;
    }
    if (target == current) return;
    m_selected = target;
    m_revealed = true;
    const int targetTop = rowTop(target);
    const int targetBottom = targetTop + m_heights[static_cast<std::size_t>(target)];
    if (fits(target)) {
        if (targetTop < position()) setPosition(shownTop(target));
    } else {
        setPosition(targetBottom - page());
    }
    viewport()->update();
}

int CardView::selectAt(int y, bool contextTap) {
    if (m_rows.empty()) return -1;
    const int at = y + position();
    int bottom = 0;
    int target = -1;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        bottom += m_heights[i];
        if (!m_rows[i].isName() && m_heights[i] > 0 && bottom > at) {
            target = static_cast<int>(i);
            break;
        }
    }
    if (target < 0) return -1;  // below every row: the selection stays
    if (target != m_selected || !m_revealed) {
        m_selected = target;
        m_revealed = true;
        ensureVisible();
    } else if (!contextTap) {
        emit actionRequested(target);
    }
    return target;
}

void CardView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) selectAt(static_cast<int>(event->position().y()), false);
    QAbstractScrollArea::mousePressEvent(event);
}

void CardView::contextMenuEvent(QContextMenuEvent* event) {
    const int row = selectAt(event->pos().y(), true);
    QMenu menu(this);
    if (row > 0 && m_rows[static_cast<std::size_t>(row - 1)].isName() &&
        !m_rows[static_cast<std::size_t>(row - 1)].text.empty()) {
        const QString name = toQString(m_rows[static_cast<std::size_t>(row - 1)].text);
        menu.addAction(m_ui.text(kCopyFieldText).arg(name), this, [this, row] { emit copyRequested(row); });
    }
    menu.addAction(m_ui.text(kPropertiesText), this, [this] { emit propertiesRequested(); });
    menu.exec(event->globalPos());
}

bool CardView::focusNextPrevChild(bool) {
    return false;  // Tab moves the selection, not the focus
}

void CardView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Down:
        case Qt::Key_Tab:
            selectNext();
            return;
        case Qt::Key_Up:
        case Qt::Key_Backtab:
            selectPrevious();
            return;
        case Qt::Key_PageDown:
            setPosition(position() + page());
            return;
        case Qt::Key_PageUp:
            setPosition(position() - page());
            return;
        case Qt::Key_Home:
            setPosition(0);
            return;
        case Qt::Key_End:
            setPosition(verticalScrollBar()->maximum());
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Select:
            if (!m_rows.empty() && !m_rows[static_cast<std::size_t>(m_selected)].text.empty()) {
                m_revealed = true;
                emit actionRequested(m_selected);
            }
            return;
        default:
            break;
    }
    if (event->matches(QKeySequence::Copy) && !m_rows.empty()) {
        emit copyRequested(m_selected);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CardView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout(true);
    // A view laid out before it had its size scrolled only as far as that size needed: show as
    // much above the selection as now fits.
    if (!m_rows.empty()) {
        const int candidate = std::min(position(), shownTop(m_selected));
        if (rowTop(m_selected) + m_heights[static_cast<std::size_t>(m_selected)] <= candidate + page())
            setPosition(candidate);
    }
}

void CardView::scrollContentsBy(int, int) {
    viewport()->update();
}

QRect CardView::iconRect(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || app::rowIcon(m_rows[static_cast<std::size_t>(row)]) < 0)
        return {};
    const int size = m_ui.px(16);
    const int y = rowTop(row) - position() + (lineHeightOf(row) - size) / 2;
    const int x = m_layout == Layout::ValueFirst ? m_ui.px(2) : viewport()->width() - m_ui.px(20) + m_ui.px(2);
    return {x, y, size, size};
}

QImage CardView::background() {
    const QSize size = viewport()->size();
    if (m_picture.isNull()) return {};
    if (m_composed.size() != size) m_composed = composeBackground(m_picture, size, m_placement, m_backgroundColour);
    return m_composed;
}

void CardView::paintIcon(QPainter& painter, int row, int x, int top, QColor background) {
    const int index = app::rowIcon(m_rows[static_cast<std::size_t>(row)]);
    if (index < 0) return;
    const int size = m_ui.px(16);
    const QRect at(x, top + (lineHeightOf(row) - size) / 2, size, size);
    if (background == palette().color(QPalette::Highlight)) {
        // On the selection band the icon sits on a light disc, so that its colour still shows.
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawEllipse(at.adjusted(-m_ui.px(1), -m_ui.px(1), m_ui.px(1), m_ui.px(1)));
        painter.restore();
    }
    painter.drawPixmap(at, icons::actionIcon(index).pixmap(QSize(size, size), devicePixelRatioF()));
}

void CardView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QImage picture = background();
    if (!picture.isNull()) {
        painter.drawImage(0, 0, picture);
    } else {
        painter.fillRect(viewport()->rect(), m_backgroundColour);
    }
    if (m_layout == Layout::Stacked) {
        paintStacked(painter);
    } else {
        paintSideBySide(painter);
    }
}

void CardView::paintStacked(QPainter& painter) {
    const int width = viewport()->width();
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlightText = palette().color(QPalette::HighlightedText);
    int y = -position();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const int height = m_heights[i];
        const app::ViewRow& row = m_rows[i];
        const int index = static_cast<int>(i);
        if (height < 1 || row.text.empty() || y + height < 0 || y > viewport()->height()) {
            y += height;
            continue;
        }
        int left = m_ui.px(2);
        int right = width;
        if (row.flags & app::row_flag::kIndent) left += kIndent;
        if (app::reservesIcon(row)) right -= m_ui.px(20);
        const bool selected = index == m_selected;
        if (selected) painter.fillRect(QRect(0, y, width, height), highlight);
        painter.setPen(selected ? highlightText : row.isName() ? m_nameColour : m_valueColour);
        painter.setFont(fontOf(index));
        const bool masked = app::drawnMasked(row, selected && m_revealed, m_showPasswords);
        const QString text = masked ? toQString(app::kMask) : toQString(row.text);
        const int lineHeight = lineHeightOf(index);
        int lineY = y;
        for (const QString& line : breakLines(text, fontOf(index), textWidth(index))) {
            painter.drawText(QRect(left, lineY, right - left, lineHeight),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextExpandTabs, line);
            lineY += lineHeight;
        }
        paintIcon(painter, index, right + m_ui.px(2), y, selected ? highlight : m_backgroundColour);
        y += height;
    }
}

void CardView::paintSideBySide(QPainter& painter) {
    const int width = viewport()->width();
    if (m_rows.empty()) {
        painter.setFont(m_valueFont);
        painter.setPen(m_valueColour);
        painter.drawText(viewport()->rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         m_ui.text(kEmptyCardText) + QStringLiteral("  ") + m_ui.text(kEmptyCardHintText));
        return;
    }
    const QColor highlight = palette().color(QPalette::Highlight);
    const QColor highlightText = palette().color(QPalette::HighlightedText);
    const QColor inverse(255 - highlight.red(), 255 - highlight.green(), 255 - highlight.blue());
    const QFontMetrics nameMetrics(m_nameFont);
    int y = -position();
    for (std::size_t i = 0; i + 1 < m_rows.size(); i += 2) {
        const app::ViewRow& name = m_rows[i];
        const app::ViewRow& value = m_rows[i + 1];
        const int index = static_cast<int>(i + 1);
        const int height = std::max(m_heights[i], m_heights[i + 1]);
        if (height < 1 || name.text.empty() || y + height < 0 || y > viewport()->height()) {
            y += height;
            continue;
        }
        int left = m_ui.px(2);
        int right = width;
        const bool icon = app::reservesIcon(value);
        if (icon && m_layout == Layout::NameFirst) right -= m_ui.px(20);
        if (icon && m_layout == Layout::ValueFirst) left += m_ui.px(20);
        const int nameWidth = nameMetrics.horizontalAdvance(toQString(name.text));
        const int indent = (value.flags & app::row_flag::kIndent) ? kIndent : 0;
        QRect valueRect(left, y, right - left, m_valueLine);
        QRect nameRect;
        if (m_layout == Layout::ValueFirst) {
            valueRect.setRight(right - nameWidth - indent);
            nameRect = QRect(valueRect.right(), y, right - valueRect.right(), m_valueLine);
        } else {
            valueRect.setLeft(left + nameWidth + indent);
            nameRect = QRect(left, y, nameWidth, m_valueLine);
        }
        const bool selected = index == m_selected;
        if (selected) painter.fillRect(QRect(0, y, width, height), highlight);
        const bool masked = app::drawnMasked(value, selected && m_revealed, m_showPasswords);
        const QString text = masked ? toQString(app::kMask) : toQString(value.text);
        const QStringList lines = breakLines(text, m_valueFont, valueRect.width());
        int lineY = y;
        for (int l = 0; l < lines.size(); ++l) {
            if (l == 0) {
                painter.setFont(m_nameFont);
                painter.setPen(selected ? inverse : m_nameColour);
                painter.drawText(nameRect.translated(0, lineY - y),
                                 (m_layout == Layout::ValueFirst ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                                 toQString(name.text));
            }
            painter.setFont(m_valueFont);
            painter.setPen(selected ? highlightText : m_valueColour);
            painter.drawText(QRect(valueRect.left(), lineY, valueRect.width(), m_valueLine),
                             (m_layout == Layout::ValueFirst ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter |
                                 Qt::TextExpandTabs,
                             lines[l]);
            lineY += m_valueLine;
        }
        paintIcon(painter, index, m_layout == Layout::ValueFirst ? m_ui.px(2) : right + m_ui.px(2), y,
                  selected ? highlight : m_backgroundColour);
        y += height;
    }
}

}  // namespace tw::ui
