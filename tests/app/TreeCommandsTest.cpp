// The folder tree's commands: what the selection allows, the clipboard, paste, drop, delete,
// favourites, find, and the closing rule. Changes are checked by reopening the wallet file.
#include <gtest/gtest.h>

#include "app/InactivityRule.h"
#include "app/TreeCommands.h"
#include "model/FolderTree.h"
#include "support/TreeFixtures.h"

namespace tw::app {
namespace {

using test::kPassword;
using test::kWalletPath;

namespace tt = tree_type;

struct MaskCase {
    int type;
    int parentType;
    int clipboard;
    std::uint32_t mask;
};

TEST(PermissionMask, FollowsTheTableOfItemParentAndClipboard) {
    const MaskCase cases[] = {
        {tt::kCard, tt::kFolder, 0, 0x16DF},
        {tt::kCard, tt::kFolder, tt::kCard, 0x16FF},
        {tt::kCard, tt::kFolder, tt::kFolder, 0x16FF},
        {tt::kCard, tt::kFolder, tt::kFormsFolder, 0x16DF},
        {tt::kCard, tt::kFormsFolder, 0, 0x14D3},
        {tt::kCard, tt::kFormsFolder, tt::kCard, 0x14F3},
        {tt::kCard, tt::kFormsFolder, tt::kFolder, 0x14D3},
        {tt::kCard, tt::kFavourites, 0, 0x0E92},
        {tt::kCard, tt::kFavourites, tt::kCard, 0x0EB2},
        {tt::kCard, tt::kFavourites, tt::kFolder, 0x0E92},
        {tt::kCard, tt::kSearchResults, tt::kCard, 0x0E86},
        {tt::kCard, 0, tt::kCard, 0x0686},
        {tt::kFolder, 0, 0, 0x14CB},
        {tt::kFolder, tt::kFolder, tt::kCard, 0x14EB},
        {tt::kFolder, 0, tt::kFolder, 0x14EB},
        {tt::kFormsFolder, 0, 0, 0x0483},
        {tt::kFormsFolder, 0, tt::kCard, 0x04A3},
        {tt::kFormsFolder, 0, tt::kFolder, 0x0483},
        {tt::kFavourites, 0, 0, 0x0582},
        {tt::kFavourites, 0, tt::kCard, 0x05A2},
        {tt::kFavourites, 0, tt::kFolder, 0x0582},
        {tt::kSearchResults, 0, tt::kCard, 0x0582},
        {tt::kThird, 0, tt::kCard, 0x0582},
        {tt::kRecovered, 0, tt::kCard, 0x0082},
        {0, 0, 0, 0x0082},
    };
    for (const MaskCase& c : cases) {
        EXPECT_EQ(permissionMask(c.type, c.parentType, c.clipboard), c.mask)
            << "type " << c.type << " parent " << c.parentType << " clipboard " << c.clipboard;
    }
    // The Delete entry's label and state.
    EXPECT_EQ(deleteLabel(0x16DF), 20725u);
    EXPECT_EQ(deleteLabel(0x0582), 20726u);
    EXPECT_EQ(deleteLabel(0x0E92), 20727u);
    EXPECT_TRUE(deleteAllowed(0x0E92));
    EXPECT_FALSE(deleteAllowed(0x0483));
}

// Home/ (Bank card, Gym), Home/Old/ (Letter), Work/ (Badge), and the forms folder.
struct TreeCommandsTest : ::testing::Test {
    test::FixtureWallet w;
    std::size_t home = 0, old = 0, work = 0, bank = 0, gym = 0, letter = 0, badge = 0;

