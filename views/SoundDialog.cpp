#include "views/SoundDialog.h"

#include <QCheckBox>
#include <QGridLayout>

#include "resources/icons/IconArt.h"
#include "views/AttachmentsDialog.h"
#include "views/CardServices.h"
#include "views/OffThread.h"
#include "views/SoundPlayer.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitleText = 28000;
constexpr std::uint32_t kSelectText = 28001;
constexpr std::uint32_t kRemoveText = 28002;
constexpr std::uint32_t kPlayText = 28003;
constexpr std::uint32_t kExportText = 28004;
constexpr std::uint32_t kPlayWhenViewedText = 28005;
constexpr std::uint32_t kCurrentText = 28006;
constexpr std::uint32_t kNoneText = 28107;
constexpr std::uint32_t kChooserTitle = 24003;
constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kReadFailedText = 64716;

}  // namespace

SoundDialog::SoundDialog(const UiContext& ui, CardServices& services, Env& env, Card& card, QWidget* parent)
    : FrameDialog(ui, parent), m_services(services), m_env(env), m_card(card), m_sound(card.sound()) {
    setObjectName(QStringLiteral("soundDialog"));
    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    auto button = [&](std::uint32_t text, const char* name) {
        auto* b = new QPushButton(ui.text(text), body);
        b->setObjectName(QLatin1StringView(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* select = button(kSelectText, "selectSoundButton");
    QPushButton* remove = button(kRemoveText, "removeSoundButton");
    QPushButton* play = button(kPlayText, "playSoundButton");
    QPushButton* exportButton = button(kExportText, "exportSoundButton");
    m_playWhenViewed = new QCheckBox(ui.text(kPlayWhenViewedText), body);
    m_playWhenViewed->setObjectName(QStringLiteral("playWhenViewedCheck"));
    m_playWhenViewed->setChecked(m_sound.hasData() && m_sound.type() != 0);
    m_fileName = new QLabel(body);
    m_fileName->setObjectName(QStringLiteral("soundFileName"));
    m_fileName->setTextFormat(Qt::PlainText);
    m_fileName->setWordWrap(true);
    grid->addWidget(select, 0, 0);
    grid->addWidget(remove, 0, 1);
    grid->addWidget(play, 1, 0);
    grid->addWidget(exportButton, 1, 1);
    grid->addWidget(m_playWhenViewed, 2, 0, 1, 2);
    grid->addWidget(new QLabel(ui.text(kCurrentText), body), 3, 0, 1, 2);
    grid->addWidget(m_fileName, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
    setUpFrame(ui.text(kTitleText), icons::icon(icons::kTitleSound), body);
    connect(select, &QPushButton::clicked, this, [this] {
        const QString path = m_services.chooseFile
                                 ? m_services.chooseFile(this, this->ui().text(kChooserTitle), QStringLiteral("*.wav"))
                                 : QString();
        if (!path.isEmpty()) selectSound(path);
    });
    connect(remove, &QPushButton::clicked, this, &SoundDialog::removeSound);
    connect(play, &QPushButton::clicked, this, &SoundDialog::playSound);
    connect(exportButton, &QPushButton::clicked, this, &SoundDialog::exportSound);
    showName();
}

SoundDialog::~SoundDialog() {
    stop();
}

void SoundDialog::stop() {
    if (m_services.sound) m_services.sound->stop();
}

void SoundDialog::showName() {
    m_fileName->setText(m_sound.hasData() ? toQString(m_sound.name()) : ui().text(kNoneText));
}

bool SoundDialog::selectSound(const QString& path) {
    stop();
    Attachment read(AttachmentKind::Sound);
    bool ok = false;
    const std::string file = path.toStdString();
    runOffThread(this, [&] { ok = read.setFromFile(m_env.files, file, m_env.clock); });
    if (!ok) {
        ui().message(kReadFailedText, kErrorCaption, Buttons::Ok, Icon::Warning);
        return false;
    }
    m_sound = std::move(read);
    m_playWhenViewed->setChecked(true);
    showName();
    return true;
}

void SoundDialog::removeSound() {
    stop();
    m_sound.clear();
    showName();
}

void SoundDialog::playSound() {
    if (m_services.sound && m_sound.hasData()) m_services.sound->play(m_sound.data());
}

QString SoundDialog::exportSound() {
    if (!m_sound.hasData()) return {};
    return exportToDocuments(this, ui(), m_services, m_env, m_sound, true);
}

void SoundDialog::accept() {
    stop();
    Attachment& sound = m_card.sound();
    if (m_sound.hasData()) {
        const std::uint32_t play = m_playWhenViewed->isChecked() ? 1 : 0;
        if (m_sound.data() != sound.data() || m_sound.name() != sound.name()) {
            sound = m_sound;
            sound.setChanged(true);
        }
        if (sound.type() != play) {
            sound.setType(play);
            sound.setChanged(true);
        }
    } else if (sound.hasData()) {
        sound.clear();
    }
    FrameDialog::accept();
}

}  // namespace tw::ui
