#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Env.h"
#include "storage/WalletFile.h"
#include "views/UiContext.h"

namespace tw::screenshots {

// What a screen is built over: the texts, settings and device kind of the current pass, and the
// sample wallet, open (password "tallowmere"), in memory.
struct ScreenContext {
    const ui::UiContext& ui;
    WalletFile& wallet;
};

// One window or dialog to render. `build` makes the widget; the program shows it, lets it lay
// itself out, and saves it as "<name>.png".
struct Screen {
    const char* name;
    std::function<std::unique_ptr<QWidget>(ScreenContext&)> build;
};

// Every screen of the program. A new window or dialog adds one row here and its builder.
const std::vector<Screen>& allScreens();

}  // namespace tw::screenshots
