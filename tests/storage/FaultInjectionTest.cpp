// Every change to a wallet is run with a write failure (and a short write) injected at each write
// it makes in turn. Reopening afterwards, with the repair scan where needed, must give every
// record as it was, except the one being changed, which is either as it was or as intended.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "model/Card.h"
#include "storage/ChangePassword.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/CardFixtures.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::kPassword;
using test::kWalletPath;

struct RecordState {
    std::u16string name;
    RecordId parent;
    std::int32_t icon = 0;
    std::vector<std::uint8_t> body;  // a card's body, as its fields and attachments serialise
    friend bool operator==(const RecordState&, const RecordState&) = default;
};
using Snapshot = std::map<RecordId, RecordState>;

const std::u16string kNewPassword = u"another one";

// The wallet as it reads back: under the old password, else the new one, repaired if need be.
Snapshot snapshot(test::TestEnv& t) {
    t.files.resetFaults();
    t.prompt.answers.clear();
    WalletFile w(t.env);
    OpenResult r = w.openWithRepair(kWalletPath, kPassword, false);
    if (r == OpenResult::WrongPassword) r = w.openWithRepair(kWalletPath, kNewPassword, false);
    EXPECT_EQ(r, OpenResult::Ok);
    Snapshot s;
    const KeyRecord fixed = test::testRecordKey();
    for (std::size_t i = 0; i < w.index().count(); ++i) {
        const RecordHeader& h = w.index().at(i);
        RecordState state{w.nameOf(i), h.parent(), h.iconIndex(), {}};
        if (h.type() == RecordType::Card) {
            std::unique_ptr<Card> card = w.loadCard(h.id());
            EXPECT_TRUE(card) << "a card cannot be loaded";
            if (card) card->serializeBody(fixed, &state.body);
        }
        s[h.id()] = state;
    }
    return s;
}

// A wallet with a few folders, written to a fresh test environment.
void build(test::TestEnv& t) {
    ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, true), CreateResult::Ok);
    WalletFile w(t.env);
    ASSERT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
    for (const char16_t* name : {u"Bank", u"Web", u"Travel"}) {
        RecordHeader h = w.newFolder(RecordId{}, false);
        h.putName(name, w.recordKey());
        ASSERT_GE(w.appendFolder(h), 0);
    }
    for (const char16_t* name : {u"Visa", u"Mail"}) {
        std::unique_ptr<Card> card = w.newCard(w.index().at(2).id());
        Card full = test::fullCard(t.strings);
        full.setHeader(*card->header());
        full.header()->putName(name, w.recordKey());
        ASSERT_GE(w.appendCard(full), 0);
    }
}

struct Mutation {
    const char* name;
    std::function<void(WalletFile&)> run;
};

const Mutation kMutations[] = {
    {"append folder",
     [](WalletFile& w) {
         RecordHeader h = w.newFolder(RecordId{}, false);
         h.putName(u"New", w.recordKey());
         w.appendFolder(h);
     }},
    {"rename (header rewrite)", [](WalletFile& w) { w.rename(2, u"Renamed"); }},
    {"move", [](WalletFile& w) { w.move(3, w.index().at(2).id()); }},
    {"header rewrite touching both halves",
     [](WalletFile& w) {
         RecordHeader h = w.index().at(4);
         h.setParent(w.index().at(2).id());
         h.setIconIndex(99);
         w.rewriteHeader(h);
     }},
    {"save folder",
     [](WalletFile& w) {
         RecordHeader h = w.index().at(2);
         h.putName(u"Saved", w.recordKey());
         h.setIconIndex(12);
         w.saveFolder(h);
     }},
    {"delete", [](WalletFile& w) { w.remove(3); }},
    {"append card",
     [](WalletFile& w) {
         std::unique_ptr<Card> card = w.newCard(RecordId{});
         card->header()->putName(u"Fresh", w.recordKey());
         card->newField(1, w.env().strings)->setValue(u"value");
         w.appendCard(*card);
     }},
    {"save card",
     [](WalletFile& w) {
         std::unique_ptr<Card> card = w.loadCard(w.index().at(5).id());
         card->field(0).setValue(u"a longer value than before, so the card grows");
         card->removeField(3);
         w.saveCard(*card);
     }},
    {"delete card", [](WalletFile& w) { w.remove(5); }},
    {"change password", [](WalletFile& w) { changePassword(w, kPassword, kNewPassword, u"hint"); }},
    {"flush",
     [](WalletFile& w) {
         w.settings().setCloseMinutes(30, SystemTime{});
         w.keys().setHint(u"new hint", SystemTime{});
         w.flush();
     }},
};

TEST(FaultInjection, EveryWriteOfEveryChangeCanFail) {
    for (const Mutation& m : kMutations) {
        // A clean run tells how many writes the change makes and what it should give.
        test::TestEnv clean;
        build(clean);
        const Snapshot before = snapshot(clean);
        std::uint64_t writes = 0;
        {
            WalletFile w(clean.env);
            ASSERT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
            const std::uint64_t start = clean.files.faults().writes;
            m.run(w);
            writes = clean.files.faults().writes - start;
            w.flush();
        }
        const Snapshot after = snapshot(clean);
        ASSERT_GT(writes, 0u) << m.name;

        for (std::uint64_t k = 1; k <= writes; ++k) {
            for (const bool shortWrite : {false, true}) {
                test::TestEnv t;
                build(t);
                {
                    WalletFile w(t.env);
                    ASSERT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
                    const std::uint64_t start = t.files.faults().writes;
                    (shortWrite ? t.files.faults().shortWriteAt : t.files.faults().failWriteAt) = start + k;
                    m.run(w);
                }
                // A failed change leaves no bytes behind that would need the repair scan.
                {
                    WalletFile plain(t.env);
                    t.files.resetFaults();
                    OpenResult r = plain.readAll(kWalletPath, kPassword, true);
                    if (r == OpenResult::WrongPassword) r = plain.readAll(kWalletPath, kNewPassword, true);
                    EXPECT_EQ(r, OpenResult::Ok) << m.name << ": write " << k << (shortWrite ? " short" : " failed");
                }
                const Snapshot got = snapshot(t);
                for (const auto& [id, state] : got) {
                    const bool wasBefore = before.count(id) && before.at(id) == state;
                    const bool isAfter = after.count(id) && after.at(id) == state;
                    EXPECT_TRUE(wasBefore || isAfter)
                        << m.name << ": write " << k << (shortWrite ? " short" : " failed");
                }
                for (const auto& [id, state] : before) {
                    if (after.count(id) && after.at(id) == state) {
                        EXPECT_TRUE(got.count(id)) << m.name << ": untouched record lost at write " << k;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace tw
