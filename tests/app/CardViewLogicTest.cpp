// What the card window decides without widgets: the rows a card shows, what each row's action
// hands to the desktop, and the addresses built from field values.
#include <gtest/gtest.h>

#include "app/CardActions.h"
#include "app/CardRows.h"
#include "model/FieldKind.h"
#include "platform/MemoryRegistry.h"
#include "support/CardFixtures.h"
#include "support/TreeFixtures.h"

namespace tw::app {
namespace {

const LocalePatterns kLocale{u"M/d/yy", u"h:mm:ss tt", u":"};

TEST(CardRowsTest, FieldsGiveNameAndValueRowsFlaggedByKind) {
    const StringTable strings = test::yesNoStrings();
    Card card;
    struct Case {
        std::uint16_t kind;
        const char16_t* value;
        unsigned flags;
        RowAction action;
        int icon;
    };
    const Case cases[] = {
        {field_kind::kText, u"plain", row_flag::kIndent, RowAction::Copy, -1},
        {field_kind::kWebAddress, u"www.example.com", row_flag::kIndent | row_flag::kWeb, RowAction::Web, 0},
        {field_kind::kEmail, u"a@b.example", row_flag::kIndent | row_flag::kMail, RowAction::Mail, 1},
        {field_kind::kTelephone, u"555 1234", row_flag::kIndent | row_flag::kPhone, RowAction::Phone, 2},
        {field_kind::kPassword, u"s3cret", row_flag::kIndent | row_flag::kMasked, RowAction::Copy, -1},
        {field_kind::kLink, u"+49 30 1234567", row_flag::kIndent | row_flag::kDetect, RowAction::Phone, 2},
        {field_kind::kLink, u"me@example.org", row_flag::kIndent | row_flag::kDetect, RowAction::Mail, 1},
        {field_kind::kLink, u"see notes", row_flag::kIndent | row_flag::kDetect, RowAction::Copy, -1},
        {field_kind::kCheckBox, u"1", row_flag::kIndent, RowAction::Copy, -1},
    };
    for (const Case& c : cases) test::addField(card, c.kind, u"name", c.value);
    card.file(3).set(test::testBytes(5), u"C:\\docs\\notes.txt");

    const std::vector<ViewRow> rows = buildViewRows(card, kLocale, strings);
    ASSERT_EQ(rows.size(), 2 * std::size(cases) + 2);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(rows[2 * i].isName());
        const ViewRow& value = rows[2 * i + 1];
        EXPECT_EQ(value.kind, RowKind::Value);
        EXPECT_EQ(value.flags, cases[i].flags);
        EXPECT_EQ(value.field, static_cast<int>(i));
        EXPECT_EQ(rowAction(value), cases[i].action);
        EXPECT_EQ(rowIcon(value), cases[i].icon);
    }
    EXPECT_EQ(rows[17].text, u"Yes");  // a check box shows its word
    const ViewRow& attachment = rows.back();
    EXPECT_EQ(attachment.kind, RowKind::Attachment);
    EXPECT_EQ(attachment.attachment, 3);
    EXPECT_EQ(attachment.text, u"notes.txt");
    EXPECT_EQ(rowAction(attachment), RowAction::Attachment);
    EXPECT_EQ(rowIcon(attachment), 3);
}

TEST(CardRowsTest, RowsStopAt256AndAttachmentsBeyondAreLeftOut) {
    const StringTable strings = test::yesNoStrings();
    Card card;
    for (int i = 0; i < 130; ++i) test::addField(card, field_kind::kText, u"f", u"v");
    card.file(0).set(test::testBytes(3), u"a.bin");
    const auto rows = buildViewRows(card, kLocale, strings);
    EXPECT_EQ(rows.size(), kMaxViewRows);
    EXPECT_EQ(rows.back().field, 127);
}

TEST(CardRowsTest, MaskingAndFirstSelectableRow) {
    ViewRow password{RowKind::Value, row_flag::kMasked, u"x", 0, -1};
    EXPECT_TRUE(drawnMasked(password, false, false));
    EXPECT_FALSE(drawnMasked(password, true, false));
    EXPECT_FALSE(drawnMasked(password, false, true));
    const std::vector<ViewRow> names{{RowKind::Name, 0, u"a", 0, -1}, {RowKind::Name, 0, u"b", 1, -1}};
    EXPECT_EQ(firstSelectable(names), 1u);
}

TEST(CardActionsTest, AddressesAreBuiltFromTheValueAloneOrNotAtAll) {
    struct Case {
        const char16_t* text;
        std::optional<std::string> web, mail, tel;
    };
    const Case cases[] = {
        {u"www.example.com/a?b=c", "http://www.example.com/a?b=c", std::nullopt, std::nullopt},
        {u"  HTTPS://example.com ", "HTTPS://example.com", std::nullopt, std::nullopt},
        {u"example.com:8080/x", "http://example.com:8080/x", std::nullopt, "tel:8080"},
        {u"javascript:alert(1)", std::nullopt, std::nullopt, "tel:1"},
        {u"file:///etc/passwd", std::nullopt, std::nullopt, std::nullopt},
        {u"-oProxyCommand=x", std::nullopt, std::nullopt, std::nullopt},
        {u"http://a b", std::nullopt, std::nullopt, std::nullopt},
        {u"http://", std::nullopt, std::nullopt, std::nullopt},
        {u"me@example.org", "http://me@example.org", "mailto:me@example.org", std::nullopt},
        {u"mailto:me@example.org?bcc=spy@evil.example", std::nullopt, "mailto:me@example.org", std::nullopt},
        {u"Ann Lee <ann@x.example>", std::nullopt, std::nullopt, std::nullopt},
        {u"o'neil+tag@x.example", "http://o'neil+tag@x.example", "mailto:o%27neil%2Btag@x.example", std::nullopt},
        {u"+1 (555) 123-4567", std::nullopt, std::nullopt, "tel:+15551234567"},
        {u"555-1234; rm -rf ~", std::nullopt, std::nullopt, "tel:5551234"},
        {u"", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(webTarget(c.text), c.web);
        EXPECT_EQ(mailtoTarget(c.text), c.mail);
        EXPECT_EQ(telTarget(c.text), c.tel);
    }
}

TEST(CardActionsTest, ActionsReachTheLauncherAsOneArgument) {
    MemoryRegistry registry;
    RecordingLauncher launcher;
    WebBrowser browser(registry, launcher);
    const ViewRow web{RowKind::Value, row_flag::kWeb, u"example.com/x y", 0, -1};
    EXPECT_FALSE(runExternalAction(web, browser, launcher));  // a space inside: nothing started
    const ViewRow mail{RowKind::Value, row_flag::kMail, u"a@b.example", 0, -1};
    const ViewRow phone{RowKind::Value, row_flag::kPhone, u"(030) 12 34", 0, -1};
    const ViewRow link{RowKind::Value, row_flag::kDetect, u"  www.example.org", 0, -1};
    EXPECT_TRUE(runExternalAction(mail, browser, launcher));
    EXPECT_TRUE(runExternalAction(phone, browser, launcher));
    EXPECT_TRUE(runExternalAction(link, browser, launcher));
    EXPECT_EQ(launcher.opened,
              (std::vector<std::string>{"mailto:a@b.example", "tel:0301234", "http://www.example.org"}));
    EXPECT_TRUE(launcher.started.empty());

    // A registered browser gets the address as its last argument.
    RecordingLauncher viaBrowser;
    registry.createKey(RegistryRoot::ClassesRoot, u"http\\Shell\\Open\\Command");
    registry.writeString(RegistryRoot::ClassesRoot, u"http\\Shell\\Open\\Command", u"", u"\"/opt/web\" -new %1");
    WebBrowser registered(registry, viaBrowser);
    EXPECT_TRUE(runExternalAction(link, registered, viaBrowser));
    ASSERT_EQ(viaBrowser.started.size(), 1u);
    EXPECT_EQ(viaBrowser.started[0].program, "/opt/web");
    EXPECT_EQ(viaBrowser.started[0].args, (std::vector<std::string>{"-new", "http://www.example.org"}));
}

}  // namespace
}  // namespace tw::app
