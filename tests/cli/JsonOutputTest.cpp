// Output for programs: --json on info, tree, ls, show, find and forms, and export as csv, json
// or text to standard output, read back with a JSON parser of its own.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>

#include "cli/Command.h"
#include "model/SampleWallet.h"
#include "platform/PosixFile.h"
#include "platform/Text.h"
#include "support/TestEnv.h"
#include "support/TmproRun.h"

namespace tw::cli {
namespace {

using test::runTmpro;
using test::TmproResult;

const std::string kPassword = toUtf8(kSampleWalletPassword);

QJsonDocument parse(const TmproResult& r) {
    EXPECT_EQ(r.code, 0) << r.err;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out;
    return doc;
}

std::string str(const QJsonValue& v) {
    return v.toString().toStdString();
}

QJsonObject field(const QJsonObject& card, const char* name) {
    for (const QJsonValue& f : card[QStringLiteral("fields")].toArray())
        if (f[QStringLiteral("name")].toString() == QString::fromUtf8(name)) return f.toObject();
    ADD_FAILURE() << "no field " << name;
    return {};
}

class JsonOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        PosixFileSystem files;
        FixedClock clock{SystemTime{2025, 3, 5, 14, 9, 30, 0, 0}};
        SequenceRandom random{7};
        StringTable strings;
        ScriptedPrompt prompt;
        FakeSystem system;
        Env env{files, clock, random, strings, prompt, system};
        ASSERT_TRUE(buildSampleWallet(env, m_path));
    }
    TmproResult run(const std::vector<std::string>& args) { return runTmpro(args, kPassword + "\n"); }

    test::TempFolder m_folder;
    std::string m_path = m_folder.file("sample.tm5");
};

TEST_F(JsonOutputTest, InfoTreeLsFindAndForms) {
    const QJsonObject info = parse(runTmpro({"info", m_path, "--json"})).object();
    EXPECT_EQ(info[QStringLiteral("version")].toString(), QStringLiteral("6.50"));
    EXPECT_EQ(info[QStringLiteral("cards")].toInt(), 8);
    EXPECT_EQ(info[QStringLiteral("favourites")].toInt(), 1);
    EXPECT_TRUE(info[QStringLiteral("passwordCheck")].toBool());
    EXPECT_EQ(info[QStringLiteral("specialEntries")].toArray().size(), 3);
    EXPECT_NE(str(info[QStringLiteral("hint")]).find("lower case"), std::string::npos);

    // The tree nests folders; every record carries the identifier that #ID takes.
    const QJsonArray tree = parse(run({"tree", m_path, "--json"})).array();
    QJsonObject personal;
    for (const QJsonValue& node : tree)
        if (node[QStringLiteral("name")].toString() == QStringLiteral("Personal")) personal = node.toObject();
    ASSERT_EQ(personal[QStringLiteral("type")].toString(), QStringLiteral("folder"));
    EXPECT_EQ(tree.first()[QStringLiteral("type")].toString(), QStringLiteral("favourites"));
    EXPECT_TRUE(tree.first()[QStringLiteral("id")].isNull());
    const QJsonArray children = personal[QStringLiteral("children")].toArray();
    ASSERT_FALSE(children.isEmpty());
    const QJsonObject first = children.first().toObject();
    EXPECT_EQ(str(first[QStringLiteral("path")]), "Personal/" + str(first[QStringLiteral("name")]));
    EXPECT_EQ(run({"show", m_path, "#" + str(first[QStringLiteral("id")])})
                  .out.rfind("Name:    " + str(first[QStringLiteral("name")]) + "\n", 0),
              0u);

    // ls gives the entries of one folder, in the order of the text listing.
    const QJsonArray ls = parse(run({"ls", m_path, "Personal", "--json"})).array();
    std::string listed;
    for (const QJsonValue& e : ls) {
        EXPECT_FALSE(e.toObject().contains(QStringLiteral("children")));
        listed += str(e[QStringLiteral("name")]) +
                  (e[QStringLiteral("type")].toString() == QStringLiteral("card") ? "" : "/") + "\n";
    }
    EXPECT_EQ(listed, run({"ls", m_path, "Personal"}).out);

    const QJsonArray found = parse(run({"find", m_path, "northbank", "--json"})).array();
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(str(found[0][QStringLiteral("path")]), "Banking/Everyday Visa");
    EXPECT_EQ(found[0][QStringLiteral("id")].toString().size(), 32);

    const QJsonArray forms = parse(run({"forms", m_path, "--json"})).array();
    EXPECT_EQ(forms.size(), 44);  // 43 built-in, one of the wallet's own
    const QJsonObject club = parse(run({"forms", m_path, "--fields", "club membership", "--json"})).object();
    EXPECT_EQ(club[QStringLiteral("form")].toString(), QStringLiteral("Club Membership"));
    const QJsonArray clubFields = club[QStringLiteral("fields")].toArray();
    EXPECT_EQ(field(club, "Door code")[QStringLiteral("kind")].toString(), QStringLiteral("password"));
    EXPECT_EQ(field(club, "Member since")[QStringLiteral("kind")].toString(), QStringLiteral("date"));
    EXPECT_EQ(field(club, "Level")[QStringLiteral("items")].toArray().size() > 1, true);
    // The text listing has one line per field, #N first.
    const std::string text = run({"forms", m_path, "--fields", "club membership"}).out;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), clubFields.size());
    EXPECT_EQ(text.rfind("#1  ", 0), 0u) << text;
}

