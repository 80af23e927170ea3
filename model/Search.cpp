#include "model/Search.h"

#include <algorithm>
#include <cstdint>

#include "model/BodyCodec.h"
#include "model/Card.h"
#include "model/Field.h"
#include "model/FieldKind.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/RecordCursor.h"

namespace tw {
namespace {

constexpr std::size_t kMaxNeedle = 63;
// Only the start of a long text is looked at.
constexpr std::size_t kMaxHaystack = 49151;
constexpr std::size_t kMaxItemBytes = 2 * kMaxHaystack;

// Card body sub-record head {u32 0, u32 type, u32 length}; type 1 holds a field.
constexpr std::size_t kHeadType = 4;
constexpr std::size_t kHeadLength = 8;
constexpr std::uint32_t kFieldType = 1;

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000 || c == 0xA0;
}

// foldCase with the common case kept short.
inline char16_t fold(char16_t c) {
    if (c < 0xC0) return static_cast<unsigned>(c - u'A') < 26u ? static_cast<char16_t>(c + 32) : c;
    return foldCase(c);
}

// Finds the name, value and list items of a field payload (at least a descriptor long), each
// checked as the field reader checks them; false when the reader would refuse the field.
bool fieldItems(const std::uint8_t* payload, std::size_t size, CardTextMatcher::Item* items) {
    constexpr std::size_t kSizes[3][2] = {{Field::kNameStored, Field::kNamePadding},
                                          {Field::kValueStored, Field::kValuePadding},
                                          {Field::kListStored, Field::kListPadding}};
    const std::size_t room = size - Field::kDescriptorSize;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::uint32_t stored = getU32(payload, kSizes[i][0]);
        const std::uint32_t padding = getU32(payload, kSizes[i][1]);
        items[i] = {pos, 0};
        if (stored == 0) continue;
        if (stored > room - pos || padding > stored) return false;
        items[i].bytes = stored - padding;
        pos += stored;
    }
    return true;
}

}  // namespace

CardTextMatcher::CardTextMatcher(std::u16string_view foldedNeedle, const KeyRecord& key, const LocalePatterns& locale,
                                 const StringTable& strings)
    : m_needle(foldedNeedle),
      m_key(key),
      m_locale(locale),
      m_strings(strings),
      m_plain(std::make_unique<std::uint8_t[]>(kMaxItemBytes + 1)) {
    // The code units that fold to the needle's first one, so that a text is looked through
    // without folding every unit. A zero unit ends every text, so a needle holding one is never
    // found.
    m_neverFound = m_needle.find(u'\0') != std::u16string_view::npos;
    const char16_t first = m_needle[0];
    if (first < 0x80) {
        m_firsts = {first, first, first};
        if (first >= u'a' && first <= u'z') m_firsts[1] = m_firsts[2] = static_cast<char16_t>(first - 32);
    } else {
        std::size_t count = 0;
        for (std::uint32_t c = 1; c <= 0xFFFF && count <= m_firsts.size(); ++c) {
            if (fold(static_cast<char16_t>(c)) != first) continue;
            if (count < m_firsts.size()) m_firsts[count] = static_cast<char16_t>(c);
            ++count;
        }
        m_foldFirst = count > m_firsts.size();
        for (std::size_t i = std::max<std::size_t>(count, 1); i < m_firsts.size(); ++i) m_firsts[i] = m_firsts[0];
    }
}

CardTextMatcher::~CardTextMatcher() {
    wipeUsed();
}

void CardTextMatcher::wipeUsed() {
    wipe(m_plain.get(), m_used);
    m_used = 0;
}

bool CardTextMatcher::textHolds(std::u16string_view text) const {
    if (text.size() > kMaxHaystack) text = text.substr(0, kMaxHaystack);
    if (m_needle.size() > text.size()) return false;
    const char16_t first = m_needle[0];
    for (std::size_t i = 0; i + m_needle.size() <= text.size(); ++i) {
        if (fold(text[i]) != first) continue;
        std::size_t k = 1;
        while (k < m_needle.size() && fold(text[i + k]) == m_needle[k]) ++k;
        if (k == m_needle.size()) return true;
    }
    return false;
}

