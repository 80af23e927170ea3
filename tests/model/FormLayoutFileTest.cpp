#include <gtest/gtest.h>

#include <functional>

#include "model/DisplayText.h"
#include "model/FieldKind.h"
#include "model/FormLayoutFile.h"
#include "platform/MemoryFile.h"
#include "platform/Text.h"
#include "samples/Samples.h"
#include "storage/Bytes.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/CardFixtures.h"
#include "support/Hex.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::kPassword;
using test::kWalletPath;

const LocalePatterns kLocale{u"d.M.yy", u"HH:mm:ss", u":"};
const std::string kOtherWallet = "/wallets/other.tm5";
const std::string kInput = "/in/form.tmx";
constexpr std::size_t kRecordAt = form_layout::kHeaderSize;
constexpr std::size_t kBodyAt = kRecordAt + RecordHeader::kSize;

class FormLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [id, text] :
             std::initializer_list<std::pair<std::uint32_t, std::u16string>>{{20504, u"Please Confirm"},
                                                                             {22020, u"Exported to %s as %s"},
                                                                             {22025, u"Import this form?"},
                                                                             {22026, u"Name:"},
                                                                             {22027, u"Description:"},
                                                                             {22028, u"Author:"},
                                                                             {22029, u"Date:"},
                                                                             {23017, u"Cannot create the file"}})
            t.strings.set(id, text);
        ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, true), CreateResult::Ok);
        ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    }

    static RecordId formsId(WalletFile& w) {
        return w.index().at(static_cast<std::size_t>(w.index().formsFolder())).id();
    }

    Field* add(Card& card, std::uint16_t kind, std::u16string_view name) {
        Field* f = card.newField(kind, t.strings);
        f->setName(name);
        return f;
    }

    // A form with values in fields of the text, password, date, list and yes/no kinds, and a
    // custom icon.
    std::size_t addForm(std::u16string_view name) {
        std::unique_ptr<Card> card = wallet.newCard(formsId(wallet));
        card->header()->putName(name, wallet.recordKey());
        card->header()->setCustomIcon(test::testBytes(37));
        add(*card, field_kind::kText, u"User")->setValue(u"jane");
        add(*card, field_kind::kPassword, u"Password")->setValue(u"s3cret");
        add(*card, field_kind::kDate, u"Expires")->setDate(SystemTime{2027, 3, 0, 14, 0, 0, 0, 0});
        Field* plan = add(*card, field_kind::kSelectionList, u"Plan");
        plan->setListFromJoined(u"Free^Family");
        plan->setValue(u"Family");
        add(*card, field_kind::kYesNoList, u"Renews")->setValue(u"Yes");
        const std::int64_t at = wallet.appendCard(*card);
        EXPECT_GE(at, 0);
        return static_cast<std::size_t>(at);
    }

    std::string exportAt(std::size_t position, bool keepValues) {
        std::string path;
        EXPECT_EQ(exportForm(wallet, position, {"/export", keepValues, u"Shared form", u"Jane"}, &path),
                  FormLayoutResult::Ok);
        return path;
    }

    std::vector<std::uint8_t>& bytes(const std::string& path) { return t.files.bytes(path); }

    test::TestEnv t;
    WalletFile wallet{t.env};
};

TEST_F(FormLayoutTest, FormFileKeyIsTheDigestOfTheFixedPassPhrase) {
    const KeyRecord key = formFileKey();
    ASSERT_TRUE(key.active());
    EXPECT_EQ(test::toHex(key.key(), 16), "8082c0d4e94b489c9259bb3fbfdb6074");
}

TEST_F(FormLayoutTest, FileNameReplacesTheCharactersFileNamesCannotHold) {
    EXPECT_EQ(formFileName(u"A/B\\C:D*E?F\"G<H>I|J", SystemTime{2026, 3, 0, 7}), u"A_B_C_D_E_F_G_H_I_J_07032026.tmx");
    EXPECT_EQ(formFileName(u"Web Login", SystemTime{987, 11, 0, 25}), u"Web Login_2511987.tmx");
}

