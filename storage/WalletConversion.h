#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/Env.h"
#include "platform/Registry.h"

namespace tw {

// Result of converting an older wallet. The values are fixed: callers map them to messages.
enum class ConvertResult : int {
    Ok = 0,
    MissingArgument = 1,
    WrongPassword = 2,
    CannotOpen = 3,  // the old file cannot be opened
    NotOldWallet = 4,
    ReadFailed = 5,  // the old file cannot be read for another reason
    OutOfMemory = 6,
    Exists = 7,          // a file with the new name exists already; it is not touched
    CannotCreate = 8,    // the new wallet could not be created, opened or written
    NoFolder = 9,        // the old wallet holds no folder
    NoCustomForms = 10,  // the custom forms file the old wallet names cannot be found
};

// String id of the name of the note field a converted card gets.
constexpr std::uint32_t kConvertedNoteNameId = 24516;
// The file class of older wallets, whose "<class>\DefaultIcon" key under HKEY_CLASSES_ROOT names
// the folder of the program that registered them.
constexpr std::u16string_view kOldWalletClass = u"halvotallowmerefile";

struct ConversionOptions {
    // The new wallet's path; empty: the old path with its extension replaced by ".tm5".
    std::string newPath;
    // Where the custom forms file an older wallet names is looked for: first in this folder (the
    // running program's; empty skips it), then in the folder of the program that registered
    // older wallets, as `registry` (may be null) tells.
    std::string programFolder;
    Registry* registry = nullptr;
};

// Converts an older wallet (".wal") into a new wallet with the same password, with one top-level
// folder per old folder and the old folders' cards in them: names, icons, fields by the cards'
// built-in or custom forms, the note, picture, sound, bold names and values and colours. Cards of
// no known folder are left out. The old file is only read.
//
// The new wallet is written under a temporary name beside the new path and renamed to it only
// once complete, so a failure or an interruption never leaves a partial wallet under the new
// name (a second attempt would refuse it with Exists). `*newPath` receives the new path (also on
// failure, for the messages). MissingArgument when the old path, the password or `newPath` is
// missing.
ConvertResult convertOldWallet(Env& env, const std::string& oldPath, std::optional<std::u16string_view> password,
                               const ConversionOptions& options, std::string* newPath);

// The path with its extension (after the last "." of the file name) replaced by `extension`,
// or with `extension` added when it has none.
std::string withExtension(const std::string& path, std::string_view extension);

}  // namespace tw
