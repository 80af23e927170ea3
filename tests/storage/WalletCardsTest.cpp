#include <gtest/gtest.h>

#include <functional>

#include "model/Card.h"
#include "model/FormCards.h"
#include "model/Search.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/ChangePassword.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/CardFixtures.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::kPassword;
using test::kWalletPath;

std::vector<std::uint8_t> bodyBytes(const Card& card, const KeyRecord& key) {
    std::vector<std::uint8_t> body;
    EXPECT_TRUE(card.serializeBody(key, &body));
    return body;
}

class WalletCardsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, u"old hint", true), CreateResult::Ok);
        ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        folder = wallet.index().at(0).id();
    }

    // A card holding every field kind, a picture, a sound and ten attachments.
    std::int64_t addFullCard(const std::u16string& name) {
        std::unique_ptr<Card> card = wallet.newCard(folder);
        Card full = test::fullCard(t.strings);
        full.setHeader(*card->header());
        full.header()->putName(name, wallet.recordKey());
        return wallet.appendCard(full);
    }

    std::vector<std::uint8_t>& bytes() { return t.files.bytes(kWalletPath); }

    test::TestEnv t;
    WalletFile wallet{t.env};
    RecordId folder;
};

TEST_F(WalletCardsTest, FullCardRoundTripsThroughTheFile) {
    const std::int64_t at = addFullCard(u"Everything");
    ASSERT_GE(at, 0);
    const Card expected = test::fullCard(t.strings);
    wallet.close();

    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, true), OpenResult::Ok);
    std::unique_ptr<Card> loaded = wallet.loadCard(wallet.index().at(static_cast<std::size_t>(at)).id());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->header()->name(wallet.recordKey()), u"Everything");
    EXPECT_EQ(bodyBytes(*loaded, wallet.recordKey()), bodyBytes(expected, wallet.recordKey()));
    EXPECT_EQ(loaded->countFileAttachments(), 10u);
}

TEST_F(WalletCardsTest, SavingAnUnchangedCardTwiceKeepsTheSizeAndMovesItToTheEnd) {
    const std::int64_t first = addFullCard(u"First");
    const std::int64_t second = addFullCard(u"Second");
    ASSERT_GE(second, 0);
    const std::size_t size = bytes().size();
    std::unique_ptr<Card> card = wallet.loadCard(wallet.index().at(static_cast<std::size_t>(first)).id());
    ASSERT_TRUE(card);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(wallet.saveCard(*card), first) << "the index position stays";
        EXPECT_EQ(bytes().size(), size);
        const std::uint64_t recordSize = card->header()->storedSize();
        EXPECT_TRUE(isRecordStart(bytes().data() + bytes().size() - recordSize));
        EXPECT_EQ(RecordHeader{}.raw.size(), 748u);
    }
    wallet.close();
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, true), OpenResult::Ok);
    EXPECT_EQ(wallet.nameOf(wallet.index().count() - 1), u"First");
}

TEST_F(WalletCardsTest, DeleteLeavesAMarkerAndDropsTheCardFromLists) {
    const std::int64_t at = addFullCard(u"Doomed");
    const RecordId id = wallet.index().at(static_cast<std::size_t>(at)).id();
    ASSERT_TRUE(wallet.settings().addFavourite(id, t.clock.localTime()));
    wallet.searchResults().positions = {static_cast<std::size_t>(at)};
    const std::size_t before = WalletFile::kFirstRecord + 2 * RecordHeader::kSize;
    ASSERT_TRUE(wallet.remove(static_cast<std::size_t>(at)));
    EXPECT_EQ(bytes().size(), before + RecordHeader::kSize) << "only the 748-byte marker stays";
    EXPECT_FALSE(wallet.settings().isFavourite(id));
    EXPECT_TRUE(wallet.searchResults().positions.empty());
    EXPECT_EQ(wallet.loadCard(id), nullptr);
    ASSERT_EQ(wallet.flush(), 0);
    wallet.close();
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, true), OpenResult::Ok);
    EXPECT_EQ(wallet.index().count(), 2u);
}

