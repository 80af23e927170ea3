#include "platform/IniFile.h"

#include <vector>

#include "platform/Text.h"

namespace tw {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isSpecial(char c) {
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

int octValue(char c) {
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

bool equalsAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// One logical line from `pos`: leading blanks and comment lines skipped; a quoted part or an
// escaped line break keeps the line going; an unquoted ';' ends it (the rest is a comment).
// `equals` is the first unquoted '=' or npos. False at the end of the data.
bool readLine(std::string_view data, std::size_t& pos, std::size_t& start, std::size_t& length, std::size_t& equals) {
    bool inQuotes = false;
    equals = std::string_view::npos;
    start = pos;
    while (start < data.size() && isSpace(data[start])) ++start;
    std::size_t i = start;
    while (i < data.size()) {
        while (i < data.size() && !isSpecial(data[i])) ++i;
        if (i >= data.size()) break;
        const char c = data[i++];
        if (c == '=') {
            if (!inQuotes && equals == std::string_view::npos) equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < data.size()) {
                const char next = data[i++];
                if (i < data.size()) {
                    const char after = data[i];
                    if ((next == '\n' && after == '\r') || (next == '\r' && after == '\n')) ++i;
                }
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else {  // ';'
            if (i == start + 1) {
                while (i < data.size() && data[i] != '\n' && data[i] != '\r') ++i;
                while (i < data.size() && isSpace(data[i])) ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    length = i - start;
    return length > 0;
}

// A key or section name as written: '\' separates groups, %XX and %UXXXX stand for characters.
std::u16string unescapeKey(std::string_view key) {
    const std::u16string decoded = fromUtf8(key);
    std::u16string out;
    out.reserve(decoded.size());
    std::size_t i = 0;
    while (i < decoded.size()) {
        const char16_t c = decoded[i];
        if (c == u'\\') {
            out += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i + 1 == decoded.size()) {
            out += c;
            ++i;
            continue;
        }
        std::size_t first = i + 1;
        std::size_t digits = 2;
        if (decoded[first] == u'U') {
            ++first;
            digits = 4;
        }
        unsigned value = 0;
        bool ok = first + digits <= decoded.size();
        for (std::size_t k = 0; ok && k < digits; ++k) {
            const int d = hexValue(decoded[first + k]);
            ok = d >= 0;
            value = value * 16 + static_cast<unsigned>(d);
        }
        if (!ok) {
            out += u'%';
            ++i;
            continue;
        }
        out += static_cast<char16_t>(value);
        i = first + digits;
    }
    return out;
}

void chopTrailingBlanks(std::u16string& s, std::size_t limit) {
    while (s.size() > limit && (s.back() == u' ' || s.back() == u'\t')) s.pop_back();
}

// A value as written: surrounding blanks dropped, quoted parts kept as they are, C-style escapes
// (\n, \x41, \101, ...) decoded, an escaped line break dropped. An unquoted ',' makes the value
// a list of texts: `*isList` is set.
std::u16string unescapeValue(std::string_view s, bool* isList) {
    std::u16string result;
    *isList = false;
    bool inQuotes = false;
    bool quoted = false;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    };
    skipBlanks();
    std::size_t chopLimit = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\\') {
            ++i;
            if (i >= s.size()) break;
            const char e = s[i++];
            bool named = true;
            switch (e) {
                case 'a':
                    result += u'\a';
                    break;
                case 'b':
                    result += u'\b';
                    break;
                case 'f':
                    result += u'\f';
                    break;
                case 'n':
                    result += u'\n';
                    break;
                case 'r':
                    result += u'\r';
                    break;
                case 't':
                    result += u'\t';
                    break;
                case 'v':
                    result += u'\v';
                    break;
                case '"':
                    result += u'"';
                    break;
                case '?':
                    result += u'?';
                    break;
                case '\'':
                    result += u'\'';
                    break;
                case '\\':
                    result += u'\\';
                    break;
                default:
                    named = false;
            }
            if (named) {
                chopLimit = result.size();
                continue;
            }
            if (e == 'x') {
                if (i >= s.size()) break;
                if (hexValue(static_cast<unsigned char>(s[i])) < 0) {
                    chopLimit = result.size();
                    continue;
                }
                char16_t v = 0;
                while (i < s.size() && hexValue(static_cast<unsigned char>(s[i])) >= 0)
                    v = static_cast<char16_t>(v * 16 + hexValue(static_cast<unsigned char>(s[i++])));
                result += v;
            } else if (octValue(e) >= 0) {
                char16_t v = static_cast<char16_t>(octValue(e));
                while (i < s.size() && octValue(s[i]) >= 0) v = static_cast<char16_t>(v * 8 + octValue(s[i++]));
                result += v;
            } else if (e == '\n' || e == '\r') {
                if (i < s.size() && (s[i] == '\n' || s[i] == '\r') && s[i] != e) ++i;
            }
            chopLimit = result.size();
            continue;
        }
        if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                chopLimit = result.size();
            }
            continue;
        }
        if (c == ',' && !inQuotes) {
            // Only whether it is a list matters to the readers of texts.
            *isList = true;
            if (!quoted) chopTrailingBlanks(result, chopLimit);
            result += u',';
            quoted = false;
            ++i;
            skipBlanks();
            chopLimit = result.size();
            continue;
        }
        std::size_t j = i + 1;
        while (j < s.size() && s[j] != '\\' && s[j] != '"' && s[j] != ',') ++j;
        result += fromUtf8(s.substr(i, j - i));
        i = j;
    }
    if (!quoted) chopTrailingBlanks(result, chopLimit);
    return result;
}

bool startsWith(std::u16string_view s, std::u16string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// What QSettings returns as a string for a stored text (its "@" forms decoded).
std::optional<std::u16string> textOf(std::u16string s) {
    if (s.empty() || s[0] != u'@') return s;
    if (s.back() == u')') {
        if (startsWith(s, u"@ByteArray(")) {
            std::string bytes;
            for (std::size_t i = 11; i + 1 < s.size(); ++i) bytes += static_cast<char>(s[i] & 0xFF);
            return fromUtf8(bytes);
        }
        if (startsWith(s, u"@String(")) return s.substr(8, s.size() - 9);
        if (s == u"@Invalid()") return std::u16string();
        for (const char16_t* kind : {u"@Variant(", u"@DateTime(", u"@Rect(", u"@Size(", u"@Point("})
            if (startsWith(s, kind)) return std::nullopt;
    }
    if (startsWith(s, u"@@")) return s.substr(1);
    return s;
}

void parseSection(std::string_view body, const std::u16string& prefix, IniEntries& out) {
    std::size_t pos = 0, start = 0, length = 0, equals = 0;
    while (readLine(body, pos, start, length, equals)) {
        if (equals == std::string_view::npos) continue;
        const std::string_view key = trimmed(body.substr(start, equals - start));
        if (key.empty()) continue;
        const std::string_view raw = body.substr(equals + 1, start + length - equals - 1);
        bool isList = false;
        std::u16string text = unescapeValue(raw, &isList);
        IniValue value;
        if (!isList) value.text = textOf(std::move(text));
        if (!value.text) value.raw = std::string(trimmed(raw));
        out[prefix + unescapeKey(key)] = std::move(value);
    }
}

const char kHexDigits[] = "0123456789ABCDEF";

void escapeKey(std::u16string_view key, std::string& out) {
    for (const char16_t c : key) {
        if (c == u'/') {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
                   c == u'-' || c == u'.') {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 15];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(c >> shift) & 15];
        }
    }
}

// "\\x" and the code in lower-case hex digits, without leading zeros.
void hexEscape(char16_t c, std::string& out) {
    static const char kLower[] = "0123456789abcdef";
    out += "\\x";
    if (c >= 16) out += kLower[c >> 4];
    out += kLower[c & 15];
}

void escapeValue(std::u16string_view text, std::string& out) {
    std::u16string stored;
    if (text.find(u'\0') != std::u16string_view::npos) {
        stored = u"@String(" + std::u16string(text) + u")";
    } else {
        if (!text.empty() && text[0] == u'@') stored = u"@";
        stored += text;
    }
    std::string body;
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;  // after \x.. or \0 a hex digit would continue the escape
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char16_t c = stored[i];
        if (c == u';' || c == u',' || c == u'=') needsQuotes = true;
        if (escapeNextIfDigit && hexValue(c) >= 0) {
            hexEscape(c, body);
            continue;
        }
        escapeNextIfDigit = false;
        switch (c) {
            case u'\a':
                body += "\\a";
                continue;
            case u'\b':
                body += "\\b";
                continue;
            case u'\f':
                body += "\\f";
                continue;
            case u'\n':
                body += "\\n";
                continue;
            case u'\r':
                body += "\\r";
                continue;
            case u'\t':
                body += "\\t";
                continue;
            case u'\v':
                body += "\\v";
                continue;
            case u'"':
                body += "\\\"";
                continue;
            case u'\\':
                body += "\\\\";
                continue;
            default:
                break;
        }
        if (c < 0x20) {
            hexEscape(c, body);
            escapeNextIfDigit = true;
        } else if (c < 0x80) {
            body += static_cast<char>(c);
        } else {
            const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < stored.size() && stored[i + 1] >= 0xDC00 &&
                              stored[i + 1] <= 0xDFFF;
            body += toUtf8(std::u16string_view(stored).substr(i, pair ? 2 : 1));
            if (pair) ++i;
        }
    }
    if (needsQuotes || (!body.empty() && (body.front() == ' ' || body.back() == ' '))) {
        out += '"';
        out += body;
        out += '"';
    } else {
        out += body;
    }
}

}  // namespace

