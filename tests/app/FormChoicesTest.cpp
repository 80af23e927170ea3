// The forms the form chooser offers, their order and what OK hands back.
#include <gtest/gtest.h>

#include "app/CustomIcons.h"
#include "app/FormChoices.h"
#include "model/BuiltinForms.h"
#include "platform/Text.h"
#include "support/TreeFixtures.h"

namespace tw::app {
namespace {

// Built-in form i is named "Form NN", in upper case for odd i: a sort that minds case would
// put every upper-case name first.
StringTable mixedCaseNames() {
    StringTable strings;
    for (std::size_t i = 0; i < kBuiltinFormCount; ++i) {
        std::string name = (i % 2 ? "FORM " : "form ") + std::string(i < 10 ? "0" : "") + std::to_string(i);
        strings.set(builtinForms()[i].nameId, fromUtf8(name));
    }
    return strings;
}

std::vector<std::string> namesOf(const std::vector<FormChoice>& choices) {
    std::vector<std::string> names;
    for (const FormChoice& c : choices) names.push_back(toUtf8(c.name));
    return names;
}

TEST(FormChoices, WithoutCustomFormsTheBuiltInFormsSortedByName) {
    test::FixtureWallet w;
    std::vector<FormChoice> choices = formChoices(w.wallet, mixedCaseNames(), nullptr);
    ASSERT_EQ(choices.size(), kBuiltinFormCount);
    sortFormChoices(choices);
    for (std::size_t i = 0; i < kBuiltinFormCount; ++i) {
        const FormChoice& c = choices[i];
        EXPECT_TRUE(c.builtin);
        EXPECT_EQ(c.builtinIndex, i) << toUtf8(c.name);
        EXPECT_EQ(c.ref, builtinFormRef(i));
        EXPECT_EQ(c.iconEntry, builtinForms()[i].icon + 4);
    }
}

TEST(FormChoices, CustomFormsOfTheFormsFolderFirstThenSortedAmongTheBuiltInOnes) {
    test::FixtureWallet w;
    const RecordId forms = w.id(w.formsFolder());
    const std::size_t same = w.addCard(u"Form 05", forms);  // the name of a built-in form
    const std::size_t gone = w.addCard(u"deleted form", forms);
    const std::size_t zebra = w.addCard(u"zebra", forms, [](Card& c) { c.header()->setCustomIcon({1, 2, 3}); });
    w.addCard(u"a card, not a form", w.id(w.addFolder(u"folder")));
    ASSERT_TRUE(w.wallet.remove(gone));
    CustomIcons icons;
    icons.add(w.wallet.headerAt(zebra));

    std::vector<FormChoice> choices = formChoices(w.wallet, mixedCaseNames(), &icons);
    ASSERT_EQ(choices.size(), kBuiltinFormCount + 2);
    EXPECT_EQ(namesOf(choices)[0], "Form 05");
    EXPECT_EQ(namesOf(choices)[1], "zebra");
    EXPECT_EQ(choices[1].iconEntry, kFirstCustomEntry);
    sortFormChoices(choices);
    const std::vector<std::string> names = namesOf(choices);
    EXPECT_EQ(names[5], "Form 05");  // the custom form, then the built-in one of the same name
    EXPECT_FALSE(choices[5].builtin);
    EXPECT_EQ(choices[5].ref.bytes, w.id(same).bytes);
    EXPECT_EQ(names[6], "FORM 05");
    EXPECT_EQ(names.back(), "zebra");
}

TEST(FormChoices, PreselectionAndWhatOkGives) {
    test::FixtureWallet w;
    std::vector<FormChoice> choices = formChoices(w.wallet, mixedCaseNames(), nullptr);
    sortFormChoices(choices);
    EXPECT_EQ(preselectedChoice(choices, builtinFormRef(17)), 17u);
    FormRef unknown;
    unknown.bytes.fill(0xAB);
    EXPECT_EQ(preselectedChoice(choices, unknown), 0u);

    EXPECT_EQ(confirmedChoice(choices, 17).ref, builtinFormRef(17));
    EXPECT_EQ(confirmedChoice(choices, -1).ref, choices[0].ref);  // nothing selected: the first
    const FormChoice none = confirmedChoice({}, -1);
    EXPECT_TRUE(none.builtin);
    EXPECT_EQ(none.builtinIndex, 0u);
    EXPECT_EQ(none.ref, FormRef{});
}

}  // namespace
}  // namespace tw::app
