#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/DisplayText.h"
#include "model/FolderTree.h"
#include "storage/RecordId.h"

namespace tw {

class Card;
class KeyRecord;
class WalletFile;

// Success of a text export: 1 when the file was written, 0 when it was not.
enum class ExportResult : int { Failed = 0, Ok = 1 };

struct ExportOptions {
    std::string targetFolder;  // the folder the wallet's export folder is made in (UTF-8)
    bool attachments = false;  // write file attachments next to the text file
    bool passwords = false;    // write password fields in clear (else "********")
};

struct ExportReport {
    ExportResult result = ExportResult::Failed;
    std::string path;                    // the text file, when one was created
    std::size_t cards = 0;               // card blocks written
    std::size_t cardsLeftOut = 0;        // cards that could not be loaded
    std::size_t cardsDamaged = 0;        // cards written with what could be read of a damaged body
    std::size_t recoveredCards = 0;      // cards written under the recovered entry (their folder is missing)
    std::size_t attachmentFiles = 0;     // attachment files written
    std::size_t attachmentsLeftOut = 0;  // attachment files that could not be written
};

// String ids of the export texts.
namespace export_text {
constexpr std::uint32_t kFolderWord = 20516;
constexpr std::uint32_t kRule = 22138;
constexpr std::uint32_t kTitle = 22142;
constexpr std::uint32_t kWalletName = 22143;  // %s: the wallet's file name without folder and extension
constexpr std::uint32_t kWalletPath = 22144;  // %s: the wallet's path
constexpr std::uint32_t kExportedAt = 22145;  // %s: date and time
constexpr std::uint32_t kNoData = 22149;
constexpr std::uint32_t kAttachmentFile = 22150;  // %s: the attachment file's name
}  // namespace export_text

// Text exports of an open wallet. Each makes the folder <targetFolder>/<wallet base name> (an
// existing one is fine) and writes, created anew, the text file <that folder>/<name>_DDMMYYYY.txt
// (today's date from the wallet's clock): UTF-16LE with the mark FF FE, CR LF line ends, the title
// block, then folder headings and card blocks. <name> is the wallet's base name, or the folder's
// or card's name with \ / : * ? " < > | replaced by "_". Texts come from the wallet's string table.
//
// Card block: a rule, the card's name, a rule; "name: text" for every field whose display text
// is not empty (passwords as eight asterisks unless included); an empty line, or string 22149
// when no field was written. With attachments, every file slot in use is written next to the
// text file as "%03d_%s" (running number, name) followed by a line 22150 naming it, or a single
// empty line when none was written. Numbers run from 1 for a wallet or folder export, from 0 for
// a card export, and count only files written.
//
// A card that cannot be loaded is left out and the export goes on; a card whose body is damaged
// is written with the fields and attachments that could be read of it, and counted; an
// attachment file that cannot be written is left out. The result is Failed when the text file cannot be created or
// written (a partly written file is removed).

// The whole wallet: `tree` (built from this wallet) in pre-order. The favourites and find-results
// entries and what lies under them are skipped; folders, forms folders and the recovered entry
// get a heading with the names of up to 8 enclosing folders, " > " after each, then their own;
// every card is written, those whose folder is missing under the recovered entry's heading
// (counted in recoveredCards).
ExportReport exportWallet(WalletFile& wallet, const FolderTree& tree, const ExportOptions& options,
                          const LocalePatterns& locale);

// One tree node and everything below it, in pre-order: cards as card blocks, every other node
// (folders, a special entry) a heading built from the tree's labels. The file is named after the
// node's label. Failed when `node` is not a node of `tree`.
ExportReport exportFolder(WalletFile& wallet, const FolderTree& tree, std::size_t node, const ExportOptions& options,
                          const LocalePatterns& locale);

// One live card, found by its identifier. Failed (no file) when there is no such card.
ExportReport exportCard(WalletFile& wallet, const RecordId& card, const ExportOptions& options,
                        const LocalePatterns& locale);

// The text the Copy command places on the clipboard: the card's name and two CR LF, then
// "name: display text" and two CR LF for every field whose display text is not empty, passwords
// in clear. Empty when no field has a display text (nothing is copied then). The text holds
// secrets: the caller wipes it when done.
std::u16string cardClipboardText(const Card& card, const KeyRecord& recordKey, const LocalePatterns& locale,
                                 const StringTable& strings);

// A file name made from user text: \ / : * ? " < > | become "_"; the text ends at a NUL.
std::u16string safeFileName(std::u16string_view text);

}  // namespace tw
