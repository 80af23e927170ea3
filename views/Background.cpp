#include "views/Background.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

namespace tw::ui {

QImage decodePicture(std::span<const std::uint8_t> data) {
    if (data.empty()) return {};
    QByteArray bytes(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kPictureAllocationLimitMb);
    QImage image = reader.read();
    return image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QPoint placePicture(QSize picture, QSize target, int position) {
    const int column = (position - 1) % 3;
    const int line = (position - 1) / 3;
    const int spareX = std::max(0, target.width() - picture.width());
    const int spareY = std::max(0, target.height() - picture.height());
    return {column == 0 ? 0 : column == 1 ? spareX / 2 : spareX, line == 0 ? 0 : line == 1 ? spareY / 2 : spareY};
}

QImage composeBackground(const QImage& picture, QSize target, int position, QColor fill) {
    QImage out(target, QImage::Format_ARGB32_Premultiplied);
    out.fill(fill);
    if (picture.isNull() || target.isEmpty()) return out;
    QPainter painter(&out);
    if (position == 10) {
        painter.fillRect(out.rect(), QBrush(picture));
    } else if (position >= 1 && position <= 9) {
        painter.drawImage(placePicture(picture.size(), target, position), picture);
    }
    return out;
}

}  // namespace tw::ui
