#include "views/FormDesigner.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QMenu>

#include "app/CardEdit.h"
#include "model/FieldKind.h"
#include "storage/WalletFile.h"
#include "views/SelectionListDialog.h"
#include "views/UiContext.h"

namespace tw::ui {

namespace {

constexpr std::uint32_t kAddFieldText = 21065;
constexpr std::uint32_t kMoveFieldText = 21066;
constexpr std::uint32_t kUpText = 21067;
constexpr std::uint32_t kDownText = 21068;
constexpr std::uint32_t kTopText = 21069;
constexpr std::uint32_t kBottomText = 21070;
constexpr std::uint32_t kCopyFieldText = 21071;
constexpr std::uint32_t kDeleteFieldText = 21072;
constexpr std::uint32_t kEditSelectionText = 21073;

}  // namespace

FormDesigner::FormDesigner(const UiContext& ui, WalletFile& wallet, Card& card, QWidget* parent)
    : QScrollArea(parent), m_ui(ui), m_wallet(wallet), m_card(card) {
    setObjectName(QStringLiteral("formDesigner"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rebuild(0);
}

void FormDesigner::rebuild(int focus) {
    m_names.clear();
    m_kinds.clear();
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(m_ui.px(4), m_ui.px(4), m_ui.px(4), m_ui.px(4));
    layout->setSpacing(m_ui.px(2));
    for (std::size_t i = 0; i < m_card.fieldCount(); ++i) {
        const Field& field = m_card.field(i);
        auto* name = new QLineEdit(toQString(field.name()), body);
        name->setObjectName(QStringLiteral("designName%1").arg(i));
        auto* kind = new QComboBox(body);
        kind->setObjectName(QStringLiteral("designKind%1").arg(i));
        for (const KindChoice& choice : offeredKinds(field.isNote())) {
            kind->addItem(m_ui.text(choice.labelId), static_cast<int>(choice.kind));
        }
        const int at = kind->findData(static_cast<int>(field.kind()));
        if (at >= 0) {
            kind->setCurrentIndex(at);
        } else {
            // A kind the chooser does not offer stays as it is unless the user picks another.
            const std::uint32_t label = field.kind() == field_kind::kPlainText || field.kind() == field_kind::kNumber
                                            ? kindLabelId(field_kind::kText)
                                            : 0;
            const QString text = label ? m_ui.text(label) + QStringLiteral(" (%1)").arg(field.kind())
                                       : QStringLiteral("(%1)").arg(field.kind());
            kind->insertItem(0, text, static_cast<int>(field.kind()));
            kind->setCurrentIndex(0);
        }
        const int index = static_cast<int>(i);
        for (QWidget* w : {static_cast<QWidget*>(name), static_cast<QWidget*>(kind)}) {
            connect(qApp, &QApplication::focusChanged, w, [this, w, index](QWidget*, QWidget* now) {
                if (now == w) m_current = index;
            });
        }
        connect(kind, &QComboBox::activated, this, [this, index] { m_current = index; });
        layout->addWidget(name);
        layout->addWidget(kind);
        auto* rule = new QFrame(body);
        rule->setFrameShape(QFrame::HLine);
        rule->setStyleSheet(QStringLiteral("color: rgb(192,192,192)"));
        layout->addWidget(rule);
        m_names.push_back(name);
        m_kinds.push_back(kind);
    }
    layout->addStretch(1);
    setWidget(body);
    focusField(focus);
}

void FormDesigner::commit() {
    for (std::size_t i = 0; i < m_names.size() && i < m_card.fieldCount(); ++i) {
        Field& field = m_card.field(i);
        const std::u16string name = toU16(m_names[i]->text());
        if (field.name() != name) field.setName(name);
        const auto kind = static_cast<std::uint16_t>(m_kinds[i]->currentData().toInt());
        if (kind != field.kind()) app::setDesignKind(field, kind, m_ui.strings);
    }
}

int FormDesigner::currentField() const {
    return m_current;
}

void FormDesigner::focusField(int field) {
    if (m_names.empty()) {
        m_current = -1;
        return;
    }
    field = std::clamp(field, 0, static_cast<int>(m_names.size()) - 1);
    m_current = field;
    m_names[static_cast<std::size_t>(field)]->setFocus();
    ensureWidgetVisible(m_names[static_cast<std::size_t>(field)]);
}

QLineEdit* FormDesigner::nameEdit(int field) const {
    return field >= 0 && field < static_cast<int>(m_names.size()) ? m_names[static_cast<std::size_t>(field)] : nullptr;
}

QComboBox* FormDesigner::kindChooser(int field) const {
    return field >= 0 && field < static_cast<int>(m_kinds.size()) ? m_kinds[static_cast<std::size_t>(field)] : nullptr;
}

void FormDesigner::addField() {
    commit();
    const int index = app::addDesignField(m_card, m_ui.strings);
    if (index < 0) return;
    rebuild(index);
    m_names[static_cast<std::size_t>(index)]->selectAll();
}

void FormDesigner::moveTo(int to) {
    commit();
    if (m_current < 0) return;
    if (app::moveField(m_card, static_cast<std::size_t>(m_current), static_cast<std::size_t>(to))) rebuild(to);
}

void FormDesigner::moveUp() {
    if (m_current > 0) moveTo(m_current - 1);
}

void FormDesigner::moveDown() {
    if (m_current >= 0 && m_current + 1 < static_cast<int>(m_card.fieldCount())) moveTo(m_current + 1);
}

void FormDesigner::moveTop() {
    if (m_current > 0) moveTo(0);
}

void FormDesigner::moveBottom() {
    if (m_current >= 0 && m_current + 1 < static_cast<int>(m_card.fieldCount()))
        moveTo(static_cast<int>(m_card.fieldCount()) - 1);
}

void FormDesigner::copyField() {
    commit();
    if (m_current < 0 || !m_card.duplicateField(static_cast<std::size_t>(m_current))) return;
    rebuild(std::min(m_current + 1, static_cast<int>(m_card.fieldCount()) - 1));
}

void FormDesigner::deleteField() {
    commit();
    if (m_current < 0 || !m_card.removeField(static_cast<std::size_t>(m_current))) return;
    rebuild(std::min(m_current, static_cast<int>(m_card.fieldCount()) - 1));
}

void FormDesigner::editSelectionList() {
    commit();
    if (m_current < 0) return;
    Field& field = m_card.field(static_cast<std::size_t>(m_current));
    if (field.kind() != field_kind::kSelectionList) return;
    SelectionListDialog dialog(m_ui, field.listItems(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    field.clearList();
    for (const std::u16string& item : dialog.items()) field.addListItem(item);
    m_card.setModified(true);
}

void FormDesigner::addCommands(QMenu* menu) {
    auto add = [&](QMenu* into, std::uint32_t text, const char* name, void (FormDesigner::*slot)()) {
        QAction* action = into->addAction(m_ui.text(text), this, slot);
        action->setObjectName(QLatin1StringView(name));
        return action;
    };
    add(menu, kAddFieldText, "addFieldAction", &FormDesigner::addField);
    QMenu* move = menu->addMenu(m_ui.text(kMoveFieldText));
    add(move, kUpText, "moveUpAction", &FormDesigner::moveUp);
    add(move, kDownText, "moveDownAction", &FormDesigner::moveDown);
    add(move, kTopText, "moveTopAction", &FormDesigner::moveTop);
    add(move, kBottomText, "moveBottomAction", &FormDesigner::moveBottom);
    add(menu, kCopyFieldText, "copyFieldAction", &FormDesigner::copyField);
    add(menu, kDeleteFieldText, "deleteFieldAction", &FormDesigner::deleteField);
    QAction* selection = add(menu, kEditSelectionText, "editSelectionAction", &FormDesigner::editSelectionList);
    connect(menu, &QMenu::aboutToShow, selection, [this, selection] {
        commit();
        selection->setEnabled(m_current >= 0 && m_current < static_cast<int>(m_card.fieldCount()) &&
                              m_card.field(static_cast<std::size_t>(m_current)).kind() == field_kind::kSelectionList);
    });
}

}  // namespace tw::ui
