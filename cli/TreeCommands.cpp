// The commands that show the folder tree and write cards out: tree, ls, export, card-text.
#include "cli/TreeCommands.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <span>
#include <string_view>
#include <vector>

#include "cli/CardData.h"
#include "cli/CardDataWriter.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Locale.h"
#include "cli/Session.h"
#include "model/BodyCodec.h"
#include "model/Card.h"
#include "model/CardsInFileOrder.h"
#include "model/Export.h"
#include "model/FolderTree.h"
#include "platform/PieceArena.h"
#include "platform/Text.h"
#include "storage/Bytes.h"

namespace tw::cli {
namespace {

// Dates and times in exports and card texts, in the user's patterns as `show` writes them.
LocalePatterns toolLocale() {
    return userLocalePatterns();
}

// A folder of its own under the system's temporary folder (mode 0700), removed with what it holds.
class TempFolder {
public:
    ~TempFolder() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    bool make() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tmpro-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return false;
        m_path = pattern;
        return true;
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// Copies the file at `path` to `out` through one buffer, wiped when done. False when the file
// cannot be read.
bool copyFileTo(const std::string& path, std::ostream& out) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::vector<char> buffer(1 << 20);
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        out.write(buffer.data(), n);
    }
    ::close(fd);
    wipe(buffer.data(), buffer.size());
    return ok;
}

// Creates `path` readable by its owner only (or replaces it) and writes `text`, piece after
// piece, straight from where the pieces lie; then syncs it. A file that cannot be written whole
// is removed again.
bool writePrivateFile(const std::string& path, std::span<const std::string_view> text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    constexpr std::size_t kPieces = 1024;  // at most IOV_MAX pieces per call
    std::vector<iovec> pieces;
    pieces.reserve(kPieces);
    bool ok = true;
    auto flush = [&] {
        std::size_t first = 0;
        while (ok && first < pieces.size()) {
            const ssize_t n = ::writev(fd, pieces.data() + first, static_cast<int>(pieces.size() - first));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok = false;
                break;
            }
            // Past the pieces written whole; a piece written in part goes on from where it stopped.
            auto done = static_cast<std::size_t>(n);
            while (first < pieces.size() && done >= pieces[first].iov_len) done -= pieces[first++].iov_len;
            if (done > 0) {
                pieces[first].iov_base = static_cast<char*>(pieces[first].iov_base) + done;
                pieces[first].iov_len -= done;
            }
        }
        pieces.clear();
    };
    for (std::string_view piece : text) {
        if (piece.empty()) continue;
        pieces.push_back(iovec{const_cast<char*>(piece.data()), piece.size()});
        if (pieces.size() == kPieces) flush();
    }
    flush();
    ok = ok && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok) ::unlink(path.c_str());
    return ok;
}

std::string typeName(int type) {
    switch (type) {
        case tree_type::kCard:
            return "card";
        case tree_type::kFolder:
            return "folder";
        case tree_type::kFormsFolder:
            return "forms";
        case tree_type::kFavourites:
            return "favourites";
        case tree_type::kSearchResults:
            return "found";
        case tree_type::kRecovered:
            return "recovered";
    }
    return std::to_string(type);
}

