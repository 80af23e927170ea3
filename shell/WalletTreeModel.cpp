#include "shell/WalletTreeModel.h"

#include <QMimeData>
#include <QTimer>

#include "model/FolderTree.h"
#include "storage/WalletFile.h"
#include "views/ImageLists.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

namespace tt = tree_type;

std::int64_t positionOf(const QStandardItem* item) {
    return item ? item->data(WalletTreeModel::kPositionRole).toLongLong() : -1;
}

int typeOf(const QStandardItem* item) {
    return item ? item->data(WalletTreeModel::kTypeRole).toInt() : 0;
}

}  // namespace

WalletTreeModel::WalletTreeModel(Colours colours, const app::CustomIcons* custom, int dpi, QObject* parent)
    : QStandardItemModel(parent), m_colours(colours), m_custom(custom), m_dpi(dpi) {}

QIcon WalletTreeModel::iconForEntry(int entry) const {
    const auto it = m_icons.find(entry);
    if (it != m_icons.end()) return it->second;
    const ui::ImageList& list = ui::ImageLists::small(m_dpi);
    QIcon icon = list.icon(entry, m_custom);
    // Selected items keep their picture's own colours (the default tints it with the highlight).
    for (const qreal ratio : {1.0, 2.0}) icon.addPixmap(list.pixmap(entry, ratio, m_custom), QIcon::Selected);
    m_icons.emplace(entry, icon);
    return icon;
}

QIcon WalletTreeModel::iconFor(const IndexEntry& entry) const {
    static const app::CustomIcons none;
    return iconForEntry(app::iconListEntry(entry, m_custom ? *m_custom : none));
}

QColor WalletTreeModel::colourFor(WalletFile& wallet, int type) const {
    switch (type) {
        case tt::kCard:
            return ui::fromColorRef(wallet.settings().word(SettingsBlock::kCardColour));
        case tt::kFolder:
            return ui::fromColorRef(wallet.settings().word(SettingsBlock::kFolderColour));
        case tt::kFormsFolder:
            return m_colours.forms;
        default:
            return m_colours.special;
    }
}

QStandardItem* WalletTreeModel::makeItem(WalletFile& wallet, std::size_t position) const {
    const IndexEntry& h = wallet.index().at(position);
    auto* item = new QStandardItem(ui::toQString(wallet.nameOf(position)));
    const int type = static_cast<int>(h.type());
    item->setData(static_cast<qlonglong>(position), kPositionRole);
    item->setData(type, kTypeRole);
    item->setIcon(iconFor(h));
    item->setForeground(colourFor(wallet, type));
    item->setEditable(false);
    return item;
}

QStandardItem* WalletTreeModel::specialItem(WalletFile& wallet, int slot, int type, const QString& label) {
    auto* item = new QStandardItem(label);
    item->setData(qlonglong(-1), kPositionRole);
    item->setData(type, kTypeRole);
    item->setIcon(iconForEntry(static_cast<int>(wallet.keys().specialIcon(slot)) + app::kFirstBuiltinEntry));
    item->setForeground(m_colours.special);
    item->setEditable(false);
    return item;
}

void WalletTreeModel::clearAll() {
    clear();
    m_byPosition.clear();
    m_icons.clear();  // custom icons are numbered per wallet
    m_ghost = -1;
    m_renameAllowed = false;
}

void WalletTreeModel::build(WalletFile& wallet) {
    clearAll();
    if (!wallet.isOpen()) return;
    const FolderTree tree = FolderTree::build(wallet);
    std::vector<QStandardItem*> items(tree.size(), nullptr);
    tree.walk(TreeNode::kNone, [&](std::size_t id) {
        const TreeNode& node = tree.node(id);
        QStandardItem* item = nullptr;
        if (node.isSpecial()) {
            const int slot = node.type == tt::kFavourites ? 1 : node.type == tt::kSearchResults ? 2 : 0;
            item = slot ? specialItem(wallet, slot, node.type, ui::toQString(node.label))
                        : new QStandardItem(ui::toQString(node.label));
            if (!slot) {
                item->setData(qlonglong(-1), kPositionRole);
                item->setData(node.type, kTypeRole);
                item->setIcon(iconForEntry(node.icon + app::kFirstBuiltinEntry));
                item->setForeground(m_colours.special);
                item->setEditable(false);
            }
        } else {
            item = makeItem(wallet, static_cast<std::size_t>(node.position));
            // Only the tree proper's item is the record's; its copies under the special entries are not.
            const TreeNode* parent = node.parent == TreeNode::kNone ? nullptr : &tree.node(node.parent);
            if (!parent || !(parent->type == tt::kFavourites || parent->type == tt::kSearchResults))
                m_byPosition[node.position] = item;
        }
        if (node.parent == TreeNode::kNone) {
            invisibleRootItem()->appendRow(item);
        } else {
            items[node.parent]->appendRow(item);
        }
        items[id] = item;
    });
}

