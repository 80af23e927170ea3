#include "storage/BufferedFile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "storage/Bytes.h"

namespace tw {

BufferedReader::BufferedReader(File& file, std::size_t chunk, Wipe wipe)
    : m_file(file), m_chunk(chunk), m_wipe(wipe), m_at(file.position()) {}

BufferedReader::~BufferedReader() {
    release();
}

void BufferedReader::release() {
    if (m_bytes && m_wipe == Wipe::Yes) wipe(m_bytes.get(), m_chunk);
    m_bytes.reset();
}

bool BufferedReader::fillFrom(std::uint8_t* out, std::size_t want, std::size_t room, std::size_t* got) {
    *got = 0;
    while (*got < want) {
        std::size_t n = 0;
        if (!m_file.read(out + *got, room - *got, &n)) return false;
        if (n == 0) break;  // the end of the file
        *got += n;
    }
    return true;
}

bool BufferedReader::read(void* buffer, std::size_t count, std::size_t* done) {
    *done = 0;
    if (m_chunk == 0) {
        const bool ok = m_file.read(buffer, count, done);
        m_at += *done;
        return ok;
    }
    auto* out = static_cast<std::uint8_t*>(buffer);
    const std::size_t served = std::min(count, m_end - m_next);
    if (served != 0) std::memcpy(out, m_bytes.get() + m_next, served);
    m_next += served;
    *done = served;
    if (served == count) return true;

    // The buffer is spent; the file stands at its end.
    const std::size_t rest = count - served;
    m_at += m_end;
    m_next = m_end = 0;
    std::size_t got = 0;
    if (rest >= m_chunk) {
        const bool ok = fillFrom(out + served, rest, rest, &got);
        m_at += got;
        *done += got;
        return ok;
    }
    if (!m_bytes) {
        m_bytes.reset(new (std::nothrow) std::uint8_t[m_chunk]);
        if (!m_bytes) return false;
    }
    const bool ok = fillFrom(m_bytes.get(), rest, m_chunk, &got);
    m_end = got;
    const std::size_t more = std::min(rest, got);
    if (more != 0) std::memcpy(out + served, m_bytes.get(), more);
    m_next = more;
    *done += more;
    return ok;
}

bool BufferedReader::write(const void*, std::size_t, std::size_t* done) {
    *done = 0;
    return false;
}

bool BufferedReader::seek(std::int64_t offset, SeekFrom from, std::uint64_t* position) {
    if (from == SeekFrom::End) {
        std::uint64_t at = 0;
        if (!m_file.seek(offset, from, &at)) return false;
        m_at = at;
        m_next = m_end = 0;
        if (position != nullptr) *position = at;
        return true;
    }
    const std::uint64_t base = from == SeekFrom::Begin ? 0 : m_at + m_next;
    if (offset < 0 && static_cast<std::uint64_t>(-(offset + 1)) >= base) return false;
    const std::uint64_t target = base + static_cast<std::uint64_t>(offset);
    // Inside what is buffered: no call at all.
    if (target >= m_at && target - m_at <= m_end) {
        m_next = static_cast<std::size_t>(target - m_at);
    } else {
        if (!m_file.seekTo(target)) return false;
        m_at = target;
        m_next = m_end = 0;
    }
    if (position != nullptr) *position = target;
    return true;
}

BufferedWriter::BufferedWriter(File& file, std::size_t chunk, Wipe wipe) : m_file(file), m_chunk(chunk), m_wipe(wipe) {}

BufferedWriter::~BufferedWriter() {
    if (m_bytes && m_wipe == Wipe::Yes) wipe(m_bytes.get(), m_chunk);
}

FileResult BufferedWriter::put(const void* buffer, std::size_t count) {
    if (buffer == nullptr) return FileResult::NoBuffer;
    if (count == 0) return FileResult::Done;
    if (m_chunk == 0) return writeBlock(&m_file, buffer, count);
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    while (count > 0) {
        if (m_used == 0 && count >= m_chunk) return writeBlock(&m_file, in, count);
        if (!m_bytes) {
            m_bytes.reset(new (std::nothrow) std::uint8_t[m_chunk]);
            if (!m_bytes) return FileResult::NoBuffer;
        }
        const std::size_t n = std::min(count, m_chunk - m_used);
        std::memcpy(m_bytes.get() + m_used, in, n);
        m_used += n;
        in += n;
        count -= n;
        if (m_used == m_chunk) {
            const FileResult r = finish();
            if (r != FileResult::Done) return r;
        }
    }
    return FileResult::Done;
}

FileResult BufferedWriter::finish() {
    if (m_used == 0) return FileResult::Done;
    const FileResult r = writeBlock(&m_file, m_bytes.get(), m_used);
    if (m_wipe == Wipe::Yes) wipe(m_bytes.get(), m_used);
    m_used = 0;
    return r;
}

bool BufferedWriter::read(void*, std::size_t, std::size_t* done) {
    *done = 0;
    return false;
}

bool BufferedWriter::write(const void* buffer, std::size_t count, std::size_t* done) {
    *done = 0;
    if (m_chunk == 0) return m_file.write(buffer, count, done);
    const FileResult r = put(buffer, count);
    if (r != FileResult::Done) return false;
    *done = count;
    return true;
}

}  // namespace tw
