#include "model/CustomForms.h"

#include <limits>
#include <string_view>

#include "model/FormatCode.h"
#include "model/WholeFile.h"
#include "platform/Text.h"

namespace tw {
namespace {

constexpr std::string_view kHeader = "<HalvorsgardenTallowmereCustomForms.1>";
constexpr std::size_t kMaxLineBytes = 512;
constexpr std::size_t kMaxNumberLength = 10;  // form and field numbers
constexpr std::size_t kMaxIconLength = 2;
constexpr std::uint32_t kFirstCustomNumber = 1000;

enum class Encoding { EightBit, Utf16 };

bool startsWithHeader(std::span<const std::uint8_t> bytes, Encoding encoding) {
    const std::size_t unit = encoding == Encoding::Utf16 ? 2 : 1;
    if (bytes.size() < kHeader.size() * unit) return false;
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        if (bytes[i * unit] != static_cast<std::uint8_t>(kHeader[i])) return false;
        if (unit == 2 && bytes[i * unit + 1] != 0) return false;
    }
    return true;
}

// Splits the data into lines of at most kMaxLineBytes bytes, each ended by LF or by that limit.
// A last line without a line end is still given out: dropping it would silently lose the final
// "<EndForm>" of a file whose editor left off the last line break. A lone trailing byte of UTF-16
// data is no character and is ignored.
class LineReader {
public:
    LineReader(std::span<const std::uint8_t> bytes, Encoding encoding)
        : m_bytes(bytes), m_unit(encoding == Encoding::Utf16 ? 2 : 1) {}

    bool next(std::u16string* line) {
        line->clear();
        std::string eightBit;
        std::size_t taken = 0;
        bool any = false;
        while (taken < kMaxLineBytes && m_at + m_unit <= m_bytes.size()) {
            char16_t c = m_bytes[m_at];
            if (m_unit == 2) c = static_cast<char16_t>(c | (m_bytes[m_at + 1] << 8));
            m_at += m_unit;
            taken += m_unit;
            any = true;
            if (c == u'\n') break;
            if (m_unit == 2)
                line->push_back(c);
            else
                eightBit.push_back(static_cast<char>(c));
        }
        if (m_unit == 1) *line = fromWindows1252(eightBit);
        return any;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_unit;
    std::size_t m_at = 0;
};

// The meaningful part of a raw line: without its CR, without what follows a NUL (the line is a
// C string to every later step) or a ";" comment, and without trailing spaces.
std::u16string_view meaningful(std::u16string_view line) {
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    line = line.substr(0, line.find(u'\0'));
    line = line.substr(0, line.find(u';'));
    while (!line.empty() && line.back() == u' ') line.remove_suffix(1);
    return line;
}

// Leading-digits conversion: blanks, then decimal digits; anything else ends it. Saturates
// instead of wrapping, so a huge number never turns into a small one.
std::uint32_t leadingNumber(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(value);
}

// Cuts a name to the longest prefix of at most `limit` units that does not end inside a
// surrogate pair.
std::u16string cutName(std::u16string_view name, std::size_t limit) {
    if (name.size() <= limit) return std::u16string(name);
    std::size_t n = limit;
    if (n > 0 && name[n - 1] >= 0xD800 && name[n - 1] < 0xDC00) --n;
    return std::u16string(name.substr(0, n));
}

std::size_t skipSpaces(std::u16string_view text, std::size_t at) {
    while (at < text.size() && text[at] == u' ') ++at;
    return at;
}

// The form state machine over the meaningful lines after the header.
class Parser {
public:
    explicit Parser(std::vector<Form>* out) : m_out(out) {}

    void line(std::u16string_view text) {
        if (equalNoCase(text, u"<MyForm>")) {
            m_form = Form{};
            m_state = State::Name;
        } else if (equalNoCase(text, u"<EndForm>")) {
            endForm();
        } else {
            switch (m_state) {
                case State::Outside:
                    break;
                case State::Name:
                    m_form.name = cutName(text, Form::kMaxNameLength);
                    m_state = State::Number;
                    break;
                case State::Number:
                    if (number(text, kMaxNumberLength, &m_form.number)) m_state = State::Icon;
                    break;
                case State::Icon: {
                    std::uint32_t icon = 0;
                    if (!number(text, kMaxIconLength, &icon)) break;
                    m_form.icon = static_cast<std::int32_t>(icon);
                    m_state = State::Fields;
                    break;
                }
                case State::Fields:
                    field(text);
                    break;
            }
        }
    }

