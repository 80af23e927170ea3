#pragma once

#include <memory>
#include <string>

#include "platform/Registry.h"

namespace tw {

// The registry stored per user in two INI files in QSettings' format (platform/IniFile), one per hive:
// registry-hkcu.ini and registry-hkcr.ini. Every key is an INI group; a key's existence is
// marked by an entry of its own, so empty keys persist; every value is an entry whose text
// carries its type ("dword:00000409", "sz:text", "hex:0a1b"). docs/registry.md gives the layout.
//
// Each call re-reads the files when another process changed them and writes its change through
// at once (under the file's lock, over the file as it is then), so the program, a second
// instance and the setup extension see each other's values.
// When a file cannot be written the changing call returns false; the change then stays visible
// to this object (and is tried again with the next write) but is not stored.
class IniRegistry final : public Registry {
public:
    // `folder` holds the two files; empty means "halvorsgarden" in the user's configuration
    // directory ($XDG_CONFIG_HOME, else ~/.config), read when the object is made.
    explicit IniRegistry(std::string folder = {});
    ~IniRegistry() override;
    IniRegistry(const IniRegistry&) = delete;
    IniRegistry& operator=(const IniRegistry&) = delete;

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
    bool flush() override;

    // The folder the files live in.
    const std::string& folder() const { return m_folder; }
    static std::string defaultFolder();

private:
    struct Impl;
    std::string m_folder;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tw
