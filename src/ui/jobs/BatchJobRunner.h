#pragma once

#include "engine/threads/JoiningThread.h"

#include <QObject>

#include <deque>
#include <functional>
#include <memory>

namespace pagesmith {

class BatchJob;
class BatchObserver;
struct JobOrder;

// Runs the window's jobs one at a time, each on a thread of its own. Two jobs
// never run at once: a job confirmed while another runs waits until that one
// has finished. The runner outlives the main window, so a job that is still
// running when the window closes can stop and log what it did.
class BatchJobRunner : public QObject {
    Q_OBJECT

public:
    // A follower hears of every file of every job on the worker thread (tests
    // hold a job there).
    explicit BatchJobRunner(BatchObserver* follower = nullptr);
    // Stops and waits as at exit.
    ~BatchJobRunner() override;

    // Takes a job for the order: it starts now when no job runs, otherwise
    // when the jobs before it have finished. follow is called at once, so the
    // caller can connect to the job before it can start.
    void submit(JobOrder order, const std::function<void(BatchJob&)>& follow);

    bool isRunning() const { return m_running != nullptr; }
    int waitingCount() const { return int(m_waiting.size()); }

    // The window closes: the jobs waiting never begin, the running one ends
    // after the file in hand. Returns at once.
    void stopBatchJob();
    // Waits until the running job has ended (it writes its run-log entry).
    void waitForRunningJob();

signals:
    // Jobs confirmed and waiting for the running one.
    void waitingChanged(int waiting);

private:
    // The first job waiting; none runs.
    void startNext();
    void jobEnded();

    BatchObserver* m_follower;
    std::deque<std::unique_ptr<BatchJob>> m_waiting;
    std::unique_ptr<BatchJob> m_running;
    JoiningThread m_thread;
};

} // namespace pagesmith