TEST_F(JsonOutputTest, ShowGivesValuesInTheFormsSetReads) {
    const QJsonObject masked = parse(run({"show", m_path, "Personal/City Gym", "--json"})).object();
    EXPECT_EQ(str(masked[QStringLiteral("path")]), "Personal/City Gym");
    EXPECT_EQ(masked[QStringLiteral("form")].toString(), QStringLiteral("Club Membership"));
    EXPECT_TRUE(field(masked, "Door code")[QStringLiteral("value")].isNull());
    EXPECT_EQ(field(masked, "Member since")[QStringLiteral("value")].toString(), QStringLiteral("2022-01-10"));
    EXPECT_EQ(field(masked, "Level")[QStringLiteral("value")].toString(), QStringLiteral("Gold"));
    EXPECT_EQ(masked[QStringLiteral("note")].toString(),
              QStringLiteral("Bring a padlock for the locker.\nTowels are extra."));
    const QJsonArray attachments = masked[QStringLiteral("attachments")].toArray();
    ASSERT_EQ(attachments.size(), 1);
    EXPECT_EQ(attachments[0][QStringLiteral("kind")].toString(), QStringLiteral("sound"));
    EXPECT_EQ(attachments[0][QStringLiteral("size")].toInt(), 844);

    const QJsonObject clear = parse(run({"show", m_path, "Personal/City Gym", "--json", "--passwords"})).object();
    EXPECT_EQ(field(clear, "Door code")[QStringLiteral("value")].toString(), QStringLiteral("2580#"));

    // A value read from JSON goes back in through --set unchanged.
    const std::string when = str(field(clear, "Next appointment")[QStringLiteral("value")]);
    EXPECT_EQ(when, "2025-04-02 07:15");
    ASSERT_EQ(run({"edit", m_path, "Personal/City Gym", "--set", "Next appointment=" + when}).code, 0);
    const QJsonObject again = parse(run({"show", m_path, "Personal/City Gym", "--json", "--passwords"})).object();
    EXPECT_EQ(again[QStringLiteral("fields")], clear[QStringLiteral("fields")]);
}

