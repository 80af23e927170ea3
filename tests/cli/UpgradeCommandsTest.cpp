// tmpro end to end on older wallets: opening an old-format wallet upgrades it (with --yes), and
// convert turns a ".wal" wallet into a new one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/Tool.h"
#include "model/Card.h"
#include "platform/PosixFile.h"
#include "storage/WalletFile.h"
#include "support/CardFixtures.h"
#include "support/OldWalletBuilder.h"
#include "support/TestEnv.h"
#include "support/TmproRun.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

test::TmproResult tmpro(const std::vector<std::string>& args, const std::string& input) {
    return test::runTmpro(args, input);
}

class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = fs::temp_directory_path() /
                 ("tmpro-upgrade-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~TempFolder() { fs::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    fs::path m_path;
};

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The names of a wallet's records, and its cards by name, read with the given password.
struct Opened {
    OpenResult result;
    std::vector<std::u16string> names;
    std::map<std::u16string, std::unique_ptr<Card>> cards;
};

Opened openWallet(const std::string& path, const std::u16string& password) {
    test::TestEnv t;
    PosixFileSystem files;
    Env env{files, t.clock, t.random, t.strings, t.prompt, t.system};
    WalletFile w(env);
    Opened o;
    o.result = w.readAll(path, password, true);
    for (std::size_t i = 0; i < w.index().count(); ++i) {
        o.names.push_back(w.nameOf(i));
        if (w.index().at(i).type() == RecordType::Card) o.cards[w.nameOf(i)] = w.loadCard(w.index().at(i).id());
    }
    return o;
}

TEST(TmproUpgrade, OpeningAnOldWalletUpgradesItWhenAgreed) {
    TempFolder dir;
    const std::string path = dir.file("old.tm5");
    test::OldTm5Builder b(test::kPassword, SystemTime{2005, 3, 2, 15, 8, 40, 12, 0});
    const RecordId bank = b.addFolder(u"Bank");
    test::TestEnv t;
    Card card = test::fullCard(t.strings);
    b.addCard(u"Visa", bank, card);
    const std::vector<std::uint8_t> old = b.bytes();
    writeFile(path, old);
    const std::string password = "correct horse\n";

    test::TmproResult r = tmpro({"mkdir", path, "Added"}, password);
    EXPECT_EQ(r.code, 8) << r.err;  // no terminal to ask on: declined
    EXPECT_NE(r.err.find("declined"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(path), old);

    r = tmpro({"--yes", "mkdir", path, "Added"}, password);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("Upgrading the wallet format"), std::string::npos);
    EXPECT_NE(r.err.find("100%"), std::string::npos);
    EXPECT_NE(r.out.find("Your wallet file format has been updated."), std::string::npos) << r.out;

    const Opened o = openWallet(path, test::kPassword);
    ASSERT_EQ(o.result, OpenResult::Ok);
    EXPECT_EQ(o.names, (std::vector<std::u16string>{u"Bank", u"Visa", u"Added"}));
    std::vector<std::uint8_t> want, got;
    card.serializeBody(test::testRecordKey(), &want);
    ASSERT_TRUE(o.cards.at(u"Visa"));
    o.cards.at(u"Visa")->serializeBody(test::testRecordKey(), &got);
    EXPECT_EQ(got, want);
}

TEST(TmproUpgrade, ConvertMakesANewWalletBesideTheOldOne) {
    TempFolder dir;
    const std::string oldPath = dir.file("Home.wal");
    test::WalBuilder b("open sesame");
    b.addFolder(7, 505, 15, u"Mail");
    test::WalCard card;
    card.folder = 7;
    card.form = 505;
    card.name = u"Work";
    card.items = {{506, test::walText(u"me@example.org")}};
    b.addCard(card);
    const std::vector<std::uint8_t> old = b.bytes();
    writeFile(oldPath, old);

    test::TmproResult r = tmpro({"convert", oldPath}, "open sesamE\n");
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("wrong password"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("Home.tm5")));

    r = tmpro({"convert", oldPath}, "open sesame\n");
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Home.tm5"), std::string::npos) << r.out;
    EXPECT_EQ(readFile(oldPath), old);
    const Opened o = openWallet(dir.file("Home.tm5"), u"open sesame");
    ASSERT_EQ(o.result, OpenResult::Ok);
    ASSERT_TRUE(o.cards.count(u"Work"));
    EXPECT_EQ(o.cards.at(u"Work")->field(0).value(), u"me@example.org");

    r = tmpro({"convert", oldPath}, "open sesame\n");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("exists already"), std::string::npos) << r.err;

    r = tmpro({"convert", oldPath, dir.file("Other.tm5")}, "open sesame\n");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(openWallet(dir.file("Other.tm5"), u"open sesame").result, OpenResult::Ok);

    writeFile(dir.file("Bad.wal"), std::vector<std::uint8_t>(900, 0));
    r = tmpro({"convert", dir.file("Bad.wal")}, "open sesame\n");
    EXPECT_EQ(r.code, 4);
    EXPECT_NE(r.err.find("not an older wallet"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tw
