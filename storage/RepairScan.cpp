#include <optional>

#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/WalletFile.h"

namespace tw {
namespace {

constexpr std::u16string_view kCaption = u"Tallowmere Pro";
constexpr std::size_t kWindow = RecordHeader::kSize;
constexpr std::size_t kDisplaySize = 64;  // a card body's display block
constexpr std::size_t kSubRecordHead = 12;
constexpr std::size_t kNamesShown = 20;  // names listed in the closing message, per kind

// Finds the first offset at or after `from` where a well-formed record start lies, with a whole
// 748-byte window still in the file. Reads the file in chunks; the file position is restored.
std::optional<std::uint64_t> nextRecordStart(File& file, std::uint64_t from, std::uint64_t size) {
    const std::uint64_t back = file.position();
    std::optional<std::uint64_t> found;
    constexpr std::size_t kChunk = 64 * 1024;
    std::vector<std::uint8_t> buffer(kChunk + kWindow);
    for (std::uint64_t base = from; !found && base + kWindow <= size; base += kChunk) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - base));
        std::size_t got = 0;
        if (!file.seekTo(base) || readBlock(&file, buffer.data(), want, &got) != FileResult::Done) break;
        for (std::size_t k = 0; k < kChunk && k + kWindow <= got; ++k) {
            if (isRecordStart(buffer.data() + k)) {
                found = base + k;
                break;
            }
        }
    }
    file.seekTo(back);
    return found;
}

// "a, b, c", at most kNamesShown of them, then "...".
std::u16string nameList(const std::vector<std::u16string>& names) {
    std::u16string list;
    for (std::size_t i = 0; i < names.size() && i < kNamesShown; ++i) {
        if (i > 0) list += u", ";
        list += names[i];
    }
    if (names.size() > kNamesShown) list += u", ...";
    return list;
}

}  // namespace

int WalletFile::repairScan(const std::string& path, std::optional<std::u16string_view> password, RepairReport* report) {
    close();
    m_path = path;
    return repairScan(password, report);
}

