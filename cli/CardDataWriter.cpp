#include "cli/CardDataWriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "cli/CardData.h"
#include "cli/Session.h"
#include "model/BodyCodec.h"
#include "model/Card.h"
#include "model/FieldKind.h"
#include "model/FormCards.h"
#include "platform/PieceArena.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/WalletFile.h"

namespace tw::cli {
namespace {

constexpr std::string_view kMasked = "********";
constexpr std::size_t kMaxDepth = 256;  // as pathOf

// Room enough for any text of `units` UTF-16 units (or UTF-8 bytes) written by the helpers
// below: csv takes at most 3 bytes a unit, json at most 6 (a control character as \u00XX).
constexpr std::size_t kCsvPerUnit = 3;
constexpr std::size_t kJsonPerUnit = 6;

char* put(char* out, std::string_view text) {
    if (!text.empty()) std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

template <typename Unit>
bool isCsvSpecial(Unit c) {
    return c == ',' || c == '"' || c == '\r' || c == '\n';
}

bool needsQuotes(std::string_view text) {
    return std::any_of(text.begin(), text.end(), isCsvSpecial<char>);
}

#if defined(__SSE2__)
// Masks over eight UTF-16 units: all bits of a unit set where it holds what is asked for.
__m128i unitsBeyondAscii(__m128i v) {
    const __m128i ascii =
        _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFF80))), _mm_setzero_si128());
    return _mm_xor_si128(ascii, _mm_set1_epi16(-1));
}
__m128i unitsEqual(__m128i v, char16_t c) {
    return _mm_cmpeq_epi16(v, _mm_set1_epi16(static_cast<short>(c)));
}
__m128i load8(const char16_t* text) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
}

// Copies text[from, ...) as bytes, eight units at a time, up to the first unit that `unusual`
// marks (or fewer than eight units are left); may write up to eight bytes past what it copies.
// Returns the index of the first unit not copied.
template <typename Unusual>
std::size_t copyPlain(char*& out, std::u16string_view text, std::size_t from, Unusual unusual) {
    while (text.size() - from >= 8) {
        const __m128i v = load8(text.data() + from);
        const int mask = _mm_movemask_epi8(unusual(v));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(v, v));
        if (mask != 0) {
            const auto clean = static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)) / 2);
            out += clean;
            return from + clean;
        }
        out += 8;
        from += 8;
    }
    return from;
}

bool needsQuotes(std::u16string_view text) {
    std::size_t i = 0;
    for (; text.size() - i >= 8; i += 8) {
        const __m128i v = load8(text.data() + i);
        const __m128i special = _mm_or_si128(_mm_or_si128(unitsEqual(v, u','), unitsEqual(v, u'"')),
                                             _mm_or_si128(unitsEqual(v, u'\r'), unitsEqual(v, u'\n')));
        if (_mm_movemask_epi8(special) != 0) return true;
    }
    return std::any_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(), isCsvSpecial<char16_t>);
}

// Quotes are doubled and CR may be dropped: the rest of ASCII goes over as it is.
std::size_t copyCsvPlain(char*& out, std::u16string_view text, std::size_t from) {
    return copyPlain(out, text, from, [](__m128i v) {
        return _mm_or_si128(unitsBeyondAscii(v), _mm_or_si128(unitsEqual(v, u'"'), unitsEqual(v, u'\r')));
    });
}

// Quotes, backslashes and control characters (no bit of 0xFFE0 set) are escaped.
std::size_t copyJsonPlain(char*& out, std::u16string_view text, std::size_t from) {
    return copyPlain(out, text, from, [](__m128i v) {
        const __m128i control =
            _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(static_cast<short>(0xFFE0))), _mm_setzero_si128());
        return _mm_or_si128(_mm_or_si128(unitsBeyondAscii(v), control),
                            _mm_or_si128(unitsEqual(v, u'"'), unitsEqual(v, u'\\')));
    });
}
#else
bool needsQuotes(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), isCsvSpecial<char16_t>);
}
std::size_t copyCsvPlain(char*&, std::u16string_view, std::size_t from) {
    return from;
}
std::size_t copyJsonPlain(char*&, std::u16string_view, std::size_t from) {
    return from;
}
#endif

// A csv cell of UTF-8 text, as csvCell writes it.
char* csvCell(char* out, std::string_view text) {
    const bool quoted = needsQuotes(text);
    if (quoted) *out++ = '"';
    for (char c : text) {
        if (c == '"') *out++ = '"';
        *out++ = c;
    }
    if (quoted) *out++ = '"';
    return out;
}

// Writes UTF-16 text as UTF-8: runs that need no escape through `copyPlain`, units beyond ASCII
// as putUtf8 does, every other ASCII unit through `putAscii`; with `lineFeeds`, CR LF as LF.
template <typename CopyPlain, typename PutAscii>
char* putEscaped(char* out, std::u16string_view text, bool lineFeeds, CopyPlain copyPlain, PutAscii putAscii) {
    for (std::size_t i = 0; i < text.size();) {
        i = copyPlain(out, text, i);
        if (i == text.size()) break;
        const char16_t c = text[i];
        if (c >= 0x80) {
            i = putUtf8(out, text, i);
            continue;
        }
        ++i;
        if (lineFeeds && c == u'\r' && i < text.size() && text[i] == u'\n') continue;
        out = putAscii(out, static_cast<char>(c));
    }
    return out;
}

