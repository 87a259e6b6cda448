#include "ui/main/FolderTree.h"

#include "ui/toolkit/LinguisticCollator.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>

namespace pagesmith {

namespace fs = std::filesystem;

namespace {

const QString kAccessibleName = QStringLiteral("Folders");

enum NodeRole { PathRole = Qt::UserRole, RemovableOrNetworkRole };

struct SubFolders {
    bool readable = false;
    QStringList names;
};

// The folders directly inside path, hidden ones left out, in a file manager's
// order. Only the entries of path itself are looked at, so a large tree
// costs nothing until it is opened.
SubFolders listSubFolders(const QString& path) {
    SubFolders result;
    std::error_code error;
    fs::directory_iterator entries(QFile::encodeName(path).toStdString(), error);
    if (error)
        return result;
    result.readable = true;
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name.front() == '.' || !entries->is_directory(typeError))
            continue;
        result.names.push_back(QFile::decodeName(QByteArray::fromStdString(name)));
    }
    const QCollator collator = linguisticCollator(Qt::CaseInsensitive, true);
    std::sort(result.names.begin(), result.names.end(),
              [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return result;
}

QString childPath(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
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

    m_root = addNode(nullptr, QDir(desktopPath).dirName(), desktopPath,
                     QAbstractFileIconProvider::Desktop, false);
    populate(m_root);
    m_root->setExpanded(true);

    connect(this, &QTreeWidget::itemExpanded, this, &FolderTree::populate);
    connect(this, &QTreeWidget::itemSelectionChanged, this, &FolderTree::reportSelection);
}

QString FolderTree::pathOf(const QTreeWidgetItem* node) {
    return node ? node->data(0, PathRole).toString() : QString();
}

QTreeWidgetItem* FolderTree::addNode(QTreeWidgetItem* parent, const QString& text,
                                     const QString& path, QAbstractFileIconProvider::IconType icon,
                                     bool removableOrNetwork) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    node->setText(0, text);
    node->setIcon(0, m_icons.icon(icon));
    node->setData(0, PathRole, path);
    node->setData(0, RemovableOrNetworkRole, removableOrNetwork);
    // Whether a folder has sub-folders is only learnt by opening it.
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return node;
}

bool FolderTree::isOnRemovableOrNetwork(const QTreeWidgetItem* node) const {
    return node->data(0, RemovableOrNetworkRole).toBool();
}

void FolderTree::populate(QTreeWidgetItem* node) {
    // Children are looked up once and never refreshed.
    if (node->childCount() > 0)
        return;
    if (node == m_root) {
        for (const FolderPlace& place : m_places)
            addNode(node, place.name, place.path, place.icon, place.removableOrNetwork);
    }
    const QString path = pathOf(node);
    const SubFolders folders = listSubFolders(path);
    for (const QString& name : folders.names) {
        const QString child = childPath(path, name);
        addNode(node, name, child, QAbstractFileIconProvider::Folder,
                isOnRemovableOrNetwork(node) || m_removableOrNetworkRoots.contains(child));
    }
    if (node == m_root || node->childCount() > 0)
        return;
    // A fixed folder that cannot be read (gone, or closed to this user)
    // loses its button; a removable or network place may come back.
    if (!folders.readable && !isOnRemovableOrNetwork(node))
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    // Not settled: shown collapsed, and read again on the next expansion.
    node->setExpanded(false);
}

void FolderTree::reportSelection() {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    if (!selected.isEmpty())
        emit folderSelected(pathOf(selected.front()));
}

} // namespace pagesmith
