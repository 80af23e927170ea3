#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Launcher.h"
#include "platform/Registry.h"

namespace tw {

// Opens web addresses in the browser registered for "http" in the emulated registry
// (HKEY_CLASSES_ROOT "http\Shell\Open\Command"), or with the desktop's default opener when no
// browser is registered there. The registered command is looked up once and kept.
class WebBrowser {
public:
    WebBrowser(Registry& registry, Launcher& launcher) : m_registry(registry), m_launcher(launcher) {}
    bool open(std::u16string_view address);

private:
    Registry& m_registry;
    Launcher& m_launcher;
    std::optional<std::u16string> m_command;  // the cut command; empty when none is registered
};

// Splits a command line into words: spaces separate, double quotes group.
std::vector<std::string> splitCommandLine(std::string_view command);

}  // namespace tw
