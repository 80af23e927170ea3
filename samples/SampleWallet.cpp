// Writes the sample wallet "My Sample Wallet.tm5" (password "tallowmere") at the path given.
// Run by the build; the same bytes come out every time.
#include "model/SampleWallet.h"

#include <iostream>

#include "cli/FallbackTexts.h"
#include "platform/PosixFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sample_wallet PATH\n";
        return 2;
    }
    tw::PosixFileSystem files;
    tw::FixedClock clock{tw::SystemTime{2025, 3, 5, 14, 9, 30, 0, 0}};
    tw::SequenceRandom random{2006};
    tw::StringTable strings;
    tw::cli::loadFallbackTexts(strings);
    tw::ScriptedPrompt prompt;
    tw::HostSystem system;
    tw::Env env{files, clock, random, strings, prompt, system};
    files.remove(argv[1]);
    if (!tw::buildSampleWallet(env, argv[1])) {
        std::cerr << "make_sample_wallet: " << argv[1] << " could not be written\n";
        return 1;
    }
    return 0;
}
