// Feeds arbitrary bytes to the re-encipher pass, as the format upgrade and as a password change
// run it, as the records of a wallet, and checks that a finished pass keeps every byte's place.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/MemoryFile.h"
#include "platform/System.h"
#include "storage/ReencryptPass.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The pass of the format upgrade, then the one of a password change.
    for (const bool passwordChange : {false, true}) {
        auto inBytes = std::make_shared<std::vector<std::uint8_t>>(data, data + size);
        auto outBytes = std::make_shared<std::vector<std::uint8_t>>();
        const std::unique_ptr<tw::File> in = tw::makeMemoryFile(inBytes, false);
        const std::unique_ptr<tw::File> out = tw::makeMemoryFile(outBytes);
        std::uint8_t a[16] = {1, 2, 3}, b[16] = {4, 5, 6};
        tw::KeyRecord oldKey, newKey;
        oldKey.set(a);
        newKey.set(b);
        tw::FakeSystem system;
        tw::ReencryptContext context{*in, *out, oldKey, newKey, system, tw::SystemTime{}, nullptr, {}, passwordChange};
        const tw::ReencryptResult r = tw::reencryptPass(context);
        if (*inBytes != std::vector<std::uint8_t>(data, data + size)) __builtin_trap();
        // Headers may lose icon data that their icon index does not claim; nothing else changes size.
        if (r == tw::ReencryptResult::Done && outBytes->size() > inBytes->size()) __builtin_trap();
    }
    return 0;
}
