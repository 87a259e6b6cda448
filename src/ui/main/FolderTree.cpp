#include "ui/main/FolderTree.h"

#include "platform/Utf8Paths.h"
#include "ui/toolkit/LinguisticCollator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>

namespace pagesmith {

namespace fs = std::filesystem;

namespace {

const QString kAccessibleName = QStringLiteral("Folders");

enum NodeRole { PathRole = Qt::UserRole, RemovableOrNetworkRole, PlaceRole, ReadRole };

struct SubFolders {
    bool readable = false;
    QStringList names;
};

QCollator folderCollator() {
    return linguisticCollator(Qt::CaseInsensitive, true);
}

// The folders directly inside path, hidden ones left out, in a file manager's
// order. Only the entries of path itself are looked at, so a large tree
// costs nothing until it is opened.
SubFolders listSubFolders(const QString& path) {
    SubFolders result;
    std::error_code error;
    if (path.isEmpty())
        return result; // a place without a folder of its own
    fs::directory_iterator entries(platform::pathFromUtf8(path.toStdString()), error);
    if (error)
        return result;
    result.readable = true;
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = platform::utf8FromPath(entries->path().filename());
        std::error_code typeError;
        if (name.empty() || name.front() == '.' || !entries->is_directory(typeError))
            continue;
        result.names.push_back(QString::fromStdString(name));
    }
    const QCollator collator = folderCollator();
    std::sort(result.names.begin(), result.names.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return result;
}

QString childPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Whether path is folder or lies inside it.
bool isWithin(const QString& path, const QString& folder) {
    if (folder.isEmpty())
        return false;
    if (path == folder)
        return true;
    return path.startsWith(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
}

bool isPlace(const QTreeWidgetItem* node) {
    return node->data(0, PlaceRole).toBool();
}

bool isRead(const QTreeWidgetItem* node) {
    return node->data(0, ReadRole).toBool();
}

} // namespace

FolderTree::FolderTree(QWidget* parent)
    : FolderTree(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation), systemPlaces(),
                 parent) {}

FolderTree::FolderTree(const QString& desktopPath, std::vector<FolderPlace> places, QWidget* parent)
    : QTreeWidget(parent), m_places(std::move(places)) {
    setAccessibleName(kAccessibleName);
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A double-click selects; only the expand button opens and closes a node.
    setExpandsOnDoubleClick(false);

    for (const FolderPlace& place : m_places) {
        if (place.removableOrNetwork)
            m_removableOrNetworkRoots.push_back(place.path);
    }

    m_root = addNode(nullptr, 0, QDir(desktopPath).dirName(), desktopPath,
                     QAbstractFileIconProvider::Desktop, false);
    populate(m_root);
    m_root->setExpanded(true);

    connect(this, &QTreeWidget::itemExpanded, this, &FolderTree::populate);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &FolderTree::reportSelection);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderTree::followFolder);
}

QString FolderTree::pathOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, PathRole).toString() : QString();
}

QTreeWidgetItem* FolderTree::addNode(QTreeWidgetItem* parent, int position, const QString& text,
                                     const QString& path, QAbstractFileIconProvider::IconType icon,
                                     bool removableOrNetwork) {
    auto* node = new QTreeWidgetItem;
    node->setText(0, text);
    node->setIcon(0, m_icons.icon(icon));
    node->setData(0, PathRole, path);
    node->setData(0, RemovableOrNetworkRole, removableOrNetwork);
    // Whether a folder has sub-folders is only learnt by opening it.
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    if (parent)
        parent->insertChild(position, node);
    else
        insertTopLevelItem(position, node);
    return node;
}

bool FolderTree::isOnRemovableOrNetwork(const QTreeWidgetItem* node) const {
    return node->data(0, RemovableOrNetworkRole).toBool();
}

void FolderTree::populate(QTreeWidgetItem* node) {
    if (isRead(node)) {
        follow(node); // whatever changed while it was closed
        return;
    }
    if (node == m_root)
        addPlaces(node, m_places);
    node->setData(0, ReadRole, true);
    watch(node);
    follow(node);
}

void FolderTree::addPlaces(QTreeWidgetItem* node, const std::vector<FolderPlace>& places) {
    int position = 0;
    for (const FolderPlace& place : places) {
        QTreeWidgetItem* placeNode =
            addNode(node, position++, place.name, place.path, place.icon, place.removableOrNetwork);
        placeNode->setData(0, PlaceRole, true);
        // Its places are all it holds, known from the start.
        if (!place.places.empty()) {
            addPlaces(placeNode, place.places);
            placeNode->setData(0, ReadRole, true);
        }
    }
}

