#pragma once

#include <QScrollArea>
#include <vector>

#include "model/Card.h"

class QComboBox;
class QLineEdit;
class QMenu;

namespace tw {
class WalletFile;
}

namespace tw::ui {

struct UiContext;

// The card window's form-design page: every field's name and kind, two rows per field, and the
// commands that change the card's structure: add (kind 15, the default name), move up, down, to
// the top or the bottom, copy and delete the current field, and edit a selection field's items.
// Names and kinds are written to the card on commit(); the structural commands commit first and
// act on the card at once.
class FormDesigner final : public QScrollArea {
    Q_OBJECT

public:
    FormDesigner(const UiContext& ui, WalletFile& wallet, Card& card, QWidget* parent = nullptr);

    void commit();
    int currentField() const;
    void focusField(int field);
    void addCommands(QMenu* menu);

    // The commands, on the current field.
    void addField();
    void moveUp();
    void moveDown();
    void moveTop();
    void moveBottom();
    void copyField();
    void deleteField();
    void editSelectionList();

    QLineEdit* nameEdit(int field) const;
    QComboBox* kindChooser(int field) const;

private:
    void rebuild(int focus);
    void moveTo(int to);

    const UiContext& m_ui;
    WalletFile& m_wallet;
    Card& m_card;
    std::vector<QLineEdit*> m_names;
    std::vector<QComboBox*> m_kinds;
    int m_current = -1;
};

}  // namespace tw::ui
