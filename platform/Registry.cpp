#include "platform/Registry.h"

namespace tw {

std::optional<std::vector<std::u16string>> splitRegistryPath(std::u16string_view path) {
    std::vector<std::u16string> parts;
    if (path.empty()) return parts;
    if (path.size() > kRegistryMaxPath) return std::nullopt;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find(u'\\', start);
        const std::u16string_view part = path.substr(start, end == std::u16string_view::npos ? end : end - start);
        if (part.empty() || part.size() > kRegistryMaxKeyName) return std::nullopt;
        parts.emplace_back(part);
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    return parts;
}

bool isStorableRegistryValue(std::u16string_view name, const RegistryValue& value) {
    if (name.size() > kRegistryMaxValueName) return false;
    switch (value.type) {
        case RegistryType::Dword:
            return true;
        case RegistryType::String:
            return value.text.size() <= kRegistryMaxData;
        case RegistryType::Binary:
            return value.bytes.size() <= kRegistryMaxData;
        case RegistryType::None:
            break;
    }
    return false;
}

std::optional<std::uint32_t> Registry::readDword(RegistryRoot root, std::u16string_view path,
                                                 std::u16string_view name) {
    const auto v = readValue(root, path, name);
    if (!v || v->type != RegistryType::Dword) return std::nullopt;
    return v->dword;
}

std::optional<std::u16string> Registry::readString(RegistryRoot root, std::u16string_view path,
                                                   std::u16string_view name) {
    auto v = readValue(root, path, name);
    if (!v || v->type != RegistryType::String) return std::nullopt;
    return std::move(v->text);
}

std::optional<std::vector<std::uint8_t>> Registry::readBinary(RegistryRoot root, std::u16string_view path,
                                                              std::u16string_view name) {
    auto v = readValue(root, path, name);
    if (!v || v->type != RegistryType::Binary) return std::nullopt;
    return std::move(v->bytes);
}

bool Registry::writeDword(RegistryRoot root, std::u16string_view path, std::u16string_view name, std::uint32_t value) {
    return writeValue(root, path, name, RegistryValue::ofDword(value));
}

bool Registry::writeString(RegistryRoot root, std::u16string_view path, std::u16string_view name,
                           std::u16string value) {
    return writeValue(root, path, name, RegistryValue::ofString(std::move(value)));
}

bool Registry::writeBinary(RegistryRoot root, std::u16string_view path, std::u16string_view name,
                           std::vector<std::uint8_t> value) {
    return writeValue(root, path, name, RegistryValue::ofBinary(std::move(value)));
}

}  // namespace tw
