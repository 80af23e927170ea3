// tmpro get, clip, attach, detach and extract, driven as a user would.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cli/ClipboardLoader.h"
#include "cli/Command.h"
#include "platform/SecretClipboard.h"
#include "support/TmproRun.h"

namespace tw::cli {
namespace {

using test::expectFailure;
using test::fileBytes;
using test::TmproResult;

class GetCommandsTest : public test::TmproTest {
protected:
    void SetUp() override {
        TmproTest::SetUp();
        addCard("Banking", "credit card", "Visa",
                {"--set", "Card number=4111 2222", "--set", "PIN=2468", "--note", "line one\nline two"});
        addCard("Banking", "note", "Plain");
    }
};

TEST_F(GetCommandsTest, GetPrintsOneValueAndNothingElse) {
    const struct {
        std::vector<std::string> field;
        const char* out;
    } cases[] = {
        {{"PIN"}, "2468\n"},
        {{}, "2468\n"},  // the first password field
        {{"card NUMBER"}, "4111 2222\n"},
        {{"Note"}, "line one\nline two\n"},
        {{"Valid from"}, "\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"get", m_wallet, "Banking/Visa"};
        args.insert(args.end(), c.field.begin(), c.field.end());
        const TmproResult r = run(args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, "");
    }
    expectFailure(run({"get", m_wallet, "Banking/Visa", "Colour"}), exit_code::kNotFound, "no field named 'Colour'");
    expectFailure(run({"get", m_wallet, "Banking/Plain"}), exit_code::kNotFound, "no password field");
    expectFailure(run({"get", m_wallet, "Banking"}), exit_code::kUsage, "is not a card");
}

TEST_F(GetCommandsTest, TwoImportsOfOneTableAreReachedByIdentifier) {
    const std::string table = m_folder.file("table.txt");
    std::ofstream(table, std::ios::binary) << "CardName\tPassword\r\nMail\tfirst\r\n";
    ASSERT_EQ(test::runTmpro({"--yes", "import", m_wallet, table}, std::string(kPassword) + "\n").code, 0);
    std::ofstream(table, std::ios::binary) << "CardName\tPassword\r\nMail\tsecond\r\n";
    ASSERT_EQ(test::runTmpro({"--yes", "import", m_wallet, table}, std::string(kPassword) + "\n").code, 0);

    // The second import folder gets a name of its own, so paths reach both cards.
    const TmproResult tree = run({"tree", m_wallet, "--ids"});
    std::vector<std::string> mailIds;
    std::vector<std::string> folders;
    std::istringstream lines(tree.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.ends_with(" Mail")) mailIds.push_back(line.substr(0, 32));
        if (line.find("  Imported") != std::string::npos) folders.push_back(line.substr(line.find("Imported")));
    }
    ASSERT_EQ(mailIds.size(), 2u) << tree.out;
    ASSERT_EQ(folders.size(), 2u) << tree.out;
    EXPECT_EQ(folders[1], folders[0].substr(0, folders[0].size() - 1) + " (2)/") << tree.out;
    std::set<std::string> values;
    for (const std::string& id : mailIds) values.insert(run({"get", m_wallet, "#" + id, "Password"}).out);
    EXPECT_EQ(values, (std::set<std::string>{"first\n", "second\n"}));
    // The imported password column is a password field: masked by show.
    EXPECT_NE(run({"show", m_wallet, "#" + mailIds[0]}).out.find("Password: **********"), std::string::npos);
}

TEST_F(GetCommandsTest, AttachExtractDetachRoundTrip) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    const std::string file = m_folder.file("all bytes.bin");
    const std::string picture = m_folder.file("face.gif");
    std::ofstream(file, std::ios::binary) << bytes;
    std::ofstream(picture, std::ios::binary) << "GIF89a" << bytes;

