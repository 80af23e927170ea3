// The commands that show, make and change one card: show, add, edit.
#include "cli/CardCommands.h"

#include <ostream>

#include "cli/CardData.h"
#include "cli/CardSupport.h"
#include "cli/Commands.h"
#include "cli/FieldInput.h"
#include "cli/FormChoice.h"
#include "cli/Json.h"
#include "cli/Locale.h"
#include "cli/ValueInput.h"
#include "model/Card.h"
#include "model/CardNote.h"
#include "model/FieldKind.h"
#include "model/FormCards.h"
#include "platform/Text.h"

namespace tw::cli {
namespace {

constexpr std::string_view kMask = "**********";

// A value as printed: CR LF and CR become line breaks, and every later line is indented.
std::string printable(const std::u16string& text, std::string_view indent) {
    std::string out;
    const std::string utf8 = toUtf8(text);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' || utf8[i] == '\n') {
            if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
            out += '\n';
            out += indent;
        } else {
            out += utf8[i];
        }
    }
    return out;
}

std::string sizeText(std::size_t bytes) {
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

}  // namespace

// --- show --------------------------------------------------------------------------------------

class ShowCommand final : public Command {
public:
    std::string_view name() const override { return "show"; }
    std::string_view summary() const override { return "show a card: its fields, note and attachments"; }
    std::string_view help() const override {
        return "Shows the card at PATH: its name, form and icon, each field as 'Name: value', the note,\n"
               "and its picture, sound and file attachments. Dates and times follow the locale (LC_TIME).\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"PATH", "the card (a path, or #ID)", true, Check::Text}},
                {{"passwords", "", "show password fields; otherwise they read **********"},
                 {"json", "", "print one JSON object (keys: see the manual page)"}}};
    }
    int run(const Args& args, Context& c) override;
};

int ShowCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 2) return usageError(c, *this);
    Session s(c);
    if (const int r = s.open(args.positional[0], true)) return r;
    WalletFile& w = s.wallet();
    std::size_t at = 0;
    if (const int r = findCard(s, args.positional[1], at)) return r;
    const std::unique_ptr<Card> card = w.loadCard(w.index().at(at).id());
    if (!card) return s.fail(exit_code::kDamaged, "the card '" + args.positional[1] + "' cannot be read");
    if (args.has("json")) {
        JsonWriter json;
        writeCardJson(json, w, at, *card, args.has("passwords"));
        c.out << json.text();
        return s.finish();
    }

    const LocalePatterns locale = userLocalePatterns();
    const StringTable& strings = w.env().strings;
    const RecordHeader& h = *card->header();
    std::u16string form;
    c.out << "Name:    " << toUtf8(h.name(w.recordKey())) << "\n"
          << "Form:    " << (formName(w, h.formRef(), form) ? toUtf8(form) : "(unknown form)") << "\n"
          << "Icon:    "
          << (h.iconIndex() == RecordHeader::kCustomIcon ? "custom, " + sizeText(h.customIcon().size())
                                                         : std::to_string(h.iconIndex()))
          << "\n"
          << "Changed: " << formatWhen(h.lastChange(), locale) << "\n";

    const bool showPasswords = args.has("passwords");
    auto valueOf = [&](const Field& f) {
        const std::u16string text = displayText(f.kind(), f.value(), f.date(), locale, strings);
        if (f.kind() == field_kind::kPassword && !text.empty() && !showPasswords) return std::string(kMask);
        return printable(text, "  ");
    };
    bool anyField = false;
    for (std::size_t i = 0; i < card->fieldCount(); ++i) {
        const Field& f = card->field(i);
        if (f.isNote()) continue;
        if (!anyField) c.out << "\n";
        anyField = true;
        const std::string value = valueOf(f);
        c.out << toUtf8(f.name()) << ":" << (value.empty() ? "" : " ") << value << "\n";
    }
    for (std::size_t i = 0; i < card->fieldCount(); ++i) {
        const Field& f = card->field(i);
        if (!f.isNote()) continue;
        c.out << "\n" << (f.name().empty() ? std::string("Note") : toUtf8(f.name())) << ":\n  " << valueOf(f) << "\n";
    }

    bool anyAttachment = false;
    auto attachmentLine = [&](const std::string& label, const Attachment& a) -> std::ostream& {
        if (!anyAttachment) c.out << "\n";
        anyAttachment = true;
        return c.out << label << toUtf8(a.name()) << ", " << sizeText(a.data().size());
    };
    if (card->picture().hasData()) attachmentLine("Picture: ", card->picture()) << "\n";
    if (card->sound().hasData()) attachmentLine("Sound:   ", card->sound()) << "\n";
    for (std::size_t slot = 0; slot < Card::kFileSlots; ++slot) {
        const Attachment& a = card->file(slot);
        if (!a.hasData()) continue;
        attachmentLine("File " + std::to_string(slot + 1) + ":  ", a)
            << ", modified " << formatWhen(a.fileTime(), locale) << ", attached " << formatWhen(a.attachTime(), locale)
            << "\n";
    }
    return s.finish();
}

