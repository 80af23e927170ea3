// The card body codec: Card::readBody, parseBody, serializeBody and writeCard.
#include <algorithm>
#include <limits>

#include "model/Card.h"
#include "storage/Bytes.h"

namespace tw {
namespace {

// Sub-record head: u32 reserved (0), u32 type, u32 payload length.
constexpr std::size_t kHeadType = 4;
constexpr std::size_t kHeadLength = 8;
static_assert(kHeadLength + 4 == Card::kSubRecordHead);

constexpr std::uint32_t kFieldType = 1;
constexpr std::uint32_t kPictureType = static_cast<std::uint32_t>(AttachmentKind::Picture);
constexpr std::uint32_t kSoundType = static_cast<std::uint32_t>(AttachmentKind::Sound);
constexpr std::uint32_t kFileType = static_cast<std::uint32_t>(AttachmentKind::File);

constexpr std::size_t kMaxBody = std::numeric_limits<std::uint32_t>::max();

// Appends a head and the payload written by `writePayload`; fills in the length afterwards.
template <typename WritePayload>
bool appendSubRecord(std::vector<std::uint8_t>& out, std::uint32_t type, WritePayload writePayload) {
    const std::size_t head = out.size();
    out.resize(head + Card::kSubRecordHead, 0);
    putU32(out.data(), head + kHeadType, type);
    if (!writePayload(out)) return false;
    const std::size_t length = out.size() - head - Card::kSubRecordHead;
    putU32(out.data(), head + kHeadLength, static_cast<std::uint32_t>(length));
    return true;
}

}  // namespace

bool Card::serializeBody(const KeyRecord& key, std::vector<std::uint8_t>* body) const {
    if (!key.active()) return false;
    // Size everything first so that the body is built in one allocation and never passes the
    // format's 32-bit length.
    std::size_t size = CardDisplay::kSize;
    for (const Field& field : m_fields) size += kSubRecordHead + field.payloadSize();
    for (const Attachment* a : {&m_picture, &m_sound})
        if (a->hasData()) size += kSubRecordHead + a->payloadSize();
    for (const Attachment& a : m_files)
        if (a.hasData()) size += kSubRecordHead + a.payloadSize();
    if (size > kMaxBody) return false;

    std::vector<std::uint8_t> out;
    out.reserve(size);
    out.resize(CardDisplay::kSize);
    m_display.write(out.data());
    bool ok = true;
    for (const Field& field : m_fields)
        ok = ok && appendSubRecord(out, kFieldType, [&](auto& o) { return field.writePayload(key, o); });
    for (const Attachment* a : {&m_picture, &m_sound})
        if (a->hasData())
            ok = ok && appendSubRecord(out, static_cast<std::uint32_t>(a->kind()),
                                       [&](auto& o) { return a->writePayload(key, o); });
    for (const Attachment& a : m_files)
        if (a.hasData()) ok = ok && appendSubRecord(out, kFileType, [&](auto& o) { return a.writePayload(key, o); });
    if (!ok) return false;
    *body = std::move(out);
    return true;
}

bool Card::parseBody(std::span<const std::uint8_t> body, const KeyRecord& key, Parts parts) {
    if (body.size() < CardDisplay::kSize || !key.active()) return false;
    const std::uint8_t* p = body.data();
    // From here on the body is read as far as it goes: the card is emptied and filled in place,
    // keeping the room its field table had.
    std::optional<RecordHeader> header = std::move(m_header);
    release();
    m_header = std::move(header);
    m_display = CardDisplay::read(p);
    std::size_t fieldRecords = 0;
    for (std::size_t at = CardDisplay::kSize; body.size() - at >= kSubRecordHead;) {
        const std::size_t length = getU32(p, at + kHeadLength);
        at += kSubRecordHead;
        if (length > body.size() - at) break;
        if (getU32(p, at - kSubRecordHead + kHeadType) == kFieldType) ++fieldRecords;
        at += length;
    }
    m_fields.reserve(std::min(fieldRecords, kMaxFields));
    const bool attachments = parts == Parts::All;
    std::size_t usedFiles = 0;
    std::size_t dropped = 0;
    bool cutShort = false;

    for (std::size_t at = CardDisplay::kSize; body.size() - at >= kSubRecordHead;) {
        const std::uint32_t type = getU32(p, at + kHeadType);
        const std::size_t length = getU32(p, at + kHeadLength);
        at += kSubRecordHead;
        // A sub-record that runs past the body means the body is damaged from here on: what came
        // before is kept, the rest counts as one item left out.
        if (length > body.size() - at) {
            ++dropped;
            cutShort = true;
            break;
        }
        const std::uint8_t* payload = p + at;
        at += length;
        switch (type) {
            case kFieldType:
                if (m_fields.size() < kMaxFields) {
                    m_fields.emplace_back();
                    if (m_fields.back().readPayload(payload, length, key)) break;
                    m_fields.pop_back();
                }
                ++dropped;
                break;
            // Only attachments read here are set back by the next release.
            case kPictureType:
                m_attachmentsUsed = m_attachmentsUsed || attachments;
                if (attachments && !m_picture.readPayload(payload, length, key)) ++dropped;
                break;
            case kSoundType:
                m_attachmentsUsed = m_attachmentsUsed || attachments;
                if (attachments && !m_sound.readPayload(payload, length, key)) ++dropped;
                break;
            case kFileType:
                if (!attachments) break;
                m_attachmentsUsed = true;
                if (usedFiles < kFileSlots && m_files[usedFiles].readPayload(payload, length, key) &&
                    m_files[usedFiles].hasData())
                    ++usedFiles;
                else
                    ++dropped;
                break;
            default:
                break;  // a sub-record this program does not know is passed over
        }
    }

    m_dropped = dropped;
    m_cutShort = cutShort;
    m_loaded = true;
    m_modified = false;
    return true;
}

bool Card::readBody(File* file, std::uint32_t bodySize, const KeyRecord& key) {
    std::uint64_t size = 0;
    if (file == nullptr || bodySize < CardDisplay::kSize || !file->size(&size)) return false;
    const std::uint64_t position = file->position();
    if (position > size || size - position < bodySize) return false;
    std::vector<std::uint8_t> body(bodySize, 0);
    if (readBlock(file, body.data(), CardDisplay::kSize) != FileResult::Done) return false;
    if (bodySize > CardDisplay::kSize &&
        readBlock(file, body.data() + CardDisplay::kSize, bodySize - CardDisplay::kSize) != FileResult::Done)
        return false;
    return parseBody(body, key);
}

CardWriteResult writeCard(File* file, Card& card, const KeyRecord& key, const SystemTime& now) {
    RecordHeader* header = card.header();
    if (header == nullptr) return CardWriteResult::NoHeader;
    std::vector<std::uint8_t> body;
    if (!card.serializeBody(key, &body)) return CardWriteResult::Failed;
    header->setBodyLength(static_cast<std::uint32_t>(body.size()));
    const FileResult r = writeRecord(file, *header, now);
    if (r != FileResult::Done) return static_cast<CardWriteResult>(r);
    if (writeBlock(file, body.data(), body.size()) != FileResult::Done) return CardWriteResult::Failed;
    return CardWriteResult::Ok;
}

}  // namespace tw
