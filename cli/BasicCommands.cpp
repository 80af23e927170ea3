// The commands that work on folders and records by name: info, mkdir, rename, mv, rm, repair.
#include <cstdio>
#include <ostream>

#include "cli/CardCommands.h"
#include "cli/Commands.h"
#include "cli/FormCommands.h"
#include "cli/GetCommands.h"
#include "cli/Json.h"
#include "cli/Session.h"
#include "cli/Terminal.h"
#include "cli/TreeCommands.h"
#include "cli/UpgradeCommands.h"
#include "platform/Text.h"
#include "storage/WalletInfo.h"

namespace tw::cli {

int usageError(Context& context, const Command& command) {
    context.err << helpText(command);
    return exit_code::kUsage;
}

Syntax InfoCommand::syntax() const {
    return {false,
            {{"WALLET", "the wallet file (.tm5)"}},
            {{"json", "", "print one JSON object (keys: see the manual page)"}}};
}

std::string_view InfoCommand::help() const {
    return "Shows what can be seen without the password: version, creation time, record counts,\n"
           "closing time, the password hint and the names of the special entries.\n";
}

int InfoCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 1) return usageError(c, *this);
    if (const int r = checkWalletFile(c, args.positional[0], false)) return r;
    WalletInfo info;
    const OpenResult r = inspectWallet(c.env, args.positional[0], info);
    if (r != OpenResult::Ok) return reportOpenFailure(c, args.positional[0], r);
    char created[64];
    std::snprintf(created, sizeof created, "%04u-%02u-%02u %02u:%02u:%02u", info.created.year, info.created.month,
                  info.created.day, info.created.hour, info.created.minute, info.created.second);
    if (args.has("json")) {
        std::string version = info.version;
        while (!version.empty() && (version.back() == ' ' || version.back() == ')')) version.pop_back();
        if (!version.empty() && version.front() == '(') version.erase(0, 1);
        JsonWriter json;
        json.beginObject();
        json.key("version").value(version).key("oldFormat").value(info.oldFormat);
        json.key("created").value(std::string(created)).key("fileSize").value(static_cast<std::int64_t>(info.fileSize));
        json.key("folders").value(static_cast<std::int64_t>(info.folders));
        json.key("cards").value(static_cast<std::int64_t>(info.cards));
        json.key("forms").value(static_cast<std::int64_t>(info.forms));
        json.key("favourites").value(static_cast<std::int64_t>(info.favourites));
        json.key("closeMinutes").value(static_cast<std::int64_t>(info.closeMinutes));
        json.key("hint");
        if (info.hint.empty())
            json.null();
        else
            json.value(toUtf8(info.hint));
        json.key("specialEntries").beginArray();
        for (int i = 0; i < 3; ++i)
            json.beginObject()
                .key("name")
                .value(toUtf8(info.specialNames[i]))
                .key("icon")
                .value(static_cast<std::int64_t>(info.specialIcons[i]))
                .endObject();
        json.endArray();
        json.key("passwordCheck").value(info.hasPassword).key("damaged").value(info.damaged);
        json.endObject();
        c.out << json.text();
        return info.damaged ? exit_code::kDamaged : exit_code::kOk;
    }
    // Every label in one column; no line ends in spaces.
    auto line = [&c](const std::string& label, const std::string& value) {
        c.out << label << ":" << std::string(18 - label.size() - 1, ' ') << value << "\n";
    };
    std::string version = info.version;
    while (!version.empty() && version.back() == ' ') version.pop_back();
    line("Version", version + (info.oldFormat ? " (old format: opening it upgrades it)" : ""));
    line("Created", created);
    line("File size", std::to_string(info.fileSize) + " bytes");
    line("Folders", std::to_string(info.folders));
    line("Cards", std::to_string(info.cards));
    line("Forms", std::to_string(info.forms));
    line("Favourites", std::to_string(info.favourites));
    line("Closes after", info.closeMinutes == 0 ? "never" : std::to_string(info.closeMinutes) + " minutes");
    line("Hint", info.hint.empty() ? "(none)" : printableName(info.hint));
    for (int i = 0; i < 3; ++i)
        line("Special entry " + std::to_string(i + 1),
             printableName(info.specialNames[i]) + " (icon " + std::to_string(info.specialIcons[i]) + ")");
    if (!info.hasPassword) line("Warning", "no password check; anyone can open this wallet");
    if (info.damaged) {
        line("Warning", "a record is damaged (run: tmpro repair)");
        return exit_code::kDamaged;
    }
    return exit_code::kOk;
}

Syntax MkdirCommand::syntax() const {
    return {true, {{"PATH", "the new folder's path", true, Check::Name}}, {}};
}

std::string_view MkdirCommand::help() const {
    return "Creates a folder. PATH names the new folder from the top level, with '/' between folder\n"
           "names (write '\\/' for a slash inside a name); the folders above it must exist.\n";
}

int MkdirCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 2) return usageError(c, *this);
    std::string path = args.positional[1];
    while (!path.empty() && path.back() == '/') path.pop_back();
    std::size_t cut = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (path[i] == '/' && (i == 0 || path[i - 1] != '\\')) cut = i;
    const std::string parentPath = cut == std::string::npos ? "" : path.substr(0, cut);
    std::string leaf = cut == std::string::npos ? path : path.substr(cut + 1);
    std::string name;
    for (std::size_t i = 0; i < leaf.size(); ++i) {
        if (leaf[i] == '\\' && i + 1 < leaf.size() && leaf[i + 1] == '/') continue;
        name.push_back(leaf[i]);
    }
    if (name.empty()) return usageError(c, *this);

    Session s(c);
    if (const int r = s.open(args.positional[0], false)) return r;
    WalletFile& w = s.wallet();
    const Resolved parent = resolvePath(w, parentPath);
    if (parent.error) return s.fail(parent.error, parent.message);
    RecordId parentId{};
    if (parent.position >= 0) {
        const IndexEntry& p = w.index().at(static_cast<std::size_t>(parent.position));
        if (p.type() == RecordType::Card)
            return s.fail(exit_code::kUsage, "'" + parentPath + "' is a card, not a folder");
        parentId = p.id();
    }
    if (resolvePath(w, path).error != exit_code::kNotFound)
        return s.fail(exit_code::kFailed, "'" + path + "' exists already");
    RecordHeader folder = w.newFolder(parentId, false);
    folder.putName(fromUtf8(name), w.recordKey());
    folder.setIconIndex(kNewFolderIcon);
    if (w.appendFolder(folder) < 0) return s.fail(exit_code::kFailed, "the folder could not be written");
    c.out << "Created folder " << path << "\n";
    return s.finish();
}

Syntax RenameCommand::syntax() const {
    return {
        true, {{"PATH", "the card or folder", true, Check::Text}, {"NEW-NAME", "its new name", true, Check::Name}}, {}};
}

std::string_view RenameCommand::help() const {
    return "Gives a card or folder a new name (up to 255 characters).\n";
}

int RenameCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 3 || args.positional[2].empty()) return usageError(c, *this);
    Session s(c);
    if (const int r = s.open(args.positional[0], false)) return r;
    const Resolved target = resolvePath(s.wallet(), args.positional[1]);
    if (target.error) return s.fail(target.error, target.message);
    if (target.position < 0) return usageError(c, *this);
    const std::size_t at = static_cast<std::size_t>(target.position);
    const std::string old = pathOf(s.wallet(), at);
    if (!s.wallet().rename(at, fromUtf8(args.positional[2])))
        return s.fail(exit_code::kFailed, "the new name could not be written");
    c.out << "Renamed " << old << " to " << pathOf(s.wallet(), at) << "\n";
    return s.finish();
}

Syntax MoveCommand::syntax() const {
    return {true,
            {{"PATH", "the card or folder to move", true, Check::Text},
             {"FOLDER", "where it goes ('/' for the top level)", true, Check::Text}},
            {}};
}

std::string_view MoveCommand::help() const {
    return "Moves a card or folder into FOLDER ('/' for the top level). A folder cannot be moved\n"
           "into itself or below itself; forms stay in the forms folder.\n";
}

int MoveCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 3) return usageError(c, *this);
    Session s(c);
    if (const int r = s.open(args.positional[0], false)) return r;
    WalletFile& w = s.wallet();
    const Resolved source = resolvePath(w, args.positional[1]);
    if (source.error) return s.fail(source.error, source.message);
    const Resolved target = resolvePath(w, args.positional[2]);
    if (target.error) return s.fail(target.error, target.message);
    if (source.position < 0) return usageError(c, *this);
    const IndexEntry& moved = w.index().at(static_cast<std::size_t>(source.position));
    if (moved.type() == RecordType::FormsFolder)
        return s.fail(exit_code::kUsage, "the forms folder stays at the top level");
    RecordId folder{};
    if (target.position >= 0) {
        const IndexEntry& t = w.index().at(static_cast<std::size_t>(target.position));
        if (t.type() == RecordType::Card) return s.fail(exit_code::kUsage, "the target is a card, not a folder");
        folder = t.id();
        // Not into itself or anything below it.
        for (std::int64_t at = target.position; at >= 0; at = w.index().parentOf(at))
            if (at == source.position) return s.fail(exit_code::kUsage, "a folder cannot be moved below itself");
    }
    const std::string old = pathOf(w, static_cast<std::size_t>(source.position));
    if (!w.move(static_cast<std::size_t>(source.position), folder))
        return s.fail(exit_code::kFailed, "the move could not be written");
    c.out << "Moved " << old << " to " << pathOf(w, static_cast<std::size_t>(source.position)) << "\n";
    return s.finish();
}

Syntax RemoveCommand::syntax() const {
    return {true,
            {{"PATH", "the card or folder", true, Check::Text}},
            {{"recursive", "", "delete a folder with everything in it"}}};
}

std::string_view RemoveCommand::help() const {
    return "Deletes a card, or a folder with --recursive (everything in it goes too). The forms\n"
           "folder cannot be deleted.\n";
}

int RemoveCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 2) return usageError(c, *this);
    Session s(c);
    if (const int r = s.open(args.positional[0], false)) return r;
    WalletFile& w = s.wallet();
    const Resolved target = resolvePath(w, args.positional[1]);
    if (target.error) return s.fail(target.error, target.message);
    if (target.position < 0) return usageError(c, *this);
    const IndexEntry& h = w.index().at(static_cast<std::size_t>(target.position));
    if (h.type() == RecordType::FormsFolder) return s.fail(exit_code::kUsage, "the forms folder cannot be deleted");
    // Everything below the record, deepest first.
    std::vector<std::size_t> doomed;
    std::vector<RecordId> level{h.id()};
    while (!level.empty()) {
        std::vector<RecordId> next;
        for (std::size_t i = 0; i < w.index().count(); ++i) {
            const IndexEntry& e = w.index().at(i);
            if (e.deleted()) continue;
            for (const RecordId& p : level)
                if (e.parent() == p) {
                    doomed.push_back(i);
                    next.push_back(e.id());
                }
        }
        level = std::move(next);
    }
    if (!doomed.empty() && !args.has("recursive"))
        return s.fail(exit_code::kUsage, "'" + args.positional[1] + "' is not empty (use --recursive)");
    const std::string old = pathOf(w, static_cast<std::size_t>(target.position));
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        if (!w.remove(*it)) return s.fail(exit_code::kFailed, "a record could not be deleted");
    if (!w.remove(static_cast<std::size_t>(target.position)))
        return s.fail(exit_code::kFailed, "the record could not be deleted");
    c.out << "Deleted " << old;
    if (!doomed.empty()) c.out << " and the " << doomed.size() << " record(s) in it";
    c.out << "\n";
    return s.finish();
}

Syntax RepairCommand::syntax() const {
    return {true, {}, {}};
}

std::string_view RepairCommand::help() const {
    return "Scans the wallet record by record, cuts out what is not a record, ends the file after\n"
           "its last record and gives records whose folder is missing the folder \"Recovered\".\n"
           "Asks before it changes anything (--yes agrees); before its first change it copies the\n"
           "wallet as it was to WALLET.tm5.bak. Says what it changed, by record name.\n";
}

int RepairCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 1) return usageError(c, *this);
    const std::string& path = args.positional[0];
    // A wallet whose fixed blocks are damaged does not look like one: the repair looks further.
    if (const int r = checkWalletFile(c, path, true, false)) return r;
    Secret secret;
    if (const int r = c.passwords.read("Password for " + path + ": ", secret.text)) return r;
    const std::u16string* password = &secret.text;
    WalletFile w(c.env);
    OpenResult r = w.readAll(path, *password, false);
    // An old-format wallet is repaired like any other (its upgrade follows below); one whose
    // fixed blocks are damaged is mended when the password check verifies.
    const bool blocks = r == OpenResult::NotAWallet || r == OpenResult::BadVersion || r == OpenResult::BadKeyBlock ||
                        r == OpenResult::BadSettingsBlock;
    if (r != OpenResult::Ok && r != OpenResult::Damaged && r != OpenResult::OldFormat && !blocks) {
        c.err << "tmpro: " << path << ": " << describe(r) << "\n";
        return exitCodeFor(r);
    }
    const int scan = blocks ? w.repairScan(path, *password) : w.repairScan(*password);
    if (scan == 7) return exit_code::kDeclined;
    if (scan != 0) {
        c.err << "tmpro: " << path << ": " << describe(static_cast<OpenResult>(scan)) << "\n";
        return exitCodeFor(static_cast<OpenResult>(scan));
    }
    TerminalProgress progress(c.err);
    const UpgradeOutcome outcome = openOrUpgrade(w, path, *password, true, &progress);
    w.close();
    r = outcome.open;
    if (outcome.pass && *outcome.pass != ReencryptResult::Done) {
        c.err << "tmpro: " << path
              << ": repaired, but the upgrade to the current format failed: " << describe(*outcome.pass) << "\n";
        return exit_code::kFailed;
    }
    if (r != OpenResult::Ok) {
        c.err << "tmpro: " << path << ": still damaged after the repair: " << describe(r) << "\n";
        return exit_code::kDamaged;
    }
    return exit_code::kOk;
}

std::vector<std::unique_ptr<Command>> allCommands() {
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<CreateCommand>());
    commands.push_back(std::make_unique<InfoCommand>());
    commands.push_back(std::make_unique<MkdirCommand>());
    commands.push_back(std::make_unique<RenameCommand>());
    commands.push_back(std::make_unique<MoveCommand>());
    commands.push_back(std::make_unique<RemoveCommand>());
    commands.push_back(std::make_unique<RepairCommand>());
    addTreeCommands(commands);
    addCardCommands(commands);
    addFormCommands(commands);
    addUpgradeCommands(commands);
    addGetCommands(commands);
    return commands;
}

}  // namespace tw::cli
