#include "cli/ValueInput.h"

#include <charconv>
#include <fstream>
#include <istream>
#include <iterator>

#include "cli/FieldInput.h"
#include "cli/Session.h"
#include "cli/Terminal.h"
#include "model/Card.h"
#include "model/CardNote.h"
#include "model/PasswordGenerator.h"
#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw::cli {
namespace {

constexpr std::size_t kMaxValueFile = 1 << 20;

// A value held in UTF-8 only as long as needed.
struct Utf8Secret {
    std::string text;
    ~Utf8Secret() { wipe(text.data(), text.size()); }
};

// Sets the field named `name` (or the note, named "Note") from text. 0, or the exit code.
int assign(Session& s, Card& card, const std::string& name, std::string_view value) {
    Env& env = s.wallet().env();
    const FieldLookup field = findField(card, name);
    if (field.error == exit_code::kNotFound && equalNoCase(fromUtf8(name), u"note")) {
        if (!setNote(card, withCrLf(value), env.strings))
            return s.fail(exit_code::kFailed, "the card holds 255 fields already; the note has no room");
        return exit_code::kOk;
    }
    if (field.error) return s.fail(field.error, field.message);
    const std::string why =
        setFieldFromText(card.field(static_cast<std::size_t>(field.index)), value, env.strings, env.clock.localTime());
    if (!why.empty()) return s.fail(exit_code::kUsage, name + ": " + why);
    return exit_code::kOk;
}

// The whole content of a file or of standard input ("-"), as text: one final line end is
// dropped. 0, or the exit code after saying why not.
int readValueFile(Session& s, Context& c, const std::string& path, Utf8Secret& value) {
    if (path == "-") {
        value.text.assign(std::istreambuf_iterator<char>(c.in), std::istreambuf_iterator<char>());
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file) return s.fail(exit_code::kFailed, "cannot read " + path);
        value.text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    const std::string name = path == "-" ? "standard input" : path;
    if (value.text.size() > kMaxValueFile)
        return s.fail(exit_code::kUsage, name + " is larger than 1 MiB; a value holds text, not files");
    if (!isValidUtf8(value.text)) return s.fail(exit_code::kUsage, name + " is not valid UTF-8 text");
    if (!value.text.empty() && value.text.back() == '\n') value.text.pop_back();
    if (!value.text.empty() && value.text.back() == '\r') value.text.pop_back();
    return exit_code::kOk;
}

// --characters: lower, upper, digits, symbols, separated by commas.
bool parseClasses(const std::string& text, unsigned& classes) {
    classes = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (word == "lower")
            classes |= char_class::kLower;
        else if (word == "upper")
            classes |= char_class::kUpper;
        else if (word == "digits")
            classes |= char_class::kDigits;
        else if (word == "symbols")
            classes |= char_class::kSymbols;
        else
            return false;
        start = end + 1;
    }
    return classes != 0;
}

}  // namespace

std::vector<Option> valueOptions() {
    return {
        {"set", "FIELD=VALUE",
         "fills a field; the value can be seen by every user of the machine (ps): use the\n"
         "options below for secrets",
         Check::Text, true},
        {"set-prompt", "FIELD",
         "asks for a field's value on the terminal without echo (without a terminal: the next\n"
         "line of standard input)",
         Check::Text, true},
        {"set-file", "FIELD=FILE", "fills a field with the text of FILE ('-': standard input)", Check::Text, true},
        {"generate", "FIELD[:LENGTH]", "fills a field with a new random password (default length 20)", Check::Text,
         true},
        {"characters", "CLASSES",
         "the characters --generate uses: lower, upper, digits, symbols, separated by commas\n"
         "(default lower,upper,digits); every class given appears at least once",
         Check::Text},
        {"exclude-lookalikes", "", "--generate leaves out I l 1 | O 0"},
        {"note", "TEXT", "the card's note (empty: none)", Check::Text},
    };
}

bool valuesReadStandardInput(const Args& args) {
    for (const std::string& a : args.all("set-file")) {
        std::string name, file;
        if (splitAssignment(a, name, file) && file == "-") return true;
    }
    return false;
}

int applyValues(Session& s, Card& card, const Args& args, Context& c) {
    for (const std::string& assignment : args.all("set")) {
        std::string name, value;
        if (!splitAssignment(assignment, name, value))
            return s.fail(exit_code::kUsage, "--set needs FIELD=VALUE, not '" + assignment + "'");
        if (const int r = assign(s, card, name, value)) return r;
    }
    int stdinFiles = 0;
    for (const std::string& assignment : args.all("set-file")) {
        std::string name, path;
        if (!splitAssignment(assignment, name, path) || path.empty())
            return s.fail(exit_code::kUsage, "--set-file needs FIELD=FILE, not '" + assignment + "'");
        if (path == "-" && ++stdinFiles > 1) return s.fail(exit_code::kUsage, "only one --set-file can read '-'");
        Utf8Secret value;
        if (const int r = readValueFile(s, c, path, value)) return r;
        if (const int r = assign(s, card, name, value.text)) return r;
    }
    for (const std::string& name : args.all("set-prompt")) {
        // The field must be there before its value is asked for.
        if (const FieldLookup field = findField(card, name);
            field.error && !(field.error == exit_code::kNotFound && equalNoCase(fromUtf8(name), u"note")))
            return s.fail(field.error, field.message);
        Secret value;
        if (const int r = c.passwords.readValue(name + ": ", value.text)) return r;
        Utf8Secret utf8{toUtf8(value.text)};
        if (const int r = assign(s, card, name, utf8.text)) return r;
    }
    PasswordRules rules;
    if (args.has("characters") && !parseClasses(args.get("characters"), rules.classes))
        return s.fail(exit_code::kUsage, "--characters takes lower, upper, digits and symbols, separated by commas");
    rules.excludeLookalikes = args.has("exclude-lookalikes");
    if ((args.has("characters") || args.has("exclude-lookalikes")) && !args.has("generate"))
        return s.fail(exit_code::kUsage, "--characters and --exclude-lookalikes go with --generate");
    for (const std::string& spec : args.all("generate")) {
        std::string name = spec;
        rules.length = 20;
        if (const std::size_t colon = spec.rfind(':'); colon != std::string::npos) {
            name = spec.substr(0, colon);
            const std::string digits = spec.substr(colon + 1);
            std::size_t length = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), length);
            if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty())
                return s.fail(exit_code::kUsage, "--generate needs FIELD or FIELD:LENGTH, not '" + spec + "'");
            rules.length = length;
        }
        if (name.empty()) return s.fail(exit_code::kUsage, "--generate needs a field name");
        if (!validRules(rules))
            return s.fail(exit_code::kUsage, "a generated password has from one character per class to " +
                                                 std::to_string(PasswordRules::kMaxLength) + " characters");
        Secret value;
        value.text = generatePassword(rules, c.env.random);
        Utf8Secret utf8{toUtf8(value.text)};
        if (const int r = assign(s, card, name, utf8.text)) return r;
    }
    if (args.has("note") && !setNote(card, withCrLf(args.get("note")), c.env.strings))
        return s.fail(exit_code::kFailed, "the card holds 255 fields already; the note has no room");
    return exit_code::kOk;
}

}  // namespace tw::cli
