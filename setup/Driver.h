#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "setup/SetupHost.h"

namespace tw::setup {

// The installer driver: it stands in for the device's installer for one user. It loads the setup
// extension, and calls its exports in order around its own per-user steps:
//
//   install:    Install_Init, (the package's "Clean" when asked for), the samples copied into
//               "<documents>/Tallowmere Samples" without replacing any file, Install_Exit (which
//               names them in the chosen language); files of the samples' names that the user
//               had are kept aside meanwhile, so they are neither renamed nor deleted
//   uninstall:  ("Clean" when asked for), Uninstall_Init (which closes the running program),
//               Uninstall_Exit
//
// The package manager owns the installed files: the driver never deletes one of them.
struct DriverOptions {
    std::string library;        // the extension's shared library
    std::string installFolder;  // where the language files are
    std::string samplesFolder;  // the package's samples ("My Sample Wallet.tm5", ...)
    bool clean = false;         // set "Clean" = 1: settings are removed without asking
    TwSetupHost host{};         // the user's side: questions, folders, version check
};

enum class DriverResult {
    Done = 0,
    Cancelled = 1,  // Install_Init cancelled the installation
    NoLibrary = 2,  // the library or one of its exports could not be loaded
};

DriverResult runInstall(const DriverOptions& options);
DriverResult runUninstall(const DriverOptions& options);

// The installed names of the samples and the package files they are copied from.
struct SampleFile {
    const char* installedName;
    const char* packageName;
};
const std::vector<SampleFile>& sampleFiles();

}  // namespace tw::setup
