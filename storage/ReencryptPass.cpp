#include "storage/ReencryptPass.h"

#include <algorithm>
#include <memory>
#include <new>

#include "model/Field.h"
#include "storage/BufferedFile.h"
#include "storage/Bytes.h"
#include "storage/RecordCursor.h"
#include "storage/RecordHeader.h"

namespace tw {
namespace {

constexpr ReencryptResult code(int value) {
    return static_cast<ReencryptResult>(value);
}

constexpr std::size_t kDisplaySize = 64;
constexpr std::size_t kHeadSize = 12;  // u32 reserved, u32 type, u32 payload length

// The result codes of one part: its read failed, its first or second buffer could not be had,
// its write failed.
struct PartCodes {
    ReencryptResult read, buffer, second, write;
};

// One enciphered part of a sub-record: where its descriptor keeps the stored size (padding
// included) and the padding. A text part enciphers its unpadded bytes; a data part runs its
// whole stored size through the streams, in blocks.
struct PartLayout {
    std::size_t stored;
    std::size_t padding;
    bool data;
    PartCodes codes;
};

struct SubRecordLayout {
    std::uint32_t type;
    std::size_t descriptorSize;
    ReencryptResult descriptorShort;
    std::uint32_t ReencryptStats::*counter;
    std::size_t partCount;
    PartLayout parts[3];
};

// The sub-records whose parts are enciphered, with their parts in file order. The field layout
// is the one of model/Field.h; the attachment descriptors are those of model/Attachment.h.
constexpr SubRecordLayout kLayouts[] = {
    {1,
     Field::kDescriptorSize,
     code(7),
     &ReencryptStats::fields,
     3,
     {{Field::kNameStored, Field::kNamePadding, false, {code(13), code(11), code(12), code(10)}},
      {Field::kValueStored, Field::kValuePadding, false, {code(23), code(21), code(22), code(20)}},
      {Field::kListStored, Field::kListPadding, false, {code(33), code(31), code(32), code(30)}}}},
    {3,
     48,
     code(40),
     &ReencryptStats::pictures,
     2,
     {{16, 20, true, {code(43), code(41), code(42), code(44)}},
      {24, 28, false, {code(45), code(46), code(47), code(48)}}}},
    {4,
     32,
     code(50),
     &ReencryptStats::sounds,
     2,
     {{8, 12, true, {code(53), code(51), code(52), code(54)}},
      {16, 20, false, {code(55), code(56), code(57), code(58)}}}},
    {6,
     68,
     code(60),
     &ReencryptStats::fileAttachments,
     2,
     {{36, 40, true, {code(63), code(61), code(62), code(64)}},
      {44, 48, false, {code(65), code(66), code(67), code(68)}}}},
};
static_assert(Field::kDescriptorSize == 72);

const SubRecordLayout* layoutOf(std::uint32_t type) {
    for (const SubRecordLayout& layout : kLayouts)
        if (layout.type == type) return &layout;
    return nullptr;
}

// A scratch buffer for plain text, grown as items need and wiped when let go of.
class Scratch {
public:
    ~Scratch() {
        if (m_bytes) wipe(m_bytes.get(), m_size);
    }
    // Room for `size` bytes; null when it cannot be had.
    std::uint8_t* get(std::size_t size) {
        if (size <= m_size) return m_bytes.get();
        std::unique_ptr<std::uint8_t[]> grown(new (std::nothrow) std::uint8_t[size]);
        if (!grown) return nullptr;
        if (m_bytes) wipe(m_bytes.get(), m_size);
        m_bytes = std::move(grown);
        m_size = size;
        return m_bytes.get();
    }

private:
    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::size_t m_size = 0;
};

class Pass {
public:
    explicit Pass(ReencryptContext& c) : m_c(c), m_in(c.in, c.chunk), m_out(c.out, c.chunk), m_cursor(m_in) {}
    ~Pass() {
        if (m_mix) wipe(m_mix.get(), m_mixSize);
    }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;

    ReencryptResult run() {
        if (!m_in.size(&m_size)) return ReencryptResult::HeaderUnreadable;
        for (;;) {
            bool end = false;
            const ReencryptResult r = record(&end);
            if (r != ReencryptResult::Done) return r;
            if (end) return m_out.finish() == FileResult::Done ? r : ReencryptResult::HeaderWriteFailed;
        }
    }

private:
    void report() {
        if (m_c.progress != nullptr) m_c.progress->update(m_in.position(), m_size);
        m_c.system.pause(10);
    }

