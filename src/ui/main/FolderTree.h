#pragma once

#include "ui/main/FolderPlaces.h"

#include <QFileIconProvider>
#include <QFileSystemWatcher>
#include <QMultiHash>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

#include <optional>
#include <vector>

namespace pagesmith {

// The folders of the user's desktop and of the system's places, looked up
// lazily: a node's sub-folders are read on its first expansion. From then on
// the tree follows the disk: a watcher on every node read adds the folders
// made there and takes away the ones removed, and a folder found to have no
// sub-folders shows no expand button. Removable or network places and their
// nodes that yielded nothing are not settled: they show collapsed with their
// expand button and are read again next time.
class FolderTree : public QTreeWidget {
    Q_OBJECT

public:
    // Rooted at the user's desktop folder, with the system's places.
    explicit FolderTree(QWidget* parent = nullptr);
    FolderTree(const QString& desktopPath, std::vector<FolderPlace> places,
               QWidget* parent = nullptr);

    // The folder a node stands for; empty for a node without one.
    static QString pathOf(const QTreeWidgetItem* node);

    // Opens the nodes down to a folder and selects it, which reports it as
    // folderSelected does. False, with nothing changed, when the tree has no
    // node for it (a hidden folder, one outside every place).
    bool selectFolder(const QString& path);
    // Reads every node read so far again.
    void refresh();
    // The folders watched for changes (tests look).
    QStringList watchedFolders() const { return m_watcher.directories(); }

signals:
    // The selection moved to a node: its folder, or an empty path.
    void folderSelected(const QString& path);

private:
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, int position, const QString& text,
                             const QString& path, QAbstractFileIconProvider::IconType icon,
                             bool removableOrNetwork);
    void populate(QTreeWidgetItem* node);
    void addPlaces(QTreeWidgetItem* node, const std::vector<FolderPlace>& places);
    // Brings a node that has been read in line with its folder on disk.
    void follow(QTreeWidgetItem* node);
    void followFolder(const QString& path);
    void addFolderChild(QTreeWidgetItem* node, int position, const QString& name);
    void removeNode(QTreeWidgetItem* node);
    void forget(QTreeWidgetItem* node);
    void watch(QTreeWidgetItem* node);
    bool isOnRemovableOrNetwork(const QTreeWidgetItem* node) const;
    void reportSelection();

    std::vector<FolderPlace> m_places;
    QStringList m_removableOrNetworkRoots; // folders of the removable and network places
    QTreeWidgetItem* m_root = nullptr;
    QFileIconProvider m_icons;
    QFileSystemWatcher m_watcher;
    QMultiHash<QString, QTreeWidgetItem*> m_readNodes; // by folder: one folder, many places
    std::optional<QString> m_reportedPath;             // the selection last reported
};

} // namespace pagesmith
