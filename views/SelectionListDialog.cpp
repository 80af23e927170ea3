#include "views/SelectionListDialog.h"

#include <QGridLayout>
#include <QListWidget>

#include "model/Field.h"
#include "resources/icons/IconArt.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitleText = 28720;
constexpr std::uint32_t kAddText = 28721;
constexpr std::uint32_t kDeleteText = 28722;
constexpr std::uint32_t kUpText = 28723;
constexpr std::uint32_t kDownText = 28724;

}  // namespace

SelectionListDialog::SelectionListDialog(const UiContext& ui, const std::vector<std::u16string>& items, QWidget* parent)
    : FrameDialog(ui, parent) {
    setObjectName(QStringLiteral("selectionListDialog"));
    auto* body = new QWidget(this);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    m_text = new QLineEdit(body);
    m_text->setObjectName(QStringLiteral("itemEdit"));
    m_text->setMaxLength(kMaxItem);
    m_list = new QListWidget(body);
    m_list->setObjectName(QStringLiteral("itemList"));
    for (const std::u16string& item : items) m_list->addItem(toQString(item).left(kMaxItem));
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    auto button = [&](std::uint32_t text, const char* name) {
        auto* b = new QPushButton(ui.text(text), body);
        b->setObjectName(QLatin1StringView(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* add = button(kAddText, "addItemButton");
    QPushButton* remove = button(kDeleteText, "deleteItemButton");
    QPushButton* up = button(kUpText, "upItemButton");
    QPushButton* down = button(kDownText, "downItemButton");
    grid->addWidget(m_text, 0, 0);
    grid->addWidget(add, 0, 1);
    grid->addWidget(m_list, 1, 0, 4, 1);
    grid->addWidget(remove, 1, 1);
    grid->addWidget(up, 2, 1);
    grid->addWidget(down, 3, 1);
    grid->setRowStretch(4, 1);
    setUpFrame(ui.text(kTitleText), icons::icon(icons::kTitleSelectionList), body);
    connect(add, &QPushButton::clicked, this, &SelectionListDialog::addItem);
    connect(m_text, &QLineEdit::returnPressed, this, &SelectionListDialog::addItem);
    connect(remove, &QPushButton::clicked, this, &SelectionListDialog::deleteItem);
    connect(up, &QPushButton::clicked, this, [this] { moveItem(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveItem(1); });
}

std::vector<std::u16string> SelectionListDialog::items() const {
    std::vector<std::u16string> out;
    for (int i = 0; i < m_list->count() && out.size() < Field::kMaxListItems; ++i)
        out.push_back(toU16(m_list->item(i)->text()));
    return out;
}

void SelectionListDialog::addItem() {
    if (m_text->text().isEmpty()) return;
    m_list->addItem(m_text->text());
    m_list->setCurrentRow(m_list->count() - 1);
    m_text->clear();
    m_text->setFocus();
}

void SelectionListDialog::deleteItem() {
    const int row = m_list->currentRow();
    if (row < 0) return;
    delete m_list->takeItem(row);
    if (m_list->count() > 0) m_list->setCurrentRow(std::max(0, row - 1));
}

void SelectionListDialog::moveItem(int step) {
    const int row = m_list->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= m_list->count()) return;
    QListWidgetItem* item = m_list->takeItem(row);
    m_list->insertItem(to, item);
    m_list->setCurrentRow(to);
}

}  // namespace tw::ui
