// Speed of the record store on generated wallets of 100 to 5000 cards, in memory (so the numbers
// show the store's own work, not the disk): reading every header, saving one changed card (which
// rewrites the file beside itself), finding a text, and deciphering every card.
#include <benchmark/benchmark.h>

#include "model/Card.h"
#include "model/DisplayText.h"
#include "model/Search.h"
#include "platform/MemoryFile.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

const std::string kPath = "/bench/wallet.tm5";
const std::u16string kPassword = u"benchmark password";

struct BenchEnv {
    MemoryFileSystem files;
    FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    SequenceRandom random{99};
    StringTable strings;
    ScriptedPrompt prompt;
    FakeSystem system;
    Env env{files, clock, random, strings, prompt, system};
};

// A wallet of `cards` cards of eight fields each, spread over 20 folders.
void buildWallet(BenchEnv& b, int cards) {
    b.strings.set(20204, u"Yes");
    createWallet(b.env, kPath, kPassword, std::nullopt, true);
    WalletFile w(b.env);
    w.readAll(kPath, kPassword, false);
    std::vector<RecordId> folders;
    for (int i = 0; i < 20; ++i) {
        RecordHeader h = w.newFolder(RecordId{}, false);
        h.putName(u"Folder " + std::u16string(1, static_cast<char16_t>(u'A' + i)), w.recordKey());
        w.appendFolder(h);
        folders.push_back(h.id());
    }
    for (int i = 0; i < cards; ++i) {
        std::unique_ptr<Card> card = w.newCard(folders[static_cast<std::size_t>(i % 20)]);
        card->header()->putName(u"Card number " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)),
                                w.recordKey());
        for (int f = 0; f < 8; ++f) {
            Field* field = card->newField(f == 3 ? 7 : 1, b.strings);
            field->setName(u"Field name " + std::u16string(1, static_cast<char16_t>(u'0' + f)));
            field->setValue(u"Some value of moderate length for field " +
                            std::u16string(1, static_cast<char16_t>(u'0' + f)));
        }
        w.appendCard(*card);
    }
    w.close();
}

void BM_ReadAllRecords(benchmark::State& state) {
    BenchEnv b;
    buildWallet(b, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        WalletFile w(b.env);
        benchmark::DoNotOptimize(w.readAll(kPath, kPassword, true));
    }
    state.counters["file_bytes"] = static_cast<double>(b.files.bytes(kPath).size());
}
BENCHMARK(BM_ReadAllRecords)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_SaveChangedCard(benchmark::State& state) {
    BenchEnv b;
    buildWallet(b, static_cast<int>(state.range(0)));
    WalletFile w(b.env);
    w.readAll(kPath, kPassword, false);
    const RecordId id = w.index().at(30).id();
    int round = 0;
    for (auto _ : state) {
        std::unique_ptr<Card> card = w.loadCard(id);
        card->field(0).setValue(u"changed " + std::u16string(1, static_cast<char16_t>(u'a' + round++ % 26)));
        benchmark::DoNotOptimize(w.saveCard(*card));
    }
}
BENCHMARK(BM_SaveChangedCard)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_LoadLastCard(benchmark::State& state) {
    BenchEnv b;
    buildWallet(b, static_cast<int>(state.range(0)));
    WalletFile w(b.env);
    w.readAll(kPath, kPassword, true);
    const RecordId id = w.index().at(w.index().count() - 1).id();
    for (auto _ : state) benchmark::DoNotOptimize(w.loadCard(id));
}
BENCHMARK(BM_LoadLastCard)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

void BM_SearchNoMatch(benchmark::State& state) {
    BenchEnv b;
    buildWallet(b, static_cast<int>(state.range(0)));
    WalletFile w(b.env);
    w.readAll(kPath, kPassword, true);
    const LocalePatterns locale{u"M/d/yyyy", u"h:mm:ss tt", u":"};
    for (auto _ : state) benchmark::DoNotOptimize(searchCards(w, u"no such text", locale));
}
BENCHMARK(BM_SearchNoMatch)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tw
