#include "ui/jobs/WatchJob.h"

#include "app/RunLog.h"
#include "batch/ReportText.h"

namespace pagesmith {

WatchJob::WatchJob(const BatchRequest& request, std::string logPath, int shortLog)
    : m_request(request), m_logPath(std::move(logPath)), m_shortLog(shortLog),
      m_watch(m_request, shortLog ? std::string() : windowLead(), *this) {
    qRegisterMetaType<FileStatus>();
}

WatchJob::~WatchJob() {
    stop();
    m_thread.join();
}

void WatchJob::start() {
    if (!m_thread.joinable())
        m_thread = JoiningThread([this] { m_watch.run(nullptr); });
}

void WatchJob::stop() {
    m_watch.stop();
}

void WatchJob::fileHandled(const FileOutcome& outcome) {
    emit fileDone(QString::fromStdString(outcome.path), outcome.status,
                  QString::fromStdString(outcome.reason));
}

void WatchJob::entryWritten(const std::string& report) {
    appendRunLog(m_logPath, report, m_shortLog);
    emit reportReady(QByteArray::fromStdString(report));
}

void WatchJob::countsChanged(const WatchCounts& counts) {
    emit countsUpdated(counts.converted, counts.failed, counts.folderPresent);
}

void WatchJob::faultShown(const std::string& caption, const std::string& text) {
    emit faultReported(QString::fromStdString(caption), QString::fromStdString(text));
}

} // namespace pagesmith
