#include "views/UiContext.h"

#include <QGuiApplication>
#include <QScreen>

namespace tw::ui {

QString toQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

std::u16string toU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

QString UiContext::text(std::uint32_t id) const {
    return toQString(strings.text(id));
}

Answer UiContext::message(std::uint32_t textId, std::uint32_t captionId, Buttons buttons, Icon icon) const {
    return prompt.ask(Message{strings.text(textId), strings.text(captionId), buttons, icon});
}

QColor fromColorRef(std::uint32_t colorRef) {
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

int screenDpi() {
    static const int dpi = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const int value = screen ? qRound(screen->logicalDotsPerInchX()) : kDesktopDpi;
        return value > 0 ? value : kDesktopDpi;
    }();
    return dpi;
}

}  // namespace tw::ui
