// Opening a wallet the way the program and tmpro do: the password question with its check, the
// result codes and their messages, and the offer to convert an older wallet.
#include <gtest/gtest.h>

#include "app/OpenWallet.h"
#include "platform/Text.h"
#include "storage/CreateWallet.h"
#include "support/OldWalletBuilder.h"
#include "support/TestEnv.h"

namespace tw::app {
namespace {

using test::kPassword;
using test::kWalletPath;

// Answers from a list, and remembers what it was asked and whether each answer verified.
class ScriptedAsker final : public PasswordAsker {
public:
    std::vector<std::optional<std::u16string>> answers;
    std::vector<std::u16string> names;
    std::vector<bool> hadCheck;
    std::vector<bool> verified;
    std::u16string hint;

    std::optional<std::u16string> askPassword(const PasswordRequest& request) override {
        names.push_back(request.walletName);
        hadCheck.push_back(request.check != nullptr);
        std::optional<std::u16string> answer = answers.empty() ? std::nullopt : answers.front();
        if (!answers.empty()) answers.erase(answers.begin());
        if (request.check) {
            hint = request.check->hint();
            verified.push_back(answer && request.check->verify(*answer));
        }
        return answer;
    }
};

struct OpenWalletTest : ::testing::Test {
    test::TestEnv t;
    WalletFile wallet{t.env};
    ScriptedAsker asker;

    void SetUp() override {
        t.strings.set(23013, u"not a wallet");
        t.strings.set(23014, u"wrong password");
        t.strings.set(23015, u"damaged");
        t.strings.set(23016, u"Cannot open:");
        ASSERT_EQ(createWallet(t.env, kWalletPath, kPassword, u"horse", true), CreateResult::Ok);
    }
    OpenOutcome open(const std::string& path = kWalletPath) {
        OpenRequest request;
        request.path = path;
        request.offerConversion = true;
        return openWallet(wallet, request, asker);
    }
};

TEST_F(OpenWalletTest, TheRightPasswordOpensAndTheCheckTellsRightFromWrong) {
    asker.answers = {kPassword};
    const OpenOutcome outcome = open();
    ASSERT_TRUE(outcome.opened());
    EXPECT_TRUE(wallet.isOpen());
    EXPECT_GT(wallet.index().count(), 0u);
    EXPECT_EQ(asker.names, std::vector<std::u16string>{u"test"});
    EXPECT_EQ(asker.verified, std::vector<bool>{true});
    EXPECT_EQ(asker.hint, u"horse");
    EXPECT_EQ(openFailureText(t.strings, outcome), u"");

    PasswordCheck check;
    ASSERT_EQ(PasswordCheck::read(t.files, kWalletPath, check), OpenResult::Ok);
    EXPECT_TRUE(check.hasPassword());
    EXPECT_FALSE(check.verify(u"correct horsE"));
    EXPECT_TRUE(check.verify(kPassword));
}

TEST_F(OpenWalletTest, FailuresStopAtTheirStageWithTheirMessage) {
    t.files.setBytes("/docs/notes.tm5", std::vector<std::uint8_t>(200, 'x'));
    struct Case {
        std::string path;
        std::optional<std::u16string> answer;
        OpenStage stage;
        OpenResult result;
        std::u16string text;
    };
    const Case cases[] = {
        {"/docs/gone.tm5", kPassword, OpenStage::Probe, OpenResult::CannotOpen, u"Cannot open:\ngone\n(02)"},
        {"/docs/notes.tm5", kPassword, OpenStage::Probe, OpenResult::NotAWallet, u"Cannot open:\nnotes\n(07)"},
        {kWalletPath, std::nullopt, OpenStage::Cancelled, OpenResult::Ok, u""},
        {kWalletPath, u"guess", OpenStage::Open, OpenResult::WrongPassword, u"Cannot open:\ntest\n(wrong password:10)"},
    };
    for (const Case& c : cases) {
        asker = {};
        asker.answers = {c.answer};
        const OpenOutcome outcome = open(c.path);
        EXPECT_EQ(outcome.stage, c.stage) << c.path;
        EXPECT_EQ(outcome.result, c.result) << c.path;
        EXPECT_EQ(toUtf8(openFailureText(t.strings, outcome)), toUtf8(c.text));
        EXPECT_FALSE(wallet.isOpen());
        // The probe fails before any question.
        EXPECT_EQ(asker.names.size(), c.stage == OpenStage::Probe ? 0u : 1u) << c.path;
    }
}

TEST_F(OpenWalletTest, OpeningAnotherWalletWritesAndClosesTheOpenOne) {
    asker.answers = {kPassword};
    ASSERT_TRUE(open().opened());
    ASSERT_TRUE(wallet.keys().setSpecial(1, u"Starred", KeyBlock::kKeepIcon, t.clock.localTime()));
    wallet.keys().changed = true;
    asker.answers = {std::nullopt};
    EXPECT_EQ(open().stage, OpenStage::Cancelled);
    EXPECT_FALSE(wallet.isOpen());
    asker.answers = {kPassword};
    ASSERT_TRUE(open().opened());
    std::u16string name;
    std::uint32_t icon = 0;
    ASSERT_TRUE(wallet.keys().readSpecial(1, name, icon));
    EXPECT_EQ(name, u"Starred");
}

TEST_F(OpenWalletTest, AnOlderWalletIsOfferedForConversion) {
    test::WalBuilder old("open sesame");
    old.addFolder(1, 502, 44, u"Bank");
    t.files.setBytes("/docs/Home.wal", old.bytes());
    t.strings.set(22019, u"Saved as %s");

    // Declined: the older file itself is no wallet of this kind.
    t.prompt.answers = {Answer::No};
    asker.answers = {};
    EXPECT_EQ(open("/docs/Home.wal").result, OpenResult::NotAWallet);
    EXPECT_FALSE(t.files.exists("/docs/Home.tm5"));

    // Agreed: converted with the old password, and the new wallet opened in its place.
    t.prompt.answers = {Answer::Yes, Answer::Ok};
    asker.answers = {u"open sesame", u"open sesame"};
    const OpenOutcome outcome = open("/docs/Home.wal");
    ASSERT_TRUE(outcome.opened()) << toUtf8(openFailureText(t.strings, outcome));
    EXPECT_EQ(outcome.path, "/docs/Home.tm5");
    EXPECT_EQ(asker.hadCheck, (std::vector<bool>{false, true}));
    ASSERT_GE(t.prompt.shown.size(), 2u);
    EXPECT_EQ(t.prompt.shown.back().text, u"Saved as Home.tm5");

    // A second conversion finds the new name taken and says so; the old path is then tried.
    t.prompt.answers = {Answer::Yes, Answer::Ok};
    asker.answers = {u"open sesame"};
    t.strings.set(22017, u"Exists. ");
    t.strings.set(22013, u"%s in %s");
    EXPECT_FALSE(open("/docs/Home.wal").opened());
    EXPECT_EQ(t.prompt.shown.back().text, u"Exists. Home in /docs");
    EXPECT_EQ(t.prompt.shown.back().icon, Icon::Stop);
}

}  // namespace
}  // namespace tw::app
