#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <vector>

#include "model/FolderTree.h"
#include "support/TreeFixtures.h"

namespace tw {
namespace {

using test::FixtureWallet;
using test::renderTree;

TEST(FolderTreeTest, ShowsChildrenFirstChainsAndGathersWhatHasNoLiveWayToTheTop) {
    FixtureWallet f;
    // A > B > C, stored C first, then B, then A.
    const RecordHeader a = f.folderHeader(u"A");
    const RecordHeader b = f.folderHeader(u"B", a.id());
    const RecordHeader c = f.folderHeader(u"C", b.id());
    f.addCard(u"note", c.id());
    f.append(c);
    f.append(b);
    f.append(a);
    // A parent that is not in the wallet.
    const RecordHeader ghost = f.folderHeader(u"never written");
    const std::size_t orphan = f.addFolder(u"Orphan", ghost.id());
    f.addCard(u"lost", f.id(orphan));
    // Two folders that are each other's parent, and one that is its own.
    RecordHeader x = f.folderHeader(u"X");
    RecordHeader y = f.folderHeader(u"Y", x.id());
    x.setParent(y.id());
    f.append(x);
    f.append(y);
    RecordHeader self = f.folderHeader(u"Self");
    self.setParent(self.id());
    f.append(self);
    // Deleted records, and a card whose folder was deleted under it.
    const std::size_t gone = f.addFolder(u"Gone");
    f.addCard(u"stranded", f.id(gone));
    const std::size_t deletedCard = f.addCard(u"deleted", a.id());
    ASSERT_TRUE(f.wallet.remove(gone));
    ASSERT_TRUE(f.wallet.remove(deletedCard));

    const std::vector<std::uint8_t> before = f.t.files.bytes(test::kWalletPath);
    const FolderTree tree = FolderTree::build(f.wallet);
    // What the top level cannot reach hangs from the recovered entry, each chain under its head
    // (a loop under its first record); deleted records stay out.
    EXPECT_EQ(renderTree(tree),
              "[Favourites]\n"
              "A/\n"
              "  B/\n"
              "    C/\n"
              "      note\n"
              "My Forms/\n"
              "[Recovered]\n"
              "  stranded\n"
              "  Orphan/\n"
              "    lost\n"
              "  Self/\n"
              "  X/\n"
              "    Y/\n");
    EXPECT_EQ(f.t.files.bytes(test::kWalletPath), before) << "a view changes nothing";
    const auto orphanNode = tree.find(static_cast<std::int64_t>(orphan));
    ASSERT_TRUE(orphanNode);
    EXPECT_EQ(tree.node(tree.node(*orphanNode).parent).type, tree_type::kRecovered);
    EXPECT_EQ(tree.find(WalletIndex::kRecoveredNode), tree.node(*orphanNode).parent);
    EXPECT_FALSE(tree.find(static_cast<std::int64_t>(deletedCard)));
    const auto cNode = tree.find(f.wallet.index().find(c.id()));
    ASSERT_TRUE(cNode);
    EXPECT_EQ(tree.node(*cNode).depth, 2u);
    EXPECT_EQ(tree.node(tree.node(*cNode).parent).label, u"B");
}

TEST(FolderTreeTest, SpecialEntriesTakeTheirLabelsAndIconsAndListLiveCardsOnly) {
    FixtureWallet f;
    const std::size_t folder = f.addFolder(u"F");
    const std::size_t bank = f.addCard(u"Bank", f.id(folder));
    const std::size_t alpha = f.addCard(u"alpha", f.id(folder));
    const std::size_t dropped = f.addCard(u"dropped", f.id(folder));
    ASSERT_TRUE(f.wallet.remove(dropped));
    ASSERT_TRUE(f.wallet.keys().setSpecial(1, u"Stars", 7, f.t.clock.localTime()));
    SettingsBlock& settings = f.wallet.settings();
    const SystemTime now = f.t.clock.localTime();
    // A folder, an unknown id and a deleted card in the list are skipped.
    for (const RecordId& id : {f.id(bank), f.id(folder), f.folderHeader(u"unknown").id(), f.id(dropped), f.id(alpha)})
        ASSERT_TRUE(settings.addFavourite(id, now));

    const FolderTree before = FolderTree::build(f.wallet);
    EXPECT_EQ(renderTree(before),
              "[Stars]\n"
              "  alpha\n"
              "  Bank\n"
              "F/\n"
              "  alpha\n"
              "  Bank\n"
              "My Forms/\n")
        << "no find-results entry before a find has found something";

    f.wallet.searchResults().positions = {bank, dropped, alpha};
    f.wallet.searchResults().text = u"an";
    const FolderTree tree = FolderTree::build(f.wallet);
    EXPECT_EQ(renderTree(tree),
              "[Find Results - 'an']\n"
              "  Bank\n"
              "  alpha\n"
              "[Stars]\n"
              "  alpha\n"
              "  Bank\n"
              "F/\n"
              "  alpha\n"
              "  Bank\n"
              "My Forms/\n");

    const auto stars = tree.find(WalletIndex::kFavouritesNode);
    ASSERT_TRUE(stars);
    EXPECT_EQ(tree.node(*stars).type, tree_type::kFavourites);
    EXPECT_EQ(tree.node(*stars).icon, 7);
    const auto found = tree.find(WalletIndex::kSearchResultsNode);
    ASSERT_TRUE(found);
    EXPECT_EQ(tree.node(*found).type, tree_type::kSearchResults);
    // The found cards keep the order of the result list (file order), unlike the sorted favourites.
    const TreeNode& firstFound = tree.node(tree.node(*found).children.front());
    EXPECT_EQ(firstFound.position, static_cast<std::int64_t>(bank));
    EXPECT_EQ(firstFound.type, tree_type::kCard);
    // A record's own node is the one in its folder, not its copies under the special entries.
    const auto bankNode = tree.find(static_cast<std::int64_t>(bank));
    ASSERT_TRUE(bankNode);
    EXPECT_EQ(tree.node(tree.node(*bankNode).parent).label, u"F");
}

TEST(FolderTreeTest, SortOrder) {
    const std::u16string a63(63, u'a');
    struct Case {
        int typeA;
        std::u16string labelA;
        int typeB;
        std::u16string labelB;
        int expected;  // sign
    };
    const Case cases[] = {
        {tree_type::kSearchResults, u"z", tree_type::kFavourites, u"a", -1},
        {tree_type::kFavourites, u"z", tree_type::kCard, u"a", -1},
        {tree_type::kCard, u"zeta", tree_type::kFolder, u"alpha", -1},
        {tree_type::kFolder, u"alpha", tree_type::kFolder, u"Zeta", -1},
        {tree_type::kCard, u"Bank", tree_type::kCard, u"alpha", 1},
        {tree_type::kCard, u"ABC", tree_type::kCard, u"abc", 0},
        {tree_type::kFolder, u"Zeta", tree_type::kFormsFolder, u"A", -1},
        {tree_type::kCard, u"z", tree_type::kFormsFolder, u"a", -1},
        {tree_type::kFormsFolder, u"b", tree_type::kFormsFolder, u"a", 0},
        {tree_type::kFolder, a63 + u"b", tree_type::kFolder, a63 + u"a", 0},
        {tree_type::kFolder, a63.substr(1) + u"b", tree_type::kFolder, a63 + u"z", 1},
    };
    for (const Case& c : cases) {
        const int got = compareTreeEntries(c.typeA, c.labelA, c.typeB, c.labelB);
        EXPECT_EQ((got > 0) - (got < 0), c.expected) << c.typeA << " vs " << c.typeB;
        const int back = compareTreeEntries(c.typeB, c.labelB, c.typeA, c.labelA);
        EXPECT_EQ((back > 0) - (back < 0), -c.expected) << "reversed";
    }
}

TEST(FolderTreeTest, EveryLevelIsSortedAndTiesKeepTheirOrder) {
    FixtureWallet f;
    const std::u16string a63(63, u'a');
    const std::size_t zeta = f.addFolder(u"Zeta");
    f.addFolder(u"alpha");
    f.addFolder(a63 + u"Y");  // equal to the next in their first 63 characters
    f.addFolder(a63 + u"X");
    f.addCard(u"zz top", {});
    f.addFolder(u"sub", f.id(zeta));
    f.addCard(u"card", f.id(zeta));

    EXPECT_EQ(renderTree(FolderTree::build(f.wallet)),
              "[Favourites]\n"
              "zz top\n" +
                  std::string(63, 'a') + "Y/\n" + std::string(63, 'a') +
                  "X/\n"
                  "alpha/\n"
                  "Zeta/\n"
                  "  card\n"
                  "  sub/\n"
                  "My Forms/\n");
}

TEST(FolderTreeTest, ALevelBuiltAloneIsSortedAsInTheWholeTree) {
    FixtureWallet f;
    const std::size_t zeta = f.addFolder(u"Zeta");
    for (const char16_t* name : {u"b", u"B", u"a", u"Card 10", u"card 1", u"\u00c4", u"A"}) {
        f.addCard(name, {});
        f.addCard(name, f.id(zeta));
        f.addFolder(name, f.id(zeta));
    }
    const std::size_t empty = f.addFolder(u"empty", f.id(zeta));
    const FolderTree whole = FolderTree::build(f.wallet);
    auto labels = [](const FolderTree& tree, std::span<const std::size_t> level) {
        std::vector<std::pair<std::u16string_view, std::int64_t>> out;
        for (std::size_t id : level) out.emplace_back(tree.node(id).label, tree.node(id).position);
        return out;
    };
    const FolderTree top = FolderTree::buildLevel(f.wallet, -1);
    EXPECT_EQ(labels(top, top.top()), labels(whole, whole.top()));
    for (const std::size_t position : {zeta, empty}) {
        const FolderTree one = FolderTree::buildLevel(f.wallet, static_cast<std::int64_t>(position));
        const auto at = static_cast<std::int64_t>(position);
        EXPECT_EQ(labels(one, one.node(*one.find(at)).children), labels(whole, whole.node(*whole.find(at)).children));
    }
}

// Names that share their start, differ only in case, fold outside ASCII, or tie within their first
// 63 characters: every level must come out as a stable sort by compareTreeEntries in index order.
TEST(FolderTreeTest, LevelsMatchAStableSortWhateverTheNamesShare) {
    FixtureWallet f;
    const std::u16string a63(63, u'a');
    const std::u16string starts[] = {u"", u"Card ", u"card ", u"CARD ", u"Cardigan", a63.substr(0, 60)};
    const std::u16string ends[] = {u"",       u"1",      u"10",     u"100",    u"1a",     u"1A",     u"_",
                                   u"~",      u"\u00C4", u"\u00E4", u"\u0178", u"\u00FF", u"\u0141", u"\u0142",
                                   u"\u0394", u"\u03B4", u"\u0416", u"\u0436", u"\u0400", u"\u0450", u"ab/c"};
    const std::size_t mixed = f.addFolder(u"Mixed");
    const std::size_t shared = f.addFolder(u"Shared");
    std::vector<std::size_t> same;
    std::size_t k = 0;
    for (const std::u16string& start : starts) {
        for (const std::u16string& end : ends) {
            const std::u16string name = start + end;
            f.addCard(name, f.id(mixed));
            if (k % 3 == 0) f.addFolder(name, f.id(mixed));
            if (k % 7 == 0) f.addCard(name, {});
            if (k % 5 == 0) same.push_back(f.addCard(name, f.id(mixed)));  // an equal name, later in the index
            f.addCard(u"Card " + end + start, f.id(shared));
            ++k;
        }
    }
    f.addFolder(a63 + u"z", {});
    f.addFolder(a63 + u"A", {});
    // Favourites with equal names keep the order of their slots, not of the index.
    const std::size_t first = f.addCard(u"Twin", f.id(shared));
    const std::size_t second = f.addCard(u"twin", f.id(shared));
    const SystemTime now = f.t.clock.localTime();
    ASSERT_TRUE(f.wallet.settings().addFavourite(f.id(second), now));
    ASSERT_TRUE(f.wallet.settings().addFavourite(f.id(first), now));

    const FolderTree tree = FolderTree::build(f.wallet);
    std::size_t levels = 0;
    auto check = [&](std::span<const std::size_t> level) {
        std::vector<std::size_t> expected(level.begin(), level.end());
        std::sort(expected.begin(), expected.end(),
                  [&](std::size_t a, std::size_t b) { return tree.node(a).position < tree.node(b).position; });
        std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
            const TreeNode& x = tree.node(a);
            const TreeNode& y = tree.node(b);
            return compareTreeEntries(x.type, x.label, y.type, y.label) < 0;
        });
        EXPECT_EQ(std::vector<std::size_t>(level.begin(), level.end()), expected);
        ++levels;
    };
    check(tree.top());
    for (std::size_t id = 0; id < tree.size(); ++id)
        if (!tree.node(id).isSpecial() && !tree.node(id).children.empty()) check(tree.node(id).children);
    EXPECT_EQ(levels, 3u);
    EXPECT_EQ(tree.node(*tree.find(static_cast<std::int64_t>(mixed))).children.size(),
              std::size(starts) * std::size(ends) + 42 + same.size());

    const TreeNode& favourites = tree.node(*tree.find(WalletIndex::kFavouritesNode));
    ASSERT_EQ(favourites.children.size(), 2u);
    EXPECT_EQ(tree.node(favourites.children[0]).position, static_cast<std::int64_t>(second));
    EXPECT_EQ(tree.node(favourites.children[1]).position, static_cast<std::int64_t>(first));
}

}  // namespace
}  // namespace tw
