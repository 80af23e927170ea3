#include "views/CardColorsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QPainter>
#include <QPixmap>

#include "app/Colours.h"
#include "resources/icons/IconArt.h"
#include "views/ColorChooser.h"
#include "views/ObjectNames.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitle = 28300;
constexpr std::uint32_t kTextSizeLabel = 28301;
constexpr std::uint32_t kBackgroundLabel = 28302;
constexpr std::uint32_t kNamesLabel = 28303;
constexpr std::uint32_t kValuesLabel = 28304;
constexpr std::uint32_t kPasswordsLabel = 28305;
constexpr std::uint32_t kAlwaysDisplay = 28306;
constexpr std::uint32_t kTip = 28307;
constexpr std::uint32_t kBold = 20513;
constexpr std::uint32_t kFirstSize = 20900;  // small, medium, large

// A filled square with a thin frame, for swatch buttons and list entries.
QIcon swatchIcon(std::uint32_t colorRef, int side) {
    QPixmap pixmap(side * 2, side * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(fromColorRef(colorRef));
    QPainter p(&pixmap);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(QRectF(0.5, 0.5, side - 1.0, side - 1.0));
    return QIcon(pixmap);
}

}  // namespace

CardColorsDialog::CardColorsDialog(const UiContext& ui, const CardDisplay& display, QWidget* parent)
    : FrameDialog(ui, parent), m_original(display) {
    m_colours = {display.background(), display.nameColour(), display.valueColour()};
    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(ui.px(8));
    grid->setVerticalSpacing(ui.px(smartphone() ? 4 : 6));
    int row = 0;
    auto label = [&](std::uint32_t id, QWidget* buddy) {
        auto* l = new QLabel(ui.text(id), body);
        l->setBuddy(buddy);
        if (buddy) buddy->setAccessibleName(l->text().remove(QLatin1Char(':')));
        grid->addWidget(l, row, 0);
    };

    m_textSize = new QComboBox(body);
    m_textSize->setObjectName(names::kTextSizeChooser);
    for (std::uint32_t i = 0; i < 3; ++i) m_textSize->addItem(ui.text(kFirstSize + i));
    m_textSize->setCurrentIndex(app::textSizeChoice(static_cast<std::int32_t>(display.textSize())));
    label(kTextSizeLabel, m_textSize);
    grid->addWidget(m_textSize, row++, 1, 1, 2);

    const std::uint32_t colourLabels[ColourCount] = {kBackgroundLabel, kNamesLabel, kValuesLabel};
    for (int c = 0; c < ColourCount; ++c) {
        QWidget* control = makeColourControl(static_cast<Colour>(c), body);
        label(colourLabels[c], control);
        grid->addWidget(control, row, 1);
        if (c == Names || c == Values) {
            auto* bold = new QCheckBox(ui.text(kBold), body);
            bold->setObjectName(c == Names ? names::kNamesBoldCheck : names::kValuesBoldCheck);
            bold->setChecked(c == Names ? display.namesBold() : display.valuesBold());
            (c == Names ? m_namesBold : m_valuesBold) = bold;
            grid->addWidget(bold, row, 2);
        }
        ++row;
    }

    m_showPasswords = new QCheckBox(ui.text(kAlwaysDisplay), body);
    m_showPasswords->setObjectName(names::kShowPasswordsCheck);
    m_showPasswords->setChecked(display.showPasswords());
    label(kPasswordsLabel, m_showPasswords);
    grid->addWidget(m_showPasswords, row++, 1, 1, 2);

    if (!smartphone()) {
        auto* tip = new QLabel(ui.text(kTip), body);
        tip->setWordWrap(true);
        tip->setObjectName(names::kTipLabel);
        grid->addWidget(tip, row++, 0, 1, 3);
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);
    setUpFrame(ui.text(kTitle), icons::icon(icons::kProgram), body);
    m_textSize->setFocus();
}

QWidget* CardColorsDialog::makeColourControl(Colour which, QWidget* parent) {
    const QLatin1StringView name = which == Background ? names::kBackgroundColour
                                   : which == Names    ? names::kNameColour
                                                       : names::kValueColour;
    if (!smartphone()) {
        auto* swatch = new QPushButton(parent);
        swatch->setObjectName(name);
        swatch->setFixedSize(ui().px(56), ui().px(24));
        swatch->setIconSize(QSize(ui().px(44), ui().px(14)));
        m_swatches[which] = swatch;
        paintSwatch(which);
        connect(swatch, &QPushButton::clicked, this, [this, which] {
            if (const std::optional<std::uint32_t> c = ColorChooser::choose(ui(), m_colours[which], this)) {
                m_colours[which] = *c;
                paintSwatch(which);
            }
        });
        return swatch;
    }
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    const int side = ui().px(12);
    list->setIconSize(QSize(side, side));
    int selected = -1;
    for (const app::NamedColour& named : app::kNamedColours) {
        std::uint32_t colorRef = app::colorRefFromRgb(named.rgb);
        if (selected < 0 && colorRef == (m_colours[which] & 0xFFFFFF)) {
            selected = list->count();
            colorRef = m_colours[which];  // kept exactly as stored while it stays chosen
        }
        list->addItem(swatchIcon(colorRef, side), ui().text(named.textId), colorRef);
    }
    if (selected < 0) {
        const std::uint32_t c = m_colours[which];
        selected = list->count();
        list->addItem(swatchIcon(c, side),
                      QStringLiteral("RGB (%1,%2,%3)").arg(c & 0xFF).arg((c >> 8) & 0xFF).arg((c >> 16) & 0xFF), c);
    }
    list->setCurrentIndex(selected);
    m_lists[which] = list;
    return list;
}

void CardColorsDialog::paintSwatch(Colour which) {
    QPushButton* swatch = m_swatches[which];
    const QSize size = swatch->iconSize();
    QPixmap pixmap(size * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(fromColorRef(m_colours[which]));
    QPainter p(&pixmap);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1.0, size.height() - 1.0));
    p.end();
    swatch->setIcon(QIcon(pixmap));
}

std::uint32_t CardColorsDialog::colourOf(Colour which) const {
    if (QComboBox* list = m_lists[which]) return list->currentData().toUInt();
    return m_colours[which];
}

CardDisplay CardColorsDialog::display() const {
    CardDisplay d = m_original;
    d.setBackground(colourOf(Background));
    d.setNameColour(colourOf(Names));
    d.setValueColour(colourOf(Values));
    d.setTextSize(app::storedTextSize(m_textSize->currentIndex()));
    d.setNamesBold(m_namesBold->isChecked());
    d.setValuesBold(m_valuesBold->isChecked());
    d.setShowPasswords(m_showPasswords->isChecked());
    return d;
}

std::optional<CardDisplay> CardColorsDialog::edit(const UiContext& ui, const CardDisplay& display, QWidget* parent) {
    CardColorsDialog dialog(ui, display, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const CardDisplay changed = dialog.display();
    if (changed == display) return std::nullopt;
    return changed;
}

}  // namespace tw::ui
