#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Attachment.h"
#include "platform/MemoryFile.h"
#include "storage/Bytes.h"
#include "support/CardFixtures.h"

namespace tw {
namespace {

using test::testBytes;
using test::testRecordKey;

TEST(Attachment, TypeAndNameFromThePath) {
    struct Case {
        AttachmentKind kind;
        std::u16string path;
        std::uint32_t givenType;
        std::uint32_t type;
        std::u16string name;
    };
    const Case cases[] = {
        {AttachmentKind::Picture, u"\\My Documents\\Photo.JPG", 0, 2, u"Photo.JPG"},
        {AttachmentKind::Picture, u"/home/ann/pictures/face.jpeg", 0, 2, u"face.jpeg"},
        {AttachmentKind::Picture, u"C:\\a.b\\map.Bmp", 0, 1, u"map.Bmp"},
        {AttachmentKind::Picture, u"anim.gif", 0, 3, u"anim.gif"},
        {AttachmentKind::Picture, u"shot.png", 2, 0, u"shot.png"},
        {AttachmentKind::Picture, u"dir.bmp\\noext", 0, 0, u"noext"},
        {AttachmentKind::Picture, u"", 3, 3, u""},
        {AttachmentKind::Sound, u"\\Windows\\Alarm.WAV", 0, 1, u"Alarm.WAV"},
        {AttachmentKind::Sound, u"tune.wave", 1, 0, u"tune.wave"},
        {AttachmentKind::Sound, u"", 1, 1, u""},
        {AttachmentKind::File, u"notes.wav", 5, 0, u"notes.wav"},
    };
    for (const Case& c : cases) {
        Attachment a(c.kind);
        ASSERT_TRUE(a.set(testBytes(3), c.path, c.givenType));
        EXPECT_EQ(a.type(), c.type) << std::string(c.path.begin(), c.path.end());
        EXPECT_EQ(a.name(), c.name);
        EXPECT_TRUE(a.changed());
    }
    Attachment a(AttachmentKind::File);
    a.set(testBytes(3), u"\\" + std::u16string(300, u'n'));
    EXPECT_EQ(a.name().size(), Attachment::kMaxName);
    a.set(testBytes(3), std::u16string(258, u'n') + u"\U0001F600");
    EXPECT_EQ(a.name(), std::u16string(258, u'n')) << "never cut inside a surrogate pair";
    EXPECT_FALSE(a.set({}, u"empty.txt")) << "no data is no attachment";
}

TEST(Attachment, PicturePlacementIsForcedIntoRange) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {{0, 9}, {1, 1}, {10, 10}, {11, 9}, {0xFFFFFFFF, 9}};
    for (const auto& [before, after] : cases) {
        Attachment a(AttachmentKind::Picture);
        a.setPlacement(1);
        // A placement read from a body is taken as it is; setting a picture forces it.
        std::vector<std::uint8_t> payload(48, 0);
        putU32(payload.data(), 0, before);
        ASSERT_TRUE(a.readPayload(payload.data(), payload.size(), testRecordKey()));
        EXPECT_EQ(a.placement(), before);
        a.set(testBytes(2), u"p.bmp");
        EXPECT_EQ(a.placement(), after) << before;
    }
}

TEST(Attachment, DataPadding) {
    const KeyRecord key = testRecordKey();
    struct Case {
        std::size_t size;
        std::uint32_t stored, padding;
    };
    const Case cases[] = {{1000, 1004, 4}, {1001, 1004, 3}, {1002, 1004, 2}, {1003, 1004, 1}};
    for (const Case& c : cases) {
        Attachment a(AttachmentKind::Sound);
        const auto data = testBytes(c.size);
        a.set(data, u"s.wav");
        std::vector<std::uint8_t> out;
        ASSERT_TRUE(a.writePayload(key, out));
        EXPECT_EQ(getU32(out.data(), 8), c.stored) << c.size;
        EXPECT_EQ(getU32(out.data(), 12), c.padding);
        EXPECT_EQ(out.size(), 32 + c.stored + 12u) << "name s.wav: 10 bytes stored in 12";
        // One stream over the whole data block.
        std::vector<std::uint8_t> plain(c.size);
        key.encipher(out.data() + 32, c.size, plain.data());
        EXPECT_EQ(plain, data);
        EXPECT_TRUE(allZero(out.data() + 32 + c.size, c.padding));

        Attachment back(AttachmentKind::Sound);
        ASSERT_TRUE(back.readPayload(out.data(), out.size(), key));
        EXPECT_EQ(back.data(), data);
        EXPECT_EQ(back.name(), u"s.wav");
        EXPECT_FALSE(back.changed());
    }
}

TEST(Attachment, ReadRefusesInconsistentSizes) {
    const KeyRecord key = testRecordKey();
    Attachment a(AttachmentKind::File);
    a.set(testBytes(10), u"f.bin");
    std::vector<std::uint8_t> good;
    ASSERT_TRUE(a.writePayload(key, good));
    struct Case {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        std::size_t size;
    };
    const Case cases[] = {
        {"shorter than the descriptor", 0, 0, 67},
        {"data larger than the payload", 36, 0xFFFFFFFC, good.size()},
        {"padding above the data size", 40, 13, good.size()},
        {"name runs past the end", 44, 16, good.size()},
        {"payload cut inside the name", 0, 0, good.size() - 2},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bad = good;
        if (c.offset != 0) putU32(bad.data(), c.offset, c.value);
        Attachment target(AttachmentKind::File);
        target.set(testBytes(1), u"kept");
        EXPECT_FALSE(target.readPayload(bad.data(), c.size, key)) << c.what;
        EXPECT_EQ(target.name(), u"kept") << c.what;
    }
}

TEST(Attachment, EmptyNameIgnoresItsPaddingCount) {
    const KeyRecord key = testRecordKey();
    Attachment a(AttachmentKind::Picture);
    ASSERT_TRUE(a.set(testBytes(6), u"", Attachment::kPictureJpeg));
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(a.writePayload(key, out));
    ASSERT_EQ(getU32(out.data(), 24), 0u) << "an empty name takes no room";
    putU32(out.data(), 28, 4);
    Attachment back(AttachmentKind::Picture);
    ASSERT_TRUE(back.readPayload(out.data(), out.size(), key));
    EXPECT_EQ(back.data(), testBytes(6));
    EXPECT_TRUE(back.name().empty());
}

class AttachFromFile : public testing::Test {
protected:
    const SystemTime now{2007, 1, 1, 2, 9, 30, 0, 0};
    const SystemTime written{2006, 2, 3, 14, 8, 15, 7, 0};
    MemoryFileSystem fs;
    FixedClock clock{now};
    Attachment a{AttachmentKind::File};
};

TEST_F(AttachFromFile, TakesDataNameAndTimes) {
    fs.setBytes("/docs/report.pdf", testBytes(5000));
    fs.setModifiedTime("/docs/report.pdf", written);
    ASSERT_TRUE(a.setFromFile(fs, "/docs/report.pdf", clock));
    EXPECT_EQ(a.data(), testBytes(5000));
    EXPECT_EQ(a.name(), u"report.pdf");
    EXPECT_EQ(a.fileTime(), written);
    EXPECT_EQ(a.attachTime(), now);

    fs.setBytes("/docs/no-time", testBytes(3));
    ASSERT_TRUE(a.setFromFile(fs, "/docs/no-time", clock));
    EXPECT_EQ(a.fileTime(), now) << "a file without a time takes the time of attaching";
}

TEST_F(AttachFromFile, FailuresLeaveTheAttachmentAsItWas) {
    a.set(testBytes(4), u"old.txt");
    fs.setBytes("/empty", {});
    fs.setBytes("/big", testBytes(100));
    EXPECT_FALSE(a.setFromFile(fs, "/missing", clock));
    EXPECT_FALSE(a.setFromFile(fs, "/empty", clock));
    fs.faults().shortReadAt = fs.faults().reads + 1;
    EXPECT_FALSE(a.setFromFile(fs, "/big", clock));
    EXPECT_EQ(a.name(), u"old.txt");
    EXPECT_EQ(a.data(), testBytes(4));
}

}  // namespace
}  // namespace tw
