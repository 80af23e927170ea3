#include "app/FileTypes.h"

#include <string_view>

#include "platform/Text.h"

namespace tw::app {

namespace {

constexpr RegistryRoot kRoot = RegistryRoot::ClassesRoot;
constexpr std::size_t kMaxKeyName = 127;
constexpr std::size_t kMaxValue = 511;

void registerType(Registry& registry, std::u16string_view extension, std::u16string_view fileClass,
                  std::u16string_view description, int icon, const std::u16string& programPath) {
    const std::u16string iconKey = format(u"%s\\DefaultIcon", {fileClass});
    const std::u16string commandKey = format(u"%s\\Shell\\Open\\Command", {fileClass});
    const std::u16string iconValue = format(u"%s,-%d", {programPath, std::int64_t{icon}});
    const std::u16string command = format(u"%s %%1", {format(u"\"%s\"", {programPath})});
    if (iconKey.size() > kMaxKeyName || commandKey.size() > kMaxKeyName || iconValue.size() > kMaxValue ||
        command.size() > kMaxValue)
        return;
    const std::pair<std::u16string_view, std::u16string_view> entries[] = {
        {extension, fileClass}, {fileClass, description}, {iconKey, iconValue}, {commandKey, command}};
    for (const auto& [key, value] : entries) {
        if (!registry.createKey(kRoot, key)) return;
        registry.writeString(kRoot, key, u"", std::u16string(value));
    }
}

}  // namespace

void registerFileTypes(Registry& registry, const std::u16string& programPath) {
    registerType(registry, u".tm5", kWalletClass, u"Tallowmere Pro Wallet", 201, programPath);
    registerType(registry, u".tmx", kFormLayoutClass, u"Tallowmere Pro Form Layout", 203, programPath);
}

}  // namespace tw::app
