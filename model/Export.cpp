#include "model/Export.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/BodyCodec.h"
#include "model/Card.h"
#include "model/CardsInFileOrder.h"
#include "model/FieldKind.h"
#include "platform/Latin1.h"
#include "platform/PieceArena.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

constexpr std::u16string_view kMaskedPassword = u"********";
constexpr std::u16string_view kLineEnd = u"\r\n";
constexpr std::size_t kMaxEnclosingFolders = 8;

// Writes the whole of `data`, going on after short transfers that made progress.
bool writeAll(File& file, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        std::size_t done = 0;
        const FileResult r = writeBlock(&file, data, size, &done);
        if (r != FileResult::Done && r != FileResult::Short) return false;
        data += done;
        size -= done;
    }
    return true;
}

// Creates `path` anew (replacing a file of that name) holding `data`; a file that cannot be
// written whole is removed again.
bool writeNewFile(FileSystem& files, const std::string& path, const std::vector<std::uint8_t>& data) {
    files.remove(path);
    std::unique_ptr<File> file = files.open(path, OpenMode::CreateNew);
    if (!file) return false;
    const bool ok = writeAll(*file, data.data(), data.size()) && file->flush();
    file.reset();
    if (!ok) files.remove(path);
    return ok;
}

// Writes `text` as UTF-16LE at `out` (2 bytes a unit).
void putUtf16le(void* out, std::u16string_view text) {
    if constexpr (std::endian::native == std::endian::little) {
        if (!text.empty()) std::memcpy(out, text.data(), 2 * text.size());
    } else {
        auto* bytes = static_cast<std::uint8_t*>(out);
        for (std::size_t i = 0; i < text.size(); ++i) {
            bytes[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
        }
    }
}

// UTF-16LE text through a fixed buffer, so that card texts leave no copies behind in memory
// (the buffer is wiped after every flush and at the end).
class TextWriter {
public:
    explicit TextWriter(File& file) : m_file(file) {}
    ~TextWriter() { wipe(m_buffer.data(), m_buffer.size()); }
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    void bytes(std::initializer_list<std::uint8_t> bytes) {
        for (std::uint8_t b : bytes) put(b);
    }
    void text(std::u16string_view text) { wide(text, putUtf16le); }
    void line(std::u16string_view line = {}) {
        text(line);
        text(kLineEnd);
    }
    // Bytes made by a PieceWriter.
    void raw(std::string_view bytes) {
        while (!bytes.empty()) {
            if (m_used == m_buffer.size()) flush();
            const std::size_t n = std::min(bytes.size(), m_buffer.size() - m_used);
            std::memcpy(m_buffer.data() + m_used, bytes.data(), n);
            m_used += n;
            bytes.remove_prefix(n);
        }
    }
    // Text kept one byte a unit by a NarrowWriter.
    void latin1(std::string_view bytes) { wide(bytes, widenToUtf16le); }
    // False when any write failed.
    bool finish() {
        flush();
        return m_ok;
    }

private:
    void put(std::uint8_t b) {
        if (m_used == m_buffer.size()) flush();
        m_buffer[m_used++] = b;
    }
    // Units written two bytes each by `widen`, in pieces that fit the buffer.
    template <typename Units, typename Widen>
    void wide(Units units, Widen widen) {
        while (!units.empty()) {
            if (m_buffer.size() - m_used < 2) flush();
            const std::size_t n = std::min(units.size(), (m_buffer.size() - m_used) / 2);
            widen(m_buffer.data() + m_used, units.substr(0, n));
            m_used += 2 * n;
            units.remove_prefix(n);
        }
    }
    void flush() {
        if (m_ok && m_used > 0) m_ok = writeAll(m_file, m_buffer.data(), m_used);
        wipe(m_buffer.data(), m_used);
        m_used = 0;
    }

    File& m_file;
    std::vector<std::uint8_t> m_buffer = std::vector<std::uint8_t>(256 * 1024);
    std::size_t m_used = 0;
    bool m_ok = true;
};

// UTF-16LE text written into room made for it beforehand (in a PieceArena, which wipes it).
class PieceWriter {
public:
    explicit PieceWriter(char* out) : m_start(out), m_out(out) {}
    void text(std::u16string_view text) {
        putUtf16le(m_out, text);
        m_out += 2 * text.size();
    }
    void line(std::u16string_view line = {}) {
        text(line);
        text(kLineEnd);
    }
    std::size_t size() const { return static_cast<std::size_t>(m_out - m_start); }

private:
    char* m_start;
    char* m_out;
};

// Text written one byte a unit into room made for it beforehand, for as long as every unit is
// below 0x100 (most card texts): half the room a PieceWriter takes.
class NarrowWriter {
public:
    explicit NarrowWriter(char* out) : m_start(out), m_out(out) {}
    void text(std::u16string_view text) {
        if (!m_fits) return;
        m_fits = narrowToLatin1(m_out, text);
        m_out += text.size();
    }
    void line(std::u16string_view line = {}) {
        text(line);
        text(kLineEnd);
    }
    // False when some unit did not fit: what was written is to be made again by a PieceWriter.
    bool fits() const { return m_fits; }
    std::size_t size() const { return static_cast<std::size_t>(m_out - m_start); }

private:
    char* m_start;
    char* m_out;
    bool m_fits = true;
};

std::string withoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

// The wallet's file name without folder and extension.
std::u16string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return fromUtf8(name);
}

