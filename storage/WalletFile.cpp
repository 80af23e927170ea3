#include "storage/WalletFile.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/MemoryFile.h"
#include "platform/ProcessGuard.h"
#include "platform/Text.h"
#include "storage/Bytes.h"
#include "storage/RecordCursor.h"

namespace tw {

namespace {
constexpr std::u16string_view kUpgradeQuestion =
    u"Tallowmere Pro would like to upgrade the wallet file format.\r\nContinue?";
constexpr std::u16string_view kUpgradeCaption = u"Tallowmere Pro 6";
}  // namespace

WalletFile::WalletFile(Env& env) : m_env(env) {
    // The keys never go to swap where the system lets us lock them; quietly not otherwise.
    (void)lockInMemory(&m_keys, sizeof m_keys);
    m_index.setNameKey(&m_keys.recordKey);
}

WalletFile::~WalletFile() {
    close();
    unlockInMemory(&m_keys, sizeof m_keys);
}

OpenResult WalletFile::open(const std::string& path, std::optional<std::u16string_view> password, bool readOnly) {
    close();
    if (fromUtf8(path).size() < 6) return OpenResult::BadPath;
    m_file = m_env.files.open(path, readOnly ? OpenMode::Read : OpenMode::ReadWrite);
    if (!m_file) return OpenResult::CannotOpen;
    m_path = path;
    m_readOnly = readOnly;
    if (!readOnly) {
        // The write lock is ours, so no other writer is making a replacement now: one that is
        // there was left by a run that ended before it could swap it in or remove it.
        const std::string leftover = replacementPath();
        if (m_env.files.exists(leftover) && !m_env.files.remove(leftover)) m_leftoverInTheWay = true;
    }
    const OpenResult r = loadBlocks(password);
    if (r != OpenResult::Ok && r != OpenResult::OldFormat) {
        close();
        return r;
    }
    positionAtFirstRecord();
    return r;
}

OpenResult WalletFile::loadBlocks(std::optional<std::u16string_view> password) {
    std::uint64_t size = 0;
    if (!m_file->seekTo(0) || !m_file->size(&size) || size < HeaderBlock::kSize) return OpenResult::NotAWallet;
    if (m_header.read(m_file.get()) != FileResult::Done) return OpenResult::NotAWallet;
    HeaderBlock::Version version = m_header.version();
    // The repair mends a damaged header or key-block magic, but only for the right password.
    bool mended = false;
    if (!m_header.valid || version == HeaderBlock::Version::Unknown) {
        if (!m_mendBlocks) return m_header.valid ? OpenResult::BadVersion : OpenResult::NotAWallet;
        HeaderBlock fresh = HeaderBlock::create();
        if (version == HeaderBlock::Version::Old) {
            std::copy_n(m_header.raw.begin() + HeaderBlock::kVersionAt, HeaderBlock::kVersionSize,
                        fresh.raw.begin() + HeaderBlock::kVersionAt);
        } else {
            version = HeaderBlock::Version::Current;
        }
        fresh.changed = true;
        m_header = fresh;
        mended = true;
        if (m_blockMends != nullptr) m_blockMends->headerRewritten = true;
    }
    m_oldFormat = version == HeaderBlock::Version::Old;

    const FileResult keys = m_keys.read(m_file.get());
    if (keys == FileResult::BadMagic && m_mendBlocks) {
        m_keys.restoreMagics();
        mended = true;
        if (m_blockMends != nullptr) m_blockMends->keyMagicsRestored = true;
    } else if (keys != FileResult::Done) {
        return OpenResult::BadKeyBlock;
    }
    // Without a check value nothing confirms that a block with damaged marks is this wallet's.
    if (mended && !m_keys.hasCheckValue()) return OpenResult::NotAWallet;
    if (m_keys.hasCheckValue()) {
        if (!password || !m_keys.verifyPassword(*password)) return OpenResult::WrongPassword;
        if (m_oldFormat && !askUpgrade()) return OpenResult::UpgradeDeclined;
        m_keys.loadRecordKey(password);
    } else {
        // No check value: the wallet was keyed with the fallback pass phrase, which is the only
        // key it can have been written with. An old one is upgraded only with the user's word too.
        if (m_oldFormat && !askUpgrade()) return OpenResult::UpgradeDeclined;
        m_keys.loadRecordKey(std::nullopt);
        m_unprotected = true;
    }
    if (m_oldFormat) m_header.changed = true;

    const FileResult settings = m_settings.read(m_file.get());
    if (settings == FileResult::BadMagic && m_mendBlocks) {
        bool favourites = false;
        bool closeTime = false;
        m_settings = SettingsBlock::rebuiltFrom(m_settings, &favourites, &closeTime);
        if (m_blockMends != nullptr) {
            m_blockMends->settingsRebuilt = true;
            m_blockMends->favouritesKept = favourites;
            m_blockMends->closeTimeKept = closeTime;
        }
    } else if (settings != FileResult::Done) {
        return OpenResult::BadSettingsBlock;
    }
    // An old-format wallet is left exactly as it is: its stored record key is the only key to its
    // records, so its blocks are written in the current form only together with the re-enciphered
    // records, in the one new file the upgrade swaps in (storage/FormatUpgrade.h).
    return m_oldFormat ? OpenResult::OldFormat : OpenResult::Ok;
}

bool WalletFile::askUpgrade() {
    if (m_upgradeAgreed == m_path) return true;
    const Answer a = m_env.prompt.ask(
        Message{std::u16string(kUpgradeQuestion), std::u16string(kUpgradeCaption), Buttons::OkCancel, Icon::Question});
    if (a != Answer::Ok && a != Answer::Yes) return false;
    m_upgradeAgreed = m_path;
    return true;
}

OpenResult WalletFile::readAll(const std::string& path, std::optional<std::u16string_view> password, bool readOnly) {
    const OpenResult r = open(path, password, readOnly);
    if (r != OpenResult::Ok && r != OpenResult::OldFormat) return r;
    // An old-format wallet's records are read too, so that a damaged one is found (and can be
    // repaired) before it is upgraded; their names are still under the old key.
    const OpenResult read = readRecords();
    return read == OpenResult::Ok ? r : read;
}

OpenResult WalletFile::readRecords() {
    if (!positionAtFirstRecord()) return OpenResult::RecordUnreadable;
    // An old-format wallet's names are still under its stored key.
    if (m_oldFormat) {
        m_oldNameKey.set(m_keys.oldRecordKey.data());
        m_index.setNameKey(&m_oldNameKey);
    }
    // The lookup by identifier is built once all entries are in; deletion markers are sorted out
    // against it then.
    std::vector<std::pair<RecordId, std::uint64_t>> markers;
    m_index.beginBulk();
    // Headers are read where they lie in the cursor's buffer; only a custom icon is copied out.
    RecordCursor cursor(*m_file, RecordCursor::Reading::ReadAhead);
    RecordCursor::View view;
    auto read = [&] {
        for (;;) {
            switch (cursor.next(view)) {
                case RecordCursor::Step::End:
                    return OpenResult::Ok;
                case RecordCursor::Step::Damaged:
                    // A reader passes over a last record the file does not hold whole (a writer
                    // beside it is appending, or an append was cut short by a crash): the wallet
                    // ends before it. A writer offers the repair, which keeps what it can of it.
                    if (m_readOnly && cursor.cutShort()) {
                        m_cutShortAt = cursor.start();
                        return OpenResult::Ok;
                    }
                    return OpenResult::Damaged;
                case RecordCursor::Step::Unreadable:
                    return OpenResult::RecordUnreadable;
                case RecordCursor::Step::Record:
                    break;
            }
            if (getU32(view.header, RecordHeader::kDeletedMark) == 0) {
                m_index.append(view.header, cursor.start());
                if (m_customIconObserver && !view.icon.empty() &&
                    getI32(view.header, RecordHeader::kIconIndex) == RecordHeader::kCustomIcon) {
                    RecordHeader h;
                    std::memcpy(h.raw.data(), view.header, RecordHeader::kSize);
                    h.iconData.assign(view.icon.begin(), view.icon.end());
                    h.loaded = true;
                    noticeIcon(h);
                }
            } else {
                RecordId id;
                std::memcpy(id.bytes.data(), view.header + RecordHeader::kId, 16);
                markers.emplace_back(id, cursor.start());
            }
            if (!cursor.skipBody()) return OpenResult::RecordUnreadable;
        }
    };
    try {
        const OpenResult r = read();
        m_index.endBulk();
        // A deletion marker before every live record with its identifier is the first record
        // with it, as findInFile finds it.
        for (const auto& [id, offset] : markers) {
            const std::int64_t live = m_index.find(id);
            if (live < 0 || m_index.at(static_cast<std::size_t>(live)).offset() > offset)
                m_firstOffsets.try_emplace(id, offset);
        }
        return r;
    } catch (const std::bad_alloc&) {
        m_index.clear();
        return OpenResult::OutOfMemory;
    }
}

void WalletFile::noticeIcon(const RecordHeader& header) const {
    if (m_customIconObserver && header.iconIndex() == RecordHeader::kCustomIcon && !header.iconData.empty())
        m_customIconObserver(header);
}

OpenResult WalletFile::openWithRepair(const std::string& path, std::optional<std::u16string_view> password,
                                      bool readOnly) {
    const OpenResult r = readAll(path, password, readOnly);
    if (r != OpenResult::Damaged) return r;
    std::optional<std::u16string> kept;
    if (password) kept = std::u16string(*password);
    const int scan = repairScan(kept ? std::optional<std::u16string_view>(*kept) : std::nullopt);
    if (scan != 0) {
        if (kept) wipe(kept->data(), kept->size() * sizeof(char16_t));
        return OpenResult::Damaged;
    }
    const OpenResult again = readAll(path, kept ? std::optional<std::u16string_view>(*kept) : std::nullopt, readOnly);
    if (kept) wipe(kept->data(), kept->size() * sizeof(char16_t));
    return again;
}

bool WalletFile::writeInPlace(std::uint64_t at, const std::uint8_t* data, std::size_t size) {
    if (!m_file || m_readOnly) return false;
    std::vector<std::uint8_t> old(size, 0);
    std::size_t got = 0;
    if (!m_file->seekTo(at)) return false;
    const FileResult oldRead = readBlock(m_file.get(), old.data(), size, &got);
    if (!m_file->seekTo(at)) return false;
    // A write whose sync fails has not reached the disk as far as anyone can tell: it failed.
    if (writeBlock(m_file.get(), data, size) == FileResult::Done && m_file->flush()) return true;
    // Put back what was there so that a torn write does not damage the block or record.
    if (oldRead == FileResult::Done && m_file->seekTo(at) &&
        writeBlock(m_file.get(), old.data(), size) == FileResult::Done)
        (void)m_file->flush();
    return false;
}

int WalletFile::flush() {
    // An old-format wallet's blocks are written only by the upgrade, with its records.
    if (!m_file || m_oldFormat) return 0;
    struct Block {
        bool changed;
        std::uint64_t at;
        int code;
    };
    const Block blocks[] = {{m_header.changed, 0, 2},
                            {m_keys.changed, HeaderBlock::kSize, 3},
                            {m_settings.changed, HeaderBlock::kSize + KeyBlock::kSize, 4}};
    for (const Block& b : blocks) {
        if (!b.changed) continue;
        bool ok = false;
        if (b.code == 2) {
            HeaderBlock copy = m_header;
            auto mem = std::make_shared<std::vector<std::uint8_t>>();
            ok = copy.write(makeMemoryFile(mem).get()) == FileResult::Done &&
                 writeInPlace(b.at, mem->data(), mem->size());
        } else if (b.code == 3) {
            auto mem = std::make_shared<std::vector<std::uint8_t>>();
            ok = m_keys.write(makeMemoryFile(mem).get(), m_env.random) == FileResult::Done &&
                 writeInPlace(b.at, mem->data(), mem->size());
        } else {
            ok = writeInPlace(b.at, m_settings.raw.data(), m_settings.raw.size());
        }
        if (!ok) {
            close();
            return b.code;
        }
        if (b.code == 2) m_header.changed = false;
        if (b.code == 4) m_settings.changed = false;
    }
    // Each block was synced as it was written.
    return 0;
}

void WalletFile::close() {
    if (m_file) {
        // Every change was synced as it was written; a reader has nothing to sync.
        if (!m_readOnly) m_file->flush();
        m_file.reset();
        m_env.system.pause(5);
    }
    m_index.clear();
    m_path.clear();
    m_header = HeaderBlock{};
    m_keys.clear();
    m_settings = SettingsBlock{};
    m_readOnly = false;
    m_unprotected = false;
    m_oldFormat = false;
    m_search = SearchResults{};
    m_firstOffsets.clear();
    m_oldNameKey.clear();
    m_index.setNameKey(&m_keys.recordKey);
    m_cutShortAt.reset();
    m_leftoverInTheWay = false;
    m_writeProblem = WriteProblem::None;
}

bool WalletFile::positionAtFirstRecord() {
    return m_file && m_file->seekTo(0) && m_file->seek(static_cast<std::int64_t>(kFirstRecord), SeekFrom::Current);
}

bool WalletFile::findInFile(const RecordId& id, std::uint64_t* at, RecordHeader* header) {
    // Where the first record with this identifier was seen, checked; else a walk from the start.
    const std::optional<std::uint64_t> known = offsetHint(id);
    if (known && m_file && m_file->seekTo(*known)) {
        RecordCursor cursor(*m_file);
        RecordHeader h;
        if (cursor.next(h) == RecordCursor::Step::Record && h.id() == id && m_file->seekTo(cursor.start())) {
            if (at != nullptr) *at = cursor.start();
            if (header != nullptr) *header = std::move(h);
            return true;
        }
        m_firstOffsets.erase(id);
    }
    if (!positionAtFirstRecord()) return false;
    RecordCursor cursor(*m_file, RecordCursor::Reading::ReadAhead);
    RecordHeader h;
    while (cursor.next(h) == RecordCursor::Step::Record) {
        if (h.id() == id) {
            m_file->seekTo(cursor.start());
            if (at != nullptr) *at = cursor.start();
            if (header != nullptr) *header = std::move(h);
            return true;
        }
        if (!cursor.skipBody()) return false;
    }
    return false;
}

std::u16string WalletFile::nameOf(std::size_t position) const {
    if (position >= m_index.count()) return {};
    return m_index.at(position).name();
}

RecordHeader WalletFile::headerAt(std::size_t position) {
    RecordHeader h;
    if (position >= m_index.count() || !m_file) return h;
    const IndexEntry& e = m_index.at(position);
    if (e.offset() != IndexEntry::kNoOffset && m_file->seekTo(e.offset())) {
        RecordCursor cursor(*m_file);
        if (cursor.next(h) == RecordCursor::Step::Record && h.id() == e.id()) return h;
    }
    if (!findInFile(e.id(), nullptr, &h)) return RecordHeader{};
    return h;
}

std::optional<std::uint64_t> WalletFile::offsetHint(const RecordId& id) const {
    const auto first = m_firstOffsets.find(id);
    if (first != m_firstOffsets.end()) return first->second;
    const std::int64_t position = m_index.find(id);
    if (position < 0) return std::nullopt;
    const std::uint64_t offset = m_index.at(static_cast<std::size_t>(position)).offset();
    if (offset == IndexEntry::kNoOffset) return std::nullopt;
    return offset;
}

void WalletFile::shiftOffsets(std::uint64_t from, std::int64_t delta) {
    if (delta == 0) return;
    m_index.shiftOffsets(from, delta);
    for (auto& [id, offset] : m_firstOffsets)
        if (offset >= from) offset = static_cast<std::uint64_t>(static_cast<std::int64_t>(offset) + delta);
}

void WalletFile::keepFirstOffset(const RecordId& id) {
    if (const std::optional<std::uint64_t> first = offsetHint(id)) m_firstOffsets.try_emplace(id, *first);
}

RecordHeader WalletFile::newFolder(const RecordId& parent, bool formsFolder) {
    const SystemTime t = now();
    const RecordId id = recordIds().next(m_env.random, t);
    return RecordHeader::create(formsFolder ? RecordType::FormsFolder : RecordType::Folder, id,
                                formsFolder ? RecordId{} : parent, t);
}

}  // namespace tw
