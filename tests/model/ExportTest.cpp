#include <gtest/gtest.h>

#include <cstring>

#include "model/Export.h"
#include "model/FieldKind.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "support/CardFixtures.h"
#include "support/TreeFixtures.h"

namespace tw {
namespace {

using test::addField;
using test::testBytes;

const LocalePatterns kLocale{u"M/d/yy", u"h:mm:ss tt", u":"};
const std::string kFolder = "/out/test";  // the export folder: target folder + the wallet's base name

// The text of an export file after its byte-order mark, as UTF-8 (CR LF kept); "no mark" when
// the file does not start with FF FE.
std::string exportedText(MemoryFileSystem& files, const std::string& path) {
    const std::vector<std::uint8_t>& bytes = files.bytes(path);
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) return "no mark";
    return toUtf8(fromBytes16(bytes.data() + 2, bytes.size() - 2));
}

// Export test wallet:
//   Loose (a card at the top level)
//   Personal/  Bank (fields, two attachments), alpha (no values)
//     Sub/     Deep: 1 (a one-character password, one attachment)
//   My Forms/  Login form (no values)
// with Bank in the favourites and the find results.
class ExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [id, text] :
             std::initializer_list<std::pair<std::uint32_t, std::u16string>>{{20516, u"Folder"},
                                                                             {22138, u"-----"},
                                                                             {22142, u"Export"},
                                                                             {22143, u"Wallet: %s"},
                                                                             {22144, u"File: %s"},
                                                                             {22145, u"Exported: %s"},
                                                                             {22149, u"(no data)"},
                                                                             {22150, u"Attachment file: %s"}})
            f.t.strings.set(id, text);
        personal = f.addFolder(u"Personal");
        bank = f.addCard(u"Bank", f.id(personal), [](Card& c) {
            addField(c, field_kind::kText, u"Account", u"12-345");
            addField(c, field_kind::kPassword, u"PIN", std::u16string(40, u'9'));
            addField(c, field_kind::kText, u"Empty", u"");
            addField(c, field_kind::kCheckBox, u"Active", u"1");
            addField(c, field_kind::kDate, u"Opened", u"").setDate(SystemTime{2006, 5, 3, 3, 0, 0, 0, 0});
            c.file(0).set(testBytes(5, 1), u"statement.pdf");
            c.file(2).set(testBytes(3, 7), u"a:b?.txt");
        });
        f.addCard(u"alpha", f.id(personal), [](Card& c) { addField(c, field_kind::kText, u"Blank", u""); });
        sub = f.addFolder(u"Sub", f.id(personal));
        deep = f.addCard(u"Deep: 1", f.id(sub), [](Card& c) {
            addField(c, field_kind::kPassword, u"Key", u"x");
            c.file(4).set(testBytes(2, 9), u"key.bin");
        });
        f.addCard(u"Login form", f.id(f.formsFolder()), [](Card& c) { addField(c, field_kind::kText, u"User", u""); });
        f.addCard(u"Loose", {}, [](Card& c) { addField(c, field_kind::kText, u"Where", u"top"); });
        ASSERT_TRUE(f.wallet.settings().addFavourite(f.id(bank), f.t.clock.localTime()));
        f.wallet.searchResults().positions = {bank};
        f.wallet.searchResults().text = u"Bank";
    }

    ExportOptions options(bool attachments, bool passwords) const { return {"/out", attachments, passwords}; }

    static std::string title() {
        return "Export\r\nWallet: test\r\nFile: /wallets/test.tm5\r\nExported: 12/10/2026  9:30 AM\r\n\r\n\r\n";
    }

    test::FixtureWallet f;
    std::size_t personal = 0, bank = 0, sub = 0, deep = 0;
};

