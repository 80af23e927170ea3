#include "storage/RecordCursor.h"

namespace tw {

RecordCursor::RecordCursor(File& file) : m_file(file) {
    m_sized = file.size(&m_size);
}

RecordCursor::Step RecordCursor::next(RecordHeader& header) {
    if (!m_sized) return Step::Unreadable;
    m_start = m_file.position();
    std::uint64_t consumed = 0;
    const FileResult r = readRecord(&m_file, header, &consumed);
    if (r == FileResult::Nothing) return Step::End;
    if (r != FileResult::Done) return consumed > 0 ? Step::Damaged : Step::Unreadable;
    m_bodyAt = m_start + consumed;
    if (m_bodyAt > m_size || header.bodyLength() > m_size - m_bodyAt) return Step::Damaged;
    m_end = m_bodyAt + header.bodyLength();
    return Step::Record;
}

}  // namespace tw
