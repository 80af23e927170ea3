// Writes a generated wallet for the whole-process benchmark (tools/bench.sh):
//
//   MakeWallet [--old | --wal] OUT CARDS [PASSWORD]
//
// CARDS cards spread over 20 folders, each with six text fields and a 200-character note. The
// value "needle-4711" appears in one field value of the middle card only, so a find for it
// matches exactly one card. The records are written straight after each other in memory and
// the whole file is written once, so even 100 000 cards take seconds.
//
// --old writes the same cards in the previous ".tm5" format, whose records are enciphered under
// a kept key that the format upgrade re-enciphers; --wal writes an older ".wal" wallet with the
// same folders and cards (e-mail account form, six values and the note) for the conversion. Both
// are made by the builders the tests use for those formats.
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
#include "support/OldWalletBuilder.h"

namespace {

std::u16string number(long n) {
    return tw::fromUtf8(std::to_string(n));
}

const char16_t* const kFieldNames[6] = {u"User name", u"Password", u"Web address", u"E-mail", u"Account", u"PIN"};

std::u16string noteText() {
    const std::u16string filler =
        u"This note is two hundred characters long, as a typical card's note might be: it tells where the account "
        u"came from, what the security questions were and who else may know about it. End of note text here.";
    return filler.substr(0, 200);
}

// The value of field `f` of card `i` (0-based) of `cards`.
std::u16string fieldValue(long i, int f, long cards) {
    if (i == cards / 2 && f == 4) return u"needle-4711";
    return u"value " + number(f) + u" of card " + number(i + 1) + u" aBcDeFgHiJ";
}

void fillCard(tw::Card& card, long i, long cards, const tw::StringTable& strings) {
    for (int f = 0; f < 6; ++f) {
        tw::Field* field = card.newField(tw::Field::kTextKind, strings);
        field->setName(kFieldNames[f]);
        field->setValue(fieldValue(i, f, cards));
    }
    tw::setNote(card, noteText(), strings);
}

std::vector<std::uint8_t> oldFormatWallet(long cards, const std::u16string& password, const tw::StringTable& strings) {
    tw::test::OldTm5Builder b(password, tw::SystemClock().localTime());
    std::vector<tw::RecordId> folders;
    for (int i = 0; i < 20; ++i) folders.push_back(b.addFolder(u"Folder " + number(i + 1)));
    for (long i = 0; i < cards; ++i) {
        tw::Card card;
        card.display() = tw::CardDisplay::walletDefault();
        fillCard(card, i, cards, strings);
        b.addCard(u"Card " + number(i + 1), folders[static_cast<std::size_t>(i % 20)], card);
    }
    return b.bytes();
}

// The e-mail account form: its field items are tagged 506 to 518; 400 is the note.
std::vector<std::uint8_t> walWallet(long cards, const std::u16string& password) {
    tw::test::WalBuilder b(tw::toUtf8(password));
    for (std::uint32_t i = 0; i < 20; ++i) b.addFolder(i + 1, 505, 3, u"Folder " + number(i + 1));
    const std::u16string note = noteText();
    for (long i = 0; i < cards; ++i) {
        tw::test::WalCard card;
        card.id = static_cast<std::uint32_t>(i + 1);
        card.folder = static_cast<std::uint32_t>(i % 20 + 1);
        card.form = 505;
        card.icon = 7;
        card.name = u"Card " + number(i + 1);
        for (int f = 0; f < 6; ++f)
            card.items.push_back({static_cast<std::uint32_t>(506 + f), tw::test::walText(fieldValue(i, f, cards))});
        card.items.push_back({400, tw::test::walText(note)});
        b.addCard(card);
    }
    return b.bytes();
}

bool writeOut(const std::string& out, const std::vector<std::uint8_t>& bytes) {
    std::ofstream os(out, std::ios::binary | std::ios::trunc);
    os.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    os.close();
    if (!os) std::cerr << "MakeWallet: cannot write " << out << "\n";
    return static_cast<bool>(os);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tw;
    const std::string kind = argc > 1 && std::string(argv[1]).rfind("--", 0) == 0 ? argv[1] : "";
    if (!kind.empty()) {
        --argc;
        ++argv;
    }
    if (argc < 3 || (kind != "" && kind != "--old" && kind != "--wal")) {
        std::cerr << "usage: MakeWallet [--old | --wal] OUT CARDS [PASSWORD]\n";
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
    // The names a new wallet gives its special entries and first folders, as in English.
    strings.set(create_text::kFavourites, u"Favorites");
    strings.set(create_text::kSearchResults, u"Search Results");
    strings.set(create_text::kThirdEntry, u"Recent Cards");
    strings.set(create_text::kFormsFolder, u"My Forms");
    strings.set(create_text::kFirstFolder, u"Personal");
    ScriptedPrompt prompt;
    FakeSystem system;
    Env env{files, clock, random, strings, prompt, system};
    if (kind == "--old") return writeOut(out, oldFormatWallet(cards, password, strings)) ? 0 : 1;
    if (kind == "--wal") return writeOut(out, walWallet(cards, password)) ? 0 : 1;
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
    for (long i = 0; i < cards; ++i) {
        std::unique_ptr<Card> card = w.newCard(folders[static_cast<std::size_t>(i % 20)]);
        card->header()->putName(u"Card " + number(i + 1), w.recordKey());
        fillCard(*card, i, cards, strings);
        if (writeCard(file.get(), *card, w.recordKey(), t) != CardWriteResult::Ok) return 1;
    }
    w.close();
    return writeOut(out, *mem) ? 0 : 1;
}