TEST_F(ExportTest, WholeWalletInTreeOrderWithHeadingsMaskedPasswordsAndAttachments) {
    const FolderTree tree = FolderTree::build(f.wallet);
    const ExportReport r = exportWallet(f.wallet, tree, options(true, false), kLocale);
    ASSERT_EQ(r.result, ExportResult::Ok);
    EXPECT_EQ(r.path, kFolder + "/test_10122026.txt");
    EXPECT_TRUE(f.t.files.isFolder(kFolder));
    EXPECT_EQ(r.cards, 5u) << "the favourites and find results add no second copy of Bank";
    EXPECT_EQ(r.attachmentFiles, 3u);
    EXPECT_EQ(exportedText(f.t.files, r.path),
              title() +
                  "-----\r\nLoose\r\n-----\r\nWhere: top\r\n\r\n\r\n"
                  "\r\n-----\r\nFolder: Personal\r\n-----\r\n"
                  "-----\r\nalpha\r\n-----\r\n(no data)\r\n\r\n"
                  "-----\r\nBank\r\n-----\r\n"
                  "Account: 12-345\r\nPIN: ********\r\nActive: Yes\r\nOpened: 5/3/2006\r\n\r\n"
                  "Attachment file: 001_statement.pdf\r\nAttachment file: 002_a_b_.txt\r\n"
                  "\r\n-----\r\nFolder: Personal > Sub\r\n-----\r\n"
                  "-----\r\nDeep: 1\r\n-----\r\nKey: ********\r\n\r\nAttachment file: 003_key.bin\r\n"
                  "\r\n-----\r\nFolder: My Forms\r\n-----\r\n"
                  "-----\r\nLogin form\r\n-----\r\n(no data)\r\n\r\n");
    EXPECT_EQ(f.t.files.bytes(kFolder + "/001_statement.pdf"), testBytes(5, 1));
    EXPECT_EQ(f.t.files.bytes(kFolder + "/002_a_b_.txt"), testBytes(3, 7));
    EXPECT_EQ(f.t.files.bytes(kFolder + "/003_key.bin"), testBytes(2, 9));
}

