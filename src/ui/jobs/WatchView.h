#pragma once

#include <QObject>
#include <QString>

#include <string>

namespace pagesmith {

class MainFrame;
class MessageSink;
class WatchJob;

// The window's side of a watch: the "Results" page comes to the front and
// receives each report; the main status pane shows "Watching FOLDER: N
// converted"; each file handled is marked in its row while the list shows
// the watched folder (new files are listed first). A child of the frame.
class WatchView : public QObject {
    Q_OBJECT

public:
    WatchView(MainFrame& frame, WatchJob& job, MessageSink& messages);

    // "Watching FOLDER: N converted", with the failures and a gone folder
    // when there are such.
    static QString statusText(const std::string& folder, int converted, int failed,
                              bool folderPresent);

private:
    void showCounts(int converted, int failed, bool folderPresent);
    void markFile(const QString& path, int status, const QString& reason);

    MainFrame& m_frame;
    MessageSink& m_messages;
    const std::string m_folder;
};

} // namespace pagesmith