TEST_F(JsonOutputTest, ExportAsJsonCsvOrTextToStandardOutput) {
    // The json export holds each card as show --json gives it.
    const QJsonObject all = parse(run({"export", m_path, "--format", "json", "--out", "-", "--passwords"})).object();
    const QJsonArray cards = all[QStringLiteral("cards")].toArray();
    EXPECT_EQ(cards.size(), 9);  // the 8 cards and the form of the forms folder
    for (const QJsonValue& card : cards) {
        const std::string path = str(card[QStringLiteral("path")]);
        EXPECT_EQ(card.toObject(), parse(run({"show", m_path, path, "--json", "--passwords"})).object()) << path;
    }

    TmproResult r = run({"export", m_path, "--format", "csv", "--out", "-", "--folder", "Personal"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Path,Card,Form,Field,Kind,Value\r\n", 0), 0u);
    EXPECT_NE(r.out.find("Personal/City Gym,City Gym,Club Membership,Door code,password,********\r\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find(",Note,note,\"Bring a padlock for the locker.\nTowels are extra.\"\r\n"), std::string::npos);
    EXPECT_EQ(r.out.find("Banking/"), std::string::npos);

    // Cells are quoted for commas, quotes and line ends; CR LF becomes LF, a lone CR stays; text
    // beyond ASCII (a surrogate pair too) is UTF-8.
    ASSERT_EQ(
        run({"edit", m_path, "Personal/City Gym", "--set", "Member name=Größe \xF0\x9F\x98\x80 \"x\",\ry\r\nz"}).code,
        0);
    r = run({"export", m_path, "--format", "csv", "--out", "-", "--card", "Personal/City Gym"});
    EXPECT_NE(r.out.find(",Member name,text,\"Größe \xF0\x9F\x98\x80 \"\"x\"\",\ry\nz\"\r\n"), std::string::npos)
        << r.out;

    // Written to a folder, the csv file is named as the text export is, and only its owner reads it.
    const std::string out = m_folder.file("out");
    r = run({"export", m_path, "--format", "csv", "--out", out, "--card", "Personal/City Gym"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string file = r.out.substr(0, r.out.size() - 1);
    EXPECT_EQ(std::filesystem::path(file).parent_path(), std::filesystem::path(out) / "sample");
    EXPECT_EQ(std::filesystem::path(file).extension(), ".csv");
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // The text export to standard output is the file the text export writes, byte for byte.
    r = run({"export", m_path, "--out", out});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string written = test::fileBytes(r.out.substr(0, r.out.size() - 1));
    ASSERT_GT(written.size(), 2u);
    EXPECT_EQ(written.substr(0, 2), "\xFF\xFE");
    r = run({"export", m_path, "--out", "-"});
    EXPECT_TRUE(r.out == written);

    test::expectFailure(run({"export", m_path, "--format", "xml", "--out", "-"}), exit_code::kUsage, "--format");
    test::expectFailure(run({"export", m_path, "--out", "-", "--attachments"}), exit_code::kUsage, "--attachments");
}

// Every character that csv or json treat specially, at every place in a run of eight units and
// beside text beyond ASCII: csv and json write it as a plain reading of their rules would.
TEST_F(JsonOutputTest, ExportWritesSpecialCharactersAtEveryPlace) {
    const char* const specials[] = {",",    "\"",   "\r\n", "\r",   "\n",       "\t",
                                    "\x01", "\x1f", "\\",   "\x7f", "\xC3\xA9", "\xF0\x9F\x98\x80"};
    std::string value;
    for (const char* special : specials)
        for (int before = 0; before < 9; ++before)
            value += std::string(static_cast<std::size_t>(before), 'a') + special;
    ASSERT_EQ(run({"edit", m_path, "Personal/City Gym", "--set", "Member name=" + value}).code, 0);

    std::string lineFeeds;  // the value with CR LF as LF, as programs read it
    std::string cell = "\"";
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value.compare(i, 2, "\r\n") == 0) continue;
        lineFeeds += value[i];
        if (value[i] == '"') cell += '"';
        cell += value[i];
    }
    cell += '"';
    const TmproResult csv = run({"export", m_path, "--format", "csv", "--out", "-", "--card", "Personal/City Gym"});
    EXPECT_NE(csv.out.find(",Member name,text," + cell + "\r\n"), std::string::npos) << csv.out;

    const QJsonObject all = parse(run({"export", m_path, "--format", "json", "--out", "-"})).object();
    for (const QJsonValue& card : all[QStringLiteral("cards")].toArray()) {
        if (str(card[QStringLiteral("path")]) != "Personal/City Gym") continue;
        EXPECT_EQ(card.toObject(), parse(run({"show", m_path, "Personal/City Gym", "--json"})).object());
        EXPECT_EQ(str(field(card.toObject(), "Member name")[QStringLiteral("value")]), lineFeeds);
    }
}

}  // namespace
}  // namespace tw::cli
