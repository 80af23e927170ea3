#include "views/PasswordGeneratorDialog.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSpinBox>

#include "views/PasswordEdit.h"
#include "views/SecretEdit.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitleText = 64704;
constexpr std::uint32_t kLengthText = 64705;
constexpr std::uint32_t kClassTexts[4] = {64706, 64707, 64708, 64709};
constexpr unsigned kClassBits[4] = {char_class::kLower, char_class::kUpper, char_class::kDigits, char_class::kSymbols};
constexpr std::uint32_t kLookalikesText = 64710;
constexpr std::uint32_t kGenerateText = 64703;

}  // namespace

PasswordGeneratorDialog::PasswordGeneratorDialog(const UiContext& ui, Random& random, QWidget* parent)
    : FrameDialog(ui, parent), m_random(random) {
    setObjectName(QStringLiteral("passwordGenerator"));
    auto* body = new QWidget(this);
    auto* form = new QFormLayout(body);
    form->setContentsMargins(0, 0, 0, 0);
    m_length = new QSpinBox(body);
    m_length->setObjectName(QStringLiteral("lengthSpin"));
    m_length->setRange(4, static_cast<int>(PasswordRules::kMaxLength));
    m_length->setValue(20);
    form->addRow(ui.text(kLengthText), m_length);
    const PasswordRules defaults;
    for (int i = 0; i < 4; ++i) {
        m_classes[i] = new QCheckBox(ui.text(kClassTexts[i]), body);
        m_classes[i]->setChecked((defaults.classes & kClassBits[i]) != 0);
        form->addRow(m_classes[i]);
    }
    m_lookalikes = new QCheckBox(ui.text(kLookalikesText), body);
    m_lookalikes->setChecked(true);
    form->addRow(m_lookalikes);
    auto* proposal = new SecretEdit(body);
    proposal->setReadOnly(true);
    proposal->setObjectName(QStringLiteral("proposalEdit"));
    m_proposal = proposal;
    auto* again = new QPushButton(ui.text(kGenerateText), body);
    again->setAutoDefault(false);
    form->addRow(m_proposal);
    form->addRow(again);
    setUpFrame(ui.text(kTitleText), QIcon(), body);
    connect(again, &QPushButton::clicked, this, &PasswordGeneratorDialog::regenerate);
    connect(m_length, &QSpinBox::valueChanged, this, &PasswordGeneratorDialog::regenerate);
    for (QCheckBox* box : m_classes) connect(box, &QCheckBox::toggled, this, &PasswordGeneratorDialog::regenerate);
    connect(m_lookalikes, &QCheckBox::toggled, this, &PasswordGeneratorDialog::regenerate);
    regenerate();
}

PasswordGeneratorDialog::~PasswordGeneratorDialog() {
    wipeLineEdit(m_proposal);
}

PasswordRules PasswordGeneratorDialog::rules() const {
    PasswordRules rules;
    rules.length = static_cast<std::size_t>(m_length->value());
    rules.classes = 0;
    for (int i = 0; i < 4; ++i) {
        if (m_classes[i]->isChecked()) rules.classes |= kClassBits[i];
    }
    rules.excludeLookalikes = m_lookalikes->isChecked();
    return rules;
}

void PasswordGeneratorDialog::regenerate() {
    std::u16string password = generatePassword(rules(), m_random);
    wipeLineEdit(m_proposal);
    m_proposal->setText(toQString(password));
    wipeText(password);
}

std::u16string PasswordGeneratorDialog::takePassword() {
    std::u16string password = toU16(m_proposal->text());
    wipeLineEdit(m_proposal);
    return password;
}

}  // namespace tw::ui
