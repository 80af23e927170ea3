#include "views/MessageBoxPrompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include "views/UiContext.h"

namespace tw::ui {

namespace {

QMessageBox::Icon iconOf(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Stop:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton buttonOf(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

}  // namespace

Answer MessageBoxPrompt::ask(const Message& message) {
    return ask(message,
               message.buttons == Buttons::Ok || message.buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes);
}

Answer MessageBoxPrompt::ask(const Message& message, Answer defaultButton) {
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    Answer escape = Answer::Ok;
    switch (message.buttons) {
        case Buttons::Ok:
            break;
        case Buttons::OkCancel:
            buttons = QMessageBox::Ok | QMessageBox::Cancel;
            escape = Answer::Cancel;
            break;
        case Buttons::YesNo:
            buttons = QMessageBox::Yes | QMessageBox::No;
            escape = Answer::No;
            break;
        case Buttons::YesNoCancel:
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            escape = Answer::Cancel;
            break;
    }
    QMessageBox box(iconOf(message.icon), toQString(message.caption), toQString(message.text), buttons,
                    QApplication::activeWindow());
    // Texts are shown as they stand: never read as rich text.
    box.setTextFormat(Qt::PlainText);
    const std::pair<QMessageBox::StandardButton, std::uint32_t> captions[] = {
        {QMessageBox::Ok, 21046}, {QMessageBox::Cancel, 21025}, {QMessageBox::Yes, 20204}, {QMessageBox::No, 20205}};
    for (const auto& [button, textId] : captions) {
        if (QAbstractButton* b = box.button(button)) b->setText(toQString(m_strings.text(textId)));
    }
    box.setDefaultButton(buttonOf(defaultButton));
    box.setEscapeButton(buttonOf(escape));
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return escape;
    }
}

}  // namespace tw::ui