// One tree entry as a JSON object: id (null for special entries), type, name, path; with
// `children`, those of a folder or special entry too.
void writeNode(JsonWriter& json, WalletFile& w, const FolderTree& tree, std::size_t id, bool children) {
    const TreeNode& node = tree.node(id);
    json.beginObject().key("id");
    if (node.isSpecial())
        json.null();
    else
        json.value(idText(w.index().at(static_cast<std::size_t>(node.position)).id()));
    json.key("type").value(typeName(node.type)).key("name").value(toUtf8(node.label));
    if (!node.isSpecial()) json.key("path").value(pathOf(w, static_cast<std::size_t>(node.position)));
    if (children && node.type != tree_type::kCard) {
        json.key("children").beginArray();
        for (std::size_t child : node.children) writeNode(json, w, tree, child, true);
        json.endArray();
    }
    json.endObject();
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

// The lines of a listing, gathered in one buffer and written out about 64 KiB at a time.
class Lines {
public:
    explicit Lines(std::ostream& out) : m_out(out), m_buffer(kWriteAt) {}
    ~Lines() { flush(); }
    Lines(const Lines&) = delete;
    Lines& operator=(const Lines&) = delete;

    // Room for `size` more bytes; commit() says how many of them were written.
    char* room(std::size_t size) {
        if (m_used + size > m_buffer.size()) {
            flush();
            if (size > m_buffer.size()) m_buffer.resize(size);
        }
        return m_buffer.data() + m_used;
    }
    void commit(char* end) { m_used = static_cast<std::size_t>(end - m_buffer.data()); }
    void flush() {
        m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_used));
        m_used = 0;
    }

private:
    static constexpr std::size_t kWriteAt = 64 * 1024;
    std::ostream& m_out;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
};

// An upper bound of the bytes that appendEntry writes for a label: a code unit becomes at most
// four ("\x1f"; a character outside the basic plane is two units and four bytes of UTF-8).
std::size_t entrySizeBound(std::u16string_view label) {
    return 4 * label.size() + 2;
}

// appendEntry for special entries and names that need escapes.
char* appendOddEntry(char* at, const TreeNode& node) {
    std::string text;
    if (node.isSpecial()) {
        text = '[' + toUtf8(node.label) + ']';
    } else {
        appendPrintable(text, node.label, true);
        if (node.isFolder()) text += '/';
    }
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

// Writes an entry's line text at `at` (room for entrySizeBound bytes): a special entry in
// brackets, a folder ending in "/". Returns the end.
inline char* appendEntry(char* at, const TreeNode& node) {
    if (node.isSpecial()) return appendOddEntry(at, node);
    // Most names are printable ASCII with no "/": copied over as they are.
    const std::u16string_view label = node.label;
    for (std::size_t i = 0; i < label.size(); ++i) {
        const char16_t c = label[i];
        if (c < 0x20 || c >= 0x7F || c == u'/') return appendOddEntry(at, node);
        at[i] = static_cast<char>(c);
    }
    at += label.size();
    if (node.isFolder()) *at++ = '/';
    return at;
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
        return "Shows the wallet's folder tree as the program shows it, two spaces of indent per level:\n"
               "the find results (when the last find found something) and the favourites first, in\n"
               "brackets, with their cards; then at every level cards before folders, each sorted by\n"
               "name without regard to case; the forms folder last. Folders end in '/'. Records whose\n"
               "parent folder is missing are shown last, under [Recovered] ('tmpro repair' gives them a\n"
               "folder again).\n";
    }
    Syntax syntax() const override {
        return {true,
                {},
                {{"ids", "",
                  "start each line with the record's identifier (32 hexadecimal digits; '-' for the\n"
                  "special entries) and its type code (1 card, 2 folder, 3 forms folder,\n"
                  "100 favourites, 200 find results, 400 recovered); '#' and the identifier name the\n"
                  "record wherever a path is asked for"},
                 {"json", "", "print the tree as JSON (keys: see the manual page)"}}};
    }
    int run(const Args& args, Context& c) override {
        if (args.positional.size() != 1) return usageError(c, *this);
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        const FolderTree tree = FolderTree::build(s.wallet());
        if (args.has("json")) {
            if (args.has("ids")) return s.fail(exit_code::kUsage, "--json lists the identifiers already; drop --ids");
            JsonWriter json;
            json.beginArray();
            for (std::size_t id : tree.top()) writeNode(json, s.wallet(), tree, id, true);
            json.endArray();
            c.out << json.text();
            noteRecovered(c, tree);
            return s.finish();
        }
        const bool ids = args.has("ids");
        {
            Lines lines(c.out);
            tree.walk(TreeNode::kNone, [&](std::size_t id) {
                const TreeNode& node = tree.node(id);
                constexpr std::size_t kIdColumns = 32 + 1 + 5;  // the identifier, a space, the type code
                constexpr std::size_t kShallow = 16;            // indents up to this wide are written as one block
                char* at = lines.room((ids ? kIdColumns : 0) + std::max(2 * node.depth, kShallow) +
                                      entrySizeBound(node.label) + 1);
                if (ids) {
                    const std::string id =
                        node.isSpecial() ? std::string(32, '-')
                                         : idText(s.wallet().index().at(static_cast<std::size_t>(node.position)).id());
                    std::memcpy(at, id.data(), 32);
                    at[32] = ' ';
                    char type[8];
                    std::snprintf(type, sizeof type, "%3d  ", node.type);
                    std::memcpy(at + 33, type, 5);
                    at += kIdColumns;
                }
                if (2 * node.depth <= kShallow) {
                    static constexpr char kSpaces[kShallow + 1] = "                ";
                    std::memcpy(at, kSpaces, kShallow);
                    at += 2 * node.depth;
                } else {
                    at = std::fill_n(at, 2 * node.depth, ' ');
                }
                at = appendEntry(at, node);
                *at++ = '\n';
                lines.commit(at);
            });
        }
        noteRecovered(c, tree);
        return s.finish();
    }
};