// --- add ---------------------------------------------------------------------------------------

class AddCommand final : public Command {
public:
    std::string_view name() const override { return "add"; }
    std::string_view summary() const override { return "add a card made from a form"; }
    std::string_view help() const override {
        return "Adds a card to FOLDER ('/' for the top level), made from a form. Field values are given\n"
               "with --set (visible to every user of the machine while tmpro runs, as all command lines\n"
               "are), or, for secrets, with --set-prompt, --set-file or --generate. A field is named by\n"
               "its name or as #N (its position); the note is the field Note. Dates are typed as\n"
               "yyyy-mm-dd, times as hh:mm, both as 'yyyy-mm-dd hh:mm', check boxes as yes/no (or 1/0),\n"
               "lists as one of their items. 'tmpro forms WALLET --fields FORM' lists a form's fields.\n";
    }
    Syntax syntax() const override {
        std::vector<Option> options = {
            {"form", "FORM",
             "a built-in form by name (any case), number (500-542) or index (0-42), or one of the\n"
             "wallet's own forms by name; without it, the form the folder presets",
             Check::Text},
            {"name", "NAME", "the card's name (else the form's new-card name)", Check::Name},
        };
        for (Option& o : valueOptions()) options.push_back(std::move(o));
        return {true, {{"FOLDER", "the folder the card goes into", true, Check::Text}}, options};
    }
    int run(const Args& args, Context& c) override;
};

int AddCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 2 || (args.has("name") && args.get("name").empty())) return usageError(c, *this);
    c.stdinIsData = valuesReadStandardInput(args);
    Session s(c);
    if (const int r = s.open(args.positional[0], false)) return r;
    WalletFile& w = s.wallet();
    RecordId folder;
    if (const int r = findFolder(s, args.positional[1], folder)) return r;

    FormRef ref;
    if (args.has("form")) {
        const FormChoice choice = chooseForm(w, args.get("form"));
        if (choice.error) return s.fail(choice.error, choice.message);
        ref = choice.ref;
    } else {
        const std::int64_t at = w.index().find(folder);
        if (folder.isZero() || at < 0 || w.index().at(static_cast<std::size_t>(at)).type() != RecordType::Folder)
            return s.fail(exit_code::kUsage, "name the form with --form (only folders preset one)");
        ref = w.index().at(static_cast<std::size_t>(at)).formRef();
    }
    const std::unique_ptr<Card> card = newCardFromForm(w, folder, ref);
    if (!card) return s.fail(exit_code::kNotFound, "the form cannot be read");
    if (args.has("name")) card->header()->putName(fromUtf8(args.get("name")), w.recordKey());
    if (const int r = applyValues(s, *card, args, c)) return r;

    const std::u16string name = card->header()->name(w.recordKey());
    if (nameTaken(w, folder, name))
        return s.fail(exit_code::kFailed, "'" + toUtf8(name) + "' exists in that folder already; give another --name");
    const std::int64_t at = w.appendCard(*card);
    if (at < 0) return s.fail(exit_code::kFailed, "the card could not be written; the wallet is as it was");
    c.out << "Added " << pathOf(w, static_cast<std::size_t>(at)) << "\n";
    return s.finish();
}

// --- edit --------------------------------------------------------------------------------------

