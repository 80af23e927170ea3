#include <optional>

#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

constexpr std::u16string_view kCaption = u"Tallowmere Pro";
constexpr std::size_t kWindow = RecordHeader::kSize;

// Finds the first offset at or after `from` where a well-formed record start lies, with a whole
// 748-byte window still in the file. Reads the file in chunks; the file position is restored.
std::optional<std::uint64_t> nextRecordStart(File& file, std::uint64_t from, std::uint64_t size) {
    const std::uint64_t back = file.position();
    std::optional<std::uint64_t> found;
    constexpr std::size_t kChunk = 64 * 1024;
    std::vector<std::uint8_t> buffer(kChunk + kWindow);
    for (std::uint64_t base = from; !found && base + kWindow <= size; base += kChunk) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - base));
        std::size_t got = 0;
        if (!file.seekTo(base) || readBlock(&file, buffer.data(), want, &got) != FileResult::Done) break;
        for (std::size_t k = 0; k < kChunk && k + kWindow <= got; ++k) {
            if (isRecordStart(buffer.data() + k)) {
                found = base + k;
                break;
            }
        }
    }
    file.seekTo(back);
    return found;
}

}  // namespace

int WalletFile::repairScan(std::optional<std::u16string_view> password) {
    const std::u16string name = fromUtf8(m_path);
    const std::string path = m_path;
    if (m_env.prompt.ask({format(m_env.strings.text(22164), {name}), std::u16string(kCaption), Buttons::YesNo,
                          Icon::Stop}) != Answer::Yes)
        return 7;
    if (m_env.prompt.ask({m_env.strings.text(22165), std::u16string(kCaption), Buttons::OkCancel, Icon::None}) !=
        Answer::Ok)
        return 7;
    // The scan works on the record structure alone, so an old-format wallet (whose open writes
    // nothing) is repaired the same way, before its upgrade.
    const OpenResult reopened = open(path, password, false);
    if (reopened != OpenResult::Ok && reopened != OpenResult::OldFormat) return static_cast<int>(reopened);

    std::int64_t changes = 0;
    std::uint64_t p = kFirstRecord;
    auto endFileAt = [&](std::uint64_t at) { return m_file->seekTo(at) && m_file->truncateHere(); };
    for (;;) {
        std::uint64_t size = 0;
        if (!m_file->size(&size) || !m_file->seekTo(p)) break;
        std::uint8_t window[kWindow];
        std::size_t got = 0;
        const FileResult r = readBlock(m_file.get(), window, kWindow, &got);
        if (r == FileResult::CallFailed || got == 0) break;
        if (got < kWindow) {
            endFileAt(p);
            ++changes;
            break;
        }
        if (!isRecordStart(window)) {
            const std::optional<std::uint64_t> q = nextRecordStart(*m_file, p + 1, size);
            if (!q || *q <= p) {
                endFileAt(p);
                ++changes;
                break;
            }
            if (!cutFileRange(p, *q - p)) break;
            continue;
        }
        const std::uint64_t t = static_cast<std::uint64_t>(getU32(window, RecordHeader::kIconLength)) +
                                getU32(window, RecordHeader::kBodyLength);
        const std::optional<std::uint64_t> q = nextRecordStart(*m_file, p + kWindow, size);
        if (!q) {
            // The last record: the file ends where its lengths say. A last record that the file
            // does not hold whole is an append that never finished; it is dropped.
            endFileAt(p + kWindow + t <= size ? p + kWindow + t : p);
            ++changes;
            break;
        }
        const std::uint64_t d = *q - p;
        if (d == kWindow + t) {
            p = *q;
        } else if (d > kWindow + t) {
            if (!cutFileRange(p + kWindow + t, d - kWindow - t)) break;
            ++changes;
            p += kWindow + t;
        } else if (d < kWindow) {
            if (!cutFileRange(p, d)) break;
            ++changes;
        } else {
            // The lengths are wrong: the record keeps its header without icon data or body.
            for (std::size_t at = RecordHeader::kIconLength; at < kWindow; ++at) window[at] = 0;
            if (!writeInPlace(p, window, kWindow)) break;
            ++changes;
            if (d > kWindow && !cutFileRange(p + kWindow, d - kWindow)) break;
            p += kWindow;
        }
    }
    close();
    m_env.prompt.tell(format(m_env.strings.text(22166), {changes, name}), std::u16string(kCaption), Icon::Information);
    return 0;
}

}  // namespace tw
