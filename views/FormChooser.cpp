#include "views/FormChooser.h"

#include <QCollator>
#include <QListWidget>
#include <QVBoxLayout>

#include "resources/icons/IconArt.h"
#include "views/ImageLists.h"
#include "views/ObjectNames.h"
#include "views/PaleSelection.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kTitleDefaultForm = 28900;
constexpr std::uint32_t kTitleNewCard = 28901;

}  // namespace

FormChooser::FormChooser(const UiContext& ui, const WalletFile& wallet, const app::CustomIcons* custom,
                         const FormRef& current, Purpose purpose, QWidget* parent)
    : FrameDialog(ui, parent) {
    m_choices = app::formChoices(wallet, ui.strings, custom);
    // Names compare as the user's language sorts them, without regard to case.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    app::sortFormChoices(m_choices, [&](const std::u16string& a, const std::u16string& b) {
        return collator.compare(toQString(a), toQString(b)) < 0;
    });

    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = new QListWidget(body);
    m_list->setObjectName(names::kFormList);
    const ImageList& icons = ImageLists::small(ui.dpi);
    m_list->setIconSize(icons.size());
    m_list->setUniformItemSizes(true);
    m_list->setItemDelegate(new PaleSelectionDelegate(m_list));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const app::FormChoice& choice : m_choices)
        m_list->addItem(new QListWidgetItem(icons.icon(choice.iconEntry, custom), toQString(choice.name)));
    const int selected = static_cast<int>(app::preselectedChoice(m_choices, current));
    if (!m_choices.empty()) {
        m_list->setCurrentRow(selected);
        m_list->scrollToItem(m_list->currentItem(), QAbstractItemView::PositionAtCenter);
    }
    m_list->setMinimumHeight(ui.px(smartphone() ? 200 : 260));
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    layout->addWidget(m_list);
    const std::uint32_t title = purpose == Purpose::DefaultForm ? kTitleDefaultForm : kTitleNewCard;
    setUpFrame(ui.text(title), icons::icon(icons::kTitleFormDesign), body);
    m_list->setFocus();
}

app::FormChoice FormChooser::chosen() const {
    return app::confirmedChoice(m_choices, m_list->currentRow());
}

std::optional<app::FormChoice> FormChooser::choose(const UiContext& ui, const WalletFile& wallet,
                                                   const app::CustomIcons* custom, const FormRef& current,
                                                   Purpose purpose, QWidget* parent) {
    FormChooser dialog(ui, wallet, custom, current, purpose, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosen();
}

}  // namespace tw::ui
