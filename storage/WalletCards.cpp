// The card operations of the record store: load, append, save, new card, copy.
#include <algorithm>
#include <optional>
#include <span>

#include "model/Card.h"
#include "storage/Bytes.h"
#include "storage/RecordCursor.h"
#include "storage/WalletFile.h"

namespace tw {

std::unique_ptr<Card> WalletFile::loadCard(const RecordId& id) {
    if (!m_file) return nullptr;
    // Where the record was last seen, else a walk from the first record.
    const std::optional<std::uint64_t> known = offsetHint(id);
    if (!known && !positionAtFirstRecord()) return nullptr;
    // A look at the one record the hint names reads it whole in one call; a walk reads large chunks.
    std::optional<RecordCursor> cursor;
    if (known) {
        std::size_t look = 8 * 1024;
        if (const std::int64_t at = m_index.find(id); at >= 0)
            look = std::max<std::size_t>(look, m_index.at(static_cast<std::size_t>(at)).storedSize());
        cursor.emplace(*m_file, *known, std::min(look, RecordCursor::kChunk));
    } else {
        cursor.emplace(*m_file, RecordCursor::Reading::ReadAhead);
    }
    RecordHeader h;
    bool fromHint = known.has_value();
    auto fromStart = [&] {
        if (!positionAtFirstRecord()) return false;
        cursor.emplace(*m_file, RecordCursor::Reading::ReadAhead);
        fromHint = false;
        return true;
    };
    for (;;) {
        if (cursor->next(h) != RecordCursor::Step::Record) {
            if (!fromHint || !fromStart()) return nullptr;
            continue;
        }
        if (h.type() == RecordType::Card && !h.deleted() && h.id() == id) {
            std::span<const std::uint8_t> body;
            if (h.bodyLength() < CardDisplay::kSize || !cursor->body(&body)) return nullptr;
            auto card = std::make_unique<Card>();
            card->setHeader(std::move(h));
            if (!card->parseBody(body, m_keys.recordKey)) return nullptr;
            return card;
        }
        if (fromHint) {
            // The hint was wrong: look from the start.
            m_firstOffsets.erase(id);
            if (!fromStart()) return nullptr;
            continue;
        }
        if (!cursor->skipBody()) return nullptr;
    }
}

namespace {

bool bodyOf(const Card& card, const KeyRecord& key, std::vector<std::uint8_t>& body) {
    return card.header() != nullptr && card.serializeBody(key, &body);
}

void markSaved(Card& card) {
    card.setModified(false);
    if (card.header() != nullptr) card.header()->changed = false;
}

}  // namespace

std::int64_t WalletFile::appendCard(Card& card) {
    std::vector<std::uint8_t> body;
    if (!bodyOf(card, m_keys.recordKey, body)) return -1;
    const std::int64_t position = appendRecord(*card.header(), &body);
    if (position >= 0) {
        *card.header() = headerAt(static_cast<std::size_t>(position));
        markSaved(card);
    }
    return position;
}

std::int64_t WalletFile::saveCard(Card& card) {
    if (card.header() == nullptr || !recordsWritable()) return -1;
    std::uint64_t at = 0;
    RecordHeader old;
    if (!findInFile(card.header()->id(), &at, &old) || old.deleted()) return appendCard(card);
    std::vector<std::uint8_t> body;
    if (!bodyOf(card, m_keys.recordKey, body)) return -1;
    RecordHeader h = *card.header();
    h.markChangesFrom(old, now());
    // The same content gives the same bytes under the same key.
    if (!sameBytes(at + RecordHeader::kSize + old.iconLength(), old.bodyLength(), body))
        h.markChange(change::kContent, now());
    h.setBodyLength(static_cast<std::uint32_t>(body.size()));
    h.setWord(RecordHeader::kTail, 0);
    const std::vector<std::uint8_t> head = recordBytes(h, now());
    if (head.empty()) return -1;
    std::uint64_t size = 0;
    if (!m_file->size(&size)) return -1;
    const std::uint64_t end = at + old.storedSize();
    const bool ok = replaceFile([&](File& in, File& out) {
        return copyRange(in, 0, at, out) && copyRange(in, end, size - end, out) &&
               writeBlock(&out, head.data(), head.size()) == FileResult::Done &&
               writeBlock(&out, body.data(), body.size()) == FileResult::Done;
    });
    if (!ok) return -1;
    // The record left its place for the end of the file.
    m_firstOffsets.erase(h.id());
    shiftOffsets(end, -static_cast<std::int64_t>(end - at));
    h.changed = false;
    const std::size_t position = m_index.put(h, size - (end - at));
    noticeIcon(h);
    *card.header() = h;
    markSaved(card);
    return static_cast<std::int64_t>(position);
}

bool WalletFile::sameBytes(std::uint64_t at, std::uint64_t length, const std::vector<std::uint8_t>& bytes) {
    if (length != bytes.size() || !m_file->seekTo(at)) return false;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(blockSize(), length)));
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t n = std::min(buffer.size(), bytes.size() - done);
        if (readBlock(m_file.get(), buffer.data(), n) != FileResult::Done ||
            !std::equal(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n),
                        bytes.begin() + static_cast<std::ptrdiff_t>(done)))
            return false;
        done += n;
    }
    return true;
}

std::unique_ptr<Card> WalletFile::newCard(const RecordId& parent) {
    const SystemTime t = now();
    auto card = std::make_unique<Card>();
    card->setHeader(RecordHeader::create(RecordType::Card, recordIds().next(m_env.random, t), parent, t));
    const CardDisplayWords words = m_settings.defaultDisplay();
    for (std::size_t i = 0; i < CardDisplay::kWords; ++i) card->display().words[i] = words[i];
    return card;
}

}  // namespace tw
