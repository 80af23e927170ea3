#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace tw::ui {

// Pictures made into the icon files that records store as custom icons: an icon file (the
// Windows ".ico" layout) holding the picture at 16 and at 32 pixels, 32-bit colour with an alpha
// channel and a transparency mask, so that every program that reads wallets can show it.

// Pictures larger than these are refused before they are decoded.
constexpr qint64 kMaxPictureFileBytes = 4 * 1024 * 1024;
constexpr int kMaxPictureSide = 4096;

enum class IconImport {
    Ok,
    Unreadable,  // the file cannot be opened or read
    TooLarge,    // the file or its picture is beyond the limits above
    NotAPicture  // it does not decode as a picture
};

struct IconImportResult {
    IconImport result = IconImport::Unreadable;
    std::vector<std::uint8_t> iconFile;  // Ok only
};

// Reads a picture file (any format Qt decodes: ICO, PNG, BMP, JPEG, GIF, SVG...) and makes it
// into an icon file. The picture is fitted into the square, centred, keeping its proportions.
IconImportResult iconFileFromPicture(const QString& path);
// The icon file of a picture (not null).
std::vector<std::uint8_t> iconFileFromImage(const QImage& picture);

}  // namespace tw::ui
