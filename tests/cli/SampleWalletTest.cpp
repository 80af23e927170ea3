// The sample wallet: what it holds, and every command of tmpro working on it.
#include <gtest/gtest.h>

#include <set>

#include "cli/Command.h"
#include "cli/FallbackTexts.h"
#include "cli/Session.h"
#include "model/Card.h"
#include "model/FormCards.h"
#include "model/SampleWallet.h"
#include "platform/PosixFile.h"
#include "platform/Text.h"
#include "support/TestEnv.h"
#include "support/TmproRun.h"

namespace tw::cli {
namespace {

using test::expectFailure;
using test::runTmpro;
using test::TmproResult;

const std::string kPassword = toUtf8(kSampleWalletPassword);

class SampleWalletTest : public ::testing::Test {
protected:
    void SetUp() override {
        loadFallbackTexts(m_strings);
        ASSERT_TRUE(buildSampleWallet(m_env, m_path));
    }
    TmproResult run(const std::vector<std::string>& args) { return runTmpro(args, kPassword + "\n"); }

    // The paths of every live card outside the forms folder.
    std::vector<std::string> cardPaths() {
        WalletFile w(m_env);
        EXPECT_EQ(w.readAll(m_path, kSampleWalletPassword, true), OpenResult::Ok);
        std::vector<std::string> paths;
        const std::int64_t forms = w.index().formsFolder();
        for (std::size_t i = 0; i < w.index().count(); ++i) {
            const IndexEntry& h = w.index().at(i);
            if (!h.deleted() && h.type() == RecordType::Card && w.index().folderOf(i) != forms)
                paths.push_back(pathOf(w, i));
        }
        return paths;
    }

