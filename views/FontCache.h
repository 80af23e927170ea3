#pragma once

#include <QFont>
#include <array>
#include <optional>

#include "app/Settings.h"

namespace tw::ui {

// The program's fonts by slot (app::fontSlotSpec), each made on first use and kept. The face is
// the desktop's font; sizes are in points, so Qt maps them to the screen.
class FontCache {
public:
    // `desktop` is the desktop's own font (QApplication::font()); `clearType` is the setting of
    // that name: antialiased text when on.
    FontCache(const QFont& desktop, bool clearType);

    // The font of a slot; the desktop font for a slot above 27.
    QFont slot(std::size_t slot);
    // The font for a size setting and its bold bit (app::fontSlotFor).
    QFont fontFor(std::uint32_t size, bool bold);

private:
    QFont m_desktop;
    bool m_clearType;
    std::array<std::optional<QFont>, app::kFontSlots> m_slots;
};

}  // namespace tw::ui