TEST_F(WalletCardsTest, PasswordChangeReenciphersEveryRecord) {
    ASSERT_GE(addFullCard(u"Secret card"), 0);
    const Card expected = test::fullCard(t.strings);
    EXPECT_EQ(changePassword(wallet, u"not the password", u"new password", u"new hint"),
              PasswordChangeResult::WrongOldPassword);
    EXPECT_EQ(changePassword(wallet, kPassword, u"ab", u"new hint"), PasswordChangeResult::BadNewPassword);
    EXPECT_EQ(changePassword(wallet, kPassword, u"new \xD800 one", u"new hint"), PasswordChangeResult::BadNewPassword);
    ASSERT_EQ(changePassword(wallet, kPassword, u"new password", u"new hint"), PasswordChangeResult::Ok);
    EXPECT_EQ(t.prompt.shown.back().text, u"The password was changed.");
    wallet.close();

    EXPECT_EQ(wallet.readAll(kWalletPath, kPassword, true), OpenResult::WrongPassword);
    ASSERT_EQ(wallet.readAll(kWalletPath, u"new password", true), OpenResult::Ok);
    std::u16string hint;
    ASSERT_TRUE(wallet.keys().readHint(hint));
    EXPECT_EQ(hint, u"new hint");
    ASSERT_EQ(wallet.index().count(), 3u);
    EXPECT_EQ(wallet.nameOf(0), u"Personal");
    EXPECT_EQ(wallet.nameOf(2), u"Secret card");
    std::unique_ptr<Card> loaded = wallet.loadCard(wallet.index().at(2).id());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(bodyBytes(*loaded, wallet.recordKey()), bodyBytes(expected, wallet.recordKey()));
}

// Card bodies laid out here sub-record by sub-record, each enciphered part under `key`: what this
// program writes, and what it does not read.
struct OddBodies {
    static void sub(std::vector<std::uint8_t>& b, std::uint32_t type, const std::vector<std::uint8_t>& payload) {
        const std::size_t at = b.size();
        b.resize(at + 12, 0);
        putU32(b.data(), at + 4, type);
        putU32(b.data(), at + 8, static_cast<std::uint32_t>(payload.size()));
        b.insert(b.end(), payload.begin(), payload.end());
    }
    static std::vector<std::uint8_t> field(const KeyRecord& key) {
        Field f;
        f.setName(u"PIN");
        f.setValue(u"4711");
        std::vector<std::uint8_t> out;
        f.writePayload(key, out);
        putU32(out.data(), 4, 0xC0FFEE);  // a reserved word
        return out;
    }
    static std::vector<std::uint8_t> file(const KeyRecord& key, std::uint8_t seed) {
        Attachment a(AttachmentKind::File);
        a.set(test::testBytes(9, seed), u"scan.pdf");
        std::vector<std::uint8_t> out;
        a.writePayload(key, out);
        return out;
    }
    // A field, a sub-record of a type nobody knows, and eleven attached files.
    static std::vector<std::uint8_t> crowded(const KeyRecord& key) {
        std::vector<std::uint8_t> b(64, 0x11);
        sub(b, 1, field(key));
        sub(b, 9, test::testBytes(20, 40));
        for (std::uint8_t i = 0; i < 11; ++i) sub(b, 6, file(key, i));
        return b;
    }
    // A field, then a file whose sub-record runs 100 bytes past the body.
    static std::vector<std::uint8_t> overrun(const KeyRecord& key) {
        std::vector<std::uint8_t> b(64, 0x22);
        sub(b, 1, field(key));
        const std::size_t cut = b.size();
        sub(b, 6, file(key, 50));
        putU32(b.data(), cut + 8, getU32(b.data(), cut + 8) + 100);
        return b;
    }
};

