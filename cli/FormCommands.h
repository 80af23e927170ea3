#pragma once

#include <memory>
#include <vector>

#include "cli/Command.h"

namespace tw::cli {

// forms, export-form, import-form and import: the commands that move forms and cards between a
// wallet and outside files.
void addFormCommands(std::vector<std::unique_ptr<Command>>& commands);

}  // namespace tw::cli
