// Feeds arbitrary bytes to the older-wallet conversion as the records of a ".wal" file whose
// header is valid for a fixed password, and checks the outcome and that the old file is unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Clock.h"
#include "platform/MemoryFile.h"
#include "platform/Prompt.h"
#include "platform/Random.h"
#include "platform/StringTable.h"
#include "platform/System.h"
#include "storage/Bytes.h"
#include "storage/OldWallet.h"
#include "storage/Rc4.h"
#include "storage/WalletConversion.h"

namespace {

std::vector<std::uint8_t> header() {
    static const char kSignature[] = "Halvorsgarden\xAE Tallowmere\xAE File\r\nhttp://";
    std::vector<std::uint8_t> h(tw::OldWallet::kHeaderSize, 0);
    std::memcpy(h.data(), kSignature, sizeof kSignature - 1);
    tw::putU32(h.data(), 76, 0xB8161967);
    tw::putU32(h.data(), 840, 0xB1281966);
    const std::uint8_t salt[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(h.data() + 752, salt, 8);
    tw::Key16 digest;
    const tw::Key16 key = tw::oldWalletKey(salt, "fuzz", &digest);
    tw::Rc4State state;
    tw::rc4Schedule(state, key.data());
    tw::rc4Process(state, h.data() + 816, digest.data(), 16);
    return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::uint8_t> kHeader = header();
    std::vector<std::uint8_t> file = kHeader;
    file.insert(file.end(), data, data + size);

    tw::MemoryFileSystem files;
    files.setBytes("/w/old.wal", file);
    tw::FixedClock clock(tw::SystemTime{2026, 1, 4, 1, 12, 0, 0, 0});
    tw::SequenceRandom random(7);
    tw::StringTable strings;
    tw::ScriptedPrompt prompt;
    tw::FakeSystem system;
    tw::Env env{files, clock, random, strings, prompt, system};
    std::string newPath;
    const tw::ConvertResult r = tw::convertOldWallet(env, "/w/old.wal", u"fuzz", {}, &newPath);
    if (r != tw::ConvertResult::Ok && r != tw::ConvertResult::NoFolder && r != tw::ConvertResult::ReadFailed)
        __builtin_trap();
    if (files.exists("/w/old.tm5") != (r == tw::ConvertResult::Ok)) __builtin_trap();
    if (files.exists("/w/old.tm5.~conv")) __builtin_trap();
    if (files.bytes("/w/old.wal") != file) __builtin_trap();
    return 0;
}
