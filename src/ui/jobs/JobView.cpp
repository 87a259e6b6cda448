#include "ui/jobs/JobView.h"

#include "batch/MessageSink.h"
#include "ui/jobs/BatchJob.h"
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
    connect(&job, &BatchJob::pageAppended, this, [this](int page, const QByteArray& text) {
        m_frame.infoResultsView()->appendToPage(page, text.toStdString());
    });
    connect(&job, &BatchJob::fileInHand, this,
            [this](int, int total, const QString& path) { showFileInHand(total, path); });
    connect(&job, &BatchJob::fileMarked, this, &JobView::markFile);
    connect(&job, &BatchJob::errorShown, this, [this](const QString& caption, const QString& text) {
        m_messages.show(caption.toStdString(), text.toStdString(), MessageKind::Error);
    });
    connect(&job, &BatchJob::finished, this,
            [this](int, const QString& totalLine) { end(totalLine); });
    // A job that never began (the window closed while it waited).
    connect(&job, &QObject::destroyed, this, &QObject::deleteLater);
}

JobView::~JobView() {
    delete m_progress;
    if (m_busyCursor)
        QApplication::restoreOverrideCursor();
}

void JobView::begin() {
    InfoResultsView* results = m_frame.infoResultsView();
    results->showPage(InfoResultsView::kResultsPage);
    results->clearPage(InfoResultsView::kResultsPage);
    results->appendToPage(InfoResultsView::kResultsPage, m_job->order().resultsHeader);

    m_fileCount = m_job->fileCount();
    m_progress = new ProgressWindow(&m_frame);
    m_progress->setRange(m_fileCount);
    connect(m_progress, &ProgressWindow::stopRequested, m_job, &BatchJob::requestStop);
    // A merge writes one file and cannot stop halfway without spoiling it.
    m_progress->cancelButton()->setEnabled(!m_job->order().request.merge);
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

void JobView::markFile(qulonglong scanIndex, const QString& status) {
    // Scan indexes name rows of the fill the job was started from.
    if (m_frame.fillGeneration() == m_fillGeneration)
        m_frame.fileList()->setFileStatus(std::size_t(scanIndex), status);
}

void JobView::end(const QString& totalLine) {
    m_frame.setStatusPaneText(MainFrame::StatusPane::JobTotal, totalLine.trimmed());
    if (m_progress) {
        m_progress->finish();
        m_progress->deleteLater();
    }
    deleteLater();
}

} // namespace pagesmith