IniEntries parseIniFile(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    IniEntries out;
    std::u16string section;  // with its trailing '/', empty for [General]
    std::size_t sectionStart = 0;
    std::size_t pos = 0, start = 0, length = 0, equals = 0;
    while (true) {
        const std::size_t before = pos;
        const bool more = readLine(bytes, pos, start, length, equals);
        if (!more || bytes[start] == '[') {
            parseSection(bytes.substr(sectionStart, (more ? start : bytes.size()) - sectionStart), section, out);
            (void)before;
            if (!more) break;
            const std::string_view line = bytes.substr(start, length);
            std::size_t close = line.find(']');
            if (close == std::string_view::npos) close = line.size();
            const std::string_view name = trimmed(line.substr(1, close - 1));
            if (equalsAsciiNoCase(name, "general")) {
                section.clear();
            } else {
                section = equalsAsciiNoCase(name, "%general") ? fromUtf8(name.substr(1)) : unescapeKey(name);
                section += u'/';
            }
            sectionStart = pos;
        }
    }
    return out;
}

std::string writeIniFile(const IniEntries& entries) {
    // Sections in the order of their names, [General] first; keys sorted within each.
    std::map<std::u16string, std::vector<const IniEntries::value_type*>> sections;
    for (const auto& entry : entries) {
        const std::size_t slash = entry.first.find(u'/');
        sections[slash == std::u16string::npos ? std::u16string() : entry.first.substr(0, slash)].push_back(&entry);
    }
    std::string out;
    bool first = true;
    for (const auto& [name, list] : sections) {
        if (!first) out += '\n';
        first = false;
        std::string header;
        escapeKey(name, header);
        if (name.empty())
            out += "[General]\n";
        else if (equalsAsciiNoCase(header, "general"))
            out += "[%" + header + "]\n";
        else
            out += "[" + header + "]\n";
        for (const auto* entry : list) {
            const std::u16string_view key = name.empty() ? std::u16string_view(entry->first)
                                                         : std::u16string_view(entry->first).substr(name.size() + 1);
            escapeKey(key, out);
            out += '=';
            if (entry->second.text)
                escapeValue(*entry->second.text, out);
            else
                out += entry->second.raw;
            out += '\n';
        }
    }
    return out;
}

}  // namespace tw