    ReencryptResult record(bool* end) {
        report();
        RecordHeader h;
        const RecordCursor::Step step = m_cursor.next(h);
        if (step == RecordCursor::Step::End) {
            *end = true;
            return ReencryptResult::Done;
        }
        if (step != RecordCursor::Step::Record) return ReencryptResult::HeaderUnreadable;
        report();
        const std::uint64_t bodyAt = m_cursor.bodyAt();
        const std::uint32_t length = h.bodyLength();
        if (m_c.passwordChange && h.deleted()) {
            if (!m_in.seekTo(m_cursor.start())) return ReencryptResult::HeaderUnreadable;
            return copy(m_cursor.end() - m_cursor.start());
        }

        if (h.hasName() && !reencipherItem(h.raw.data() + RecordHeader::kName, RecordHeader::kNameSize))
            return ReencryptResult::OutOfMemory;
        h.markChange(change::kRenamed, m_c.now);
        if (writeRecord(&m_out, h, m_c.now) != FileResult::Done) return ReencryptResult::HeaderWriteFailed;

        switch (h.type()) {
            case RecordType::Folder:
                ++m_c.stats.folders;
                break;
            case RecordType::FormsFolder:
                ++m_c.stats.formsFolders;
                break;
            case RecordType::Card:
                ++m_c.stats.cards;
                break;
            case RecordType::None:
                break;
        }
        if (!m_in.seekTo(bodyAt)) return ReencryptResult::HeaderUnreadable;
        // Folders have no body; one that has is carried as it is.
        if (h.type() != RecordType::Card || length == 0) return copy(length);
        if (m_c.passwordChange && length < kDisplaySize) return copy(length);
        return cardBody(length);
    }

    ReencryptResult cardBody(std::uint32_t length) {
        if (length < kDisplaySize) return ReencryptResult::BodyTooShort;
        std::uint8_t display[kDisplaySize];
        const FileResult r = readBlock(&m_in, display, sizeof display);
        if (r == FileResult::CallFailed) return ReencryptResult::DisplayReadFailed;
        if (r != FileResult::Done) return ReencryptResult::DisplayShort;
        if (writeBlock(&m_out, display, sizeof display) != FileResult::Done) return ReencryptResult::HeaderWriteFailed;

        std::uint64_t remaining = length - kDisplaySize;
        while (remaining > 0) {
            report();
            // A tail shorter than a head, or a sub-record running past the body, is no item the
            // card reader takes: it is carried as it is.
            if (remaining < kHeadSize) return copy(remaining);
            std::uint8_t head[kHeadSize];
            if (readBlock(&m_in, head, sizeof head) != FileResult::Done) return ReencryptResult::HeaderUnreadable;
            if (writeBlock(&m_out, head, sizeof head) != FileResult::Done) return ReencryptResult::HeaderWriteFailed;
            remaining -= kHeadSize;
            const std::uint32_t payload = getU32(head, 8);
            if (payload > remaining) return copy(remaining);
            const SubRecordLayout* layout = layoutOf(getU32(head, 4));
            const ReencryptResult r = layout ? subRecord(*layout, payload) : copy(payload);
            if (r != ReencryptResult::Done) return r;
            remaining -= payload;
        }
        return ReencryptResult::Done;
    }

    ReencryptResult subRecord(const SubRecordLayout& layout, std::uint32_t payload) {
        if (payload < layout.descriptorSize) return copy(payload);
        std::uint8_t descriptor[Field::kDescriptorSize];
        if (readBlock(&m_in, descriptor, layout.descriptorSize) != FileResult::Done) return layout.descriptorShort;
        if (writeBlock(&m_out, descriptor, layout.descriptorSize) != FileResult::Done)
            return ReencryptResult::HeaderWriteFailed;
        ++(m_c.stats.*layout.counter);

        // The parts must lie inside the payload, each no shorter than its padding (an empty part
        // takes no bytes whatever its padding count), as the card reader requires; an item that
        // does not is left out by the reader and carried here.
        std::uint64_t left = payload - layout.descriptorSize;
        for (std::size_t i = 0; i < layout.partCount; ++i) {
            const std::uint32_t stored = getU32(descriptor, layout.parts[i].stored);
            if (stored > left || (stored != 0 && getU32(descriptor, layout.parts[i].padding) > stored))
                return copy(payload - layout.descriptorSize);
            left -= stored;
        }
        for (std::size_t i = 0; i < layout.partCount; ++i) {
            const PartLayout& part = layout.parts[i];
            const ReencryptResult r =
                reencipher(part, getU32(descriptor, part.stored), getU32(descriptor, part.padding));
            if (r != ReencryptResult::Done) return r;
        }
        return copy(left);
    }

