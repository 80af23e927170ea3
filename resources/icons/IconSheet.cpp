#include "resources/icons/IconSheet.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <vector>

#include "resources/icons/IconArt.h"
#include "resources/icons/IconCatalogue.h"

namespace tw::icons {

namespace {

struct Section {
    QString title;
    std::vector<int> ids;
    bool byNumber = false;  // labelled with the built-in number rather than the resource id
    bool overlays = false;  // shown over a card icon as well as alone
};

std::vector<Section> sections() {
    std::vector<Section> result;
    Section builtin{QStringLiteral("Built-in card and folder icons, by number"), {}, true};
    for (int n = 0; n < kBuiltinCount; ++n) builtin.ids.push_back(kBuiltinBase + n);
    result.push_back(builtin);
    result.push_back(
        {QStringLiteral("Overlays 0-3 (296-299), alone and over card icon 0"), {296, 297, 298, 299}, false, true});
    result.push_back({QStringLiteral("Card-view actions: web, e-mail, telephone, attachment"),
                      {kActionWeb, kActionMail, kActionPhone, kActionAttachment}});
    result.push_back(
        {QStringLiteral("Program and documents"), {kProgram, kWalletDocument, kOldWalletDocument, kFormDocument}});
    result.push_back({QStringLiteral("Title strips"),
                      {kTitleFolderProperties, kTitleAttachments, kTitlePassword, kTitleFormDesign, kTitleNotes,
                       kTitlePicture, kTitleSound, kTitleSelectionList, kTitleColours}});
    result.push_back({QStringLiteral("Button strips"),
                      {kExpandStripSmall, kExpandStripLarge, kToolbarStripSmall, kToolbarStripLarge}});
    result.push_back({QStringLiteral("Placeholder, for any number without a picture"), {-1}});
    QSet<int> shown;
    for (const Section& section : result) shown.unite(QSet<int>(section.ids.begin(), section.ids.end()));
    Section other{QStringLiteral("Other"), {}};
    for (const CatalogueEntry& entry : catalogue().entries()) {
        if (!shown.contains(entry.id)) other.ids.push_back(entry.id);
    }
    if (!other.ids.empty()) result.push_back(other);
    return result;
}

struct Palette {
    QColor paper;
    QColor text;
    QColor faint;
};

Palette paletteFor(SheetBackground background) {
    if (background == SheetBackground::Dark)
        return {QColor(0x20, 0x21, 0x24), QColor(0xE8, 0xEA, 0xED), QColor(0x9A, 0xA0, 0xA6)};
    return {Qt::white, QColor(0x20, 0x21, 0x24), QColor(0x5F, 0x63, 0x68)};
}

// Lays out (or, with a painter, draws) the sheet; returns its height.
int layOut(QPainter* painter, int width, int iconSize, const Palette& palette) {
    const bool withMeaning = iconSize >= 32;
    QFont font = QGuiApplication::font();
    font.setPixelSize(11);
    QFont small = font;
    small.setPixelSize(10);
    QFont heading = font;
    heading.setPixelSize(13);
    heading.setBold(true);
    const int margin = 16;
    const int cellWidth = withMeaning ? 112 : std::max(iconSize + 20, 40);
    const int lineHeight = QFontMetrics(font).height();
    const int columns = std::max(1, (width - 2 * margin) / cellWidth);
    int y = margin;
    for (const Section& section : sections()) {
        if (painter != nullptr) {
            painter->setFont(heading);
            painter->setPen(palette.text);
            painter->drawText(QRect(margin, y, width - 2 * margin, 20), Qt::AlignLeft | Qt::AlignVCenter,
                              section.title);
        }
        y += 26;
        // The pictures stand in a band as tall as the tallest of the section (strips may be taller).
        int iconArea = iconSize;
        for (int id : section.ids) iconArea = std::max(iconArea, stripImageSize(id));
        const int cellHeight = iconArea + 6 + lineHeight + (withMeaning ? 2 * QFontMetrics(small).height() : 0) + 8;
        int column = 0;
        for (int id : section.ids) {
            const int stripCount = stripImageCount(id);
            const int iconsWide = section.overlays ? 2 * iconSize + 4 : iconSize;
            const int span = std::max(
                1, ((stripCount > 0 ? stripCount * stripImageSize(id) : iconsWide) + 20 + cellWidth - 1) / cellWidth);
            if (column + span > columns) {
                column = 0;
                y += cellHeight;
            }
            const QRect cell(margin + column * cellWidth, y, cellWidth * span, cellHeight);
            if (painter != nullptr) {
                const qreal ratio = painter->device()->devicePixelRatio();
                if (stripCount > 0) {
                    // Strips hold white images too: they stand on a grey plate.
                    const QImage strip = renderStrip(id, ratio);
                    const QSizeF size = strip.deviceIndependentSize();
                    const QRectF plate(cell.center().x() - size.width() / 2 - 4, cell.y(), size.width() + 8, iconArea);
                    painter->fillRect(plate, QColor(0x9E, 0x9E, 0x9E));
                    painter->drawImage(QPointF(plate.x() + 4, plate.y() + (plate.height() - size.height()) / 2), strip);
                } else if (section.overlays) {
                    const int left = cell.center().x() - iconSize - 2;
                    painter->drawImage(QPoint(left, cell.y()), renderIcon(id, iconSize, ratio));
                    painter->drawImage(QPoint(left + iconSize + 4, cell.y()),
                                       renderIcon(kBuiltinBase, iconSize, ratio));
                    painter->drawImage(QPoint(left + iconSize + 4, cell.y()), renderIcon(id, iconSize, ratio));
                } else {
                    painter->drawImage(QPoint(cell.center().x() - iconSize / 2, cell.y()),
                                       renderIcon(id, iconSize, ratio));
                }
                painter->setFont(font);
                painter->setPen(palette.text);
                painter->drawText(QRect(cell.x(), cell.y() + iconArea + 4, cell.width(), lineHeight), Qt::AlignHCenter,
                                  QString::number(section.byNumber ? id - kBuiltinBase : id));
                if (withMeaning) {
                    painter->setFont(small);
                    painter->setPen(palette.faint);
                    painter->drawText(QRect(cell.x() + 2, cell.y() + iconArea + 4 + lineHeight, cell.width() - 4,
                                            2 * QFontMetrics(small).height()),
                                      Qt::AlignHCenter | Qt::TextWordWrap, iconMeaning(id));
                }
            }
            column += span;
        }
        y += cellHeight + 8;
    }
    return y + margin;
}

}  // namespace

QImage renderIconSheet(int iconSize, qreal devicePixelRatio, SheetBackground background) {
    const Palette palette = paletteFor(background);
    const int width = iconSize >= 32 ? 16 * 2 + 112 * 12 : 16 * 2 + std::max(iconSize + 20, 40) * 16;
    const int height = layOut(nullptr, width, iconSize, palette);
    QImage sheet(QSize(width, height) * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    sheet.setDevicePixelRatio(devicePixelRatio);
    sheet.fill(palette.paper);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    layOut(&painter, width, iconSize, palette);
    return sheet;
}

QStringList writeIconSheets(const QString& folder) {
    QStringList written;
    if (!QDir().mkpath(folder)) return written;
    for (int size : {16, 32}) {
        for (int scale : {1, 2}) {
            for (SheetBackground background : {SheetBackground::Light, SheetBackground::Dark}) {
                const QString name =
                    QStringLiteral("icons-%1px-%2x-%3.png")
                        .arg(size)
                        .arg(scale)
                        .arg(background == SheetBackground::Light ? QStringLiteral("light") : QStringLiteral("dark"));
                const QString path = QDir(folder).filePath(name);
                if (!renderIconSheet(size, scale, background).save(path)) return written;
                written.append(path);
            }
        }
    }
    return written;
}

}  // namespace tw::icons
