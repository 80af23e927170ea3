#pragma once

#include <map>
#include <memory>

#include "platform/Registry.h"

namespace tw {

// A registry held in memory, for tests. Behaves like the stored registry in every respect the
// Registry contract names. `failWrites` makes every changing call fail, so a test can show that
// a caller survives a registry that refuses to store anything.
class MemoryRegistry final : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    bool createKey(RegistryRoot root, std::u16string_view path, bool* created = nullptr) override;
    bool openKey(RegistryRoot root, std::u16string_view path) override;
    bool deleteKey(RegistryRoot root, std::u16string_view path) override;
    std::vector<std::u16string> subKeys(RegistryRoot root, std::u16string_view path) override;
    std::vector<std::u16string> valueNames(RegistryRoot root, std::u16string_view path) override;
    std::optional<RegistryValue> readValue(RegistryRoot root, std::u16string_view path,
                                           std::u16string_view name) override;
    bool writeValue(RegistryRoot root, std::u16string_view path, std::u16string_view name,
                    const RegistryValue& value) override;
    bool deleteValue(RegistryRoot root, std::u16string_view path, std::u16string_view name) override;
    bool flush() override { return !failWrites; }

    bool failWrites = false;

private:
    struct Key;
    Key* find(RegistryRoot root, std::u16string_view path);

    std::unique_ptr<Key> m_roots[2];
};

}  // namespace tw