// A password change deciphers and enciphers item by item, so a record it cannot read as a card
// is carried whole: every byte stays what it was, deciphered under the new key.
TEST_F(WalletCardsTest, PasswordChangeKeepsEveryByteOfRecordsItDoesNotRead) {
    const KeyRecord oldKey = wallet.recordKey();
    auto appendRaw = [&](const std::u16string& name, const std::vector<std::uint8_t>& body) {
        RecordHeader h = RecordHeader::create(RecordType::Card, recordIds().next(t.env.random, t.clock.localTime()),
                                              folder, t.clock.localTime());
        h.putName(name, oldKey);
        h.setBodyLength(static_cast<std::uint32_t>(body.size()));
        std::vector<std::uint8_t> record = recordBytes(h, t.clock.localTime());
        record.insert(record.end(), body.begin(), body.end());
        bytes().insert(bytes().end(), record.begin(), record.end());
        return record;
    };
    // A deletion marker is carried as it is.
    RecordHeader deleted = RecordHeader::create(RecordType::Card, recordIds().next(t.env.random, t.clock.localTime()),
                                                folder, t.clock.localTime());
    deleted.putName(u"Deleted", oldKey);
    ASSERT_GE(wallet.appendFolder(deleted), 0);
    ASSERT_TRUE(wallet.remove(wallet.index().count() - 1));
    wallet.close();
    const std::size_t markerAt = bytes().size() - RecordHeader::kSize;
    const std::vector<std::uint8_t> marker(bytes().begin() + static_cast<std::ptrdiff_t>(markerAt), bytes().end());
    const std::vector<std::uint8_t> shortBody = test::testBytes(40, 7);
    const std::vector<std::vector<std::uint8_t>> before = {
        appendRaw(u"Crowded", OddBodies::crowded(oldKey)),
        appendRaw(u"Overrun", OddBodies::overrun(oldKey)),
        appendRaw(u"Short", shortBody),
    };
    ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    t.tick();
    ASSERT_EQ(changePassword(wallet, kPassword, u"new password", std::nullopt), PasswordChangeResult::Ok);
    const KeyRecord newKey = wallet.recordKey();
    wallet.close();
    EXPECT_TRUE(std::equal(marker.begin(), marker.end(), bytes().begin() + static_cast<std::ptrdiff_t>(markerAt)))
        << "the deletion marker";

    // What lies past a sub-record's end cannot be told apart: the overrunning one stays as it was.
    std::vector<std::uint8_t> overrun = OddBodies::overrun(newKey);
    const std::vector<std::uint8_t> oldOverrun = OddBodies::overrun(oldKey);
    const std::size_t cut = 64 + 12 + OddBodies::field(newKey).size();
    std::copy(oldOverrun.begin() + static_cast<std::ptrdiff_t>(cut), oldOverrun.end(),
              overrun.begin() + static_cast<std::ptrdiff_t>(cut));
    const std::vector<std::vector<std::uint8_t>> bodies = {OddBodies::crowded(newKey), overrun, shortBody};
    const std::vector<std::uint8_t>& file = bytes();
    std::size_t at = file.size();
    for (const auto& record : before) at -= record.size();
    for (std::size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(i);
        const std::vector<std::uint8_t> after(file.begin() + static_cast<std::ptrdiff_t>(at),
                                              file.begin() + static_cast<std::ptrdiff_t>(at + before[i].size()));
        at += before[i].size();
        RecordHeader oldHeader, newHeader;
        std::copy_n(before[i].begin(), RecordHeader::kSize, oldHeader.raw.begin());
        std::copy_n(after.begin(), RecordHeader::kSize, newHeader.raw.begin());
        EXPECT_EQ(newHeader.name(newKey), oldHeader.name(oldKey));
        EXPECT_EQ(newHeader.changeFlags(), oldHeader.changeFlags() | change::kRenamed);
        // Apart from the name, the change flags and the change time, the header is as it was.
        for (std::size_t b = 0; b < RecordHeader::kSize; ++b) {
            const bool changes = (b >= 48 && b < 52) || (b >= 68 && b < 84) || (b >= 100 && b < 612);
            if (!changes) {
                EXPECT_EQ(after[b], before[i][b]) << "header byte " << b;
            }
        }
        const std::vector<std::uint8_t> body(after.begin() + RecordHeader::kSize, after.end());
        EXPECT_EQ(body, bodies[i]);
    }
}

