#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Card.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/StringTable.h"
#include "storage/KeyRecord.h"

namespace tw {

class WalletFile;
struct LocalePatterns;

// Outcome of writing, reading or importing a form-layout file. Not stored anywhere; callers map
// the values to messages.
enum class FormLayoutResult : int {
    Ok = 0,
    CannotOpen = 1,   // the file cannot be opened, or created for writing
    ShortHeader = 2,  // fewer than 468 bytes
    BadSignature = 3,
    BadVersion = 4,
    BadRecord = 5,      // the record is not a card, or its header, icon data or body is cut short or malformed
    NotAForm = 6,       // export: the record is not a card of the forms folder, or cannot be loaded
    WriteFailed = 7,    // a write failed; an existing file of the same name is left as it was
    Declined = 8,       // import: the user answered No
    NoFormsFolder = 9,  // import: the wallet has no forms folder
};

// A form-layout file (".tmx") carries one custom form from one wallet to another. All integers
// little-endian:
//     0  signature, 64 bytes: the 8-bit text "Halvorsgarden" 0xAE " Tallowmere" 0xAE " Pro Form",
//        NUL-terminated, rest zero
//    64  u32 version, 1
//    68  description, 256 bytes: UTF-16LE, up to 127 characters, NUL-terminated, rest zero
//   324  author, 128 bytes: UTF-16LE, up to 63 characters, NUL-terminated, rest zero
//   452  SYSTEMTIME of writing, local time
//   468  the form card's 748-byte record header, its own, parent and form identifiers zero and its
//        name enciphered under the form-file key
//  1216  the custom icon data the record header announces, then the card body, under the same key
namespace form_layout {
constexpr std::size_t kSignature = 0;
constexpr std::size_t kSignatureSize = 64;
constexpr std::size_t kVersion = 64;
constexpr std::size_t kDescription = 68;
constexpr std::size_t kDescriptionSize = 256;
constexpr std::size_t kAuthor = 324;
constexpr std::size_t kAuthorSize = 128;
constexpr std::size_t kWritten = 452;
constexpr std::size_t kHeaderSize = 468;
constexpr std::uint32_t kCurrentVersion = 1;
static_assert(kAuthor + kAuthorSize == kWritten && kWritten + 16 == kHeaderSize);
}  // namespace form_layout

// The header's texts and time, as read or to be written.
struct FormLayoutHeader {
    static constexpr std::size_t kMaxDescription = 127;  // longer texts are cut when written
    static constexpr std::size_t kMaxAuthor = 63;

    std::u16string description;
    std::u16string author;
    SystemTime written;
};

// The key of every form-layout file: MD5 of the first 16 bytes of the UTF-16LE form of the fixed
// pass phrase "quillbark". A wallet's own keys are never used for these files.
KeyRecord formFileKey();

// The name of an exported form's file: the form's name with each of \ / : * ? " < > | replaced by
// "_", then "_", day and month as two digits each, the four-digit year, and ".tmx".
std::u16string formFileName(std::u16string_view formName, const SystemTime& today);

// Writes `form` (a card with its header, name enciphered under `walletKey`) as a form-layout file
// at the file's position, with the header's texts and time. The card is not changed: a copy gets
// zero identifiers, the name under the form-file key and, unless `keepValues`, every field's
// value and date removed. CannotOpen for a null file, BadRecord for a card without a header,
// WriteFailed when a write fails or is short.
FormLayoutResult writeFormLayout(File* file, const Card& form, const KeyRecord& walletKey, bool keepValues,
                                 const FormLayoutHeader& header);

// Reads a form-layout file from the start of `file` into `*card` and `*header`. On success the
// card holds the form's record header with the name enciphered under `walletKey` (identifiers as
// stored, that is zero) and its fields and attachments in memory, ready to be written to a wallet.
// Header texts that fill their field without a terminator are cut to 127 and 63 characters. On
// failure the card is released. Every length read is checked against the file's size before
// anything is read or allocated for it.
FormLayoutResult readFormLayout(File* file, const KeyRecord& walletKey, Card* card, FormLayoutHeader* header);

// What Export Form needs beyond the form.
struct FormExportOptions {
    std::string folder;  // an existing folder; the file is written into it
    bool keepValues = false;
    std::u16string description;
    std::u16string author;
};

// Exports the form card at index `position` (a card of the wallet's forms folder) into
// options.folder under formFileName(name, today). An existing file of that name is replaced only
// once the new one is written whole. `*path` (optional) receives the file's path. On success the
// prompt tells message 22020 (folder and file name; caption 20505); when the file cannot be made,
// message 23017 (caption 20500).
FormLayoutResult exportForm(WalletFile& wallet, std::size_t position, const FormExportOptions& options,
                            std::string* path = nullptr);

// The confirmation text of Import Form: string 22025 and a blank line; then string 22026 and the
// form's name (cut to 28 characters followed by "..." when longer), string 22027 and the
// description, string 22028 and the author, each on its own line and only when not empty; then
// string 22029 and the date of writing in the short-date pattern with a four-digit year.
std::u16string importFormQuestion(const FormLayoutHeader& header, std::u16string_view formName,
                                  const StringTable& strings, const LocalePatterns& locale);

// Imports the form-layout file at `path` into the wallet's forms folder: reads it, asks the
// importFormQuestion (Yes/No, caption 20504) and on Yes appends the form as a new record with a
// new identifier. `*position` (optional) receives its index position. Nothing is written unless
// the file reads whole and the user agrees.
FormLayoutResult importForm(WalletFile& wallet, const std::string& path, const LocalePatterns& locale,
                            std::int64_t* position = nullptr);

}  // namespace tw
