#include "views/BackgroundDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPainter>

#include "resources/icons/IconArt.h"
#include "views/AttachmentsDialog.h"
#include "views/Background.h"
#include "views/CardServices.h"
#include "views/OffThread.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitleText = 28100;
constexpr std::uint32_t kSelectText = 28101;
constexpr std::uint32_t kRemoveText = 28102;
constexpr std::uint32_t kMatchText = 28103;
constexpr std::uint32_t kExportText = 28104;
constexpr std::uint32_t kPositionText = 28105;
constexpr std::uint32_t kCurrentText = 28106;
constexpr std::uint32_t kNoneText = 28107;
constexpr std::uint32_t kFirstPositionText = 28110;
constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kPictureFailedText = 64717;

}  // namespace

BackgroundDialog::BackgroundDialog(const UiContext& ui, CardServices& services, Env& env, Card& card, QWidget* parent)
    : FrameDialog(ui, parent), m_services(services), m_env(env), m_card(card), m_picture(card.picture()) {
    setObjectName(QStringLiteral("backgroundDialog"));
    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    m_preview = new QLabel(body);
    m_preview->setObjectName(QStringLiteral("picturePreview"));
    m_preview->setFixedSize(ui.px(100), ui.px(100));
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setAutoFillBackground(true);
    auto button = [&](std::uint32_t text, const char* name) {
        auto* b = new QPushButton(ui.text(text), body);
        b->setObjectName(QLatin1StringView(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* select = button(kSelectText, "selectImageButton");
    QPushButton* remove = button(kRemoveText, "removeImageButton");
    QPushButton* match = button(kMatchText, "matchBackgroundButton");
    QPushButton* exportButton = button(kExportText, "exportImageButton");
    auto* buttons = new QVBoxLayout();
    for (QPushButton* b : {select, remove, match, exportButton}) buttons->addWidget(b);
    buttons->addStretch(1);
    m_position = new QComboBox(body);
    m_position->setObjectName(QStringLiteral("positionChooser"));
    for (std::uint32_t i = 0; i < 10; ++i) m_position->addItem(ui.text(kFirstPositionText + i));
    const std::uint32_t placement = m_picture.hasData() ? m_picture.placement() : Attachment::kDefaultPlacement;
    m_position->setCurrentIndex(placement >= 1 && placement <= 10 ? static_cast<int>(placement) - 1 : 8);
    m_fileName = new QLabel(body);
    m_fileName->setObjectName(QStringLiteral("pictureFileName"));
    m_fileName->setTextFormat(Qt::PlainText);
    m_fileName->setWordWrap(true);
    grid->addWidget(m_preview, 0, 0);
    grid->addLayout(buttons, 0, 1);
    grid->addWidget(new QLabel(ui.text(kPositionText), body), 1, 0, 1, 2);
    grid->addWidget(m_position, 2, 0, 1, 2);
    grid->addWidget(new QLabel(ui.text(kCurrentText), body), 3, 0, 1, 2);
    grid->addWidget(m_fileName, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
    setUpFrame(ui.text(kTitleText), icons::icon(icons::kTitlePicture), body);
    connect(select, &QPushButton::clicked, this, [this] {
        const QString path = m_services.chooseFile
                                 ? m_services.chooseFile(this, this->ui().text(kSelectText),
                                                         QStringLiteral("*.bmp *.jpg *.jpeg *.gif *.png"))
                                 : QString();
        if (!path.isEmpty()) selectImage(path);
    });
    connect(remove, &QPushButton::clicked, this, &BackgroundDialog::removeImage);
    connect(match, &QPushButton::clicked, this, &BackgroundDialog::matchBackground);
    connect(exportButton, &QPushButton::clicked, this, &BackgroundDialog::exportImage);
    showPreview();
}

void BackgroundDialog::showPreview() {
    QImage preview(m_preview->size(), QImage::Format_ARGB32_Premultiplied);
    preview.fill(palette().color(QPalette::Button));
    const QImage picture = m_picture.hasData() ? decodePicture(m_picture.data()) : QImage();
    if (!picture.isNull()) {
        QSize size = picture.size();
        if (size.width() > preview.width() || size.height() > preview.height())
            size.scale(preview.size(), Qt::KeepAspectRatio);
        const QPoint at((preview.width() - size.width()) / 2, (preview.height() - size.height()) / 2);
        QPainter painter(&preview);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(at, size), picture);
        painter.end();
        m_topLeft = picture.pixelColor(0, 0);
    }
    m_preview->setPixmap(QPixmap::fromImage(preview));
    m_fileName->setText(m_picture.hasData() ? toQString(m_picture.name()) : ui().text(kNoneText));
}

bool BackgroundDialog::selectImage(const QString& path) {
    Attachment read(AttachmentKind::Picture);
    bool ok = false;
    const std::string file = path.toStdString();
    runOffThread(this, [&] { ok = read.setFromFile(m_env.files, file, m_env.clock); });
    if (!ok || decodePicture(read.data()).isNull()) {
        ui().message(kPictureFailedText, kErrorCaption, Buttons::Ok, Icon::Warning);
        return false;
    }
    m_picture = std::move(read);
    m_match.reset();
    showPreview();
    return true;
}

void BackgroundDialog::removeImage() {
    m_picture.clear();
    m_match.reset();
    showPreview();
}

void BackgroundDialog::matchBackground() {
    if (m_picture.hasData()) m_match = m_topLeft;
}

void BackgroundDialog::setPosition(int placement) {
    if (placement >= 1 && placement <= 10) m_position->setCurrentIndex(placement - 1);
}

QString BackgroundDialog::exportImage() {
    if (!m_picture.hasData()) return {};
    return exportToDocuments(this, ui(), m_services, m_env, m_picture, true);
}

void BackgroundDialog::accept() {
    const auto placement = static_cast<std::uint32_t>(m_position->currentIndex() + 1);
    Attachment& picture = m_card.picture();
    if (m_picture.hasData()) {
        const bool moved = picture.placement() != placement;
        if (m_picture.data() != picture.data() || m_picture.name() != picture.name()) {
            picture = m_picture;
            picture.setChanged(true);
        }
        picture.setPlacement(placement);
        if (moved) picture.setChanged(true);
    } else if (picture.hasData()) {
        picture.clear();
    }
    if (m_match) {
        const QColor c = *m_match;
        const std::uint32_t colour = static_cast<std::uint32_t>(c.red()) |
                                     (static_cast<std::uint32_t>(c.green()) << 8) |
                                     (static_cast<std::uint32_t>(c.blue()) << 16);
        if (m_card.display().background() != colour) {
            m_card.display().setBackground(colour);
            m_card.setModified(true);
        }
    }
    FrameDialog::accept();
}

}  // namespace tw::ui
