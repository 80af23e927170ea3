// A wallet written by the record store and then read here byte by byte, at offsets and with
// values written out by hand from the file layout. The layout constants of the code are shared by
// its writer and its reader, so a wrong one passes every round trip; these bytes do not.
#include <gtest/gtest.h>

#include "model/Card.h"
#include "model/FormCards.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/Hex.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::kPassword;
using test::kWalletPath;

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::string hexAt(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t size) {
    return test::toHex(b.data() + at, size);
}

// The bytes deciphered under the wallet's record key.
std::string plainAt(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t size, const KeyRecord& key) {
    std::vector<std::uint8_t> plain(size);
    key.encipher(b.data() + at, size, plain.data());
    return test::toHex(plain);
}

TEST(GoldenWallet, RecordsAndCardBodyLieAtTheirOffsets) {
    test::TestEnv t;
    ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, false), CreateResult::Ok);
    WalletFile w(t.env);
    ASSERT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    RecordHeader folder = w.newFolder(RecordId{}, false);
    folder.putName(u"Bank", w.recordKey());
    folder.setIconIndex(72);
    ASSERT_GE(w.appendFolder(folder), 0);

    std::unique_ptr<Card> card = w.newCard(folder.id());
    card->header()->putName(u"Visa", w.recordKey());
    card->header()->setFormRef(builtinFormRef(3));
    Field* pin = card->newField(7, t.strings);
    pin->setName(u"PIN");
    pin->setValue(u"1234");
    card->picture().setPlacement(3);
    ASSERT_TRUE(card->picture().set(std::vector<std::uint8_t>{1, 2, 3, 4, 5}, u"C:\\a.gif"));
    card->picture().setScaleToFit(true);
    ASSERT_TRUE(card->file(0).set(std::vector<std::uint8_t>{9, 8, 7, 6}, u"n.txt"));
    card->file(0).setTimes(SystemTime{2025, 6, 0, 15, 8, 30, 0, 0}, t.clock.localTime());
    ASSERT_GE(w.appendCard(*card), 0);
    const KeyRecord key = w.recordKey();
    w.close();

    const std::vector<std::uint8_t>& b = t.files.bytes(kWalletPath);
    const std::string now = "ea070c0004000a0009001e000f000000";  // 2026-12-10 09:30:15, a Thursday

    // The forms folder, then the folder, then the card, from offset 4980 on.
    const std::size_t forms = 4980;
    EXPECT_EQ(hexAt(b, forms, 16), "ffff000000001111ffffffff00010203");
    const std::size_t bank = forms + 748;
    EXPECT_EQ(hexAt(b, bank, 16), "7b595d8be858b948a9099a2ef5845a60");
    EXPECT_EQ(hexAt(b, bank + 32, 16), std::string(32, '0')) << "top level";
    EXPECT_EQ(hexAt(b, bank + 48, 4), "01000000") << "change flags: created";
    EXPECT_EQ(hexAt(b, bank + 52, 16), now) << "created";
    EXPECT_EQ(hexAt(b, bank + 68, 16), now) << "changed";
    EXPECT_EQ(plainAt(b, bank + 100, 10, key), "420061006e006b000000");
    EXPECT_EQ(hexAt(b, bank + 612, 4), "00000000") << "not deleted";
    EXPECT_EQ(hexAt(b, bank + 624, 4), "ffffffff") << "made by this program";
    EXPECT_EQ(hexAt(b, bank + 708, 40), "48000000" + std::string(72, '0')) << "icon 72, no custom icon, no body";

    const std::size_t visa = bank + 748;
    EXPECT_EQ(hexAt(b, visa, 16), "edbc169c56c2b4408d46efa4fd93fc3f");
    EXPECT_EQ(hexAt(b, visa + 32, 16), hexAt(b, bank + 16, 16)) << "parent: the folder";
    EXPECT_EQ(plainAt(b, visa + 100, 10, key), "56006900730061000000");
    EXPECT_EQ(hexAt(b, visa + 628, 16), "03000000" + std::string(24, '0')) << "built-in form 3";
    // Body: display 64, field 12 + 72 + 8 + 12, picture 12 + 48 + 8 + 12, file 12 + 68 + 8 + 12.
    ASSERT_EQ(u32At(b, visa + 740), 348u);
    ASSERT_EQ(b.size(), visa + 748 + 348);

    const std::size_t body = visa + 748;
    EXPECT_EQ(hexAt(b, body, 64),
              "00000000ffffff0000008000ffffff0000000000ffffff000000ff0009000000"
              "0000000000000000000000000900000000000000000000000000000000000000");
    const std::size_t field = body + 64;
    EXPECT_EQ(hexAt(b, field, 12),
              "00000000"
              "01000000"
              "5c000000");
    EXPECT_EQ(hexAt(b, field + 12, 72),
              "0700"
              "0000"
              "00000000"
              "ffffffff"
              "ffffffff"
              "08000000"
              "02000000" +
                  std::string(32, '0') +
                  "0c000000"
                  "04000000"
                  "00000000"
                  "00000000"
                  "14000000" +
                  std::string(24, '0'));
    EXPECT_EQ(plainAt(b, field + 84, 6, key), "500049004e00");
    EXPECT_EQ(hexAt(b, field + 90, 2), "0000");
    EXPECT_EQ(plainAt(b, field + 92, 8, key), "3100320033003400");
    EXPECT_EQ(hexAt(b, field + 100, 4), "00000000");

    const std::size_t picture = field + 104;
    EXPECT_EQ(hexAt(b, picture, 12),
              "00000000"
              "03000000"
              "44000000");
    EXPECT_EQ(hexAt(b, picture + 12, 48),
              "03000000"
              "00000000"
              "01000000"
              "03000000"
              "08000000"
              "03000000"
              "0c000000"
              "02000000" +
                  std::string(32, '0'))
        << "placement 3, scaled to fit, a GIF";
    EXPECT_EQ(plainAt(b, picture + 60, 5, key), "0102030405");
    EXPECT_EQ(plainAt(b, picture + 68, 10, key), "61002e00670069006600");

    const std::size_t file = picture + 80;
    EXPECT_EQ(hexAt(b, file, 12),
              "00000000"
              "06000000"
              "58000000");
    EXPECT_EQ(hexAt(b, file + 12, 68),
              "00000000"
              "e907060000000f0008001e0000000000" +
                  now +
                  "08000000"
                  "04000000"
                  "0c000000"
                  "02000000" +
                  std::string(32, '0'))
        << "file time, attach time, sizes";
    EXPECT_EQ(plainAt(b, file + 80, 4, key), "09080706");
    EXPECT_EQ(plainAt(b, file + 88, 10, key), "6e002e00740078007400");
}

TEST(GoldenWallet, DeletionMarkerKeepsTheHeaderWithItsMark) {
    test::TestEnv t;
    ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, true), CreateResult::Ok);
    WalletFile w(t.env);
    ASSERT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    t.tick();
    ASSERT_TRUE(w.remove(0));
    w.close();
    const std::vector<std::uint8_t>& b = t.files.bytes(kWalletPath);
    const std::size_t marker = 4980;
    EXPECT_EQ(hexAt(b, marker + 48, 4), "09000000") << "created, deleted";
    EXPECT_EQ(hexAt(b, marker + 84, 16), "ea070c0004000a0009001e0010000000") << "deleted a second later";
    EXPECT_EQ(hexAt(b, marker + 612, 4), "01000000");
    EXPECT_EQ(u32At(b, marker + 740), 0u);
}

}  // namespace
}  // namespace tw
