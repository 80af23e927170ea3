#include "storage/RecordCursor.h"

namespace tw {

RecordCursor::RecordCursor(File& file) : m_file(file) {
    m_sized = file.size(&m_size);
}

RecordCursor::Step RecordCursor::next(RecordHeader& header) {
    if (!m_sized) return Step::Unreadable;
    m_cutShort = false;
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

}  // namespace tw