bool CardTextMatcher::itemHolds(const std::uint8_t* source, std::size_t bytes) {
    // A text of fewer code units than the needle cannot hold it, whatever it deciphers to.
    if (bytes > kMaxItemBytes) bytes = kMaxItemBytes;
    const std::size_t units = (bytes + 1) / 2;
    const std::size_t length = m_needle.size();
    if (units < length || m_neverFound) return false;
    std::uint8_t* plain = m_plain.get();
    m_key.encipher(source, bytes, plain);
    plain[bytes] = 0;  // the high byte of an odd trailing byte
    m_used = std::max(m_used, bytes + 1);
    auto unit = [plain](std::size_t i) { return static_cast<char16_t>(plain[2 * i] | (plain[2 * i + 1] << 8)); };
    // The text ends at its first zero unit, which no needle unit matches.
    for (std::size_t i = 0; i + length <= units; ++i) {
        const char16_t c = unit(i);
        if (c == 0) return false;
        if (c != m_firsts[0] && c != m_firsts[1] && c != m_firsts[2] && (!m_foldFirst || fold(c) != m_needle[0]))
            continue;
        std::size_t k = 1;
        while (k < length && fold(unit(i + k)) == m_needle[k]) ++k;
        if (k == length) return true;
    }
    return false;
}

bool CardTextMatcher::fieldHolds(const std::uint8_t* payload, const Item* items) {
    const std::uint8_t* texts = payload + Field::kDescriptorSize;
    if (itemHolds(texts + items[0].at, items[0].bytes)) return true;
    const std::uint16_t kind = getU16(payload, Field::kKind);
    // Most kinds show their value as it is stored.
    if (!isDateKind(kind) && kind != field_kind::kCheckBox) return itemHolds(texts + items[1].at, items[1].bytes);
    std::u16string value;
    if (items[1].bytes != 0) m_key.decipherText16(texts + items[1].at, items[1].bytes, &value);
    std::u16string shown = displayText(kind, value, getSystemTime(payload, Field::kDate), m_locale, m_strings);
    const bool hit = textHolds(shown);
    body::wipeText(value);
    body::wipeText(shown);
    return hit;
}

bool CardTextMatcher::bodyHolds(std::span<const std::uint8_t> body) {
    if (body.size() < CardDisplay::kSize || !m_key.active()) return false;
    const std::uint8_t* p = body.data();
    bool hit = false;
    std::size_t fields = 0;
    for (std::size_t at = CardDisplay::kSize; !hit && body.size() - at >= Card::kSubRecordHead;) {
        const std::uint32_t type = getU32(p, at + kHeadType);
        const std::size_t length = getU32(p, at + kHeadLength);
        at += Card::kSubRecordHead;
        if (length > body.size() - at) break;  // the rest of the body is damaged
        const std::uint8_t* payload = p + at;
        at += length;
        if (type != kFieldType || fields >= Card::kMaxFields || length < Field::kDescriptorSize) continue;
        // Every field the reader keeps counts towards the limit, whether or not it holds the text.
        Item items[3];
        if (!fieldItems(payload, length, items)) continue;
        ++fields;
        hit = fieldHolds(payload, items);
    }
    wipeUsed();
    return hit;
}

std::size_t searchCards(WalletFile& wallet, std::u16string_view text, const LocalePatterns& locale) {
    if (!wallet.isOpen()) return 0;
    std::size_t start = 0;
    while (start < text.size() && isSpace(text[start])) ++start;
    std::u16string_view trimmed = text.substr(start, kMaxNeedle);
    while (!trimmed.empty() && isSpace(trimmed.back())) trimmed.remove_suffix(1);
    if (trimmed.size() < 2) return 0;
    const std::u16string needle = foldCase(trimmed);

    SearchResults found;
    File* file = wallet.file();
    if (!wallet.positionAtFirstRecord()) return 0;
    RecordCursor cursor(*file, RecordCursor::Reading::ReadAhead);
    CardTextMatcher matcher(needle, wallet.recordKey(), locale, wallet.env().strings);
    RecordHeader h;
    std::span<const std::uint8_t> body;
    while (found.positions.size() < SearchResults::kMax && cursor.next(h) == RecordCursor::Step::Record) {
        if (h.type() == RecordType::Card && !h.deleted()) {
            std::u16string name = h.name(wallet.recordKey());
            bool hit = name.size() > 1 && matcher.textHolds(name);
            body::wipeText(name);
            if (!hit && h.bodyLength() >= CardDisplay::kSize && cursor.body(&body)) hit = matcher.bodyHolds(body);
            if (hit) {
                const std::int64_t position = wallet.index().find(h.id());
                if (position >= 0 && !wallet.index().at(static_cast<std::size_t>(position)).deleted())
                    found.positions.push_back(static_cast<std::size_t>(position));
            }
        }
        if (!cursor.skipBody()) break;
    }
    if (!found.positions.empty()) {
        found.text = std::u16string(trimmed);
        wallet.searchResults() = std::move(found);
    } else {
        wallet.searchResults() = SearchResults{};
    }
    return wallet.searchResults().positions.size();
}

}  // namespace tw
