// tmpro's command line as a whole: what it refuses, where passwords and secret values come from,
// and text that is not UTF-8.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "cli/Command.h"
#include "platform/PosixFile.h"
#include "platform/Text.h"
#include "storage/WalletFile.h"
#include "support/TmproRun.h"

namespace tw::cli {
namespace {

using test::expectFailure;
using test::fileBytes;
using test::runTmpro;
using test::TmproResult;

bool holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class CommandLineTest : public test::TmproTest {
protected:
    void SetUp() override {
        TmproTest::SetUp();
        addCard("Banking", "credit card", "Visa", {"--set", "PIN=2468"});
    }
    std::string pin(const std::string& card = "Banking/Visa") {
        const std::string out = run({"show", m_wallet, card, "--passwords"}).out;
        const std::size_t at = out.find("\nPIN: ");
        return at == std::string::npos ? "(none)" : out.substr(at + 6, out.find('\n', at + 1) - at - 6);
    }
};

TEST_F(CommandLineTest, BadCommandLinesAreRefusedBeforeThePasswordIsAsked) {
    const std::string before = fileBytes(m_wallet);
    const std::string missing = m_folder.file("nosuch.tm5");
    const struct {
        std::vector<std::string> args;
        int code;
        const char* words;
    } cases[] = {
        {{"show", m_wallet, "Banking/Visa", "--password"}, exit_code::kUsage, "unknown option '--password'"},
        {{"export", m_wallet, "--crad=Banking/Visa", "--out", "-"}, exit_code::kUsage, "unknown option '--crad'"},
        {{"show", m_wallet}, exit_code::kUsage, "PATH is required"},
        {{"show", m_wallet, "Banking/Visa", "extra"}, exit_code::kUsage, "one argument too many: 'extra'"},
        {{"add", m_wallet, "Banking", "--form"}, exit_code::kUsage, "--form"},
        {{"add", m_wallet, "Banking", "--name", "a", "--name", "b"}, exit_code::kUsage, "--name"},
        {{"tree", m_wallet, "--ids=3"}, exit_code::kUsage, "ids"},
        {{"show", m_wallet, "Banking/Visa", "--password-fd", "x"}, exit_code::kUsage, "'x' is not a whole number"},
        {{"frobnicate", m_wallet}, exit_code::kUsage, "unknown command 'frobnicate'"},
        {{"tree", missing}, exit_code::kNotAWallet, "no such file"},
        {{"tree", m_folder.path().string()}, exit_code::kNotAWallet, "is a folder"},
        {{"info", missing}, exit_code::kNotAWallet, "no such file"},
        {{"hint", missing}, exit_code::kNotAWallet, "no such file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.words);
        // No input: a command that asked for the password would say that none was given.
        expectFailure(runTmpro(c.args, ""), c.code, c.words);
    }
    EXPECT_EQ(fileBytes(m_wallet), before);

    // A wallet another program holds open for writing is named as locked, with who holds it,
    // before the password; with --wait the command waits for it to be let go.
    {
        const int fd = ::open(m_wallet.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        expectFailure(runTmpro({"rm", m_wallet, "Banking/Visa", "--wait", "0"}, ""), exit_code::kNotAWallet,
                      "locked by another program that has it open (test_cli, process " + std::to_string(::getpid()));
        std::thread release([fd] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            ::close(fd);
        });
        const TmproResult waited = run({"mkdir", m_wallet, "Waited", "--wait", "20"});
        release.join();
        EXPECT_EQ(waited.code, 0) << waited.err;
    }
    expectFailure(runTmpro({"info", m_wallet, "--yes"}, ""), exit_code::kUsage, "unknown option '--yes'");

    // A changing command on a read-only wallet is refused before the password, a reading one runs.
    ::chmod(m_wallet.c_str(), 0444);
    if (::access(m_wallet.c_str(), W_OK) != 0) {  // root may write anyway
        expectFailure(runTmpro({"rm", m_wallet, "Banking/Visa"}, ""), exit_code::kNotAWallet, "read-only");
        EXPECT_EQ(run({"ls", m_wallet, "Banking"}).out, "Visa\n");
    }
    ::chmod(m_wallet.c_str(), 0600);
}

TEST_F(CommandLineTest, EveryCommandHasHelp) {
    const std::string list = runTmpro({"--help"}).out;
    for (const auto& each : allCommands()) {
        const std::string command(each->name());
        SCOPED_TRACE(command);
        EXPECT_TRUE(holds(list, std::string("\n  ") + command + " "));
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"help", command}, std::vector<std::string>{command, "--help"},
              std::vector<std::string>{command, m_wallet, "-h"}}) {
            const TmproResult r = runTmpro(args);
            EXPECT_EQ(r.code, 0);
            EXPECT_EQ(r.out.rfind(std::string("Usage: tmpro ") + command + " ", 0), 0u) << r.out;
            EXPECT_TRUE(holds(r.out, "-h, --help"));
        }
    }
}

