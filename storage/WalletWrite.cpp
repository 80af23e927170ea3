#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "storage/Bytes.h"
#include "storage/WalletFile.h"

namespace tw {
std::size_t WalletFile::blockSize() {
    // A quarter of the free memory, at most 1 MiB, at least 1 KiB.
    std::uint64_t size = m_env.system.availableMemory() / 4;
    if (size > (1u << 20)) size = 1u << 20;
    if (size < 1024) size = 1024;
    return static_cast<std::size_t>(size);
}

namespace {

// Page-cache pages: the kernel copies whole pages cheaply, and a file system with shared blocks
// shares them only from and to places on a block boundary.
constexpr std::uint64_t kPage = 4096;
// Writes to a file on disk go in pieces of at most this size: larger ones let the kernel take
// the new file's pages in large blocks, which measured up to four times slower to fill (256 KiB
// was steadily the fastest, 1 MiB slow in more than half of the runs).
constexpr std::uint64_t kDiskWrite = 256u << 10;

// Where the files are served over the network, the server copies without the bytes crossing it.
bool onNetworkFileSystem(int descriptor) {
    struct statfs fs {};
    if (::fstatfs(descriptor, &fs) != 0) return false;
    switch (static_cast<std::uint32_t>(fs.f_type)) {
        case 0x6969u:      // NFS
        case 0xFF534D42u:  // CIFS
        case 0xFE534D42u:  // SMB2
        case 0x00C36400u:  // Ceph
            return true;
        default:
            return false;
    }
}

// Lets the kernel copy the bytes between two files (sharing the blocks where the file system can).
// Done: every byte copied and `to` moved past them; Unsupported: nothing was copied, for files the
// kernel cannot copy between; Failed otherwise.
enum class KernelCopy { Done, Unsupported, Failed };
KernelCopy kernelCopy(int in, std::uint64_t offset, std::uint64_t length, int out, std::uint64_t start, File& to) {
    auto inAt = static_cast<off_t>(offset);
    auto outAt = static_cast<off_t>(start);
    // Up to the first page boundary alone, so that the rest starts on one on both sides.
    std::uint64_t chunk = std::min<std::uint64_t>(length, (kPage - offset % kPage) % kPage);
    for (std::uint64_t left = length; left > 0;) {
        if (chunk == 0) chunk = std::min<std::uint64_t>(left, 1u << 30);
        const ssize_t n = ::copy_file_range(in, &inAt, out, &outAt, static_cast<std::size_t>(chunk), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && left == length && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return KernelCopy::Unsupported;
        if (n <= 0) return KernelCopy::Failed;
        left -= static_cast<std::uint64_t>(n);
        chunk -= std::min<std::uint64_t>(chunk, static_cast<std::uint64_t>(n));
    }
    return to.seekTo(start + length) ? KernelCopy::Done : KernelCopy::Failed;
}

}  // namespace

bool WalletFile::copyRange(File& from, std::uint64_t offset, std::uint64_t length, File& to) {
    if (length == 0) return true;
    // Between two files on disk the kernel copies, when the range keeps its place within a page
    // (as at the start of a replacement, or after a cut or an insertion of whole pages). A range
    // that moves within its page goes through the buffer instead: the kernel's copy then splits
    // every page in two and costs half again as much, to copy and to sync, as reading and writing.
    bool onDisk = false;
    std::uint64_t start = 0;
    const int in = from.descriptor();
    const int out = to.descriptor();
    if (in >= 0 && out >= 0) {
        if (!to.seek(0, SeekFrom::Current, &start)) return false;
        if (offset % kPage == start % kPage || onNetworkFileSystem(out)) {
            switch (kernelCopy(in, offset, length, out, start, to)) {
                case KernelCopy::Done:
                    return true;
                case KernelCopy::Failed:
                    return false;
                case KernelCopy::Unsupported:
                    break;
            }
        }
        onDisk = true;
    }
    std::uint64_t block = blockSize();
    if (onDisk) block = std::min(block, kDiskWrite);
    if (onDisk && block >= kPage) block -= block % kPage;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(block, length)), 0);
    if (!from.seekTo(offset)) return false;
    // On disk, every write but the first and last fills whole pages of the new file.
    std::uint64_t n = onDisk ? std::min<std::uint64_t>(length, block - start % block) : 0;
    while (length > 0) {
        if (n == 0) n = std::min<std::uint64_t>(buffer.size(), length);
        const auto count = static_cast<std::size_t>(n);
        if (readBlock(&from, buffer.data(), count) != FileResult::Done) return false;
        if (writeBlock(&to, buffer.data(), count) != FileResult::Done) return false;
        length -= n;
        n = 0;
    }
    return true;
}

