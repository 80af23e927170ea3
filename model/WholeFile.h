#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/File.h"

namespace tw {

enum class WholeFileResult : int {
    Done = 0,
    CannotOpen = 1,  // missing, or the open call failed
    Empty = 2,       // size 0
    TooLarge = 3,    // larger than the caller's limit: never held in memory
    CannotRead = 4,  // the size query or a read failed, or the file ended early
};

// Reads a whole outside file (opened for reading, others may read) into `*bytes`, in one
// allocation of exactly the file's size. Files above `maxBytes` are refused before anything is
// allocated. On any failure `*bytes` is left empty.
WholeFileResult readWholeFile(FileSystem& files, const std::string& path, std::size_t maxBytes,
                              std::vector<std::uint8_t>* bytes);

}  // namespace tw
