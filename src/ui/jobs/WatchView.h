#pragma once

#include <QHash>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>

#include <string>

namespace pagesmith {

class JobWindow;
class MessageSink;
class WatchJob;
enum class FileStatus;

// The window's side of a watch: the "Results" page comes to the front and
// receives each report; the main status pane shows "Watching FOLDER: N
// converted"; each file handled is marked in its row while the list shows
// the watched folder (new files are listed first). A child of the window.
class WatchView : public QObject {
    Q_OBJECT

public:
    WatchView(JobWindow& window, WatchJob& job, MessageSink& messages);

    // "Watching FOLDER: N converted", with the failures and a gone folder
    // when there are such.
    static QString statusText(const std::string& folder, int converted, int failed,
                              bool folderPresent);

private:
    void showCounts(int converted, int failed, bool folderPresent);
    void markFile(const QString& path, FileStatus status, const QString& reason);
    void markPendingFiles();

    JobWindow& m_window;
    MessageSink& m_messages;
    const std::string m_folder;
    // Files handled before the list showed them, by name: their word and
    // reason, marked once the list has read the folder again (once for a
    // burst of files).
    QHash<QString, QPair<QString, QString>> m_pending;
    QTimer m_markLater;
};

} // namespace pagesmith
