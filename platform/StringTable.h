#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace tw {

// User-visible texts by numeric id, as loaded from a language resource file. Before a table is
// loaded every lookup gives "*"; a loaded table gives "?" for an id it does not have.
class StringTable {
public:
    std::u16string text(std::uint32_t id) const;

    bool loaded() const { return m_loaded; }
    // Replaces the whole table and marks it loaded.
    void load(std::map<std::uint32_t, std::u16string> texts);
    void unload();
    // Adds or replaces one text and marks the table loaded.
    void set(std::uint32_t id, std::u16string text);
    const std::map<std::uint32_t, std::u16string>& all() const { return m_texts; }

private:
    bool m_loaded = false;
    std::map<std::uint32_t, std::u16string> m_texts;
};

}  // namespace tw
