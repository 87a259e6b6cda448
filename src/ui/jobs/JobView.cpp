#include "ui/jobs/JobView.h"

#include "batch/BatchResult.h"
#include "batch/MessageSink.h"
#include "inspect/ReportLines.h"
#include "ui/jobs/BatchJob.h"
#include "ui/jobs/JobTexts.h"
#include "ui/jobs/ProgressWindow.h"
#include "ui/main/FileList.h"
#include "ui/main/InfoResultsView.h"
#include "ui/main/MainFrame.h"

#include <QApplication>
#include <QPushButton>

namespace pagesmith {

JobView::JobView(MainFrame& frame, BatchJob& job, MessageSink& messages)
    : QObject(&frame), m_frame(frame), m_job(&job), m_messages(messages),
      m_fillGeneration(frame.fillGeneration()) {
    // The job reports from its own thread: with this object as the receiver
    // every report is queued to the window thread, and dropped once the
    // window has gone.
    connect(&job, &BatchJob::aboutToRun, this, &JobView::begin);
    connect(&job, &BatchJob::lineReported, this, [this](const QByteArray& text) {
        m_frame.infoResultsView()->appendToPage(InfoResultsView::kResultsPage, text.toStdString());
    });
    connect(&job, &BatchJob::fileInHand, this,
            [this](int, int total, const QString& path) { showFileInHand(total, path); });
    connect(&job, &BatchJob::fileEnded, this, &JobView::showOutcome);
    connect(&job, &BatchJob::errorShown, this, [this](const QString& caption, const QString& text) {
        m_messages.show(caption.toStdString(), text.toStdString(), MessageKind::Error);
    });
    connect(&job, &BatchJob::finished, this, &JobView::end);
    // A job that never began (the window closed while it waited).
    connect(&job, &QObject::destroyed, this, &QObject::deleteLater);
}

JobView::~JobView() {
    delete m_progress;
    if (m_busyCursor)
        QApplication::restoreOverrideCursor();
}

QString JobView::resultWord(int fileStatus) {
    switch (FileStatus(fileStatus)) {
    case FileStatus::Converted:
        return QStringLiteral("Converted");
    case FileStatus::Merged:
        return QStringLiteral("Merged");
    case FileStatus::Failed:
        return QStringLiteral("Failed");
    case FileStatus::Counted:
    case FileStatus::NotBegun:
        break;
    }
    return {};
}

bool JobView::showsTheJobsFill() const {
    // Scan indexes name rows of the fill the job was started from.
    return m_frame.fillGeneration() == m_fillGeneration;
}

void JobView::begin() {
    InfoResultsView* results = m_frame.infoResultsView();
    results->showPage(InfoResultsView::kResultsPage);
    results->clearPage(InfoResultsView::kResultsPage);
    results->appendToPage(InfoResultsView::kResultsPage, m_job->order().resultsHeader);
    // Marks and totals of an earlier job say nothing about this one.
    if (showsTheJobsFill())
        m_frame.fileList()->clearResults();
    const bool merge = m_job->order().request.merge != 0;
    m_frame.setStatusPaneText(
        MainFrame::StatusPane::JobState,
        QString::fromLatin1(merge ? JobTexts::kMerging : JobTexts::kConverting));
    m_frame.setStatusPaneText(MainFrame::StatusPane::JobTotal, {});

    m_fileCount = m_job->fileCount();
    m_progress = new ProgressWindow(&m_frame);
    m_progress->setRange(m_fileCount);
    connect(m_progress, &ProgressWindow::stopRequested, m_job, &BatchJob::requestStop);
    // A merge writes one file and cannot stop halfway without spoiling it.
    m_progress->cancelButton()->setEnabled(!merge);
    m_progress->show();

    // The window answers throughout; the cursor says work goes on.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_busyCursor = true;
}

void JobView::showFileInHand(int total, const QString& path) {
    if (!m_progress)
        return;
    // A merge can take fewer inputs than rows were checked (paths too long).
    if (total != m_fileCount) {
        m_fileCount = total;
        m_progress->setRange(total);
    }
    m_progress->advance(path);
}

void JobView::showOutcome(qulonglong scanIndex, int status, const QString& reason) {
    if (showsTheJobsFill())
        m_frame.fileList()->setFileResult(std::size_t(scanIndex), resultWord(status), reason);
}

void JobView::end(const BatchResult& result) {
    InfoResultsView* results = m_frame.infoResultsView();
    const auto append = [&](const std::string& line) {
        results->appendToPage(InfoResultsView::kResultsPage, line);
    };
    if (result.stopped)
        append(formatText(JobTexts::kStoppedLine, result.visited, result.selected));
    append(JobTexts::kSeparator);
    const std::string totalLine = formatText(JobTexts::kTotalLine, result.written);
    append(totalLine);
    QString totalPane = QString::fromStdString(totalLine).trimmed();
    if (result.failed > 0) {
        const std::string failedLine = formatText(JobTexts::kFailedLine, result.failed);
        append(failedLine);
        totalPane += QLatin1Char(' ') + QString::fromStdString(failedLine).trimmed();
    }
    m_frame.setStatusPaneText(MainFrame::StatusPane::JobTotal, totalPane);
    m_frame.setStatusPaneText(MainFrame::StatusPane::JobState,
                              QString::fromLatin1(JobTexts::kDone));
    if (m_progress) {
        m_progress->finish();
        m_progress->deleteLater();
    }
    deleteLater();
}

} // namespace pagesmith
