#pragma once

#include "batch/BatchObserver.h"
#include "batch/BatchRequest.h"
#include "batch/BatchResult.h"
#include "ui/jobs/JobMetaTypes.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace pagesmith {

// What one window job works on, fixed when the user confirms it: its own copy
// of the request with the files in the order the list showed them and their
// check marks, each file's scan index (the row of the fill it came from),
// the text the "Results" page starts with, and where its run-log entry goes.
struct JobOrder {
    BatchRequest request;
    std::vector<std::size_t> scanIndexes; // parallel to request.fileNames
    std::string resultsHeader;
    std::string logPath;
    int shortLog = 0;
};

// One Convert or Merge job of the window. batchJobThread runs on a thread of
// its own. The job knows no widget: it follows its batch as the batch's
// observer and reports through its signals, which the window connects to on
// its own thread; it ends with the batch's result. It never waits for the
// window and carries on unharmed when the window is gone.
class BatchJob : public QObject, private BatchObserver {
    Q_OBJECT

public:
    // A follower, when given, hears of every file too, on the worker thread.
    explicit BatchJob(JobOrder order, BatchObserver* follower = nullptr);

    const JobOrder& order() const { return m_order; }

    // The files that take part: the checked ones, for a merge no more than
    // it takes.
    int fileCount() const;

    // Any thread: the job ends before its next file; the file in hand is
    // finished first, so no output is left half-written.
    void requestStop() { m_stopRequested = true; }

    // The whole job, on the worker thread: the batch, then the run-log entry
    // built from its result, then the result for the window.
    void batchJobThread();

    // The run-log entry of a job's result.
    static std::string logText(const JobOrder& order, const BatchResult& result);

signals:
    // On the window thread, right before the worker begins.
    void aboutToRun();
    // The rest come from the worker thread.
    void lineReported(const QByteArray& text);
    void fileInHand(int done, int total, const QString& path);
    void fileEnded(qulonglong scanIndex, pagesmith::FileStatus status, const QString& reason,
                   const pagesmith::OutputPages& output);
    void errorShown(const QString& caption, const QString& text);
    void finished(const pagesmith::BatchResult& result);

private:
    // BatchObserver
    void fileStarted(int done, int total, const std::string& path) override;
    void reportLine(const std::string& text) override;
    void fileFinished(const FileOutcome& outcome) override;
    void faultShown(const std::string& caption, const std::string& text) override;
    bool stopRequested() override;

    JobOrder m_order;
    BatchObserver* m_follower;
    std::atomic<bool> m_stopRequested = false;
};

} // namespace pagesmith
