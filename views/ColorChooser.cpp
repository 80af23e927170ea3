#include "views/ColorChooser.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

#include "app/Colours.h"
#include "resources/icons/IconArt.h"
#include "views/ObjectNames.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitle = 20753;
constexpr std::uint32_t kSelectText = 20717;
constexpr std::uint32_t kCancelText = 20704;

QColor rgbColour(std::uint32_t rgb) {
    return QColor::fromRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

// The 8 × 8 swatches, centred, the selected one framed in the highlight colour.
class ColourGrid final : public QWidget {
public:
    ColourGrid(const UiContext& ui, std::optional<std::size_t> selected, QWidget* parent)
        : QWidget(parent), m_ui(ui), m_selected(selected) {
        setObjectName(names::kColourGrid);
        setFocusPolicy(Qt::StrongFocus);
        const int side = cell() * static_cast<int>(app::kPaletteColumns) + 2 * ui.px(2);
        setMinimumSize(side, side);
    }
    std::optional<std::size_t> selected() const { return m_selected; }
    std::function<void()> changed;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int c = cell();
        const QPoint origin = topLeft();
        const int inset = m_ui.px(2);
        for (std::size_t i = 0; i < app::kPaletteSize; ++i) {
            const QRect r = cellRect(i, origin, c);
            if (m_selected == i) p.fillRect(r, palette().color(QPalette::Highlight));
            const QRect swatch = r.adjusted(inset, inset, -inset, -inset);
            p.fillRect(swatch, rgbColour(app::kPalette[i]));
            p.setPen(palette().color(QPalette::Mid));
            p.drawRect(swatch.adjusted(0, 0, -1, -1));
        }
        if (hasFocus() && m_selected) {
            QPen pen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine);
            p.setPen(pen);
            p.drawRect(cellRect(*m_selected, origin, c).adjusted(1, 1, -2, -2));
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint at = event->position().toPoint() - topLeft();
        const int c = cell();
        const int column = at.x() / c, row = at.y() / c;
        if (at.x() < 0 || at.y() < 0 || column >= 8 || row >= 8) return;
        select(static_cast<std::size_t>(row * 8 + column));
    }
    void keyPressEvent(QKeyEvent* event) override {
        app::GridKey key;
        switch (event->key()) {
            case Qt::Key_Up:
                key = app::GridKey::Up;
                break;
            case Qt::Key_Down:
                key = app::GridKey::Down;
                break;
            case Qt::Key_Left:
                key = app::GridKey::Left;
                break;
            case Qt::Key_Right:
                key = app::GridKey::Right;
                break;
            default:
                QWidget::keyPressEvent(event);
                return;
        }
        select(app::paletteStep(m_selected, key));
    }

private:
    int cell() const { return m_ui.px(m_ui.smartphone() ? 22 : 26); }
    QPoint topLeft() const {
        const int side = cell() * 8;
        return {(width() - side) / 2, (height() - side) / 2};
    }
    static QRect cellRect(std::size_t i, QPoint origin, int c) {
        return {origin.x() + static_cast<int>(i % 8) * c, origin.y() + static_cast<int>(i / 8) * c, c, c};
    }
    void select(std::size_t i) {
        m_selected = i;
        update();
        if (changed) changed();
    }

    const UiContext& m_ui;
    std::optional<std::size_t> m_selected;
};

ColorChooser::ColorChooser(const UiContext& ui, std::uint32_t colorRef, QWidget* parent)
    : FrameDialog(ui, parent), m_start(colorRef & 0xFFFFFF) {
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(ui.px(6));
    m_grid = new ColourGrid(ui, app::palettePosition(m_start), body);
    layout->addWidget(m_grid, 1);
    auto* preview = new QWidget(body);
    preview->setObjectName(names::kColourPreview);
    preview->setAutoFillBackground(true);
    preview->setFixedHeight(ui.px(24));
    layout->addWidget(preview);
    auto showSelected = [this, preview] {
        QPalette pal = preview->palette();
        pal.setColor(QPalette::Window, fromColorRef(colour()));
        preview->setPalette(pal);
    };
    m_grid->changed = showSelected;
    showSelected();
    setUpFrame(ui.text(kTitle), icons::icon(icons::kTitleColours), body);
    // Its soft keys say what they do here: Select and Cancel.
    if (auto* done = findChild<QPushButton*>(names::kDoneButton)) done->setText(ui.text(kSelectText));
    if (auto* cancel = findChild<QPushButton*>(names::kCancelButton)) cancel->setText(ui.text(kCancelText));
    m_grid->setFocus();
}

std::uint32_t ColorChooser::colour() const {
    const std::optional<std::size_t> i = m_grid->selected();
    return i ? app::colorRefFromRgb(app::kPalette[*i]) : m_start;
}

std::optional<std::uint32_t> ColorChooser::choose(const UiContext& ui, std::uint32_t colorRef, QWidget* parent) {
    ColorChooser dialog(ui, colorRef, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.colour();
}

}  // namespace tw::ui
