#include "ui/jobs/JobView.h"

#include "batch/BatchResult.h"
#include "batch/MessageSink.h"
#include "batch/ReportText.h"
#include "inspect/ReportLines.h"
#include "ui/jobs/BatchJob.h"
#include "ui/jobs/JobTexts.h"
#include "ui/jobs/JobWindow.h"
#include "ui/jobs/ProgressWindow.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>

namespace pagesmith {

JobView::JobView(JobWindow& window, BatchJob& job, MessageSink& messages,
                 std::chrono::milliseconds noticeAfter)
    : QObject(window.ownerWindow()), m_window(window), m_job(&job), m_messages(messages),
      m_fillGeneration(window.fillGeneration()), m_listingGeneration(window.listingGeneration()),
      m_saveFolder(job.order().request.saveFolder), m_merge(job.order().request.merge != 0),
      m_noticeAfter(noticeAfter) {
    // The job reports from its own thread: with this object as the receiver
    // every report is queued to the window thread, and dropped once the
    // window has gone.
    connect(&job, &BatchJob::aboutToRun, this, &JobView::begin);
    connect(&job, &BatchJob::lineReported, this,
            [this](const QByteArray& text) { m_window.appendToResultsPage(text.toStdString()); });
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

QString JobView::resultWord(FileStatus status) {
    switch (status) {
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

QString JobView::progressCaption(bool merge, int fileCount) {
    const char* caption =
        merge ? (fileCount == 1 ? JobTexts::kMergingOneCaption : JobTexts::kMergingCaption)
              : (fileCount == 1 ? JobTexts::kConvertingOneCaption : JobTexts::kConvertingCaption);
    return QString::fromLatin1(caption).arg(fileCount);
}

bool JobView::showsTheJobsFill() const {
    // Scan indexes name rows of the fill the job was started from.
    return m_window.fillGeneration() == m_fillGeneration;
}

bool JobView::showsTheJobsListing() const {
    // A new reading of the folder (it changed on disk) moves the rows, but
    // names still name the same files.
    return m_window.listingGeneration() == m_listingGeneration;
}

QString JobView::nameOfScanIndex(qulonglong scanIndex) {
    if (m_names.isEmpty() && m_job) {
        const JobOrder& order = m_job->order();
        for (std::size_t i = 0; i < order.scanIndexes.size() && i < order.request.fileNames.size();
             ++i)
            m_names.insert(order.scanIndexes[i], QFile::decodeName(QByteArray::fromStdString(
                                                     order.request.fileNames[i])));
    }
    return m_names.value(scanIndex);
}

void JobView::begin() {
    m_window.showResultsPage();
    m_window.clearResultsPage();
    m_window.appendToResultsPage(m_job->order().resultsHeader);
    // Marks and totals of an earlier job say nothing about this one.
    if (showsTheJobsListing())
        m_window.clearFileResults();
    m_window.offerSaveFolder({});
    m_window.setStatusPaneText(
        JobWindow::StatusPane::JobState,
        QString::fromLatin1(m_merge ? JobTexts::kMerging : JobTexts::kConverting));
    m_window.setStatusPaneText(JobWindow::StatusPane::JobTotal, {});

    m_fileCount = m_job->fileCount();
    m_progress = new ProgressWindow(m_window.ownerWindow());
    m_progress->setWindowTitle(progressCaption(m_merge, m_fileCount));
    m_progress->setRange(m_fileCount);
    connect(m_progress, &ProgressWindow::stopRequested, m_job, &BatchJob::requestStop);
    // A merge writes one file and cannot stop halfway without spoiling it.
    m_progress->cancelButton()->setEnabled(!m_merge);
    m_progress->show();

    // The window answers throughout; the cursor says work goes on.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_busyCursor = true;
    m_running.start();
}

void JobView::showFileInHand(int total, const QString& path) {
    if (!m_progress)
        return;
    // A merge can take fewer inputs than rows were checked (paths too long).
    if (total != m_fileCount) {
        m_fileCount = total;
        m_progress->setRange(total);
        m_progress->setWindowTitle(progressCaption(m_merge, total));
    }
    m_progress->advance(path);
}

void JobView::showOutcome(qulonglong scanIndex, FileStatus status, const QString& reason,
                          const OutputPages& output) {
    if (showsTheJobsFill())
        m_window.markFile(std::size_t(scanIndex), resultWord(status), reason, output);
    else if (showsTheJobsListing())
        m_window.markFileByName(nameOfScanIndex(scanIndex), resultWord(status), reason, output);
}

void JobView::noticeIfUnseen(const QString& text) {
    // The progress window and the dialogs are the program's too: the user
    // is away only when none of its windows is active.
    if (!m_running.isValid() || m_running.elapsed() < m_noticeAfter.count() ||
        QApplication::activeWindow())
        return;
    m_window.notifyDesktop(text);
}

void JobView::end(const BatchResult& result) {
    const ResultsClosing closing = resultsPageClosing(result);
    m_window.appendToResultsPage(closing.text);
    const QString totalPane = QString::fromStdString(closing.totals);
    m_window.setStatusPaneText(JobWindow::StatusPane::JobTotal, totalPane);
    m_window.setStatusPaneText(JobWindow::StatusPane::JobState,
                               QString::fromLatin1(JobTexts::kDone));
    m_window.offerSaveFolder(QFile::decodeName(QByteArray::fromStdString(m_saveFolder)));
    noticeIfUnseen(totalPane);
    if (m_progress) {
        m_progress->finish();
        m_progress->deleteLater();
    }
    deleteLater();
}

} // namespace pagesmith
