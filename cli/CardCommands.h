#pragma once

#include <memory>
#include <vector>

#include "cli/Command.h"

namespace tw::cli {

// The commands on cards and the wallet's lists: show, add, edit (cli/CardCommands.cpp) and
// cp, fav, find, passwd, hint (cli/WalletCommands.cpp).
void addCardCommands(std::vector<std::unique_ptr<Command>>& commands);
void addWalletCommands(std::vector<std::unique_ptr<Command>>& commands);

}  // namespace tw::cli