    std::size_t kept() const { return m_kept; }
    bool syntaxError() const { return m_syntaxError; }

private:
    enum class State { Outside, Name, Number, Icon, Fields };

    // A number line longer than `maxLength` is a syntax error and leaves the state as it was.
    bool number(std::u16string_view text, std::size_t maxLength, std::uint32_t* value) {
        if (text.size() > maxLength) {
            m_syntaxError = true;
            return false;
        }
        *value = leadingNumber(text);
        return true;
    }

    void endForm() {
        if (m_form.number >= kFirstCustomNumber && !m_form.fields.empty()) {
            ++m_kept;
            if (m_out != nullptr) m_out->push_back(std::move(m_form));
        }
        // Cleared here so that a repeated "<EndForm>" cannot keep the same form twice.
        m_form = Form{};
        m_state = State::Outside;
    }

    // "number keyword name": the keyword found first in list order anywhere in the line gives
    // the format; the name is everything after the second space-separated part.
    void field(std::u16string_view text) {
        if (m_form.fields.size() >= CustomForms::kMaxFields) return;
        // The shared keyword list is in search order; the password keyword stands for the default
        // format with the password flag.
        const FormatKeyword* keyword = nullptr;
        for (const FormatKeyword& k : formatKeywords()) {
            if (text.find(k.keyword) != std::u16string_view::npos) {
                keyword = &k;
                break;
            }
        }
        const std::size_t numberStart = skipSpaces(text, 0);
        const std::size_t numberEnd = std::min(text.find(u' ', numberStart), text.size());
        const std::size_t secondStart = skipSpaces(text, numberEnd);
        const std::size_t secondEnd = std::min(text.find(u' ', secondStart), text.size());
        const std::size_t nameStart = skipSpaces(text, secondEnd);
        if (keyword == nullptr || nameStart >= text.size() || numberEnd - numberStart > kMaxNumberLength) {
            m_syntaxError = true;
            return;
        }
        FieldDef def;
        def.number = leadingNumber(text.substr(numberStart, numberEnd - numberStart));
        def.name = cutName(text.substr(nameStart), Form::kMaxNameLength);
        def.format = keyword->code;
        def.password = keyword->password;
        m_form.fields.push_back(std::move(def));
    }

    std::vector<Form>* m_out;
    State m_state = State::Outside;
    Form m_form;
    std::size_t m_kept = 0;
    bool m_syntaxError = false;
};

// One pass over the data after the header line; `out` may be null to only count.
Parser runPass(std::span<const std::uint8_t> bytes, Encoding encoding, std::vector<Form>* out) {
    Parser parser(out);
    LineReader reader(bytes, encoding);
    std::u16string raw;
    reader.next(&raw);  // the header line
    while (reader.next(&raw)) {
        const std::u16string_view text = meaningful(raw);
        if (!text.empty()) parser.line(text);
    }
    return parser;
}

}  // namespace

CustomFormsResult CustomForms::load(FileSystem& files, const std::string& path) {
    m_forms.clear();
    std::vector<std::uint8_t> bytes;
    if (readWholeFile(files, path, kMaxFileBytes, &bytes) != WholeFileResult::Done)
        return CustomFormsResult::Unreadable;
    return parse(bytes);
}

CustomFormsResult CustomForms::parse(std::span<const std::uint8_t> bytes) {
    m_forms.clear();
    if (bytes.empty()) return CustomFormsResult::Unreadable;
    Encoding encoding = Encoding::EightBit;
    if (!startsWithHeader(bytes, Encoding::EightBit)) {
        if (!startsWithHeader(bytes, Encoding::Utf16)) return CustomFormsResult::NoHeader;
        encoding = Encoding::Utf16;
    }
    // The first pass counts the forms worth keeping, so the second stores them in one allocation.
    const Parser counted = runPass(bytes, encoding, nullptr);
    if (counted.kept() > 0) {
        m_forms.reserve(counted.kept());
        runPass(bytes, encoding, &m_forms);
    }
    return counted.syntaxError() ? CustomFormsResult::SyntaxError : CustomFormsResult::Done;
}

const Form* CustomForms::find(std::uint32_t number) const {
    for (const Form& form : m_forms)
        if (form.number == number) return &form;
    return nullptr;
}

}  // namespace tw
