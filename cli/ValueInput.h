#pragma once

#include <string>
#include <vector>

#include "cli/Command.h"

namespace tw {
class Card;
}

namespace tw::cli {

class Session;

// The options that give a card's values, shared by add and edit: --set, --set-prompt,
// --set-file, --generate with --characters and --exclude-lookalikes, and --note.
std::vector<Option> valueOptions();

// True when a --set-file reads standard input ("-"): passwords must then come from elsewhere.
bool valuesReadStandardInput(const Args& args);

// Applies the value options to `card`, in the order --set, --set-file, --set-prompt, --generate,
// --note. 0, or the exit code after saying why not (the card may then be half changed: the caller
// does not save it).
int applyValues(Session& session, Card& card, const Args& args, Context& context);

}  // namespace tw::cli