app::TreeItem WalletTreeModel::treeItem(const QModelIndex& index) const {
    app::TreeItem result;
    const QStandardItem* item = itemFromIndex(index);
    if (!item) return result;
    result.type = typeOf(item);
    result.position = positionOf(item);
    const QStandardItem* parent = item->parent();
    if (parent) {
        result.parentType = typeOf(parent);
        result.parentPosition = positionOf(parent);
    }
    return result;
}

QModelIndex WalletTreeModel::indexOf(std::int64_t position) const {
    const auto it = m_byPosition.find(position);
    return it == m_byPosition.end() ? QModelIndex() : it->second->index();
}

QStandardItem* WalletTreeModel::topByType(int type) const {
    for (int row = 0; row < rowCount(); ++row) {
        QStandardItem* top = item(row);
        if (typeOf(top) == type) return top;
    }
    return nullptr;
}

QModelIndex WalletTreeModel::favouritesIndex() const {
    QStandardItem* item = topByType(tt::kFavourites);
    return item ? item->index() : QModelIndex();
}

QModelIndex WalletTreeModel::resultsIndex() const {
    QStandardItem* item = topByType(tt::kSearchResults);
    return item ? item->index() : QModelIndex();
}

void WalletTreeModel::insertSorted(QStandardItem* parent, QStandardItem* item) {
    const std::u16string label = ui::toU16(item->text());
    const int type = typeOf(item);
    int row = 0;
    // Binary search: siblings are kept sorted.
    int low = 0, high = parent->rowCount();
    while (low < high) {
        const int mid = (low + high) / 2;
        const QStandardItem* other = parent->child(mid);
        if (compareTreeEntries(typeOf(other), ui::toU16(other->text()), type, label) <= 0) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    row = low;
    parent->insertRow(row, item);
}

QStandardItem* WalletTreeModel::parentItemFor(WalletFile& wallet, std::size_t position) {
    const std::int64_t parent = wallet.index().parentOf(static_cast<std::int64_t>(position));
    if (parent < 0) return invisibleRootItem();
    const auto it = m_byPosition.find(parent);
    return it == m_byPosition.end() ? nullptr : it->second;
}

void WalletTreeModel::rememberSubtree(QStandardItem* item) {
    const std::int64_t position = positionOf(item);
    if (position >= 0) m_byPosition[position] = item;
    for (int row = 0; row < item->rowCount(); ++row) rememberSubtree(item->child(row));
}

void WalletTreeModel::forgetSubtree(QStandardItem* item) {
    const std::int64_t position = positionOf(item);
    const auto it = m_byPosition.find(position);
    if (it != m_byPosition.end() && it->second == item) m_byPosition.erase(it);
    for (int row = 0; row < item->rowCount(); ++row) forgetSubtree(item->child(row));
}

QModelIndex WalletTreeModel::insertRecord(WalletFile& wallet, std::size_t position) {
    QStandardItem* parent = parentItemFor(wallet, position);
    if (!parent) return {};
    QStandardItem* item = makeItem(wallet, position);
    insertSorted(parent, item);
    m_byPosition[static_cast<std::int64_t>(position)] = item;
    return item->index();
}

void WalletTreeModel::updateRecord(WalletFile& wallet, std::size_t position) {
    const auto it = m_byPosition.find(static_cast<std::int64_t>(position));
    if (it == m_byPosition.end()) return;
    QStandardItem* item = it->second;
    const QString name = ui::toQString(wallet.nameOf(position));
    item->setIcon(iconFor(wallet.index().at(position)));
    if (item->text() == name) return;
    // A new name may change the place among the siblings.
    QStandardItem* parent = item->parent() ? item->parent() : invisibleRootItem();
    const QList<QStandardItem*> row = parent->takeRow(item->row());
    item->setText(name);
    insertSorted(parent, row.first());
}

QModelIndex WalletTreeModel::moveRecord(WalletFile& wallet, std::size_t position) {
    const auto it = m_byPosition.find(static_cast<std::int64_t>(position));
    if (it == m_byPosition.end()) return insertRecord(wallet, position);
    QStandardItem* item = it->second;
    QStandardItem* target = parentItemFor(wallet, position);
    QStandardItem* from = item->parent() ? item->parent() : invisibleRootItem();
    const QList<QStandardItem*> row = from->takeRow(item->row());
    if (!target) {
        forgetSubtree(row.first());
        delete row.first();
        return {};
    }
    insertSorted(target, row.first());
    rememberSubtree(row.first());
    return row.first()->index();
}

void WalletTreeModel::removeRecord(std::size_t position) {
    const auto it = m_byPosition.find(static_cast<std::int64_t>(position));
    if (it == m_byPosition.end()) return;
    QStandardItem* item = it->second;
    forgetSubtree(item);
    QStandardItem* parent = item->parent() ? item->parent() : invisibleRootItem();
    parent->removeRow(item->row());
}

void WalletTreeModel::rebuildFavourites(WalletFile& wallet) {
    QStandardItem* favourites = topByType(tt::kFavourites);
    if (!favourites) return;
    std::u16string name;
    std::uint32_t icon = 0;
    if (wallet.keys().readSpecial(1, name, icon)) favourites->setText(ui::toQString(name));
    favourites->removeRows(0, favourites->rowCount());
    std::vector<QStandardItem*> children;
    for (std::size_t slot = 0; slot < SettingsBlock::kFavouriteSlots; ++slot) {
        const RecordId id = wallet.settings().favourite(slot);
        if (id.isZero()) continue;
        for (std::size_t i = 0; i < wallet.index().count(); ++i) {
            const IndexEntry& h = wallet.index().at(i);
            if (h.deleted() || h.id() != id) continue;
            if (h.type() == RecordType::Card) insertSorted(favourites, makeItem(wallet, i));
            break;
        }
    }
}

void WalletTreeModel::rebuildResults(WalletFile& wallet) {
    QStandardItem* results = topByType(tt::kSearchResults);
    const SearchResults& found = wallet.searchResults();
    if (found.positions.empty()) {
        if (results) removeRow(results->row());
        return;
    }
    std::u16string name;
    std::uint32_t icon = 0;
    if (!wallet.keys().readSpecial(2, name, icon)) name.clear();
    const QString label = ui::toQString(name + u" - '" + found.text + u"'");
    if (!results) {
        results = specialItem(wallet, 2, tt::kSearchResults, label);
        invisibleRootItem()->insertRow(0, results);
    } else {
        results->setText(label);
        results->removeRows(0, results->rowCount());
    }
    for (std::size_t position : found.positions) {
        if (position >= wallet.index().count() || wallet.index().at(position).deleted()) continue;
        results->appendRow(makeItem(wallet, position));
    }
}

void WalletTreeModel::setGhost(std::int64_t position) {
    const QModelIndex old = indexOf(m_ghost);
    m_ghost = position;
    if (old.isValid()) emit dataChanged(old, old, {Qt::ForegroundRole});
    const QModelIndex now = indexOf(position);
    if (now.isValid()) emit dataChanged(now, now, {Qt::ForegroundRole});
}

QVariant WalletTreeModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::ForegroundRole && m_ghost >= 0 && index.isValid() && indexOf(m_ghost) == index) {
        return QColor(Qt::gray);
    }
    return QStandardItemModel::data(index, role);
}

