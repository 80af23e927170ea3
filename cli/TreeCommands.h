#pragma once

#include <memory>
#include <vector>

#include "cli/Command.h"

namespace tw::cli {

// The commands that show the folder tree and write cards out: tree, ls, export, card-text.
void addTreeCommands(std::vector<std::unique_ptr<Command>>& commands);

}  // namespace tw::cli
