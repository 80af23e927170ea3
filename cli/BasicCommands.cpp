// The commands that work on folders and records by name: info, mkdir, rename, mv, rm, repair.
#include <cstdio>
#include <ostream>

#include "cli/CardCommands.h"
#include "cli/Commands.h"
#include "cli/FormCommands.h"
#include "cli/Session.h"
#include "cli/TreeCommands.h"
#include "cli/UpgradeCommands.h"
#include "platform/Text.h"
#include "storage/WalletInfo.h"

namespace tw::cli {

int usageError(Context& context, const Command& command) {
    context.err << command.help();
    return exit_code::kUsage;
}

std::string_view InfoCommand::help() const {
    return "Usage: tmpro info WALLET.tm5\n"
           "\n"
           "Shows what can be seen without the password: version, creation time, record counts,\n"
           "closing time, the password hint and the names of the special entries.\n";
}

int InfoCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 1) return usageError(c, *this);
    WalletInfo info;
    const OpenResult r = inspectWallet(c.env, args.positional[0], info);
    if (r != OpenResult::Ok) return reportOpenFailure(c, args.positional[0], r);
    char created[64];
    std::snprintf(created, sizeof created, "%04u-%02u-%02u %02u:%02u:%02u", info.created.year, info.created.month,
                  info.created.day, info.created.hour, info.created.minute, info.created.second);
    c.out << "Version:        " << info.version << (info.oldFormat ? " (old format: opening it upgrades it)" : "")
          << "\n"
          << "Created:        " << created << "\n"
          << "File size:      " << info.fileSize << " bytes\n"
          << "Folders:        " << info.folders << "\n"
          << "Cards:          " << info.cards << "\n"
          << "Forms:          " << info.forms << "\n"
          << "Favourites:     " << info.favourites << "\n"
          << "Closes after:   ";
    if (info.closeMinutes == 0) {
        c.out << "never\n";
    } else {
        c.out << info.closeMinutes << " minutes\n";
    }
    c.out << "Hint:           " << (info.hint.empty() ? "(none)" : toUtf8(info.hint)) << "\n";
    for (int i = 0; i < 3; ++i)
        c.out << "Special entry " << i + 1 << ": " << toUtf8(info.specialNames[i]) << " (icon " << info.specialIcons[i]
              << ")\n";
    if (!info.hasPassword) c.out << "Warning:        no password check; anyone can open this wallet\n";
    if (info.damaged) {
        c.out << "Warning:        a record is damaged (run: tmpro repair)\n";
        return exit_code::kDamaged;
    }
    return exit_code::kOk;
}

std::string_view MkdirCommand::help() const {
    return "Usage: tmpro mkdir WALLET.tm5 PATH\n"
           "\n"
           "Creates a folder. PATH names the new folder from the top level, with '/' between folder\n"
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
        const RecordHeader& p = w.index().at(static_cast<std::size_t>(parent.position));
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

std::string_view RenameCommand::help() const {
    return "Usage: tmpro rename WALLET.tm5 PATH NEW-NAME\n"
           "\n"
           "Gives a card or folder a new name (up to 255 characters).\n";
}

int RenameCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 3 || args.positional[2].empty()) return usageError(c, *this);
    Session s(c);
    if (const int r = s.open(args.positional[0], false)) return r;
    const Resolved target = resolvePath(s.wallet(), args.positional[1]);
    if (target.error) return s.fail(target.error, target.message);
    if (target.position < 0) return usageError(c, *this);
    if (!s.wallet().rename(static_cast<std::size_t>(target.position), fromUtf8(args.positional[2])))
        return s.fail(exit_code::kFailed, "the new name could not be written");
    return s.finish();
}

std::string_view MoveCommand::help() const {
    return "Usage: tmpro mv WALLET.tm5 PATH FOLDER\n"
           "\n"
           "Moves a card or folder into FOLDER ('/' for the top level). A folder cannot be moved\n"
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
    const RecordHeader& moved = w.index().at(static_cast<std::size_t>(source.position));
    if (moved.type() == RecordType::FormsFolder)
        return s.fail(exit_code::kUsage, "the forms folder stays at the top level");
    RecordId folder{};
    if (target.position >= 0) {
        const RecordHeader& t = w.index().at(static_cast<std::size_t>(target.position));
        if (t.type() == RecordType::Card) return s.fail(exit_code::kUsage, "the target is a card, not a folder");
        folder = t.id();
        // Not into itself or anything below it.
        for (std::int64_t at = target.position; at >= 0; at = w.index().parentOf(at))
            if (at == source.position) return s.fail(exit_code::kUsage, "a folder cannot be moved below itself");
    }
    if (!w.move(static_cast<std::size_t>(source.position), folder))
        return s.fail(exit_code::kFailed, "the move could not be written");
    return s.finish();
}

std::string_view RemoveCommand::help() const {
    return "Usage: tmpro rm WALLET.tm5 PATH [--recursive]\n"
           "\n"
           "Deletes a card, or a folder with --recursive (everything in it goes too). The forms\n"
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
    const RecordHeader& h = w.index().at(static_cast<std::size_t>(target.position));
    if (h.type() == RecordType::FormsFolder) return s.fail(exit_code::kUsage, "the forms folder cannot be deleted");
    // Everything below the record, deepest first.
    std::vector<std::size_t> doomed;
    std::vector<RecordId> level{h.id()};
    while (!level.empty()) {
        std::vector<RecordId> next;
        for (std::size_t i = 0; i < w.index().count(); ++i) {
            const RecordHeader& e = w.index().at(i);
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
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        if (!w.remove(*it)) return s.fail(exit_code::kFailed, "a record could not be deleted");
    if (!w.remove(static_cast<std::size_t>(target.position)))
        return s.fail(exit_code::kFailed, "the record could not be deleted");
    return s.finish();
}

std::string_view RepairCommand::help() const {
    return "Usage: tmpro [--yes] repair WALLET.tm5\n"
           "\n"
           "Scans the wallet record by record, cuts out what is not a record, ends the file after\n"
           "its last record and gives records whose folder is missing the folder \"Recovered\".\n"
           "Asks before it changes anything (--yes agrees); before its first change it copies the\n"
           "wallet as it was to WALLET.tm5.bak. Says what it changed, by record name.\n";
}

int RepairCommand::run(const Args& args, Context& c) {
    if (args.positional.size() != 1) return usageError(c, *this);
    const std::string& path = args.positional[0];
    const auto password = c.passwords.read("Password for " + path + ": ");
    if (!password) return usageError(c, *this);
    WalletFile w(c.env);
    OpenResult r = w.readAll(path, *password, false);
    // An old-format wallet is repaired like any other (its upgrade follows below).
    if (r != OpenResult::Ok && r != OpenResult::Damaged && r != OpenResult::OldFormat) {
        c.err << "tmpro: " << path << ": " << describe(r) << "\n";
        return exitCodeFor(r);
    }
    const int scan = w.repairScan(*password);
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
    return commands;
}

}  // namespace tw::cli
