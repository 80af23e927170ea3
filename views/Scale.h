#pragma once

namespace tw::ui {

// Logical dots per inch of a desktop screen, at which scaled sizes are as written.
inline constexpr int kDesktopDpi = 96;

// A pixel size written for 96 dots per inch, at `dpi` logical dots per inch:
// sign(n) × ((|n| × dpi + 48) div 96). Sizes are in Qt's device-independent pixels: Qt's device
// pixel ratio already draws them crisply on high-density screens, so nothing scales twice.
constexpr int scale(int n, int dpi) {
    const int magnitude = ((n < 0 ? -n : n) * dpi + kDesktopDpi / 2) / kDesktopDpi;
    return n < 0 ? -magnitude : magnitude;
}

static_assert(scale(2, 96) == 2 && scale(16, 96) == 16);
static_assert(scale(2, 192) == 4 && scale(16, 192) == 32 && scale(-5, 192) == -10);
static_assert(scale(5, 120) == 6 && scale(1, 47) == 0);

}  // namespace tw::ui
