#pragma once

#include "ui/main/FolderPlaces.h"

#include <QFileIconProvider>
#include <QString>
#include <QStringList>
#include <QTreeWidget>

#include <vector>

namespace pagesmith {

// The folders of the user's desktop and of the system's places, looked up
// lazily: a node's sub-folders are read on its first expansion and kept.
// Removable or network places and nodes that yielded nothing are not settled:
// they show collapsed with their expand button and are read again next time.
class FolderTree : public QTreeWidget {
    Q_OBJECT

public:
    // Rooted at the user's desktop folder, with the system's places.
    explicit FolderTree(QWidget* parent = nullptr);
    FolderTree(const QString& desktopPath, std::vector<FolderPlace> places,
               QWidget* parent = nullptr);

    // The folder a node stands for; empty for a node without one.
    static QString pathOf(const QTreeWidgetItem* node);

signals:
    // The selection moved to a node: its folder, or an empty path.
    void folderSelected(const QString& path);

private:
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, const QString& path,
                             QAbstractFileIconProvider::IconType icon, bool removableOrNetwork);
    void populate(QTreeWidgetItem* node);
    bool isOnRemovableOrNetwork(const QTreeWidgetItem* node) const;
    void reportSelection();

    std::vector<FolderPlace> m_places;
    QStringList m_removableOrNetworkRoots; // folders of the removable and network places
    QTreeWidgetItem* m_root = nullptr;
    QFileIconProvider m_icons;
};

} // namespace pagesmith
