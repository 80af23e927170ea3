// get: one value of a card on standard output.
#include "cli/GetCommands.h"

#include <ostream>

#include "cli/CardSupport.h"
#include "cli/FieldInput.h"
#include "cli/Locale.h"
#include "cli/Session.h"
#include "model/Card.h"
#include "model/FieldKind.h"
#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw::cli {

int fieldText(Session& s, const Card& card, const std::string& name, std::string& text) {
    const Field* field = nullptr;
    if (name.empty()) {
        for (std::size_t i = 0; i < card.fieldCount() && field == nullptr; ++i)
            if (card.field(i).kind() == field_kind::kPassword) field = &card.field(i);
        if (field == nullptr) return s.fail(exit_code::kNotFound, "the card has no password field; name the field");
    } else {
        const FieldLookup found = findField(card, name);
        if (found.error == exit_code::kNotFound && equalNoCase(fromUtf8(name), u"note")) {
            for (std::size_t i = 0; i < card.fieldCount() && field == nullptr; ++i)
                if (card.field(i).isNote()) field = &card.field(i);
            if (field == nullptr) return s.fail(exit_code::kNotFound, "the card has no note");
        } else if (found.error) {
            return s.fail(found.error, found.message);
        } else {
            field = &card.field(static_cast<std::size_t>(found.index));
        }
    }
    std::u16string shown =
        displayText(field->kind(), field->value(), field->date(), userLocalePatterns(), s.wallet().env().strings);
    std::u16string lf;
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (!(shown[i] == u'\r' && i + 1 < shown.size() && shown[i + 1] == u'\n')) lf.push_back(shown[i]);
    text = toUtf8(lf);
    wipe(shown.data(), shown.size() * sizeof(char16_t));
    wipe(lf.data(), lf.size() * sizeof(char16_t));
    return exit_code::kOk;
}

namespace {

class GetCommand final : public Command {
public:
    std::string_view name() const override { return "get"; }
    std::string_view summary() const override { return "print one value of a card (a password, the note)"; }
    std::string_view help() const override {
        return "Prints the value of one field of the card at PATH and nothing else, followed by a line\n"
               "feed: passwords in clear, dates and times as 'show' writes them, line breaks as LF.\n"
               "FIELD is a field's name, #N for its position, or Note; without it, the card's first\n"
               "password field. An empty field prints an empty line.\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"PATH", "the card (a path, or #ID)", true, Check::Text},
                 {"FIELD", "the field (default: the first password field)", false, Check::Text}},
                {}};
    }
    int run(const Args& args, Context& c) override {
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        std::size_t at = 0;
        if (const int r = findCard(s, args.positional[1], at)) return r;
        const std::unique_ptr<Card> card = s.wallet().loadCard(s.wallet().index().at(at).id());
        if (!card) return s.fail(exit_code::kDamaged, "the card '" + args.positional[1] + "' cannot be read");
        std::string text;
        if (const int r = fieldText(s, *card, args.positional.size() > 2 ? args.positional[2] : "", text)) return r;
        c.out << text << "\n" << std::flush;
        wipe(text.data(), text.size());
        return s.finish();
    }
};

}  // namespace

void addGetCommands(std::vector<std::unique_ptr<Command>>& commands) {
    commands.push_back(std::make_unique<GetCommand>());
    commands.push_back(makeClipCommand());
    addAttachmentCommands(commands);
}

}  // namespace tw::cli
