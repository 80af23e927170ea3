#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw::app {

// The wallet files the wallets manager lists, and what it does to them: new names, copies,
// renames and deletions. Paths are UTF-8; a wallet is known by its canonical path, so
// "Home.tm5" and "home.tm5" are two wallets, and one file seen through two mounts or a link is
// one. Nothing here asks the user: results are plain values that the window turns into messages.

// One listed wallet.
struct WalletEntry {
    std::string path;        // canonical path
    std::u16string name;     // file name without folder and extension
    bool older = false;      // an older ".wal" wallet (read by conversion only)
    bool removable = false;  // found on removable media
    bool operator==(const WalletEntry&) const = default;
};

// A folder to look in: the documents folder, or a mounted removable medium.
struct ScanPlace {
    std::string folder;
    bool removable = false;
};

// How far a scan goes. A place that does not answer within `timeLimit` (a slow or vanished
// mount) is given up and reported; its worker finishes on its own, the caller never waits longer.
struct ScanLimits {
    std::chrono::milliseconds timeLimit{2500};
    int maxDepth = 3;                 // folders below the place's own
    std::size_t maxEntries = 200000;  // directory entries read per place
};

struct ScanResult {
    std::vector<WalletEntry> wallets;     // sorted (sortWallets)
    std::vector<std::string> unfinished;  // places given up (time limit or entry bound)
};

// Lists the ".tm5" and ".wal" files (extension in any case) in the places and their sub-folders
// (hidden folders are skipped), each canonical path once. The file system is read on worker
// threads; the call returns within about `timeLimit` whatever the places do.
ScanResult scanWallets(const std::vector<ScanPlace>& places, const ScanLimits& limits = {});

// Current wallets before older ones, each group by name without regard to case, then by path.
void sortWallets(std::vector<WalletEntry>& wallets);

// The mount points of removable media in a mount table (the text of /proc/self/mounts): the
// mounts below /media/ and /run/media/ (where the desktop mounts memory cards and USB sticks).
// Octal escapes in mount points ("\040" for a space) are decoded.
std::vector<std::string> removableMounts(std::string_view mountTable);
// The same for this machine (reads /proc/self/mounts); empty when it cannot be read.
std::vector<std::string> removableMounts();

// --- Names ----------------------------------------------------------------------------------
enum class NameCheck {
    Ok,
    Empty,          // nothing typed: the new-wallet dialog treats it as Cancel
    ForbiddenChar,  // one of \ / : * ? " < > |
    ControlChar,    // a control character (below U+0020, U+007F)
    Dots,           // "." or ".."
    TooLong,        // the file name with its extension exceeds 255 bytes
};
// Checks a wallet name typed by the user (without extension); `extension` is the one the file
// will get (".tm5").
NameCheck checkWalletName(std::u16string_view name, std::string_view extension = ".tm5");

// Where a new wallet of that name goes in `folder`; nullopt when a file (or anything else) of
// that name is there already, or the folder cannot be looked at. `folder` is created first
// when `createFolder` (the documents folder on a removable medium).
enum class NewPathResult { Ok, Exists, NoFolder };
struct NewPath {
    NewPathResult result = NewPathResult::NoFolder;
    std::string path;
};
NewPath newWalletPath(const std::string& folder, std::u16string_view name, bool createFolder);

// --- Changes --------------------------------------------------------------------------------
struct FileOutcome {
    bool ok = false;
    int error = 0;     // errno of the failure (EEXIST when every copy name was taken)
    std::string path;  // the copy's or the renamed file's path
};

// Copies a wallet beside itself as "<name>(N)<ext>" for the first N from 2 to 32 that names no
// file; an existing file is never overwritten (the name is taken with O_EXCL). The copy keeps the
// file's permission bits, and its owner and group where the user may set them; it is written to
// disk before success is reported. A failed copy leaves no partial file.
FileOutcome copyWallet(const std::string& path);

// Deletes the one file at `path`: never a folder, and a symbolic link is removed as a link (what
// it points to stays).
FileOutcome deleteWallet(const std::string& path);

// Renames a wallet within its folder to `newName` plus its own extension, never over an existing
// file. When `mru` (the last wallet) names the wallet, it is changed to the new path. The name
// must pass checkWalletName (EINVAL otherwise).
FileOutcome renameWallet(const std::string& path, std::u16string_view newName, std::u16string* mru);

// The canonical path of an existing file; the path as given when it cannot be resolved.
std::string canonicalPath(const std::string& path);

// The system's text for an errno value.
std::string errorText(int error);

}  // namespace tw::app