bool WalletFile::replaceFile(const std::function<bool(File& oldFile, File& newFile)>& produce) {
    if (!m_file || m_readOnly) return false;
    // Beside the file itself, when the wallet's path is a link to it.
    const std::string target = m_env.files.resolve(m_path);
    const std::string temp = replacementPath();
    m_writeProblem = WriteProblem::None;
    m_env.files.remove(temp);
    std::unique_ptr<File> out = m_env.files.open(temp, OpenMode::CreateNew);
    if (!out) {
        if (m_env.files.exists(temp)) m_writeProblem = WriteProblem::LeftoverInTheWay;
        return false;
    }
    bool ok = produce(*m_file, *out);
    // The new file stands in for the old one only with its owner, group, mode and attributes: a
    // wallet rewritten by an administrator must stay its owner's. They are given before the sync,
    // so that it makes them durable with the bytes before the file is renamed in.
    if (ok && !m_env.files.copyIdentity(target, temp)) {
        m_writeProblem = WriteProblem::OwnerNotKept;
        ok = false;
    }
    ok = ok && out->flush();
    if (!ok || !m_env.files.rename(temp, target)) {
        out.reset();
        m_env.files.remove(temp);
        return false;
    }
    // The new file is the wallet now; its handle carries the write lock.
    m_file = std::move(out);
    return true;
}

bool WalletFile::cutFileRange(std::uint64_t position, std::uint64_t length) {
    if (!m_file) return false;
    std::uint64_t size = 0;
    if (!m_file->size(&size) || position > size) return false;
    if (length > size - position) length = size - position;
    const bool ok = replaceFile([&](File& in, File& out) {
        return copyRange(in, 0, position, out) && copyRange(in, position + length, size - position - length, out);
    });
    if (ok) shiftOffsets(position + length, -static_cast<std::int64_t>(length));
    return ok;
}

std::int64_t WalletFile::appendRecord(const RecordHeader& header, const std::vector<std::uint8_t>* body) {
    if (!recordsWritable()) return -1;
    std::uint64_t size = 0;
    if (!m_file->size(&size) || !m_file->seekTo(size)) return -1;
    RecordHeader h = header;
    h.setBodyLength(body ? static_cast<std::uint32_t>(body->size()) : 0);
    h.setWord(RecordHeader::kTail, 0);
    // Header, icon data and body go out in one write, so that a crash leaves either the whole
    // record or a cut-short tail that readers can pass over, never a header without its body
    // followed by what a later append wrote.
    std::vector<std::uint8_t> bytes = recordBytes(h, now());
    if (bytes.empty()) return -1;
    if (body) bytes.insert(bytes.end(), body->begin(), body->end());
    const FileResult r = writeBlock(m_file.get(), bytes.data(), bytes.size());
    wipe(bytes.data(), bytes.size());
    // The record is stored when it is synced; a failed sync is a failed write.
    if (r != FileResult::Done || !m_file->flush()) {
        // Take back what was written, so the file ends with its last whole record again.
        if (m_file->seekTo(size) && m_file->truncateHere()) (void)m_file->flush();
        return -1;
    }
    h.changed = false;
    // An earlier record with this identifier (a deletion marker) stays the one found first.
    keepFirstOffset(h.id());
    const std::size_t position = m_index.put(h, size);
    noticeIcon(h);
    return static_cast<std::int64_t>(position);
}

std::int64_t WalletFile::appendFolder(const RecordHeader& header) {
    return appendRecord(header, nullptr);
}

