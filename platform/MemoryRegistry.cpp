#include "platform/MemoryRegistry.h"

#include "platform/Text.h"

namespace tw {

// Children and values are keyed by their case-folded names, which gives lookups without regard
// to case and enumerations in case-insensitive order; the spelling is kept beside.
struct MemoryRegistry::Key {
    std::u16string name;
    std::map<std::u16string, std::unique_ptr<Key>> children;
    std::map<std::u16string, std::pair<std::u16string, RegistryValue>> values;
};

MemoryRegistry::MemoryRegistry() {
    for (auto& root : m_roots) root = std::make_unique<Key>();
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Key* MemoryRegistry::find(RegistryRoot root, std::u16string_view path) {
    const auto parts = splitRegistryPath(path);
    if (!parts) return nullptr;
    Key* key = m_roots[static_cast<int>(root)].get();
    for (const auto& part : *parts) {
        const auto it = key->children.find(foldCase(part));
        if (it == key->children.end()) return nullptr;
        key = it->second.get();
    }
    return key;
}

bool MemoryRegistry::createKey(RegistryRoot root, std::u16string_view path, bool* created) {
    if (created) *created = false;
    const auto parts = splitRegistryPath(path);
    if (!parts) return false;
    Key* key = m_roots[static_cast<int>(root)].get();
    bool made = false;
    for (const auto& part : *parts) {
        auto& slot = key->children[foldCase(part)];
        if (!slot) {
            if (failWrites) {
                // Leave no trace of the refused key.
                key->children.erase(foldCase(part));
                return false;
            }
            slot = std::make_unique<Key>();
            slot->name = part;
            made = true;
        }
        key = slot.get();
    }
    if (created) *created = made;
    return true;
}

bool MemoryRegistry::openKey(RegistryRoot root, std::u16string_view path) {
    return find(root, path) != nullptr;
}

bool MemoryRegistry::deleteKey(RegistryRoot root, std::u16string_view path) {
    if (failWrites || path.empty()) return false;
    const std::size_t cut = path.rfind(u'\\');
    const std::u16string_view parentPath =
        cut == std::u16string_view::npos ? std::u16string_view{} : path.substr(0, cut);
    const std::u16string_view leaf = cut == std::u16string_view::npos ? path : path.substr(cut + 1);
    if (!splitRegistryPath(path)) return false;
    Key* parent = find(root, parentPath);
    return parent && parent->children.erase(foldCase(leaf)) == 1;
}

std::vector<std::u16string> MemoryRegistry::subKeys(RegistryRoot root, std::u16string_view path) {
    std::vector<std::u16string> names;
    if (const Key* key = find(root, path)) {
        for (const auto& [folded, child] : key->children) names.push_back(child->name);
    }
    return names;
}

std::vector<std::u16string> MemoryRegistry::valueNames(RegistryRoot root, std::u16string_view path) {
    std::vector<std::u16string> names;
    if (const Key* key = find(root, path)) {
        for (const auto& [folded, entry] : key->values) names.push_back(entry.first);
    }
    return names;
}

std::optional<RegistryValue> MemoryRegistry::readValue(RegistryRoot root, std::u16string_view path,
                                                       std::u16string_view name) {
    const Key* key = find(root, path);
    if (!key) return std::nullopt;
    const auto it = key->values.find(foldCase(name));
    if (it == key->values.end()) return std::nullopt;
    return it->second.second;
}

bool MemoryRegistry::writeValue(RegistryRoot root, std::u16string_view path, std::u16string_view name,
                                const RegistryValue& value) {
    if (failWrites || !isStorableRegistryValue(name, value)) return false;
    Key* key = find(root, path);
    if (!key) return false;
    auto& entry = key->values[foldCase(name)];
    if (entry.first.empty()) entry.first = name;
    entry.second = value;
    return true;
}

bool MemoryRegistry::deleteValue(RegistryRoot root, std::u16string_view path, std::u16string_view name) {
    if (failWrites) return false;
    Key* key = find(root, path);
    return key && key->values.erase(foldCase(name)) == 1;
}

}  // namespace tw
