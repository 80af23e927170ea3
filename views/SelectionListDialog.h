#pragma once

#include <string>
#include <vector>

#include "views/FrameDialog.h"

class QListWidget;

namespace tw::ui {

// The items of a selection field: a text box (127 characters) and the list in stored order, with
// Add (appends the box's text; duplicates allowed), Delete, Move Up and Move Down. OK gives the
// list (items()); Cancel leaves the field alone.
class SelectionListDialog final : public FrameDialog {
    Q_OBJECT

public:
    static constexpr int kMaxItem = 127;

    SelectionListDialog(const UiContext& ui, const std::vector<std::u16string>& items, QWidget* parent = nullptr);
    std::vector<std::u16string> items() const;

    void addItem();
    void deleteItem();
    void moveItem(int step);

private:
    QLineEdit* m_text = nullptr;
    QListWidget* m_list = nullptr;
};

}  // namespace tw::ui
