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
        const IndexEntry& h = w.index().at(i);
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
         RecordHeader h = w.headerAt(4);
         h.setParent(w.index().at(2).id());
         h.setIconIndex(99);
         w.rewriteHeader(h);
     }},
    {"save folder",
     [](WalletFile& w) {
         RecordHeader h = w.headerAt(2);
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

// Runs a change on a fresh wallet with `arm` setting the faults (given the counters at the start);
// then checks what the wallet reads back as: with `whole`, it opens without the repair scan.
// Every record is as before or as after the change, and no untouched record is lost.
struct Expected {
    Snapshot before;
    Snapshot after;
    std::uint64_t writes = 0;
    std::uint64_t syncs = 0;
};

Expected cleanRun(const Mutation& m) {
    test::TestEnv clean;
    build(clean);
    Expected e;
    e.before = snapshot(clean);
    {
        WalletFile w(clean.env);
        EXPECT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        const FaultPlan start = clean.files.faults();
        m.run(w);
        w.flush();
        e.writes = clean.files.faults().writes - start.writes;
        e.syncs = clean.files.faults().syncs - start.syncs;
    }
    e.after = snapshot(clean);
    return e;
}

void runWithFault(const Mutation& m, const Expected& e, const std::function<void(FaultPlan&)>& arm,
                  const std::string& label, bool whole) {
    SCOPED_TRACE(std::string(m.name) + ": " + label);
    test::TestEnv t;
    build(t);
    {
        WalletFile w(t.env);
        ASSERT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        arm(t.files.faults());
        m.run(w);
        w.flush();
    }
    {
        // A failed change leaves no bytes behind that would need the repair scan; a crash may
        // leave a last record cut short, which readers pass over.
        WalletFile plain(t.env);
        t.files.resetFaults();
        OpenResult r = plain.readAll(kWalletPath, kPassword, true);
        if (r == OpenResult::WrongPassword) r = plain.readAll(kWalletPath, kNewPassword, true);
        EXPECT_EQ(r, OpenResult::Ok);
        if (whole) {
            EXPECT_FALSE(plain.cutShortAt());
        }
    }
    const Snapshot got = snapshot(t);
    for (const auto& [id, state] : got) {
        const bool wasBefore = e.before.count(id) && e.before.at(id) == state;
        const bool isAfter = e.after.count(id) && e.after.at(id) == state;
        // After a crash, the repair keeps of a new record what the file held of it.
        const bool partlyNew = !whole && !e.before.count(id) && e.after.count(id) &&
                               e.after.at(id).name == state.name && e.after.at(id).parent == state.parent;
        EXPECT_TRUE(wasBefore || isAfter || partlyNew);
    }
    for (const auto& [id, state] : e.before) {
        if (e.after.count(id) && e.after.at(id) == state) {
            EXPECT_TRUE(got.count(id)) << "an untouched record was lost";
        }
    }
}

TEST(FaultInjection, EveryWriteOfEveryChangeCanFail) {
    for (const Mutation& m : kMutations) {
        const Expected e = cleanRun(m);
        ASSERT_GT(e.writes, 0u) << m.name;
        for (std::uint64_t k = 1; k <= e.writes; ++k) {
            runWithFault(
                m, e, [k](FaultPlan& f) { f.failWriteAt = f.writes + k; }, "write " + std::to_string(k) + " failed",
                true);
            runWithFault(
                m, e, [k](FaultPlan& f) { f.shortWriteAt = f.writes + k; }, "write " + std::to_string(k) + " short",
                true);
        }
    }
}

// A sync that fails is a write that failed: the change is taken back (or was never swapped in).
TEST(FaultInjection, EverySyncOfEveryChangeCanFail) {
    for (const Mutation& m : kMutations) {
        const Expected e = cleanRun(m);
        ASSERT_GT(e.syncs, 0u) << m.name;
        for (std::uint64_t k = 1; k <= e.syncs; ++k) {
            runWithFault(
                m, e, [k](FaultPlan& f) { f.failSyncAt = f.syncs + k; }, "sync " + std::to_string(k) + " failed", true);
            runWithFault(
                m, e, [k](FaultPlan& f) { f.shortSyncAt = f.syncs + k; }, "sync " + std::to_string(k) + " short", true);
        }
    }
}

// The program stops in the middle of an append: after the record's header, before its body (or
// halfway through a record that has none). Readers still read the wallet; the repair keeps what
// it can, and every other record is as it was.
TEST(FaultInjection, ACrashInsideAnAppendLeavesTheWalletReadable) {
    for (const Mutation& m : kMutations) {
        if (std::string(m.name).rfind("append", 0) != 0) continue;
        const Expected e = cleanRun(m);
        for (std::uint64_t k = 1; k <= e.writes; ++k) {
            for (const std::uint64_t keep : {std::uint64_t{RecordHeader::kSize}, FaultPlan::kNever}) {
                runWithFault(
                    m, e,
                    [k, keep](FaultPlan& f) {
                        f.crashAtWrite = f.writes + k;
                        f.crashKeep = keep;
                    },
                    "crash in write " + std::to_string(k) +
                        (keep == FaultPlan::kNever ? " halfway" : " after the header"),
                    false);
            }
        }
    }
}

}  // namespace
}  // namespace tw
