#pragma once

#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <cstdint>
#include <vector>

#include "app/CustomIcons.h"

namespace tw::ui {

// The side of the icons of a list whose size was computed as `computed` (a scaled 16 or 32):
// 16 stays 16, 17 to 31 become 24, 32 stays 32, any other size is used as it is.
int roundedListSize(int computed);
// The shared lists' icon sides at `dpi` logical dots per inch: Scale(16) and Scale(32), rounded.
int smallIconSize(int dpi);
int largeIconSize(int dpi);

// One image list: icons of one side, by entry. Card and folder lists hold the four overlays
// (entries 0-3), the 144 built-in icons (entries 4-147, app::iconListEntry) and after them the
// open wallet's custom icons; the action list holds the card view's four actions (web address,
// e-mail, telephone, attachment). Every entry is present: one whose picture is missing, an
// entry out of range and app::kPlaceholderEntry draw the neutral placeholder, so no entry ever
// takes another's place.
//
// Pictures are drawn at the list's side in device-independent pixels and crisply at every device
// pixel ratio (they are vector pictures, drawn again at each size rather than scaled).
class ImageList {
public:
    enum class Kind { CardIcons, Actions };
    ImageList(Kind kind, int iconSize);

    int iconSize() const { return m_size; }
    QSize size() const { return {m_size, m_size}; }
    // Built-in entries; custom entries come after them.
    int count() const;
    // The icon of an entry; custom entries (app::kFirstCustomEntry on) from `custom`.
    QIcon icon(int entry, const app::CustomIcons* custom = nullptr) const;
    QPixmap pixmap(int entry, qreal devicePixelRatio, const app::CustomIcons* custom = nullptr) const;

private:
    Kind m_kind;
    int m_size;
};

// The program's shared image lists, each made on first use and kept until the program ends.
// Use from the GUI thread only.
//
//   ImageLists::small(ui.dpi)          folder tree, card list, form chooser, icon picker cells
//   ImageLists::large(ui.dpi)          icon previews, title strips of cards
//   ImageLists::actions(ui.px(16))     the card view's action icons
class ImageLists {
public:
    static const ImageList& small(int dpi);
    static const ImageList& large(int dpi);
    // Actions at the side the card view asks for.
    static const ImageList& actions(int size);

    // The icon of a record as the folder tree and the card window show it (app::iconListEntry).
    static QIcon recordIcon(const RecordHeader& header, const app::CustomIcons& custom);
    // The icon of a choice of the icon picker; the placeholder for bytes that do not decode.
    static QIcon choiceIcon(const app::IconChoice& choice);
    // A custom icon from its icon file's bytes, decoded once and kept; a null icon when the
    // bytes do not decode.
    static QIcon customIcon(const std::vector<std::uint8_t>& iconFile);
};

}  // namespace tw::ui
