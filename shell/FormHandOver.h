#pragma once

#include <string>

#include "model/DisplayText.h"

namespace tw {
class WalletFile;
}

namespace tw::ui {
struct UiContext;
}

namespace tw::shell {

// The user's date and time patterns from the desktop's locale, in the picture syntax the wallet
// code uses ("AP" becomes "tt").
LocalePatterns desktopLocalePatterns();

// A form-layout file opened from the file manager: its form is offered for import into the open
// wallet (the question names the form, its author and date; nothing is written on No). With no
// wallet open the user is told to open one first (25763). A file that cannot be read is reported
// (22070). True when the form was imported.
bool offerFormImport(const ui::UiContext& ui, WalletFile& wallet, const std::string& path);

}  // namespace tw::shell
