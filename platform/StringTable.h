#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace tw {

// User-visible texts by numeric id, as loaded from a language resource file. Before a table is
// loaded every lookup gives "*"; a loaded table gives "?" for an id it does not have.
//
// A table can be filled on first use instead (loadOnFirstUse): a program that may need no text
// at all then reads no language file.
class StringTable {
public:
    std::u16string text(std::uint32_t id) const;

    bool loaded() const {
        runLoader();
        return m_loaded;
    }
    // Replaces the whole table and marks it loaded.
    void load(std::map<std::uint32_t, std::u16string> texts);
    void unload();
    // Adds or replaces one text and marks the table loaded.
    void set(std::uint32_t id, std::u16string text);
    const std::map<std::uint32_t, std::u16string>& all() const {
        runLoader();
        return m_texts;
    }
    // `loader` fills the table when it is first asked for a text, for all texts or whether it is
    // loaded, or before a text is set; load() and unload() drop a loader that has not run.
    void loadOnFirstUse(std::function<void(StringTable&)> loader) { m_loader = std::move(loader); }

private:
    void runLoader() const;

    // Mutable: the table fills itself when first read.
    mutable bool m_loaded = false;
    mutable std::map<std::uint32_t, std::u16string> m_texts;
    mutable std::function<void(StringTable&)> m_loader;
};

}  // namespace tw
