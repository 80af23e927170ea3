#pragma once

#include <QPainter>
#include <QStyledItemDelegate>

namespace tw::ui {

// Draws a list's selected entry on a pale fill framed in the highlight colour, with its icon
// and text in their own colours: icons stay recognisable when chosen, and cells without text
// (the icon grid) show their selection at all.
class PaleSelectionDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        if (option.state & QStyle::State_Selected) {
            const QColor highlight = option.palette.color(QPalette::Highlight);
            QColor fill = highlight;
            fill.setAlphaF(0.3);
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(highlight);
            painter->setBrush(fill);
            painter->drawRoundedRect(QRectF(option.rect).adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
            painter->restore();
            plain.state &= ~QStyle::State_Selected;
        }
        QStyledItemDelegate::paint(painter, plain, index);
    }
};

}  // namespace tw::ui
