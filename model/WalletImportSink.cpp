#include "model/WalletImportSink.h"

#include <memory>

#include "model/Card.h"
#include "model/DisplayText.h"
#include "model/FieldKind.h"
#include "model/UniqueName.h"
#include "storage/WalletFile.h"

namespace tw {

void WalletImportSink::beginFolder(const std::u16string& name) {
    RecordHeader folder = m_wallet.newFolder(RecordId{}, false);
    // A second import on the same day makes a folder of its own name.
    folder.putName(uniqueName(m_wallet, RecordId{}, name), m_wallet.recordKey());
    folder.setIconIndex(kImportFolderIcon);
    m_folder = m_wallet.appendFolder(folder);
    if (m_folder >= 0) m_folderId = folder.id();
}

void WalletImportSink::addCard(const ImportedCard& imported) {
    if (m_folder < 0) {
        ++m_failed;
        return;
    }
    std::unique_ptr<Card> card = m_wallet.newCard(m_folderId);
    RecordHeader& h = *card->header();
    h.putName(imported.name, m_wallet.recordKey());
    h.setIconIndex(kImportCardIcon);
    bool ok = true;
    for (const ImportedField& f : imported.fields) {
        // Columns headed as passwords become password fields, masked like any other.
        const std::uint16_t kind = isPasswordHeader(f.name) ? field_kind::kPassword : kImportFieldKind;
        Field* field = card->newField(kind, m_wallet.env().strings);
        if (field == nullptr) {
            ok = false;
            break;
        }
        field->setName(f.name);
        field->setValue(f.value);
    }
    if (ok && m_wallet.appendCard(*card) >= 0) {
        ++m_written;
    } else {
        ++m_failed;
    }
}

std::size_t importCardsIntoWallet(WalletFile& wallet, const std::string& path, const LocalePatterns& locale,
                                  bool offerCancel) {
    Env& env = wallet.env();
    WalletImportSink sink(wallet);
    const ImportSettings settings{formatShortDate(env.clock.localTime(), locale), offerCancel};
    return importCards(env.files, path, env.strings, env.prompt, sink, settings);
}

std::size_t importTableIntoWallet(WalletFile& wallet, const ImportTable& table, const LocalePatterns& locale,
                                  bool offerCancel, WalletImportSink& sink) {
    Env& env = wallet.env();
    const ImportSettings settings{formatShortDate(env.clock.localTime(), locale), offerCancel};
    return importTable(table, env.strings, env.prompt, sink, settings);
}

}  // namespace tw
