#pragma once

#include <string>

#include "cli/clipboard/ClipboardApi.h"

namespace tw::cli {

// The clipboard module, loaded once from the folder of the running program (where the build
// and the installed package both put it) and kept for the life of the process. nullptr when it
// is missing or does not fit this tmpro; `*error` then says why, naming the file.
const TwClipboardModule* loadClipboardModule(std::string* error);

// Looks for the module in `folder` instead (tests, whose programs live elsewhere).
void setClipboardModuleFolder(std::string folder);

}  // namespace tw::cli
