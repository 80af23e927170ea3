#pragma once

#include <iosfwd>

namespace tw::cli {

// Runs the tmpro tool with its arguments; streams are injected so tests can capture them.
// Returns the process exit code.
int runTool(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace tw::cli
