#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/CardsInFileOrder.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/CardFixtures.h"
#include "support/TestEnv.h"

namespace tw {
namespace {

TEST(CardsInFileOrderTest, ReadsEachWantedCardOnceInFileOrderAndCountsTheMissing) {
    test::TestEnv t;
    ASSERT_EQ(createWallet(t.env, test::kWalletPath, test::kPassword, u"hint", true), CreateResult::Ok);
    WalletFile wallet{t.env};
    ASSERT_EQ(wallet.readAll(test::kWalletPath, test::kPassword, false), OpenResult::Ok);
    const RecordId folder = wallet.index().at(0).id();
    auto add = [&](const std::u16string& name, bool full) {
        std::unique_ptr<Card> card = wallet.newCard(folder);
        Card body = full ? test::fullCard(t.strings) : Card();
        body.setHeader(*card->header());
        body.header()->putName(name, wallet.recordKey());
        if (!full) body.newField(1, t.strings)->setValue(name + u" value");
        const std::int64_t at = wallet.appendCard(body);
        EXPECT_GE(at, 0);
        return static_cast<std::size_t>(at);
    };
    const std::size_t a = add(u"A", false);
    const std::size_t b = add(u"B", true);
    const std::size_t gone = add(u"Gone", false);
    ASSERT_TRUE(wallet.remove(gone));

    // Wanted out of file order, one card twice, one removed card, the folder (no card).
    const std::vector<std::size_t> wanted{b, a, gone, b, 0};
    for (Card::Parts parts : {Card::Parts::All, Card::Parts::Fields}) {
        std::vector<std::pair<std::size_t, std::u16string>> calls;
        const std::size_t missing = readCardsInFileOrder(wallet, wanted, parts, [&](std::size_t i, const Card& card) {
            calls.emplace_back(i, card.header()->name(wallet.recordKey()));
            if (card.header()->name(wallet.recordKey()) == u"A") {
                ASSERT_EQ(card.fieldCount(), 1u);
                EXPECT_EQ(card.field(0).value(), u"A value");
            } else {
                EXPECT_EQ(card.fieldCount(), 16u);
                EXPECT_EQ(card.picture().hasData(), parts == Card::Parts::All);
                EXPECT_EQ(card.countFileAttachments(), parts == Card::Parts::All ? 10u : 0u);
                EXPECT_EQ(card.droppedItems(), 0u);
            }
        });
        const std::vector<std::pair<std::size_t, std::u16string>> expected{{1, u"A"}, {0, u"B"}, {3, u"B"}};
        EXPECT_EQ(calls, expected);
        EXPECT_EQ(missing, 2u);
    }
}

}  // namespace
}  // namespace tw
