#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/FieldKind.h"
#include "model/FormatCode.h"
#include "platform/Text.h"

namespace tw {
namespace {

TEST(FormatCode, KindForNewCardAndForConversion) {
    struct Case {
        std::uint32_t code;
        std::uint16_t newCard;
        std::uint16_t conversion;
    };
    const Case cases[] = {
        {0, 1, 1},
        {1, 1, 15},
        {2, 1, 15},
        {3, 3, 3},
        {5, 1, 15},
        {8, 8, 15},
        {9, 1, 15},
        {11, 6, 6},
        {15, 5, 5},
        {16, 1, 15},
        {17, 9, 15},
        {18, 10, 15},
        // Codes the table does not name.
        {4, 1, 15},
        {7, 1, 15},
        {19, 1, 15},
        {0xFFFFFFFF, 1, 15},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kindForNewCard(c.code, false), c.newCard) << c.code;
        EXPECT_EQ(kindForConversion(c.code, false), c.conversion) << c.code;
        EXPECT_EQ(kindForNewCard(c.code, true), field_kind::kPassword) << c.code;
        EXPECT_EQ(kindForConversion(c.code, true), field_kind::kPassword) << c.code;
    }
}

TEST(FormatCode, KeywordsBothWays) {
    struct Case {
        std::u16string keyword;
        std::uint32_t code;
        bool password;
    };
    const Case cases[] = {
        {u"TMF_DEFAULT", 0, false},    {u"TMF_PIN", 0, true},    {u"TMF_UPPERALL", 1, false},
        {u"TMF_UPPERFIRST", 2, false}, {u"TMF_URL", 3, false},   {u"TMF_EMAIL", 15, false},
        {u"TMF_TEL", 11, false},       {u"TMF_LINK", 16, false}, {u"TMF_DATE", 8, false},
        {u"TMF_TIME", 17, false},      {u"TMF_YESNO", 9, false},
    };
    std::vector<std::u16string> order;
    for (const FormatKeyword& entry : formatKeywords()) order.emplace_back(entry.keyword);
    ASSERT_EQ(order.size(), std::size(cases));
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(order[i], c.keyword) << "search order";
        const auto found = findFormatKeyword(c.keyword);
        ASSERT_TRUE(found.has_value()) << toUtf8(c.keyword);
        EXPECT_EQ(found->code, c.code);
        EXPECT_EQ(found->password, c.password);
        EXPECT_EQ(formatKeywordFor(c.code, c.password), c.keyword);
    }
    EXPECT_FALSE(findFormatKeyword(u"tmf_url").has_value());
    EXPECT_FALSE(findFormatKeyword(u"TMF_URL ").has_value());
    EXPECT_FALSE(findFormatKeyword(u"").has_value());

    // Codes without a keyword, and the password flag over any code.
    EXPECT_EQ(formatKeywordFor(5, false), u"");
    EXPECT_EQ(formatKeywordFor(18, false), u"");
    EXPECT_EQ(formatKeywordFor(42, false), u"");
    EXPECT_EQ(formatKeywordFor(3, true), u"TMF_PIN");
    EXPECT_EQ(formatKeywordFor(18, true), u"TMF_PIN");
}

TEST(FieldKind, EditorOrderAndLabels) {
    const std::pair<std::uint16_t, std::uint32_t> expected[] = {
        {1, 24500}, {15, 24501}, {16, 24502}, {4, 24515},  {3, 24504},  {5, 24505},  {6, 24506},
        {7, 24507}, {8, 24508},  {9, 24509},  {10, 24510}, {11, 24511}, {12, 24512}, {13, 24513},
    };
    const auto all = offeredKinds(false);
    ASSERT_EQ(all.size(), std::size(expected));
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].kind, expected[i].first) << i;
        EXPECT_EQ(all[i].labelId, expected[i].second) << i;
        EXPECT_EQ(kindLabelId(expected[i].first), expected[i].second);
    }
    EXPECT_EQ(kindLabelId(field_kind::kPlainText), 0u);
    EXPECT_EQ(kindLabelId(field_kind::kNumber), 0u);
    EXPECT_EQ(kindLabelId(0), 0u);
    EXPECT_EQ(kindLabelId(17), 0u);

    // The note field is offered the text kinds only, in the same order.
    const auto note = offeredKinds(true);
    ASSERT_EQ(note.size(), 8u);
    for (std::size_t i = 0; i < note.size(); ++i) {
        EXPECT_EQ(note[i].kind, expected[i].first);
        EXPECT_TRUE(isTextKind(note[i].kind));
    }
    for (std::size_t i = note.size(); i < all.size(); ++i) EXPECT_FALSE(isTextKind(all[i].kind)) << all[i].kind;
}

TEST(FieldKind, Classes) {
    for (std::uint16_t kind = 0; kind <= 20; ++kind) {
        const bool text = (kind >= 1 && kind <= 7) || kind == 14 || kind == 15 || kind == 16;
        EXPECT_EQ(isTextKind(kind), text) << kind;
        EXPECT_EQ(isDateKind(kind), kind >= 8 && kind <= 10) << kind;
        EXPECT_EQ(hasEditor(kind), kind >= 1 && kind <= 16) << kind;
    }
    EXPECT_FALSE(isTextKind(0xFFFF));
    EXPECT_FALSE(hasEditor(0xFFFF));
}

}  // namespace
}  // namespace tw
