#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/File.h"

namespace tw {

// Whether a buffer is wiped when it is let go of: Yes for buffers that may hold plain text or
// keys, No for those that only ever hold enciphered or clear file bytes.
enum class Wipe : bool { No, Yes };

// A file read through a buffer of `chunk` bytes, for walks that read many small items in file
// order. A read the buffer cannot serve refills it with read calls of `chunk` bytes (more calls
// only when the file gives fewer bytes than the read needs), or, when the rest of the request is
// at least `chunk` bytes, reads it straight into the caller's memory. Seeks inside what is
// buffered make no call. With a chunk of 0 every read and seek is passed through as it is, one
// call for one call.
//
// "file" must stay open and be used through nobody else while the reader is in use: the reader
// takes the file's position when it is made and keeps it from then on. Writes, truncation and
// flushes fail.
class BufferedReader final : public File {
public:
    BufferedReader(File& file, std::size_t chunk, Wipe wipe = Wipe::No);
    ~BufferedReader() override;
    BufferedReader(const BufferedReader&) = delete;
    BufferedReader& operator=(const BufferedReader&) = delete;

    // `*done` receives the bytes transferred; false when a read call failed (`*done` then counts
    // what came before it). Fewer bytes than asked and true: the file ended.
    bool read(void* buffer, std::size_t count, std::size_t* done) override;
    bool write(const void* buffer, std::size_t count, std::size_t* done) override;
    bool seek(std::int64_t offset, SeekFrom from, std::uint64_t* position = nullptr) override;
    bool size(std::uint64_t* size) override { return m_file.size(size); }
    bool truncateHere() override { return false; }
    bool flush() override { return false; }

private:
    // Reads into `out` until `want` bytes are there, up to `room`; the number read, or false.
    bool fillFrom(std::uint8_t* out, std::size_t want, std::size_t room, std::size_t* got);
    void release();

    File& m_file;
    std::size_t m_chunk;
    Wipe m_wipe;
    std::unique_ptr<std::uint8_t[]> m_bytes;  // `m_chunk` bytes once the first refill needs them
    std::uint64_t m_at = 0;                   // file offset of the buffer's first byte
    std::size_t m_next = 0;                   // the next byte to serve
    std::size_t m_end = 0;                    // bytes buffered
};

// A file written through a buffer of `chunk` bytes: writes are gathered until the buffer is
// full, which is then written with one call; a write of at least `chunk` bytes that finds the
// buffer empty goes straight to the file. finish() writes what is left. With a chunk of 0 every
// write is passed through as it is.
//
// "file" must stay open while the writer is in use and be written by nobody else. Bytes still
// buffered when the writer is destroyed are dropped (the caller throws the file away after a
// failure). Reads, seeks and truncation fail; flush() finishes and then flushes the file.
class BufferedWriter final : public File {
public:
    BufferedWriter(File& file, std::size_t chunk, Wipe wipe = Wipe::No);
    ~BufferedWriter() override;
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    // Done, or CallFailed/Short when a write call of the file failed or wrote less. After a
    // failure the writer holds nothing more and the file's contents are unspecified.
    FileResult put(const void* buffer, std::size_t count);
    // Writes what is buffered with one call; Done when nothing is.
    FileResult finish();

    bool read(void* buffer, std::size_t count, std::size_t* done) override;
    bool write(const void* buffer, std::size_t count, std::size_t* done) override;
    bool seek(std::int64_t, SeekFrom, std::uint64_t*) override { return false; }
    bool size(std::uint64_t*) override { return false; }
    bool truncateHere() override { return false; }
    bool flush() override { return finish() == FileResult::Done && m_file.flush(); }

private:
    File& m_file;
    std::size_t m_chunk;
    Wipe m_wipe;
    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::size_t m_used = 0;
};

}  // namespace tw
