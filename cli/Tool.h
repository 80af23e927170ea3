#pragma once

#include <iosfwd>

namespace tw::cli {

// Runs the tmpro tool with its arguments; streams are injected so tests can capture them.
// Returns the process exit code.
int runTool(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace tw::cli

namespace tw {
class StringTable;
}

namespace tw::cli {

// Makes `strings` load the user's language file for the tool's texts (wallet names at creation,
// messages of the repair scan and the import) when the first text is asked for. `programPath`
// is argv[0].
void loadStrings(StringTable& strings, const char* programPath);

}  // namespace tw::cli