// A csv cell of UTF-16 text, as csvCell(toUtf8(text)) writes it; with `lineFeeds` as
// csvCell(scriptValue) writes a text value (CR LF as LF).
char* csvText(char* out, std::u16string_view text, bool lineFeeds) {
    const bool quoted = needsQuotes(text);
    if (quoted) *out++ = '"';
    out = putEscaped(out, text, lineFeeds, copyCsvPlain, [](char* o, char c) {
        if (c == '"') *o++ = '"';
        *o++ = c;
        return o;
    });
    if (quoted) *out++ = '"';
    return out;
}

constexpr char kHex[] = "0123456789abcdef";

// `value` in decimal with at least `digits` digits (as printf's %0Nu).
char* putNumber(char* out, unsigned value, int digits) {
    char text[16];
    int n = 0;
    do {
        text[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n < digits) text[n++] = '0';
    while (n > 0) *out++ = text[--n];
    return out;
}

// A date and time as isoTime(t, true, true) writes it: yyyy-mm-dd hh:mm, nothing for year 0.
char* putDateTime(char* out, const SystemTime& t) {
    if (t.year == 0) return out;
    out = putNumber(out, t.year, 4);
    *out++ = '-';
    out = putNumber(out, t.month, 2);
    *out++ = '-';
    out = putNumber(out, t.day, 2);
    *out++ = ' ';
    out = putNumber(out, t.hour, 2);
    *out++ = ':';
    return putNumber(out, t.minute, 2);
}

// One ASCII character of a json string, escaped as JsonWriter escapes it.
char* jsonAscii(char* out, char c) {
    switch (c) {
        case '"':
            return put(out, "\\\"");
        case '\\':
            return put(out, "\\\\");
        case '\n':
            return put(out, "\\n");
        case '\r':
            return put(out, "\\r");
        case '\t':
            return put(out, "\\t");
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out = put(out, "\\u00");
                *out++ = kHex[static_cast<unsigned char>(c) >> 4];
                *out++ = kHex[c & 15];
            } else {
                *out++ = c;
            }
            return out;
    }
}

// A json string of UTF-8 text, as JsonWriter::value writes it.
char* jsonString(char* out, std::string_view text) {
    *out++ = '"';
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            *out++ = c;
        else
            out = jsonAscii(out, c);
    }
    *out++ = '"';
    return out;
}

// A json string of UTF-16 text, as JsonWriter::value(toUtf8(text)) writes it; with `lineFeeds`
// as it writes lfText(text) (CR LF as LF).
char* jsonText(char* out, std::u16string_view text, bool lineFeeds) {
    *out++ = '"';
    out = putEscaped(out, text, lineFeeds, copyJsonPlain, jsonAscii);
    *out++ = '"';
    return out;
}

std::string_view kindText(std::uint16_t kind, std::string& scratch) {
    scratch = kindName(kind);
    return scratch;
}

bool masked(const Field& f, bool passwords) {
    return f.kind() == field_kind::kPassword && !passwords && !f.value().empty();
}

bool scripted(const Field& f) {
    return isDateKind(f.kind()) || f.kind() == field_kind::kCheckBox;
}

}  // namespace

CardDataWriter::CardDataWriter(WalletFile& wallet, Format format, bool passwords)
    : m_wallet(wallet), m_format(format), m_passwords(passwords) {}

CardDataWriter::~CardDataWriter() {
    for (auto& [parent, path] : m_folderPaths) wipe(path.data(), path.size());
    for (FormName& f : m_forms) wipe(f.name.data(), f.name.size());
    wipe(m_path.data(), m_path.size());
}

void CardDataWriter::makePath(std::size_t position) {
    const WalletIndex& index = m_wallet.index();
    wipe(m_path.data(), m_path.size());
    m_path.clear();
    const std::u16string_view own = index.at(position).nameView();
    if (own.empty()) {
        // An empty name is left out of the path with the separator before it: rare, made whole.
        m_path = pathOf(m_wallet, position);
        return;
    }
    // Cards of one folder share the folder's part of the path, found by the folder's identifier.
    auto [it, made] = m_folderPaths.try_emplace(index.at(position).parent());
    if (made) {
        std::vector<std::int64_t> chain;
        for (std::int64_t at = index.parentOf(static_cast<std::int64_t>(position));
             at >= 0 && chain.size() + 1 < kMaxDepth; at = index.parentOf(at))
            chain.push_back(at);
        for (auto up = chain.rbegin(); up != chain.rend(); ++up) {
            appendPrintable(it->second, index.at(static_cast<std::size_t>(*up)).nameView(), true);
            it->second += '/';
        }
    }
    m_path = it->second;
    appendPrintable(m_path, own, true);
}

