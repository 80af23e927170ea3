#pragma once

#include <QString>
#include <functional>
#include <string>

#include "app/AttachmentFiles.h"
#include "app/CustomIcons.h"
#include "model/DisplayText.h"
#include "model/WebAddress.h"
#include "platform/Launcher.h"

class QWidget;

namespace tw {
class SecretClipboard;
}

namespace tw::ui {

class SoundPlayer;

// What the card window needs besides the wallet and the UI context: the desktop's programs, the
// clipboard for secrets, the user's date patterns, the folders files are written to, the list of
// opened copies and the file chooser. The program makes one; tests pass doubles.
struct CardServices {
    Launcher& launcher;
    WebBrowser& browser;
    SecretClipboard* clipboard = nullptr;  // null: copying does nothing
    int clipboardClearMs = 30000;
    LocalePatterns locale;
    std::string documentsFolder;  // exports; created when missing
    std::string openedFolder;     // opened copies: a private 0700 folder
    app::TempFiles& tempFiles;
    SoundPlayer* sound = nullptr;  // null: sounds are not played
    // Asks for a file to read: title, name filter ("*.wav"); an empty string when none was chosen.
    std::function<QString(QWidget* parent, const QString& title, const QString& filter)> chooseFile;
    // The open wallet's custom icons for the icon picker; null offers the built-in icons only.
    const app::CustomIcons* customIcons = nullptr;
};

// The user's short-date and time patterns from the system locale, in the picture syntax the
// wallet's date texts use.
LocalePatterns systemLocalePatterns();

}  // namespace tw::ui
