#pragma once

#include <memory>

#include "app/AttachmentFiles.h"
#include "model/WebAddress.h"
#include "platform/Launcher.h"
#include "platform/SecretClipboard.h"
#include "shell/CardOpener.h"
#include "views/CardServices.h"
#include "views/SoundPlayer.h"

namespace tw {
class Registry;
}

namespace tw::shell {

// What the card window needs in the running program: the desktop's opener and the registered
// browser, the clipboard for secrets, the sound player, the user's date patterns, the documents
// folder, the private folder for opened attachments (made when first needed) and their list.
class ProgramCardServices {
public:
    // `registry` holds the registered browser; `launcher` may be null (the desktop's opener).
    ProgramCardServices(Registry& registry, Launcher* launcher = nullptr);
    ~ProgramCardServices();
    ui::CardServices& services() { return *m_services; }
    app::TempFiles& openedFiles() { return m_temp; }

private:
    PosixLauncher m_posixLauncher;
    Launcher& m_launcher;
    WebBrowser m_browser;
    SecretClipboard m_clipboard;
    ui::SoundPlayer m_sound;
    app::TempFiles m_temp;
    std::unique_ptr<ui::CardServices> m_services;
};

// The card window as the main window's card opener (MainFrame::setCardOpener): it shows the
// session's card, new cards and forms in editing mode, and reports Changed (the card holds the
// edits; the main window writes them), Deleted, or Unchanged.
CardOpener cardWindowOpener(ui::CardServices& services);

// At exit: offers to delete the files written to open attachments (text 28206). When the program
// closes by itself (automatic closing, the session ending) nobody is asked and they are deleted.
void offerOpenedFileDeletion(const ui::UiContext& ui, app::TempFiles& files, bool automatic);

}  // namespace tw::shell
