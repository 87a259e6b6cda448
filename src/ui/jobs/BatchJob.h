#pragma once

#include "batch/BatchProgress.h"
#include "batch/BatchRequest.h"
#include "batch/MainWindowHooks.h"
#include "batch/MessageSink.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <string>

namespace pagesmith {

// What one window job works on, fixed when the user confirms it: its own copy
// of the request (the files as listed, the check marks by scan index, the
// folders and options), the text the "Results" page starts with, and where
// its run-log entry goes.
struct JobOrder {
    BatchRequest request;
    std::string resultsHeader;
    std::string logPath;
    int shortLog = 0;
};

// One Convert or Merge job of the window. batchJobThread runs on a thread of
// its own. The job knows no widget: it reports through its signals, which the
// window connects to on its own thread, and it keeps its own copy of the
// "Results" page for its report, so it never waits for the window and carries
// on unharmed when the window is gone.
class BatchJob : public QObject,
                 private MainWindowHooks,
                 private BatchProgress,
                 private MessageSink {
    Q_OBJECT

public:
    // A follower, when given, hears of every file too, on the worker thread.
    explicit BatchJob(JobOrder order, BatchProgress* follower = nullptr);

    const JobOrder& order() const { return m_order; }

    // The files that take part: the checked ones, for a merge no more than
    // it takes.
    int fileCount() const;

    // Any thread: the job ends before its next file; the file in hand is
    // finished first, so no output is left half-written.
    void requestStop() { m_stopRequested = true; }

    // The whole job, on the worker thread: the batch run with the "Results"
    // page as its target, how far a stopped run got, the closing lines and
    // the total, then the run-log entry.
    void batchJobThread();

signals:
    // On the window thread, right before the worker begins.
    void aboutToRun();
    // The rest come from the worker thread.
    void pageAppended(int page, const QByteArray& text);
    void fileInHand(int done, int total, const QString& path);
    void fileMarked(qulonglong scanIndex, const QString& status);
    void errorShown(const QString& caption, const QString& text);
    void finished(int total, const QString& totalLine);

private:
    // MainWindowHooks: the report lands on the job's own page first.
    void appendToPage(int page, const std::string& text) override;
    std::string pageText(int page) override;
    void setFileStatus(std::size_t fileIndex, const std::string& status) override;
    // BatchProgress
    void fileStarted(int done, int total, const std::string& path) override;
    bool stopRequested() override;
    // MessageSink: the engine's fault boxes.
    void show(const std::string& caption, const std::string& text, MessageKind kind) override;

    JobOrder m_order;
    BatchProgress* m_follower;
    std::string m_resultsPage;
    std::atomic<bool> m_stopRequested = false;
    bool m_stoppedEarly = false;
};

} // namespace pagesmith