class EditCommand final : public Command {
public:
    std::string_view name() const override { return "edit"; }
    std::string_view summary() const override { return "change a card's name, values and fields"; }
    std::string_view help() const override {
        return "Changes the card at PATH and saves it. Changes apply in this order: --name,\n"
               "--remove-field, the values (--set, --set-prompt, --set-file, --generate, --note), then\n"
               "--add-field. Values are given as for add; --set is visible to every user of the machine\n"
               "while tmpro runs: give secrets with --set-prompt, --set-file or --generate.\n";
    }
    Syntax syntax() const override {
        std::vector<Option> options = {
            {"name", "NAME", "a new name for the card", Check::Name},
            {"remove-field", "FIELD", "deletes a field (by name or #N)", Check::Text, true},
        };
        for (Option& o : valueOptions()) options.push_back(std::move(o));
        options.push_back({"add-field", "NAME=VALUE",
                           "appends a field of --kind KIND (default text): a number 1-16 or text, capital,\n"
                           "words, plain, number, web, email, phone, link, password, date, time, datetime,\n"
                           "yesno, list, checkbox",
                           Check::Text});
        options.push_back({"kind", "KIND", "the kind of the --add-field field", Check::Text});
        options.push_back({"items", "A^B^C", "the items of an --add-field list field, separated by ^", Check::Text});
        return {true, {{"PATH", "the card (a path, or #ID)", true, Check::Text}}, options};
    }
    int run(const Args& args, Context& c) override;

private:
    int addField(Session& s, Card& card, const Args& args);
};

int EditCommand::addField(Session& s, Card& card, const Args& args) {
    Env& env = s.wallet().env();
    std::string name, value;
    if (!splitAssignment(args.get("add-field"), name, value))
        return s.fail(exit_code::kUsage, "--add-field needs NAME=VALUE, not '" + args.get("add-field") + "'");
    const std::optional<std::uint16_t> kind = parseKind(args.get("kind", "text"));
    if (!kind) return s.fail(exit_code::kUsage, "no field kind '" + args.get("kind") + "' (see tmpro help edit)");
    if (args.has("items") && *kind != field_kind::kSelectionList)
        return s.fail(exit_code::kUsage, "--items is only for a field of kind list");
    Field* field = card.newField(*kind, env.strings);
    if (field == nullptr) return s.fail(exit_code::kFailed, "the card holds 255 fields already");
    field->setName(fromUtf8(name));
    if (args.has("items")) field->setListFromJoined(fromUtf8(args.get("items")));
    const std::string why = setFieldFromText(*field, value, env.strings, env.clock.localTime());
    if (!why.empty()) return s.fail(exit_code::kUsage, name + ": " + why);
    return exit_code::kOk;
}

int EditCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 2) return usageError(c, *this);
    bool anyChange = false;
    for (const char* option :
         {"name", "set", "set-prompt", "set-file", "generate", "note", "remove-field", "add-field"})
        anyChange = anyChange || args.has(option);
    if (!anyChange || (args.has("name") && args.get("name").empty()) ||
        ((args.has("kind") || args.has("items")) && !args.has("add-field")))
        return usageError(c, *this);
    c.stdinIsData = valuesReadStandardInput(args);
    Session s(c);
    if (const int r = s.open(args.positional[0], false)) return r;
    WalletFile& w = s.wallet();
    std::size_t at = 0;
    if (const int r = findCard(s, args.positional[1], at)) return r;
    const std::unique_ptr<Card> card = w.loadCard(w.index().at(at).id());
    if (!card) return s.fail(exit_code::kDamaged, "the card '" + args.positional[1] + "' cannot be read");

    if (args.has("name")) {
        const std::u16string name = fromUtf8(args.get("name"));
        if (nameTaken(w, card->header()->parent(), name, static_cast<std::int64_t>(at)))
            return s.fail(exit_code::kFailed, "'" + args.get("name") + "' exists in that folder already");
        card->header()->setName(name, w.recordKey(), w.env().clock.localTime());
    }
    for (const std::string& removed : args.all("remove-field")) {
        const FieldLookup field = findField(*card, removed);
        if (field.error) return s.fail(field.error, field.message);
        card->removeField(static_cast<std::size_t>(field.index));
    }
    if (const int r = applyValues(s, *card, args, c)) return r;
    if (args.has("add-field"))
        if (const int r = addField(s, *card, args)) return r;

    const std::int64_t saved = w.saveCard(*card);
    if (saved < 0) return s.fail(exit_code::kFailed, "the card could not be written; the wallet is as it was");
    c.out << "Saved " << pathOf(w, static_cast<std::size_t>(saved)) << "\n";
    return s.finish();
}

void addCardCommands(std::vector<std::unique_ptr<Command>>& commands) {
    commands.push_back(std::make_unique<ShowCommand>());
    commands.push_back(std::make_unique<AddCommand>());
    commands.push_back(std::make_unique<EditCommand>());
    addWalletCommands(commands);
}

}  // namespace tw::cli
