#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/File.h"
#include "storage/RecordHeader.h"

namespace tw {

// Walks the records of a wallet file one after another from the file's current position:
// reads each header with its icon data and checks that its body lies inside the file.
//
// FileAtBody reads each header with its own calls and leaves the file at the record's body, for
// callers that read the body themselves. ReadAhead reads the file in large chunks through the
// cursor's own buffer and leaves the file's position unspecified: the body is had from body().
class RecordCursor {
public:
    enum class Step {
        Record,      // a record was read; the file is at its body
        End,         // no more bytes
        Damaged,     // some bytes were read but they are no record, or the body passes the end
        Unreadable,  // nothing could be read
    };
    enum class Reading { FileAtBody, ReadAhead };
    static constexpr std::size_t kChunk = 256 * 1024;

    // ReadAhead reads at least `chunk` bytes at a time: less for a look at one record.
    explicit RecordCursor(File& file, Reading reading = Reading::FileAtBody, std::size_t chunk = kChunk);
    // ReadAhead from `at` (the file's position is neither used nor moved): a look at a record
    // whose place is known reads it, header and body, in one call when `chunk` covers it.
    RecordCursor(File& file, std::uint64_t at, std::size_t chunk);

    Step next(RecordHeader& header);

    // A record's header and custom icon data where they lie in the cursor's buffer.
    struct View {
        const std::uint8_t* header = nullptr;  // RecordHeader::kSize bytes
        std::span<const std::uint8_t> icon;
    };
    // ReadAhead: the next record without copying it out, checked as next() checks it. The view
    // is valid until the next call of next() or body().
    Step next(View& view);
    // After Damaged: true when the damage is only that the file ends inside the record (inside
    // its header, its icon data or its body), as an append cut short by a crash leaves it.
    bool cutShort() const { return m_cutShort; }
    // Where the last record read starts, where its body starts, and where it ends.
    std::uint64_t start() const { return m_start; }
    std::uint64_t bodyAt() const { return m_bodyAt; }
    std::uint64_t end() const { return m_end; }
    // Moves on to the end of the last record read (FileAtBody: moves the file there).
    bool skipBody();
    // ReadAhead: the last record's body, valid until the next call; false when it cannot be read.
    bool body(std::span<const std::uint8_t>* out);

private:
    Step nextBuffered(RecordHeader& header);
    // `*headBytes`: how many header bytes `view.header` holds (fewer than a header at the end of
    // the file); `*iconLost`: the icon data named by the header cannot be read.
    Step viewBuffered(View& view, std::size_t* headBytes, bool* iconLost);
    // Makes the `count` bytes at `at` available in the buffer, as many as the file holds; the
    // number available from `at` (at most `count`), or -1 when the read failed.
    std::int64_t fill(std::uint64_t at, std::size_t count) {
        if (at >= m_bufferAt && at - m_bufferAt <= m_buffered && m_buffered - (at - m_bufferAt) >= count)
            return static_cast<std::int64_t>(count);
        return refill(at, count);
    }
    std::int64_t refill(std::uint64_t at, std::size_t count);
    const std::uint8_t* bytesAt(std::uint64_t at) const { return m_buffer.data() + (at - m_bufferAt); }

    File& m_file;
    Reading m_reading;
    std::size_t m_chunk;
    std::uint64_t m_size = 0;
    bool m_sized = false;
    std::uint64_t m_start = 0;
    std::uint64_t m_bodyAt = 0;
    std::uint64_t m_end = 0;
    bool m_cutShort = false;
    // ReadAhead: where the next record starts, and the buffer holding the file from m_bufferAt.
    std::uint64_t m_next = 0;
    std::vector<std::uint8_t> m_buffer;
    std::uint64_t m_bufferAt = 0;
    std::size_t m_buffered = 0;
};

}  // namespace tw
