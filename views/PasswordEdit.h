#pragma once

#include <QLineEdit>
#include <string>

namespace tw::ui {

// A line edit for a password: masked, at most `maxLength` characters, no context menu, and
// marked for input methods as sensitive and not to be predicted. A masked line edit never copies
// its text to the clipboard or the X primary selection and never starts a drag.
QLineEdit* makePasswordEdit(QWidget* parent, QLatin1StringView objectName, int maxLength);

// The edit's text, up to `maxUnits` code units (the caller wipes it).
std::u16string secretText(const QLineEdit* edit, std::size_t maxUnits);

// Overwrites the text buffer the edit holds with zeros, then empties it.
void wipeLineEdit(QLineEdit* edit);

// Overwrites a text the program holds with zeros and empties it.
void wipeText(std::u16string& text);

}  // namespace tw::ui