// One export in progress: the open text file and the running attachment number.
class ExportRun {
public:
    ExportRun(WalletFile& wallet, const ExportOptions& options, const LocalePatterns& locale, std::int64_t firstNumber)
        : m_wallet(wallet),
          m_options(options),
          m_locale(locale),
          m_strings(wallet.env().strings),
          m_rule(m_strings.text(export_text::kRule)),
          m_noData(m_strings.text(export_text::kNoData)),
          m_number(firstNumber) {}

    // Makes the export folder, creates the text file named after `name` and writes the mark and
    // the title block.
    bool open(std::u16string_view name);
    void heading(std::u16string_view path);
    // The block of the card at an index position (`recovered`: under the recovered entry); a
    // card that cannot be loaded is counted and left out. Without attachments the blocks wait
    // until finish, which reads all cards in one pass.
    void card(std::size_t position, bool recovered = false);
    ExportReport finish();

private:
    struct Step {
        std::u16string heading;  // when not a card
        std::size_t position = 0;
        bool isCard = false;
        bool recovered = false;
    };

    std::u16string_view shown(const Field& f, std::u16string& made) const;
    // At least the UTF-16 units of the card's block.
    std::size_t blockUnits(const Card& card, std::u16string_view name) const;
    template <typename Out>
    void cardBlock(Out& out, const Card& card, std::u16string_view name);
    void attachments(const Card& card);
    void headingText(std::u16string_view path);
    void counted(const Card& card, bool recovered);
    void writeWaiting();

    WalletFile& m_wallet;
    const ExportOptions& m_options;
    const LocalePatterns& m_locale;
    const StringTable& m_strings;
    const std::u16string m_rule;
    const std::u16string m_noData;
    std::int64_t m_number;
    std::string m_folder;
    std::unique_ptr<File> m_file;
    std::unique_ptr<TextWriter> m_out;
    std::vector<Step> m_waiting;
    ExportReport m_report;
};

bool ExportRun::open(std::u16string_view name) {
    FileSystem& files = m_wallet.env().files;
    m_folder = withoutTrailingSlashes(m_options.targetFolder) + "/" + toUtf8(baseName(m_wallet.path()));
    files.makeFolder(m_folder);  // an existing folder is fine; a missing one fails the open below
    const SystemTime now = m_wallet.env().clock.localTime();
    const std::u16string fileName =
        format(u"%s_%02d%02d%d.txt", {name, std::int64_t{now.day}, std::int64_t{now.month}, std::int64_t{now.year}});
    m_report.path = m_folder + "/" + toUtf8(fileName);
    files.remove(m_report.path);
    m_file = files.open(m_report.path, OpenMode::CreateNew);
    if (!m_file) {
        m_report.path.clear();
        return false;
    }
    m_out = std::make_unique<TextWriter>(*m_file);
    m_out->bytes({0xFF, 0xFE});
    m_out->line(m_strings.text(export_text::kTitle));
    m_out->line(format(m_strings.text(export_text::kWalletName), {baseName(m_wallet.path())}));
    m_out->line(format(m_strings.text(export_text::kWalletPath), {fromUtf8(m_wallet.path())}));
    const std::u16string when = format(u"%s  %s", {formatShortDate(now, m_locale), formatShortTime(now, m_locale)});
    m_out->line(format(m_strings.text(export_text::kExportedAt), {when}));
    m_out->line();
    m_out->line();
    return true;
}

void ExportRun::heading(std::u16string_view path) {
    if (!m_options.attachments) {
        m_waiting.push_back(Step{std::u16string(path)});
        return;
    }
    headingText(path);
}

void ExportRun::headingText(std::u16string_view path) {
    const std::u16string rule = m_strings.text(export_text::kRule);
    m_out->line();
    m_out->line(rule);
    m_out->text(m_strings.text(export_text::kFolderWord));
    m_out->text(u": ");
    m_out->line(path);
    m_out->line(rule);
}