// Each change sets its bit of the record header with the time of the change, when it is written;
// a write that changes nothing sets no bit and keeps the change time.
TEST_F(WalletCardsTest, ChangesSetTheirBitsWithTheChangeTime) {
    const std::int64_t card = addFullCard(u"Card");
    ASSERT_GE(card, 0);
    const RecordId id = wallet.index().at(static_cast<std::size_t>(card)).id();
    struct Step {
        const char* what;
        std::function<bool(WalletFile&)> change;
        std::uint32_t bit;  // 0: nothing changes
    };
    const Step steps[] = {
        {"saved as it was", [&](WalletFile& w) { return w.saveCard(*w.loadCard(id)) >= 0; }, 0},
        {"header written as it was",
         [&](WalletFile& w) { return w.rewriteHeader(w.headerAt(static_cast<std::size_t>(card))); }, 0},
        {"new icon",
         [&](WalletFile& w) {
             RecordHeader h = w.headerAt(static_cast<std::size_t>(card));
             h.setIconIndex(42);
             return w.rewriteHeader(h);
         },
         change::kIcon},
        {"new custom icon",
         [&](WalletFile& w) {
             std::unique_ptr<Card> c = w.loadCard(id);
             c->header()->setCustomIcon(test::testBytes(30));
             return w.saveCard(*c) >= 0;
         },
         change::kIcon},
        {"another custom icon",
         [&](WalletFile& w) {
             std::unique_ptr<Card> c = w.loadCard(id);
             c->header()->setCustomIcon(test::testBytes(30, 9));
             return w.saveCard(*c) >= 0;
         },
         change::kIcon},
        {"new form",
         [&](WalletFile& w) {
             RecordHeader h = w.headerAt(static_cast<std::size_t>(card));
             h.setFormRef(builtinFormRef(5));
             return w.rewriteHeader(h);
         },
         change::kForm},
        {"new value",
         [&](WalletFile& w) {
             std::unique_ptr<Card> c = w.loadCard(id);
             c->field(0).setValue(u"another value");
             return w.saveCard(*c) >= 0;
         },
         change::kContent},
        {"file attachment removed",
         [&](WalletFile& w) {
             std::unique_ptr<Card> c = w.loadCard(id);
             c->file(3).clear();
             return w.saveCard(*c) >= 0;
         },
         change::kContent},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        const RecordHeader before = wallet.headerAt(static_cast<std::size_t>(card));
        t.tick();
        ASSERT_TRUE(step.change(wallet));
        wallet.close();
        ASSERT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        const RecordHeader after = wallet.headerAt(static_cast<std::size_t>(card));
        EXPECT_EQ(after.changeFlags(), before.changeFlags() | step.bit);
        EXPECT_EQ(after.lastChange(), step.bit != 0 ? t.clock.localTime() : before.lastChange());
    }
    EXPECT_EQ(wallet.index().at(static_cast<std::size_t>(card)).changeFlags() & 0xFF, 0x71u);
}

