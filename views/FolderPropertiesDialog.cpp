#include "views/FolderPropertiesDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QToolButton>

#include "app/FormChoices.h"
#include "platform/Text.h"
#include "resources/icons/IconArt.h"
#include "views/FormChooser.h"
#include "views/ImageLists.h"
#include "views/ObjectNames.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitle = 28700;
constexpr std::uint32_t kNameLabel = 28701;
constexpr std::uint32_t kIconLabel = 28702;
constexpr std::uint32_t kFormLabel = 28703;
constexpr std::uint32_t kMainLevelLabel = 28704;
constexpr std::uint32_t kSpecialTitle = 28705;  // %d: the entry's number
constexpr std::uint32_t kNewFolderName = 28706;
constexpr std::size_t kDialogLabelFontSlot = 23;

}  // namespace

FolderPropertiesDialog::FolderPropertiesDialog(const UiContext& ui, const WalletFile& wallet,
                                               const app::CustomIcons& customIcons, const Folder& folder,
                                               QWidget* parent, IconPicker::PictureChooser choosePicture)
    : FrameDialog(ui, parent),
      m_wallet(wallet),
      m_customIcons(customIcons),
      m_folder(folder),
      m_icon(folder.icon),
      m_form(folder.defaultForm),
      m_choosePicture(std::move(choosePicture)) {
    const bool special = folder.specialEntry.has_value();
    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(ui.px(4));
    grid->setHorizontalSpacing(ui.px(6));
    const QFont labelFont = ui.fonts.slot(kDialogLabelFontSlot);
    auto addLabel = [&](std::uint32_t id, int row) {
        auto* l = new QLabel(ui.text(id), body);
        l->setFont(labelFont);
        grid->addWidget(l, row, 0, 1, 2);
        return l;
    };
    int row = 0;
    QLabel* nameLabel = addLabel(kNameLabel, row++);
    m_name = new QLineEdit(body);
    m_name->setObjectName(names::kFolderNameEdit);
    m_name->setMaxLength(special ? kMaxSpecialName : static_cast<int>(RecordHeader::kMaxName));
    m_name->setText(folder.creating ? ui.text(kNewFolderName) : toQString(folder.name));
    m_name->selectAll();
    nameLabel->setBuddy(m_name);
    m_name->setAccessibleName(nameLabel->text());
    grid->addWidget(m_name, row++, 0, 1, 2);

    if (!special) {
        addLabel(kIconLabel, row++);
        m_iconButton = new QToolButton(body);
        m_iconButton->setObjectName(names::kFolderIconButton);
        const int side = ui.px(22);
        m_iconButton->setFixedSize(side + ui.px(smartphone() ? 24 : 0), side);
        m_iconButton->setIconSize(ImageLists::small(ui.dpi).size());
        m_iconButton->setIcon(ImageLists::choiceIcon(m_icon));
        m_iconButton->setAccessibleName(ui.text(kIconLabel));
        if (smartphone()) {
            // Keys only: the button reads "..." beside the icon, as a list's chooser would.
            m_iconButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            m_iconButton->setText(QStringLiteral("…"));
        }
        connect(m_iconButton, &QToolButton::clicked, this, &FolderPropertiesDialog::chooseIcon);
        grid->addWidget(m_iconButton, row++, 1, Qt::AlignRight);

        addLabel(kFormLabel, row++);
        m_formLabel = new QLabel(body);
        m_formLabel->setObjectName(names::kDefaultFormLabel);
        auto* formButton = new QToolButton(body);
        formButton->setObjectName(names::kDefaultFormButton);
        formButton->setText(QStringLiteral("…"));
        formButton->setAccessibleName(ui.text(kFormLabel));
        connect(formButton, &QToolButton::clicked, this, &FolderPropertiesDialog::chooseForm);
        grid->addWidget(m_formLabel, row, 0);
        grid->addWidget(formButton, row++, 1, Qt::AlignRight);
        showForm();

        if (folder.mayPlaceAtMainLevel) {
            m_mainLevel = new QCheckBox(ui.text(kMainLevelLabel), body);
            m_mainLevel->setObjectName(names::kMainLevelCheck);
            m_mainLevel->setFont(labelFont);
            m_mainLevel->setChecked(folder.atMainLevel);
            grid->addWidget(m_mainLevel, row++, 0, 1, 2);
        }
    }
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(row, 1);
    const QString title = special
                              ? toQString(format(ui.strings.text(kSpecialTitle), {std::int64_t{*folder.specialEntry}}))
                              : ui.text(kTitle);
    setUpFrame(title, icons::icon(icons::kTitleFolderProperties), body);
    m_name->setFocus();
}

void FolderPropertiesDialog::chooseIcon() {
    if (std::optional<app::IconChoice> chosen =
            IconPicker::choose(ui(), m_icon, m_customIcons, this, m_choosePicture)) {
        m_icon = std::move(*chosen);
        m_iconButton->setIcon(ImageLists::choiceIcon(m_icon));
    }
}

void FolderPropertiesDialog::chooseForm() {
    if (std::optional<app::FormChoice> chosen =
            FormChooser::choose(ui(), m_wallet, &m_customIcons, m_form, FormChooser::Purpose::DefaultForm, this)) {
        m_form = chosen->ref;
        showForm();
    }
}

void FolderPropertiesDialog::showForm() {
    m_formLabel->setText(toQString(app::formName(m_wallet, ui().strings, m_form)));
}

FolderPropertiesDialog::Changes FolderPropertiesDialog::changes() const {
    Changes c;
    const std::u16string name = toU16(m_name->text());
    if (m_folder.creating || name != m_folder.name) c.name = name;
    if (!m_icon.sameIcon(m_folder.icon)) c.icon = m_icon;
    if (m_form != m_folder.defaultForm) c.defaultForm = m_form;
    if (m_mainLevel && m_mainLevel->isChecked() != m_folder.atMainLevel) c.placeAtMainLevel = m_mainLevel->isChecked();
    return c;
}

std::optional<FolderPropertiesDialog::Changes> FolderPropertiesDialog::edit(const UiContext& ui,
                                                                            const WalletFile& wallet,
                                                                            const app::CustomIcons& customIcons,
                                                                            const Folder& folder, QWidget* parent) {
    FolderPropertiesDialog dialog(ui, wallet, customIcons, folder, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.changes();
}

}  // namespace tw::ui
