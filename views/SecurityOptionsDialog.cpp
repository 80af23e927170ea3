#include "views/SecurityOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/PasswordRules.h"
#include "platform/Text.h"
#include "views/ObjectNames.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitle = 28500;
constexpr std::uint32_t kIntervalLabel = 28501;
constexpr std::uint32_t kCloseOnSwitchLabel = 28502;

// A spinner over a list of texts, as the phone's left and right keys step through it.
class ChoiceSpinner final : public QSpinBox {
public:
    ChoiceSpinner(QStringList texts, QWidget* parent) : QSpinBox(parent), m_texts(std::move(texts)) {
        setRange(0, static_cast<int>(m_texts.size()) - 1);
        setWrapping(true);
        lineEdit()->setReadOnly(true);
    }

protected:
    QString textFromValue(int value) const override { return m_texts.value(value); }
    int valueFromText(const QString& text) const override {
        return std::max(0, static_cast<int>(m_texts.indexOf(text)));
    }
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }

private:
    QStringList m_texts;
};

}  // namespace

SecurityOptionsDialog::SecurityOptionsDialog(const UiContext& ui, std::uint32_t intervalMinutes, bool closeOnSwitch,
                                             QWidget* parent)
    : FrameDialog(ui, parent) {
    int selected = -1;
    for (const app::IntervalChoice& choice : app::kIntervalChoices) {
        if (choice.minutes == intervalMinutes) selected = static_cast<int>(m_choices.size());
        m_choices.push_back({ui.text(choice.textId), choice.minutes});
    }
    if (selected < 0) {
        selected = static_cast<int>(m_choices.size());
        m_choices.push_back(
            {toQString(format(ui.strings.text(app::kOtherIntervalTextId), {std::int64_t{intervalMinutes}})),
             intervalMinutes});
    }
    QStringList texts;
    for (const Choice& choice : m_choices) texts.append(choice.text);

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(ui.px(6));
    auto* label = new QLabel(ui.text(kIntervalLabel), body);
    label->setWordWrap(true);
    layout->addWidget(label);
    QWidget* chooser = nullptr;
    if (smartphone()) {
        m_spinner = new ChoiceSpinner(texts, body);
        m_spinner->setValue(selected);
        chooser = m_spinner;
    } else {
        m_list = new QComboBox(body);
        m_list->addItems(texts);
        m_list->setCurrentIndex(selected);
        chooser = m_list;
    }
    chooser->setObjectName(names::kIntervalChooser);
    chooser->setAccessibleName(label->text());
    label->setBuddy(chooser);
    layout->addWidget(chooser);
    m_closeOnSwitch = new QCheckBox(ui.text(kCloseOnSwitchLabel), body);
    m_closeOnSwitch->setObjectName(names::kCloseOnSwitchCheck);
    m_closeOnSwitch->setChecked(closeOnSwitch);
    layout->addWidget(m_closeOnSwitch);
    layout->addStretch(1);
    setUpFrame(ui.text(kTitle), QIcon(), body);
    chooser->setFocus();
}

int SecurityOptionsDialog::selectedChoice() const {
    return m_list ? m_list->currentIndex() : m_spinner->value();
}

std::uint32_t SecurityOptionsDialog::intervalMinutes() const {
    const int i = selectedChoice();
    return i >= 0 && i < static_cast<int>(m_choices.size()) ? m_choices[static_cast<std::size_t>(i)].minutes : 0;
}

bool SecurityOptionsDialog::closeOnSwitch() const {
    return m_closeOnSwitch->isChecked();
}

}  // namespace tw::ui
