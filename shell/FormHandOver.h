#pragma once

#include <string>

namespace tw {
class WalletFile;
}

namespace tw::ui {
struct UiContext;
}

namespace tw::shell {

// A form-layout file opened from the file manager: its form is offered for import into the open
// wallet (the question names the form, its author and date; nothing is written on No). With no
// wallet open the user is told to open one first (25763). A file that cannot be read is reported
// (22070). True when the form was imported.
bool offerFormImport(const ui::UiContext& ui, WalletFile& wallet, const std::string& path);

}  // namespace tw::shell
