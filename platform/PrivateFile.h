#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tw {

// Files the program writes out of a wallet (opened and exported attachments, pictures, sounds):
// readable by the user alone and never written through a symbolic link.

enum class PrivateWrite : int { Written = 0, Exists = 1, Failed = 2 };

// Writes `data` to `path`, created with mode 0600 (no execute bit) and O_NOFOLLOW. With
// `onlyIfAbsent` the file is created with O_EXCL and an existing one is left alone (Exists);
// otherwise an existing regular file is replaced and set to 0600. A short or failed write removes
// what was written and gives Failed.
PrivateWrite writePrivateFile(const std::string& path, std::span<const std::uint8_t> data, bool onlyIfAbsent);

// Makes `path` a folder only the user can enter (0700), creating it and its missing parents (each
// created one 0700). False when it exists as something else than a folder of the user's (a link,
// a file, a folder of another user) or cannot be made.
bool makePrivateFolder(const std::string& path);

// Makes sure `path` is a folder (following links, as the user's documents folder may be one),
// creating it and its missing parents with mode 0700. An existing folder keeps its mode.
bool makeFolder(const std::string& path);

// The folder the program's private run-time files go in: $XDG_RUNTIME_DIR/tallowmere, else
// /tmp/tallowmere-<uid>. Not created here.
std::string runtimeFolder();

// Removes a file (never a folder); false when it could not be removed and is still there.
bool removeFile(const std::string& path);

}  // namespace tw
