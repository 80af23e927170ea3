// Every change to a wallet is run with a write failure (and a short write) injected at each write
// it makes in turn. Reopening afterwards, with the repair scan where needed, must give every
// record as it was, except the one being changed, which is either as it was or as intended.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

using test::kPassword;
using test::kWalletPath;

struct RecordState {
    std::u16string name;
    RecordId parent;
    std::int32_t icon = 0;
    friend bool operator==(const RecordState&, const RecordState&) = default;
};
using Snapshot = std::map<RecordId, RecordState>;

Snapshot snapshot(test::TestEnv& t, const std::u16string& password) {
    t.files.resetFaults();
    t.prompt.answers.clear();
    WalletFile w(t.env);
    const OpenResult r = w.openWithRepair(kWalletPath, password, true);
    EXPECT_EQ(r, OpenResult::Ok);
    Snapshot s;
    for (std::size_t i = 0; i < w.index().count(); ++i) {
        const RecordHeader& h = w.index().at(i);
        s[h.id()] = RecordState{w.nameOf(i), h.parent(), h.iconIndex()};
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
    {"flush", [](WalletFile& w) {
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
        const Snapshot before = snapshot(clean, kPassword);
        std::uint64_t writes = 0;
        {
            WalletFile w(clean.env);
            ASSERT_EQ(w.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
            const std::uint64_t start = clean.files.faults().writes;
            m.run(w);
            writes = clean.files.faults().writes - start;
            w.flush();
        }
        const Snapshot after = snapshot(clean, kPassword);
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
                const Snapshot got = snapshot(t, kPassword);
                for (const auto& [id, state] : got) {
                    const bool wasBefore = before.count(id) && before.at(id) == state;
                    const bool isAfter = after.count(id) && after.at(id) == state;
                    EXPECT_TRUE(wasBefore || isAfter) << m.name << ": write " << k << (shortWrite ? " short" : " failed");
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