    void SetUp() override {
        home = w.addFolder(u"Home");
        old = w.addFolder(u"Old", w.id(home));
        work = w.addFolder(u"Work");
        bank = w.addCard(u"Bank card", w.id(home));
        gym = w.addCard(u"Gym", w.id(home));
        letter = w.addCard(u"Letter", w.id(old));
        badge = w.addCard(u"Badge", w.id(work));
    }
    TreeItem item(std::size_t position) { return recordItem(w.wallet, position); }
    // The wallet as it is read again from its file.
    std::string reopened() {
        (void)w.wallet.flush();
        w.wallet.close();
        EXPECT_EQ(w.wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        return test::renderTree(FolderTree::build(w.wallet));
    }
};

TEST_F(TreeCommandsTest, CopyThenPasteMakesASecondCardAndACutMovesOnce) {
    TreeClipboard clip;
    clip.set(ClipMode::Copy, w.wallet, bank);
    EXPECT_GE(paste(w.wallet, clip, item(work)).position, 0);
    EXPECT_EQ(clip.mode(), ClipMode::Copy);  // a copy can be pasted again

    clip.set(ClipMode::Cut, w.wallet, gym);
    const PasteResult moved = paste(w.wallet, clip, item(badge));  // a card stands for its folder
    EXPECT_TRUE(moved.moved);
    EXPECT_EQ(clip.mode(), ClipMode::None);
    EXPECT_LT(paste(w.wallet, clip, item(home)).position, 0);

    EXPECT_EQ(reopened(),
              "[Favourites]\n"
              "Home/\n  Bank card\n  Old/\n    Letter\n"
              "Work/\n  Badge\n  Bank card*\n  Gym\n"
              "My Forms/\n");
}

TEST_F(TreeCommandsTest, ACopyWhoseSourceWasDeletedCannotBePasted) {
    TreeClipboard clip;
    clip.set(ClipMode::Copy, w.wallet, bank);
    ASSERT_TRUE(w.wallet.remove(bank));
    EXPECT_EQ(clip.sourceType(w.wallet), 0);
    EXPECT_EQ(permissionMask(item(work), clip.sourceType(w.wallet)) & permission::kPaste, 0u);
    EXPECT_LT(paste(w.wallet, clip, item(work)).position, 0);

    // Any other command ends a cut; a copy stays.
    clip.set(ClipMode::Cut, w.wallet, gym);
    EXPECT_TRUE(clip.endCut());
    EXPECT_EQ(clip.mode(), ClipMode::None);
}

TEST_F(TreeCommandsTest, DropRules) {
    TreeItem favourites{tt::kFavourites, -1, 0, -1};
    const TreeItem forms = item(w.formsFolder());
    struct Case {
        std::size_t source;
        TreeItem target;
        DropAction action;
        std::int64_t folder;
    };
    const Case cases[] = {
        {home, item(old), DropAction::Beep, -1},                   // into its own sub-folder
        {home, item(letter), DropAction::Beep, -1},                // a card below stands for its folder
        {home, item(home), DropAction::Nothing, -1},               // on itself
        {old, item(home), DropAction::Nothing, -1},                // on its own parent
        {gym, item(bank), DropAction::Nothing, -1},                // a card on a card of its folder
        {gym, item(badge), DropAction::Move, (std::int64_t)work},  // moves into that card's folder
        {old, item(work), DropAction::Move, (std::int64_t)work},
        {gym, forms, DropAction::SaveAsForm, (std::int64_t)w.formsFolder()},
        {old, forms, DropAction::FoldersRefused, -1},
        {gym, favourites, DropAction::AddFavourite, -1},
        {work, favourites, DropAction::FoldersRefused, -1},
    };
    for (const Case& c : cases) {
        const DropPlan plan = planDrop(w.wallet, item(c.source), c.target);
        EXPECT_EQ(int(plan.action), int(c.action)) << "source " << c.source << " target " << c.target.position;
        if (c.action == DropAction::Move) {
            EXPECT_EQ(plan.folder, c.folder);
        }
    }

    const DropPlan plan = planDrop(w.wallet, item(old), item(work));
    EXPECT_GE(runDrop(w.wallet, item(old), plan), 0);
    EXPECT_EQ(reopened(),
              "[Favourites]\n"
              "Home/\n  Bank card\n  Gym\n"
              "Work/\n  Badge\n  Old/\n    Letter\n"
              "My Forms/\n");
}

TEST_F(TreeCommandsTest, DeletingAFolderAsksWithItsCountsAndTakesItsSubtreeOnly) {
    w.t.strings.set(22004, u"Folders %d, cards %d?");
    const DeletePlan plan = planDelete(w.wallet, item(home), w.t.strings);
    EXPECT_EQ(plan.kind, DeleteKind::Folder);
    EXPECT_EQ(plan.question, u"Folders 2, cards 3?");
    const DeleteResult result = runDelete(w.wallet, item(home), plan);
    EXPECT_TRUE(result.done);
    EXPECT_EQ(result.removed.size(), 5u);
    EXPECT_EQ(reopened(), "[Favourites]\nWork/\n  Badge\nMy Forms/\n");
}

TEST(TreeCommandsFaults, AFolderDeleteThatFailsPartWayKeepsTheRestReachable) {
    // Fail the k-th write of the delete, for every k until the delete goes through: whatever is
    // left hangs from the top level as before (nothing lands in the recovered entry), and a
    // delete that stopped after some records says so.
    bool sawPartial = false;
    for (std::uint64_t k = 1; k < 400; ++k) {
        test::FixtureWallet w;
        const std::size_t home = w.addFolder(u"Home");
        const std::size_t old = w.addFolder(u"Old", w.id(home));
        w.addCard(u"Letter", w.id(old));
        w.addCard(u"Bank card", w.id(home));
        w.addCard(u"Badge", w.id(w.addFolder(u"Work")));
        w.t.files.faults().failWriteAt = w.t.files.faults().writes + k;
        const TreeItem item = recordItem(w.wallet, home);
        const DeleteResult result = runDelete(w.wallet, item, planDelete(w.wallet, item, w.t.strings));
        w.t.files.resetFaults();
        EXPECT_EQ(result.partial, !result.done && !result.removed.empty());
        sawPartial = sawPartial || result.partial;
        (void)w.wallet.flush();
        w.wallet.close();
        ASSERT_EQ(w.wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
        const std::string tree = test::renderTree(FolderTree::build(w.wallet));
        EXPECT_EQ(tree.find("Recovered"), std::string::npos) << "k " << k << "\n" << tree;
        EXPECT_NE(tree.find("Badge"), std::string::npos) << "k " << k;
        if (result.done) {
            EXPECT_EQ(tree.find("Home"), std::string::npos);
            break;
        }
    }
    EXPECT_TRUE(sawPartial);
}

TEST_F(TreeCommandsTest, DeleteByKindOfItem) {
    w.t.strings.set(22001, u"Remove?");
    w.t.strings.set(22003, u"Delete card?");
    w.t.strings.set(22002, u"Delete form?");
    const std::size_t form = w.addCard(u"My form", w.id(w.formsFolder()));
    ASSERT_TRUE(addFavourite(w.wallet, gym));

    EXPECT_EQ(planDelete(w.wallet, item(w.formsFolder()), w.t.strings).kind, DeleteKind::FormsFolderRefused);
    EXPECT_EQ(planDelete(w.wallet, item(form), w.t.strings).question, u"Delete form?\n\n(My form)");
    EXPECT_EQ(planDelete(w.wallet, item(bank), w.t.strings).question, u"Delete card?\n\n(Bank card)");

    // Under the favourites only the list changes; the card stays.
    const TreeItem favourite{tt::kCard, static_cast<std::int64_t>(gym), tt::kFavourites, -1};
    const DeletePlan remove = planDelete(w.wallet, favourite, w.t.strings);
    EXPECT_EQ(remove.kind, DeleteKind::RemoveFromList);
    EXPECT_EQ(remove.question, u"Remove?\n\n(Gym)");
    EXPECT_TRUE(runDelete(w.wallet, favourite, remove).done);

    const DeletePlan card = planDelete(w.wallet, item(bank), w.t.strings);
    EXPECT_TRUE(runDelete(w.wallet, item(bank), card).done);
    EXPECT_EQ(reopened(),
              "[Favourites]\n"
              "Home/\n  Gym\n  Old/\n    Letter\n"
              "Work/\n  Badge\n"
              "My Forms/\n  My form\n");
}

TEST_F(TreeCommandsTest, FavouritesHoldThirtyTwoCardsOnce) {
    EXPECT_TRUE(addFavourite(w.wallet, gym));
    EXPECT_FALSE(addFavourite(w.wallet, gym));
    EXPECT_FALSE(addFavourite(w.wallet, home));  // folders are no favourites
    for (int i = 0; i < 31; ++i) ASSERT_TRUE(addFavourite(w.wallet, w.addCard(u"c", w.id(work))));
    EXPECT_FALSE(addFavourite(w.wallet, bank));
    EXPECT_EQ(w.wallet.settings().favouriteCount(), 32u);
}

TEST_F(TreeCommandsTest, FindRunsTextsAndMaintenanceCommands) {
    std::uint32_t clearType = 1, openLast = 1;
    const LocalePatterns locale{u"M/d/yyyy", u"h:mm tt", u":"};
    EXPECT_EQ(runFind(w.wallet, u"g", locale, clearType, openLast).kind, FindKind::TooShort);
    EXPECT_EQ(runFind(w.wallet, u"::ClearType", locale, clearType, openLast).kind, FindKind::Maintenance);
    EXPECT_EQ(clearType, 0u);
    EXPECT_EQ(runFind(w.wallet, u"::OPENLAST", locale, clearType, openLast).kind, FindKind::Maintenance);
    EXPECT_EQ(openLast, 0u);
    EXPECT_TRUE(runFind(w.wallet, u"::reset", locale, clearType, openLast).resetSettings);
    EXPECT_EQ(runFind(w.wallet, u"zz", locale, clearType, openLast).kind, FindKind::NothingFound);

    const FindOutcome found = runFind(w.wallet, u"a", locale, clearType, openLast);
    EXPECT_EQ(found.kind, FindKind::TooShort);
    const FindOutcome two =
        runFind(w.wallet, std::u16string(u"ba") + std::u16string(60, u' '), locale, clearType, openLast);
    EXPECT_EQ(two.kind, FindKind::Found);
    EXPECT_EQ(two.boxText.size(), kFindBoxLength);
    EXPECT_EQ(w.wallet.searchResults().positions, (std::vector<std::size_t>{bank, badge}));
}

TEST(InactivityRule, ClosesAfterItsIntervalOnTheElapsedClock) {
    InactivityRule rule;
    rule.touch(0);
    EXPECT_FALSE(rule.due(10 * InactivityRule::kMinute));  // interval 0: never
    rule.setInterval(1);
    EXPECT_FALSE(rule.due(59'000));
    EXPECT_TRUE(rule.due(60'000));
    rule.setInterval(5);
    EXPECT_FALSE(rule.due(4 * InactivityRule::kMinute + 59'999));
    EXPECT_TRUE(rule.due(5 * InactivityRule::kMinute));
    rule.touch(5 * InactivityRule::kMinute);
    EXPECT_FALSE(rule.due(6 * InactivityRule::kMinute));
}

}  // namespace
}  // namespace tw::app
