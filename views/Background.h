#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>

namespace tw::ui {

// The largest picture decoded for a card, in megabytes of decoded image: a picture that would take
// more is not decoded (the view shows the background colour).
inline constexpr int kPictureAllocationLimitMb = 64;

// Decodes stored picture data (bitmap, JPEG, GIF or whatever the image reader knows) within the
// allocation limit; a null image when it cannot be decoded.
QImage decodePicture(std::span<const std::uint8_t> data);

// The card view's background: `picture` placed in a `target`-sized image at `position` 1-9 (top
// left ... bottom right; offsets only where the picture is smaller than the target) on `fill`, or
// tiled from the top left for 10. Any other position, or no picture, gives the fill alone.
QImage composeBackground(const QImage& picture, QSize target, int position, QColor fill);

// Where a picture of `picture` size is placed at `position` 1-9 in `target`.
QPoint placePicture(QSize picture, QSize target, int position);

}  // namespace tw::ui
