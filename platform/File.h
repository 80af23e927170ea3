#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/Clock.h"

namespace tw {

// Result of every block read and write. The values are stored nowhere but callers compare them,
// so they are fixed.
enum class FileResult : int {
    Done = 0,        // every byte transferred
    CallFailed = 1,  // the system call failed
    NoBuffer = 2,    // no buffer was given
    Short = 3,       // fewer bytes were transferred than asked
    Nothing = 4,     // no byte was transferred (end of file on a read)
    NoFile = 5,      // the file handle is null or invalid
    BadMagic = 6,    // block readers: wrong magic or type identifier
};

enum class SeekFrom { Begin, Current, End };

// An open file: one position, plain reads and writes at it. Every call reports failure by its
// return value; nothing throws. Implementations: PosixFile (production) and MemoryFile (tests).
class File {
public:
    virtual ~File() = default;

    // One read call of up to `count` bytes at the current position. Returns false when the call
    // itself failed; `*done` receives the number of bytes transferred (0 at end of file).
    virtual bool read(void* buffer, std::size_t count, std::size_t* done) = 0;
    // One write call of up to `count` bytes at the current position.
    virtual bool write(const void* buffer, std::size_t count, std::size_t* done) = 0;
    // Moves the position; `*position` (optional) receives the new absolute position.
    virtual bool seek(std::int64_t offset, SeekFrom from, std::uint64_t* position = nullptr) = 0;
    virtual bool size(std::uint64_t* size) = 0;
    // Ends the file at the current position.
    virtual bool truncateHere() = 0;
    // Pushes written data to stable storage.
    virtual bool flush() = 0;
    // The operating system's descriptor of the file, for copies the kernel makes between files;
    // -1 when there is none.
    virtual int descriptor() const { return -1; }

    std::uint64_t position() {
        std::uint64_t p = 0;
        return seek(0, SeekFrom::Current, &p) ? p : 0;
    }
    bool seekTo(std::uint64_t position) { return seek(static_cast<std::int64_t>(position), SeekFrom::Begin); }
};

enum class OpenMode {
    Read,       // existing file, read only; writers wait while we read, unless one had it first
    ReadWrite,  // existing file, read and write; no other writer or reader at the same time
    CreateNew,  // new file (fails when it exists), read and write, shared with nobody
};

// Files by path. Paths are UTF-8 on this platform.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens or creates a file; nullptr on failure.
    virtual std::unique_ptr<File> open(const std::string& path, OpenMode mode) = 0;
    virtual bool exists(const std::string& path) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Replaces `to` by `from` atomically where the platform allows it. The file now at `to` keeps
    // the replaced file's permissions, and its owner and group where the user may set them (see
    // copyIdentity for a replacement that must keep them all).
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    // Gives the file at `to` (a replacement, not yet renamed in) the owner, group, permissions and
    // extended attributes of the file at `from`, so that it can stand in for it. False when one of
    // them cannot be given (the replacement must then not be renamed in); true when `from` does
    // not exist. The default keeps none and needs none.
    virtual bool copyIdentity(const std::string& from, const std::string& to) {
        (void)from;
        (void)to;
        return true;
    }
    // The file's last-write time as a SystemTime in UTC (no local-time adjustment). False when
    // the file system keeps no such time for it; the default keeps none.
    virtual bool modifiedTime(const std::string& path, SystemTime* time) {
        (void)path;
        (void)time;
        return false;
    }
    // Creates one folder; true when it was made or already exists. The default makes none.
    virtual bool makeFolder(const std::string& path) {
        (void)path;
        return false;
    }
    // The file a path finally names, through any symbolic links: a file replaced whole must be
    // replaced there, or the link would be replaced instead. The default has no links.
    virtual std::string resolve(const std::string& path) { return path; }

    // How long an open for writing waits for another program to let go of the file before it
    // fails; zero: it fails at once. Readers never wait.
    void setLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }
    std::chrono::milliseconds lockWait() const { return m_lockWait; }
    // Whether another open file keeps this one from being opened for writing: nullopt when none
    // does; else who holds it, as far as can be told ("tmpro, process 4242"), or empty text when
    // that cannot be told. The default knows of no locks.
    virtual std::optional<std::string> lockHolder(const std::string& path) {
        (void)path;
        return std::nullopt;
    }

private:
    std::chrono::milliseconds m_lockWait{0};
};

// The block read and write wrappers. Checks in this order: no buffer gives NoBuffer; no file
// gives NoFile; `*transferred` is set to 0; a count of 0 gives Done without touching the file.
// Then one call at the current position.
FileResult readBlock(File* file, void* buffer, std::size_t count, std::size_t* transferred = nullptr);
FileResult writeBlock(File* file, const void* buffer, std::size_t count, std::size_t* transferred = nullptr);

}  // namespace tw
