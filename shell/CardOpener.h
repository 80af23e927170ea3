#pragma once

#include <functional>

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
    Changed = 3,  // the card was changed (or a new card accepted): the main window writes it
    Deleted = 4,  // the user deleted the card: the main window removes it
};

// A card to show: loaded (or newly made) by the main window, which owns it and writes what the
// card window reports.
struct CardSession {
    WalletFile& wallet;
    Card& card;
    bool isNew = false;
    bool startEditing = false;  // a new card, or a form in the forms folder
    bool readOnly = false;
};

// The one way the main window shows a card. The program sets the card window here; the default
// is showPlainCard.
using CardOpener = std::function<CardOutcome(QWidget* parent, const ui::UiContext& ui, CardSession& session)>;

// A plain read-only view of a card's fields (passwords masked). A new card is kept on OK
// (Changed) and dropped on Cancel.
CardOutcome showPlainCard(QWidget* parent, const ui::UiContext& ui, CardSession& session);

}  // namespace tw::shell
