#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Env.h"
#include "storage/HeaderBlock.h"
#include "storage/KeyBlock.h"
#include "storage/SettingsBlock.h"
#include "storage/WalletIndex.h"

namespace tw {

class Card;

enum class OpenResult : int {
    Ok = 0,
    BadPath = 1,           // no path, or shorter than 6 characters
    CannotOpen = 2,        // the file cannot be opened
    RecordUnreadable = 3,  // a record could not be read and nothing of it was read
    BadKeyBlock = 4,
    BadSettingsBlock = 5,
    NotAWallet = 7,  // too short, header unreadable, signature wrong; also a repair declined
    BadVersion = 8,
    WrongPassword = 10,
    OutOfMemory = 12,
    Damaged = 13,    // some bytes were read but they are not a record
    OldFormat = 14,  // old format, upgrade agreed to: the caller runs it (storage/FormatUpgrade.h)
    UpgradeDeclined = 16,
};

// The icon of a folder the user makes, and of the folders the program makes for the user.
constexpr std::int32_t kNewFolderIcon = 72;

// What a repair scan did (WalletFile::repairScan).
struct RepairReport {
    std::int64_t changes = 0;  // changes made to the file; 0: no damage was found
    // The copy of the wallet as it was before the first change; empty when nothing changed.
    std::string backupPath;
    bool backupFailed = false;  // the copy could not be made, so nothing was changed
    // Records by name (records without a name are counted in `changes` only):
    std::vector<std::u16string> removed;    // cut out: a header the file held only in part, or a false start
    std::vector<std::u16string> emptied;    // kept without icon data and body: their lengths were wrong
    std::vector<std::u16string> shortened;  // the last record, cut short: kept with what the file held of it
    std::vector<std::u16string> rehomed;    // had no folder; moved into `rehomeFolder`
    std::u16string rehomeFolder;
    // Fixed blocks mended (each counted in `changes`), once the password check verified:
    bool headerRewritten = false;    // the header's signature or version was damaged: written anew
    bool keyMagicsRestored = false;  // the key block's magics were damaged: put back
    bool settingsRebuilt = false;    // the settings block's magics were damaged: made anew
    bool favouritesKept = false;     // ... keeping its favourites
    bool closeTimeKept = false;      // ... keeping its closing time
};

// String ids of the repair scan's texts (besides 22164 to 22166, which it shows as they are).
namespace repair_text {
constexpr std::uint32_t kNoDamage = 22167;    // %s: the wallet's path
constexpr std::uint32_t kBackup = 22168;      // %s: the copy's path
constexpr std::uint32_t kRemoved = 22169;     // %s: names
constexpr std::uint32_t kEmptied = 22170;     // %s: names
constexpr std::uint32_t kShortened = 22171;   // %s: names
constexpr std::uint32_t kRehomed = 22172;     // %s: the folder's name, %s: names
constexpr std::uint32_t kNoBackup = 22173;    // %s: the copy's path
constexpr std::uint32_t kFolderName = 20521;  // the folder that takes records whose folder is missing
constexpr std::uint32_t kHeaderRewritten = 29520;
constexpr std::uint32_t kKeyMagicsRestored = 29521;
constexpr std::uint32_t kSettingsRebuilt = 29522;  // %s: what was kept, or "nothing"
constexpr std::uint32_t kKeptFavourites = 29523;
constexpr std::uint32_t kKeptCloseTime = 29524;
constexpr std::uint32_t kKeptNothing = 29525;
}  // namespace repair_text

// Why the last change that replaces the file whole failed, where it can be told.
enum class WriteProblem {
    None,
    LeftoverInTheWay,  // <wallet>.~new is there and cannot be removed (a folder, or not ours)
    OwnerNotKept,      // the new file could not be given the wallet's owner, group, mode or attributes
};

// The find results kept with the open wallet: index positions and the text searched for.
struct SearchResults {
    static constexpr std::size_t kMax = 48;
    std::vector<std::size_t> positions;
    std::u16string text;
};

// The one open wallet: its file, its three blocks, its keys and the index of its record headers.
//
// Changes reach the file at once. Appends go to the end of the file; headers that keep their
// size are rewritten where they lie; everything that removes bytes (saving a changed card,
// deleting, repairing, changing the password) writes the new file beside the old one and swaps
// it in, so that a failure at any point leaves either the old or the new wallet, never a mix.
class WalletFile {
public:
    explicit WalletFile(Env& env);
    ~WalletFile();
    WalletFile(const WalletFile&) = delete;
    WalletFile& operator=(const WalletFile&) = delete;

