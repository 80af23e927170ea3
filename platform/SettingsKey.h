#pragma once

namespace tw {

// The program's settings key under HKEY_CURRENT_USER, shared with the setup extension.
inline constexpr char16_t kSettingsKey[] = u"SOFTWARE\\Halvorsgarden\\Tallowmere Pro 5";
// DWORD: language id of the preferred language file; 0 = none. Written by the setup extension.
inline constexpr char16_t kLangPrefValue[] = u"LangPref";

}  // namespace tw
