#pragma once

#include "batch/BatchRequest.h"
#include "batch/watch/HotFolder.h"
#include "engine/threads/JoiningThread.h"
#include "ui/jobs/JobMetaTypes.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>
#include <string>

namespace pagesmith {

// The window's watch of one folder: a HotFolder on a thread of its own,
// reporting through queued signals, each report appended to the run log on
// that thread. It knows no widget. Destroying it stops the watch after the
// file in hand and waits for that.
class WatchJob : public QObject, private HotFolderObserver {
    Q_OBJECT

public:
    WatchJob(const BatchRequest& request, std::string logPath, int shortLog);
    ~WatchJob() override;

    void start();
    // Ends the watch after the file in hand, without waiting.
    void stop();
    const BatchRequest& request() const { return m_request; }

signals:
    // From the watch's thread.
    void reportReady(const QByteArray& report);
    void fileDone(const QString& path, pagesmith::FileStatus status, const QString& reason);
    void countsUpdated(int converted, int failed, bool folderPresent);
    void faultReported(const QString& caption, const QString& text);

private:
    // HotFolderObserver
    void fileHandled(const FileOutcome& outcome) override;
    void entryWritten(const std::string& report) override;
    void countsChanged(const WatchCounts& counts) override;
    void faultShown(const std::string& caption, const std::string& text) override;

    BatchRequest m_request;
    std::string m_logPath;
    int m_shortLog;
    HotFolder m_watch;
    JoiningThread m_thread;
};

} // namespace pagesmith
