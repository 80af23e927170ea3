#include "model/Search.h"

#include <algorithm>

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
      m_plain(std::make_unique<std::uint8_t[]>(kMaxItemBytes + 1)),
      m_text(std::make_unique<char16_t[]>(kMaxHaystack)) {}

CardTextMatcher::~CardTextMatcher() {
    wipeUsed();
}

void CardTextMatcher::wipeUsed() {
    wipe(m_plain.get(), m_used);
    wipe(m_text.get(), std::min(kMaxHaystack, (m_used + 1) / 2) * sizeof(char16_t));
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
    if ((bytes + 1) / 2 < m_needle.size()) return false;
    std::uint8_t* plain = m_plain.get();
    m_key.encipher(source, bytes, plain);
    plain[bytes] = 0;  // the high byte of an odd trailing byte
    m_used = std::max(m_used, bytes + 1);
    // The text ends at its first zero code unit; fold it as it is taken.
    char16_t* text = m_text.get();
    const std::size_t units = (bytes + 1) / 2;
    std::size_t n = 0;
    for (; n < units; ++n) {
        const auto unit = static_cast<char16_t>(plain[2 * n] | (plain[2 * n + 1] << 8));
        if (unit == 0) break;
        text[n] = fold(unit);
    }
    return std::u16string_view(text, n).find(m_needle) != std::u16string_view::npos;
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
