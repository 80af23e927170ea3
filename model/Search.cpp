#include "model/Search.h"

#include "model/Card.h"
#include "model/FieldKind.h"
#include "platform/Text.h"
#include "storage/RecordCursor.h"

namespace tw {
namespace {

constexpr std::size_t kMaxNeedle = 63;
constexpr std::size_t kMaxHaystack = 49151;

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x3000 || c == 0xA0;
}

// `needle` is case-folded and not empty; the text is folded as it is compared.
bool contains(std::u16string_view text, const std::u16string& needle) {
    if (text.size() > kMaxHaystack) text = text.substr(0, kMaxHaystack);
    if (needle.size() > text.size()) return false;
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
        if (foldCase(text[i]) != needle[0]) continue;
        std::size_t k = 1;
        while (k < needle.size() && foldCase(text[i + k]) == needle[k]) ++k;
        if (k == needle.size()) return true;
    }
    return false;
}

bool cardMatches(const Card& card, const std::u16string& needle, const LocalePatterns& locale,
                 const StringTable& strings) {
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        if (contains(f.name(), needle)) return true;
        // Most kinds show their value as it is stored.
        if (!isDateKind(f.kind()) && f.kind() != field_kind::kCheckBox) {
            if (contains(f.value(), needle)) return true;
        } else if (contains(displayText(f.kind(), f.value(), f.date(), locale, strings), needle)) {
            return true;
        }
    }
    return false;
}

}  // namespace

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
    RecordHeader h;
    Card card;
    std::span<const std::uint8_t> body;
    while (found.positions.size() < SearchResults::kMax && cursor.next(h) == RecordCursor::Step::Record) {
        if (h.type() == RecordType::Card && !h.deleted()) {
            const std::u16string name = h.name(wallet.recordKey());
            bool hit = name.size() > 1 && contains(name, needle);
            if (!hit) {
                if (h.bodyLength() >= CardDisplay::kSize && cursor.body(&body) &&
                    card.parseBody(body, wallet.recordKey()))
                    hit = cardMatches(card, needle, locale, wallet.env().strings);
            }
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
