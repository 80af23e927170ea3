#pragma once

#include <string>

#include "platform/Registry.h"

namespace tw::app {

// File classes and descriptions registered under HKEY_CLASSES_ROOT.
inline constexpr char16_t kWalletClass[] = u"TallowmereProDocument";
inline constexpr char16_t kFormLayoutClass[] = u"TallowmereProForm";

// Registers the wallet (".tm5") and form-layout (".tmx") file types for the program at
// `programPath`: for each type the extension's class, the class's description, its icon
// ("<path>,-201" and "<path>,-203") and its open command ("\"<path>\" %1"). Existing values it
// owns are overwritten, nothing else is touched; a type whose key cannot be made, or whose texts
// would not fit (127 units for key names, 511 for values), is skipped. Failures are silent.
void registerFileTypes(Registry& registry, const std::u16string& programPath);

}  // namespace tw::app
