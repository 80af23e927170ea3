// What the main window waits for on a large wallet, in memory: opening it (every record header
// read), building its folder tree, and a find that fills the 48 results early or reads every
// card without a hit.
#include <benchmark/benchmark.h>

#include "model/Card.h"
#include "model/FolderTree.h"
#include "model/Search.h"
#include "platform/MemoryFile.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

const std::string kPath = "/bench/large.tm5";
const std::u16string kPassword = u"benchmark password";
const LocalePatterns kLocale{u"M/d/yyyy", u"h:mm tt", u":"};

struct Large {
    MemoryFileSystem files;
    FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    SequenceRandom random{13};
    StringTable strings;
    ScriptedPrompt prompt;
    FakeSystem system;
    Env env{files, clock, random, strings, prompt, system};
    int cards = 0;
};

// A wallet of `cards` cards of eight fields each in 50 folders (5 of them nested), built once.
Large& wallet(int cards) {
    static Large large;
    if (large.cards == cards) return large;
    large.files.remove(kPath);
    createWallet(large.env, kPath, kPassword, std::nullopt, true);
    WalletFile w(large.env);
    w.readAll(kPath, kPassword, false);
    std::vector<RecordId> folders;
    for (int i = 0; i < 50; ++i) {
        const RecordId parent = i >= 45 ? folders[static_cast<std::size_t>(i - 45)] : RecordId{};
        RecordHeader h = w.newFolder(parent, false);
        h.putName(u"Folder " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)), w.recordKey());
        w.appendFolder(h);
        folders.push_back(h.id());
    }
    for (int i = 0; i < cards; ++i) {
        std::unique_ptr<Card> card = w.newCard(folders[static_cast<std::size_t>(i % 50)]);
        card->header()->putName(u"Card " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + u" login",
                                w.recordKey());
        for (int f = 0; f < 8; ++f) {
            Field* field = card->newField(f == 3 ? 7 : 1, large.strings);
            field->setName(u"Field " + std::u16string(1, static_cast<char16_t>(u'0' + f)));
            field->setValue(u"A value of moderate length, number " +
                            std::u16string(1, static_cast<char16_t>(u'0' + f)));
        }
        w.appendCard(*card);
    }
    w.close();
    large.cards = cards;
    return large;
}

void BM_OpenWallet(benchmark::State& state) {
    Large& large = wallet(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        WalletFile w(large.env);
        benchmark::DoNotOptimize(w.readAll(kPath, kPassword, true));
    }
}
BENCHMARK(BM_OpenWallet)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_BuildTree(benchmark::State& state) {
    Large& large = wallet(static_cast<int>(state.range(0)));
    WalletFile w(large.env);
    w.readAll(kPath, kPassword, true);
    for (auto _ : state) benchmark::DoNotOptimize(FolderTree::build(w).size());
}
BENCHMARK(BM_BuildTree)->Arg(10000)->Unit(benchmark::kMillisecond);

// A name that many cards share: the find stops at 48 hits.
void BM_FindManyHits(benchmark::State& state) {
    Large& large = wallet(static_cast<int>(state.range(0)));
    WalletFile w(large.env);
    w.readAll(kPath, kPassword, true);
    for (auto _ : state) benchmark::DoNotOptimize(searchCards(w, u"card q", kLocale));
}
BENCHMARK(BM_FindManyHits)->Arg(10000)->Unit(benchmark::kMillisecond);

// No card matches: every name and every field of every card is read.
void BM_FindNothing(benchmark::State& state) {
    Large& large = wallet(static_cast<int>(state.range(0)));
    WalletFile w(large.env);
    w.readAll(kPath, kPassword, true);
    for (auto _ : state) benchmark::DoNotOptimize(searchCards(w, u"zebra crossing", kLocale));
}
BENCHMARK(BM_FindNothing)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tw