TEST_F(CommandLineTest, PasswordsFromAFileOrADescriptor) {
    const std::string file = m_folder.file("pw.txt");
    writeFile(file, std::string(kPassword) + "\n");
    TmproResult r = runTmpro({"ls", m_wallet, "Banking", "--password-file", file}, "");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Visa\n");

    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const std::string line = std::string(kPassword) + "\r\nnext line\n";
    ASSERT_EQ(::write(fds[1], line.data(), line.size()), static_cast<ssize_t>(line.size()));
    ::close(fds[1]);
    r = runTmpro({"ls", m_wallet, "Banking", "--password-fd", std::to_string(fds[0])}, "");
    EXPECT_EQ(r.code, 0) << r.err;
    // Only the password's line was read from the descriptor.
    char rest[32] = {};
    EXPECT_EQ(::read(fds[0], rest, sizeof rest), 10);
    EXPECT_STREQ(rest, "next line\n");
    ::close(fds[0]);

    // A file read whole still gives one line per password: here the password and its repetition,
    // the first ended by CR LF, the last by the file's end.
    const std::string made = m_folder.file("made.tm5");
    writeFile(file, "two-lines\r\ntwo-lines");
    r = runTmpro({"create", made, "--password-file", file}, "");
    EXPECT_EQ(r.code, 0) << r.err;
    writeFile(file, "two-lines\n");
    EXPECT_EQ(runTmpro({"ls", made, "--password-file", file}, "").code, 0);

    expectFailure(runTmpro({"ls", m_wallet, "--password-file", m_folder.file("none.txt")}, ""), exit_code::kUsage,
                  "cannot read the password file");
    writeFile(file, "");
    expectFailure(runTmpro({"ls", m_wallet, "--password-file", file}, ""), exit_code::kUsage, "no password in");
    expectFailure(runTmpro({"ls", m_wallet, "--password-file", file, "--password-fd", "0"}, ""), exit_code::kUsage,
                  "not both");
    // The options belong to the commands that open a wallet with its password.
    expectFailure(runTmpro({"hint", m_wallet, "--password-file", file}, ""), exit_code::kUsage, "unknown option");
}

