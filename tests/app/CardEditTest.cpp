// Editing a card without widgets: values written back only when they differ, the changed test,
// form design on the field table, and saving through the record store.
#include <gtest/gtest.h>

#include "app/CardEdit.h"
#include "app/DisplayOptions.h"
#include "model/FieldKind.h"
#include "support/CardFixtures.h"
#include "support/TreeFixtures.h"

namespace tw::app {
namespace {

TEST(CardEditTest, EditorsWriteBackOnlyWhatChanged) {
    const StringTable strings = test::yesNoStrings();
    Card card;
    // Every field is added before any is held: adding one may move the others in memory.
    test::addField(card, field_kind::kText, u"t", u"same");
    test::addField(card, field_kind::kDate, u"d", u"");
    test::addField(card, field_kind::kCheckBox, u"c", u"1");
    test::addField(card, field_kind::kSelectionList, u"l", u"Other");
    Field& text = card.field(0);
    Field& date = card.field(1);
    Field& check = card.field(2);
    Field& list = card.field(3);
    for (std::size_t i = 0; i < card.fieldCount(); ++i) card.field(i).clearMarks();

    storeText(text, u"same");
    storeDate(date, std::nullopt);
    storeCheck(check, CheckState::Checked);
    storeListChoice(list, false, u"Other");
    for (std::size_t i = 0; i < card.fieldCount(); ++i) EXPECT_EQ(card.field(i).marks(), 0u) << i;

    const SystemTime when{2026, 3, 4, 5, 6, 7, 0, 0};
    storeDate(date, when);
    EXPECT_EQ(date.date(), when);
    storeDate(date, std::nullopt);
    EXPECT_FALSE(storedDate(date).has_value());
    const std::pair<CheckState, const char16_t*> checks[] = {
        {CheckState::Unchecked, u"0"}, {CheckState::Undecided, u"2"}, {CheckState::Checked, u"1"}};
    for (const auto& [state, stored] : checks) {
        storeCheck(check, state);
        EXPECT_EQ(check.value(), stored);
    }
    storeListChoice(list, true, u"<None>");
    EXPECT_TRUE(list.value().empty());
}

TEST(CardEditTest, CapitalsFollowTheKind) {
    EXPECT_EQ(withCapitals(u"new york city", capitalsFor(field_kind::kFirstCapital)), u"New york city");
    EXPECT_EQ(withCapitals(u"new york  city", capitalsFor(field_kind::kWordCapitals)), u"New York  City");
    EXPECT_EQ(withCapitals(u"mcDonald", capitalsFor(field_kind::kWordCapitals)), u"McDonald");
    EXPECT_EQ(withCapitals(u"ab", capitalsFor(field_kind::kText)), u"ab");
}

TEST(CardEditTest, FormDesignMovesFieldsAndKeepsNoteKindsToText) {
    const StringTable strings = test::yesNoStrings();
    Card card;
    for (const char16_t* name : {u"a", u"b", u"c", u"d"}) test::addField(card, field_kind::kText, name, u"");
    auto order = [&] {
        std::u16string names;
        for (std::size_t i = 0; i < card.fieldCount(); ++i) names += card.field(i).name();
        return names;
    };
    struct Move {
        std::size_t from, to;
        bool moved;
        const char16_t* after;
    };
    const Move moves[] = {{0, 3, true, u"bcda"},
                          {3, 0, true, u"abcd"},
                          {1, 2, true, u"acbd"},
                          {2, 2, false, u"acbd"},
                          {4, 0, false, u"acbd"}};
    for (const Move& m : moves) {
        EXPECT_EQ(moveField(card, m.from, m.to), m.moved);
        EXPECT_EQ(order(), m.after);
    }
    const int added = addDesignField(card, strings);
    EXPECT_EQ(added, 4);
    EXPECT_EQ(card.field(4).kind(), kNewFieldKind);

    Field note;
    note.setStyle(Field::kNoteStyle);
    EXPECT_FALSE(setDesignKind(note, field_kind::kDate, strings));
    EXPECT_TRUE(setDesignKind(note, field_kind::kPassword, strings));
    EXPECT_EQ(note.kind(), field_kind::kPassword);
}

TEST(CardEditTest, SavedEditsReadBackAndAnUnchangedCopyIsTheSame) {
    test::FixtureWallet w;
    const std::size_t folder = w.addFolder(u"Personal");
    const std::size_t position = w.addCard(u"Gym", w.id(folder), [](Card& card) {
        test::addField(card, field_kind::kText, u"Member", u"A-17");
        test::addField(card, field_kind::kPassword, u"PIN", u"1234");
    });
    std::unique_ptr<Card> original = w.wallet.loadCard(w.id(position));
    ASSERT_TRUE(original);
    Card edited = *original;
    const KeyRecord& key = w.wallet.recordKey();
    EXPECT_TRUE(sameContent(edited, *original, key));

    storeText(edited.field(1), u"9876");
    EXPECT_TRUE(renameCard(edited, u"City Gym", key, w.t.clock.localTime()));
    EXPECT_FALSE(sameContent(edited, *original, key));
    const std::int64_t saved = saveEditedCard(w.wallet, edited);
    ASSERT_GE(saved, 0);

    std::unique_ptr<Card> again = w.wallet.loadCard(w.id(static_cast<std::size_t>(saved)));
    ASSERT_TRUE(again);
    EXPECT_EQ(cardName(*again, key), u"City Gym");
    EXPECT_EQ(again->field(1).value(), u"9876");
    EXPECT_TRUE(sameContent(*again, edited, key));
}

TEST(DisplayOptionsTest, SizesMapToEntriesAndOptionsReachTheSettingsAndTheNewCardDefaults) {
    const std::pair<std::uint32_t, int> tree[] = {{1, 0}, {8, 0}, {9, 1}, {10, 2}, {12, 2}, {13, 1}, {0, 1}};
    for (const auto& [points, entry] : tree) EXPECT_EQ(sizeEntry(points, false), entry) << points;
    EXPECT_EQ(sizeEntry(0, true), 2);
    EXPECT_EQ(sizeEntry(0xFFFFFFFFu, true), 2);  // a negative stored size
    EXPECT_EQ(sizeEntry(13, true), 1);

    test::FixtureWallet w;
    Settings settings = Settings::defaults(DeviceKind::PocketPC);
    settings.fontMainStyle = 0x6;  // other bits are kept
    SettingsBlock& block = w.wallet.settings();
    DisplayOptions options = loadDisplayOptions(settings, block);
    EXPECT_EQ(options.treeSize, 1);
    block.changed = false;
    storeDisplayOptions(options, settings, block, w.t.clock.localTime());
    EXPECT_FALSE(block.changed);  // nothing differs

    options.treeSize = 5;
    options.cardSize = 0;
    options.valuesBold = true;
    options.background = 0x00FFFF;
    storeDisplayOptions(options, settings, block, w.t.clock.localTime());
    EXPECT_EQ(settings.fontMain, 11u);
    EXPECT_EQ(settings.fontMainStyle, 0x7u);
    EXPECT_EQ(settings.fontCard, 8u);
    EXPECT_TRUE(block.changed);
    std::unique_ptr<Card> card = w.wallet.newCard(RecordId{});
    EXPECT_EQ(card->display().textSize(), 8u);
    EXPECT_TRUE(card->display().valuesBold());
    EXPECT_EQ(card->display().background(), 0x00FFFFu);
    EXPECT_EQ(loadDisplayOptions(settings, block).treeSize, 5);
}

}  // namespace
}  // namespace tw::app
