// tmpro show, add and edit, driven as a user would.
#include <gtest/gtest.h>

#include "cli/Command.h"
#include "support/TmproRun.h"

namespace tw::cli {
namespace {

using test::expectFailure;
using test::fileBytes;
using test::TmproResult;

bool holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CardCommandsTest : public test::TmproTest {};

TEST_F(CardCommandsTest, AddShowFindEdit) {
    TmproResult r = run({"add", m_wallet, "Banking", "--form", "credit CARD", "--name", "Visa", "--set",
                         "card number=4111 2222", "--set", "PIN=9876", "--note", "first line\nsecond line"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Added Banking/Visa\n");

    r = run({"show", m_wallet, "Banking/Visa"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Name:    Visa\nForm:    Credit Card\nIcon:    110\n", 0), 0u) << r.out;
    EXPECT_TRUE(holds(r.out, "\nCard number: 4111 2222\n"));
    EXPECT_TRUE(holds(r.out, "\nPIN: **********\n"));
    EXPECT_TRUE(holds(r.out, "\nValid from:\n"));  // empty fields are listed too
    EXPECT_TRUE(holds(r.out, "\nNote:\n  first line\n  second line\n"));
    EXPECT_FALSE(holds(r.out, "9876"));

    r = run({"show", m_wallet, "banking/VISA", "--passwords"});
    EXPECT_TRUE(holds(r.out, "\nPIN: 9876\n")) << r.out;

    r = run({"find", m_wallet, " 2222 "});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Banking/Visa\n");
    r = run({"find", m_wallet, "second line"});  // the note is searched too
    EXPECT_EQ(r.out, "Banking/Visa\n");

    r = run({"edit", m_wallet, "Banking/Visa", "--name", "Visa Gold", "--set", "PIN=1111", "--note", ""});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Saved Banking/Visa Gold\n");
    r = run({"show", m_wallet, "Banking/Visa Gold", "--passwords"});
    EXPECT_TRUE(holds(r.out, "\nPIN: 1111\n")) << r.out;
    EXPECT_TRUE(holds(r.out, "\nCard number: 4111 2222\n"));
    expectFailure(run({"find", m_wallet, "9876"}), exit_code::kNotFound, "no card holds '9876'");
    expectFailure(run({"show", m_wallet, "Banking/Visa"}), exit_code::kNotFound, "no record named 'Visa'");
}

TEST_F(CardCommandsTest, ValuesByFieldKind) {
    addCard("Banking", "note", "Kinds");
    struct Case {
        const char* kind;
        const char* value;
        const char* shown;
    };
    const Case cases[] = {
        {"date", "2024-02-29", "2/29/2024"},
        {"time", "07:05", "7:05 AM"},
        {"datetime", "2025-01-01 13:00", "1/1/2025  1:00 PM"},
        {"checkbox", "yes", "Yes"},
        {"13", "0", "No"},
        {"yesno", "NO", "No"},
        {"text", "two\nlines", "two\n  lines"},
        {"password", "hidden", "**********"},
        {"web", "https://example.org", "https://example.org"},
    };
    for (const Case& c : cases) {
        const TmproResult r = run({"edit", m_wallet, "Banking/Kinds", "--add-field",
                                   std::string("F-") + c.kind + "=" + c.value, "--kind", c.kind});
        EXPECT_EQ(r.code, 0) << c.kind << ": " << r.err;
    }
    TmproResult r =
        run({"edit", m_wallet, "Banking/Kinds", "--add-field", "Colour=BLUE", "--kind", "list", "--items", "red^blue"});
    EXPECT_EQ(r.code, 0) << r.err;
    r = run({"show", m_wallet, "Banking/Kinds"});
    for (const Case& c : cases)
        EXPECT_TRUE(holds(r.out, std::string("\nF-") + c.kind + ": " + c.shown + "\n")) << c.kind;
    EXPECT_TRUE(holds(r.out, "\nColour: blue\n")) << r.out;

    // Values a field of that kind cannot take: refused, the wallet untouched.
    const std::string before = fileBytes(m_wallet);
    const struct {
        const char* field;
        const char* value;
        const char* words;
    } refused[] = {
        {"F-date", "2023-02-29", "is not a date as yyyy-mm-dd"},
        {"F-date", "29.02.2024", "is not a date"},
        {"F-time", "24:00", "is not a time as hh:mm"},
        {"F-datetime", "2025-01-01", "is not a date and time"},
        {"F-checkbox", "maybe", "is not yes or no"},
        {"Colour", "green", "is not one of the list's items: red, blue"},
    };
    for (const auto& c : refused)
        expectFailure(run({"edit", m_wallet, "Banking/Kinds", "--set", std::string(c.field) + "=" + c.value}),
                      exit_code::kUsage, c.words);
    expectFailure(run({"edit", m_wallet, "Banking/Kinds", "--add-field", "X=1", "--kind", "colour"}), exit_code::kUsage,
                  "no field kind 'colour'");
    EXPECT_EQ(fileBytes(m_wallet), before);

    // An empty value clears a field of any kind.
    r = run({"edit", m_wallet, "Banking/Kinds", "--set", "F-date=", "--set", "Colour=", "--set", "F-checkbox="});
    EXPECT_EQ(r.code, 0) << r.err;
    r = run({"show", m_wallet, "Banking/Kinds"});
    EXPECT_TRUE(holds(r.out, "\nF-date:\n") && holds(r.out, "\nColour:\n") && holds(r.out, "\nF-checkbox:\n")) << r.out;
}

TEST_F(CardCommandsTest, FormsByNumberIndexAndName) {
    addCard("Banking", "509", "By number");
    addCard("Banking", "9", "By index");
    addCard("My Forms", "Note", "Gym");  // a card in the forms folder is one of the wallet's own forms
    ASSERT_EQ(run({"edit", m_wallet, "My Forms/Gym", "--add-field", "Locker=12"}).code, 0);
    TmproResult r = run({"add", m_wallet, "Banking", "--form", "GYM"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Added Banking/Gym*\n");  // named after the form

    EXPECT_TRUE(holds(run({"show", m_wallet, "Banking/By number"}).out, "Form:    Passport\n"));
    EXPECT_TRUE(holds(run({"show", m_wallet, "Banking/By index"}).out, "Form:    Passport\n"));
    r = run({"show", m_wallet, "Banking/Gym*"});
    EXPECT_TRUE(holds(r.out, "Form:    Gym\n") && holds(r.out, "\nLocker: 12\n")) << r.out;

    addCard("My Forms", "Note", "Passport");  // now two forms answer to that name
    expectFailure(run({"add", m_wallet, "Banking", "--form", "passport"}), exit_code::kAmbiguous,
                  "2 forms are named 'passport'");
    expectFailure(run({"add", m_wallet, "Banking", "--form", "no such form"}), exit_code::kNotFound, "no form named");
    expectFailure(run({"add", m_wallet, "Banking", "--form", "543"}), exit_code::kNotFound, "no built-in form 543");
}

TEST_F(CardCommandsTest, FailuresLeaveTheWalletAsItWas) {
    addCard("Banking", "credit card", "Visa");
    const std::string before = fileBytes(m_wallet);
    const struct {
        std::vector<std::string> args;
        int code;
        const char* words;
    } cases[] = {
        {{"add", m_wallet, "Banking", "--form", "0", "--name", "visa"}, exit_code::kFailed, "exists in that folder"},
        {{"add", m_wallet, "Banking", "--form", "0", "--set", "Colour=red"},
         exit_code::kNotFound,
         "no field named 'Colour'"},
        {{"add", m_wallet, "Banking", "--form", "0", "--set", "PIN"}, exit_code::kUsage, "--set needs FIELD=VALUE"},
        {{"add", m_wallet, "Banking/Visa", "--form", "0"}, exit_code::kUsage, "is a card, not a folder"},
        {{"add", m_wallet, "Nowhere", "--form", "0"}, exit_code::kNotFound, "no record named 'Nowhere'"},
        {{"add", m_wallet, "/", "--name", "Top"}, exit_code::kUsage, "name the form with --form"},
        {{"edit", m_wallet, "Banking", "--name", "X"}, exit_code::kUsage, "is not a card"},
        {{"edit", m_wallet, "Banking/Visa", "--remove-field", "#99"}, exit_code::kNotFound, "has no field #99"},
        {{"show", m_wallet.substr(0, m_wallet.size() - 4) + "-missing.tm5", "Banking/Visa"},
         exit_code::kNotAWallet,
         "no such file"},
    };
    for (const auto& c : cases) expectFailure(run(c.args), c.code, c.words);
    expectFailure(test::runTmpro({"show", m_wallet, "Banking/Visa"}, "wrong-pw\n"), exit_code::kWrongPassword,
                  "wrong password");
    expectFailure(test::runTmpro({"show", m_wallet, "Banking/Visa"}, ""), exit_code::kUsage, "no password given");
    EXPECT_EQ(fileBytes(m_wallet), before);
    // Options that need a wallet change, or a value, are usage errors before the wallet is read.
    EXPECT_EQ(run({"edit", m_wallet, "Banking/Visa"}).code, exit_code::kUsage);
    EXPECT_EQ(run({"edit", m_wallet, "Banking/Visa", "--kind", "date"}).code, exit_code::kUsage);
    EXPECT_EQ(run({"add", m_wallet, "Banking", "--form"}).code, exit_code::kUsage);
}

TEST_F(CardCommandsTest, FieldsNamedTwiceAreReachedByPosition) {
    addCard("Banking", "Web Logins", "Logins");  // five logins under the same three names
    expectFailure(run({"edit", m_wallet, "Banking/Logins", "--set", "Login name=alex"}), exit_code::kAmbiguous,
                  "5 fields are named 'Login name'");
    // Removals apply before values are set: once the first site address has gone, #4 is the
    // second login's name.
    ASSERT_EQ(run({"edit", m_wallet, "Banking/Logins", "--set", "#4=second", "--remove-field", "#1"}).code, 0);
    const TmproResult r = run({"show", m_wallet, "Banking/Logins"});
    EXPECT_TRUE(holds(r.out, "\n\nLogin name:\nLogin password:\nSite address:\nLogin name: second\n")) << r.out;
}

TEST_F(CardCommandsTest, MoveAndDelete) {
    addCard("Banking", "credit card", "Visa", {"--set", "Card number=4111"});
    ASSERT_EQ(run({"mkdir", m_wallet, "Old"}).code, 0);
    ASSERT_EQ(run({"mv", m_wallet, "Banking/Visa", "Old"}).code, 0);
    EXPECT_EQ(run({"find", m_wallet, "4111"}).out, "Old/Visa\n");
    EXPECT_EQ(run({"show", m_wallet, "Banking/Visa"}).code, exit_code::kNotFound);
    ASSERT_EQ(run({"rm", m_wallet, "Old/Visa"}).code, 0);
    EXPECT_EQ(run({"find", m_wallet, "4111"}).code, exit_code::kNotFound);
    EXPECT_EQ(run({"show", m_wallet, "Old/Visa"}).code, exit_code::kNotFound);
}

}  // namespace
}  // namespace tw::cli
