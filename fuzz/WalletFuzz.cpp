// Feeds arbitrary bytes to the record store as a whole wallet file: read with a fixed password,
// then opened with the repair offer accepted, then every card loaded. The seeds in
// fuzz/corpus/WalletFuzz are wallets made with that password.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/Card.h"
#include "platform/Env.h"
#include "platform/MemoryFile.h"
#include "storage/WalletFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string kPath = "/fuzz/wallet.tm5";
    tw::MemoryFileSystem files;
    files.setBytes(kPath, std::vector<std::uint8_t>(data, data + size));
    tw::FixedClock clock{tw::SystemTime{2026, 1, 4, 15, 12, 0, 0, 0}};
    tw::SequenceRandom random{1};
    tw::StringTable strings;
    tw::ScriptedPrompt prompt;  // answers every question with Yes
    tw::FakeSystem system;
    tw::Env env{files, clock, random, strings, prompt, system};

    tw::WalletFile wallet(env);
    (void)wallet.readAll(kPath, u"fuzz", true);
    wallet.close();
    if (wallet.openWithRepair(kPath, u"fuzz", false) != tw::OpenResult::Ok) return 0;
    const tw::WalletIndex& index = wallet.index();
    for (std::size_t i = 0; i < index.count(); ++i) {
        const tw::IndexEntry& h = index.at(i);
        (void)wallet.nameOf(i);
        // The whole header, read again at the entry's offset, must be the entry's record.
        if (!h.deleted()) {
            const tw::RecordHeader whole = wallet.headerAt(i);
            if (whole.loaded && whole.id() != h.id()) __builtin_trap();
        }
        if (h.type() != tw::RecordType::Card || h.deleted()) continue;
        std::unique_ptr<tw::Card> card = wallet.loadCard(h.id());
        if (card && card->fieldCount() > tw::Card::kMaxFields) __builtin_trap();
    }
    wallet.close();
    return 0;
}
