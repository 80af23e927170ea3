#include "samples/Samples.h"

#include <array>
#include <string>

#include "cli/FallbackTexts.h"
#include "model/Card.h"
#include "model/FieldKind.h"
#include "model/FormLayoutFile.h"
#include "model/SampleWallet.h"
#include "platform/Env.h"
#include "platform/MemoryFile.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"

namespace tw::samples {
namespace {

// The time every sample is made at, so that builds repeat their bytes.
constexpr SystemTime kMadeAt{2026, 1, 4, 15, 12, 0, 0, 0};

// Platform services in memory, for samples made through a wallet.
struct SampleEnv {
    MemoryFileSystem files;
    FixedClock clock{kMadeAt};
    SequenceRandom random{2006};
    StringTable strings;
    ScriptedPrompt prompt;
    FakeSystem system;
    Env env{files, clock, random, strings, prompt, system};

    SampleEnv() { strings.load({{Field::kYesWordId, u"Yes"}, {Field::kNoWordId, u"No"}}); }
};

struct FieldSpec {
    std::uint16_t kind;
    std::u16string_view name;
    std::u16string_view list;  // "^"-separated items of a selection list
};

}  // namespace

std::span<const Sample> allSamples() {
    static const std::array<Sample, 3> kSamples{{
        {"Form Sample.tmx", &formSample},
        {"Import Sample.txt", &importSample},
        {"My Sample Wallet.tm5", &walletSample},
    }};
    return kSamples;
}

std::vector<std::uint8_t> formSample() {
    SampleEnv s;
    const std::string walletPath = "/sample/forms.tm5";
    if (createWallet(s.env, walletPath, u"sample", std::nullopt, false) != CreateResult::Ok) return {};
    WalletFile wallet(s.env);
    if (wallet.readAll(walletPath, u"sample", false) != OpenResult::Ok) return {};
    const std::int64_t forms = wallet.index().formsFolder();
    if (forms < 0) return {};

    std::unique_ptr<Card> form = wallet.newCard(wallet.index().at(static_cast<std::size_t>(forms)).id());
    form->header()->putName(u"Web Account", wallet.recordKey());
    form->header()->setIconIndex(18);
    static constexpr FieldSpec kFields[] = {
        {field_kind::kWebAddress, u"Web site", {}},
        {field_kind::kText, u"User name", {}},
        {field_kind::kPassword, u"Password", {}},
        {field_kind::kEmail, u"E-mail", {}},
        {field_kind::kDate, u"Member since", {}},
        {field_kind::kSelectionList, u"Plan", u"Free^Personal^Family"},
        {field_kind::kYesNoList, u"Renews by itself", {}},
    };
    for (const FieldSpec& spec : kFields) {
        Field* field = form->newField(spec.kind, s.strings);
        if (field == nullptr) return {};
        field->setName(spec.name);
        if (!spec.list.empty()) field->setListFromJoined(spec.list);
    }
    Field* note = form->newField(field_kind::kText, s.strings);
    if (note == nullptr) return {};
    note->setName(u"Notes");
    note->setStyle(Field::kNoteStyle);
    const std::int64_t at = wallet.appendCard(*form);
    if (at < 0) return {};

    const FormExportOptions options{"/sample", false, u"A web account: address, sign-in details, plan and renewal.",
                                    u"Tallowmere Pro samples"};
    std::string path;
    if (exportForm(wallet, static_cast<std::size_t>(at), options, &path) != FormLayoutResult::Ok) return {};
    return s.files.bytes(path);
}

std::vector<std::uint8_t> importSample() {
    static constexpr std::u16string_view kTable =
        u"CardName\tWeb site\tUser name\tPassword\tNotes\r\n"
        u"Mail\thttps://mail.example.com\tjane.doe\tcorrect-horse-7\tThe family mailbox\r\n"
        u"Bank\thttps://bank.example.com\tjdoe2006\tWinter#Lantern42\t\"The card PIN is kept elsewhere\"\r\n"
        u"Library\thttps://library.example.org\t10045-778\t4711\t\r\n";
    std::vector<std::uint8_t> bytes{0xFF, 0xFE};
    for (const char16_t c : kTable) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> walletSample() {
    MemoryFileSystem files;
    FixedClock clock{SystemTime{2025, 3, 5, 14, 9, 30, 0, 0}};
    SequenceRandom random{2006};
    StringTable strings;
    cli::loadFallbackTexts(strings);
    ScriptedPrompt prompt;
    FakeSystem system;
    Env env{files, clock, random, strings, prompt, system};
    const std::string path = "/samples/My Sample Wallet.tm5";
    if (!buildSampleWallet(env, path)) return {};
    return files.bytes(path);
}

}  // namespace tw::samples