void ExportRun::card(std::size_t position, bool recovered) {
    if (!m_options.attachments) {
        m_waiting.push_back(Step{{}, position, true, recovered});
        return;
    }
    std::unique_ptr<Card> card = m_wallet.loadCard(m_wallet.index().at(position).id());
    if (!card || card->header() == nullptr) {
        ++m_report.cardsLeftOut;
        return;
    }
    std::u16string name = card->header()->name(m_wallet.recordKey());
    cardBlock(*m_out, *card, name);
    body::wipeText(name);
    attachments(*card);
    counted(*card, recovered);
}

void ExportRun::counted(const Card& card, bool recovered) {
    ++m_report.cards;
    if (card.droppedItems() > 0) ++m_report.cardsDamaged;
    if (recovered) ++m_report.recoveredCards;
}

void ExportRun::writeWaiting() {
    std::vector<std::size_t> positions;
    std::vector<std::size_t> stepOf;
    for (std::size_t i = 0; i < m_waiting.size(); ++i) {
        if (!m_waiting[i].isCard) continue;
        positions.push_back(m_waiting[i].position);
        stepOf.push_back(i);
    }
    // Each card's block, made as the cards come in file order, waits in the arena until it is
    // written in its step's place. The attachments are read too, so that a damaged one counts the
    // card as damaged.
    PieceArena arena;
    std::vector<std::string_view> blocks(m_waiting.size());
    std::vector<bool> read(m_waiting.size(), false);
    std::vector<bool> narrow(m_waiting.size(), false);
    m_report.cardsLeftOut +=
        readCardsInFileOrder(m_wallet, positions, Card::Parts::All, [&](std::size_t i, const Card& card) {
            const std::size_t step = stepOf[i];
            std::u16string name = card.header()->name(m_wallet.recordKey());
            char* const room = arena.begin(2 * blockUnits(card, name));
            NarrowWriter narrowPiece(room);
            cardBlock(narrowPiece, card, name);
            if (narrowPiece.fits()) {
                blocks[step] = arena.end(narrowPiece.size());
                narrow[step] = true;
            } else {
                PieceWriter piece(room);
                cardBlock(piece, card, name);
                blocks[step] = arena.end(piece.size());
            }
            body::wipeText(name);
            read[step] = true;
            counted(card, m_waiting[step].recovered);
        });
    for (std::size_t i = 0; i < m_waiting.size(); ++i) {
        if (!m_waiting[i].isCard) {
            headingText(m_waiting[i].heading);
            continue;
        }
        if (!read[i]) continue;
        if (narrow[i])
            m_out->latin1(blocks[i]);
        else
            m_out->raw(blocks[i]);
    }
    m_waiting.clear();
}

// What a field shows: its display text, which is the value itself but for dates and check boxes
// (those are made in `made`).
std::u16string_view ExportRun::shown(const Field& f, std::u16string& made) const {
    if (!isDateKind(f.kind()) && f.kind() != field_kind::kCheckBox) return f.value();
    made = displayText(f.kind(), f.value(), f.date(), m_locale, m_strings);
    return made;
}

std::size_t ExportRun::blockUnits(const Card& card, std::u16string_view name) const {
    std::size_t units = 2 * m_rule.size() + name.size() + m_noData.size() + 5 * kLineEnd.size();
    std::u16string made;
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        units += f.name().size() + 2 + std::max(shown(f, made).size(), kMaskedPassword.size()) + kLineEnd.size();
    }
    return units;
}

template <typename Out>
void ExportRun::cardBlock(Out& out, const Card& card, std::u16string_view name) {
    out.line(m_rule);
    out.line(name);
    out.line(m_rule);
    bool anyField = false;
    std::u16string made;
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        const std::u16string_view text = shown(f, made);
        if (text.empty()) continue;
        out.text(f.name());
        out.text(u": ");
        const bool masked = f.kind() == field_kind::kPassword && !m_options.passwords;
        out.line(masked ? kMaskedPassword : text);
        anyField = true;
    }
    if (anyField) {
        out.line();
    } else {
        out.line(m_noData);
    }
}

void ExportRun::attachments(const Card& card) {
    bool anyFile = false;
    for (std::size_t slot = 0; slot < Card::kFileSlots; ++slot) {
        const Attachment& a = card.file(slot);
        if (!a.hasData()) continue;
        const std::u16string name = format(u"%03d_%s", {m_number, safeFileName(a.name())});
        if (!writeNewFile(m_wallet.env().files, m_folder + "/" + toUtf8(name), a.data())) {
            ++m_report.attachmentsLeftOut;
            continue;
        }
        ++m_number;
        ++m_report.attachmentFiles;
        m_out->line(format(m_strings.text(export_text::kAttachmentFile), {name}));
        anyFile = true;
    }
    if (!anyFile) m_out->line();
}

ExportReport ExportRun::finish() {
    if (!m_file) return m_report;
    writeWaiting();
    const bool ok = m_out->finish() && m_file->flush();
    m_out.reset();
    m_file.reset();
    if (ok) {
        m_report.result = ExportResult::Ok;
    } else {
        m_wallet.env().files.remove(m_report.path);
    }
    return m_report;
}