// After every kind of write the index knows where each record now lies and what it is called,
// exactly as a fresh reading of the file finds them.
TEST_F(WalletCardsTest, IndexOffsetsAndNamesFollowEveryRewrite) {
    const std::int64_t first = addFullCard(u"First");
    const std::int64_t second = addFullCard(u"Second");
    const std::int64_t third = addFullCard(u"Third");
    ASSERT_GE(third, 0);
    auto matchesFile = [&] {
        WalletFile fresh(t.env);
        ASSERT_EQ(fresh.readAll(kWalletPath, kPassword, true), OpenResult::Ok);
        std::size_t live = 0;
        for (std::size_t i = 0; i < wallet.index().count(); ++i) {
            const IndexEntry& e = wallet.index().at(i);
            if (e.deleted()) continue;
            ++live;
            const std::int64_t at = fresh.index().find(e.id());
            ASSERT_GE(at, 0);
            const IndexEntry& f = fresh.index().at(static_cast<std::size_t>(at));
            EXPECT_EQ(e.offset(), f.offset()) << toUtf8(e.nameView());
            EXPECT_EQ(e.nameView(), f.nameView());
            EXPECT_EQ(e.storedSize(), f.storedSize());
            EXPECT_EQ(wallet.headerAt(i).raw, fresh.headerAt(static_cast<std::size_t>(at)).raw);
        }
        EXPECT_EQ(live, fresh.index().count());
    };
    const struct Step {
        const char* what;
        std::function<bool()> write;
    } steps[] = {
        {"a card saved moves to the end",
         [&] {
             std::unique_ptr<Card> card = wallet.loadCard(wallet.index().at(static_cast<std::size_t>(first)).id());
             return card && card->header()->setName(u"First again", wallet.recordKey(), t.clock.localTime()) &&
                    wallet.saveCard(*card) == first;
         }},
        {"a custom icon makes a header longer",
         [&] {
             RecordHeader h = wallet.headerAt(static_cast<std::size_t>(second));
             h.setCustomIcon(test::testBytes(300));
             return wallet.rewriteHeader(h);
         }},
        {"a removed card leaves its header", [&] { return wallet.remove(static_cast<std::size_t>(second)); }},
        {"a folder saved moves to the end",
         [&] {
             RecordHeader h = wallet.headerAt(0);
             h.putName(u"Renamed folder", wallet.recordKey());
             return wallet.saveFolder(h) == 0;
         }},
        {"a rename in place", [&] { return wallet.rename(static_cast<std::size_t>(third), u"Third renamed"); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ASSERT_TRUE(step.write());
        matchesFile();
    }
}

TEST_F(WalletCardsTest, CardsFromFormsCopiesAndSavedForms) {
    // A built-in form: named by string 20509, the form's icon, one field per definition.
    std::unique_ptr<Card> fromBuiltin = newCardFromForm(wallet, folder, builtinFormRef(10));
    ASSERT_TRUE(fromBuiltin);
    EXPECT_EQ(fromBuiltin->header()->name(wallet.recordKey()), u"New Card");
    EXPECT_EQ(fromBuiltin->header()->iconIndex(), 74);
    ASSERT_EQ(fromBuiltin->fieldCount(), 5u);
    EXPECT_EQ(fromBuiltin->field(1).kind(), 7) << "a password definition makes a password field";
    EXPECT_EQ(newCardFromForm(wallet, folder, builtinFormRef(43)), nullptr);

    fromBuiltin->field(0).setValue(u"1234");
    fromBuiltin->header()->putName(u"Bank", wallet.recordKey());
    const std::int64_t bank = wallet.appendCard(*fromBuiltin);
    ASSERT_GE(bank, 0);

    // Saved as a form: values cleared, parent is the forms folder.
    const std::int64_t form = saveCardAsForm(wallet, static_cast<std::size_t>(bank));
    ASSERT_GE(form, 0);
    const IndexEntry& formHeader = wallet.index().at(static_cast<std::size_t>(form));
    EXPECT_EQ(formHeader.parent(), wallet.index().at(static_cast<std::size_t>(wallet.index().formsFolder())).id());
    std::unique_ptr<Card> formCard = wallet.loadCard(formHeader.id());
    ASSERT_TRUE(formCard);
    EXPECT_TRUE(formCard->field(0).value().empty());

    // A card from the custom form is named after it with "*"; a copy of that copy gets "**".
    std::unique_ptr<Card> fromCustom = newCardFromForm(wallet, folder, customFormRef(formHeader.id()));
    ASSERT_TRUE(fromCustom);
    EXPECT_EQ(fromCustom->header()->name(wallet.recordKey()), u"Bank*");
    EXPECT_EQ(fromCustom->fieldCount(), 5u);
    const std::int64_t copy = wallet.appendCard(*fromCustom);
    const std::int64_t copyOfCopy =
        copyCard(wallet, wallet.index().at(static_cast<std::size_t>(copy)).id(), RecordId{});
    ASSERT_GE(copyOfCopy, 0);
    EXPECT_EQ(wallet.nameOf(static_cast<std::size_t>(copyOfCopy)), u"Bank**");
    EXPECT_TRUE(wallet.index().at(static_cast<std::size_t>(copyOfCopy)).parent().isZero());
    EXPECT_EQ(copyCard(wallet, folder, RecordId{}), -1) << "a folder is not copied as a card";
    EXPECT_EQ(copyCard(wallet, formHeader.id(), wallet.index().at(static_cast<std::size_t>(bank)).id()), -1)
        << "a card is no target";
}

TEST_F(WalletCardsTest, SearchFindsNamesFieldNamesAndValues) {
    auto add = [&](const std::u16string& name, const std::u16string& fieldName, const std::u16string& value) {
        std::unique_ptr<Card> card = wallet.newCard(folder);
        card->header()->putName(name, wallet.recordKey());
        Field* f = card->newField(1, t.strings);
        f->setName(fieldName);
        f->setValue(value);
        return wallet.appendCard(*card);
    };
    const LocalePatterns locale{u"M/d/yy", u"h:mm:ss tt", u":"};
    add(u"Alpha Bank", u"Number", u"111");
    add(u"Other", u"IBAN code", u"222");
    add(u"Third", u"Note", u"ask the ALPHA desk");
    const std::int64_t gone = add(u"Alpha Gone", u"x", u"y");
    ASSERT_TRUE(wallet.remove(static_cast<std::size_t>(gone)));

    EXPECT_EQ(searchCards(wallet, u"  alpha ", locale), 2u);
    EXPECT_EQ(wallet.searchResults().text, u"alpha");
    EXPECT_EQ(searchCards(wallet, u"ALPHA", locale), 2u) << "a text in capitals finds lower case";
    EXPECT_EQ(wallet.searchResults().text, u"ALPHA");
    EXPECT_EQ(searchCards(wallet, u"iban", locale), 1u) << "field names count";
    EXPECT_EQ(searchCards(wallet, u" a", locale), 0u) << "one character after trimming";
    EXPECT_EQ(searchCards(wallet, u"zzz", locale), 0u);

    for (int i = 0; i < 60; ++i) add(u"Many " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)), u"f", u"v");
    EXPECT_EQ(searchCards(wallet, u"many", locale), 48u);
    EXPECT_EQ(wallet.nameOf(wallet.searchResults().positions.front()), u"Many A");
}

}  // namespace
}  // namespace tw