const std::string& CardDataWriter::formOf(const Card& card) {
    const FormRef& ref = card.header()->formRef();
    for (const FormName& f : m_forms)
        if (f.ref == ref) return f.name;
    std::u16string name;
    FormName made{ref, {}};
    if (formName(m_wallet, ref, name)) made.name = toUtf8(name);
    m_forms.push_back(std::move(made));
    return m_forms.back().name;
}

std::string_view CardDataWriter::write(PieceArena& arena, std::size_t position, const Card& card) {
    makePath(position);
    const std::string& form = formOf(card);
    std::u16string name = card.header()->name(m_wallet.recordKey());
    // Room for the longest text each part could become.
    const std::size_t perUnit = m_format == Format::Csv ? kCsvPerUnit : kJsonPerUnit;
    const std::size_t start = perUnit * (m_path.size() + name.size() + form.size()) + 64;
    std::size_t room = start + 512;
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        room += (m_format == Format::Csv ? start : 0) + perUnit * (f.name().size() + f.value().size()) + 128;
    }
    if (m_format == Format::Json) {
        room += perUnit * card.picture().name().size() + perUnit * card.sound().name().size() + 256;
        for (std::size_t slot = 0; slot < Card::kFileSlots; ++slot)
            room += perUnit * card.file(slot).name().size() + 96;
    }
    char* const begin = arena.begin(room);
    char* const end = m_format == Format::Csv ? csv(begin, card, name, form) : json(begin, card, name, form);
    body::wipeText(name);
    return arena.end(static_cast<std::size_t>(end - begin));
}

char* CardDataWriter::csv(char* out, const Card& card, std::u16string_view name, std::string_view form) {
    // The cells every row starts with, written once and copied.
    char* const start = out;
    out = csvCell(out, m_path);
    *out++ = ',';
    out = csvText(out, name, false);
    *out++ = ',';
    out = csvCell(out, form);
    *out++ = ',';
    const std::size_t startSize = static_cast<std::size_t>(out - start);
    std::string scratch;
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        if (i > 0) {
            std::memcpy(out, start, startSize);
            out += startSize;
        }
        if (f.isNote()) {
            out = put(out, "Note,note,");
        } else {
            out = csvText(out, f.name(), false);
            *out++ = ',';
            out = put(out, kindText(f.kind(), scratch));
            *out++ = ',';
        }
        if (scripted(f)) {
            scratch = scriptValue(f);
            out = csvCell(out, scratch);
        } else if (masked(f, m_passwords)) {
            out = put(out, kMasked);
        } else {
            out = csvText(out, f.value(), true);
        }
        out = put(out, "\r\n");
    }
    if (card.fieldCount() == 0) out = start;  // no rows
    return out;
}

char* CardDataWriter::json(char* out, const Card& card, std::u16string_view name, std::string_view form) {
    const RecordHeader& h = *card.header();
    out = put(out, "{\"id\":\"");
    for (std::uint8_t b : h.id().bytes) {
        *out++ = kHex[b >> 4];
        *out++ = kHex[b & 15];
    }
    *out++ = '"';
    out = put(out, ",\"path\":");
    out = jsonString(out, m_path);
    out = put(out, ",\"name\":");
    out = jsonText(out, name, false);
    out = put(out, ",\"form\":");
    out = jsonString(out, form);
    out = put(out, ",\"icon\":");
    if (h.iconIndex() == RecordHeader::kCustomIcon)
        out = put(out, "\"custom\"");
    else
        out = std::to_chars(out, out + 16, h.iconIndex()).ptr;
    out = put(out, ",\"changed\":\"");
    out = putDateTime(out, h.lastChange());
    *out++ = '"';
    out = put(out, ",\"fields\":[");
    const Field* note = nullptr;
    bool first = true;
    std::string scratch;
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        if (f.isNote()) {
            if (note == nullptr) note = &f;
            continue;
        }
        if (!first) *out++ = ',';
        first = false;
        out = put(out, "{\"name\":");
        out = jsonText(out, f.name(), false);
        out = put(out, ",\"kind\":");
        out = jsonString(out, kindText(f.kind(), scratch));
        out = put(out, ",\"value\":");
        if (scripted(f)) {
            scratch = scriptValue(f);
            out = jsonString(out, scratch);
        } else if (masked(f, m_passwords)) {
            out = put(out, "null");
        } else {
            out = jsonText(out, f.value(), true);
        }
        *out++ = '}';
    }
    out = put(out, "],\"note\":");
    out = note != nullptr ? jsonText(out, note->value(), true) : put(out, "null");
    out = put(out, ",\"attachments\":[");
    first = true;
    auto attachment = [&](std::string_view kind, const Attachment& a) {
        if (!a.hasData()) return;
        if (!first) *out++ = ',';
        first = false;
        out = put(out, "{\"kind\":");
        out = jsonString(out, kind);
        out = put(out, ",\"name\":");
        out = jsonText(out, a.name(), false);
        out = put(out, ",\"size\":");
        out = std::to_chars(out, out + 24, a.data().size()).ptr;
        *out++ = '}';
    };
    attachment("picture", card.picture());
    attachment("sound", card.sound());
    for (std::size_t slot = 0; slot < Card::kFileSlots; ++slot) attachment("file", card.file(slot));
    return put(out, "]}");
}

}  // namespace tw::cli
