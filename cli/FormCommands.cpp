// The commands that move forms and cards between a wallet and outside files: forms, export-form,
// import-form and import.
#include "cli/FormCommands.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <utility>

#include "cli/CardData.h"
#include "cli/Commands.h"
#include "cli/FormChoice.h"
#include "cli/Json.h"
#include "cli/Locale.h"
#include "cli/Session.h"
#include "cli/Terminal.h"
#include "model/BuiltinForms.h"
#include "model/Card.h"
#include "model/CardImport.h"
#include "model/DisplayText.h"
#include "model/FormCards.h"
#include "model/FormFields.h"
#include "model/FormLayoutFile.h"
#include "model/ImportTable.h"
#include "model/WalletImportSink.h"
#include "platform/Text.h"

namespace tw::cli {
namespace {

// The imported folder's name and the form file's date go by the user's short-date pattern, as
// the program shows them.
LocalePatterns terminalLocale() {
    return userLocalePatterns();
}

// Without --out, exports go to the user's documents folder.
std::string documentsFolder() {
    if (const char* dir = std::getenv("XDG_DOCUMENTS_DIR"); dir != nullptr && *dir != '\0') return dir;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return std::string(home) + "/Documents";
    return ".";
}

// A form named by its path, or by its name alone inside the forms folder.
Resolved resolveForm(const WalletFile& wallet, const std::string& path) {
    const Resolved direct = resolvePath(wallet, path);
    const WalletIndex& index = wallet.index();
    const std::int64_t forms = index.formsFolder();
    if (direct.error != exit_code::kNotFound || forms < 0) return direct;
    const RecordId formsId = index.at(static_cast<std::size_t>(forms)).id();
    const std::u16string name = fromUtf8(path);
    Resolved inForms = direct;
    std::size_t matches = 0;
    for (std::size_t i = 0; i < index.count(); ++i) {
        const IndexEntry& h = index.at(i);
        if (h.deleted() || h.parent() != formsId || !equalNoCase(h.name(), name)) continue;
        inForms.position = static_cast<std::int64_t>(i);
        ++matches;
    }
    if (matches == 1) return {inForms.position, exit_code::kOk, {}};
    if (matches > 1) return {-1, exit_code::kAmbiguous, "'" + path + "' names " + std::to_string(matches) + " forms"};
    return direct;
}

std::string describe(FormLayoutResult r) {
    switch (r) {
        case FormLayoutResult::Ok:
            return "done";
        case FormLayoutResult::CannotOpen:
            return "the file cannot be opened";
        case FormLayoutResult::ShortHeader:
            return "the file is too short to be a form-layout file";
        case FormLayoutResult::BadSignature:
            return "the file is not a form-layout file (wrong signature)";
        case FormLayoutResult::BadVersion:
            return "the form-layout file has an unknown version";
        case FormLayoutResult::BadRecord:
            return "the form in the file is damaged or is not a card";
        case FormLayoutResult::NotAForm:
            return "not a form: forms are the cards of the forms folder";
        case FormLayoutResult::WriteFailed:
            return "writing failed";
        case FormLayoutResult::Declined:
            return "declined; nothing was imported";
        case FormLayoutResult::NoFormsFolder:
            return "the wallet has no forms folder";
    }
    return "unknown error";
}

std::string describe(ImportTableResult r) {
    switch (r) {
        case ImportTableResult::Done:
            return "read";
        case ImportTableResult::CannotOpen:
            return "missing or empty";
        case ImportTableResult::CannotRead:
            return "a read failed";
        case ImportTableResult::NoMemory:
            return "too large";
    }
    return "unknown error";
}

class FormsCommand final : public Command {
public:
    std::string_view name() const override { return "forms"; }
    std::string_view summary() const override { return "list the built-in and custom forms"; }
    std::string_view help() const override {
        return "Lists every form a card can be made from, sorted by name: the built-in forms with their\n"
               "form number and index, and the wallet's custom forms (the cards of its forms folder) with\n"
               "their path. With --fields, lists one form's fields with their kinds instead.\n";
    }
    Syntax syntax() const override {
        return {true,
                {},
                {{"fields", "FORM", "list the fields of FORM (named as for add --form)", Check::Text},
                 {"json", "", "print JSON (keys: see the manual page)"}}};
    }
    int run(const Args& args, Context& c) override;

private:
    int listFields(Session& s, Context& c, const std::string& form, bool asJson);
};

int FormsCommand::listFields(Session& s, Context& c, const std::string& formText, bool asJson) {
    WalletFile& w = s.wallet();
    const FormChoice choice = chooseForm(w, formText);
    if (choice.error) return s.fail(choice.error, choice.message);
    const std::unique_ptr<Card> card = newCardFromForm(w, RecordId{}, choice.ref);
    if (!card) return s.fail(exit_code::kNotFound, "the form cannot be read");
    std::u16string name;
    formName(w, choice.ref, name);
    JsonWriter json;
    std::string lines;
    json.beginObject().key("form").value(toUtf8(name)).key("fields").beginArray();
    for (std::size_t i = 0; i < card->fieldCount(); ++i) {
        const Field& f = card->field(i);
        const std::string fieldName = f.isNote() ? std::string("Note") : toUtf8(f.name());
        const std::string kind = f.isNote() ? std::string("note") : kindName(f.kind());
        json.beginObject().key("name").value(fieldName).key("kind").value(kind);
        if (Field::isListKind(f.kind())) {
            json.key("items").beginArray();
            for (const std::u16string& item : f.listItems()) json.value(toUtf8(item));
            json.endArray();
        }
        json.endObject();
        if (!asJson) {
            std::string line = "#" + std::to_string(i + 1) + "  " + fieldName;
            line += std::string(line.size() < 32 ? 32 - line.size() : 1, ' ') + kind;
            if (Field::isListKind(f.kind())) {
                std::string items;
                for (const std::u16string& item : f.listItems()) items += (items.empty() ? "" : "^") + toUtf8(item);
                line += " (" + items + ")";
            }
            lines += line + "\n";
        }
    }
    json.endArray().endObject();
    c.out << (asJson ? json.text() : lines);
    return s.finish();
}

int FormsCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 1) return usageError(c, *this);
    Session s(c);
    if (const int r = s.open(args.positional[0], true)) return r;
    WalletFile& w = s.wallet();
    if (args.has("fields")) return listFields(s, c, args.get("fields"), args.has("json"));
    struct Row {
        std::u16string name;
        std::string kind;
        std::string detail;
        std::int64_t number = -1, index = -1;
        std::string path, id;
    };
    std::vector<Row> rows;
    const auto builtins = builtinForms();
    for (std::size_t i = 0; i < builtins.size(); ++i) {
        const Form& form = builtins[i];
        std::u16string name = formName(form, c.env.strings);
        // Without a language file the built-in names are placeholders: show the number instead.
        if (name == u"*" || name == u"?") name = u"Form " + fromUtf8(std::to_string(form.number));
        rows.push_back({name,
                        "built-in",
                        "number " + std::to_string(form.number) + ", index " + std::to_string(i),
                        form.number,
                        static_cast<std::int64_t>(i),
                        {},
                        {}});
    }
    const WalletIndex& index = w.index();
    const std::int64_t forms = index.formsFolder();
    const RecordId formsId = forms >= 0 ? index.at(static_cast<std::size_t>(forms)).id() : RecordId{};
    for (std::size_t i = 0; forms >= 0 && i < index.count(); ++i) {
        const IndexEntry& h = index.at(i);
        if (!h.deleted() && h.type() == RecordType::Card && h.parent() == formsId)
            rows.push_back({w.nameOf(i), "custom", pathOf(w, i), -1, -1, pathOf(w, i), idText(h.id())});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return compareNoCase(a.name, b.name) < 0; });
    if (args.has("json")) {
        JsonWriter json;
        json.beginArray();
        for (const Row& row : rows) {
            json.beginObject().key("name").value(toUtf8(row.name)).key("kind").value(row.kind);
            if (row.number >= 0) json.key("number").value(row.number).key("index").value(row.index);
            if (!row.path.empty()) json.key("path").value(row.path).key("id").value(row.id);
            json.endObject();
        }
        json.endArray();
        c.out << json.text();
        return s.finish();
    }
    for (const Row& row : rows) {
        c.out << toUtf8(row.name);
        for (std::size_t n = row.name.size(); n < 32; ++n) c.out << ' ';
        c.out << "  " << row.kind << (row.kind.size() < 8 ? "  " : "") << "  " << row.detail << "\n";
    }
    return s.finish();
}

