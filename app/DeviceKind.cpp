#include "app/DeviceKind.h"

#include <cctype>
#include <cstdlib>

namespace tw::app {

namespace {

bool equalAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

DeviceKind deviceKindFromPlatformType(std::string_view type) {
    if (equalAscii(type, "Pocket PC") || equalAscii(type, "PocketPC")) return DeviceKind::PocketPC;
    return equalAscii(type, "Smartphone") ? DeviceKind::Smartphone : DeviceKind::PocketPC;
}

DeviceKind detectDeviceKind(const Getenv& getenv) {
    const char* value = getenv ? getenv(kDeviceVariable) : std::getenv(kDeviceVariable);
    return deviceKindFromPlatformType(value ? std::string_view(value) : std::string_view());
}

}  // namespace tw::app
