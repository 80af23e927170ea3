#include "platform/LanguageFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/Text.h"

namespace tw {

namespace {

void addIssue(LanguageTexts& out, std::size_t line, std::string message) {
    if (out.issues.size() < kLanguageMaxIssues) out.issues.push_back({line, std::move(message)});
}

bool tooManyIssues(const LanguageTexts& out) {
    return out.issues.size() >= kLanguageMaxIssues;
}

bool isBlank(std::string_view line) {
    for (const char c : line) {
        if (c != ' ' && c != '\t') return false;
    }
    return true;
}

// Splits `bytes` into lines at line feeds, dropping one CR before each; calls `take(number, line)`
// until it returns false. A UTF-8 byte-order mark at the start is skipped.
template <typename Take>
void forEachLine(std::string_view bytes, Take take) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::size_t number = 0;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!take(++number, line)) return;
    }
}

std::optional<std::uint32_t> parseId(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    std::uint32_t id = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        id = id * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (id > kLanguageMaxId) return std::nullopt;
    return id;
}

// One entry line into `out`; returns false when parsing should stop.
bool parseEntry(LanguageTexts& out, std::size_t number, std::string_view line) {
    if (line.size() > kLanguageLineMaxBytes) {
        addIssue(out, number, "line longer than " + std::to_string(kLanguageLineMaxBytes) + " bytes");
        return !tooManyIssues(out);
    }
    if (line.empty() || line.front() == '#' || isBlank(line)) return true;
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
        addIssue(out, number, "expected <id><TAB><text>");
        return !tooManyIssues(out);
    }
    const auto id = parseId(line.substr(0, tab));
    if (!id) {
        addIssue(out, number,
                 "bad string id \"" + std::string(line.substr(0, std::min<std::size_t>(tab, 16))) + "\" (decimal 0-" +
                     std::to_string(kLanguageMaxId) + ")");
        return !tooManyIssues(out);
    }
    std::string error;
    auto text = unescapeLanguageText(line.substr(tab + 1), &error);
    if (!text) {
        addIssue(out, number, "id " + std::to_string(*id) + ": " + error);
        return !tooManyIssues(out);
    }
    const auto [it, fresh] = out.lines.emplace(*id, number);
    if (!fresh) {
        addIssue(out, number,
                 "duplicate id " + std::to_string(*id) + " (first on line " + std::to_string(it->second) + ")");
        return !tooManyIssues(out);
    }
    out.texts.emplace(*id, std::move(*text));
    return true;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "HALVOTMPRO-LANGUAGE\t1\t0409" -> the language id.
std::optional<std::uint16_t> parseHeader(std::string_view line, std::string* error) {
    const std::string version = std::to_string(kLanguageModuleVersion);
    const std::string prefix = std::string(kLanguageModuleMagic) + "\t";
    if (line.substr(0, prefix.size()) != prefix) {
        *error = "not a language module (header line missing)";
        return std::nullopt;
    }
    line.remove_prefix(prefix.size());
    if (line.substr(0, version.size() + 1) != version + "\t") {
        *error = "unsupported language module version";
        return std::nullopt;
    }
    line.remove_prefix(version.size() + 1);
    if (line.size() != 4) {
        *error = "language id must be 4 hex digits";
        return std::nullopt;
    }
    std::uint16_t language = 0;
    for (const char c : line) {
        const int v = hexValue(c);
        if (v < 0) {
            *error = "language id must be 4 hex digits";
            return std::nullopt;
        }
        language = static_cast<std::uint16_t>(language * 16 + v);
    }
    return language;
}

}  // namespace