    // --- Opening and closing --------------------------------------------------------------
    // Loads the blocks; the file is left at the first record. A wallet whose check value is
    // all zero was keyed with the fallback pass phrase: it opens with that key whatever the
    // password, and `unprotected()` tells so.
    //
    // An old-format wallet asks the user whether to upgrade it (declined: UpgradeDeclined, the
    // wallet closed) and gives OldFormat with the wallet open, its blocks in memory already in the
    // current form and `keys().oldRecordKey` holding the key of its records. Nothing is written:
    // the caller runs the upgrade (storage/FormatUpgrade.h) or closes the wallet, which leaves the
    // file as it was. The user's agreement is remembered for that path until
    // forgetUpgradeAgreement(), so reopening it on the way to the upgrade does not ask again.
    OpenResult open(const std::string& path, std::optional<std::u16string_view> password, bool readOnly);
    // Open, then read every record header into the index (also for OldFormat, which it then
    // returns unless a record cannot be read).
    OpenResult readAll(const std::string& path, std::optional<std::u16string_view> password, bool readOnly);
    // readAll; on a damaged record, the repair scan and a second reading.
    OpenResult openWithRepair(const std::string& path, std::optional<std::u16string_view> password, bool readOnly);
    // Writes the changed blocks. 0 when done; 2, 3 or 4 when writing the header, key or
    // settings block failed, and the wallet is then closed. An old-format wallet writes nothing.
    int flush();
    // Closes without writing the blocks (callers flush first); wipes keys and buffers.
    void close();

    bool isOpen() const { return m_file != nullptr; }
    bool readOnly() const { return m_readOnly; }
    bool unprotected() const { return m_unprotected; }
    bool oldFormat() const { return m_oldFormat; }
    void forgetUpgradeAgreement() { m_upgradeAgreed.clear(); }
    // Read-only opens: where the last record starts when the file does not hold it whole and it
    // was left out (the wallet is read up to it); nullopt when the file ends with a whole record.
    std::optional<std::uint64_t> cutShortAt() const { return m_cutShortAt; }
    // The file a whole-file replacement writes before it swaps it in: <wallet>.~new beside the
    // file the path finally names. A writer's open removes one left by a run that was killed.
    std::string replacementPath() const { return m_env.files.resolve(m_path) + ".~new"; }
    // True when a leftover replacement file was found at the writer's open and could not be
    // removed: every change that replaces the file whole fails until it is gone.
    bool leftoverInTheWay() const { return m_leftoverInTheWay; }
    // Why the last whole-file replacement failed, as far as known.
    WriteProblem writeProblem() const { return m_writeProblem; }
    const std::string& path() const { return m_path; }
    Env& env() { return m_env; }
    File* file() { return m_file.get(); }

    HeaderBlock& header() { return m_header; }
    KeyBlock& keys() { return m_keys; }
    SettingsBlock& settings() { return m_settings; }
    const KeyRecord& recordKey() const { return m_keys.recordKey; }
    WalletIndex& index() { return m_index; }
    const WalletIndex& index() const { return m_index; }
    SearchResults& searchResults() { return m_search; }

