#pragma once

#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Prompt.h"
#include "platform/Random.h"
#include "platform/StringTable.h"
#include "platform/System.h"

namespace tw {

// The platform services the core uses, handed in by whoever builds the core's objects (the
// program, the command-line tool, a test). The Env does not own them; they outlive it.
struct Env {
    FileSystem& files;
    Clock& clock;
    Random& random;
    StringTable& strings;
    Prompt& prompt;
    System& system;
};

}  // namespace tw
