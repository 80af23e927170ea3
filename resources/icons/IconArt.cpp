#include "resources/icons/IconArt.h"

#include <QHash>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <memory>

#include "resources/icons/IconCatalogue.h"

namespace tw::icons {

namespace {

constexpr QColor kPlaceholderColour(0x9E, 0x9E, 0x9E);

// Sizes of the parts of the composed styles, as fractions of the icon's side.
constexpr double kTileRadius = 0.22;
constexpr double kTilePicture = 0.66;
constexpr double kPageMargin = 0.12;
constexpr double kPageFold = 0.3;
constexpr double kPagePicture = 0.5;
constexpr double kOverlayDisc = 0.62;

QString picturePath(const QString& picture) {
    static const QString kDrawn = QStringLiteral("drawn:");
    if (picture.startsWith(kDrawn)) return QStringLiteral(":/tw/icons/drawn/%1.svg").arg(picture.mid(kDrawn.size()));
    return QStringLiteral(":/tw/icons/material/%1.svg").arg(picture);
}

// The parsed picture, or null when it is missing or cannot be read.
QSvgRenderer* pictureRenderer(const QString& picture) {
    static QHash<QString, std::shared_ptr<QSvgRenderer>> cache;
    auto at = cache.find(picture);
    if (at == cache.end()) {
        auto renderer = std::make_shared<QSvgRenderer>(picturePath(picture));
        at = cache.insert(picture, renderer->isValid() ? renderer : nullptr);
    }
    return at->get();
}

QImage blankImage(QSize pixels) {
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The picture's shape painted with the brush, its view box filling target (in pixels of a
// canvas of the given size).
QImage pictureLayer(QSvgRenderer& renderer, QSize canvas, const QRectF& target, const QBrush& brush) {
    QImage layer = blankImage(canvas);
    QPainter painter(&layer);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter, target);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(layer.rect(), brush);
    return layer;
}

void drawLayer(QImage& canvas, const QImage& layer, QPainter::CompositionMode mode) {
    QPainter painter(&canvas);
    painter.setCompositionMode(mode);
    painter.drawImage(0, 0, layer);
}

QRectF centredSquare(QPointF centre, double side) {
    return QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side);
}

// A lighter top and a darker foot give the composed shapes some depth.
QLinearGradient shading(QColor colour, double top, double bottom) {
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, colour.lighter(115));
    gradient.setColorAt(1, colour.darker(112));
    return gradient;
}

// Draws one catalogued picture onto a transparent canvas of side pixels; false when a picture
// it needs is missing.
bool drawEntry(QImage& canvas, const CatalogueEntry& entry, int side) {
    QSvgRenderer* picture = pictureRenderer(entry.pictures.value(0));
    if (picture == nullptr) return false;
    const QColor colour = entry.colours.value(0);
    const QSize size(side, side);
    const QRectF full(0, 0, side, side);
    QPainter painter;
    switch (entry.style) {
        case IconStyle::Glyph:
        case IconStyle::Strip:
            drawLayer(canvas, pictureLayer(*picture, size, full, colour), QPainter::CompositionMode_SourceOver);
            return true;
        case IconStyle::Inner: {
            QSvgRenderer* mark = pictureRenderer(entry.mark);
            if (mark == nullptr) return false;
            drawLayer(canvas, pictureLayer(*picture, size, full, colour), QPainter::CompositionMode_SourceOver);
            // The mark's place is given on the grid of the picture it is cut out of.
            const QRectF box = picture->viewBoxF();
            const double scale = side / box.width();
            const QRectF target = centredSquare((entry.markCentre - box.topLeft()) * scale, entry.markSize * scale);
            drawLayer(canvas, pictureLayer(*mark, size, target, Qt::black), QPainter::CompositionMode_DestinationOut);
            return true;
        }
        case IconStyle::Tile: {
            painter.begin(&canvas);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(shading(colour, 0, side));
            const double radius = side * kTileRadius;
            painter.drawRoundedRect(full, radius, radius);
            painter.end();
            const QRectF target = centredSquare(full.center(), side * kTilePicture);
            drawLayer(canvas, pictureLayer(*picture, size, target, Qt::white), QPainter::CompositionMode_SourceOver);
            return true;
        }
        case IconStyle::Document: {
            // A page standing on the full height, its edges on whole pixels, the top right
            // corner folded down.
            const double left = std::round(side * kPageMargin);
            const double right = side - left;
            const double fold = std::round(side * kPageFold);
            QPainterPath page;
            page.moveTo(left, 0);
            page.lineTo(right - fold, 0);
            page.lineTo(right, fold);
            page.lineTo(right, side);
            page.lineTo(left, side);
            page.closeSubpath();
            QPainterPath flap;
            flap.moveTo(right - fold, 0);
            flap.lineTo(right - fold, fold);
            flap.lineTo(right, fold);
            flap.closeSubpath();
            painter.begin(&canvas);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(shading(colour, 0, side));
            painter.drawPath(page);
            painter.setBrush(colour.lighter(150));
            painter.drawPath(flap);
            painter.end();
            const QRectF target = centredSquare(QPointF(side / 2.0, (fold + side) / 2.0), side * kPagePicture);
            drawLayer(canvas, pictureLayer(*picture, size, target, Qt::white), QPainter::CompositionMode_SourceOver);
            return true;
        }
        case IconStyle::Overlay: {
            // A disc in the lower left corner with a white rim that keeps it apart from the icon
            // beneath it.
            const double disc = std::round(side * kOverlayDisc);
            const double rim = std::max(1.0, std::round(side / 16.0));
            const QRectF outer(0, side - disc, disc, disc);
            painter.begin(&canvas);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawEllipse(outer);
            painter.setBrush(colour);
            painter.drawEllipse(outer.adjusted(rim, rim, -rim, -rim));
            painter.end();
            const QRectF target = centredSquare(outer.center(), (disc - 2 * rim) * 0.72);
            drawLayer(canvas, pictureLayer(*picture, size, target, Qt::white), QPainter::CompositionMode_SourceOver);
            return true;
        }
    }
    return false;
}

