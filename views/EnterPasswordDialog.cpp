#include "views/EnterPasswordDialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

#include "app/PasswordCheck.h"
#include "platform/Text.h"
#include "views/ObjectNames.h"
#include "views/PasswordEdit.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitle = 26003;
constexpr std::uint32_t kHintLabel = 26009;
constexpr std::uint32_t kNumericLabel = 26006;
constexpr std::uint32_t kTip = 26010;
constexpr std::uint32_t kClear = 26015;
constexpr std::uint32_t kBack = 26016;
constexpr std::uint32_t kOk = 21046;
constexpr std::uint32_t kWrongPassword = 27006;
constexpr std::uint32_t kPasswordCaption = 20503;
// The keypad's font: 9 points, bold.
constexpr std::size_t kKeypadFontSlot = 7;

QString buttonStyle(const QColor& colour) {
    return QStringLiteral(
               "QPushButton { color: white; background-color: %1; border: none; }"
               "QPushButton:pressed { background-color: %2; }")
        .arg(colour.name(), colour.darker(140).name());
}

}  // namespace

EnterPasswordDialog::EnterPasswordDialog(const UiContext& ui, const std::u16string& walletName,
                                         app::PasswordCheck* check, QWidget* parent)
    : FrameDialog(ui, parent), m_check(check) {
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(ui.px(6));
    m_edit = makePasswordEdit(body, names::kPasswordEdit, app::kPasswordBoxLimit);
    m_edit->setAccessibleName(ui.text(kTitle));

    QString title;
    if (smartphone()) {
        title = walletName.empty() ? ui.text(kTitle) : toQString(walletName);
        auto* label = new QLabel(ui.text(kTitle), body);
        label->setBuddy(m_edit);
        layout->addWidget(label);
        layout->addWidget(m_edit);
        m_numeric = new QCheckBox(ui.text(kNumericLabel), body);
        m_numeric->setObjectName(names::kNumericCheck);
        layout->addWidget(m_numeric);
        layout->addStretch(1);
        setNumeric(ui.settings.passNumeric != 0);
        connect(m_numeric, &QCheckBox::toggled, this, [this](bool on) {
            this->ui().settings.passNumeric = on ? 1 : 0;
            setNumeric(on);
        });
    } else {
        title =
            walletName.empty() ? ui.text(kTitle) : toQString(format(u"%s (%s)", {ui.strings.text(kTitle), walletName}));
        auto* tip = new QLabel(ui.text(kTip), body);
        tip->setObjectName(names::kTipLabel);
        tip->setWordWrap(true);
        layout->addWidget(tip);
        layout->addWidget(m_edit);
        layout->addWidget(makeKeypad(body), 1);
    }
    setUpFrame(title, QIcon(), body);

    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &EnterPasswordDialog::tick);
    m_timer->start();
    m_edit->setFocus();
}

EnterPasswordDialog::~EnterPasswordDialog() {
    wipeLineEdit(m_edit);
    wipeText(m_password);
}

QWidget* EnterPasswordDialog::makeKeypad(QWidget* parent) {
    auto* pad = new QWidget(parent);
    auto* grid = new QGridLayout(pad);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(ui().px(3));
    const QFont font = ui().fonts.slot(kKeypadFontSlot);
    auto makeButton = [&](const QString& text, const QString& name, const QColor& colour) {
        auto* button = new QPushButton(text, pad);
        button->setObjectName(name);
        button->setFont(font);
        button->setFocusPolicy(Qt::NoFocus);  // the focus stays in the box
        button->setAutoDefault(false);
        button->setMinimumHeight(ui().px(34));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setStyleSheet(buttonStyle(colour));
        return button;
    };
    const QColor blue(0, 48, 206), red(255, 56, 56), green(0, 128, 0);
    for (int digit = 0; digit <= 9; ++digit) {
        QPushButton* button =
            makeButton(QString::number(digit), QLatin1String(names::kKeypadDigit) + QString::number(digit), blue);
        connect(button, &QPushButton::clicked, this, [this, digit] { pressDigit(digit); });
        if (digit == 0)
            grid->addWidget(button, 3, 1);
        else
            grid->addWidget(button, (digit - 1) / 3, (digit - 1) % 3);
    }
    QPushButton* clear = makeButton(ui().text(kClear), QLatin1String(names::kKeypadClear), red);
    QPushButton* back = makeButton(ui().text(kBack), QLatin1String(names::kKeypadBack), red);
    QPushButton* ok = makeButton(ui().text(kOk), QLatin1String(names::kKeypadOk), green);
    grid->addWidget(clear, 3, 0);
    grid->addWidget(back, 3, 2);
    grid->addWidget(ok, 4, 0, 1, 3);
    connect(clear, &QPushButton::clicked, this, &EnterPasswordDialog::pressClear);
    connect(back, &QPushButton::clicked, this, &EnterPasswordDialog::pressBack);
    connect(ok, &QPushButton::clicked, this, &EnterPasswordDialog::accept);
    return pad;
}

void EnterPasswordDialog::pressDigit(int digit) {
    m_edit->setFocus();
    m_edit->insert(QString::number(digit));
}

void EnterPasswordDialog::pressBack() {
    m_edit->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier);
    QCoreApplication::sendEvent(m_edit, &press);
    QCoreApplication::sendEvent(m_edit, &release);
}

void EnterPasswordDialog::pressClear() {
    m_edit->setFocus();
    wipeLineEdit(m_edit);
}

void EnterPasswordDialog::setNumeric(bool numeric) {
    m_numeric->setChecked(numeric);
    Qt::InputMethodHints hints = m_edit->inputMethodHints();
    hints.setFlag(Qt::ImhDigitsOnly, numeric);
    m_edit->setInputMethodHints(hints);
    // Keys give digits only, as the phone's keys did in numeric mode.
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    m_edit->setValidator(numeric ? new QRegularExpressionValidator(digits, m_edit) : nullptr);
}

void EnterPasswordDialog::setTickInterval(int milliseconds) {
    m_timer->setInterval(milliseconds);
}

void EnterPasswordDialog::tick() {
    if (m_countdown.tick()) reject();
}

void EnterPasswordDialog::accept() {
    std::u16string entry = secretText(m_edit, app::kPasswordTaken);
    if (entry.empty()) {
        reject();
        return;
    }
    if (m_check && !m_check->verify(entry)) {
        wipeText(entry);
        const bool offerHint = m_attempts.failed();
        ui().message(kWrongPassword, kPasswordCaption, Buttons::Ok, Icon::Warning);
        if (offerHint) {
            const std::u16string hint = m_check->hint();
            if (!hint.empty()) {
                ui().prompt.ask(Message{format(u"%s\n\n%s", {ui().strings.text(kHintLabel), hint}),
                                        ui().strings.text(kPasswordCaption), Buttons::Ok, Icon::Information});
            }
        }
        wipeLineEdit(m_edit);
        m_edit->setFocus();
        m_countdown.reset();
        return;
    }
    wipeText(m_password);
    m_password = entry;
    wipeText(entry);
    QDialog::accept();
}

void EnterPasswordDialog::done(int result) {
    m_timer->stop();
    wipeLineEdit(m_edit);
    if (result != QDialog::Accepted) wipeText(m_password);
    QDialog::done(result);
}

std::u16string EnterPasswordDialog::takePassword() {
    std::u16string password = m_password;
    wipeText(m_password);
    return password;
}

}  // namespace tw::ui
