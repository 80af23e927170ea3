#include "platform/StringTable.h"

namespace tw {

void StringTable::runLoader() const {
    if (!m_loader) return;
    const auto loader = std::move(m_loader);
    m_loader = nullptr;
    loader(const_cast<StringTable&>(*this));
}

std::u16string StringTable::text(std::uint32_t id) const {
    runLoader();
    if (!m_loaded) return u"*";
    const auto it = m_texts.find(id);
    return it == m_texts.end() ? u"?" : it->second;
}

void StringTable::load(std::map<std::uint32_t, std::u16string> texts) {
    m_loader = nullptr;
    m_texts = std::move(texts);
    m_loaded = true;
}

void StringTable::unload() {
    m_loader = nullptr;
    m_texts.clear();
    m_loaded = false;
}

void StringTable::set(std::uint32_t id, std::u16string text) {
    runLoader();
    m_texts[id] = std::move(text);
    m_loaded = true;
}

}  // namespace tw
