#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "app/CustomIcons.h"
#include "views/FrameDialog.h"

class QLabel;
class QListWidget;

namespace tw::ui {

// The icon picker: the current icon and the new one, each large and small on a pale yellow
// ground, the 144 built-in icons and then the wallet's custom icons (numbers 144 and above) in
// one grid, and Import Icon, which makes a picture file into a new custom icon (IconFile.h:
// converted, limited in size, refused with a message unless it decodes).
//
//   IconPicker::choose(ui, app::IconChoice::of(header, customIcons), customIcons, this)
//
// gives the chosen icon, or nothing when the user cancelled or chose the icon the record has.
// The caller stores it with IconChoice::applyTo and writes the record.
class IconPicker final : public FrameDialog {
    Q_OBJECT

public:
    // Asks for a picture file; none when the user cancelled. The program's default is the
    // desktop's file dialog; tests give their own.
    using PictureChooser = std::function<std::optional<QString>(QWidget* parent)>;

    IconPicker(const UiContext& ui, const app::IconChoice& current, const app::CustomIcons& wallet,
               QWidget* parent = nullptr, PictureChooser choosePicture = {});

    static std::optional<app::IconChoice> choose(const UiContext& ui, const app::IconChoice& current,
                                                 const app::CustomIcons& wallet, QWidget* parent,
                                                 PictureChooser choosePicture = {});

    // The new icon (the current one until another is chosen).
    const app::IconChoice& newIcon() const { return m_new; }
    // What OK hands back: the new icon unless it is the current one.
    std::optional<app::IconChoice> result() const;

    // Imports a picture file as the new icon; false (after a message) when it is refused.
    bool importPicture(const QString& path);

private:
    QWidget* makePreview(std::uint32_t labelId, QLabel** large, QLabel** small, QWidget* parent);
    void showIcon(const app::IconChoice& choice, QLabel* large, QLabel* small);
    void entryChosen(int row);

    const app::CustomIcons& m_wallet;
    app::IconChoice m_current;
    app::IconChoice m_new;
    PictureChooser m_choosePicture;
    QListWidget* m_list = nullptr;
    QLabel* m_newLarge = nullptr;
    QLabel* m_newSmall = nullptr;
};

}  // namespace tw::ui