void FolderTree::follow(QTreeWidgetItem* node) {
    const QString path = pathOf(node);
    const SubFolders folders = listSubFolders(path);
    const QSet<QString> onDisk(folders.names.begin(), folders.names.end());
    int firstFolder = 0; // the places come first, under the root
    for (int i = node->childCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* child = node->child(i);
        if (isPlace(child))
            firstFolder = std::max(firstFolder, i + 1);
        else if (!onDisk.contains(child->text(0)))
            removeNode(child);
    }
    // Both lists are in the same order: one pass puts each new folder in its
    // place, however many there are.
    const QCollator collator = folderCollator();
    int position = firstFolder;
    for (const QString& name : folders.names) {
        while (position < node->childCount() &&
               collator.compare(node->child(position)->text(0), name) < 0)
            ++position;
        if (position < node->childCount() && node->child(position)->text(0) == name) {
            ++position;
            continue;
        }
        addFolderChild(node, position++, name);
    }
    if (node == m_root || node->childCount() > 0)
        return;
    // A fixed folder with nothing below (or that cannot be read) has nothing
    // to open; a removable or network place may yet.
    if (!isOnRemovableOrNetwork(node))
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    node->setExpanded(false);
}

void FolderTree::addFolderChild(QTreeWidgetItem* node, int position, const QString& name) {
    const QString child = childPath(pathOf(node), name);
    addNode(node, position, name, child, QAbstractFileIconProvider::Folder,
            isOnRemovableOrNetwork(node) || m_removableOrNetworkRoots.contains(child));
    // A folder that appears under a node that had none gives it its button.
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void FolderTree::followFolder(const QString& path) {
    // One folder can stand in the tree more than once (under Home and under
    // the file system root).
    for (QTreeWidgetItem* node : m_readNodes.values(path)) {
        if (m_readNodes.contains(path, node))
            follow(node);
    }
}

void FolderTree::refresh() {
    const QStringList folders = m_readNodes.uniqueKeys();
    for (const QString& folder : folders)
        followFolder(folder);
}

void FolderTree::watch(QTreeWidgetItem* node) {
    const QString path = pathOf(node);
    m_readNodes.insert(path, node);
    if (!m_watcher.directories().contains(path) && QFileInfo(path).isDir())
        m_watcher.addPath(path);
}

void FolderTree::forget(QTreeWidgetItem* node) {
    for (int i = 0; i < node->childCount(); ++i)
        forget(node->child(i));
    if (!isRead(node))
        return;
    const QString path = pathOf(node);
    m_readNodes.remove(path, node);
    if (!m_readNodes.contains(path))
        m_watcher.removePath(path);
}

void FolderTree::removeNode(QTreeWidgetItem* node) {
    forget(node);
    delete node;
}

bool FolderTree::selectFolder(const QString& path) {
    const QString target = QDir::cleanPath(path);
    // The place that holds the folder most closely: the desktop, a volume,
    // the home folder, the file-system root.
    QTreeWidgetItem* node = nullptr;
    const auto closer = [&](QTreeWidgetItem* candidate) {
        const QString candidatePath = pathOf(candidate);
        if (isWithin(target, candidatePath) &&
            (!node || candidatePath.size() > pathOf(node).size()))
            node = candidate;
    };
    closer(m_root);
    for (int i = 0; i < m_root->childCount(); ++i) {
        QTreeWidgetItem* place = m_root->child(i);
        if (!isPlace(place))
            continue;
        closer(place);
        for (int k = 0; k < place->childCount(); ++k) {
            if (isPlace(place->child(k)))
                closer(place->child(k)); // the drives of This PC
        }
    }
    while (node && pathOf(node) != target) {
        if (!isRead(node))
            populate(node);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount(); ++i) {
            QTreeWidgetItem* child = node->child(i);
            if (!isPlace(child) && isWithin(target, pathOf(child)))
                next = child;
        }
        node = next;
    }
    if (!node)
        return false;
    for (QTreeWidgetItem* above = node->parent(); above; above = above->parent())
        above->setExpanded(true);
    scrollToItem(node);
    if (node->isSelected() && currentItem() == node)
        emit folderSelected(pathOf(node)); // no change of selection to report it
    else
        setCurrentItem(node);
    return true;
}

void FolderTree::reportSelection() {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (selected.isEmpty()) {
        m_reportedPath.reset();
        return;
    }
    // Nodes coming and going around the selected one move it without
    // choosing another folder.
    const QString path = pathOf(selected.front());
    if (m_reportedPath == path)
        return;
    m_reportedPath = path;
    emit folderSelected(path);
}

} // namespace pagesmith