class ExportFormCommand final : public Command {
public:
    std::string_view name() const override { return "export-form"; }
    std::string_view summary() const override { return "write a custom form to a form-layout file (.tmx)"; }
    std::string_view help() const override {
        return "Writes a custom form (a card of the forms folder) to a form-layout file that another\n"
               "wallet can import. FORM is the form's path (\"My Forms/Web Account\") or its name alone.\n"
               "The file is named after the form with today's date, NAME_DDMMYYYY.tmx; characters that\n"
               "file names cannot hold become '_'. An earlier file of that name is replaced.\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"FORM", "the custom form", true, Check::Text}},
                {{"out", "FOLDER",
                  "where to write (created when missing); default: the documents folder\n"
                  "($XDG_DOCUMENTS_DIR, else ~/Documents)"},
                 {"keep-values", "", "keep the form's field values; by default they are removed, dates too"},
                 {"description", "TEXT", "a description stored in the file (up to 127 characters)", Check::Text},
                 {"author", "TEXT", "an author stored in the file (up to 63 characters)", Check::Text}}};
    }
    int run(const Args& args, Context& c) override;
};

int ExportFormCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 2) return usageError(c, *this);
    Session s(c);
    if (const int r = s.open(args.positional[0], true)) return r;
    WalletFile& w = s.wallet();
    const Resolved form = resolveForm(w, args.positional[1]);
    if (form.error) return s.fail(form.error, form.message);
    if (form.position < 0) return usageError(c, *this);
    std::string folder = args.has("out") ? args.get("out") : documentsFolder();
    if (folder.empty()) folder = ".";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return s.fail(exit_code::kFailed, "cannot create the folder " + folder + ": " + error.message());

    const FormExportOptions options{folder, args.has("keep-values"), fromUtf8(args.get("description")),
                                    fromUtf8(args.get("author"))};
    const FormLayoutResult r = exportForm(w, static_cast<std::size_t>(form.position), options);
    if (r == FormLayoutResult::NotAForm)
        return s.fail(exit_code::kUsage, "'" + args.positional[1] + "' is " + describe(r));
    if (r != FormLayoutResult::Ok) return s.fail(exit_code::kFailed, "the form file could not be written in " + folder);
    return s.finish();
}