TEST_F(ExportTest, CardsWhoseFolderIsMissingAreWrittenUnderTheRecoveredHeading) {
    const RecordHeader ghost = f.folderHeader(u"never written");
    const std::size_t lost = f.addFolder(u"Lost", ghost.id());
    f.addCard(u"Stray", f.id(lost), [](Card& c) { addField(c, field_kind::kText, u"Note", u"kept"); });
    f.addCard(u"Alone", ghost.id());
    const ExportReport r = exportWallet(f.wallet, FolderTree::build(f.wallet), options(false, false), kLocale);
    ASSERT_EQ(r.result, ExportResult::Ok);
    EXPECT_EQ(r.cards, 7u);
    EXPECT_EQ(r.recoveredCards, 2u);
    const std::string text = exportedText(f.t.files, r.path);
    const std::string tail =
        "\r\n-----\r\nFolder: Recovered\r\n-----\r\n"
        "-----\r\nAlone\r\n-----\r\n(no data)\r\n"
        "\r\n-----\r\nFolder: Recovered > Lost\r\n-----\r\n"
        "-----\r\nStray\r\n-----\r\nNote: kept\r\n\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

// Card texts are kept one byte a unit while every unit is below 0x100; the rest are kept whole.
// Either way the file holds each unit as it was, lone surrogates too, in long and short texts.
TEST_F(ExportTest, TextsBeyondOneByteAUnitAreWrittenUnchanged) {
    const std::u16string latin = u"caf\u00e9 \u00ff" + std::u16string(20, u'x') + u"\u00a0";
    const std::u16string wide[] = {u"\u0100", u"\U0001F600 pair", std::u16string(17, u'y') + u"\u20ac",
                                   std::u16string(1, char16_t{0xD800}) + u"lone"};
    const std::size_t folder = f.addFolder(u"Texts");
    f.addCard(u"Latin", f.id(folder), [&](Card& c) { addField(c, field_kind::kText, u"Value", latin); });
    for (const std::u16string& text : wide)
        f.addCard(u"Wide " + text, f.id(folder), [&](Card& c) { addField(c, field_kind::kText, u"Value", text); });
    const FolderTree tree = FolderTree::build(f.wallet);
    const ExportReport r =
        exportFolder(f.wallet, tree, *tree.find(static_cast<std::int64_t>(folder)), options(false, false), kLocale);
    ASSERT_EQ(r.result, ExportResult::Ok);
    const std::vector<std::uint8_t>& bytes = f.t.files.bytes(r.path);
    const std::u16string text = fromBytes16(bytes.data() + 2, bytes.size() - 2);
    auto block = [](const std::u16string& name, const std::u16string& value) {
        return u"-----\r\n" + name + u"\r\n-----\r\nValue: " + value + u"\r\n\r\n";
    };
    std::u16string expected = u"\r\n-----\r\nFolder: Texts\r\n-----\r\n";
    for (std::size_t i : tree.node(*tree.find(static_cast<std::int64_t>(folder))).children) {
        const std::u16string label(tree.node(i).label);
        expected += block(label, label == u"Latin" ? latin : label.substr(5));
    }
    ASSERT_GE(text.size(), expected.size());
    EXPECT_TRUE(text.substr(text.size() - expected.size()) == expected);
}

TEST_F(ExportTest, FolderWithPasswordsAndWithoutAttachments) {
    const FolderTree tree = FolderTree::build(f.wallet);
    const ExportReport r =
        exportFolder(f.wallet, tree, *tree.find(static_cast<std::int64_t>(sub)), options(false, true), kLocale);
    ASSERT_EQ(r.result, ExportResult::Ok);
    EXPECT_EQ(r.path, kFolder + "/Sub_10122026.txt");
    EXPECT_EQ(exportedText(f.t.files, r.path), title() +
                                                   "\r\n-----\r\nFolder: Personal > Sub\r\n-----\r\n"
                                                   "-----\r\nDeep: 1\r\n-----\r\nKey: x\r\n\r\n");
    EXPECT_FALSE(f.t.files.exists(kFolder + "/001_key.bin"));
}

TEST_F(ExportTest, HeadingsNameAtMostEightEnclosingFolders) {
    RecordId parent = f.id(personal);
    std::size_t last = 0;
    for (int level = 1; level <= 10; ++level) {
        last = f.addFolder(u"L" + fromUtf8(std::to_string(level)), parent);
        parent = f.id(last);
    }
    const FolderTree tree = FolderTree::build(f.wallet);
    const ExportReport r =
        exportFolder(f.wallet, tree, *tree.find(static_cast<std::int64_t>(last)), options(false, false), kLocale);
    ASSERT_EQ(r.result, ExportResult::Ok);
    EXPECT_EQ(exportedText(f.t.files, r.path),
              title() + "\r\n-----\r\nFolder: L2 > L3 > L4 > L5 > L6 > L7 > L8 > L9 > L10\r\n-----\r\n");
}

TEST_F(ExportTest, OneCardNumbersAttachmentsFromZeroAndReplacesTodaysFile) {
    for (int round = 0; round < 2; ++round) {
        const ExportReport r = exportCard(f.wallet, f.id(deep), options(true, false), kLocale);
        ASSERT_EQ(r.result, ExportResult::Ok);
        EXPECT_EQ(r.path, kFolder + "/Deep_ 1_10122026.txt");
        EXPECT_EQ(exportedText(f.t.files, r.path),
                  title() + "-----\r\nDeep: 1\r\n-----\r\nKey: ********\r\n\r\nAttachment file: 000_key.bin\r\n");
        EXPECT_EQ(f.t.files.bytes(kFolder + "/000_key.bin"), testBytes(2, 9));
    }
    EXPECT_EQ(exportCard(f.wallet, f.id(sub), options(false, false), kLocale).result, ExportResult::Failed)
        << "a folder is no card";
    EXPECT_EQ(exportCard(f.wallet, RecordId{}, options(false, false), kLocale).path, "");
}

TEST_F(ExportTest, ADamagedCardIsWrittenWithWhatCanBeReadAndCounted) {
    // Make Bank's first sub-record claim more bytes than its body holds: nothing of the body can
    // be read past it, its attachment included.
    std::vector<std::uint8_t>& bytes = f.t.files.bytes(test::kWalletPath);
    const RecordId id = f.id(bank);
    std::size_t at = WalletFile::kFirstRecord;
    while (std::memcmp(bytes.data() + at + RecordHeader::kId, id.bytes.data(), 16) != 0) ++at;
    putU32(bytes.data(), at + RecordHeader::kSize + 64 + 8, 0xFFFFFF00u);

    const ExportReport r = exportWallet(f.wallet, FolderTree::build(f.wallet), options(true, false), kLocale);
    ASSERT_EQ(r.result, ExportResult::Ok);
    EXPECT_EQ(r.cards, 5u);
    EXPECT_EQ(r.cardsLeftOut, 0u);
    EXPECT_EQ(r.cardsDamaged, 1u);
    const std::string text = exportedText(f.t.files, r.path);
    EXPECT_NE(text.find("Bank\r\n-----"), std::string::npos);
    EXPECT_NE(text.find("Attachment file: 001_key.bin"), std::string::npos) << "numbers count written files only";
}

TEST_F(ExportTest, FailedWrites) {
    const FolderTree tree = FolderTree::build(f.wallet);
    FaultPlan& faults = f.t.files.faults();

    // The first attachment file cannot be written: no line, no number, no file.
    faults.failWriteAt = faults.writes + 1;
    ExportReport r = exportWallet(f.wallet, tree, options(true, false), kLocale);
    ASSERT_EQ(r.result, ExportResult::Ok);
    EXPECT_EQ(r.attachmentsLeftOut, 1u);
    EXPECT_FALSE(f.t.files.exists(kFolder + "/001_statement.pdf"));
    EXPECT_EQ(f.t.files.bytes(kFolder + "/001_a_b_.txt"), testBytes(3, 7));
    std::string text = exportedText(f.t.files, r.path);
    EXPECT_NE(text.find("Active: Yes\r\nOpened: 5/3/2006\r\n\r\nAttachment file: 001_a_b_.txt\r\n\r\n-----"),
              std::string::npos);

    // The text file itself cannot be written: failure, and no partial file is left.
    f.t.files.resetFaults();
    faults.failWriteAt = 1;
    r = exportWallet(f.wallet, tree, options(false, false), kLocale);
    EXPECT_EQ(r.result, ExportResult::Failed);
    EXPECT_FALSE(f.t.files.exists(kFolder + "/test_10122026.txt"));
}

TEST_F(ExportTest, ClipboardTextShowsPasswordsAndNeedsAFieldWithText) {
    const std::unique_ptr<Card> card = f.wallet.loadCard(f.id(bank));
    ASSERT_TRUE(card);
    EXPECT_EQ(toUtf8(cardClipboardText(*card, f.wallet.recordKey(), kLocale, f.t.strings)),
              "Bank\r\n\r\nAccount: 12-345\r\n\r\nPIN: " + std::string(40, '9') +
                  "\r\n\r\nActive: Yes\r\n\r\nOpened: 5/3/2006\r\n\r\n");

    Card empty;
    empty.setHeader(*card->header());
    addField(empty, field_kind::kCheckBox, u"Undecided", u"maybe");
    EXPECT_EQ(cardClipboardText(empty, f.wallet.recordKey(), kLocale, f.t.strings), u"");
}

TEST(SafeFileNameTest, ReplacesReservedCharactersAndStopsAtNul) {
    EXPECT_EQ(safeFileName(u"a\\b/c:d*e?f\"g<h>i|j k.txt"), u"a_b_c_d_e_f_g_h_i_j k.txt");
    EXPECT_EQ(safeFileName(std::u16string(u"../x\0/etc", 9)), u".._x");
}

}  // namespace
}  // namespace tw
