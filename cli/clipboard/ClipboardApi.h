#pragma once

// The interface of libtmpro-clip.so, the clipboard module that `tmpro clip` loads when it runs,
// so that tmpro itself links no Qt library. The module holds the only Qt code of tmpro.
// The secret passes from tmpro to the module in memory only, never through arguments or the
// environment of another process.

#include <csignal>
#include <cstddef>
#include <cstdint>

extern "C" {

// One secret to hold on the clipboard.
struct TwClipboardRequest {
    const char* text;  // UTF-8; read before `copied` is called, after which the caller may wipe it
    std::size_t size;
    int seconds;  // the clipboard is cleared after this long
    // Called once the clipboard holds the text.
    void (*copied)(void* context);
    void* context;
    // Set (by a signal handler) to end the wait early.
    const volatile std::sig_atomic_t* interrupted;
};

struct TwClipboardModule {
    std::uint32_t version;  // kTwClipboardVersion of the module
    // Nonzero when a clipboard can be reached: a Qt Gui application runs in the process, or a
    // display is named in the environment.
    int (*displayAvailable)();
    // Puts the text on the clipboard, marked as a secret, and waits until the time is up, the
    // wait is interrupted or something else was copied; then clears the clipboard if it still
    // holds the text. Returns 0.
    int (*holdSecret)(const TwClipboardRequest* request);
};

// The module's one export.
const TwClipboardModule* tw_clipboard_module();
}

inline constexpr std::uint32_t kTwClipboardVersion = 1;
inline constexpr const char* kTwClipboardEntry = "tw_clipboard_module";
inline constexpr const char* kTwClipboardFile = "libtmpro-clip.so";
