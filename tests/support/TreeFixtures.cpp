#include "support/TreeFixtures.h"

#include <gtest/gtest.h>

#include "platform/Text.h"
#include "storage/CreateWallet.h"

namespace tw::test {

FixtureWallet::FixtureWallet() {
    EXPECT_EQ(createWallet(t.env, kWalletPath, kPassword, std::nullopt, false), CreateResult::Ok);
    EXPECT_EQ(wallet.readAll(kWalletPath, kPassword, false), OpenResult::Ok);
}

RecordHeader FixtureWallet::folderHeader(const std::u16string& name, const RecordId& parent, bool forms) {
    RecordHeader h = wallet.newFolder(parent, forms);
    h.putName(name, wallet.recordKey());
    t.tick();  // identifiers and times differ from record to record
    return h;
}

std::size_t FixtureWallet::append(const RecordHeader& header) {
    const std::int64_t at = wallet.appendFolder(header);
    EXPECT_GE(at, 0);
    return static_cast<std::size_t>(at);
}

std::size_t FixtureWallet::addFolder(const std::u16string& name, const RecordId& parent) {
    return append(folderHeader(name, parent));
}

std::size_t FixtureWallet::addCard(const std::u16string& name, const RecordId& parent,
                                   const std::function<void(Card&)>& fill) {
    std::unique_ptr<Card> card = wallet.newCard(parent);
    card->header()->putName(name, wallet.recordKey());
    if (fill) fill(*card);
    t.tick();
    const std::int64_t at = wallet.appendCard(*card);
    EXPECT_GE(at, 0);
    return static_cast<std::size_t>(at);
}

Field& addField(Card& card, std::uint16_t kind, const std::u16string& name, const std::u16string& value) {
    Field field;
    field.setKind(kind, StringTable{});
    field.setName(name);
    field.setValue(value);
    EXPECT_TRUE(card.addField(std::move(field)));
    return card.field(card.fieldCount() - 1);
}

std::string renderTree(const FolderTree& tree) {
    std::string out;
    tree.walk(TreeNode::kNone, [&](std::size_t id) {
        const TreeNode& node = tree.node(id);
        out += std::string(2 * node.depth, ' ');
        out += node.isSpecial() ? "[" + toUtf8(node.label) + "]" : toUtf8(node.label) + (node.isFolder() ? "/" : "");
        out += "\n";
    });
    return out;
}

}  // namespace tw::test
