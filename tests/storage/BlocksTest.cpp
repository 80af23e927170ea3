#include <gtest/gtest.h>

#include <cstring>

#include "platform/MemoryFile.h"
#include "storage/Bytes.h"
#include "storage/HeaderBlock.h"
#include "storage/KeyBlock.h"
#include "storage/SettingsBlock.h"
#include "support/Hex.h"

namespace tw {
namespace {

using test::toHex;

const SystemTime kCreated{2006, 5, 3, 17, 14, 25, 36, 789};
const std::array<std::u16string, 3> kSpecials = {u"Favourites", u"Found", u"Third"};

std::shared_ptr<std::vector<std::uint8_t>> bytesOf(const std::uint8_t* p, std::size_t n) {
    return std::make_shared<std::vector<std::uint8_t>>(p, p + n);
}

TEST(HeaderBlock, SignatureAndVersionDecideWhatOpens) {
    struct Case {
        const char* what;
        std::size_t size;
        std::size_t damageAt;  // 0: none
        const char* version;
        FileResult read;
        bool valid;
        HeaderBlock::Version version_;
    };
    const Case cases[] = {
        {"current", 76, 0, "(6.50) ", FileResult::Done, true, HeaderBlock::Version::Current},
        {"old format", 76, 0, "(5.10) ", FileResult::Done, true, HeaderBlock::Version::Old},
        {"both 5. and 6.", 76, 0, "5.6.", FileResult::Done, true, HeaderBlock::Version::Current},
        {"unknown version", 76, 0, "(4.00) ", FileResult::Done, true, HeaderBlock::Version::Unknown},
        {"75 bytes", 75, 0, "(6.50) ", FileResult::Short, false, HeaderBlock::Version::Current},
        {"one signature byte", 76, 20, "(6.50) ", FileResult::Done, false, HeaderBlock::Version::Current},
    };
    for (const auto& c : cases) {
        HeaderBlock h = HeaderBlock::create();
        std::memset(h.raw.data() + HeaderBlock::kVersionAt, 0, 8);
        std::memcpy(h.raw.data() + HeaderBlock::kVersionAt, c.version, std::strlen(c.version));
        if (c.damageAt) h.raw[c.damageAt] ^= 0x01;
        auto file = makeMemoryFile(bytesOf(h.raw.data(), c.size));
        HeaderBlock read;
        EXPECT_EQ(read.read(file.get()), c.read) << c.what;
        EXPECT_EQ(read.valid, c.valid) << c.what;
        if (c.read == FileResult::Done) {
            EXPECT_EQ(read.version(), c.version_) << c.what;
        }
    }
}

TEST(HeaderBlock, WriteSetsCurrentVersionAndRefusesUnreadHeader) {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    auto file = makeMemoryFile(bytes);
    HeaderBlock h;
    EXPECT_EQ(h.write(file.get()), FileResult::NoBuffer);
    h = HeaderBlock::create();
    std::memcpy(h.raw.data() + HeaderBlock::kVersionAt, "(5.00) ", 7);
    ASSERT_EQ(h.write(file.get()), FileResult::Done);
    ASSERT_EQ(bytes->size(), 76u);
    EXPECT_EQ(std::string(bytes->begin() + 64, bytes->begin() + 76), std::string("(6.50) \0WM\0\0", 12));
}

// The chosen signature and check phrase are part of every stored wallet: pin their bytes, and
// the keys and check value of one password computed independently of this code.
TEST(PinnedChoices, SignatureCheckPhraseAndKeys) {
    EXPECT_EQ(toHex(kSignature),
              "48616c766f727367617264656eae2054616c6c6f776d657265ae2046696c650d0a7777772e68616c766f727367617264656e"
              "2e636f6d0d0a");
    EXPECT_EQ(checkPhrase(), u"HGTM-6:key check phrase 2006");

    KeyBlock k;
    k.create(kCreated, u"secret", std::nullopt, kSpecials);
    EXPECT_EQ(toHex(makeFileKey(kCreated)), "04402a89460bb470251906dfdaa84f9c");
    EXPECT_EQ(toHex(std::string(reinterpret_cast<const char*>(k.recordKey.key()), 16)),
              "0f99a05e03ba0e1d96f3507c3f71cfeb");
    EXPECT_EQ(toHex(k.checkValue()), "942fb58604cef09b3dca585431a16191");
}

TEST(Keys, FileKeyIgnoresHourAndMilliseconds) {
    SystemTime other = kCreated;
    other.hour = 3;
    other.milliseconds = 1;
    EXPECT_EQ(makeFileKey(other), makeFileKey(kCreated));
    other.second = 37;
    EXPECT_NE(makeFileKey(other), makeFileKey(kCreated));
}

TEST(KeyBlock, PasswordLengthRules) {
    struct Case {
        std::size_t length;
        bool takesPart;
    };
    const Case cases[] = {{2, false}, {3, true}, {23, true}, {24, true}, {25, false}};
    for (const auto& c : cases) {
        const std::u16string password(c.length, u'p');
        KeyBlock k;
        k.create(kCreated, password, std::nullopt, kSpecials);
        EXPECT_EQ(k.hasCheckValue(), c.takesPart) << c.length;
        EXPECT_EQ(k.verifyPassword(password), c.takesPart) << c.length;
        if (!c.takesPart) {
            // The fallback pass phrase keys the records.
            EXPECT_EQ(toHex(std::string(reinterpret_cast<const char*>(k.recordKey.key()), 16)),
                      "99a6998db3946ef1c048268b319315f6");
        }
    }
    KeyBlock k;
    k.create(kCreated, u"right", std::nullopt, kSpecials);
    EXPECT_FALSE(k.verifyPassword(u"wrong"));
    EXPECT_FALSE(k.verified);
    EXPECT_TRUE(k.verifyPassword(u"right"));
    EXPECT_TRUE(k.verified);
}

TEST(KeyBlock, OldFormatCheckValueIsAcceptedAndReplaced) {
    KeyBlock k;
    k.create(kCreated, u"secret", std::nullopt, kSpecials);
    const Key16 current = k.checkValue();
    // The old format kept the record key itself as the check value.
    std::memcpy(k.raw.data() + KeyBlock::kCheckValue, k.recordKey.key(), 16);
    k.changed = false;
    EXPECT_FALSE(k.verifyPassword(u"other"));
    EXPECT_FALSE(k.changed);
    EXPECT_TRUE(k.verifyPassword(u"secret"));
    EXPECT_TRUE(k.changed);
    EXPECT_EQ(k.checkValue(), current);
}

TEST(KeyBlock, LayoutOffsets) {
    KeyBlock k;
    k.create(kCreated, u"secret", u"my hint", kSpecials);
    const std::uint8_t* p = k.raw.data();
    EXPECT_EQ(toHex(p, 16), "12a2425d1b03d944a2cadc16cae4f927");
    EXPECT_EQ(toHex(p + 3132, 16), "41fb389092b5fc47825daf7493ac18af");
    EXPECT_EQ(getSystemTime(p, 76), kCreated);
    EXPECT_EQ(getSystemTime(p, 16), kCreated);
    EXPECT_EQ(getU32(p, 32), 1u | 2u | 16u);
    EXPECT_EQ(getU32(p, 36), 1u);
    // Icons of the special entries lie in the order 1, 3, 2.
    EXPECT_EQ(getU32(p, 2992), 88u);
    EXPECT_EQ(getU32(p, 2996), 78u);
    EXPECT_EQ(getU32(p, 3000), 128u);
    // Hint and names are enciphered under the file key: readable without the password.
    KeyRecord fileKey;
    const Key16 fk = makeFileKey(kCreated);
    fileKey.set(fk.data());
    std::uint8_t plain[512];
    fileKey.encipher(p + 432, 512, plain);
    EXPECT_EQ(getText16(plain, 512), u"my hint");
    fileKey.encipher(p + 2736, 128, plain);
    EXPECT_EQ(getText16(plain, 128), u"Found");
    for (std::size_t at : {92u, 112u, 128u, 944u, 3004u}) EXPECT_EQ(p[at], 0) << at;
}

TEST(KeyBlock, ReadRestoresKeysAndRefusesDamagedMagic) {
    KeyBlock k;
    k.create(kCreated, u"secret", u"hint", kSpecials);
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    SequenceRandom random(7);
    ASSERT_EQ(k.write(makeMemoryFile(bytes).get(), random), FileResult::Done);
    EXPECT_FALSE(k.changed);

    KeyBlock read;
    ASSERT_EQ(read.read(makeMemoryFile(bytes).get()), FileResult::Done);
    std::u16string text;
    std::uint32_t icon = 0;
    ASSERT_TRUE(read.readHint(text));
    EXPECT_EQ(text, u"hint");
    ASSERT_TRUE(read.readSpecial(3, text, icon));
    EXPECT_EQ(text, u"Third");
    EXPECT_EQ(icon, 78u);
    EXPECT_FALSE(read.readSpecial(4, text, icon));
    EXPECT_TRUE(read.verifyPassword(u"secret"));

    for (std::size_t at : {std::size_t{0}, std::size_t{15}, std::size_t{3132}, std::size_t{3147}}) {
        auto damaged = std::make_shared<std::vector<std::uint8_t>>(*bytes);
        (*damaged)[at] ^= 0x80;
        KeyBlock bad;
        EXPECT_EQ(bad.read(makeMemoryFile(damaged).get()), FileResult::BadMagic) << at;
    }
}

TEST(KeyBlock, EveryWriteChangesOnlyTheFiller) {
    KeyBlock k;
    k.create(kCreated, u"secret", u"hint", kSpecials);
    auto first = std::make_shared<std::vector<std::uint8_t>>();
    auto second = std::make_shared<std::vector<std::uint8_t>>();
    SequenceRandom random(3);
    ASSERT_EQ(k.write(makeMemoryFile(first).get(), random), FileResult::Done);
    ASSERT_EQ(k.write(makeMemoryFile(second).get(), random), FileResult::Done);
    auto isFiller = [](std::size_t at) {
        return (at >= 56 && at < 76) || (at >= 108 && at < 112) || (at >= 124 && at < 128) || (at >= 400 && at < 432);
    };
    std::size_t differing = 0;
    for (std::size_t at = 0; at < KeyBlock::kSize; ++at) {
        if (isFiller(at)) {
            differing += (*first)[at] != (*second)[at];
        } else {
            EXPECT_EQ((*first)[at], (*second)[at]) << at;
        }
    }
    EXPECT_GT(differing, 50u);
}

TEST(KeyBlock, HintAndSpecialEntryLimits) {
    KeyBlock k;
    k.create(kCreated, u"secret", std::nullopt, kSpecials);
    std::u16string text;
    EXPECT_FALSE(k.readHint(text)) << "no hint stores zeros";
    EXPECT_TRUE(k.setHint(std::u16string(300, u'h'), kCreated));
    ASSERT_TRUE(k.readHint(text));
    EXPECT_EQ(text.size(), 255u);
    EXPECT_TRUE(k.setSpecial(2, std::u16string(70, u's'), KeyBlock::kKeepIcon, kCreated));
    std::uint32_t icon = 0;
    ASSERT_TRUE(k.readSpecial(2, text, icon));
    EXPECT_EQ(text.size(), 63u);
    EXPECT_EQ(icon, 128u) << "0xFFFFFFFF keeps the stored icon";
    // A cut never leaves half a character.
    EXPECT_TRUE(k.setHint(std::u16string(254, u'h') + u"\U0001F600", kCreated));
    ASSERT_TRUE(k.readHint(text));
    EXPECT_EQ(text, std::u16string(254, u'h'));
    EXPECT_TRUE(k.setSpecial(3, std::u16string(62, u's') + u"\U0001F600", KeyBlock::kKeepIcon, kCreated));
    ASSERT_TRUE(k.readSpecial(3, text, icon));
    EXPECT_EQ(text, std::u16string(62, u's'));
    KeyBlock unkeyed;
    EXPECT_FALSE(unkeyed.setHint(u"x", kCreated));

    // Areas filled to their end without a terminator still give at most 255 and 63 characters.
    std::uint8_t plain[KeyBlock::kHintSize];
    for (std::size_t i = 0; i < sizeof plain; i += 2) putU16(plain, i, u'f');
    k.fileKey.encipher(plain, KeyBlock::kHintSize, k.raw.data() + KeyBlock::kHint);
    k.fileKey.encipher(plain, KeyBlock::kSpecialNameSize, k.raw.data() + KeyBlock::kSpecialName1);
    ASSERT_TRUE(k.readHint(text));
    EXPECT_EQ(text, std::u16string(255, u'f'));
    ASSERT_TRUE(k.readSpecial(1, text, icon));
    EXPECT_EQ(text, std::u16string(63, u'f'));
}

TEST(SettingsBlock, CreationValuesAndMagics) {
    const SettingsBlock s = SettingsBlock::create();
    const std::uint8_t* p = s.raw.data();
    EXPECT_EQ(toHex(p, 16), "c8f7824e690d114499859edc1420e9ab");
    EXPECT_EQ(toHex(p + 1740, 16), "aa01b0680f55ce4e9d3bea3814c6e6ee");
    const CardDisplayWords display = s.defaultDisplay();
    EXPECT_EQ(display,
              (CardDisplayWords{0, 0xFFFFFF, 0x800000, 0xFFFFFF, 0, 0xFFFFFF, 0xFF0000, 9, 0, 0, 0, 9, 0, 0, 0, 0}));
    EXPECT_EQ(getU32(p, 100), 5u);
    EXPECT_EQ(getU32(p, 104), 5u);
    EXPECT_EQ(getU32(p, 112), 5u);
    EXPECT_EQ(getU32(p, 124), 0xFF0000u);
    EXPECT_EQ(getU32(p, 128), 0u);

    auto bytes = std::make_shared<std::vector<std::uint8_t>>(s.raw.begin(), s.raw.end());
    (*bytes)[1750] ^= 1;
    SettingsBlock read;
    EXPECT_EQ(read.read(makeMemoryFile(bytes).get()), FileResult::BadMagic);
}

TEST(SettingsBlock, FavouritesList) {
    SettingsBlock s = SettingsBlock::create();
    auto id = [](std::uint8_t n) {
        RecordId r;
        r.bytes[0] = n;
        return r;
    };
    for (std::uint8_t n = 1; n <= 32; ++n) EXPECT_TRUE(s.addFavourite(id(n), kCreated));
    EXPECT_FALSE(s.addFavourite(id(33), kCreated)) << "full";
    EXPECT_EQ(s.raw[300], 1);
    EXPECT_EQ(s.raw[300 + 16 * 31], 32);
    EXPECT_TRUE(s.removeFavourite(id(5), kCreated));
    EXPECT_EQ(s.favouriteCount(), 31u);
    EXPECT_TRUE(s.favourite(31).isZero());
    EXPECT_EQ(s.favourite(4), id(6)) << "later slots move up";
    EXPECT_FALSE(s.addFavourite(id(6), kCreated)) << "already present";
    EXPECT_TRUE(s.addFavourite(id(40), kCreated));
    EXPECT_EQ(s.favourite(31), id(40));
    EXPECT_TRUE(s.changeBits() & SettingsBlock::kFavouritesChanged);
    s.clearFavourites(kCreated);
    EXPECT_EQ(s.favouriteCount(), 0u);
}

}  // namespace
}  // namespace tw
