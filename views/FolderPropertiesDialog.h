#pragma once

#include <optional>
#include <string>

#include "app/CustomIcons.h"
#include "storage/RecordHeader.h"
#include "views/FrameDialog.h"
#include "views/IconPicker.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace tw {
class WalletFile;
}

namespace tw::ui {

// Folder properties: the folder's name, its icon (through the icon picker) and its default card
// form (through the form chooser), and, where the caller allows it, whether the folder is placed
// at the main level. For a special entry of the folder tree (favourites, find results) only the
// name is shown, and it keeps at most 62 characters.
//
// The dialog works on copies: the icon and form chosen inside it reach the caller only with OK;
// Cancel hands back nothing at all.
//
//   FolderPropertiesDialog::Folder f{.name = ..., .icon = app::IconChoice::of(header, customIcons),
//                                    .defaultForm = header.formRef(), ...};
//   if (auto changes = FolderPropertiesDialog::edit(ui, wallet, customIcons, f, this)) {
//       if (changes->name) ...rename; if (changes->icon) changes->icon->applyTo(header);
//       if (changes->defaultForm) header.setFormRef(*changes->defaultForm); ...rewrite the header
//   }
class FolderPropertiesDialog final : public FrameDialog {
    Q_OBJECT

public:
    struct Folder {
        std::u16string name;
        bool creating = false;  // a folder being made: the name box offers string 28706
        app::IconChoice icon;
        FormRef defaultForm;
        bool mayPlaceAtMainLevel = false;  // show the check box
        bool atMainLevel = false;
        // A special entry of the tree: its number for the title (string 28705); name only.
        std::optional<int> specialEntry;
    };
    // Only what the user changed is set.
    struct Changes {
        std::optional<std::u16string> name;
        std::optional<app::IconChoice> icon;
        std::optional<FormRef> defaultForm;
        std::optional<bool> placeAtMainLevel;
    };

    static constexpr int kMaxSpecialName = 62;

    FolderPropertiesDialog(const UiContext& ui, const WalletFile& wallet, const app::CustomIcons& customIcons,
                           const Folder& folder, QWidget* parent = nullptr,
                           IconPicker::PictureChooser choosePicture = {});

    // The changes confirmed with OK, or nothing on Cancel. A creating folder hands back its name
    // always (the name box starts with a suggestion, not with a stored name).
    static std::optional<Changes> edit(const UiContext& ui, const WalletFile& wallet,
                                       const app::CustomIcons& customIcons, const Folder& folder, QWidget* parent);

    // What OK hands back (read after the dialog was accepted).
    Changes changes() const;

private:
    void chooseIcon();
    void chooseForm();
    void showForm();

    const WalletFile& m_wallet;
    const app::CustomIcons& m_customIcons;
    Folder m_folder;
    app::IconChoice m_icon;
    FormRef m_form;
    IconPicker::PictureChooser m_choosePicture;
    QLineEdit* m_name = nullptr;
    QToolButton* m_iconButton = nullptr;
    QLabel* m_formLabel = nullptr;
    QCheckBox* m_mainLevel = nullptr;
};

}  // namespace tw::ui
