#include "views/ImageLists.h"

#include <QBuffer>
#include <QImageReader>
#include <map>
#include <memory>

#include "resources/icons/IconArt.h"
#include "views/Scale.h"

namespace tw::ui {

int roundedListSize(int computed) {
    if (computed > 16 && computed < 32) return 24;
    return computed;
}

int smallIconSize(int dpi) {
    return roundedListSize(scale(16, dpi));
}

int largeIconSize(int dpi) {
    return roundedListSize(scale(32, dpi));
}

ImageList::ImageList(Kind kind, int iconSize) : m_kind(kind), m_size(iconSize) {}

int ImageList::count() const {
    return m_kind == Kind::Actions ? icons::kActionCount : app::kFirstCustomEntry;
}

QIcon ImageList::icon(int entry, const app::CustomIcons* custom) const {
    if (m_kind == Kind::Actions) return icons::actionIcon(entry);
    if (entry >= 0 && entry < app::kFirstBuiltinEntry) return icons::overlayIcon(entry);
    if (entry >= app::kFirstBuiltinEntry && entry < app::kFirstCustomEntry)
        return icons::builtinIcon(entry - app::kFirstBuiltinEntry);
    if (entry >= app::kFirstCustomEntry && custom) {
        const std::vector<std::uint8_t>* bytes =
            custom->data(app::CustomIcons::kFirstNumber + (entry - app::kFirstCustomEntry));
        if (bytes) {
            QIcon decoded = ImageLists::customIcon(*bytes);
            if (!decoded.isNull()) return decoded;
        }
    }
    return icons::builtinIcon(-1);  // the placeholder
}

QPixmap ImageList::pixmap(int entry, qreal devicePixelRatio, const app::CustomIcons* custom) const {
    QPixmap p = icon(entry, custom).pixmap(size(), devicePixelRatio);
    if (p.isNull()) {
        p = QPixmap::fromImage(icons::renderPlaceholder(m_size, devicePixelRatio));
    }
    return p;
}

const ImageList& ImageLists::small(int dpi) {
    static std::map<int, std::unique_ptr<ImageList>> lists;
    auto& list = lists[dpi];
    if (!list) list = std::make_unique<ImageList>(ImageList::Kind::CardIcons, smallIconSize(dpi));
    return *list;
}

const ImageList& ImageLists::large(int dpi) {
    static std::map<int, std::unique_ptr<ImageList>> lists;
    auto& list = lists[dpi];
    if (!list) list = std::make_unique<ImageList>(ImageList::Kind::CardIcons, largeIconSize(dpi));
    return *list;
}

const ImageList& ImageLists::actions(int size) {
    static std::map<int, std::unique_ptr<ImageList>> lists;
    auto& list = lists[size];
    if (!list) list = std::make_unique<ImageList>(ImageList::Kind::Actions, size);
    return *list;
}

QIcon ImageLists::recordIcon(const RecordHeader& header, const app::CustomIcons& custom) {
    return small(kDesktopDpi).icon(app::iconListEntry(header, custom), &custom);
}

QIcon ImageLists::choiceIcon(const app::IconChoice& choice) {
    if (choice.kind == app::IconChoice::Kind::Builtin) return icons::builtinIcon(choice.number);
    const QIcon decoded = customIcon(choice.iconFile);
    return decoded.isNull() ? icons::builtinIcon(-1) : decoded;
}

QIcon ImageLists::customIcon(const std::vector<std::uint8_t>& iconFile) {
    static QHash<QByteArray, QIcon> cache;
    const QByteArray bytes(reinterpret_cast<const char*>(iconFile.data()), static_cast<qsizetype>(iconFile.size()));
    const auto found = cache.constFind(bytes);
    if (found != cache.constEnd()) return *found;
    QIcon icon;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    // An icon file holds one picture per size; QIcon picks the nearest when drawing.
    for (int frames = 0; frames < 16; ++frames) {
        const QImage frame = reader.read();
        if (frame.isNull()) break;
        icon.addPixmap(QPixmap::fromImage(frame));
        if (!reader.canRead()) break;
    }
    if (cache.size() > 512) cache.clear();
    cache.insert(bytes, icon);
    return icon;
}

}  // namespace tw::ui
