#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/CardImport.h"
#include "storage/RecordId.h"

namespace tw {

class WalletFile;
struct LocalePatterns;

// Writes an imported table into an open wallet: the new top-level folder (icon 72) when the
// import begins it, then one card per accepted row in that folder, with icon 50, the wallet's
// default card display and every column as a field of kind 15, except the columns whose header
// names a password (isPasswordHeader), which become password fields. A folder of the same name
// at the top level already makes it "name (2)", "name (3)", ... Each record is appended at once.
// A card that cannot be written is counted and skipped; without a folder no card is written.
class WalletImportSink final : public ImportSink {
public:
    explicit WalletImportSink(WalletFile& wallet) : m_wallet(wallet) {}

    void beginFolder(const std::u16string& name) override;
    void addCard(const ImportedCard& card) override;

    // The folder's index position, or -1 when none was made or its write failed.
    std::int64_t folder() const { return m_folder; }
    std::size_t written() const { return m_written; }
    std::size_t failed() const { return m_failed; }

private:
    WalletFile& m_wallet;
    std::int64_t m_folder = -1;
    RecordId m_folderId;
    std::size_t m_written = 0;
    std::size_t m_failed = 0;
};

// The Import command's text import: reads the table at `path` and imports it into `wallet`
// (importCards). Questions and messages go through the wallet's prompt. Returns the number of
// accepted rows.
std::size_t importCardsIntoWallet(WalletFile& wallet, const std::string& path, const LocalePatterns& locale,
                                  bool offerCancel);

// Imports a table already read (importTable) through `sink`, which must write to `wallet`. The
// new folder is named with today's date in the short-date pattern. Returns the accepted rows.
std::size_t importTableIntoWallet(WalletFile& wallet, const ImportTable& table, const LocalePatterns& locale,
                                  bool offerCancel, WalletImportSink& sink);

}  // namespace tw