class ListCommand final : public Command {
public:
    std::string_view name() const override { return "ls"; }
    std::string_view summary() const override { return "list one folder's cards and folders"; }
    std::string_view help() const override {
        return "Lists what a folder holds (the top level without PATH), one name a line, sorted as in\n"
               "the tree: cards first, then folders, each by name; the forms folder last. Folder names\n"
               "end in '/'; a '/' inside a name is written '\\/', so every line can be appended to PATH.\n"
               "The favourites and find results are shown by 'tmpro tree' only; records whose folder\n"
               "is missing are listed last at the top level as [Recovered] (see 'tmpro tree').\n";
    }
    Syntax syntax() const override {
        return {true,
                {{"PATH", "the folder (a path, or #ID); the top level without it", false, Check::Text}},
                {{"json", "", "print a JSON array of entries (keys: see the manual page)"}}};
    }
    int run(const Args& args, Context& c) override {
        if (args.positional.empty() || args.positional.size() > 2) return usageError(c, *this);
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        Resolved folder;  // the top level without PATH
        if (args.positional.size() == 2) {
            folder = resolvePath(s.wallet(), args.positional[1]);
            if (folder.error) return s.fail(folder.error, folder.message);
        }
        // Only the level listed is sorted.
        const FolderTree tree = FolderTree::buildLevel(s.wallet(), folder.position);
        std::span<const std::size_t> children = tree.top();
        bool atTop = true;
        if (folder.position >= 0) {
            const auto id = tree.find(folder.position);
            if (!id) return s.fail(exit_code::kNotFound, "'" + args.positional[1] + "' is not in the tree");
            if (tree.node(*id).type == tree_type::kCard)
                return s.fail(exit_code::kUsage, "'" + args.positional[1] + "' is a card, not a folder");
            children = tree.node(*id).children;
            atTop = false;
        }
        if (args.has("json")) {
            JsonWriter json;
            json.beginArray();
            for (std::size_t id : children) {
                const TreeNode& node = tree.node(id);
                if (!node.isSpecial() || node.type == tree_type::kRecovered)
                    writeNode(json, s.wallet(), tree, id, false);
            }
            json.endArray();
            c.out << json.text();
            if (atTop) noteRecovered(c, tree);
            return s.finish();
        }
        {
            Lines lines(c.out);
            for (std::size_t id : children) {
                const TreeNode& node = tree.node(id);
                if (node.isSpecial() && node.type != tree_type::kRecovered) continue;
                char* at = appendEntry(lines.room(entrySizeBound(node.label) + 1), node);
                *at++ = '\n';
                lines.commit(at);
            }
        }
        if (atTop) noteRecovered(c, tree);
        return s.finish();
    }
};