int WalletFile::repairScan(std::optional<std::u16string_view> password, RepairReport* result) {
    RepairReport report;
    const std::u16string name = fromUtf8(m_path);
    const std::string path = m_path;
    if (m_env.prompt.ask({format(m_env.strings.text(22164), {name}), std::u16string(kCaption), Buttons::YesNo,
                          Icon::Stop}) != Answer::Yes)
        return 7;
    if (m_env.prompt.ask({m_env.strings.text(22165), std::u16string(kCaption), Buttons::OkCancel, Icon::None}) !=
        Answer::Ok)
        return 7;
    // The scan works on the record structure alone, so an old-format wallet (whose open writes
    // nothing) is repaired the same way, before its upgrade.
    m_mendBlocks = true;
    m_blockMends = &report;
    const OpenResult reopened = open(path, password, false);
    m_mendBlocks = false;
    m_blockMends = nullptr;
    if (reopened != OpenResult::Ok && reopened != OpenResult::OldFormat) return static_cast<int>(reopened);

    // Names are shown as they read: an old-format wallet's are still under its stored key.
    KeyRecord oldKey;
    if (m_oldFormat) oldKey.set(m_keys.oldRecordKey.data());
    const KeyRecord& nameKey = m_oldFormat ? oldKey : m_keys.recordKey;
    auto nameIn = [&](const std::uint8_t* window) {
        RecordHeader h;
        std::copy(window, window + kWindow, h.raw.begin());
        return h.name(nameKey);
    };
    // The name of the record whose header starts the `length` bytes cut at `at`, when they hold
    // its name area whole.
    auto nameOfCut = [&](std::uint64_t at, std::uint64_t length) {
        std::uint8_t head[kWindow] = {};
        const std::uint64_t back = m_file->position();
        const bool read =
            length >= RecordHeader::kName + RecordHeader::kNameSize && m_file->seekTo(at) &&
            readBlock(m_file.get(), head, RecordHeader::kName + RecordHeader::kNameSize) == FileResult::Done;
        m_file->seekTo(back);
        return read && isRecordStart(head) ? nameIn(head) : std::u16string();
    };
    auto listName = [](std::vector<std::u16string>& list, std::u16string text) {
        if (!text.empty()) list.push_back(std::move(text));
    };

    // Before the first change, the wallet as it is goes to <wallet>.bak; without it nothing changes.
    report.backupPath = path + ".bak";
    bool backedUp = false;
    auto backUp = [&] {
        if (backedUp) return true;
        const std::string temp = report.backupPath + ".~new";
        m_env.files.remove(temp);
        std::uint64_t size = 0;
        std::unique_ptr<File> copy = m_env.files.open(temp, OpenMode::CreateNew);
        bool ok = copy && m_file->size(&size) && copyRange(*m_file, 0, size, *copy) && copy->flush();
        copy.reset();
        ok = ok && m_env.files.rename(temp, report.backupPath);
        if (!ok) {
            m_env.files.remove(temp);
            report.backupFailed = true;
            return false;
        }
        backedUp = true;
        return true;
    };
    auto endFileAt = [&](std::uint64_t at) { return m_file->seekTo(at) && m_file->truncateHere(); };

    // Mended blocks are written first, after the copy. An old-format wallet's go with its upgrade.
    const int blocksMended =
        (report.headerRewritten ? 1 : 0) + (report.keyMagicsRestored ? 1 : 0) + (report.settingsRebuilt ? 1 : 0);
    if (blocksMended > 0) {
        if (!backUp()) {
            close();
            m_env.prompt.tell(format(m_env.strings.text(repair_text::kNoBackup), {fromUtf8(report.backupPath)}),
                              std::u16string(kCaption), Icon::Stop);
            if (result != nullptr) *result = std::move(report);
            return 0;
        }
        if (!m_oldFormat && flush() != 0) return static_cast<int>(OpenResult::CannotOpen);
        report.changes += blocksMended;
    }

    std::uint64_t p = kFirstRecord;
    for (;;) {
        std::uint64_t size = 0;
        if (!m_file->size(&size) || !m_file->seekTo(p)) break;
        std::uint8_t window[kWindow] = {};
        std::size_t got = 0;
        const FileResult r = readBlock(m_file.get(), window, kWindow, &got);
        if (r == FileResult::CallFailed || got == 0) break;
        if (got < kWindow) {
            // A header the file does not hold whole: no record is left of it.
            std::u16string cut = nameOfCut(p, got);
            if (!backUp() || !endFileAt(p)) break;
            ++report.changes;
            listName(report.removed, std::move(cut));
            break;
        }
        if (!isRecordStart(window)) {
            const std::optional<std::uint64_t> q = nextRecordStart(*m_file, p + 1, size);
            if (!backUp()) break;
            if (!q || *q <= p) {
                if (endFileAt(p)) ++report.changes;
                break;
            }
            if (!cutFileRange(p, *q - p)) break;
            ++report.changes;
            continue;
        }
        const std::uint64_t t = static_cast<std::uint64_t>(getU32(window, RecordHeader::kIconLength)) +
                                getU32(window, RecordHeader::kBodyLength);
        // Looked for from the next byte on, so that a record starting inside this header shows it
        // to be a false start.
        const std::optional<std::uint64_t> q = nextRecordStart(*m_file, p + 1, size);
        if (!q) {
            // The last record: the file ends where its lengths say, or, when the file does not
            // hold it whole, where what it holds of it ends.
            const std::uint64_t end = p + kWindow + t;
            if (end == size) break;
            if (!backUp()) break;
            if (end < size) {
                std::u16string cut = nameOfCut(end, size - end);
                if (endFileAt(end)) {
                    ++report.changes;
                    listName(report.removed, std::move(cut));
                }
            } else if (keepCutShortRecord(p, window, size)) {
                ++report.changes;
                listName(report.shortened, nameIn(window));
            }
            break;
        }
        const std::uint64_t d = *q - p;
        if (d == kWindow + t) {
            p = *q;
        } else if (d > kWindow + t) {
            std::u16string cut = nameOfCut(p + kWindow + t, d - kWindow - t);
            if (!backUp() || !cutFileRange(p + kWindow + t, d - kWindow - t)) break;
            ++report.changes;
            listName(report.removed, std::move(cut));
            p += kWindow + t;
        } else if (d < kWindow) {
            // A false start: a record begins inside this header. Its name is its own only when
            // the name area lies before that record.
            if (!backUp() || !cutFileRange(p, d)) break;
            ++report.changes;
            if (d >= RecordHeader::kName + RecordHeader::kNameSize) listName(report.removed, nameIn(window));
        } else {
            // The lengths are wrong: the record keeps its header without icon data or body.
            if (!backUp()) break;
            for (std::size_t at = RecordHeader::kIconLength; at < kWindow; ++at) window[at] = 0;
            if (!writeInPlace(p, window, kWindow)) break;
            ++report.changes;
            listName(report.emptied, nameIn(window));
            if (d > kWindow && !cutFileRange(p + kWindow, d - kWindow)) break;
            p += kWindow;
        }
    }

    if (!report.backupFailed && !m_oldFormat) rehomeUnreachable(report, backUp);
    close();

    std::u16string text;
    if (report.backupFailed) {
        text = format(m_env.strings.text(repair_text::kNoBackup), {fromUtf8(report.backupPath)});
    } else if (report.changes == 0) {
        text = format(m_env.strings.text(repair_text::kNoDamage), {name});
    } else {
        text = format(m_env.strings.text(22166), {report.changes, name});
        const std::pair<std::uint32_t, const std::vector<std::u16string>*> lists[] = {
            {repair_text::kRemoved, &report.removed},
            {repair_text::kEmptied, &report.emptied},
            {repair_text::kShortened, &report.shortened}};
        for (const auto& [id, names] : lists)
            if (!names->empty()) text += u"\n\n" + format(m_env.strings.text(id), {nameList(*names)});
        if (!report.rehomed.empty())
            text += u"\n\n" +
                    format(m_env.strings.text(repair_text::kRehomed), {report.rehomeFolder, nameList(report.rehomed)});
        if (report.headerRewritten) text += u"\n\n" + m_env.strings.text(repair_text::kHeaderRewritten);
        if (report.keyMagicsRestored) text += u"\n\n" + m_env.strings.text(repair_text::kKeyMagicsRestored);
        if (report.settingsRebuilt) {
            std::u16string kept;
            if (report.favouritesKept) kept = m_env.strings.text(repair_text::kKeptFavourites);
            if (report.closeTimeKept)
                kept += (kept.empty() ? u"" : u", ") + m_env.strings.text(repair_text::kKeptCloseTime);
            if (kept.empty()) kept = m_env.strings.text(repair_text::kKeptNothing);
            text += u"\n\n" + format(m_env.strings.text(repair_text::kSettingsRebuilt), {kept});
        }
        text += u"\n\n" + format(m_env.strings.text(repair_text::kBackup), {fromUtf8(report.backupPath)});
    }
    if (!backedUp) report.backupPath.clear();
    m_env.prompt.tell(text, std::u16string(kCaption), report.backupFailed ? Icon::Stop : Icon::Information);
    if (result != nullptr) *result = std::move(report);
    return 0;
}