TEST_F(FormLayoutTest, SmallFormIsWrittenFieldByFieldAtItsOffsets) {
    std::unique_ptr<Card> card = wallet.newCard(formsId(wallet));
    card->header()->putName(u"Tiny", wallet.recordKey());
    card->header()->setIconIndex(5);
    add(*card, field_kind::kText, u"PIN");
    const std::int64_t at = wallet.appendCard(*card);
    ASSERT_GE(at, 0);
    const std::string path = exportAt(static_cast<std::size_t>(at), false);
    EXPECT_EQ(path, "/export/Tiny_10122026.tmx");
    const std::vector<std::uint8_t>& b = bytes(path);
    ASSERT_GT(b.size(), kBodyAt + 64);

    EXPECT_EQ(test::toHex(b.data(), 36),
              "48616c766f72736761726465"
              "6e"
              "ae"
              "2054616c6c6f776d657265"
              "ae"
              "2050726f20466f726d"
              "00");
    EXPECT_TRUE(allZero(b.data() + 36, 64 - 36));
    EXPECT_EQ(getU32(b.data(), 64), 1u);
    EXPECT_EQ(test::toHex(b.data() + 68, 6), "530068006100");  // UTF-16LE "Sha"
    EXPECT_EQ(getText16(b.data() + 68, 256), u"Shared form");
    EXPECT_TRUE(allZero(b.data() + 68 + 22, 256 - 22));
    EXPECT_EQ(getText16(b.data() + 324, 128), u"Jane");
    EXPECT_TRUE(allZero(b.data() + 324 + 8, 128 - 8));
    EXPECT_EQ(test::toHex(b.data() + 452, 16), "ea070c0004000a0009001e000f000000");

    EXPECT_EQ(recordTypeOf(b.data() + kRecordAt), RecordType::Card);
    EXPECT_TRUE(allZero(b.data() + kRecordAt + RecordHeader::kId, 32)) << "own and parent identifiers";
    EXPECT_TRUE(allZero(b.data() + kRecordAt + RecordHeader::kFormRef, 16));
    std::vector<std::uint8_t> name(b.begin() + kRecordAt + RecordHeader::kName,
                                   b.begin() + kRecordAt + RecordHeader::kName + RecordHeader::kNameSize);
    ASSERT_TRUE(formFileKey().encipher(name.data(), name.size(), name.data()));
    EXPECT_EQ(getText16(name.data(), name.size()), u"Tiny");
    EXPECT_EQ(getI32(b.data(), kRecordAt + RecordHeader::kIconIndex), 5);
    EXPECT_EQ(getU32(b.data(), kRecordAt + RecordHeader::kIconLength), 0u);
    EXPECT_EQ(getU32(b.data(), kRecordAt + RecordHeader::kBodyLength), b.size() - kBodyAt);

    Card body;
    ASSERT_TRUE(body.parseBody(std::span(b).subspan(kBodyAt), formFileKey()));
    ASSERT_EQ(body.fieldCount(), 1u);
    EXPECT_EQ(body.field(0).name(), u"PIN");
}

TEST_F(FormLayoutTest, FormTravelsToAnotherWalletWithOrWithoutItsValues) {
    const std::size_t source = addForm(u"Club Membership");
    std::unique_ptr<Card> original = wallet.loadCard(wallet.index().at(source).id());
    ASSERT_TRUE(original);
    ASSERT_EQ(createWallet(t.env, kOtherWallet, u"other password", std::nullopt, false), CreateResult::Ok);

    for (const bool keepValues : {false, true}) {
        SCOPED_TRACE(keepValues ? "values kept" : "values removed");
        const std::string path = exportAt(source, keepValues);
        WalletFile other(t.env);
        ASSERT_EQ(other.readAll(kOtherWallet, u"other password", false), OpenResult::Ok);
        std::int64_t at = -1;
        ASSERT_EQ(importForm(other, path, kLocale, &at), FormLayoutResult::Ok);
        other.close();

        // Read back from the file, under the other wallet's key.
        ASSERT_EQ(other.readAll(kOtherWallet, u"other password", true), OpenResult::Ok);
        const IndexEntry& entry = other.index().at(static_cast<std::size_t>(at));
        EXPECT_EQ(entry.parent(), formsId(other));
        EXPECT_FALSE(entry.id().isZero());
        EXPECT_NE(entry.id(), original->header()->id());
        std::unique_ptr<Card> imported = other.loadCard(entry.id());
        ASSERT_TRUE(imported);
        // The second import meets the first one's form of the same name.
        EXPECT_EQ(imported->header()->name(other.recordKey()),
                  keepValues ? u"Club Membership (2)" : u"Club Membership");
        EXPECT_EQ(imported->header()->customIcon(), test::testBytes(37));
        ASSERT_EQ(imported->fieldCount(), original->fieldCount());
        for (std::size_t i = 0; i < original->fieldCount(); ++i) {
            const Field& want = original->field(i);
            const Field& got = imported->field(i);
            SCOPED_TRACE(toUtf8(want.name()));
            EXPECT_EQ(got.kind(), want.kind());
            EXPECT_EQ(got.name(), want.name());
            EXPECT_EQ(got.listItems(), want.listItems());
            EXPECT_EQ(got.value(), keepValues ? want.value() : u"");
            EXPECT_EQ(got.date(), keepValues ? want.date() : SystemTime{});
        }
        other.close();
    }
    // The wallet the form came from is not changed by exporting it.
    std::unique_ptr<Card> after = wallet.loadCard(wallet.index().at(source).id());
    ASSERT_TRUE(after);
    EXPECT_EQ(after->field(0).value(), u"jane");
}

