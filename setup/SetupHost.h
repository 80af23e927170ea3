#pragma once

// The installer's side of the setup extension. On the device the installer hands its window to
// each export; here the installer driver hands a TwSetupHost in its place, through which the
// extension asks its questions and learns about the system. Plain C, so the library and the
// driver share no C++ objects.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Message box styles and answers, with the device's values.
enum {
    TW_MB_OK = 0x0,
    TW_MB_OKCANCEL = 0x1,
    TW_MB_YESNO = 0x4,
    TW_MB_ICONERROR = 0x10,
    TW_MB_ICONQUESTION = 0x20,
    TW_MB_ICONINFORMATION = 0x40,
};
enum { TW_IDOK = 1, TW_IDCANCEL = 2, TW_IDYES = 6, TW_IDNO = 7 };

struct TwSetupHost {
    uint32_t size;  // sizeof(struct TwSetupHost)
    void* context;  // handed back to every callback

    // Shows a message (UTF-8 text and caption) with a style of TW_MB_*; returns TW_ID*.
    int (*message)(void* context, const char* text, const char* caption, uint32_t style);
    // Lets the user pick one language of `count` (ids and UTF-8 names), `preselected` being an
    // index; returns the chosen index.
    uint32_t (*chooseLanguage)(void* context, const uint32_t* ids, const char* const* names, uint32_t count,
                               uint32_t preselected);
    // The operating system's version; 0 when it cannot be told.
    int (*systemVersion)(void* context, uint32_t* major, uint32_t* minor);

    const char* platformType;     // "PocketPC" or "SmartPhone"
    const char* documentsFolder;  // the user's documents folder
    const char* registryFolder;   // where the registry emulation keeps its files; "" for its default
    const char* runtimeFolder;    // where the running program's lock and socket are; "" for none
    uint32_t uiLanguage;          // the user-interface language id
    uint32_t closeTimeoutMs;      // how long removal waits for the running program to end
};

// The four exports, in the order the installer calls them around its own work. `host` stands for
// the installer's window; install folders are UTF-8 paths. 0 continues; Install_Init returns 1
// to cancel the installation.
typedef int (*TwInstallInit)(struct TwSetupHost* host, int firstCall, int previouslyInstalled,
                             const char* installFolder);
typedef int (*TwInstallExit)(struct TwSetupHost* host, const char* installFolder, uint16_t failedFolders,
                             uint16_t failedFiles, uint16_t failedKeys, uint16_t failedValues,
                             uint16_t failedShortcuts);
typedef int (*TwUninstallInit)(struct TwSetupHost* host, const char* installFolder);
typedef int (*TwUninstallExit)(struct TwSetupHost* host);

#ifdef __cplusplus
}
#endif
