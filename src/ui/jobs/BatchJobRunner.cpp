#include "ui/jobs/BatchJobRunner.h"

#include "ui/jobs/BatchJob.h"

#include <QMetaObject>
#include <QPointer>

namespace pagesmith {

BatchJobRunner::BatchJobRunner(BatchObserver* follower) : m_follower(follower) {}

BatchJobRunner::~BatchJobRunner() {
    stopBatchJob();
    waitForRunningJob();
}

void BatchJobRunner::submit(JobOrder order, const std::function<void(BatchJob&)>& follow) {
    auto job = std::make_unique<BatchJob>(std::move(order), m_follower);
    follow(*job);
    m_waiting.push_back(std::move(job));
    if (m_running)
        emit waitingChanged(waitingCount());
    else
        startNext();
}

void BatchJobRunner::startNext() {
    m_running = std::move(m_waiting.front());
    m_waiting.pop_front();

    BatchJob* job = m_running.get();
    emit job->aboutToRun();
    m_thread = JoiningThread([this, job, ended = QPointer<BatchJob>(job)] {
        job->batchJobThread();
        // Queued from the worker as it ends, so it arrives here after
        // everything the job reported. Dropped with this runner, and when the
        // job was waited for meanwhile (it is gone then, and another may run).
        QMetaObject::invokeMethod(
            this,
            [this, ended] {
                if (ended)
                    jobEnded();
            },
            Qt::QueuedConnection);
    });
}

void BatchJobRunner::jobEnded() {
    if (!m_thread.joinable())
        return; // already waited for
    m_thread.join();
    m_running.reset();
    if (m_waiting.empty())
        return;
    startNext();
    emit waitingChanged(waitingCount());
}

void BatchJobRunner::stopBatchJob() {
    const bool hadWaiting = !m_waiting.empty();
    m_waiting.clear();
    if (hadWaiting)
        emit waitingChanged(0);
    if (m_running)
        m_running->requestStop();
}

void BatchJobRunner::waitForRunningJob() {
    // The worker never waits for this thread, so waiting here cannot lock up.
    if (m_thread.joinable())
        jobEnded();
}

} // namespace pagesmith