int pixelSide(int size, qreal devicePixelRatio) {
    return std::max(1, static_cast<int>(std::lround(size * devicePixelRatio)));
}

QImage placeholderImage(int side) {
    QImage image = blankImage(QSize(side, side));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double pen = std::max(1.0, std::round(side / 16.0));
    const QRectF frame = QRectF(0, 0, side, side).adjusted(pen * 1.5, pen * 1.5, -pen * 1.5, -pen * 1.5);
    QColor fill = kPlaceholderColour;
    fill.setAlpha(56);
    painter.setBrush(fill);
    painter.setPen(QPen(kPlaceholderColour, pen));
    painter.drawRoundedRect(frame, side * 0.15, side * 0.15);
    return image;
}

// Grey and faded, for a disabled control.
QImage disabledImage(QImage image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
        }
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class ArtIconEngine : public QIconEngine {
public:
    explicit ArtIconEngine(int resourceId) : m_id(resourceId) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatio() : 1.0;
        const int side = std::min(rect.width(), rect.height());
        const QPixmap drawn = scaledPixmap(QSize(side, side) * ratio, mode, state, ratio);
        const QPoint at(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        painter->drawPixmap(QRect(at, QSize(side, side)), drawn);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // size is in device pixels; the pixmap carries the ratio so that it paints at size / scale.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        const int side = std::max(1, std::min(size.width(), size.height()));
        const QString key = QStringLiteral("tw-icon-art/%1/%2/%3").arg(m_id).arg(side).arg(static_cast<int>(mode));
        QPixmap drawn;
        if (!QPixmapCache::find(key, &drawn)) {
            QImage image = renderIcon(m_id, side);
            if (mode == QIcon::Disabled) image = disabledImage(image);
            drawn = QPixmap::fromImage(image);
            QPixmapCache::insert(key, drawn);
        }
        drawn.setDevicePixelRatio(scale > 0 ? scale : 1.0);
        return drawn;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }

    QString key() const override { return QStringLiteral("tw-icon-art"); }
    QIconEngine* clone() const override { return new ArtIconEngine(m_id); }
    bool isNull() override { return false; }

private:
    int m_id;
};

int inRange(int value, int count, int base) {
    return value >= 0 && value < count ? base + value : -1;
}

}  // namespace

int builtinResource(int number) {
    return inRange(number, kBuiltinCount, kBuiltinBase);
}

int overlayResource(int index) {
    return inRange(index, kOverlayCount, kOverlayBase);
}

int actionResource(int index) {
    static constexpr int kActions[kActionCount] = {kActionWeb, kActionMail, kActionPhone, kActionAttachment};
    return index >= 0 && index < kActionCount ? kActions[index] : -1;
}

bool hasIcon(int resourceId) {
    return catalogue().find(resourceId) != nullptr;
}

QString iconMeaning(int resourceId) {
    const CatalogueEntry* entry = catalogue().find(resourceId);
    return entry != nullptr ? entry->meaning : QString();
}

QImage renderPlaceholder(int size, qreal devicePixelRatio) {
    QImage image = placeholderImage(pixelSide(size, devicePixelRatio));
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QImage renderIcon(int resourceId, int size, qreal devicePixelRatio) {
    const int side = pixelSide(size, devicePixelRatio);
    const CatalogueEntry* entry = catalogue().find(resourceId);
    QImage image = blankImage(QSize(side, side));
    if (entry == nullptr || !drawEntry(image, *entry, side)) image = placeholderImage(side);
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

int stripImageCount(int resourceId) {
    const CatalogueEntry* entry = catalogue().find(resourceId);
    return entry != nullptr && entry->style == IconStyle::Strip ? static_cast<int>(entry->pictures.size()) : 0;
}

int stripImageSize(int resourceId) {
    const CatalogueEntry* entry = catalogue().find(resourceId);
    return entry != nullptr && entry->style == IconStyle::Strip ? entry->stripImageSize : 0;
}

QImage renderStrip(int resourceId, qreal devicePixelRatio) {
    const CatalogueEntry* entry = catalogue().find(resourceId);
    if (entry == nullptr || entry->style != IconStyle::Strip) return {};
    const int side = pixelSide(entry->stripImageSize, devicePixelRatio);
    QImage strip = blankImage(QSize(side * static_cast<int>(entry->pictures.size()), side));
    for (qsizetype i = 0; i < entry->pictures.size(); ++i) {
        CatalogueEntry single = *entry;
        single.pictures = {entry->pictures[i]};
        single.colours = {entry->colours[i]};
        QImage image = blankImage(QSize(side, side));
        if (!drawEntry(image, single, side)) image = placeholderImage(side);
        QPainter painter(&strip);
        painter.drawImage(side * static_cast<int>(i), 0, image);
    }
    strip.setDevicePixelRatio(devicePixelRatio);
    return strip;
}

QIcon icon(int resourceId) {
    return QIcon(new ArtIconEngine(resourceId));
}

QIcon builtinIcon(int number) {
    return icon(builtinResource(number));
}

QIcon overlayIcon(int index) {
    return icon(overlayResource(index));
}

QIcon actionIcon(int index) {
    return icon(actionResource(index));
}

}  // namespace tw::icons
