#include "views/IconFile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include "storage/Bytes.h"

namespace tw::ui {

namespace {

// Icon file layout: a 6-byte directory header (reserved 0, type 1, image count), one 16-byte
// entry per image (width, height, colour count 0, reserved 0, planes 1, bits per pixel 32, bytes
// of the image, offset of the image), then each image as a 40-byte bitmap header whose height
// counts the colour rows and the mask rows, the colour rows bottom-up in BGRA, and the mask rows
// bottom-up at one bit per pixel, each row padded to 4 bytes.
constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kBitmapHeaderSize = 40;
constexpr int kSides[] = {16, 32};

QImage fitted(const QImage& picture, int side) {
    QImage square(side, side, QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    const QImage scaled = picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter p(&square);
    p.drawImage((side - scaled.width()) / 2, (side - scaled.height()) / 2, scaled);
    p.end();
    return square;
}

std::vector<std::uint8_t> bitmapOf(const QImage& image) {
    const int side = image.width();
    const std::size_t maskRow = static_cast<std::size_t>(((side + 31) / 32) * 4);
    const std::size_t colourBytes = static_cast<std::size_t>(side * side * 4);
    std::vector<std::uint8_t> out(kBitmapHeaderSize + colourBytes + maskRow * static_cast<std::size_t>(side), 0);
    std::uint8_t* b = out.data();
    putU32(b, 0, kBitmapHeaderSize);
    putU32(b, 4, static_cast<std::uint32_t>(side));
    putU32(b, 8, static_cast<std::uint32_t>(side * 2));
    putU16(b, 12, 1);
    putU16(b, 14, 32);
    putU32(b, 20, static_cast<std::uint32_t>(out.size() - kBitmapHeaderSize));
    std::uint8_t* colour = b + kBitmapHeaderSize;
    std::uint8_t* mask = colour + colourBytes;
    for (int y = 0; y < side; ++y) {
        const int row = side - 1 - y;  // bottom-up
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            const QRgb px = line[x];
            std::uint8_t* c = colour + (static_cast<std::size_t>(row * side + x) * 4);
            c[0] = static_cast<std::uint8_t>(qBlue(px));
            c[1] = static_cast<std::uint8_t>(qGreen(px));
            c[2] = static_cast<std::uint8_t>(qRed(px));
            c[3] = static_cast<std::uint8_t>(qAlpha(px));
            if (qAlpha(px) == 0)
                mask[static_cast<std::size_t>(row) * maskRow + static_cast<std::size_t>(x / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> iconFileFromImage(const QImage& picture) {
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    std::vector<std::vector<std::uint8_t>> images;
    for (int side : kSides) images.push_back(bitmapOf(fitted(source, side)));
    std::vector<std::uint8_t> out(kDirectorySize + kEntrySize * images.size(), 0);
    putU16(out.data(), 2, 1);
    putU16(out.data(), 4, static_cast<std::uint16_t>(images.size()));
    std::size_t offset = out.size();
    for (std::size_t i = 0; i < images.size(); ++i) {
        std::uint8_t* e = out.data() + kDirectorySize + kEntrySize * i;
        e[0] = static_cast<std::uint8_t>(kSides[i]);
        e[1] = static_cast<std::uint8_t>(kSides[i]);
        putU16(e, 4, 1);
        putU16(e, 6, 32);
        putU32(e, 8, static_cast<std::uint32_t>(images[i].size()));
        putU32(e, 12, static_cast<std::uint32_t>(offset));
        offset += images[i].size();
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

IconImportResult iconFileFromPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {IconImport::Unreadable, {}};
    if (file.size() > kMaxPictureFileBytes) return {IconImport::TooLarge, {}};
    const QByteArray bytes = file.read(kMaxPictureFileBytes + 1);
    if (file.error() != QFileDevice::NoError) return {IconImport::Unreadable, {}};
    if (bytes.size() > kMaxPictureFileBytes) return {IconImport::TooLarge, {}};
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) return {IconImport::TooLarge, {}};
    QImage picture;
    if (!reader.canRead()) return {IconImport::NotAPicture, {}};
    // A vector picture without a size of its own is drawn at the larger icon size.
    if (!size.isValid()) reader.setScaledSize(QSize(32, 32));
    if (!reader.read(&picture) || picture.isNull()) return {IconImport::NotAPicture, {}};
    if (picture.width() > kMaxPictureSide || picture.height() > kMaxPictureSide) return {IconImport::TooLarge, {}};
    return {IconImport::Ok, iconFileFromImage(picture)};
}

}  // namespace tw::ui
