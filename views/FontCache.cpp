#include "views/FontCache.h"

namespace tw::ui {

FontCache::FontCache(const QFont& desktop, bool clearType) : m_desktop(desktop), m_clearType(clearType) {}

QFont FontCache::slot(std::size_t n) {
    const std::optional<app::FontSlotSpec> spec = app::fontSlotSpec(n);
    if (!spec) return m_desktop;
    if (m_slots[n]) return *m_slots[n];
    QFont font = m_desktop;
    if (spec->points > 0) font.setPointSizeF(spec->points);
    if (spec->weight == 700) font.setWeight(QFont::Bold);
    if (spec->weight == 400) font.setWeight(QFont::Normal);
    font.setUnderline(spec->underline);
    font.setStyleStrategy(m_clearType ? QFont::PreferAntialias : QFont::NoAntialias);
    m_slots[n] = font;
    return font;
}

QFont FontCache::fontFor(std::uint32_t size, bool bold) {
    return slot(app::fontSlotFor(size, bold, m_desktop.pointSizeF()));
}

}  // namespace tw::ui
