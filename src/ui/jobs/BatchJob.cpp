#include "ui/jobs/BatchJob.h"

#include "app/RunLog.h"
#include "batch/BatchOperations.h"
#include "batch/FolderScan.h"
#include "batch/ReportRoute.h"
#include "inspect/ReportLines.h"
#include "ui/jobs/JobTexts.h"

#include <algorithm>

namespace pagesmith {

BatchJob::BatchJob(JobOrder order, BatchProgress* follower)
    : m_order(std::move(order)), m_follower(follower) {}

int BatchJob::fileCount() const {
    const BatchRequest& request = m_order.request;
    int selected = 0;
    for (std::size_t i = 0; i < request.fileNames.size(); ++i)
        selected += i < request.fileSelected.size() && request.fileSelected[i] ? 1 : 0;
    return request.merge ? std::min(selected, kMaxMergeFiles) : selected;
}

void BatchJob::batchJobThread() {
    BatchRequest& request = m_order.request;
    request.resultText = m_order.shortLog ? "" : JobTexts::kLogHeader;
    m_resultsPage = m_order.resultsHeader;
    ensureFolder(request.saveFolder);

    ReportRoute route(kResultsPage, this, *this);
    route.setProgress(this);
    const int total = runBatch(request, request.merge, route);

    if (m_stoppedEarly)
        appendToPage(kResultsPage, formatText(JobTexts::kStoppedLine, total, fileCount()));
    appendToPage(kResultsPage, JobTexts::kSeparator);
    const std::string totalLine = formatText(JobTexts::kTotalLine, total);
    appendToPage(kResultsPage, totalLine);
    appendRunLog(m_order.logPath, request.resultText, m_order.shortLog);
    emit finished(total, QString::fromStdString(totalLine));
}

void BatchJob::appendToPage(int page, const std::string& text) {
    if (page != kResultsPage)
        return; // a job writes to "Results" only
    m_resultsPage += text;
    emit pageAppended(page, QByteArray::fromStdString(text));
}

std::string BatchJob::pageText(int page) {
    return page == kResultsPage ? m_resultsPage : std::string();
}

void BatchJob::setFileStatus(std::size_t fileIndex, const std::string& status) {
    emit fileMarked(fileIndex, QString::fromStdString(status));
}

void BatchJob::fileStarted(int done, int total, const std::string& path) {
    emit fileInHand(done, total, QString::fromStdString(path));
    if (m_follower)
        m_follower->fileStarted(done, total, path);
}

bool BatchJob::stopRequested() {
    m_stoppedEarly = m_stopRequested;
    return m_stoppedEarly;
}

void BatchJob::show(const std::string& caption, const std::string& text, MessageKind) {
    emit errorShown(QString::fromStdString(caption), QString::fromStdString(text));
}

} // namespace pagesmith