class ImportFormCommand final : public Command {
public:
    std::string_view name() const override { return "import-form"; }
    std::string_view summary() const override { return "add the form of a form-layout file (.tmx) to the wallet"; }
    std::string_view help() const override {
        return "Reads a form-layout file, shows its form name, description, author and date, and after\n"
               "you agree adds the form to the wallet's forms folder as a new custom form. --yes agrees\n"
               "without asking; without a terminal to ask on, nothing is imported. Exit code 8 when\n"
               "declined.\n";
    }
    Syntax syntax() const override { return {true, {{"FILE.tmx", "the form-layout file"}}, {}}; }
    int run(const Args& args, Context& c) override;
};

int ImportFormCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 2) return usageError(c, *this);
    Session s(c);
    if (const int r = s.open(args.positional[0], false)) return r;
    WalletFile& w = s.wallet();
    std::int64_t at = -1;
    const FormLayoutResult r = importForm(w, args.positional[1], terminalLocale(), &at);
    if (r == FormLayoutResult::Declined) {
        c.err << "tmpro: " << describe(r) << "\n";
        s.finish();
        return exit_code::kDeclined;
    }
    if (r != FormLayoutResult::Ok) return s.fail(exit_code::kFailed, args.positional[1] + ": " + describe(r));
    c.out << "Imported the form " << pathOf(w, static_cast<std::size_t>(at)) << "\n";
    return s.finish();
}