bool WalletFile::keepCutShortRecord(std::uint64_t at, std::uint8_t* window, std::uint64_t size) {
    const std::uint64_t held = size - at - kWindow;
    std::uint64_t icon = getU32(window, RecordHeader::kIconLength);
    std::uint64_t bodyHeld = 0;
    if (icon <= held) {
        bodyHeld = held - icon;
    } else {
        // Icon data cut short is no icon (the record takes built-in icon 0), and nothing after it
        // is body.
        icon = 0;
        for (std::size_t i = RecordHeader::kIconLength; i < RecordHeader::kIconWord + 4; ++i) window[i] = 0;
        if (getI32(window, RecordHeader::kIconIndex) == RecordHeader::kCustomIcon)
            putI32(window, RecordHeader::kIconIndex, 0);
    }
    const std::uint64_t bodyAt = at + kWindow + icon;
    std::uint64_t body = bodyHeld;
    std::vector<std::uint8_t> display;
    if (recordTypeOf(window) == RecordType::Card) {
        if (bodyHeld < kDisplaySize) {
            // The display block is completed from the wallet's defaults for new cards.
            display.assign(kDisplaySize, 0);
            const CardDisplayWords words = m_settings.defaultDisplay();
            for (std::size_t i = 0; i < words.size(); ++i) putU32(display.data(), 4 * i, words[i]);
            std::size_t got = 0;
            if (!m_file->seekTo(bodyAt) || readBlock(m_file.get(), display.data(), static_cast<std::size_t>(bodyHeld),
                                                     &got) == FileResult::CallFailed)
                return false;
            body = kDisplaySize;
        } else {
            // Every sub-record the file holds whole; the one the end of the file cut is dropped.
            body = kDisplaySize;
            std::uint8_t head[kSubRecordHead];
            while (bodyHeld - body >= kSubRecordHead) {
                if (!m_file->seekTo(bodyAt + body) || readBlock(m_file.get(), head, sizeof head) != FileResult::Done)
                    return false;
                const std::uint64_t length = getU32(head, 8);
                if (length > bodyHeld - body - kSubRecordHead) break;
                body += kSubRecordHead + length;
            }
        }
    }
    putU32(window, RecordHeader::kBodyLength, static_cast<std::uint32_t>(body));
    if (!writeInPlace(at, window, kWindow)) return false;
    if (!display.empty()) {
        return m_file->seekTo(bodyAt) && m_file->truncateHere() &&
               writeBlock(m_file.get(), display.data(), display.size()) == FileResult::Done;
    }
    return m_file->seekTo(bodyAt + body) && m_file->truncateHere();
}