std::int64_t WalletFile::saveFolder(const RecordHeader& header) {
    if (!recordsWritable()) return -1;
    std::uint64_t at = 0;
    RecordHeader old;
    if (!findInFile(header.id(), &at, &old)) return appendFolder(header);
    RecordHeader h = header;
    h.markChangesFrom(old, now());
    h.setBodyLength(0);
    h.setWord(RecordHeader::kTail, 0);
    const std::vector<std::uint8_t> bytes = recordBytes(h, now());
    if (bytes.empty()) return -1;
    std::uint64_t size = 0;
    if (!m_file->size(&size)) return -1;
    const std::uint64_t end = at + old.storedSize();
    const bool ok = replaceFile([&](File& in, File& out) {
        return copyRange(in, 0, at, out) && copyRange(in, end, size - end, out) &&
               writeBlock(&out, bytes.data(), bytes.size()) == FileResult::Done;
    });
    if (!ok) return -1;
    // The record left its place for the end of the file.
    m_firstOffsets.erase(h.id());
    shiftOffsets(end, -static_cast<std::int64_t>(end - at));
    h.changed = false;
    const std::size_t position = m_index.put(h, size - (end - at));
    noticeIcon(h);
    return static_cast<std::int64_t>(position);
}

bool WalletFile::rewriteHeader(const RecordHeader& header) {
    if (!recordsWritable()) return false;
    std::uint64_t at = 0;
    RecordHeader old;
    if (!findInFile(header.id(), &at, &old) || old.deleted()) return false;
    RecordHeader h = header;
    h.markChangesFrom(old, now());
    // The body stays where it is: keep its length as stored.
    h.setBodyLength(old.bodyLength());
    h.setWord(RecordHeader::kTail, old.word(RecordHeader::kTail));
    const std::vector<std::uint8_t> bytes = recordBytes(h, now());
    if (bytes.empty()) return false;
    bool ok;
    const std::uint64_t bodyAt = at + RecordHeader::kSize + old.iconLength();
    if (bytes.size() == RecordHeader::kSize + old.iconLength()) {
        ok = writeInPlace(at, bytes.data(), bytes.size());
    } else {
        // A custom icon of another size: the record keeps its place, the file its order.
        std::uint64_t size = 0;
        if (!m_file->size(&size)) return false;
        ok = replaceFile([&](File& in, File& out) {
            return copyRange(in, 0, at, out) && writeBlock(&out, bytes.data(), bytes.size()) == FileResult::Done &&
                   copyRange(in, bodyAt, size - bodyAt, out);
        });
    }
    if (!ok) return false;
    shiftOffsets(bodyAt, static_cast<std::int64_t>(at + bytes.size()) - static_cast<std::int64_t>(bodyAt));
    h.changed = false;
    m_index.put(h, at);
    noticeIcon(h);
    return true;
}

bool WalletFile::move(std::size_t position, const RecordId& folder) {
    if (position >= m_index.count()) return false;
    RecordHeader h = headerAt(position);
    if (!h.loaded) return false;
    h.setParent(folder);
    h.markChange(change::kMoved, now());
    return rewriteHeader(h);
}

bool WalletFile::rename(std::size_t position, std::u16string_view name) {
    if (position >= m_index.count()) return false;
    RecordHeader h = headerAt(position);
    if (!h.loaded) return false;
    if (!h.setName(name, m_keys.recordKey, now())) return true;
    return rewriteHeader(h);
}

bool WalletFile::remove(std::size_t position) {
    if (!recordsWritable() || position >= m_index.count() || m_index.at(position).deleted()) return false;
    const RecordId id = m_index.at(position).id();
    std::uint64_t at = 0;
    RecordHeader old;
    if (!findInFile(id, &at, &old) || old.deleted()) return false;
    std::uint64_t size = 0;
    if (!m_file->size(&size)) return false;

    // The marker keeps the header and icon data; the body is cut out with it in one step.
    const SystemTime t = now();
    RecordHeader marker = old;
    marker.markDeleted(t);
    marker.setBodyLength(0);
    marker.setWord(RecordHeader::kTail, 0);
    const std::vector<std::uint8_t> bytes = recordBytes(marker, t);
    if (bytes.empty()) return false;
    const std::uint64_t end = at + old.storedSize();
    const bool ok = replaceFile([&](File& in, File& out) {
        return copyRange(in, 0, at, out) && writeBlock(&out, bytes.data(), bytes.size()) == FileResult::Done &&
               copyRange(in, end, size - end, out);
    });
    if (!ok) return false;

    shiftOffsets(end, static_cast<std::int64_t>(bytes.size()) - static_cast<std::int64_t>(old.storedSize()));
    m_index.replace(position, marker, at);
    if (m_settings.isFavourite(id)) m_settings.removeFavourite(id, t);
    auto& found = m_search.positions;
    found.erase(std::remove(found.begin(), found.end(), position), found.end());
    return true;
}

}  // namespace tw
