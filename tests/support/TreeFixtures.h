#pragma once

#include <functional>
#include <string>

#include "model/Card.h"
#include "model/FolderTree.h"
#include "storage/WalletFile.h"
#include "support/TestEnv.h"

namespace tw::test {

// A wallet in memory (at kWalletPath, holding only its forms folder) to which tests add folders
// and cards by name.
class FixtureWallet {
public:
    FixtureWallet();

    // A folder header with a new identifier, not yet written.
    RecordHeader folderHeader(const std::u16string& name, const RecordId& parent = {}, bool forms = false);
    // Appends a header; returns its index position.
    std::size_t append(const RecordHeader& header);
    std::size_t addFolder(const std::u16string& name, const RecordId& parent = {});
    // A card in `parent`; `fill` adds fields and attachments before it is written.
    std::size_t addCard(const std::u16string& name, const RecordId& parent,
                        const std::function<void(Card&)>& fill = {});
    RecordId id(std::size_t position) const { return wallet.index().at(position).id(); }
    std::size_t formsFolder() const { return static_cast<std::size_t>(wallet.index().formsFolder()); }

    TestEnv t;
    WalletFile wallet{t.env};
};

// Adds a field of `kind` with a name and a value (a date for the date kinds is set separately).
Field& addField(Card& card, std::uint16_t kind, const std::u16string& name, const std::u16string& value);

// The tree as text: two spaces per level, special entries in brackets, folders ending in "/".
std::string renderTree(const FolderTree& tree);

}  // namespace tw::test
