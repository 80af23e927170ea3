#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <string_view>

#include "app/DeviceKind.h"
#include "app/Settings.h"
#include "platform/Prompt.h"
#include "platform/StringTable.h"
#include "views/FontCache.h"
#include "views/Scale.h"

namespace tw::ui {

// What every window and dialog of the program is built with: the texts, the settings, the device
// kind, fonts, the screen's dots per inch and the message boxes. The program makes one; tests and
// the screenshots program make their own. Nothing here is global.
struct UiContext {
    const StringTable& strings;
    app::Settings& settings;
    app::DeviceKind device;
    FontCache& fonts;
    Prompt& prompt;
    int dpi = kDesktopDpi;  // logical dots per inch, read once per process

    QString text(std::uint32_t id) const;
    // A size written for 96 dots per inch, scaled to the screen.
    int px(int n) const { return scale(n, dpi); }
    bool smartphone() const { return app::isSmartphone(device); }
    // Shows a message by text and caption id.
    Answer message(std::uint32_t textId, std::uint32_t captionId, Buttons buttons, Icon icon) const;
};

QString toQString(std::u16string_view text);
std::u16string toU16(const QString& text);
// A COLORREF (0x00BBGGRR) as a colour.
QColor fromColorRef(std::uint32_t colorRef);
// The logical dots per inch of the primary screen, read on the first call and kept.
int screenDpi();

}  // namespace tw::ui
