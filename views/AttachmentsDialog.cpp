#include "views/AttachmentsDialog.h"

#include <QGridLayout>
#include <QListWidget>
#include <QLocale>

#include "app/AttachmentFiles.h"
#include "model/DisplayText.h"
#include "platform/Text.h"
#include "resources/icons/IconArt.h"
#include "views/CardServices.h"
#include "views/OffThread.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitleText = 28200;
constexpr std::uint32_t kAddText = 28201;
constexpr std::uint32_t kRemoveText = 28202;
constexpr std::uint32_t kExportText = 28203;
constexpr std::uint32_t kOpenText = 28204;
constexpr std::uint32_t kInfoText = 28205;
constexpr std::uint32_t kChooserTitle = 24004;
constexpr std::uint32_t kSavedText = 22010;
constexpr std::uint32_t kProgramCaption = 20001;
constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kReadFailedText = 64716;
constexpr std::uint32_t kWriteFailedText = 64720;
constexpr std::uint32_t kExistsText = 64721;

}  // namespace

QString withArguments(QString text, const QStringList& arguments) {
    for (const QString& argument : arguments) {
        const qsizetype at = text.indexOf(QStringLiteral("%s"));
        if (at < 0) break;
        text.replace(at, 2, argument);
    }
    return text;
}

void reportWritten(const UiContext& ui, const QString& path) {
    ui.prompt.tell(toU16(ui.text(kSavedText) + QLatin1Char('\n') + path), ui.strings.text(kProgramCaption),
                   Icon::Information);
}

QString exportToDocuments(QWidget* window, const UiContext& ui, const CardServices& services, Env& env,
                          const Attachment& attachment, bool onlyIfAbsent) {
    if (!makeFolder(services.documentsFolder)) return {};
    app::WriteOut out;
    const SystemTime today = env.clock.localTime();
    runOffThread(window, [&] {
        out = app::writeOut(services.documentsFolder, today, attachment.name(), attachment.data(), onlyIfAbsent);
    });
    if (onlyIfAbsent && out.result == PrivateWrite::Exists) {
        ui.message(kExistsText, kErrorCaption, Buttons::Ok, Icon::Information);
        return {};
    }
    if (out.result != PrivateWrite::Written) {
        ui.message(kWriteFailedText, kErrorCaption, Buttons::Ok, Icon::Warning);
        return {};
    }
    reportWritten(ui, QString::fromStdString(out.path));
    return QString::fromStdString(out.path);
}

AttachmentsDialog::AttachmentsDialog(const UiContext& ui, CardServices& services, Env& env, Card& card, QWidget* parent)
    : FrameDialog(ui, parent), m_services(services), m_env(env), m_card(card) {
    setObjectName(QStringLiteral("attachmentsDialog"));
    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    m_list = new QListWidget(body);
    m_list->setObjectName(QStringLiteral("attachmentList"));
    m_info = new QLabel(body);
    m_info->setObjectName(QStringLiteral("attachmentInfo"));
    m_info->setTextFormat(Qt::PlainText);
    auto button = [&](std::uint32_t text, const char* name) {
        auto* b = new QPushButton(ui.text(text), body);
        b->setObjectName(QLatin1StringView(name));
        b->setAutoDefault(false);
        return b;
    };
    m_add = button(kAddText, "addFileButton");
    m_export = button(kExportText, "exportFileButton");
    m_remove = button(kRemoveText, "removeFileButton");
    m_open = button(kOpenText, "openFileButton");
    grid->addWidget(m_list, 0, 0, 1, 2);
    grid->addWidget(m_info, 1, 0, 1, 2);
    grid->addWidget(m_add, 2, 0);
    grid->addWidget(m_export, 2, 1);
    grid->addWidget(m_remove, 3, 0);
    grid->addWidget(m_open, 3, 1);
    setUpFrame(ui.text(kTitleText), icons::icon(icons::kTitleAttachments), body);
    connect(m_list, &QListWidget::currentRowChanged, this, &AttachmentsDialog::updateState);
    connect(m_add, &QPushButton::clicked, this, [this] {
        const QString path = m_services.chooseFile
                                 ? m_services.chooseFile(this, this->ui().text(kChooserTitle), QStringLiteral("*"))
                                 : QString();
        if (!path.isEmpty()) addFile(path);
    });
    connect(m_remove, &QPushButton::clicked, this, &AttachmentsDialog::removeFile);
    connect(m_export, &QPushButton::clicked, this, &AttachmentsDialog::exportFile);
    connect(m_open, &QPushButton::clicked, this, [this] {
        if (selectedSlot() >= 0) emit openRequested(selectedSlot());
    });
    connect(m_list, &QListWidget::itemActivated, this, [this] {
        if (selectedSlot() >= 0) emit openRequested(selectedSlot());
    });
    refill(-1);
}

void AttachmentsDialog::refill(int selectSlot) {
    m_list->clear();
    int select = 0;
    for (std::size_t slot = 0; slot < Card::kFileSlots; ++slot) {
        const Attachment& file = m_card.file(slot);
        if (!file.hasData()) continue;
        auto* item = new QListWidgetItem(toQString(file.name()), m_list);
        item->setData(Qt::UserRole, static_cast<int>(slot));
        if (static_cast<int>(slot) == selectSlot) select = m_list->count() - 1;
    }
    if (m_list->count() > 0) m_list->setCurrentRow(select);
    updateState();
}

int AttachmentsDialog::selectedSlot() const {
    const QListWidgetItem* item = m_list->currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void AttachmentsDialog::updateState() {
    const int slot = selectedSlot();
    m_export->setEnabled(slot >= 0);
    m_remove->setEnabled(slot >= 0);
    m_open->setEnabled(slot >= 0);
    m_add->setEnabled(m_card.firstFreeSlot() >= 0);
    if (slot < 0) {
        m_info->clear();
        return;
    }
    const Attachment& file = m_card.file(static_cast<std::size_t>(slot));
    const QString added = toQString(formatShortDate(file.attachTime(), m_services.locale));
    const QString size = QLocale().formattedDataSize(static_cast<qint64>(file.data().size()));
    m_info->setText(withArguments(ui().text(kInfoText), {added, size}));
}

bool AttachmentsDialog::addFile(const QString& path) {
    const int slot = m_card.firstFreeSlot();
    if (slot < 0) return false;
    Attachment read(AttachmentKind::File);
    bool ok = false;
    const std::string file = path.toStdString();
    runOffThread(this, [&] { ok = read.setFromFile(m_env.files, file, m_env.clock); });
    if (!ok) {
        ui().message(kReadFailedText, kErrorCaption, Buttons::Ok, Icon::Warning);
        return false;
    }
    m_card.file(static_cast<std::size_t>(slot)) = std::move(read);
    m_card.setModified(true);
    refill(slot);
    return true;
}

void AttachmentsDialog::removeFile() {
    const int slot = selectedSlot();
    if (slot < 0) return;
    m_card.file(static_cast<std::size_t>(slot)).clear();
    m_card.setModified(true);
    refill(-1);
}

QString AttachmentsDialog::exportFile() {
    const int slot = selectedSlot();
    if (slot < 0) return {};
    return exportToDocuments(this, ui(), m_services, m_env, m_card.file(static_cast<std::size_t>(slot)), false);
}

}  // namespace tw::ui
