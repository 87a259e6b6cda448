#include "ui/toolkit/FolderWatch.h"

#include <QFileInfo>

namespace pagesmith {

FolderWatch::FolderWatch(QObject* parent) : QObject(parent) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMilliseconds);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
    connect(&m_settle, &QTimer::timeout, this, &FolderWatch::changed);
}

void FolderWatch::setFolder(const QString& folder) {
    if (folder != m_folder) {
        m_settle.stop();
        if (!m_watcher.directories().isEmpty())
            m_watcher.removePaths(m_watcher.directories());
        m_folder = folder;
    }
    if (!m_folder.isEmpty() && m_watcher.directories().isEmpty() && QFileInfo(m_folder).isDir())
        m_watcher.addPath(m_folder);
}

} // namespace pagesmith
