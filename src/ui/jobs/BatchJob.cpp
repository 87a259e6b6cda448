#include "ui/jobs/BatchJob.h"

#include "app/RunLog.h"
#include "batch/BatchOperations.h"
#include "batch/FolderScan.h"
#include "batch/ReportText.h"
#include "ui/jobs/JobTexts.h"

#include <algorithm>

namespace pagesmith {

BatchJob::BatchJob(JobOrder order, BatchObserver* follower)
    : m_order(std::move(order)), m_follower(follower) {
    qRegisterMetaType<BatchResult>();
    qRegisterMetaType<OutputPages>();
    qRegisterMetaType<FileStatus>();
}

int BatchJob::fileCount() const {
    const BatchRequest& request = m_order.request;
    int selected = 0;
    for (std::size_t i = 0; i < request.fileNames.size(); ++i)
        selected += request.isSelected(i) ? 1 : 0;
    return request.merge ? std::min(selected, kMaxMergeFiles) : selected;
}

void BatchJob::batchJobThread() {
    ensureFolder(m_order.request.saveFolder);
    const BatchResult result = runBatch(m_order.request, *this);
    appendRunLog(m_order.logPath, logText(m_order, result), m_order.shortLog);
    emit finished(result);
}

std::string BatchJob::logText(const JobOrder& order, const BatchResult& result) {
    (void)order;
    return windowLogEntry(result);
}

void BatchJob::fileStarted(int done, int total, const std::string& path) {
    emit fileInHand(done, total, QString::fromStdString(path));
    if (m_follower)
        m_follower->fileStarted(done, total, path);
}

void BatchJob::reportLine(const std::string& text) {
    emit lineReported(QByteArray::fromStdString(text));
}

void BatchJob::fileFinished(const FileOutcome& outcome) {
    const std::vector<std::size_t>& scanIndexes = m_order.scanIndexes;
    const std::size_t scanIndex =
        outcome.index < scanIndexes.size() ? scanIndexes[outcome.index] : outcome.index;
    emit fileEnded(scanIndex, outcome.status, QString::fromStdString(outcome.reason),
                   outcome.output);
}

void BatchJob::faultShown(const std::string& caption, const std::string& text) {
    emit errorShown(QString::fromStdString(caption), QString::fromStdString(text));
}

bool BatchJob::stopRequested() {
    return m_stopRequested;
}

} // namespace pagesmith