    // Deciphers a part under the old key and enciphers it under the new one, each stream started
    // at the part's first byte and carried across the blocks.
    ReencryptResult reencipher(const PartLayout& part, std::uint32_t stored, std::uint32_t padding) {
        if (stored == 0) return ReencryptResult::Done;
        if (part.data) m_c.stats.largestData = std::max(m_c.stats.largestData, stored);
        // The upgrade runs a data part's padding through the streams too; a password change keeps
        // the padding the card writer left in clear, as it does for texts.
        const std::uint64_t ciphered = part.data && !m_c.passwordChange ? stored : stored - padding;
        const std::size_t block = static_cast<std::size_t>(std::min<std::uint64_t>(kReencryptBlock, stored));
        const std::size_t room = part.data ? kReencryptBlock : block;
        std::uint8_t* const first = m_first.get(room);
        if (first == nullptr) return part.codes.buffer;
        std::uint8_t* const second = m_second.get(room);
        if (second == nullptr) return part.codes.second;
        // A part read in one block is re-enciphered with the mixed keystream; a longer one runs two
        // streams, carried from block to block.
        const bool oneBlock = stored <= block;
        Rc4State decipher;
        Rc4State encipher;
        if (!oneBlock) {
            rc4Schedule(decipher, m_c.oldKey.key());
            rc4Schedule(encipher, m_c.newKey.key());
        }
        ReencryptResult result = ReencryptResult::Done;
        for (std::uint64_t done = 0; done < stored;) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(block, stored - done));
            if (part.data) report();
            if (readBlock(&m_in, first, n) != FileResult::Done) {
                result = part.codes.read;
                break;
            }
            const std::size_t c =
                done < ciphered ? static_cast<std::size_t>(std::min<std::uint64_t>(n, ciphered - done)) : 0;
            if (oneBlock) {
                if (!reencipherItem(first, c)) {
                    result = part.codes.buffer;
                    break;
                }
            } else {
                rc4Process(decipher, second, first, c);
                rc4Process(encipher, first, second, c);
            }
            const bool written = writeBlock(&m_out, first, n) == FileResult::Done;
            // Plain text was held only by the two streams' blocks.
            if (!oneBlock) {
                wipe(first, n);
                wipe(second, n);
            }
            if (!written) {
                result = part.codes.write;
                break;
            }
            done += n;
        }
        wipe(&decipher, sizeof decipher);
        wipe(&encipher, sizeof encipher);
        return result;
    }

    // The old and the new keystream XORed together, made as far as items have needed: XORed with
    // an item enciphered under the old key, it gives the item enciphered under the new one, so
    // one pass re-enciphers an item and its plain text is never in memory. Null when the room for
    // it cannot be had.
    const std::uint8_t* mixed(std::size_t count) {
        if (count <= m_mixSize) return m_mix.get();
        const std::size_t size = std::max({count, 2 * m_mixSize, std::size_t{1024}});
        std::unique_ptr<std::uint8_t[]> mix(new (std::nothrow) std::uint8_t[size]());
        std::unique_ptr<std::uint8_t[]> other(new (std::nothrow) std::uint8_t[size]());
        if (!mix || !other) return nullptr;
        m_c.oldKey.encipher(mix.get(), size, mix.get());
        m_c.newKey.encipher(other.get(), size, other.get());
        for (std::size_t i = 0; i < size; ++i) mix[i] = static_cast<std::uint8_t>(mix[i] ^ other[i]);
        wipe(other.get(), size);
        if (m_mix) wipe(m_mix.get(), m_mixSize);
        m_mix = std::move(mix);
        m_mixSize = size;
        return m_mix.get();
    }

    // Re-enciphers an item of `count` bytes (at most kReencryptBlock) in place.
    bool reencipherItem(std::uint8_t* bytes, std::size_t count) {
        if (count == 0) return true;
        const std::uint8_t* mix = mixed(count);
        if (mix == nullptr) return false;
        for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(bytes[i] ^ mix[i]);
        return true;
    }

    // Carries bytes over unchanged.
    ReencryptResult copy(std::uint64_t length) {
        if (length == 0) return ReencryptResult::Done;
        const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(kReencryptBlock, length));
        std::uint8_t* const buffer = m_carry.get(size);
        if (buffer == nullptr) return ReencryptResult::OutOfMemory;
        while (length > 0) {
            const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, length));
            if (readBlock(&m_in, buffer, n) != FileResult::Done) return ReencryptResult::HeaderUnreadable;
            if (writeBlock(&m_out, buffer, n) != FileResult::Done) return ReencryptResult::HeaderWriteFailed;
            length -= n;
        }
        return ReencryptResult::Done;
    }

    ReencryptContext& m_c;
    // Only enciphered or clear file bytes pass through these buffers.
    BufferedReader m_in;
    BufferedWriter m_out;
    RecordCursor m_cursor;
    Scratch m_first, m_second, m_carry;
    std::unique_ptr<std::uint8_t[]> m_mix;
    std::size_t m_mixSize = 0;
    std::uint64_t m_size = 0;
};

}  // namespace

ReencryptResult reencryptPass(ReencryptContext& context) {
    if (!context.oldKey.active() || !context.newKey.active()) return ReencryptResult::HeaderUnreadable;
    return Pass(context).run();
}

}  // namespace tw
