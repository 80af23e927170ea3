// The commands that show the folder tree and write cards out: tree, ls, export, card-text.
#include "cli/TreeCommands.h"

#include <cstdio>
#include <filesystem>
#include <ostream>

#include "cli/Commands.h"
#include "cli/Locale.h"
#include "cli/Session.h"
#include "model/BodyCodec.h"
#include "model/Card.h"
#include "model/Export.h"
#include "model/FolderTree.h"
#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw::cli {
namespace {

// Dates and times in exports and card texts, in the user's patterns as `show` writes them.
LocalePatterns toolLocale() {
    return userLocalePatterns();
}

// A name as a path segment: "/" written as "\/", as resolvePath reads it.
std::string segment(std::u16string_view name) {
    std::string out;
    for (char c : toUtf8(name)) {
        if (c == '/') out += '\\';
        out.push_back(c);
    }
    return out;
}

// Says on the error stream how many records hang from the recovered entry, when it is there.
void noteRecovered(Context& c, const FolderTree& tree) {
    const auto recovered = tree.find(WalletIndex::kRecoveredNode);
    if (!recovered) return;
    std::size_t records = 0;
    tree.walk(*recovered, [&](std::size_t) { ++records; });
    c.err << "tmpro: note: " << records - 1
          << " record(s) whose folder is missing are shown under [Recovered]; 'tmpro repair' gives them a folder\n";
}

std::string entryText(const TreeNode& node) {
    if (node.isSpecial()) return "[" + toUtf8(node.label) + "]";
    return node.isFolder() ? segment(node.label) + "/" : segment(node.label);
}

// Resolves PATH to a record that must be of the wanted kind (a card, or a folder when
// `wantFolder`); prints why not and gives the exit code otherwise.
int resolveRecord(Session& s, const std::string& path, bool wantFolder, std::int64_t* position) {
    const Resolved r = resolvePath(s.wallet(), path);
    if (r.error) return s.fail(r.error, r.message);
    if (r.position < 0) return s.fail(exit_code::kUsage, wantFolder ? "name a folder" : "name a card");
    const bool isCard = s.wallet().index().at(static_cast<std::size_t>(r.position)).type() == RecordType::Card;
    if (isCard == wantFolder)
        return s.fail(exit_code::kUsage, "'" + path + "' is " + (isCard ? "a card, not a folder" : "not a card"));
    *position = r.position;
    return exit_code::kOk;
}

class TreeCommand final : public Command {
public:
    std::string_view name() const override { return "tree"; }
    std::string_view summary() const override { return "show the folder tree with the special entries"; }
    std::string_view help() const override {
        return "Usage: tmpro tree WALLET.tm5 [--ids]\n"
               "\n"
               "Shows the wallet's folder tree as the program shows it, two spaces of indent per level:\n"
               "the find results (when the last find found something) and the favourites first, in\n"
               "brackets, with their cards; then at every level cards before folders, each sorted by\n"
               "name without regard to case; the forms folder last. Folders end in '/'. Records whose\n"
               "parent folder is missing are shown last, under [Recovered] ('tmpro repair' gives them a\n"
               "folder again).\n"
               "  --ids   start each line with the record's index position (special entries: their\n"
               "          virtual position in hexadecimal) and its type code (1 card, 2 folder,\n"
               "          3 forms folder, 100 favourites, 200 find results, 400 recovered)\n";
    }
    int run(const Args& args, Context& c) override {
        if (args.positional.size() != 1) return usageError(c, *this);
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        const FolderTree tree = FolderTree::build(s.wallet());
        const bool ids = args.has("ids");
        tree.walk(TreeNode::kNone, [&](std::size_t id) {
            const TreeNode& node = tree.node(id);
            if (ids) {
                char prefix[40];
                if (node.isSpecial()) {
                    std::snprintf(prefix, sizeof prefix, "0x%08llx %3d  ",
                                  static_cast<unsigned long long>(node.position), node.type);
                } else {
                    std::snprintf(prefix, sizeof prefix, "%10lld %3d  ", static_cast<long long>(node.position),
                                  node.type);
                }
                c.out << prefix;
            }
            c.out << std::string(2 * node.depth, ' ') << entryText(node) << "\n";
        });
        noteRecovered(c, tree);
        return s.finish();
    }
};

class ListCommand final : public Command {
public:
    std::string_view name() const override { return "ls"; }
    std::string_view summary() const override { return "list one folder's cards and folders"; }
    std::string_view help() const override {
        return "Usage: tmpro ls WALLET.tm5 [PATH]\n"
               "\n"
               "Lists what a folder holds (the top level without PATH), one name a line, sorted as in\n"
               "the tree: cards first, then folders, each by name; the forms folder last. Folder names\n"
               "end in '/'; a '/' inside a name is written '\\/', so every line can be appended to PATH.\n"
               "The favourites and find results are shown by 'tmpro tree' only; records whose folder\n"
               "is missing are listed last at the top level as [Recovered] (see 'tmpro tree').\n";
    }
    int run(const Args& args, Context& c) override {
        if (args.positional.empty() || args.positional.size() > 2) return usageError(c, *this);
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        const FolderTree tree = FolderTree::build(s.wallet());
        const std::vector<std::size_t>* children = &tree.top();
        if (args.positional.size() == 2) {
            const Resolved r = resolvePath(s.wallet(), args.positional[1]);
            if (r.error) return s.fail(r.error, r.message);
            if (r.position >= 0) {
                const auto id = tree.find(r.position);
                if (!id) return s.fail(exit_code::kNotFound, "'" + args.positional[1] + "' is not in the tree");
                if (tree.node(*id).type == tree_type::kCard)
                    return s.fail(exit_code::kUsage, "'" + args.positional[1] + "' is a card, not a folder");
                children = &tree.node(*id).children;
            }
        }
        for (std::size_t id : *children) {
            const TreeNode& node = tree.node(id);
            if (!node.isSpecial() || node.type == tree_type::kRecovered) c.out << entryText(node) << "\n";
        }
        if (children == &tree.top()) noteRecovered(c, tree);
        return s.finish();
    }
};

class ExportCommand final : public Command {
public:
    std::string_view name() const override { return "export"; }
    std::string_view summary() const override { return "write the wallet, a folder or a card to a text file"; }
    std::string_view help() const override {
        return "Usage: tmpro export WALLET.tm5 --out FOLDER [--folder PATH | --card PATH]\n"
               "                    [--attachments] [--passwords]\n"
               "\n"
               "Writes cards to a UTF-16 text file (CR LF line ends) in the folder FOLDER/<wallet name>,\n"
               "which is made when missing (FOLDER itself must exist). The file is named after the\n"
               "wallet, the folder or the card, with today's date: NAME_DDMMYYYY.txt; an export of the\n"
               "same name on the same day replaces it. Prints the file's path.\n"
               "  --out FOLDER     where the export folder is made (created when missing)\n"
               "  --folder PATH    only this folder and everything below it\n"
               "  --card PATH      only this card\n"
               "  --attachments    also write each card's attached files next to the text file, named\n"
               "                   NNN_<attachment name> (numbered from 001; from 000 for one card)\n"
               "  --passwords      write password fields in clear (else they show as ********)\n"
               "\n"
               "Exit code 1 when the file cannot be written, or when a card or an attached file could\n"
               "not be read or written and was left out (the file is kept and the count printed).\n";
    }
    std::vector<std::string> valueOptions() const override { return {"out", "folder", "card"}; }
    int run(const Args& args, Context& c) override {
        if (args.positional.size() != 1 || args.get("out").empty() || (args.has("folder") && args.has("card")))
            return usageError(c, *this);
        // The tool works on the wallet's full path already, which the title block shows.
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        std::error_code error;
        std::filesystem::create_directories(args.get("out"), error);
        if (error)
            return s.fail(exit_code::kFailed, "the folder " + args.get("out") + " cannot be made: " + error.message());
        WalletFile& w = s.wallet();
        const ExportOptions options{args.get("out"), args.has("attachments"), args.has("passwords")};
        const LocalePatterns locale = toolLocale();
        ExportReport report;
        if (args.has("card")) {
            std::int64_t position = -1;
            if (const int r = resolveRecord(s, args.get("card"), false, &position)) return r;
            report = exportCard(w, w.index().at(static_cast<std::size_t>(position)).id(), options, locale);
        } else {
            const FolderTree tree = FolderTree::build(w);
            if (args.has("folder")) {
                std::int64_t position = -1;
                if (const int r = resolveRecord(s, args.get("folder"), true, &position)) return r;
                const auto node = tree.find(position);
                if (!node) return s.fail(exit_code::kNotFound, "'" + args.get("folder") + "' is not in the tree");
                report = exportFolder(w, tree, *node, options, locale);
            } else {
                report = exportWallet(w, tree, options, locale);
            }
        }
        if (report.result != ExportResult::Ok) {
            const std::string where = report.path.empty() ? "in " + options.targetFolder : report.path;
            return s.fail(exit_code::kFailed, "the export file could not be written " + where);
        }
        c.out << report.path << "\n";
        if (options.passwords) c.err << "tmpro: warning: the file holds the passwords in clear\n";
        int code = s.finish();
        if (report.recoveredCards > 0) {
            c.err << "tmpro: warning: " << report.recoveredCards
                  << " card(s) whose folder is missing were written under 'Recovered' (run: tmpro repair)\n";
        }
        if (report.cardsDamaged > 0) {
            code = s.fail(exit_code::kFailed, std::to_string(report.cardsDamaged) +
                                                  " card(s) are damaged: what could be read of them was written");
        }
        if (report.cardsLeftOut > 0) {
            code = s.fail(exit_code::kFailed,
                          std::to_string(report.cardsLeftOut) + " card(s) could not be read and were left out");
        }
        if (report.attachmentsLeftOut > 0) {
            code = s.fail(exit_code::kFailed, std::to_string(report.attachmentsLeftOut) +
                                                  " attached file(s) could not be written and were left out");
        }
        return code;
    }
};

class CardTextCommand final : public Command {
public:
    std::string_view name() const override { return "card-text"; }
    std::string_view summary() const override { return "print a card as the Copy command copies it"; }
    std::string_view help() const override {
        return "Usage: tmpro card-text WALLET.tm5 PATH\n"
               "\n"
               "Prints the card at PATH as the program's Copy command puts it on the clipboard: the\n"
               "card's name, then 'field: value' for every field with a value, each followed by two\n"
               "CR LF line breaks. Passwords are printed in clear. Exit code 1 when no field has a\n"
               "value (Copy copies nothing then).\n";
    }
    int run(const Args& args, Context& c) override {
        if (args.positional.size() != 2) return usageError(c, *this);
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        WalletFile& w = s.wallet();
        std::int64_t position = -1;
        if (const int r = resolveRecord(s, args.positional[1], false, &position)) return r;
        const std::unique_ptr<Card> card = w.loadCard(w.index().at(static_cast<std::size_t>(position)).id());
        if (!card) return s.fail(exit_code::kFailed, "the card could not be read");
        std::u16string text = cardClipboardText(*card, w.recordKey(), toolLocale(), c.env.strings);
        if (text.empty()) return s.fail(exit_code::kFailed, "nothing to copy: no field of the card has a value");
        c.err << "tmpro: warning: passwords are shown in clear\n";
        std::string utf8 = toUtf8(text);
        c.out << utf8;
        c.out.flush();
        body::wipeText(text);
        wipe(utf8.data(), utf8.size());
        return s.finish();
    }
};

}  // namespace

void addTreeCommands(std::vector<std::unique_ptr<Command>>& commands) {
    commands.push_back(std::make_unique<TreeCommand>());
    commands.push_back(std::make_unique<ListCommand>());
    commands.push_back(std::make_unique<ExportCommand>());
    commands.push_back(std::make_unique<CardTextCommand>());
}

}  // namespace tw::cli
