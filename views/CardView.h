#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <vector>

#include "app/CardRows.h"
#include "model/Card.h"

namespace tw::ui {

struct UiContext;

// The card window's viewing page: an owner-drawn, scrolling list of the card's rows (field names
// and values, then attachments), in the card's layout, fonts and colours, over its background
// picture. One value row is selected at a time; a second tap or Enter runs its action, which the
// view hands to its window (actionRequested), as it does copying and the context menu's
// properties. Password values are drawn masked unless the card always shows them, or the user
// has selected the row: the selection the view starts with never reveals one.
class CardView final : public QAbstractScrollArea {
    Q_OBJECT

public:
    enum class Layout : int { Stacked = 0, ValueFirst = 1, NameFirst = 2 };

    CardView(const UiContext& ui, QWidget* parent = nullptr);

    // Shows `card` (borrowed; it must live as long as the view shows it) with `rows` built from it.
    // Keeps the selection when asked and it is still in range.
    void showCard(const Card* card, std::vector<app::ViewRow> rows, bool keepSelection = false);

    const std::vector<app::ViewRow>& rows() const { return m_rows; }
    int selected() const { return m_selected; }
    // Selects a value row as the user would (revealing a password) and brings it into view.
    void select(int row);
    // The field index of the selected row; -1 for an attachment row or no rows.
    int selectedField() const;
    // Selects the value row of field `field` when there is one.
    void selectField(int field);
    bool selectedDrawnMasked() const;

    // Row heights after the last layout pass, and the column width they were measured at.
    const std::vector<int>& rowHeights() const { return m_heights; }
    int totalHeight() const { return m_total; }
    Layout layout() const { return m_layout; }
    int nameLineHeight() const { return m_nameLine; }
    int valueLineHeight() const { return m_valueLine; }
    QRect iconRect(int row) const;

    // Keyboard movement (Down/Tab, Up), with paging through rows taller than the view.
    void selectNext();
    void selectPrevious();

    QSize sizeHint() const override;

signals:
    // The selected row's action (a second tap, Enter).
    void actionRequested(int row);
    void copyRequested(int row);
    void propertiesRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;

private:
    void relayout(bool keepSelection);
    int columnWidth() const;
    int textWidth(int row) const;
    QFont fontOf(int row) const;
    int lineHeightOf(int row) const;
    int rowTop(int row) const;
    int shownTop(int row) const;
    int selectAt(int y, bool contextTap);
    void ensureVisible();
    int page() const;
    int position() const;
    void setPosition(int position);
    QImage background();
    void paintStacked(QPainter& painter);
    void paintSideBySide(QPainter& painter);
    void paintIcon(QPainter& painter, int row, int x, int top, QColor background);
    int nextTarget(int from, int step) const;
    bool fits(int row) const { return m_heights[static_cast<std::size_t>(row)] < page(); }

    const UiContext& m_ui;
    const Card* m_card = nullptr;
    std::vector<app::ViewRow> m_rows;
    std::vector<int> m_heights;
    int m_total = 0;
    int m_selected = 0;
    bool m_revealed = false;  // the user chose the selected row
    Layout m_layout = Layout::Stacked;
    QFont m_nameFont;
    QFont m_valueFont;
    int m_nameLine = 0;
    int m_valueLine = 0;
    QColor m_backgroundColour;
    QColor m_nameColour;
    QColor m_valueColour;
    bool m_showPasswords = false;
    QImage m_picture;
    int m_placement = 0;
    QImage m_composed;
};

// Breaks `text` into the lines it takes at `width` pixels in `font` (words first, then anywhere;
// tabs expanded). An empty text is one empty line.
QStringList breakLines(const QString& text, const QFont& font, int width);

}  // namespace tw::ui