    test::TempFolder m_folder;
    std::string m_path = m_folder.file(std::string(kSampleWalletFileName));
    PosixFileSystem m_files;
    FixedClock m_clock{SystemTime{2025, 3, 5, 14, 9, 30, 0, 0}};
    SequenceRandom m_random{7};
    StringTable m_strings;
    ScriptedPrompt m_prompt;
    FakeSystem m_system;
    Env m_env{m_files, m_clock, m_random, m_strings, m_prompt, m_system};
};

TEST_F(SampleWalletTest, HoldsWhatANewUserShouldSee) {
    WalletFile w(m_env);
    ASSERT_EQ(w.readAll(m_path, kSampleWalletPassword, true), OpenResult::Ok);
    std::set<std::uint16_t> kinds;
    bool note = false, picture = false, sound = false, file = false, fromOwnForm = false;
    std::size_t forms = 0;
    const std::int64_t formsFolder = w.index().formsFolder();
    for (std::size_t i = 0; i < w.index().count(); ++i) {
        const IndexEntry& h = w.index().at(i);
        if (h.type() != RecordType::Card) continue;
        if (w.index().folderOf(i) == formsFolder) {
            ++forms;
            continue;
        }
        const std::unique_ptr<Card> card = w.loadCard(h.id());
        ASSERT_TRUE(card) << pathOf(w, i);
        std::u16string form;
        EXPECT_TRUE(formName(w, h.formRef(), form)) << pathOf(w, i);
        fromOwnForm = fromOwnForm || !isBuiltinRef(h.formRef());
        for (std::size_t f = 0; f < card->fieldCount(); ++f) {
            const Field& field = card->field(f);
            if (!field.value().empty() || !field.date().isZero()) kinds.insert(field.kind());
            note = note || (field.isNote() && !field.value().empty());
        }
        picture = picture || card->picture().hasData();
        sound = sound || card->sound().hasData();
        file = file || card->countFileAttachments() > 0;
    }
    for (std::uint16_t kind = 1; kind <= 16; ++kind)
        EXPECT_TRUE(kinds.count(kind)) << "no filled field of kind " << kind;
    EXPECT_TRUE(note && picture && sound && file && fromOwnForm);
    EXPECT_EQ(forms, 1u);
    EXPECT_EQ(w.settings().favouriteCount(), 1u);
    std::u16string hint;
    EXPECT_TRUE(w.keys().readHint(hint));
    EXPECT_NE(foldCase(hint).find(u"lower case"), std::u16string::npos);
}

TEST_F(SampleWalletTest, SameServicesGiveTheSameBytes) {
    test::TestEnv first, second;
    ASSERT_TRUE(buildSampleWallet(first.env, test::kWalletPath));
    ASSERT_TRUE(buildSampleWallet(second.env, test::kWalletPath));
    EXPECT_EQ(first.files.bytes(test::kWalletPath), second.files.bytes(test::kWalletPath));
    EXPECT_FALSE(buildSampleWallet(second.env, test::kWalletPath));  // never over an existing file
    EXPECT_EQ(first.files.bytes(test::kWalletPath), second.files.bytes(test::kWalletPath));
}

TEST_F(SampleWalletTest, EveryCommandWorksOnIt) {
    TmproResult r = runTmpro({"info", m_path});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Cards:            8\n"), std::string::npos) << r.out;
    EXPECT_NE(runTmpro({"hint", m_path}).out.find("lower case"), std::string::npos);

    const std::vector<std::string> cards = cardPaths();
    ASSERT_EQ(cards.size(), 8u);
    for (const std::string& card : cards) {
        r = run({"show", m_path, card, "--passwords"});
        EXPECT_EQ(r.code, 0) << card << ": " << r.err;
        EXPECT_EQ(r.out.find("**********"), std::string::npos) << card;
    }
    r = run({"show", m_path, "Personal/City Gym"});
    for (const char* line : {"Form:    Club Membership\n", "Door code: **********\n", "Member since: 1/10/2022\n",
                             "Next appointment: 4/2/2025  7:15 AM\n", "Level: Gold\n", "Renews itself: Yes\n",
                             "Sound:   beep.wav, 844 bytes\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
    r = run({"show", m_path, "Internet/Shopping/Book Shop"});
    EXPECT_NE(r.out.find("File 1:  order-2025-0314.txt, 61 bytes, modified 3/14/2025 6:42 PM, attached "
                         "3/14/2025 6:45 PM\n"),
              std::string::npos)
        << r.out;

    r = run({"find", m_path, "northbank"});
    EXPECT_EQ(r.out, "Banking/Everyday Visa\nBanking/Savings Account\n");
    EXPECT_EQ(run({"fav", m_path, "list"}).out, "Banking/Everyday Visa\n");

    // Changes: a card from the folder's preset form, an edit, a copy, a move, a delete.
    r = run({"add", m_path, "Banking", "--name", "Spare Card", "--set", "PIN=1357"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(run({"show", m_path, "Banking/Spare Card"}).out.find("Form:    Credit Card\n"), std::string::npos);
    r = run({"add", m_path, "Personal", "--form", "club membership", "--name", "Pool", "--set", "Level=silver"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(run({"edit", m_path, "Personal/City Gym", "--set", "Level=Platinum"}).code, 0);
    ASSERT_EQ(run({"cp", m_path, "Personal/Passport", "Banking"}).code, 0);
    ASSERT_EQ(run({"mv", m_path, "Banking/Passport*", "Internet/Shopping"}).code, 0);
    ASSERT_EQ(run({"rm", m_path, "Internet/Home Wi-Fi"}).code, 0);
    ASSERT_EQ(run({"fav", m_path, "add", "Personal/Pool"}).code, 0);
    EXPECT_EQ(run({"find", m_path, "platinum"}).out, "Personal/City Gym\n");
    EXPECT_EQ(run({"find", m_path, "silver"}).out, "Personal/Pool\n");

    ASSERT_EQ(runTmpro({"passwd", m_path, "--keep-hint"}, kPassword + "\nanother pass\nanother pass\n").code, 0);
    expectFailure(run({"show", m_path, "Personal/Pool"}), exit_code::kWrongPassword, "wrong password");
    r = runTmpro({"show", m_path, "Internet/Shopping/Passport*"}, "another pass\n");
    EXPECT_NE(r.out.find("Picture: passport-photo.bmp, 822 bytes\n"), std::string::npos) << r.out;
    r = runTmpro({"fav", m_path, "list"}, "another pass\n");
    EXPECT_EQ(r.out, "Banking/Everyday Visa\nPersonal/Pool\n");
    EXPECT_EQ(runTmpro({"--yes", "repair", m_path}, "another pass\n").code, 0);  // nothing to repair
    EXPECT_NE(runTmpro({"info", m_path}).out.find("Cards:            10\n"), std::string::npos);
}

}  // namespace
}  // namespace tw::cli