    TmproResult r = run({"attach", m_wallet, "Banking/Visa", file});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Attached all bytes.bin to Banking/Visa as file 1\n");
    r = run({"attach", m_wallet, "Banking/Visa", picture, "--as", "picture"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = run({"attach", m_wallet, "Banking/Visa", picture, "--name", "copy.bin"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = run({"attach", m_wallet, "Banking/Visa", file, "--as", "2"});  // replaces it
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Attached all bytes.bin to Banking/Visa as file 2\n");
    ASSERT_EQ(run({"attach", m_wallet, "Banking/Visa", file, "--as", "2", "--name", "copy.bin"}).code, 0);
    r = run({"show", m_wallet, "Banking/Visa"});
    EXPECT_NE(r.out.find("Picture: face.gif, 262 bytes"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("File 2:  copy.bin, 256 bytes"), std::string::npos) << r.out;

    const std::string out = m_folder.file("out.bin");
    ASSERT_EQ(run({"extract", m_wallet, "Banking/Visa", "1", "--out", out}).code, 0);
    EXPECT_EQ(fileBytes(out), bytes);
    expectFailure(run({"extract", m_wallet, "Banking/Visa", "copy.bin", "--out", out}), exit_code::kFailed,
                  "exists already");
    ASSERT_EQ(run({"extract", m_wallet, "Banking/Visa", "copy.bin", "--out", out, "--force"}).code, 0);
    EXPECT_EQ(fileBytes(out), bytes);
    r = run({"extract", m_wallet, "Banking/Visa", "picture", "--out", "-"});
    EXPECT_EQ(r.out, "GIF89a" + bytes);

    r = run({"detach", m_wallet, "Banking/Visa", "ALL BYTES.BIN"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Removed file 1 (all bytes.bin) from Banking/Visa\n");
    const std::string before = fileBytes(m_wallet);
    expectFailure(run({"detach", m_wallet, "Banking/Visa", "2"}), exit_code::kNotFound, "nothing in file 2");
    expectFailure(run({"extract", m_wallet, "Banking/Visa", "sound"}), exit_code::kNotFound, "nothing in the sound");
    expectFailure(run({"attach", m_wallet, "Banking/Visa", file, "--as", "11"}), exit_code::kUsage, "1 to 10");
    expectFailure(run({"attach", m_wallet, "Banking/Visa", file, "--as", "3"}), exit_code::kNotFound,
                  "nothing in file 3");
    expectFailure(run({"attach", m_wallet, "Banking/Visa", m_folder.file("none")}), exit_code::kFailed,
                  "cannot be read");
    EXPECT_TRUE(fileBytes(m_wallet) == before);

    for (int i = 0; i < 9; ++i) ASSERT_EQ(run({"attach", m_wallet, "Banking/Visa", file}).code, 0) << i;
    expectFailure(run({"attach", m_wallet, "Banking/Visa", file}), exit_code::kFailed, "all ten file slots");
}

TEST_F(GetCommandsTest, ClipWithoutItsModuleFailsBeforeAskingForThePassword) {
    setClipboardModuleFolder(m_folder.file("nowhere"));
    const TmproResult r = run({"clip", m_wallet, "Banking/Visa"});
    setClipboardModuleFolder(TW_BINARY_DIR);
    expectFailure(r, exit_code::kFailed, "libtmpro-clip.so cannot be loaded");
}

TEST_F(GetCommandsTest, ClipMarksTheValueAndClearsIt) {
    setClipboardModuleFolder(TW_BINARY_DIR);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) ::unsetenv(name);
    if (QGuiApplication::instance() == nullptr)
        expectFailure(run({"clip", m_wallet, "Banking/Visa"}), exit_code::kFailed, "no display");

    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char arg0[] = "test";
    static char* argv[] = {arg0, nullptr};
    std::unique_ptr<QGuiApplication> app;
    if (QGuiApplication::instance() == nullptr) app = std::make_unique<QGuiApplication>(argc, argv);
    QClipboard* clipboard = QGuiApplication::clipboard();

    // While clip waits, the clipboard holds the value, marked for clipboard managers.
    QString seen, hint;
    QTimer::singleShot(300, [&] {
        const QMimeData* data = clipboard->mimeData();
        if (data == nullptr) return;
        seen = data->text();
        hint = QString::fromLatin1(data->data(QString::fromLatin1(SecretClipboard::kHintFormat)));
    });
    TmproResult r = run({"clip", m_wallet, "Banking/Visa", "PIN", "--timeout", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Copied to the clipboard; it is cleared in 1 s (Ctrl-C clears it now)\n");
    EXPECT_EQ(seen, QStringLiteral("2468"));
    EXPECT_EQ(hint, QStringLiteral("secret"));
    EXPECT_TRUE(clipboard->text().isEmpty());

    // What the user copies meanwhile is left alone, and clip stops waiting.
    QTimer::singleShot(300, [&] { clipboard->setText(QStringLiteral("mine")); });
    r = run({"clip", m_wallet, "Banking/Visa", "--timeout", "30"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(clipboard->text(), QStringLiteral("mine"));

    expectFailure(run({"clip", m_wallet, "Banking/Visa", "--timeout", "0"}), exit_code::kUsage, "--timeout");
    clipboard->clear();
}

}  // namespace
}  // namespace tw::cli
