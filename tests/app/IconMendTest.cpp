// The mend of icon numbers that are not valid (144 and above), and the wallet's custom-icon list.
#include <gtest/gtest.h>

#include <fstream>

#include "app/CustomIcons.h"
#include "app/IconMend.h"
#include "storage/Bytes.h"
#include "support/TmproRun.h"
#include "support/TreeFixtures.h"

namespace tw::app {
namespace {

TEST(IconMend, DecisionByNumberAndCustomData) {
    struct Case {
        std::int32_t index;
        bool data;
        IconMend expected;
    };
    const Case cases[] = {
        {0, false, IconMend::Keep},       {143, false, IconMend::Keep},  {143, true, IconMend::Keep},
        {-1, true, IconMend::Keep},       {-1, false, IconMend::Keep},   {144, true, IconMend::UseCustom},
        {200, true, IconMend::UseCustom}, {144, false, IconMend::Clear}, {0x7FFFFFFF, false, IconMend::Clear},
        {-2, false, IconMend::Clear},
    };
    for (const Case& c : cases)
        EXPECT_EQ(iconMendFor(c.index, c.data), c.expected) << c.index << (c.data ? " with data" : " without data");
}

TEST(IconMend, RunsOnlyOnceAfterTheTreeOfAGoodWritableLoad) {
    EXPECT_TRUE(mayMendIcons({.loaded = true, .writable = true, .treeBuilt = true, .alreadyRan = false}));
    EXPECT_FALSE(mayMendIcons({.loaded = false, .writable = true, .treeBuilt = true, .alreadyRan = false}));
    EXPECT_FALSE(mayMendIcons({.loaded = true, .writable = false, .treeBuilt = true, .alreadyRan = false}));
    EXPECT_FALSE(mayMendIcons({.loaded = true, .writable = true, .treeBuilt = false, .alreadyRan = false}));
    EXPECT_FALSE(mayMendIcons({.loaded = true, .writable = true, .treeBuilt = true, .alreadyRan = true}));
}

// A wallet holding records with icon numbers another program wrote: the stored icon index is
// patched in the file, where only this field changes.
struct BadIconWallet {
    BadIconWallet() {
        const std::vector<std::uint8_t> icon{1, 2, 3, 4, 5, 6};
        good = w.addFolder(u"good");
        RecordHeader h = w.folderHeader(u"custom, 200");
        h.setCustomIcon(icon);
        customFolder = w.append(h);
        plainFolder = w.addFolder(u"plain, 150");
        card = w.addCard(u"card, 144", w.id(good));
        customCard = w.addCard(u"card with icon, 300", w.id(good), [&](Card& c) { c.header()->setCustomIcon(icon); });
        patchIcon(customFolder, 200);
        patchIcon(plainFolder, 150);
        patchIcon(card, 144);
        patchIcon(customCard, 300);
    }
    void patchIcon(std::size_t position, std::int32_t number) {
        std::uint64_t at = 0;
        ASSERT_TRUE(w.wallet.findInFile(w.id(position), &at));
        w.wallet.close();
        putI32(w.t.files.bytes(test::kWalletPath).data(), at + RecordHeader::kIconIndex, number);
        ASSERT_EQ(w.wallet.readAll(test::kWalletPath, test::kPassword, false), OpenResult::Ok);
    }
    RecordHeader at(std::size_t position) { return w.wallet.headerAt(position); }

