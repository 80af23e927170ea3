#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The two registry hives the program and its setup extension use.
enum class RegistryRoot { CurrentUser, ClassesRoot };

// Value types, with the device's numeric type codes.
enum class RegistryType : std::uint32_t {
    None = 0,
    String = 1,  // REG_SZ: UTF-16 text
    Binary = 3,  // REG_BINARY: bytes
    Dword = 4,   // REG_DWORD: 32-bit number
};

// One typed value. Only the member that matches `type` is meaningful.
struct RegistryValue {
    RegistryType type = RegistryType::None;
    std::uint32_t dword = 0;
    std::u16string text;
    std::vector<std::uint8_t> bytes;

    static RegistryValue ofDword(std::uint32_t v) { return {RegistryType::Dword, v, {}, {}}; }
    static RegistryValue ofString(std::u16string v) { return {RegistryType::String, 0, std::move(v), {}}; }
    static RegistryValue ofBinary(std::vector<std::uint8_t> v) { return {RegistryType::Binary, 0, {}, std::move(v)}; }
    bool operator==(const RegistryValue&) const = default;
};

// Limits every implementation enforces, so a value written to one reads back from another.
inline constexpr std::size_t kRegistryMaxKeyName = 255;  // one component of a key path
inline constexpr std::size_t kRegistryMaxPath = 1024;    // a whole key path
inline constexpr std::size_t kRegistryMaxValueName = 16383;
inline constexpr std::size_t kRegistryMaxData = 1u << 20;  // text units or bytes of one value

// A per-user registry: keys named by backslash-separated paths under a root
// ("SOFTWARE\Maker\Program"), each holding sub-keys and named, typed values; the key's default
// value has the empty name. Key and value names compare without regard to case and keep the
// spelling they were created with. Enumerations come back sorted without regard to case.
//
// Every failure is silent: a call that cannot do its work returns false (or an empty result) and
// leaves the registry as it was; nothing throws. A path is invalid when it has an empty component
// (leading, trailing or doubled backslashes) or exceeds the limits above; the empty path names the
// root itself, which always exists and cannot be deleted.
class Registry {
public:
    virtual ~Registry() = default;

    // Creates the key and any missing keys above it; true when it exists afterwards.
    // `*created` (optional) tells whether the key itself was new.
    virtual bool createKey(RegistryRoot root, std::u16string_view path, bool* created = nullptr) = 0;
    // True when the key exists (the device's "open key" without keeping a handle).
    virtual bool openKey(RegistryRoot root, std::u16string_view path) = 0;
    // Deletes the key with all its sub-keys and values; false when it did not exist.
    virtual bool deleteKey(RegistryRoot root, std::u16string_view path) = 0;
    // Names of the key's direct sub-keys; empty when the key does not exist.
    virtual std::vector<std::u16string> subKeys(RegistryRoot root, std::u16string_view path) = 0;
    // Names of the key's values (the default value as ""); empty when the key does not exist.
    virtual std::vector<std::u16string> valueNames(RegistryRoot root, std::u16string_view path) = 0;

    // Reads a value; nullopt when the key or the value is missing or unreadable.
    virtual std::optional<RegistryValue> readValue(RegistryRoot root, std::u16string_view path,
                                                   std::u16string_view name) = 0;
    // Writes a value into an existing key (create the key first); replaces a value of the same
    // name whatever its type. A value of type None is refused.
    virtual bool writeValue(RegistryRoot root, std::u16string_view path, std::u16string_view name,
                            const RegistryValue& value) = 0;
    // Deletes one value; false when it did not exist.
    virtual bool deleteValue(RegistryRoot root, std::u16string_view path, std::u16string_view name) = 0;
    // Pushes pending changes to storage.
    virtual bool flush() = 0;

    // Typed conveniences. A read of a value of another type fails.
    std::optional<std::uint32_t> readDword(RegistryRoot root, std::u16string_view path, std::u16string_view name);
    std::optional<std::u16string> readString(RegistryRoot root, std::u16string_view path, std::u16string_view name);
    std::optional<std::vector<std::uint8_t>> readBinary(RegistryRoot root, std::u16string_view path,
                                                        std::u16string_view name);
    bool writeDword(RegistryRoot root, std::u16string_view path, std::u16string_view name, std::uint32_t value);
    bool writeString(RegistryRoot root, std::u16string_view path, std::u16string_view name, std::u16string value);
    bool writeBinary(RegistryRoot root, std::u16string_view path, std::u16string_view name,
                     std::vector<std::uint8_t> value);
};

// Splits a key path into its components; nullopt when the path is invalid (see Registry).
std::optional<std::vector<std::u16string>> splitRegistryPath(std::u16string_view path);
// True when a value name and value respect the limits and the value has a type.
bool isStorableRegistryValue(std::u16string_view name, const RegistryValue& value);

}  // namespace tw
