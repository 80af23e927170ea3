#include <gtest/gtest.h>

#include <vector>

#include "platform/MemoryFile.h"
#include "storage/RecordCursor.h"
#include "storage/RecordHeader.h"

namespace tw {
namespace {

const SystemTime kNow{2026, 12, 4, 10, 9, 8, 7, 6};

// Records with and without custom icons, some larger than a small read-ahead chunk, so that
// headers and icon data straddle the chunks.
std::vector<std::uint8_t> sampleRecords() {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    auto file = makeMemoryFile(bytes);
    struct Record {
        RecordType type;
        std::size_t icon;  // bytes of the custom icon; 0: a built-in one
        std::uint32_t body;
    };
    const Record records[] = {
        {RecordType::Card, 0, 100},
        {RecordType::Folder, 1500, 0},
        {RecordType::Card, 3, 2000},
        {RecordType::Card, 0, 10},
    };
    std::uint8_t n = 0;
    for (const Record& r : records) {
        RecordId id;
        id.bytes[0] = ++n;
        RecordHeader h = RecordHeader::create(r.type, id, RecordId{}, kNow);
        if (r.icon != 0) h.setCustomIcon(std::vector<std::uint8_t>(r.icon, static_cast<std::uint8_t>(0x40 + n)));
        h.setBodyLength(r.body);
        EXPECT_EQ(writeRecord(file.get(), h, kNow), FileResult::Done);
        const std::vector<std::uint8_t> body(r.body, n);
        std::size_t written = 0;
        EXPECT_TRUE(file->write(body.data(), body.size(), &written));
    }
    return *bytes;
}

// Reading headers where they lie in the buffer finds what reading each header with its own
// calls finds (and so does reading them into headers from the buffer), step by step, in a file cut anywhere (inside a
// header, its icon data or a body).
TEST(RecordCursor, ViewsInTheBufferMatchHeadersReadOneByOne) {
    const std::vector<std::uint8_t> whole = sampleRecords();
    for (const std::size_t chunk : {std::size_t{1000}, RecordCursor::kChunk}) {
        for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
            SCOPED_TRACE(testing::Message() << "chunk " << chunk << ", cut at " << cut);
            auto bytes = std::make_shared<std::vector<std::uint8_t>>(whole.begin(), whole.begin() + cut);
            auto single = makeMemoryFile(bytes, false);
            auto buffered = makeMemoryFile(bytes, false);
            auto copied = makeMemoryFile(bytes, false);
            RecordCursor one(*single);
            RecordCursor ahead(*buffered, RecordCursor::Reading::ReadAhead, chunk);
            RecordCursor aheadCopied(*copied, RecordCursor::Reading::ReadAhead, chunk);
            for (std::size_t records = 0;; ++records) {
                RecordHeader h;
                RecordHeader copy;
                RecordCursor::View view;
                const RecordCursor::Step step = one.next(h);
                ASSERT_EQ(ahead.next(view), step) << "record " << records;
                ASSERT_EQ(aheadCopied.next(copy), step) << "record " << records;
                ASSERT_EQ(ahead.start(), one.start());
                if (step == RecordCursor::Step::Damaged) {
                    EXPECT_EQ(ahead.cutShort(), one.cutShort());
                    EXPECT_EQ(aheadCopied.cutShort(), one.cutShort());
                }
                if (step != RecordCursor::Step::Record) {
                    if (cut == whole.size()) {
                        EXPECT_EQ(records, 4u);
                    }
                    break;
                }
                EXPECT_EQ(ahead.bodyAt(), one.bodyAt());
                EXPECT_EQ(ahead.end(), one.end());
                EXPECT_EQ(std::vector<std::uint8_t>(view.header, view.header + RecordHeader::kSize),
                          std::vector<std::uint8_t>(h.raw.begin(), h.raw.end()));
                EXPECT_EQ(std::vector<std::uint8_t>(view.icon.begin(), view.icon.end()), h.iconData);
                EXPECT_EQ(copy.raw, h.raw);
                EXPECT_EQ(copy.iconData, h.iconData);
                ASSERT_TRUE(one.skipBody());
                ASSERT_TRUE(ahead.skipBody());
                ASSERT_TRUE(aheadCopied.skipBody());
            }
        }
    }
}

}  // namespace
}  // namespace tw
