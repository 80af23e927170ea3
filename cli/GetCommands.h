#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace tw {
class Card;
}

namespace tw::cli {

class Session;

// One field of a card by name, #N, or "Note" for the note; without a name (`field` empty) the
// card's first password field. 0 with the field's text as shown (line ends as LF, passwords in
// clear) in `text`, or the exit code after saying why not. The caller wipes `text`.
int fieldText(Session& session, const Card& card, const std::string& field, std::string& text);

// The commands that take one value out of a card: get (cli/GetCommands.cpp), clip
// (cli/ClipCommand.cpp), and attach, detach, extract (cli/AttachmentCommands.cpp).
void addGetCommands(std::vector<std::unique_ptr<Command>>& commands);
void addAttachmentCommands(std::vector<std::unique_ptr<Command>>& commands);
std::unique_ptr<Command> makeClipCommand();

}  // namespace tw::cli
