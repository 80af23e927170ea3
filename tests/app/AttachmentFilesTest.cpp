// Writing attachments out of the wallet: names that cannot leave their folder, private files that
// are never written through a link, wallet files that are never opened, and the opened copies
// remembered for deletion.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/AttachmentFiles.h"
#include "model/WaveSound.h"
#include "support/CardFixtures.h"

namespace tw::app {
namespace {

namespace fs = std::filesystem;

struct TempFolder {
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "tw-attach-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path); }
    std::string path;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(AttachmentFilesTest, StoredNamesBecomeOneSafeFileName) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"../x", "x"},
        {u"..\\..\\etc\\passwd", "passwd"},
        {u"/abs/path/report.pdf", "report.pdf"},
        {u"..", "attachment"},
        {u"", "attachment"},
        {u"-rf", "_-rf"},
        {u".bashrc", "_.bashrc"},
        {u"a\nb\x01.txt", "ab.txt"},
        {u"Grüße.txt", "Grüße.txt"},
    };
    for (const auto& [stored, clean] : cases) EXPECT_EQ(cleanFileName(stored), clean);
    EXPECT_LE(cleanFileName(std::u16string(300, u'é')).size(), 200u);
    EXPECT_EQ(datedFileName(SystemTime{2007, 3, 1, 5, 0, 0, 0, 0}, u"notes.txt"), "20070305_notes.txt");
    for (const char* name : {"old.wal", "OLD.WAL", "x.Tm5"}) EXPECT_TRUE(isWalletFileName(name)) << name;
    for (const char* name : {"wal", "a.wal.txt", "tm5"}) EXPECT_FALSE(isWalletFileName(name)) << name;
}

TEST(AttachmentFilesTest, PrivateFilesAreUserOnlyAndNeverFollowALink) {
    TempFolder folder;
    const std::vector<std::uint8_t> data = test::testBytes(10);
    const std::string path = folder.path + "/a.bin";
    EXPECT_EQ(writePrivateFile(path, data, true), PrivateWrite::Written);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(writePrivateFile(path, test::testBytes(3), true), PrivateWrite::Exists);
    EXPECT_EQ(readAll(path).size(), 10u);
    ::chmod(path.c_str(), 0755);
    EXPECT_EQ(writePrivateFile(path, test::testBytes(3), false), PrivateWrite::Written);
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(readAll(path).size(), 3u);

    const std::string victim = folder.path + "/victim";
    std::ofstream(victim) << "keep";
    const std::string link = folder.path + "/link";
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    EXPECT_EQ(writePrivateFile(link, data, false), PrivateWrite::Failed);
    EXPECT_EQ(writePrivateFile(link, data, true), PrivateWrite::Exists);
    EXPECT_EQ(readAll(victim), "keep");
}

TEST(AttachmentFilesTest, OpenedCopiesAreRememberedOnceAndWalletsAreNotOpened) {
    TempFolder folder;
    const std::string opened = folder.path + "/run/opened";
    ASSERT_TRUE(makePrivateFolder(opened));
    struct stat st {};
    ASSERT_EQ(::stat(opened.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    Card card;
    card.file(0).set(test::testBytes(7), u"../../escape.txt");
    card.file(1).set(test::testBytes(4), u"OLD.WAL");
    const SystemTime today{2026, 12, 5, 11, 0, 0, 0, 0};
    TempFiles temp;
    const OpenedFile first = writeForOpening(card, 0, opened, today, temp);
    EXPECT_EQ(first.path, opened + "/20261211_escape.txt");
    EXPECT_TRUE(first.open);
    EXPECT_EQ(readAll(first.path).size(), 7u);
    writeForOpening(card, 0, opened, today, temp);
    EXPECT_EQ(temp.paths(), std::vector<std::string>{first.path});

    const OpenedFile wallet = writeForOpening(card, 1, opened, today, temp);
    EXPECT_FALSE(wallet.open);
    EXPECT_TRUE(fs::exists(wallet.path));
    EXPECT_EQ(temp.paths().size(), 1u);
    EXPECT_TRUE(writeForOpening(card, 2, opened, today, temp).path.empty());  // an empty slot

    EXPECT_EQ(temp.deleteAll(), 0u);
    EXPECT_FALSE(fs::exists(first.path));
    EXPECT_TRUE(temp.empty());
}

std::vector<std::uint8_t> wave(std::uint16_t format, std::uint16_t channels, std::uint16_t bits, std::uint32_t dataSize,
                               std::size_t dataHeld) {
    std::vector<std::uint8_t> out;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF");
    u32(36 + dataSize);
    tag("WAVE");
    tag("LIST");  // a chunk the reader passes over, with an odd size and its pad byte
    u32(3);
    out.insert(out.end(), {1, 2, 3, 0});
    tag("fmt ");
    u32(16);
    u16(format);
    u16(channels);
    u32(8000);
    u32(8000u * channels * bits / 8);
    u16(static_cast<std::uint16_t>(channels * bits / 8));
    u16(bits);
    tag("data");
    u32(dataSize);
    out.resize(out.size() + dataHeld, 0x80);
    return out;
}

TEST(WaveSoundTest, ReadsPcmAndCutsDataToTheImageAndWholeFrames) {
    const auto whole = readWave(wave(1, 2, 16, 16, 16));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->dataSize, 16u);
    EXPECT_EQ(whole->dataOffset, 12u + 12u + 24u + 8u);
    const auto cut = readWave(wave(1, 2, 16, 1000, 10));  // the data chunk claims more than there is
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->dataSize, 8u);
    EXPECT_FALSE(readWave(wave(2, 1, 8, 4, 4)));   // compressed
    EXPECT_FALSE(readWave(wave(1, 0, 8, 4, 4)));   // no channels
    EXPECT_FALSE(readWave(wave(1, 1, 12, 4, 4)));  // odd sample size
    auto noWave = wave(1, 1, 8, 4, 4);
    noWave[8] = 'X';
    EXPECT_FALSE(readWave(noWave));
    EXPECT_FALSE(readWave(std::vector<std::uint8_t>(11, 0)));
}

}  // namespace
}  // namespace tw::app
