#pragma once

#include "cli/Command.h"

namespace tw::cli {

// Prints the command's help on the error stream and returns kUsage.
int usageError(Context& context, const Command& command);

#define TW_COMMAND(Class, Name, Summary)                              \
    class Class final : public Command {                              \
    public:                                                           \
        std::string_view name() const override { return Name; }       \
        std::string_view summary() const override { return Summary; } \
        std::string_view help() const override;                       \
        Syntax syntax() const override;                               \
        int run(const Args& args, Context& context) override;         \
    };

TW_COMMAND(CreateCommand, "create", "create a new wallet")
TW_COMMAND(InfoCommand, "info", "version, counts, closing time, hint and special entries")
TW_COMMAND(MkdirCommand, "mkdir", "create a folder")
TW_COMMAND(RenameCommand, "rename", "rename a card or folder")
TW_COMMAND(MoveCommand, "mv", "move a card or folder into another folder")
TW_COMMAND(RemoveCommand, "rm", "delete a card or folder")
TW_COMMAND(RepairCommand, "repair", "repair a damaged wallet")

#undef TW_COMMAND

}  // namespace tw::cli
