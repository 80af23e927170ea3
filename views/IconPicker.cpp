#include "views/IconPicker.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "resources/icons/IconArt.h"
#include "views/IconFile.h"
#include "views/ImageLists.h"
#include "views/ObjectNames.h"
#include "views/PaleSelection.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitle = 28600;
constexpr std::uint32_t kCurrentLabel = 28601;
constexpr std::uint32_t kNewLabel = 28602;
constexpr std::uint32_t kImportButton = 28603;
constexpr std::uint32_t kFileDialogTitle = 25015;
// Messages when a picture is refused, and their caption.
constexpr std::uint32_t kPictureUnreadable = 28610;
constexpr std::uint32_t kPictureTooLarge = 28611;
constexpr std::uint32_t kNotAPicture = 28612;
constexpr std::uint32_t kCaption = 28600;
const QColor kPreviewGround(255, 255, 206);

std::optional<QString> desktopFileDialog(const UiContext& ui, QWidget* parent) {
    const QString path =
        QFileDialog::getOpenFileName(parent, ui.text(kFileDialogTitle), QString(),
                                     QStringLiteral("*.ico *.png *.bmp *.gif *.jpg *.jpeg *.svg;;*.ico;;*"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace

IconPicker::IconPicker(const UiContext& ui, const app::IconChoice& current, const app::CustomIcons& wallet,
                       QWidget* parent, PictureChooser choosePicture)
    : FrameDialog(ui, parent),
      m_wallet(wallet),
      m_current(current),
      m_new(current),
      m_choosePicture(std::move(choosePicture)) {
    if (!m_choosePicture) m_choosePicture = [this](QWidget* p) { return desktopFileDialog(this->ui(), p); };
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(ui.px(6));

    auto* previews = new QHBoxLayout;
    QLabel* currentLarge = nullptr;
    QLabel* currentSmall = nullptr;
    previews->addWidget(makePreview(kCurrentLabel, &currentLarge, &currentSmall, body));
    previews->addWidget(makePreview(kNewLabel, &m_newLarge, &m_newSmall, body));
    m_newLarge->setObjectName(names::kNewIconPreview);
    layout->addLayout(previews);
    showIcon(m_current, currentLarge, currentSmall);
    showIcon(m_new, m_newLarge, m_newSmall);

    const ImageList& small = ImageLists::small(ui.dpi);
    m_list = new QListWidget(body);
    m_list->setObjectName(names::kIconList);
    m_list->setViewMode(QListView::IconMode);
    m_list->setMovement(QListView::Static);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setUniformItemSizes(true);
    m_list->setIconSize(small.size());
    const int cell = small.iconSize() + ui.px(6);
    m_list->setGridSize(QSize(cell, cell));
    m_list->setSpacing(0);
    m_list->setItemDelegate(new PaleSelectionDelegate(m_list));
    // The chosen cell stays marked while the focus is elsewhere (on Import Icon, say).
    QPalette listPalette = m_list->palette();
    listPalette.setColor(QPalette::Inactive, QPalette::Highlight,
                         listPalette.color(QPalette::Active, QPalette::Highlight));
    m_list->setPalette(listPalette);
    for (int n = 0; n < RecordHeader::kIconCount; ++n) {
        auto* item = new QListWidgetItem(small.icon(app::kFirstBuiltinEntry + n), QString(), m_list);
        item->setToolTip(icons::iconMeaning(icons::builtinResource(n)));
        item->setData(Qt::UserRole, n);
    }
    for (std::size_t i = 0; i < wallet.count(); ++i) {
        const int number = app::CustomIcons::kFirstNumber + static_cast<int>(i);
        auto* item =
            new QListWidgetItem(small.icon(app::kFirstCustomEntry + static_cast<int>(i), &wallet), QString(), m_list);
        item->setData(Qt::UserRole, number);
    }
    const int currentRow = current.kind == app::IconChoice::Kind::Picture ? -1 : current.number;
    if (currentRow >= 0 && currentRow < m_list->count()) m_list->setCurrentRow(currentRow);
    const int columns = smartphone() ? 8 : 10;
    m_list->setMinimumSize(columns * cell + ui.px(24), 4 * cell + ui.px(4));
    connect(m_list, &QListWidget::currentRowChanged, this, &IconPicker::entryChosen);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(m_list, 1);

    auto* import = new QPushButton(ui.text(kImportButton), body);
    import->setObjectName(names::kImportIconButton);
    connect(import, &QPushButton::clicked, this, [this] {
        if (const std::optional<QString> path = m_choosePicture(this)) importPicture(*path);
    });
    layout->addWidget(import, 0, Qt::AlignLeft);
    setUpFrame(ui.text(kTitle), icons::icon(icons::kTitlePicture), body);
    m_list->setFocus();
}

QWidget* IconPicker::makePreview(std::uint32_t labelId, QLabel** large, QLabel** small, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(ui().px(4));
    auto* label = new QLabel(ui().text(labelId), box);
    grid->addWidget(label, 0, 0, 1, 3);
    auto makeBox = [&](int side) {
        auto* l = new QLabel(box);
        l->setFixedSize(side, side);
        l->setAlignment(Qt::AlignCenter);
        l->setAutoFillBackground(true);
        QPalette pal = l->palette();
        pal.setColor(QPalette::Window, kPreviewGround);
        l->setPalette(pal);
        l->setFrameShape(QFrame::Box);
        return l;
    };
    *large = makeBox(std::max(ui().px(34), ImageLists::large(ui().dpi).iconSize() + ui().px(2)));
    *small = makeBox(std::max(ui().px(18), ImageLists::small(ui().dpi).iconSize() + ui().px(2)));
    grid->addWidget(*large, 1, 0);
    grid->addWidget(*small, 1, 1, Qt::AlignBottom);
    grid->setColumnStretch(2, 1);
    return box;
}

void IconPicker::showIcon(const app::IconChoice& choice, QLabel* large, QLabel* small) {
    const QIcon icon = ImageLists::choiceIcon(choice);
    const qreal ratio = devicePixelRatioF();
    large->setPixmap(icon.pixmap(ImageLists::large(ui().dpi).size(), ratio));
    small->setPixmap(icon.pixmap(ImageLists::small(ui().dpi).size(), ratio));
}

void IconPicker::entryChosen(int row) {
    if (row < 0) return;
    const int number = m_list->item(row)->data(Qt::UserRole).toInt();
    app::IconChoice choice;
    choice.number = number;
    if (number >= app::CustomIcons::kFirstNumber) {
        const std::vector<std::uint8_t>* bytes = m_wallet.data(number);
        if (!bytes) return;
        choice.kind = app::IconChoice::Kind::Wallet;
        choice.iconFile = *bytes;
    }
    m_new = std::move(choice);
    showIcon(m_new, m_newLarge, m_newSmall);
}

bool IconPicker::importPicture(const QString& path) {
    const IconImportResult imported = iconFileFromPicture(path);
    if (imported.result != IconImport::Ok) {
        const std::uint32_t text = imported.result == IconImport::TooLarge      ? kPictureTooLarge
                                   : imported.result == IconImport::NotAPicture ? kNotAPicture
                                                                                : kPictureUnreadable;
        ui().message(text, kCaption, Buttons::Ok, Icon::Stop);
        return false;
    }
    m_new.kind = app::IconChoice::Kind::Picture;
    m_new.number = -1;
    m_new.iconFile = imported.iconFile;
    m_list->setCurrentRow(-1);
    showIcon(m_new, m_newLarge, m_newSmall);
    return true;
}

std::optional<app::IconChoice> IconPicker::result() const {
    if (m_new.sameIcon(m_current)) return std::nullopt;
    return m_new;
}

std::optional<app::IconChoice> IconPicker::choose(const UiContext& ui, const app::IconChoice& current,
                                                  const app::CustomIcons& wallet, QWidget* parent,
                                                  PictureChooser choosePicture) {
    IconPicker dialog(ui, current, wallet, parent, std::move(choosePicture));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.result();
}

}  // namespace tw::ui