    test::FixtureWallet w;
    std::size_t good = 0, customFolder = 0, plainFolder = 0, card = 0, customCard = 0;
};

TEST(IconMend, MendedRecordsAreSavedAndReadBackSo) {
    BadIconWallet b;
    const std::uint32_t goodFlags = b.at(b.good).changeFlags();
    const std::int32_t goodIcon = b.at(b.good).iconIndex();
    b.w.t.tick();
    const IconMendReport report = mendIcons(b.w.wallet);
    EXPECT_EQ(report.mended, 4u);
    EXPECT_EQ(report.failed, 0u);

    b.w.wallet.close();
    ASSERT_EQ(b.w.wallet.readAll(test::kWalletPath, test::kPassword, false), OpenResult::Ok);
    const std::vector<std::uint8_t> icon{1, 2, 3, 4, 5, 6};
    for (std::size_t p : {b.customFolder, b.customCard}) {
        EXPECT_EQ(b.at(p).iconIndex(), -1);
        EXPECT_EQ(b.at(p).customIcon(), icon);
    }
    for (std::size_t p : {b.plainFolder, b.card}) {
        EXPECT_EQ(b.at(p).iconIndex(), 0);
        EXPECT_EQ(b.at(p).iconLength(), 0u);
    }
    for (std::size_t p : {b.customFolder, b.plainFolder, b.card, b.customCard})
        EXPECT_TRUE(b.at(p).changeFlags() & change::kIcon) << p;
    EXPECT_EQ(b.at(b.good).changeFlags(), goodFlags);
    EXPECT_EQ(b.at(b.good).iconIndex(), goodIcon);

    // Mended once, nothing is left to mend.
    EXPECT_EQ(mendIcons(b.w.wallet).mended, 0u);

    // tmpro reads the mended cards the same way.
    b.w.wallet.close();
    test::TempFolder folder;
    const std::string path = folder.file("mended.tm5");
    const std::vector<std::uint8_t>& bytes = b.w.t.files.bytes(test::kWalletPath);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::string password = "correct horse\n";
    const test::TmproResult custom = test::runTmpro({"show", path, "good/card with icon, 300"}, password);
    EXPECT_NE(custom.out.find("Icon:    custom, 6 bytes"), std::string::npos) << custom.out << custom.err;
    const test::TmproResult cleared = test::runTmpro({"show", path, "good/card, 144"}, password);
    EXPECT_NE(cleared.out.find("Icon:    0\n"), std::string::npos) << cleared.out << cleared.err;
}

TEST(IconMend, AReadOnlyWalletIsLeftAsItIs) {
    BadIconWallet b;
    const std::vector<std::uint8_t> before = b.w.t.files.bytes(test::kWalletPath);
    b.w.wallet.close();
    ASSERT_EQ(b.w.wallet.readAll(test::kWalletPath, test::kPassword, true), OpenResult::Ok);
    EXPECT_EQ(mendIcons(b.w.wallet).mended, 0u);
    EXPECT_EQ(b.w.t.files.bytes(test::kWalletPath), before);
}

TEST(IconMend, TheMenderRunsOnceAfterAGoodOpening) {
    BadIconWallet b;
    IconMender mender;
    mender.opened(false);  // a failed load: never
    EXPECT_EQ(mender.treeBuilt(b.w.wallet).mended, 0u);
    mender.opened(true);
    EXPECT_EQ(mender.treeBuilt(b.w.wallet).mended, 4u);
    EXPECT_EQ(b.at(b.plainFolder).iconIndex(), 0);
    // The tree built again, say after a find: not again, even with a record to mend.
    b.patchIcon(b.good, 199);
    EXPECT_EQ(mender.treeBuilt(b.w.wallet).mended, 0u);
    mender.opened(true);
    EXPECT_EQ(mender.treeBuilt(b.w.wallet).mended, 1u);
}

TEST(CustomIcons, RegisteredOncePerIconAsRecordsAreReadAndAppended) {
    test::FixtureWallet w;
    CustomIcons icons;
    icons.watch(w.wallet);
    const std::vector<std::uint8_t> a{10, 20, 30}, b{40, 50, 60, 70};
    auto folderWith = [&](const std::u16string& name, const std::vector<std::uint8_t>& icon) {
        RecordHeader h = w.folderHeader(name);
        h.setCustomIcon(icon);
        return w.append(h);
    };
    folderWith(u"a", a);
    folderWith(u"a again", a);
    const std::size_t bFolder = folderWith(u"b", b);
    w.addFolder(u"built-in");
    ASSERT_EQ(icons.count(), 2u);
    EXPECT_EQ(*icons.data(144), a);
    EXPECT_EQ(*icons.data(145), b);
    EXPECT_EQ(icons.data(146), nullptr);
    EXPECT_EQ(icons.numberOf(storedIconMd5(w.wallet.headerAt(bFolder))), 145);
    // A header rewritten with an icon of its own, as the icon picker's choice is stored.
    RecordHeader changed = w.wallet.headerAt(w.addFolder(u"c"));
    changed.setCustomIcon({7, 7, 7, 7, 7});
    ASSERT_TRUE(w.wallet.rewriteHeader(changed));
    ASSERT_EQ(icons.count(), 3u);
    EXPECT_EQ(icons.data(146)->size(), 5u);

    // Reading the wallet again registers the same icons in file order.
    icons.clear();
    w.wallet.close();
    ASSERT_EQ(w.wallet.readAll(test::kWalletPath, test::kPassword, false), OpenResult::Ok);
    ASSERT_EQ(icons.count(), 3u);
    EXPECT_EQ(*icons.data(144), a);
    CustomIcons::unwatch(w.wallet);
}

TEST(CustomIcons, ImageListEntryOfARecord) {
    CustomIcons icons;
    RecordHeader a, b, unknown;
    a.setCustomIcon({1, 2, 3});
    b.setCustomIcon({4, 5, 6});
    unknown.setCustomIcon({7, 8, 9});
    icons.add(a);
    icons.add(b);
    RecordHeader noData;
    noData.setIconIndex(-1);
    struct Case {
        const char* what;
        std::int32_t index;
        const RecordHeader* custom;
        int entry;
    };
    const Case cases[] = {
        {"first built-in", 0, nullptr, 4},
        {"last built-in", 143, nullptr, 147},
        {"second custom", -1, &b, 149},
        {"first custom", -1, &a, 148},
        {"custom not in the list", -1, &unknown, kPlaceholderEntry},
        {"custom without data", -1, &noData, kPlaceholderEntry},
        {"not valid, not yet mended", 144, nullptr, kPlaceholderEntry},
    };
    for (const Case& c : cases) {
        RecordHeader h = c.custom ? *c.custom : RecordHeader{};
        if (!c.custom) h.setIconIndex(c.index);
        EXPECT_EQ(iconListEntry(h, icons), c.entry) << c.what;
    }
}

}  // namespace
}  // namespace tw::app