// The heading of a folder node: the labels of up to 8 enclosing nodes (not past a special
// entry), outermost first, each followed by " > ", then the node's own label.
std::u16string headingPath(const FolderTree& tree, std::size_t id) {
    std::vector<std::size_t> enclosing;
    for (std::size_t up = tree.node(id).parent; up != TreeNode::kNone && enclosing.size() < kMaxEnclosingFolders;
         up = tree.node(up).parent) {
        if (tree.node(up).isSpecial() && tree.node(up).type != tree_type::kRecovered) break;
        enclosing.push_back(up);
    }
    std::u16string path;
    for (auto it = enclosing.rbegin(); it != enclosing.rend(); ++it) {
        path += tree.node(*it).label;
        path += u" > ";
    }
    path += tree.node(id).label;
    return path;
}

bool isLiveCard(const WalletIndex& index, std::size_t position) {
    return index.at(position).type() == RecordType::Card && !index.at(position).deleted();
}

}  // namespace

std::u16string safeFileName(std::u16string_view text) {
    std::u16string name(text.substr(0, text.find(u'\0')));
    for (char16_t& c : name)
        if (std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) c = u'_';
    return name;
}

ExportReport exportWallet(WalletFile& wallet, const FolderTree& tree, const ExportOptions& options,
                          const LocalePatterns& locale) {
    ExportRun run(wallet, options, locale, 1);
    if (!run.open(baseName(wallet.path()))) return run.finish();
    // The favourites and the find results only list cards shown elsewhere; the recovered entry
    // holds cards shown nowhere else, which are written under its heading.
    auto listsCopies = [&](std::size_t id) {
        return tree.node(id).isSpecial() && tree.node(id).type != tree_type::kRecovered;
    };
    for (std::size_t top : tree.top()) {
        if (listsCopies(top)) continue;
        const bool underRecovered = tree.node(top).type == tree_type::kRecovered;
        tree.walk(top, [&](std::size_t id) {
            const TreeNode& node = tree.node(id);
            if (node.isFolder() || node.type == tree_type::kRecovered) {
                run.heading(headingPath(tree, id));
            } else if (node.type == tree_type::kCard) {
                run.card(static_cast<std::size_t>(node.position), underRecovered);
            }
        });
    }
    return run.finish();
}

ExportReport exportFolder(WalletFile& wallet, const FolderTree& tree, std::size_t node, const ExportOptions& options,
                          const LocalePatterns& locale) {
    ExportRun run(wallet, options, locale, 1);
    if (node >= tree.size() || !run.open(safeFileName(tree.node(node).label))) return run.finish();
    tree.walk(node, [&](std::size_t id) {
        const TreeNode& n = tree.node(id);
        if (n.type == tree_type::kCard) {
            run.card(static_cast<std::size_t>(n.position));
        } else {
            run.heading(headingPath(tree, id));
        }
    });
    return run.finish();
}

ExportReport exportCard(WalletFile& wallet, const RecordId& card, const ExportOptions& options,
                        const LocalePatterns& locale) {
    ExportRun run(wallet, options, locale, 0);
    const WalletIndex& index = wallet.index();
    for (std::size_t i = 0; i < index.count(); ++i) {
        if (index.at(i).id() != card || !isLiveCard(index, i)) continue;
        if (run.open(safeFileName(wallet.nameOf(i)))) run.card(i);
        break;
    }
    return run.finish();
}

std::u16string cardClipboardText(const Card& card, const KeyRecord& recordKey, const LocalePatterns& locale,
                                 const StringTable& strings) {
    const std::u16string name = card.header() != nullptr ? card.header()->name(recordKey) : std::u16string();
    // Sized first, so that the text holding the passwords is never moved and left behind.
    std::vector<std::u16string> shown(card.fieldCount());
    std::size_t size = name.size() + 4;
    bool anyField = false;
    for (std::size_t i = 0; i < card.fieldCount(); ++i) {
        const Field& f = card.field(i);
        shown[i] = displayText(f.kind(), f.value(), f.date(), locale, strings);
        if (shown[i].empty()) continue;
        size += f.name().size() + shown[i].size() + 6;
        anyField = true;
    }
    std::u16string text;
    if (anyField) {
        text.reserve(size);
        text += name;
        text += u"\r\n\r\n";
        for (std::size_t i = 0; i < card.fieldCount(); ++i) {
            if (shown[i].empty()) continue;
            text += card.field(i).name();
            text += u": ";
            text += shown[i];
            text += u"\r\n\r\n";
        }
    }
    for (std::u16string& s : shown) body::wipeText(s);
    return text;
}

}  // namespace tw
