#pragma once

#include <memory>
#include <string>

#include "shell/CardOpener.h"

namespace tw {
class Registry;
class SecretClipboard;
}  // namespace tw

namespace tw::shell {

// The card window behind the main window's card seam, with what it needs from the desktop: the
// default programs and the browser, the clipboard for secrets, a private folder for opened
// attachment copies (removed with this object) and the documents folder for exports.
class CardWindowOpener {
public:
    CardWindowOpener(Registry& registry, SecretClipboard& clipboard, int clipboardClearMs, std::string openedFolder,
                     std::string documentsFolder);
    ~CardWindowOpener();
    CardWindowOpener(const CardWindowOpener&) = delete;
    CardWindowOpener& operator=(const CardWindowOpener&) = delete;

    CardOutcome open(QWidget* parent, const ui::UiContext& ui, CardSession& session);

private:
    struct Parts;
    std::unique_ptr<Parts> m;
};

}  // namespace tw::shell