void WalletFile::rehomeUnreachable(RepairReport& report, const std::function<bool()>& backUp) {
    m_index.clear();
    m_firstOffsets.clear();
    if (readRecords() != OpenResult::Ok) return;
    const std::vector<std::size_t> unhomed = reachability(m_index).unhomed;
    if (unhomed.empty() || !backUp()) return;

    // A top-level folder of that name from an earlier repair takes them too.
    const std::u16string folderName = m_env.strings.text(repair_text::kFolderName);
    std::int64_t folder = -1;
    for (std::size_t i = 0; i < m_index.count() && folder < 0; ++i) {
        const IndexEntry& h = m_index.at(i);
        if (!h.deleted() && h.type() == RecordType::Folder && h.parent().isZero() &&
            equalNoCase(h.nameView(), folderName))
            folder = static_cast<std::int64_t>(i);
    }
    if (folder < 0) {
        RecordHeader h = newFolder(RecordId{}, false);
        h.putName(folderName, m_keys.recordKey);
        h.setIconIndex(kNewFolderIcon);
        folder = appendFolder(h);
        if (folder < 0) return;
        ++report.changes;
    }
    const RecordId folderId = m_index.at(static_cast<std::size_t>(folder)).id();
    report.rehomeFolder = folderName;
    for (std::size_t position : unhomed) {
        RecordHeader h = headerAt(position);
        if (!h.loaded) continue;
        // The forms folder belongs at the top level, everything else in the folder.
        h.setParent(h.type() == RecordType::FormsFolder ? RecordId{} : folderId);
        h.markChange(change::kMoved, now());
        if (!rewriteHeader(h)) continue;
        ++report.changes;
        report.rehomed.push_back(nameOf(position));
    }
}

}  // namespace tw
