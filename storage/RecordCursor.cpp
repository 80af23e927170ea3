#include "storage/RecordCursor.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "storage/Bytes.h"

namespace tw {

namespace {

// One read of up to `count` bytes at `at`. A file with a descriptor is read there without moving
// its position (no seek per chunk); others are positioned first.
bool readAt(File& file, std::uint64_t at, std::uint8_t* buffer, std::size_t count, std::size_t* got) {
    *got = 0;
    const int fd = file.descriptor();
    if (fd < 0) return file.seekTo(at) && file.read(buffer, count, got);
    ssize_t n;
    do {
        n = ::pread(fd, buffer, count, static_cast<off_t>(at));
    } while (n < 0 && errno == EINTR);
    if (n < 0) return false;
    *got = static_cast<std::size_t>(n);
    return true;
}

}  // namespace

RecordCursor::RecordCursor(File& file, Reading reading, std::size_t chunk)
    : m_file(file), m_reading(reading), m_chunk(chunk) {
    m_sized = file.size(&m_size);
    if (m_reading == Reading::ReadAhead) m_next = file.position();
}

RecordCursor::RecordCursor(File& file, std::uint64_t at, std::size_t chunk)
    : m_file(file), m_reading(Reading::ReadAhead), m_chunk(chunk), m_next(at) {
    m_sized = file.size(&m_size);
}

RecordCursor::Step RecordCursor::next(RecordHeader& header) {
    if (!m_sized) return Step::Unreadable;
    m_cutShort = false;
    if (m_reading == Reading::ReadAhead) return nextBuffered(header);
    m_start = m_file.position();
    std::uint64_t consumed = 0;
    const FileResult r = readRecord(&m_file, header, &consumed);
    if (r == FileResult::Nothing) return Step::End;
    if (r != FileResult::Done) {
        if (consumed == 0) return Step::Unreadable;
        // A header or icon data read short because the file ends there.
        m_cutShort = r == FileResult::Short &&
                     (consumed < RecordHeader::kSize
                          ? m_start + RecordHeader::kSize > m_size && couldStartRecord(header.raw.data(), consumed)
                          : header.loaded);
        return Step::Damaged;
    }
    m_bodyAt = m_start + consumed;
    if (m_bodyAt > m_size || header.bodyLength() > m_size - m_bodyAt) {
        m_cutShort = true;
        return Step::Damaged;
    }
    m_end = m_bodyAt + header.bodyLength();
    return Step::Record;
}

bool RecordCursor::skipBody() {
    if (m_reading == Reading::ReadAhead) {
        m_next = m_end;
        return true;
    }
    return m_file.seekTo(m_end);
}

std::int64_t RecordCursor::refill(std::uint64_t at, std::size_t count) {
    const std::uint64_t bufferEnd = m_bufferAt + m_buffered;
    // Keep what is buffered from `at` on, read the rest after it.
    if (at >= m_bufferAt && at < bufferEnd) {
        const std::size_t keep = static_cast<std::size_t>(bufferEnd - at);
        std::memmove(m_buffer.data(), m_buffer.data() + (at - m_bufferAt), keep);
        m_buffered = keep;
    } else {
        m_buffered = 0;
    }
    m_bufferAt = at;
    // Never beyond the file's end as it was measured: what lies past it is not read.
    const std::uint64_t left = at < m_size ? m_size - at : 0;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(std::max(count, m_chunk), left));
    if (m_buffer.size() < want) m_buffer.resize(want);
    while (m_buffered < want) {
        std::size_t got = 0;
        if (!readAt(m_file, at + m_buffered, m_buffer.data() + m_buffered, want - m_buffered, &got)) return -1;
        if (got == 0) break;
        m_buffered += got;
    }
    return static_cast<std::int64_t>(std::min(m_buffered, count));
}

RecordCursor::Step RecordCursor::next(View& view) {
    view = {};
    if (!m_sized || m_reading != Reading::ReadAhead) return Step::Unreadable;
    m_cutShort = false;
    std::size_t headBytes = 0;
    bool iconLost = false;
    return viewBuffered(view, &headBytes, &iconLost);
}

RecordCursor::Step RecordCursor::viewBuffered(View& view, std::size_t* headBytes, bool* iconLost) {
    m_start = m_next;
    if (m_start >= m_size) return Step::End;
    const std::int64_t got = fill(m_start, RecordHeader::kSize);
    if (got < 0) return Step::Unreadable;
    if (got == 0) return Step::End;
    *headBytes = static_cast<std::size_t>(got);
    view.header = bytesAt(m_start);
    if (*headBytes < RecordHeader::kSize) {
        // A header read short because the file ends there.
        m_cutShort = couldStartRecord(view.header, *headBytes);
        return Step::Damaged;
    }
    if (recordTypeOf(view.header) == RecordType::None) return Step::Damaged;
    std::uint64_t consumed = RecordHeader::kSize;
    const std::uint32_t iconLength = getU32(view.header, RecordHeader::kIconLength);
    if (iconLength != 0) {
        // Icon data longer than what is left of the file cannot be a real icon.
        const std::uint64_t iconAt = m_start + RecordHeader::kSize;
        if (iconAt > m_size || iconLength > m_size - iconAt) {
            *iconLost = true;
            m_cutShort = true;
            return Step::Damaged;
        }
        // Header and icon data together, so that both stay in the buffer.
        const std::size_t whole = RecordHeader::kSize + iconLength;
        const std::int64_t read = fill(m_start, whole);
        view.header = bytesAt(m_start);
        if (read != static_cast<std::int64_t>(whole)) {
            *iconLost = true;
            return Step::Damaged;
        }
        view.icon = std::span<const std::uint8_t>(bytesAt(iconAt), iconLength);
        consumed += iconLength;
    }
    m_bodyAt = m_start + consumed;
    m_next = m_bodyAt;
    const std::uint32_t bodyLength = getU32(view.header, RecordHeader::kBodyLength);
    if (m_bodyAt > m_size || bodyLength > m_size - m_bodyAt) {
        m_cutShort = true;
        return Step::Damaged;
    }
    m_end = m_bodyAt + bodyLength;
    return Step::Record;
}

RecordCursor::Step RecordCursor::nextBuffered(RecordHeader& header) {
    header.iconData.clear();
    View view;
    std::size_t headBytes = 0;
    bool iconLost = false;
    const Step step = viewBuffered(view, &headBytes, &iconLost);
    if (headBytes == 0) return step;
    std::memcpy(header.raw.data(), view.header, headBytes);
    if (headBytes < RecordHeader::kSize || header.type() == RecordType::None) return step;
    header.loaded = true;
    header.changed = false;
    if (iconLost) {
        for (std::size_t at = RecordHeader::kIconLength; at < RecordHeader::kIconWord + 4; ++at) header.raw[at] = 0;
        return step;
    }
    header.iconData.assign(view.icon.begin(), view.icon.end());
    return step;
}

bool RecordCursor::body(std::span<const std::uint8_t>* out) {
    if (m_reading != Reading::ReadAhead || m_end < m_bodyAt) return false;
    const std::size_t length = static_cast<std::size_t>(m_end - m_bodyAt);
    if (length == 0) {
        *out = {};
        return true;
    }
    if (fill(m_bodyAt, length) != static_cast<std::int64_t>(length)) return false;
    *out = std::span<const std::uint8_t>(bytesAt(m_bodyAt), length);
    return true;
}

}  // namespace tw
