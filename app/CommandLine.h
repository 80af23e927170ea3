#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tw::app {

// What the program was started with.
struct CommandLineState {
    bool syncStart = false;   // the argument ends in "SYNC_START"
    bool syncEnd = false;     // the argument ends in "SYNC_END"
    bool formLayout = false;  // the argument names a form-layout file (".tmx")
    // The wallet to open: the argument as passed (no quotes removed, nothing resolved); empty
    // when it was a sync flag, names no existing file, or is longer than kMaxPath units.
    std::string argument;
};

// Reads the command-line argument. A ".tmx" argument (longer than 4 characters) is kept with
// formLayout set, without testing that it exists; "SYNC_START" and "SYNC_END" endings (any case)
// set their flag and empty the argument; otherwise the argument is kept when `exists` says the
// file is there. An argument longer than the path limit is dropped whole.
CommandLineState parseCommandLine(std::string_view argument, const std::function<bool(const std::string&)>& exists);

// The wallet start-up opens first: the one named on the command line (not a form-layout file),
// else the last wallet when "OpenLast" is on and it exists; nullopt when there is none, and the
// program asks for one. A named wallet that fails to open is not followed by the last one.
std::optional<std::string> firstWallet(const CommandLineState& command, const std::u16string& lastWallet, bool openLast,
                                       const std::function<bool(const std::string&)>& exists);

}  // namespace tw::app
