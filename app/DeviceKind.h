#pragma once

#include <functional>
#include <string_view>

namespace tw::app {

// The two kinds of device the program's windows are laid out for: a touch screen with a keypad
// for passwords (Pocket PC), or keys only with soft keys at the bottom (Smartphone).
enum class DeviceKind { PocketPC, Smartphone };

// The environment variable that names the device kind; "Smartphone" (any case) selects it, and
// anything else, or nothing, is a Pocket PC.
inline constexpr char kDeviceVariable[] = "TALLOWMERE_DEVICE";

// The device kind for a platform type text: "Pocket PC" and "PocketPC" (any case) are Pocket PCs,
// "Smartphone" is a Smartphone, and any other text counts as a Pocket PC.
DeviceKind deviceKindFromPlatformType(std::string_view platformType);

using Getenv = std::function<const char*(const char*)>;
// The device kind from kDeviceVariable; `getenv` is injectable for tests (null: the process's).
DeviceKind detectDeviceKind(const Getenv& getenv = nullptr);

inline bool isSmartphone(DeviceKind kind) {
    return kind == DeviceKind::Smartphone;
}

}  // namespace tw::app
