#pragma once

#include <cstdint>

#include "platform/File.h"
#include "storage/RecordHeader.h"

namespace tw {

// Walks the records of a wallet file one after another from the file's current position:
// reads each header with its icon data and checks that its body lies inside the file.
class RecordCursor {
public:
    enum class Step {
        Record,      // a record was read; the file is at its body
        End,         // no more bytes
        Damaged,     // some bytes were read but they are no record, or the body passes the end
        Unreadable,  // nothing could be read
    };

    explicit RecordCursor(File& file);

    Step next(RecordHeader& header);
    // After Damaged: true when the damage is only that the file ends inside the record (inside
    // its header, its icon data or its body), as an append cut short by a crash leaves it.
    bool cutShort() const { return m_cutShort; }
    // Where the last record read starts, where its body starts, and where it ends.
    std::uint64_t start() const { return m_start; }
    std::uint64_t bodyAt() const { return m_bodyAt; }
    std::uint64_t end() const { return m_end; }
    // Moves the file to the end of the last record read.
    bool skipBody() { return m_file.seekTo(m_end); }

private:
    File& m_file;
    std::uint64_t m_size = 0;
    bool m_sized = false;
    std::uint64_t m_start = 0;
    std::uint64_t m_bodyAt = 0;
    std::uint64_t m_end = 0;
    bool m_cutShort = false;
};

}  // namespace tw