class ImportCommand final : public Command {
public:
    std::string_view name() const override { return "import"; }
    std::string_view summary() const override { return "import cards from a tab-separated text table"; }
    std::string_view help() const override {
        return "Imports one card per row of a tab-separated table into a new top-level folder named\n"
               "\"Imported\" and today's date. The first row is the header: its first cell is \"CardName\"\n"
               "(or \"Card Name\"), its other cells name the fields. In each further row the first cell is\n"
               "the card's name and the others the values of its fields (all plain text fields).\n"
               "The file may be UTF-16 with a byte-order mark, UTF-8 or Windows-1252; rows end in CR LF.\n"
               "A cell in double quotes, as spreadsheets write it, may hold tabs, line ends and quotes\n"
               "(written twice).\n"
               "\n"
               "Each card is shown and imported only when you agree; from the fifth of ten or more cards\n"
               "on you are offered to import all the rest at once. --yes imports every row without\n"
               "asking; without a terminal to ask on, nothing is imported. Exit codes: 1 when the table\n"
               "cannot be read or is not a card table (the wallet is not changed), 8 when no row was\n"
               "accepted.\n";
    }
    Syntax syntax() const override { return {true, {{"TABLE.txt", "the table"}}, {}}; }
    int run(const Args& args, Context& c) override;
};

int ImportCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 2) return usageError(c, *this);
    const std::string& tablePath = args.positional[1];
    // The card previews hold the imported values: not printed when nobody is asked.
    if (auto* terminal = dynamic_cast<TerminalPrompt*>(&c.env.prompt)) terminal->hideUnasked = true;
    Session s(c);
    if (const int r = s.open(args.positional[0], false)) return r;
    WalletFile& w = s.wallet();
    ImportTable table;
    const ImportTableResult read = ImportTable::read(c.env.files, tablePath, &table);
    if (read != ImportTableResult::Done)
        return s.fail(exit_code::kFailed, "cannot read " + tablePath + ": " + describe(read));
    const bool cardTable = hasImportHeader(table) && table.columns() >= 2 && cardRowCount(table) > 0;
    // The terminal answers yes or no only, so the questions offer no Cancel.
    WalletImportSink sink(w);
    const std::size_t count = importTableIntoWallet(w, table, terminalLocale(), false, sink);
    if (!cardTable) return s.fail(exit_code::kFailed, tablePath + " is not a card table; nothing was imported");
    if (count == 0) {
        c.err << "tmpro: no row was accepted; nothing was imported\n";
        s.finish();
        return exit_code::kDeclined;
    }
    if (sink.folder() >= 0) c.out << "Folder: " << pathOf(w, static_cast<std::size_t>(sink.folder())) << "\n";
    if (sink.failed() > 0) {
        s.finish();
        return s.fail(exit_code::kFailed,
                      std::to_string(sink.failed()) + " of " + std::to_string(count) + " cards could not be written");
    }
    return s.finish();
}

}  // namespace

void addFormCommands(std::vector<std::unique_ptr<Command>>& commands) {
    commands.push_back(std::make_unique<FormsCommand>());
    commands.push_back(std::make_unique<ExportFormCommand>());
    commands.push_back(std::make_unique<ImportFormCommand>());
    commands.push_back(std::make_unique<ImportCommand>());
}

}  // namespace tw::cli
