// The repair of damaged fixed blocks: header, key block and settings block, each with a damaged
// magic, a damaged body or both, with the password check intact or not.
#include <gtest/gtest.h>

#include "model/Card.h"
#include "storage/Bytes.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::kPassword;
using test::kWalletPath;

constexpr std::size_t kKeyAt = HeaderBlock::kSize;
constexpr std::size_t kSettingsAt = HeaderBlock::kSize + KeyBlock::kSize;

// A wallet with a folder, a card among the favourites and a closing time of 30 minutes.
struct BlockWallet {
    test::TestEnv t;
    RecordId card;

    BlockWallet() {
        EXPECT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, true), CreateResult::Ok);
        WalletFile w(t.env);
        EXPECT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        std::unique_ptr<Card> c = w.newCard(w.index().at(0).id());
        c->header()->putName(u"Visa", w.recordKey());
        c->newField(1, t.strings)->setValue(u"4111");
        EXPECT_GE(w.appendCard(*c), 0);
        card = c->header()->id();
        w.settings().addFavourite(card, t.clock.localTime());
        w.settings().setCloseMinutes(30, t.clock.localTime());
        EXPECT_EQ(w.flush(), 0);
    }
    std::vector<std::uint8_t>& bytes() { return t.files.bytes(kWalletPath); }
};

TEST(BlockRepair, EachFixedBlockWithADamagedMagicOrBody) {
    enum Outcome { Mended, Refused };
    const struct {
        const char* what;
        std::vector<std::size_t> flips;  // bytes turned over
        bool rightPassword;
        Outcome outcome;
        bool header, keys, settings;  // what the repair says it mended
        bool favourites, closeTime;   // what a rebuilt settings block kept
    } cases[] = {
        {"header signature", {3, 40}, true, Mended, true, false, false, false, false},
        {"header signature, wrong password", {3}, false, Refused, false, false, false, false, false},
        {"header version text", {HeaderBlock::kVersionAt + 1}, true, Mended, true, false, false, false, false},
        {"key block start magic", {kKeyAt + 2, kKeyAt + 9}, true, Mended, false, true, false, false, false},
        {"key block end magic, wrong password",
         {kKeyAt + KeyBlock::kEndMagic + 4},
         false,
         Refused,
         false,
         false,
         false,
         false,
         false},
        {"key block check value (body)",
         {kKeyAt + KeyBlock::kCheckValue + 1},
         true,
         Refused,
         false,
         false,
         false,
         false,
         false},
        {"key block magic and check value",
         {kKeyAt + 1, kKeyAt + KeyBlock::kCheckValue},
         true,
         Refused,
         false,
         false,
         false,
         false,
         false},
        {"settings start magic", {kSettingsAt + 5, kSettingsAt + 6}, true, Mended, false, false, true, true, true},
        {"settings end magic and closing time",
         {kSettingsAt + SettingsBlock::kEndMagic, kSettingsAt + SettingsBlock::kCloseMinutes + 3},
         true,
         Mended,
         false,
         false,
         true,
         true,
         false},
        {"settings magic and a gap in the favourites",
         {kSettingsAt + 1, kSettingsAt + SettingsBlock::kFavourites + 16 * 5},
         true,
         Mended,
         false,
         false,
         true,
         false,
         true},
        {"settings magic, wrong password", {kSettingsAt + 1}, false, Refused, false, false, false, false, false},
        {"header and settings magics", {3, kSettingsAt + 1}, true, Mended, true, false, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BlockWallet b;
        for (const std::size_t at : c.flips) b.bytes()[at] ^= 0x5A;
        const std::vector<std::uint8_t> damaged = b.bytes();
        {
            WalletFile w(b.t.env);
            EXPECT_NE(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok) << "the damage shows";
        }
        WalletFile w(b.t.env);
        RepairReport report;
        const int r = w.repairScan(kWalletPath, c.rightPassword ? kPassword : u"not the password", &report);
        if (c.outcome == Refused) {
            EXPECT_NE(r, 0);
            EXPECT_EQ(b.bytes(), damaged) << "nothing was changed";
            EXPECT_FALSE(b.t.files.exists(kWalletPath + ".bak"));
            continue;
        }
        ASSERT_EQ(r, 0);
        EXPECT_EQ(report.headerRewritten, c.header);
        EXPECT_EQ(report.keyMagicsRestored, c.keys);
        EXPECT_EQ(report.settingsRebuilt, c.settings);
        EXPECT_EQ(report.changes, (c.header ? 1 : 0) + (c.keys ? 1 : 0) + (c.settings ? 1 : 0));
        EXPECT_EQ(b.t.files.bytes(kWalletPath + ".bak"), damaged);
        if (c.settings) {
            EXPECT_EQ(report.favouritesKept, c.favourites);
            EXPECT_EQ(report.closeTimeKept, c.closeTime);
        }

        WalletFile again(b.t.env);
        ASSERT_EQ(again.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        ASSERT_EQ(again.index().count(), 3u);
        std::unique_ptr<Card> card = again.loadCard(b.card);
        ASSERT_TRUE(card) << "the records decipher as before";
        EXPECT_EQ(card->field(0).value(), u"4111");
        EXPECT_EQ(again.settings().isFavourite(b.card), !c.settings || c.favourites);
        EXPECT_EQ(again.settings().closeMinutes(), !c.settings || c.closeTime ? 30u : 5u);
    }
}

}  // namespace
}  // namespace tw
