// tmpro cp, fav, passwd, hint and repair, driven as a user would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/Command.h"
#include "support/TmproRun.h"

namespace tw::cli {
namespace {

using test::expectFailure;
using test::fileBytes;
using test::runTmpro;
using test::TmproResult;

class WalletCommandsTest : public test::TmproTest {};

TEST_F(WalletCommandsTest, CopyKeepsTheCardAndMarksTheName) {
    addCard("Banking", "credit card", "Visa", {"--set", "PIN=2468", "--note", "a note"});
    TmproResult r = run({"cp", m_wallet, "Banking/Visa", "/"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Copied to Visa*\n");
    const std::string original = run({"show", m_wallet, "Banking/Visa", "--passwords"}).out;
    const std::string copy = run({"show", m_wallet, "Visa*", "--passwords"}).out;
    // Everything after the name line and the change time is the same.
    EXPECT_EQ(copy.substr(copy.find("\n\n")), original.substr(original.find("\n\n")));
    EXPECT_NE(copy.find("PIN: 2468"), std::string::npos);

    expectFailure(run({"cp", m_wallet, "Banking/Visa", "/"}), exit_code::kFailed, "'Visa*' exists in that folder");
    expectFailure(run({"cp", m_wallet, "Banking", "/"}), exit_code::kUsage, "'Banking' is not a card");
    expectFailure(run({"cp", m_wallet, "Banking/Visa", "Visa*"}), exit_code::kUsage, "is a card, not a folder");
}

TEST_F(WalletCommandsTest, Favourites) {
    addCard("Banking", "credit card", "Visa");
    addCard("Banking", "credit card", "Amex");
    EXPECT_EQ(run({"fav", m_wallet, "add", "Banking/Amex"}).code, 0);
    EXPECT_EQ(run({"fav", m_wallet, "add", "Banking/Visa"}).code, 0);
    TmproResult r = run({"fav", m_wallet, "add", "Banking/Visa"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Banking/Visa is a favourite already\n");
    EXPECT_EQ(run({"fav", m_wallet, "list"}).out, "Banking/Amex\nBanking/Visa\n");  // in the order added

    EXPECT_EQ(run({"fav", m_wallet, "remove", "Banking/Amex"}).code, 0);
    EXPECT_EQ(run({"fav", m_wallet, "list"}).out, "Banking/Visa\n");
    EXPECT_EQ(run({"show", m_wallet, "Banking/Amex"}).code, 0);  // the card stays
    expectFailure(run({"fav", m_wallet, "remove", "Banking/Amex"}), exit_code::kNotFound, "is not a favourite");
    expectFailure(run({"fav", m_wallet, "add", "Banking"}), exit_code::kUsage, "is not a card");
    EXPECT_EQ(run({"fav", m_wallet, "sort"}).code, exit_code::kUsage);
    EXPECT_EQ(run({"fav", m_wallet, "add"}).code, exit_code::kUsage);

    // A deleted card leaves the list.
    ASSERT_EQ(run({"rm", m_wallet, "Banking/Visa"}).code, 0);
    EXPECT_EQ(run({"fav", m_wallet, "list"}).out, "");
}

TEST_F(WalletCommandsTest, FavouritesHoldThirtyTwoCards) {
    for (int i = 1; i <= 33; ++i) {
        addCard("Banking", "note", "Card " + std::to_string(i));
        const TmproResult r = run({"fav", m_wallet, "add", "Banking/Card " + std::to_string(i)});
        if (i <= 32)
            EXPECT_EQ(r.code, 0) << i << r.err;
        else
            expectFailure(r, exit_code::kFailed, "the favourites are full (32 cards)");
    }
    TmproResult r = run({"fav", m_wallet, "list"});
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 32);
    EXPECT_EQ(r.out.find("Card 33"), std::string::npos);
    EXPECT_EQ(run({"fav", m_wallet, "clear"}).code, 0);
    EXPECT_EQ(run({"fav", m_wallet, "list"}).out, "");
}

TEST_F(WalletCommandsTest, PasswordChange) {
    addCard("Banking", "credit card", "Visa", {"--set", "PIN=2468"});
    const std::string pw = std::string(kPassword) + "\n";
    const std::string before = fileBytes(m_wallet);

    // Refusals change nothing.
    expectFailure(runTmpro({"passwd", m_wallet}, pw + "new-pass\nnew-past\n"), exit_code::kUsage,
                  "the two new passwords differ");
    expectFailure(runTmpro({"passwd", m_wallet}, pw + "ab\nab\n"), exit_code::kUsage, "3 to 23 characters");
    expectFailure(runTmpro({"passwd", m_wallet}, pw + std::string(24, 'x') + "\n" + std::string(24, 'x') + "\n"),
                  exit_code::kUsage, "3 to 23 characters");
    expectFailure(runTmpro({"passwd", m_wallet}, "not-it\nnew-pass\nnew-pass\n"), exit_code::kWrongPassword,
                  "wrong password");
    expectFailure(runTmpro({"passwd", m_wallet}, pw), exit_code::kUsage, "no password given");
    EXPECT_EQ(fileBytes(m_wallet), before);

    // The hint is the line after the passwords.
    TmproResult r = runTmpro({"passwd", m_wallet}, pw + "new-pass\nnew-pass\nthe new hint\n");
    ASSERT_EQ(r.code, 0) << r.err;
    expectFailure(run({"show", m_wallet, "Banking/Visa"}), exit_code::kWrongPassword, "wrong password");
    r = runTmpro({"show", m_wallet, "Banking/Visa", "--passwords"}, "new-pass\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\nPIN: 2468\n"), std::string::npos);
    EXPECT_EQ(runTmpro({"hint", m_wallet}).out, "the new hint\n");

    // --keep-hint and --hint; an empty hint line clears it.
    ASSERT_EQ(runTmpro({"passwd", m_wallet, "--keep-hint"}, "new-pass\nthird-pass\nthird-pass\n").code, 0);
    EXPECT_EQ(runTmpro({"hint", m_wallet}).out, "the new hint\n");
    ASSERT_EQ(runTmpro({"passwd", m_wallet, "--hint", "set here"}, "third-pass\nfourth\nfourth\n").code, 0);
    EXPECT_EQ(runTmpro({"hint", m_wallet}).out, "set here\n");
    ASSERT_EQ(runTmpro({"passwd", m_wallet}, "fourth\nfifth\nfifth\n\n").code, 0);
    expectFailure(runTmpro({"hint", m_wallet}), exit_code::kNotFound, "has no password hint");
    EXPECT_EQ(runTmpro({"find", m_wallet, "2468"}, "fifth\n").out, "Banking/Visa\n");
    EXPECT_EQ(runTmpro({"passwd", m_wallet, "--hint", "x", "--keep-hint"}, "fifth\n").code, exit_code::kUsage);
}

TEST_F(WalletCommandsTest, RepairOfADamagedCopy) {
    addCard("Banking", "credit card", "Visa", {"--set", "Card number=4111"});
    const std::string copy = m_folder.file("damaged.tm5");
    std::filesystem::copy_file(m_wallet, copy);
    {
        std::ofstream tail(copy, std::ios::binary | std::ios::app);
        tail << std::string(600, '\x55');  // bytes after the last record that are no record
    }
    const std::string damaged = fileBytes(copy);

    expectFailure(run({"show", copy, "Banking/Visa"}), exit_code::kDamaged, "damaged (run: tmpro repair WALLET)");
    TmproResult r = run({"repair", copy});  // no terminal to ask on: declined
    EXPECT_EQ(r.code, exit_code::kDeclined);
    EXPECT_NE(r.out.find("use --yes to agree"), std::string::npos) << r.out;
    EXPECT_EQ(fileBytes(copy), damaged);

    r = run({"--yes", "repair", copy});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(fileBytes(copy), fileBytes(m_wallet));  // exactly the wallet before the damage
    EXPECT_EQ(fileBytes(copy + ".bak"), damaged);
    EXPECT_NE(r.out.find("1 changes were made"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("kept in\n" + copy + ".bak"), std::string::npos) << r.out;
    r = run({"--yes", "repair", copy});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("No damage was found in\n" + copy), std::string::npos) << r.out;
    EXPECT_EQ(fileBytes(copy + ".bak"), damaged) << "a sound wallet makes no new copy";
    EXPECT_EQ(run({"find", copy, "4111"}).out, "Banking/Visa\n");
    expectFailure(runTmpro({"repair", copy}, "not-it\n"), exit_code::kWrongPassword, "wrong password");
}

TEST_F(WalletCommandsTest, ReadingPassesOverALastRecordCutShort) {
    addCard("Banking", "credit card", "Visa", {"--set", "Card number=4111"});
    std::filesystem::resize_file(m_wallet, std::filesystem::file_size(m_wallet) - 20);
    TmproResult r = run({"tree", m_wallet});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.find("Visa"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Banking"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("last record is incomplete"), std::string::npos) << r.err;
    expectFailure(run({"cp", m_wallet, "Banking", "Copy"}), exit_code::kDamaged, "damaged");
    r = run({"--yes", "repair", m_wallet});
    ASSERT_EQ(r.code, 0) << r.out << r.err;
    r = run({"tree", m_wallet});
    EXPECT_NE(r.out.find("Visa"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(WalletCommandsTest, ALeftoverReplacementIsRemovedOrNamed) {
    const std::string leftover = m_wallet + ".~new";
    { std::ofstream(leftover) << "half a wallet"; }
    ASSERT_EQ(run({"mkdir", m_wallet, "Travel"}).code, 0);
    EXPECT_FALSE(std::filesystem::exists(leftover));

    std::filesystem::create_directory(leftover);
    const TmproResult r = run({"rm", m_wallet, "Travel"});
    EXPECT_NE(r.err.find("warning: " + leftover + " is left from an earlier run and cannot be removed"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.code, exit_code::kFailed);
    EXPECT_NE(r.err.find("deleted (" + leftover + " is in the way and cannot be removed"), std::string::npos) << r.err;
    std::filesystem::remove(leftover);
    EXPECT_EQ(run({"rm", m_wallet, "Travel"}).code, 0);
}

TEST_F(WalletCommandsTest, HintNeedsNoPassword) {
    TmproResult r = runTmpro({"hint", m_wallet});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "my hint\n");
    const std::string other = m_folder.file("not-a-wallet.tm5");
    std::ofstream(other) << "just some text, long enough to be looked at as a wallet file header";
    expectFailure(runTmpro({"hint", other}), exit_code::kNotAWallet, "not-a-wallet.tm5");
}

}  // namespace
}  // namespace tw::cli