TEST_F(FormLayoutTest, ConfirmationShowsNameDescriptionAuthorAndDate) {
    const FormLayoutHeader full{u"Shared form", u"Jane", SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    EXPECT_EQ(importFormQuestion(full, u"A name of thirty characters!!", t.strings, kLocale),
              u"Import this form?\n\nName: A name of thirty characters!...\nDescription: Shared form\n"
              u"Author: Jane\nDate: 10.12.2026");
    const FormLayoutHeader bare{u"", u"", SystemTime{2025, 1, 0, 2}};
    EXPECT_EQ(importFormQuestion(bare, u"Exactly twenty-eight letters", t.strings, kLocale),
              u"Import this form?\n\nName: Exactly twenty-eight letters\nDate: 2.1.2025");
    EXPECT_EQ(importFormQuestion(bare, u"", t.strings, kLocale), u"Import this form?\n\nDate: 2.1.2025");
}

TEST_F(FormLayoutTest, ImportAsksOnceAndWritesNothingWhenDeclined) {
    const std::string path = exportAt(addForm(u"Club"), true);
    const std::vector<std::uint8_t> before = bytes(kWalletPath);
    t.prompt.answers = {Answer::No};
    EXPECT_EQ(importForm(wallet, path, kLocale), FormLayoutResult::Declined);
    ASSERT_EQ(t.prompt.shown.size(), 2u) << "the export's message, then the question";
    EXPECT_EQ(t.prompt.shown[1].caption, u"Please Confirm");
    EXPECT_EQ(t.prompt.shown[1].buttons, Buttons::YesNo);
    EXPECT_EQ(bytes(kWalletPath), before);
}

TEST_F(FormLayoutTest, DamagedFilesAreRefusedWithoutQuestionOrChange) {
    const std::vector<std::uint8_t> good = bytes(exportAt(addForm(u"Club"), true));
    const std::size_t iconLength = getU32(good.data(), kRecordAt + RecordHeader::kIconLength);
    const std::size_t firstSubRecord = kBodyAt + iconLength + 64;
    using Mutation = std::function<void(std::vector<std::uint8_t>&)>;
    const struct {
        const char* what;
        Mutation mutate;
        FormLayoutResult expected;
    } cases[] = {
        {"empty file", [](auto& b) { b.clear(); }, FormLayoutResult::ShortHeader},
        {"467 bytes", [](auto& b) { b.resize(467); }, FormLayoutResult::ShortHeader},
        {"header without record", [](auto& b) { b.resize(kRecordAt); }, FormLayoutResult::BadRecord},
        {"record header cut", [](auto& b) { b.resize(kRecordAt + 700); }, FormLayoutResult::BadRecord},
        {"icon data cut", [](auto& b) { b.resize(kBodyAt + 10); }, FormLayoutResult::BadRecord},
        {"body cut by a byte", [](auto& b) { b.pop_back(); }, FormLayoutResult::BadRecord},
        {"signature changed", [](auto& b) { b[13] = 0xA9; }, FormLayoutResult::BadSignature},
        {"signature unterminated", [](auto& b) { std::fill(b.begin() + 35, b.begin() + 64, 'x'); },
         FormLayoutResult::BadSignature},
        {"version 2", [](auto& b) { b[64] = 2; }, FormLayoutResult::BadVersion},
        {"version 0", [](auto& b) { b[64] = 0; }, FormLayoutResult::BadVersion},
        {"unknown record type", [](auto& b) { b[kRecordAt] ^= 0x5A; }, FormLayoutResult::BadRecord},
        {"folder record", [](auto& b) { std::copy(kFolderTypeId.begin(), kFolderTypeId.end(), b.begin() + kRecordAt); },
         FormLayoutResult::BadRecord},
        {"body length past the end", [](auto& b) { putU32(b.data(), kRecordAt + RecordHeader::kBodyLength, ~0u); },
         FormLayoutResult::BadRecord},
        {"icon length past the end",
         [](auto& b) { putU32(b.data(), kRecordAt + RecordHeader::kIconLength, 0x7FFFFFFF); },
         FormLayoutResult::BadRecord},
        {"body shorter than its display words",
         [&](auto& b) {
             putU32(b.data(), kRecordAt + RecordHeader::kBodyLength, 10);
             b.resize(kBodyAt + iconLength + 10);
         },
         FormLayoutResult::BadRecord},
        {"sub-record running past the body", [&](auto& b) { putU32(b.data(), firstSubRecord + 8, 1u << 30); },
         FormLayoutResult::BadRecord},
        // Declined, so that this accepted file changes nothing either.
        {"bytes after the signature's terminator", [](auto& b) { b[40] = 'x'; }, FormLayoutResult::Declined},
    };
    const std::vector<std::uint8_t> before = bytes(kWalletPath);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> b = good;
        c.mutate(b);
        t.files.setBytes(kInput, b);
        t.prompt.shown.clear();
        t.prompt.answers = {Answer::No};
        EXPECT_EQ(importForm(wallet, kInput, kLocale), c.expected);
        EXPECT_EQ(t.prompt.shown.size(), c.expected == FormLayoutResult::Declined ? 1u : 0u);
        EXPECT_EQ(bytes(kWalletPath), before);
    }
    EXPECT_EQ(importForm(wallet, "/in/missing.tmx", kLocale), FormLayoutResult::CannotOpen);
}