Qt::ItemFlags WalletTreeModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QStandardItemModel::flags(index);
    if (!index.isValid()) return flags;
    // A ghosted (cut) item stays selectable.
    flags |= Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    const app::TreeItem item = treeItem(index);
    if (app::permissionMask(item, 0) & app::permission::kDrag) {
        flags |= Qt::ItemIsDragEnabled;
    } else {
        flags &= ~Qt::ItemIsDragEnabled;
    }
    if (m_renameAllowed && !item.underSpecial()) {
        flags |= Qt::ItemIsEditable;
    } else {
        flags &= ~Qt::ItemIsEditable;
    }
    return flags;
}

bool WalletTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole) return QStandardItemModel::setData(index, value, role);
    m_renameAllowed = false;
    // Reported once the editor has closed: the rename may move the item among its siblings.
    const QPersistentModelIndex item(index);
    const QString text = value.toString();
    QTimer::singleShot(0, this, [this, item, text] {
        if (item.isValid()) emit renameRequested(item, text);
    });
    return false;
}

QStringList WalletTreeModel::mimeTypes() const {
    return {QString::fromLatin1(kMimeType)};
}

QMimeData* WalletTreeModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) return nullptr;
    const app::TreeItem item = treeItem(indexes.first());
    if (!item.isRecord()) return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kMimeType), QByteArray::number(static_cast<qlonglong>(item.position)));
    return data;
}

bool WalletTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                      const QModelIndex& parent) const {
    if (!data || !data->hasFormat(QString::fromLatin1(kMimeType)) || !parent.isValid()) return false;
    const std::int64_t source = data->data(QString::fromLatin1(kMimeType)).toLongLong();
    return !dropAllowed || dropAllowed(source, parent);
}

bool WalletTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                   const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    const std::int64_t source = data->data(QString::fromLatin1(kMimeType)).toLongLong();
    emit dropRequested(source, parent);
    // The window has made the change and updated the tree; the view must not remove the source.
    return false;
}

}  // namespace tw::shell
