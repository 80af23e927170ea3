#pragma once

#include <memory>
#include <string>

#include "platform/Env.h"
#include "platform/MemoryFile.h"

namespace tw::test {

// Every platform service as a test double, bundled: files in memory (with fault injection),
// a fixed clock, a repeatable random source, a small string table, scripted prompts.
struct TestEnv {
    MemoryFileSystem files;
    FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    SequenceRandom random{12345};
    StringTable strings;
    ScriptedPrompt prompt;
    FakeSystem system;
    Env env{files, clock, random, strings, prompt, system};

    TestEnv();
    // Advances the clock by one second (enough to tell change times apart).
    void tick();
};

// The path and password of the wallet most tests use.
inline const std::string kWalletPath = "/wallets/test.tm5";
inline const std::u16string kPassword = u"correct horse";

}  // namespace tw::test
