#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/Card.h"
#include "platform/Clock.h"
#include "platform/PrivateFile.h"

namespace tw::app {

// A stored attachment name made safe as one file name inside a folder: only what follows the last
// "/" or "\" is kept, control characters are dropped, "." and ".." and a name of dots only become
// "attachment", a leading "-" or "." gets a "_" before it, and the name is cut to 200 bytes of
// UTF-8 without splitting a character.
std::string cleanFileName(std::u16string_view stored);

// The name a written-out file gets: the local date and the cleaned name, "20070305_notes.txt".
std::string datedFileName(const SystemTime& today, std::u16string_view stored);

// True when the name ends in a wallet file's extension (".wal", ".tm5", any case): such a file is
// written out but never opened, so a wallet inside a card cannot be opened by another program.
bool isWalletFileName(std::string_view name);

// The files written for opening attachments while the program runs. Each is remembered once, so
// that all of them can be offered for deletion when the card window closes and at exit.
class TempFiles {
public:
    void remember(const std::string& path);
    const std::vector<std::string>& paths() const { return m_paths; }
    bool empty() const { return m_paths.empty(); }
    // Deletes every remembered file; the list is emptied. Returns how many could not be removed.
    std::size_t deleteAll();
    void forget() { m_paths.clear(); }

private:
    std::vector<std::string> m_paths;
};

// The outcome of writing one attachment out.
struct WriteOut {
    PrivateWrite result = PrivateWrite::Failed;
    std::string path;
};

// Writes data out into `folder` (which must exist) under the dated, cleaned name.
WriteOut writeOut(const std::string& folder, const SystemTime& today, std::u16string_view storedName,
                  std::span<const std::uint8_t> data, bool onlyIfAbsent);

// The folder opened copies go in: "opened" in the program's private run-time folder, made 0700.
// Empty when it cannot be made safely.
std::string openedFilesFolder();

// Opening a file attachment: writes slot `slot` into `folder` (replacing a file of that name) and
// remembers it in `temp`. `open` is false for a wallet file, which is written but not opened and
// not remembered. Empty path when the slot is empty or the write failed.
struct OpenedFile {
    std::string path;
    bool open = false;
};
OpenedFile writeForOpening(const Card& card, std::size_t slot, const std::string& folder, const SystemTime& today,
                           TempFiles& temp);

}  // namespace tw::app
