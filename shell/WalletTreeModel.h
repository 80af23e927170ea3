#pragma once

#include <QIcon>
#include <QStandardItemModel>
#include <cstdint>
#include <unordered_map>

#include "app/CustomIcons.h"
#include "app/TreeCommands.h"

namespace tw {
class WalletFile;
}

namespace tw::shell {

// The open wallet's folder tree as an item model: built once from model/FolderTree when a wallet
// opens, then kept up to date item by item as commands change records, so a large wallet is never
// rebuilt from scratch. Each item carries the record's index position and its tree type in roles
// of their own (special entries have position -1), and its text colour: cards and folders in the
// wallet's colours, the forms folder and the special entries in the settings' colours.
//
// Drags carry the record's position; a drop is never applied by the model itself: it asks the
// window through `dropRequested`, which plans it by the drop rules. Editing a label only reports
// the new text (`renameRequested`).
class WalletTreeModel final : public QStandardItemModel {
    Q_OBJECT

public:
    static constexpr int kPositionRole = Qt::UserRole + 1;
    static constexpr int kTypeRole = Qt::UserRole + 2;
    static constexpr char kMimeType[] = "application/x-tallowmere-record";

    struct Colours {
        QColor special;
        QColor forms;
    };

    // `custom` (may be null) holds the open wallet's custom icons; `dpi` picks the icon size.
    WalletTreeModel(Colours colours, const app::CustomIcons* custom, int dpi, QObject* parent = nullptr);

    // Builds every item from the wallet (nothing when it is closed).
    void build(WalletFile& wallet);
    void clearAll();

    // The command view of an item; a default TreeItem for an invalid index.
    app::TreeItem treeItem(const QModelIndex& index) const;
    // The item of a record in the folder tree proper (not a copy under a special entry).
    QModelIndex indexOf(std::int64_t position) const;
    QModelIndex favouritesIndex() const;
    QModelIndex resultsIndex() const;

    // Record changes: a new record under its parent (sorted), a record's new name or icon, a move
    // to another parent, a removal (with everything below it).
    QModelIndex insertRecord(WalletFile& wallet, std::size_t position);
    void updateRecord(WalletFile& wallet, std::size_t position);
    QModelIndex moveRecord(WalletFile& wallet, std::size_t position);
    void removeRecord(std::size_t position);
    // The special entries' children again: the favourites list, the find results.
    void rebuildFavourites(WalletFile& wallet);
    void rebuildResults(WalletFile& wallet);

    // Ghosting of a cut item (drawn greyed); an invalid position clears it.
    void setGhost(std::int64_t position);
    // Renaming is allowed on the next edit only (the Rename command).
    void allowRename(bool allowed) { m_renameAllowed = allowed; }
    bool renameAllowed() const { return m_renameAllowed; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    // Asked before a drop is shown as possible: true when dropping `source` on `target` does
    // something. Set by the window.
    std::function<bool(std::int64_t source, const QModelIndex& target)> dropAllowed;

signals:
    void dropRequested(std::int64_t source, const QModelIndex& target);
    void renameRequested(const QModelIndex& index, const QString& text);

private:
    QStandardItem* makeItem(WalletFile& wallet, std::size_t position) const;
    QStandardItem* specialItem(WalletFile& wallet, int slot, int type, const QString& label);
    void insertSorted(QStandardItem* parent, QStandardItem* item);
    QStandardItem* parentItemFor(WalletFile& wallet, std::size_t position);
    void forgetSubtree(QStandardItem* item);
    void rememberSubtree(QStandardItem* item);
    QIcon iconFor(const IndexEntry& entry) const;
    QIcon iconForEntry(int entry) const;
    QColor colourFor(WalletFile& wallet, int type) const;
    QStandardItem* topByType(int type) const;

    Colours m_colours;
    std::unordered_map<std::int64_t, QStandardItem*> m_byPosition;
    std::int64_t m_ghost = -1;
    bool m_renameAllowed = false;
    const app::CustomIcons* m_custom;
    int m_dpi;
    mutable std::unordered_map<int, QIcon> m_icons;  // by image-list entry
};

}  // namespace tw::shell
