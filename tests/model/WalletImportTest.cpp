#include <gtest/gtest.h>

#include "model/Card.h"
#include "model/DisplayText.h"
#include "model/WalletImportSink.h"
#include "platform/Text.h"
#include "samples/Samples.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::kPassword;
using test::kWalletPath;

const LocalePatterns kLocale{u"d.M.yy", u"HH:mm:ss", u":"};
const std::string kTable = "/in/table.txt";

class WalletImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.strings.set(22041, u"Imported");
        ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, true), CreateResult::Ok);
        ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    }

    void setTable(const std::string& utf8) {
        t.files.setBytes(kTable, std::vector<std::uint8_t>(utf8.begin(), utf8.end()));
    }

    // "name: field=value, ..." for each card of the folder at `folder`, in index order.
    std::vector<std::string> cardsIn(std::size_t folder) {
        std::vector<std::string> out;
        const RecordId id = wallet.index().at(folder).id();
        for (std::size_t i = 0; i < wallet.index().count(); ++i) {
            const IndexEntry& h = wallet.index().at(i);
            if (h.deleted() || h.type() != RecordType::Card || h.parent() != id) continue;
            std::unique_ptr<Card> card = wallet.loadCard(h.id());
            if (!card) {
                out.push_back("unreadable");
                continue;
            }
            std::string line = toUtf8(wallet.nameOf(i)) + " (icon " + std::to_string(h.iconIndex()) + "):";
            for (std::size_t f = 0; f < card->fieldCount(); ++f) {
                const Field& field = card->field(f);
                line += " " + std::to_string(field.kind()) + " " + toUtf8(field.name()) + "=" + toUtf8(field.value());
            }
            out.push_back(line);
        }
        return out;
    }

    test::TestEnv t;
    WalletFile wallet{t.env};
};

TEST_F(WalletImportTest, SampleTableBecomesCardsInANewTopLevelFolder) {
    t.files.setBytes(kTable, samples::importSample());
    const std::size_t before = wallet.index().count();
    EXPECT_EQ(importCardsIntoWallet(wallet, kTable, kLocale, true), 3u);
    wallet.close();

    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, true), OpenResult::Ok);
    ASSERT_EQ(wallet.index().count(), before + 4);
    const IndexEntry& folder = wallet.index().at(before);
    EXPECT_EQ(folder.type(), RecordType::Folder);
    EXPECT_TRUE(folder.parent().isZero());
    EXPECT_EQ(folder.iconIndex(), 72);
    EXPECT_EQ(wallet.nameOf(before), u"Imported 10.12.2026");
    const std::string fields = " 15 Web site=https://";
    EXPECT_EQ(cardsIn(before), (std::vector<std::string>{
                                   "Mail (icon 50):" + fields +
                                       "mail.example.com 15 User name=jane.doe 7 Password=correct-horse-7"
                                       " 15 Notes=The family mailbox",
                                   "Bank (icon 50):" + fields +
                                       "bank.example.com 15 User name=jdoe2006 7 Password=Winter#Lantern42"
                                       " 15 Notes=The card PIN is kept elsewhere",
                                   "Library (icon 50):" + fields +
                                       "library.example.org 15 User name=10045-778 7 Password=4711"
                                       " 15 Notes=",
                               }));
}

TEST_F(WalletImportTest, TablesThatAreNotCardTablesLeaveTheWalletUntouched) {
    const struct {
        const char* what;
        const char* table;  // nullptr: no file at all
    } cases[] = {
        {"missing file", nullptr},
        {"empty file", ""},
        {"wrong header", "Name\tUser\r\nBank\tjo\r\n"},
        {"one column", "CardName\r\nBank\r\n"},
        {"header only", "CardName\tUser\r\n"},
    };
    const std::vector<std::uint8_t> before = t.files.bytes(kWalletPath);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        t.files.remove(kTable);
        if (c.table != nullptr) setTable(c.table);
        t.prompt.shown.clear();
        EXPECT_EQ(importCardsIntoWallet(wallet, kTable, kLocale, true), 0u);
        ASSERT_EQ(t.prompt.shown.size(), 1u) << "one message, no question";
        EXPECT_EQ(t.prompt.shown[0].icon, Icon::Stop);
        EXPECT_EQ(t.files.bytes(kWalletPath), before);
    }
}

TEST_F(WalletImportTest, CardThatCannotBeWrittenIsSkippedAndTheFolderStays) {
    setTable("CardName\tUser\r\nOne\ta\r\nTwo\tb\r\nThree\tc\r\n");
    WalletImportSink sink(wallet);
    // The folder takes one write; the first card's header is the next.
    t.files.faults().failWriteAt = t.files.faults().writes + 2;
    ImportTable table;
    ASSERT_EQ(ImportTable::read(t.files, kTable, &table), ImportTableResult::Done);
    EXPECT_EQ(importTableIntoWallet(wallet, table, kLocale, true, sink), 3u) << "every accepted row counts";
    EXPECT_EQ(sink.written(), 2u);
    EXPECT_EQ(sink.failed(), 1u);
    ASSERT_GE(sink.folder(), 0);
    const std::size_t folder = static_cast<std::size_t>(sink.folder());
    wallet.close();

    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, true), OpenResult::Ok) << "no half record was left";
    EXPECT_EQ(cardsIn(folder), (std::vector<std::string>{"Two (icon 50): 15 User=b", "Three (icon 50): 15 User=c"}));
}

}  // namespace
}  // namespace tw