class ExportCommand final : public Command {
public:
    std::string_view name() const override { return "export"; }
    std::string_view summary() const override { return "write the wallet, a folder or a card to a text file"; }
    std::string_view help() const override {
        return "Writes cards to a file. The text format (the default) is UTF-16 with CR LF line ends,\n"
               "written in the folder FOLDER/<wallet name>, which is made when missing. The file is named\n"
               "after the wallet, the folder or the card, with today's date: NAME_DDMMYYYY.txt (.csv,\n"
               ".json); an export of the same name on the same day replaces it. Prints the file's path.\n"
               "The csv and json formats are UTF-8: csv has one row per field (columns Path, Card, Form,\n"
               "Field, Kind, Value; the note is the field Note), json one object per card (see the\n"
               "manual page). With --out -, the export goes to standard output.\n"
               "\n"
               "Exit code 1 when the file cannot be written, or when a card or an attached file could\n"
               "not be read or written and was left out (the file is kept and the count printed).\n";
    }
    Syntax syntax() const override {
        return {true,
                {},
                {{"out", "FOLDER", "where the export folder is made (created when missing); '-': standard output"},
                 {"format", "FORMAT", "text (the default), csv or json"},
                 {"folder", "PATH", "only this folder and everything below it", Check::Text},
                 {"card", "PATH", "only this card", Check::Text},
                 {"attachments", "",
                  "also write each card's attached files next to the text file, named\n"
                  "NNN_<attachment name> (numbered from 001; from 000 for one card)"},
                 {"passwords", "", "write password fields in clear (else they show as ********)"}}};
    }
    int exportData(Session& s, Context& c, const Args& args, const std::string& format, bool toStdout);
    int run(const Args& args, Context& c) override {
        if (args.positional.size() != 1 || args.get("out").empty() || (args.has("folder") && args.has("card")))
            return usageError(c, *this);
        const std::string format = args.get("format", "text");
        if (format != "text" && format != "csv" && format != "json") {
            c.err << "tmpro: --format takes text, csv or json, not '" << format << "'\n";
            return exit_code::kUsage;
        }
        const bool toStdout = args.get("out") == "-";
        if (args.has("attachments") && (toStdout || format != "text")) {
            c.err << "tmpro: --attachments goes with the text format written to a folder\n";
            return exit_code::kUsage;
        }
        // The tool works on the wallet's full path already, which the title block shows.
        Session s(c);
        if (const int r = s.open(args.positional[0], true)) return r;
        if (format != "text") return exportData(s, c, args, format, toStdout);
        // To standard output: the same file, written in a private folder of its own first.
        TempFolder temp;
        if (toStdout && !temp.make()) return s.fail(exit_code::kFailed, "no temporary folder can be made");
        const std::string out = toStdout ? temp.path() : args.get("out");
        std::error_code error;
        std::filesystem::create_directories(out, error);
        if (error) return s.fail(exit_code::kFailed, "the folder " + out + " cannot be made: " + error.message());
        WalletFile& w = s.wallet();
        const ExportOptions options{out, args.has("attachments"), args.has("passwords")};
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
        if (toStdout) {
            if (!copyFileTo(report.path, c.out)) return s.fail(exit_code::kFailed, "the export could not be read back");
            c.out << std::flush;
        } else {
            c.out << report.path << "\n";
            if (options.passwords) c.err << "tmpro: warning: the file holds the passwords in clear\n";
        }
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

int ExportCommand::exportData(Session& s, Context& c, const Args& args, const std::string& format, bool toStdout) {
    WalletFile& w = s.wallet();
    const FolderTree tree = FolderTree::build(w);
    std::vector<std::size_t> cards;
    std::u16string name;
    auto collect = [&](std::size_t start) {
        tree.walk(start, [&](std::size_t id) {
            if (tree.node(id).type == tree_type::kCard)
                cards.push_back(static_cast<std::size_t>(tree.node(id).position));
        });
    };
    if (args.has("card")) {
        std::int64_t position = -1;
        if (const int r = resolveRecord(s, args.get("card"), false, &position)) return r;
        cards.push_back(static_cast<std::size_t>(position));
        name = w.nameOf(cards.back());
    } else if (args.has("folder")) {
        std::int64_t position = -1;
        if (const int r = resolveRecord(s, args.get("folder"), true, &position)) return r;
        const auto node = tree.find(position);
        if (!node) return s.fail(exit_code::kNotFound, "'" + args.get("folder") + "' is not in the tree");
        collect(*node);
        name = tree.node(*node).label;
    } else {
        // The special entries only repeat cards that are in the tree already.
        for (std::size_t id : tree.top())
            if (!tree.node(id).isSpecial()) collect(id);
    }
    const std::string walletName = std::filesystem::path(w.path()).stem().string();
    if (name.empty()) name = fromUtf8(walletName);

    const bool passwords = args.has("passwords");
    const bool asJson = format == "json";
    // The cards are read in one pass in file order; each one's text waits in the arena until all
    // are written in tree order.
    PieceArena arena;
    CardDataWriter writer(w, asJson ? CardDataWriter::Format::Json : CardDataWriter::Format::Csv, passwords);
    std::vector<std::string_view> pieces(cards.size());
    std::vector<bool> read(cards.size(), false);
    const std::size_t leftOut = readCardsInFileOrder(w, cards, asJson ? Card::Parts::All : Card::Parts::Fields,
                                                     [&](std::size_t i, const Card& card) {
                                                         read[i] = true;
                                                         pieces[i] = writer.write(arena, cards[i], card);
                                                     });
    // The whole text in order: csv's header row or json's opening, the cards (json: with commas
    // between), json's closing.
    JsonWriter head;
    head.beginObject().key("wallet").value(w.path()).key("cards").beginArray();
    const std::string csvHead = csvHeader();
    std::vector<std::string_view> text{asJson ? std::string_view(head.text()) : std::string_view(csvHead)};
    text.reserve(2 * pieces.size() + 2);
    bool firstCard = true;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!read[i]) continue;
        if (asJson && !firstCard) text.emplace_back(",");
        if (!pieces[i].empty()) text.emplace_back(pieces[i]);
        firstCard = false;
    }
    if (asJson) text.emplace_back("]}\n");
    int code = exit_code::kOk;
    if (toStdout) {
        for (std::string_view piece : text) c.out << piece;
        c.out << std::flush;
    } else {
        const SystemTime today = w.env().clock.localTime();
        char date[40];
        std::snprintf(date, sizeof date, "_%02u%02u%04u.", static_cast<unsigned>(today.day),
                      static_cast<unsigned>(today.month), static_cast<unsigned>(today.year));
        const std::filesystem::path folder = std::filesystem::path(args.get("out")) / walletName;
        const std::filesystem::path file = folder / (toUtf8(safeFileName(name)) + date + format);
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error || !writePrivateFile(file.string(), text)) {
            return s.fail(exit_code::kFailed, "the export file could not be written " + file.string());
        }
        c.out << file.string() << "\n";
        if (passwords) c.err << "tmpro: warning: the file holds the passwords in clear\n";
    }
    code = s.finish();
    if (leftOut > 0)
        code = s.fail(exit_code::kFailed, std::to_string(leftOut) + " card(s) could not be read and were left out");
    return code;
}

class CardTextCommand final : public Command {
public:
    std::string_view name() const override { return "card-text"; }
    std::string_view summary() const override { return "print a card as the Copy command copies it"; }
    std::string_view help() const override {
        return "Prints the card at PATH as the program's Copy command puts it on the clipboard: the\n"
               "card's name, then 'field: value' for every field with a value, each followed by two\n"
               "CR LF line breaks. Passwords are printed in clear. Exit code 1 when no field has a\n"
               "value (Copy copies nothing then).\n";
    }
    Syntax syntax() const override { return {true, {{"PATH", "the card (a path, or #ID)", true, Check::Text}}, {}}; }
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