    // Called with every record that holds custom icon data (icon index -1) as it enters the
    // index: read while the records are read, appended, saved or rewritten. The program's list of
    // the wallet's custom icons registers them from here. Empty for none; kept across close.
    using CustomIconObserver = std::function<void(const RecordHeader&)>;
    void setCustomIconObserver(CustomIconObserver observer) { m_customIconObserver = std::move(observer); }

    // --- Reading ---------------------------------------------------------------------------
    static constexpr std::uint64_t kFirstRecord = HeaderBlock::kSize + KeyBlock::kSize + SettingsBlock::kSize;
    bool positionAtFirstRecord();
    // Looks for the record (deletion markers included) from the first record on. On a match
    // the file is left at its header, `*at` receives its position and `*header` the header.
    bool findInFile(const RecordId& id, std::uint64_t* at, RecordHeader* header = nullptr);
    // The live card with that identifier, with its body read; nullptr when not found or unreadable.
    std::unique_ptr<Card> loadCard(const RecordId& id);
    // The name of an index entry.
    std::u16string nameOf(std::size_t position) const;
    // The whole header of an index entry (with its custom icon data), read from the file; a header
    // that is not `loaded` when it cannot be read.
    RecordHeader headerAt(std::size_t position);

    // --- Writing ---------------------------------------------------------------------------
    // Each returns the index position, or -1 when nothing was written (the file is as before).
    std::int64_t appendFolder(const RecordHeader& header);
    std::int64_t appendCard(Card& card);
    std::int64_t saveFolder(const RecordHeader& header);
    std::int64_t saveCard(Card& card);
    // Rewrites a live record's header where it lies and updates its index entry.
    //
    // Writing over a stored record (rewriteHeader, saveFolder, saveCard) sets the change bits of
    // what it changes, with the change time: 0x02 parent, 0x04 name, 0x10 icon (index or custom
    // icon data), 0x40 form reference and, for a card, 0x20 its body. What it leaves as it was
    // sets no bit and keeps the change time.
    bool rewriteHeader(const RecordHeader& header);
    // Gives the record a new parent (change bit 0x02) and rewrites its header.
    bool move(std::size_t position, const RecordId& folder);
    // Renames an index entry (no change when the name is the same) and rewrites its header.
    bool rename(std::size_t position, std::u16string_view name);
    // Deletes a record: out of the favourites and the find results, a deletion marker left in
    // the file and the body cut out. False (and the entry stays live) when the file was not changed.
    bool remove(std::size_t position);

    // --- Creating (nothing is written until appended) ---------------------------------------
    RecordHeader newFolder(const RecordId& parent, bool formsFolder);
    // A card header in `parent` with an empty body whose display settings come from the
    // settings block.
    std::unique_ptr<Card> newCard(const RecordId& parent);

    // --- Primitives --------------------------------------------------------------------------
    // Removes `length` bytes at `position`. True when done.
    bool cutFileRange(std::uint64_t position, std::uint64_t length);
    // Scans the file record by record and cuts out what is not a record, asking first (strings
    // 22164, 22165). Where a record does not end where the next begins, the bytes between are cut
    // out; a false record start is cut out; a record whose lengths overrun the next record keeps
    // its header alone; the file ends where its last record ends, and a last record cut short
    // keeps what the file holds of it whole (its header; its icon data when whole; of a card, the
    // display block, completed from the wallet's defaults when cut, and every whole sub-record).
    // Then (current-format wallets) live records the folder tree cannot reach from the top level
    // are moved into a top-level folder named by string 20521 (one of that name is reused), the
    // forms folder to the top level. Only real changes are counted. Before the first change the
    // wallet is copied to <path>.bak, replacing an older copy; when that fails nothing is changed.
    // The user is told what was done, naming the records concerned (or that no damage was
    // found). Returns 0 when it ran, 7 when declined, else the result of reopening; `*report`
    // (may be null) receives the details. The wallet is closed afterwards.
    //
    // Damaged fixed blocks are mended first, when the password check verifies: a header whose
    // signature or version text is damaged is written anew, the key block's magics are put back,
    // and a settings block whose magics are damaged is rebuilt (SettingsBlock::rebuiltFrom).
    int repairScan(std::optional<std::u16string_view> password, RepairReport* report = nullptr);
    // The same for a wallet that is not open (one whose blocks keep it from opening).
    int repairScan(const std::string& path, std::optional<std::u16string_view> password,
                   RepairReport* report = nullptr);

