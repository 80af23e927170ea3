// Writes a generated wallet for the whole-process benchmark (tools/bench.sh):
//
//   MakeWallet OUT.tm5 CARDS [PASSWORD]
//
// CARDS cards spread over 20 folders, each with six text fields and a 200-character note. The
// value "needle-4711" appears in one field value of the middle card only, so a find for it
// matches exactly one card. The records are written straight after each other in memory and
// the whole file is written once, so even 100 000 cards take seconds.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "model/Card.h"
#include "model/CardNote.h"
#include "platform/MemoryFile.h"
#include "platform/Random.h"
#include "platform/System.h"
#include "platform/Text.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"

namespace {

std::u16string number(long n) {
    return tw::fromUtf8(std::to_string(n));
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tw;
    if (argc < 3) {
        std::cerr << "usage: MakeWallet OUT.tm5 CARDS [PASSWORD]\n";
        return 2;
    }
    const std::string out = argv[1];
    const long cards = std::strtol(argv[2], nullptr, 10);
    const std::u16string password = fromUtf8(argc > 3 ? argv[3] : "benchmark");
    if (cards < 1) return 2;

    const std::string path = "/bench/wallet.tm5";
    MemoryFileSystem files;
    SystemClock clock;
    SequenceRandom random{4711};
    StringTable strings;
    strings.set(Field::kYesWordId, u"Yes");
    strings.set(Field::kNoWordId, u"No");
    strings.set(kNoteNameId, u"Note");
    ScriptedPrompt prompt;
    FakeSystem system;
    Env env{files, clock, random, strings, prompt, system};
    createWallet(env, path, password, std::nullopt, true);

    WalletFile w(env);
    if (w.open(path, password, false) != OpenResult::Ok) {
        std::cerr << "MakeWallet: the new wallet does not open\n";
        return 1;
    }
    std::vector<std::uint8_t> bytes = files.bytes(path);
    auto mem = std::make_shared<std::vector<std::uint8_t>>(std::move(bytes));
    std::unique_ptr<File> file = makeMemoryFile(mem);
    file->seek(0, SeekFrom::End);
    const SystemTime t = clock.localTime();

    std::vector<RecordId> folders;
    for (int i = 0; i < 20; ++i) {
        RecordHeader h = w.newFolder(RecordId{}, false);
        h.putName(u"Folder " + number(i + 1), w.recordKey());
        if (writeRecord(file.get(), h, t) != FileResult::Done) return 1;
        folders.push_back(h.id());
    }
    const std::u16string filler =
        u"This note is two hundred characters long, as a typical card's note might be: it tells where the account "
        u"came from, what the security questions were and who else may know about it. End of note text here.";
    const std::u16string note = filler.substr(0, 200);
    for (long i = 0; i < cards; ++i) {
        std::unique_ptr<Card> card = w.newCard(folders[static_cast<std::size_t>(i % 20)]);
        card->header()->putName(u"Card " + number(i + 1), w.recordKey());
        const char16_t* names[6] = {u"User name", u"Password", u"Web address", u"E-mail", u"Account", u"PIN"};
        for (int f = 0; f < 6; ++f) {
            Field* field = card->newField(Field::kTextKind, strings);
            field->setName(names[f]);
            std::u16string value = u"value " + number(f) + u" of card " + number(i + 1) + u" aBcDeFgHiJ";
            if (i == cards / 2 && f == 4) value = u"needle-4711";
            field->setValue(value);
        }
        setNote(*card, note, strings);
        if (writeCard(file.get(), *card, w.recordKey(), t) != CardWriteResult::Ok) return 1;
    }
    w.close();
    std::ofstream os(out, std::ios::binary | std::ios::trunc);
    os.write(reinterpret_cast<const char*>(mem->data()), static_cast<std::streamsize>(mem->size()));
    os.close();
    if (!os) {
        std::cerr << "MakeWallet: cannot write " << out << "\n";
        return 1;
    }
    return 0;
}
