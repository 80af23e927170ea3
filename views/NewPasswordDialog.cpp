#include "views/NewPasswordDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

#include "views/ObjectNames.h"
#include "views/PasswordEdit.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitleNew = 26001;
constexpr std::uint32_t kTitleChange = 26000;
constexpr std::uint32_t kPasswordLabelNew = 26007;
constexpr std::uint32_t kPasswordLabelChange = 26005;
constexpr std::uint32_t kConfirmLabel = 26004;
constexpr std::uint32_t kHintLabel = 26008;
constexpr std::uint32_t kTip = 26011;
constexpr std::uint32_t kNumericLabel = 26006;

}  // namespace

NewPasswordDialog::NewPasswordDialog(const UiContext& ui, Purpose purpose, QWidget* parent) : FrameDialog(ui, parent) {
    const bool isNew = purpose == Purpose::NewWallet;
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(ui.px(4));
    auto addLabelled = [&](std::uint32_t labelId, QLineEdit* edit) {
        auto* label = new QLabel(ui.text(labelId), body);
        label->setBuddy(edit);
        edit->setAccessibleName(label->text());
        layout->addWidget(label);
        layout->addWidget(edit);
        layout->addSpacing(ui.px(4));
    };
    m_password = makePasswordEdit(body, names::kPasswordEdit, app::kPasswordBoxLimit);
    m_confirm = makePasswordEdit(body, names::kConfirmEdit, app::kPasswordBoxLimit);
    m_hintEdit = new QLineEdit(body);
    m_hintEdit->setObjectName(names::kHintEdit);
    m_hintEdit->setMaxLength(app::kHintLimit);
    addLabelled(isNew ? kPasswordLabelNew : kPasswordLabelChange, m_password);
    addLabelled(kConfirmLabel, m_confirm);
    addLabelled(kHintLabel, m_hintEdit);
    if (smartphone()) {
        m_numeric = new QCheckBox(ui.text(kNumericLabel), body);
        m_numeric->setObjectName(names::kNumericCheck);
        layout->addWidget(m_numeric);
        setNumeric(ui.settings.passNumeric != 0);
        connect(m_numeric, &QCheckBox::toggled, this, [this](bool on) {
            this->ui().settings.passNumeric = on ? 1 : 0;
            setNumeric(on);
        });
    }
    auto* tip = new QLabel(ui.text(kTip), body);
    tip->setObjectName(names::kTipLabel);
    tip->setWordWrap(true);
    tip->setAutoFillBackground(true);
    QPalette palette = tip->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    palette.setColor(QPalette::Window, Qt::white);
    tip->setPalette(palette);
    tip->setMargin(ui.px(3));
    layout->addWidget(tip);
    layout->addStretch(1);
    setUpFrame(ui.text(isNew ? kTitleNew : kTitleChange), QIcon(), body);

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &NewPasswordDialog::tick);
    m_timer->start();
    m_password->setFocus();
}

NewPasswordDialog::~NewPasswordDialog() {
    wipeLineEdit(m_password);
    wipeLineEdit(m_confirm);
    wipeText(m_accepted);
}

void NewPasswordDialog::setNumeric(bool numeric) {
    m_numeric->setChecked(numeric);
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (QLineEdit* edit : {m_password, m_confirm}) {
        Qt::InputMethodHints hints = edit->inputMethodHints();
        hints.setFlag(Qt::ImhDigitsOnly, numeric);
        edit->setInputMethodHints(hints);
        edit->setValidator(numeric ? new QRegularExpressionValidator(digits, edit) : nullptr);
    }
}

void NewPasswordDialog::setTickInterval(int milliseconds) {
    m_timer->setInterval(milliseconds);
}

void NewPasswordDialog::tick() {
    if (m_countdown.tick()) reject();
}

void NewPasswordDialog::accept() {
    std::u16string password = secretText(m_password, app::kPasswordTaken);
    std::u16string confirmation = secretText(m_confirm, app::kPasswordTaken);
    const auto refusal = app::checkNewPassword(password, confirmation);
    wipeText(confirmation);
    if (refusal) {
        wipeText(password);
        ui().message(refusal->textId, refusal->captionId, Buttons::Ok, refusal->icon);
        m_countdown.reset();
        return;
    }
    wipeText(m_accepted);
    m_accepted = password;
    wipeText(password);
    m_hint = toU16(m_hintEdit->text().left(app::kHintLimit));
    QDialog::accept();
}

void NewPasswordDialog::done(int result) {
    m_timer->stop();
    wipeLineEdit(m_password);
    wipeLineEdit(m_confirm);
    if (result != QDialog::Accepted) {
        wipeText(m_accepted);
        m_hint.clear();
    }
    QDialog::done(result);
}

std::u16string NewPasswordDialog::takePassword() {
    std::u16string password = m_accepted;
    wipeText(m_accepted);
    return password;
}

}  // namespace tw::ui