TEST_F(CommandLineTest, TextThatIsNotUtf8IsRefused) {
    const std::string bad = "caf\xE9";  // Latin-1, as another terminal encoding would send it
    const std::string valueFile = m_folder.file("value.txt");
    writeFile(valueFile, "pin \xFF\n");
    const std::string before = fileBytes(m_wallet);
    const std::string pw = std::string(kPassword) + "\n";
    const struct {
        std::vector<std::string> args;
        std::string input;
        const char* words;
    } cases[] = {
        {{"ls", m_wallet}, bad + "\n", "password is not valid UTF-8"},
        {{"mkdir", m_wallet, bad}, pw, "PATH: the text is not valid UTF-8"},
        {{"show", m_wallet, "Banking/" + bad}, pw, "not valid UTF-8"},
        {{"rename", m_wallet, "Banking/Visa", bad}, pw, "NEW-NAME"},
        {{"edit", m_wallet, "Banking/Visa", "--set", "PIN=" + bad}, pw, "--set"},
        {{"edit", m_wallet, "Banking/Visa", "--note", bad}, pw, "--note"},
        {{"edit", m_wallet, "Banking/Visa", "--set-file", "PIN=" + valueFile}, pw, "is not valid UTF-8 text"},
        {{"edit", m_wallet, "Banking/Visa", "--set-prompt", "PIN"}, pw + bad + "\n", "value is not valid UTF-8"},
        {{"find", m_wallet, bad}, pw, "TEXT"},
        {{"passwd", m_wallet}, pw + bad + "\n" + bad + "\n", "password is not valid UTF-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.words);
        expectFailure(runTmpro(c.args, c.input), exit_code::kUsage, c.words);
    }
    EXPECT_EQ(fileBytes(m_wallet), before);
    EXPECT_EQ(pin(), "2468");

    // No wallet is made from such a password, nor with such a hint.
    const std::string fresh = m_folder.file("fresh.tm5");
    expectFailure(runTmpro({"create", fresh}, bad + "\n" + bad + "\n"), exit_code::kUsage, "not valid UTF-8");
    expectFailure(runTmpro({"create", fresh, "--hint", bad}, pw + pw), exit_code::kUsage, "--hint");
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST_F(CommandLineTest, SecretValuesStayOffTheCommandLine) {
    const std::string pw = std::string(kPassword) + "\n";
    // Typed at the prompt (here: the line after the password).
    TmproResult r = runTmpro({"edit", m_wallet, "Banking/Visa", "--set-prompt", "PIN"}, pw + "1357\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(holds(r.out + r.err, "1357"));
    EXPECT_EQ(pin(), "1357");

    // From a file: one final line end is dropped, inner ones are kept as CR LF.
    const std::string note = m_folder.file("note.txt");
    writeFile(note, "line one\nline two\n");
    writeFile(m_folder.file("pin.txt"), "8642\n");
    r = run({"edit", m_wallet, "Banking/Visa", "--set-file", "PIN=" + m_folder.file("pin.txt"), "--set-file",
             "Note=" + note});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(pin(), "8642");
    EXPECT_TRUE(holds(run({"show", m_wallet, "Banking/Visa"}).out, "\nNote:\n  line one\n  line two\n"));

    // From standard input, the password then coming from a file.
    writeFile(m_folder.file("pw.txt"), pw);
    r = runTmpro({"edit", m_wallet, "Banking/Visa", "--set-file", "PIN=-", "--password-file", m_folder.file("pw.txt")},
                 "9753");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(pin(), "9753");

    expectFailure(run({"edit", m_wallet, "Banking/Visa", "--set-file", "PIN"}), exit_code::kUsage, "FIELD=FILE");
    expectFailure(run({"edit", m_wallet, "Banking/Visa", "--set-prompt", "Colour"}), exit_code::kNotFound,
                  "no field named 'Colour'");
    EXPECT_TRUE(holds(runTmpro({"help", "add"}).out, "can be seen by every user"));
}

TEST_F(CommandLineTest, GeneratedPasswords) {
    TmproResult r = run({"edit", m_wallet, "Banking/Visa", "--generate", "PIN:12", "--characters", "digits"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string digits = pin();
    EXPECT_EQ(digits.size(), 12u);
    EXPECT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << digits;
    EXPECT_FALSE(holds(r.out, digits));

    r = run({"add", m_wallet, "Banking", "--form", "credit card", "--name", "New", "--generate", "PIN"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(pin("Banking/New").size(), 20u);

    const std::string before = fileBytes(m_wallet);
    const struct {
        std::vector<std::string> more;
        const char* words;
    } refused[] = {
        {{"--generate", "PIN:x"}, "FIELD:LENGTH"},
        {{"--generate", "PIN:2", "--characters", "lower,upper,digits"}, "one character per class"},
        {{"--generate", "PIN:300"}, "one character per class to 255"},
        {{"--generate", "PIN", "--characters", "emoji"}, "--characters takes"},
        {{"--exclude-lookalikes", "--name", "X"}, "go with --generate"},
    };
    for (const auto& c : refused) {
        std::vector<std::string> args{"edit", m_wallet, "Banking/Visa"};
        args.insert(args.end(), c.more.begin(), c.more.end());
        expectFailure(run(args), exit_code::kUsage, c.words);
    }
    EXPECT_EQ(fileBytes(m_wallet), before);
}

TEST_F(CommandLineTest, ChangingCommandsSayWhatTheyDid) {
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"mkdir", m_wallet, "Banking/Old"}, "Created folder Banking/Old\n"},
        {{"rename", m_wallet, "Banking/Old", "Archive"}, "Renamed Banking/Old to Banking/Archive\n"},
        {{"cp", m_wallet, "Banking/Visa", "Banking/Archive"}, "Copied to Banking/Archive/Visa*\n"},
        {{"mv", m_wallet, "Banking/Archive", "/"}, "Moved Banking/Archive to Archive\n"},
        {{"fav", m_wallet, "add", "Banking/Visa"}, "Added Banking/Visa to the favourites\n"},
        {{"fav", m_wallet, "remove", "Banking/Visa"}, "Removed Banking/Visa from the favourites\n"},
        {{"fav", m_wallet, "clear"}, "Cleared the favourites\n"},
        {{"edit", m_wallet, "Banking/Visa", "--name", "Visa Gold"}, "Saved Banking/Visa Gold\n"},
        {{"rm", m_wallet, "Archive", "--recursive"}, "Deleted Archive and the 1 record(s) in it\n"},
        {{"rm", m_wallet, "Banking/Visa Gold"}, "Deleted Banking/Visa Gold\n"},
    };
    for (const auto& c : cases) {
        const TmproResult r = run(c.args);
        EXPECT_EQ(r.code, 0) << c.out << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

TEST_F(CommandLineTest, NamesStayOnTheirLine) {
    expectFailure(run({"mkdir", m_wallet, "two\nlines"}), exit_code::kUsage, "cannot hold line feeds");
    expectFailure(run({"rename", m_wallet, "Banking/Visa", "tab\there"}), exit_code::kUsage, "cannot hold line feeds");

    // Other programs may have written such a name: it is shown escaped, and read back so.
    {
        PosixFileSystem files;
        SystemClock clock;
        OsRandom random;
        StringTable strings;
        ScriptedPrompt prompt;
        FakeSystem system;
        Env env{files, clock, random, strings, prompt, system};
        WalletFile w(env);
        ASSERT_EQ(w.readAll(m_wallet, fromUtf8(kPassword), false), OpenResult::Ok);
        for (std::size_t i = 0; i < w.index().count(); ++i) {
            if (w.nameOf(i) == u"Banking") {
                ASSERT_TRUE(w.rename(i, u"Bank\ning"));
            }
        }
        ASSERT_EQ(w.flush(), 0);
    }
    EXPECT_EQ(run({"ls", m_wallet}).out, "Bank\\ning/\nPersonal/\nMy Forms/\n");
    EXPECT_EQ(run({"ls", m_wallet, "Bank\\ning"}).out, "Visa\n");
    EXPECT_TRUE(holds(run({"tree", m_wallet}).out, "\nBank\\ning/\n  Visa\n"));
}

TEST_F(CommandLineTest, InfoAlignsItsColumns) {
    const TmproResult r = runTmpro({"info", m_wallet});
    ASSERT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_NE(line.back(), ' ') << line;
        EXPECT_EQ(line.find_first_not_of(' ', line.find(':') + 1), 18u) << line;  // one column of values
    }
    EXPECT_EQ(count, 12);
}

TEST_F(CommandLineTest, ImportKeepsItsValuesOffTheTerminalAndItsErrorsOnTheErrorStream) {
    const std::string table = m_folder.file("table.txt");
    writeFile(table, "CardName\tUser\tPassword\r\nMail\tjane\ts3cr3t-pw\r\n");
    TmproResult r = runTmpro({"--yes", "import", m_wallet, table}, std::string(kPassword) + "\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(holds(r.out + r.err, "s3cr3t-pw")) << r.out;

    writeFile(table, "Name\tUser\r\nMail\tjane\r\n");
    r = runTmpro({"--yes", "import", m_wallet, table}, std::string(kPassword) + "\n");
    EXPECT_EQ(r.code, exit_code::kFailed);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(holds(r.err, "is not a card table")) << r.err;
}

TEST_F(CommandLineTest, RewritesKeepTheWalletsMode) {
    ::chmod(m_wallet.c_str(), 0640);
    ASSERT_EQ(run({"rm", m_wallet, "Banking/Visa"}).code, 0);  // a rewrite of the whole file
    struct stat st {};
    ASSERT_EQ(::stat(m_wallet.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ManualPage, NamesEveryCommandAndOption) {
    std::string page = fileBytes(std::string(TW_SOURCE_DIR) + "/cli/doc/tmpro.1");
    ASSERT_FALSE(page.empty());
    // roff writes a dash as "\-".
    for (std::size_t at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at)) page.erase(at, 1);
    for (const auto& command : allCommands()) {
        const std::string name(command->name());
        EXPECT_TRUE(holds(page, ".BI \"" + name + " ") || holds(page, ".BI " + name + " ")) << name;
        const std::string help = helpText(*command);
        for (std::size_t at = help.find("  --"); at != std::string::npos; at = help.find("  --", at + 1)) {
            const std::string option = help.substr(at + 2, help.find_first_of(" \n", at + 2) - at - 2);
            EXPECT_TRUE(holds(page, option)) << name << " " << option;
        }
    }
}

}  // namespace
}  // namespace tw::cli