TEST_F(FormLayoutTest, HeaderTextsWithoutTerminatorAreCutToTheirLimits) {
    std::vector<std::uint8_t> b = bytes(exportAt(addForm(u"Club"), true));
    for (std::size_t at = form_layout::kDescription; at < form_layout::kWritten; at += 2) putU16(b.data(), at, u'x');
    auto shared = std::make_shared<std::vector<std::uint8_t>>(b);
    std::unique_ptr<File> file = makeMemoryFile(shared, false);
    Card card;
    FormLayoutHeader header;
    ASSERT_EQ(readFormLayout(file.get(), wallet.recordKey(), &card, &header), FormLayoutResult::Ok);
    EXPECT_EQ(header.description, std::u16string(127, u'x'));
    EXPECT_EQ(header.author, std::u16string(63, u'x'));
}

TEST_F(FormLayoutTest, OnlyCardsOfTheFormsFolderAreExported) {
    std::unique_ptr<Card> card = wallet.newCard(wallet.index().at(0).id());
    card->header()->putName(u"Ordinary", wallet.recordKey());
    const std::int64_t ordinary = wallet.appendCard(*card);
    ASSERT_GE(ordinary, 0);
    for (const std::size_t position : {static_cast<std::size_t>(ordinary), std::size_t{0},
                                       static_cast<std::size_t>(wallet.index().formsFolder()), std::size_t{999}})
        EXPECT_EQ(exportForm(wallet, position, {"/export", true, u"", u""}), FormLayoutResult::NotAForm) << position;
    EXPECT_FALSE(t.files.exists("/export/Ordinary_10122026.tmx"));
}

TEST_F(FormLayoutTest, FailedExportKeepsTheEarlierFileAndSaysSo) {
    const std::size_t form = addForm(u"Club");
    const std::string path = exportAt(form, true);
    const std::vector<std::uint8_t> earlier = bytes(path);
    t.files.faults().failWriteAt = t.files.faults().writes + 2;
    EXPECT_EQ(exportForm(wallet, form, {"/export", false, u"", u""}), FormLayoutResult::WriteFailed);
    EXPECT_EQ(bytes(path), earlier);
    EXPECT_FALSE(t.files.exists(path + ".~new"));
    EXPECT_EQ(t.prompt.shown.back().text, u"Cannot create the file");
    EXPECT_EQ(t.prompt.shown.back().icon, Icon::Stop);
}

TEST_F(FormLayoutTest, FormSampleImportsAsAFormWithoutValues) {
    t.files.setBytes(kInput, samples::formSample());
    std::int64_t at = -1;
    ASSERT_EQ(importForm(wallet, kInput, kLocale, &at), FormLayoutResult::Ok);
    EXPECT_EQ(t.prompt.shown.back().text,
              u"Import this form?\n\nName: Web Account\n"
              u"Description: A web account: address, sign-in details, plan and renewal.\n"
              u"Author: Tallowmere Pro samples\nDate: 15.1.2026");
    std::unique_ptr<Card> form = wallet.loadCard(wallet.index().at(static_cast<std::size_t>(at)).id());
    ASSERT_TRUE(form);
    std::vector<std::u16string> names;
    for (std::size_t i = 0; i < form->fieldCount(); ++i) {
        names.push_back(form->field(i).name());
        EXPECT_TRUE(form->field(i).value().empty());
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Web site", u"User name", u"Password", u"E-mail", u"Member since",
                                                  u"Plan", u"Renews by itself", u"Notes"}));
    EXPECT_EQ(form->field(5).listItems(), (std::vector<std::u16string>{u"Free", u"Personal", u"Family"}));
    EXPECT_TRUE(form->field(7).isNote());
    EXPECT_EQ(form->header()->iconIndex(), 18);
}

}  // namespace
}  // namespace tw
