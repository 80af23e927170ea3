#include "views/DisplayOptionsDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QPixmap>

#include "storage/WalletFile.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kPocketTitle = 28400;
constexpr std::uint32_t kSmartphoneTitle = 28300;
constexpr std::uint32_t kWalletViewText = 28401;
constexpr std::uint32_t kFoldersText = 28402;
constexpr std::uint32_t kCardsText = 28403;
constexpr std::uint32_t kTextSizeText = 28301;
constexpr std::uint32_t kDefaultsText = 28404;
constexpr std::uint32_t kBackgroundText = 28302;
constexpr std::uint32_t kNamesText = 28303;
constexpr std::uint32_t kDataText = 28304;
constexpr std::uint32_t kBoldText = 20513;
constexpr std::uint32_t kSizeTexts[6] = {20900, 20901, 20902, 20904, 20905, 20906};

std::uint32_t toColorRef(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

}  // namespace

DisplayOptionsDialog::DisplayOptionsDialog(const UiContext& ui, WalletFile& wallet, ColourChooser chooseColour,
                                           QWidget* parent)
    : FrameDialog(ui, parent),
      m_wallet(wallet),
      m_chooseColour(std::move(chooseColour)),
      m_options(app::loadDisplayOptions(ui.settings, wallet.settings())) {
    setObjectName(QStringLiteral("displayOptionsDialog"));
    if (!m_chooseColour) {
        // The program's own colour chooser takes this place once it is there.
        m_chooseColour = [](QWidget* owner, QColor current) { return QColorDialog::getColor(current, owner); };
    }
    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    auto label = [&](std::uint32_t id) {
        auto* l = new QLabel(ui.text(id), body);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    auto heading = [&](std::uint32_t id) {
        QLabel* l = label(id);
        l->setFont(ui.fonts.slot(7));
        return l;
    };
    m_treeSize = new QComboBox(body);
    m_treeSize->setObjectName(QStringLiteral("treeSizeChooser"));
    for (std::uint32_t id : kSizeTexts) m_treeSize->addItem(ui.text(id));
    m_cardSize = new QComboBox(body);
    m_cardSize->setObjectName(QStringLiteral("cardSizeChooser"));
    for (int i = 0; i < 3; ++i) m_cardSize->addItem(ui.text(kSizeTexts[i]));
    m_namesBold = new QCheckBox(ui.text(kBoldText), body);
    m_namesBold->setObjectName(QStringLiteral("namesBoldCheck"));
    m_valuesBold = new QCheckBox(ui.text(kBoldText), body);
    m_valuesBold->setObjectName(QStringLiteral("valuesBoldCheck"));

    int row = 0;
    grid->addWidget(heading(kWalletViewText), row++, 0, 1, 3);
    grid->addWidget(label(kTextSizeText), row, 0);
    grid->addWidget(m_treeSize, row++, 1, 1, 2);
    grid->addWidget(label(kFoldersText), row, 0);
    grid->addWidget(swatch(&m_options.folderColour, "folderColourButton", body), row++, 1);
    grid->addWidget(label(kCardsText), row, 0);
    grid->addWidget(swatch(&m_options.cardColour, "cardColourButton", body), row++, 1);
    grid->addWidget(heading(kDefaultsText), row++, 0, 1, 3);
    grid->addWidget(label(kTextSizeText), row, 0);
    grid->addWidget(m_cardSize, row++, 1, 1, 2);
    grid->addWidget(label(kBackgroundText), row, 0);
    grid->addWidget(swatch(&m_options.background, "backgroundColourButton", body), row++, 1);
    grid->addWidget(label(kNamesText), row, 0);
    grid->addWidget(swatch(&m_options.nameColour, "nameColourButton", body), row, 1);
    grid->addWidget(m_namesBold, row++, 2);
    grid->addWidget(label(kDataText), row, 0);
    grid->addWidget(swatch(&m_options.valueColour, "valueColourButton", body), row, 1);
    grid->addWidget(m_valuesBold, row++, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(2, 1);
    setUpFrame(ui.text(smartphone() ? kSmartphoneTitle : kPocketTitle), QIcon(), body);
    refresh();
}

QPushButton* DisplayOptionsDialog::swatch(std::uint32_t* colour, const char* name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1StringView(name));
    button->setAutoDefault(false);
    button->setIconSize(QSize(ui().px(32), ui().px(14)));
    connect(button, &QPushButton::clicked, this, [this, colour] {
        const QColor chosen = m_chooseColour(this, fromColorRef(*colour));
        if (!chosen.isValid()) return;
        *colour = toColorRef(chosen);
        showSwatches();
    });
    m_swatches.emplace_back(button, colour);
    return button;
}

void DisplayOptionsDialog::refresh() {
    m_treeSize->setCurrentIndex(m_options.treeSize);
    m_cardSize->setCurrentIndex(m_options.cardSize);
    m_namesBold->setChecked(m_options.namesBold);
    m_valuesBold->setChecked(m_options.valuesBold);
    showSwatches();
}

void DisplayOptionsDialog::showSwatches() {
    for (auto& [button, colour] : m_swatches) {
        QPixmap pixmap(button->iconSize() * devicePixelRatio());
        pixmap.setDevicePixelRatio(devicePixelRatio());
        pixmap.fill(fromColorRef(*colour));
        button->setIcon(QIcon(pixmap));
    }
}

void DisplayOptionsDialog::accept() {
    m_options.treeSize = m_treeSize->currentIndex();
    m_options.cardSize = m_cardSize->currentIndex() < 0 ? 0 : m_cardSize->currentIndex();
    m_options.namesBold = m_namesBold->isChecked();
    m_options.valuesBold = m_valuesBold->isChecked();
    app::storeDisplayOptions(m_options, ui().settings, m_wallet.settings(), m_wallet.env().clock.localTime());
    FrameDialog::accept();
}

}  // namespace tw::ui
