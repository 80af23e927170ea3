#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace tw {
class Card;
class WalletFile;
}  // namespace tw

namespace tw::ui {
struct UiContext;
}

namespace tw::shell {

// What the card window hands back to the main window.
enum class CardOutcome : int {
    Unchanged = 0,
    Changed = 3,  // the card window wrote the card (a new card was appended): `position` says where
    Deleted = 4,  // the user asked to delete the card: the main window deletes it
};

// A card to show: a stored card by index position, or a new card (made from a form, not yet
// written).
struct CardSession {
    WalletFile& wallet;
    std::int64_t position = -1;     // the stored card; after Changed, where the card is now
    std::unique_ptr<Card> newCard;  // a new card; null for a stored card
    bool startEditing = false;      // a new card, or a form in the forms folder
    bool readOnly = false;
};

// The one way the main window shows a card. The program sets the card window here; the default
// is showPlainCard.
using CardOpener = std::function<CardOutcome(QWidget* parent, const ui::UiContext& ui, CardSession& session)>;

// A plain read-only view of a card's fields (passwords masked). A new card is appended on OK
// (Changed) and dropped on Cancel.
CardOutcome showPlainCard(QWidget* parent, const ui::UiContext& ui, CardSession& session);

}  // namespace tw::shell