std::optional<std::u16string> unescapeLanguageText(std::string_view escaped, std::string* error) {
    std::string plain;
    plain.reserve(escaped.size());
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            if (error) *error = c == '\t' ? "raw TAB in text (write \\t)" : "control character in text";
            return std::nullopt;
        }
        if (c != '\\') {
            plain.push_back(c);
            continue;
        }
        if (++i >= escaped.size()) {
            if (error) *error = "backslash at end of text (write \\\\)";
            return std::nullopt;
        }
        switch (escaped[i]) {
            case 't':
                plain.push_back('\t');
                break;
            case 'n':
                plain.push_back('\n');
                break;
            case 'r':
                plain.push_back('\r');
                break;
            case '\\':
                plain.push_back('\\');
                break;
            default:
                if (error)
                    *error = std::string("unknown escape \\") +
                             (std::isprint(static_cast<unsigned char>(escaped[i])) ? escaped[i] : '?');
                return std::nullopt;
        }
    }
    if (!isValidUtf8(plain)) {
        if (error) *error = "text is not valid UTF-8";
        return std::nullopt;
    }
    std::u16string text = fromUtf8(plain);
    if (text.size() > kLanguageTextMaxUnits) {
        if (error) *error = "text longer than " + std::to_string(kLanguageTextMaxUnits) + " characters";
        return std::nullopt;
    }
    return text;
}

std::string escapeLanguageText(std::u16string_view text) {
    const std::string plain = toUtf8(text);
    std::string out;
    out.reserve(plain.size());
    for (const char c : plain) {
        switch (c) {
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                // Other control characters cannot be written; they never come from a parsed file.
                if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out.push_back(c);
        }
    }
    return out;
}

LanguageTexts parseLanguageSource(std::string_view bytes) {
    LanguageTexts out;
    forEachLine(bytes, [&](std::size_t number, std::string_view line) { return parseEntry(out, number, line); });
    return out;
}

LanguageTexts parseLanguageModule(std::string_view bytes) {
    LanguageTexts out;
    bool header = true;
    forEachLine(bytes, [&](std::size_t number, std::string_view line) {
        if (!header) return parseEntry(out, number, line);
        header = false;
        std::string error;
        const auto language = parseHeader(line.substr(0, 64), &error);
        if (!language) {
            addIssue(out, number, error);
            return false;
        }
        out.language = *language;
        return true;
    });
    if (header) addIssue(out, 0, "not a language module (empty file)");
    return out;
}

std::string writeLanguageModule(std::uint16_t language, const std::map<std::uint32_t, std::u16string>& texts) {
    char id[8];
    std::snprintf(id, sizeof id, "%04x", static_cast<unsigned>(language));
    std::string out =
        std::string(kLanguageModuleMagic) + "\t" + std::to_string(kLanguageModuleVersion) + "\t" + id + "\n";
    for (const auto& [number, text] : texts) {
        out += std::to_string(number);
        out += '\t';
        out += escapeLanguageText(text);
        out += '\n';
    }
    return out;
}

LanguageLoad readLanguageBytes(FileSystem& files, const std::string& path, std::string* bytes) {
    bytes->clear();
    if (!files.exists(path)) return LanguageLoad::Missing;
    const auto file = files.open(path, OpenMode::Read);
    if (!file) return LanguageLoad::Unreadable;
    std::uint64_t size = 0;
    if (!file->size(&size)) return LanguageLoad::Unreadable;
    if (size > kLanguageFileMaxBytes) return LanguageLoad::TooLarge;
    bytes->resize(static_cast<std::size_t>(size));
    std::size_t have = 0;
    while (have < bytes->size()) {
        std::size_t done = 0;
        const FileResult r = readBlock(file.get(), bytes->data() + have, bytes->size() - have, &done);
        if (r != FileResult::Done && r != FileResult::Short) break;
        have += done;
        if (done == 0) break;
    }
    if (have != bytes->size()) {
        bytes->clear();
        return LanguageLoad::Unreadable;
    }
    return LanguageLoad::Loaded;
}

LanguageLoad loadLanguageModuleFile(FileSystem& files, const std::string& path, StringTable& table,
                                    std::uint16_t* language, std::vector<LanguageIssue>* issues) {
    if (issues) issues->clear();
    std::string bytes;
    const LanguageLoad read = readLanguageBytes(files, path, &bytes);
    if (read != LanguageLoad::Loaded) return read;
    LanguageTexts parsed = parseLanguageModule(bytes);
    if (issues) *issues = parsed.issues;
    if (!parsed.ok()) {
        // Line 1 of a module is its header; issues come in line order.
        return parsed.issues.front().line <= 1 ? LanguageLoad::NotModule : LanguageLoad::Damaged;
    }
    if (language) *language = parsed.language;
    table.load(std::move(parsed.texts));
    return LanguageLoad::Loaded;
}

}  // namespace tw
