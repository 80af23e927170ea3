#pragma once

#include <optional>
#include <vector>

#include "app/FormChoices.h"
#include "views/FrameDialog.h"

class QListWidget;

namespace tw {
class WalletFile;
}

namespace tw::ui {

// The form chooser: one list of the wallet's custom forms and the 43 built-in forms, each with
// its icon, sorted by name without regard to case, the current form selected. Both device kinds
// show the same list (Smartphone: the arrow keys move, Enter or Done confirms).
//
// Callers use choose():
//   main window, New Card:           choose(ui, wallet, &customIcons, lastForm, Purpose::NewCard, this)
//   folder properties, default form: choose(..., folder.formRef(), Purpose::DefaultForm, this)
// and get the chosen form, or nothing when the user cancelled. A wallet whose forms cannot be
// listed still offers the built-in ones; with no entry at all, OK gives the first built-in form.
class FormChooser final : public FrameDialog {
    Q_OBJECT

public:
    enum class Purpose { NewCard, DefaultForm };

    // `custom` (may be null) draws custom forms' own icons.
    FormChooser(const UiContext& ui, const WalletFile& wallet, const app::CustomIcons* custom, const FormRef& current,
                Purpose purpose, QWidget* parent = nullptr);

    static std::optional<app::FormChoice> choose(const UiContext& ui, const WalletFile& wallet,
                                                 const app::CustomIcons* custom, const FormRef& current,
                                                 Purpose purpose, QWidget* parent);

    // What OK confirms (read after the dialog was accepted).
    app::FormChoice chosen() const;
    const std::vector<app::FormChoice>& choices() const { return m_choices; }

private:
    std::vector<app::FormChoice> m_choices;
    QListWidget* m_list = nullptr;
};

}  // namespace tw::ui