    // Replaces the whole file by what `produce` writes to a new file beside it, atomically.
    // `produce` gets the old file (at an unspecified position) and the new one (empty).
    bool replaceFile(const std::function<bool(File& oldFile, File& newFile)>& produce);
    // Copies `length` bytes from `from` at `offset` to the current position of `to`.
    bool copyRange(File& from, std::uint64_t offset, std::uint64_t length, File& to);

private:
    // Records may be written: the wallet is open for writing and is not an old-format wallet
    // waiting for its upgrade (its records are under the old key until then).
    bool recordsWritable() const { return m_file && !m_readOnly && !m_oldFormat; }
    OpenResult loadBlocks(std::optional<std::u16string_view> password);
    bool askUpgrade();
    OpenResult readRecords();
    // Repair steps: the last record at `at`, cut short by the file's end of `size`; the records
    // the folder tree cannot reach, after the scan.
    bool keepCutShortRecord(std::uint64_t at, std::uint8_t* window, std::uint64_t size);
    void rehomeUnreachable(RepairReport& report, const std::function<bool()>& backUp);
    std::int64_t appendRecord(const RecordHeader& header, const std::vector<std::uint8_t>* body);
    bool writeInPlace(std::uint64_t at, const std::uint8_t* data, std::size_t size);
    std::size_t blockSize();
    // True when the file holds exactly `bytes` at `at`, `length` bytes long.
    bool sameBytes(std::uint64_t at, std::uint64_t length, const std::vector<std::uint8_t>& bytes);
    SystemTime now() { return m_env.clock.localTime(); }
    // Tells the custom-icon observer about a header that entered the index.
    void noticeIcon(const RecordHeader& header) const;
    // Where findInFile looks first for the record with this identifier.
    std::optional<std::uint64_t> offsetHint(const RecordId& id) const;
    // The file was rewritten with `delta` bytes added (or cut) before offset `from`.
    void shiftOffsets(std::uint64_t from, std::int64_t delta);
    // Before a record with this identifier is appended: the record found first so far stays so.
    void keepFirstOffset(const RecordId& id);

    Env& m_env;
    std::unique_ptr<File> m_file;
    std::string m_path;
    bool m_readOnly = false;
    bool m_unprotected = false;
    bool m_oldFormat = false;
    std::string m_upgradeAgreed;  // the path whose upgrade the user agreed to; kept across close
    HeaderBlock m_header;
    KeyBlock m_keys;
    SettingsBlock m_settings;
    WalletIndex m_index;
    SearchResults m_search;
    // Where the first record with an identifier starts when that is not the record of its index
    // entry (a deletion marker read, or a record appended after an earlier one with the same
    // identifier). Index entries know their own offsets. Only hints: what is found is checked.
    std::unordered_map<RecordId, std::uint64_t, RecordIdHash> m_firstOffsets;
    // The key of an old-format wallet's records, for their names in the index.
    KeyRecord m_oldNameKey;
    CustomIconObserver m_customIconObserver;
    std::optional<std::uint64_t> m_cutShortAt;
    // Set by the repair while it opens the wallet: damaged fixed blocks are mended (see repairScan).
    bool m_mendBlocks = false;
    RepairReport* m_blockMends = nullptr;
    bool m_leftoverInTheWay = false;
    WriteProblem m_writeProblem = WriteProblem::None;
};

}  // namespace tw
