#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace pagesmith {

// Tells when the entries of one folder change (a file made, removed or
// renamed, the folder itself removed), once a burst of changes has settled,
// so that a copy of many files reads the folder once rather than per file.
class FolderWatch : public QObject {
    Q_OBJECT

public:
    static constexpr int kSettleMilliseconds = 300;

    explicit FolderWatch(QObject* parent = nullptr);

    // The folder to watch from now on; an empty or missing one is not watched.
    // Setting the same folder again takes up a folder made anew.
    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }
    bool isWatching() const { return !m_watcher.directories().isEmpty(); }

signals:
    void changed();

private:
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QString m_folder;
};

} // namespace pagesmith
