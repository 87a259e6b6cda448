#include "ui/jobs/WatchView.h"

#include "base/Paths.h"
#include "base/ReportMessages.h"
#include "batch/FolderScan.h"
#include "batch/MessageSink.h"
#include "inspect/ReportLines.h"
#include "ui/jobs/JobTexts.h"
#include "ui/jobs/JobView.h"
#include "ui/jobs/JobWindow.h"
#include "ui/jobs/WatchJob.h"

#include <QWidget>

namespace pagesmith {

namespace {

// How long marks of files not yet listed wait, so that a burst of arrivals
// reads the folder once.
constexpr int kMarkAfterMilliseconds = 200;

} // namespace

WatchView::WatchView(JobWindow& window, WatchJob& job, MessageSink& messages)
    : QObject(window.ownerWindow()), m_window(window), m_messages(messages),
      m_folder(job.request().sourceFolder) {
    m_window.showResultsPage();
    m_window.clearResultsPage();
    m_window.appendToResultsPage(
        formatMessage<ReportMessage::WindowStartWatching>(shownName(m_folder)) +
        messageText(ReportMessage::WindowSeparator));
    showCounts(0, 0, true);
    m_markLater.setSingleShot(true);
    m_markLater.setInterval(kMarkAfterMilliseconds);
    connect(&m_markLater, &QTimer::timeout, this, &WatchView::markPendingFiles);

    connect(&job, &WatchJob::reportReady, this,
            [this](const QByteArray& text) { m_window.appendToResultsPage(text.toStdString()); });
    connect(&job, &WatchJob::fileDone, this, &WatchView::markFile);
    connect(&job, &WatchJob::countsUpdated, this, &WatchView::showCounts);
    connect(&job, &WatchJob::faultReported, this,
            [this](const QString& caption, const QString& text) {
                m_messages.show(caption.toStdString(), text.toStdString(), MessageKind::Error);
            });
    connect(&job, &QObject::destroyed, this, &QObject::deleteLater);
}

QString WatchView::statusText(const std::string& folder, int converted, int failed,
                              bool folderPresent) {
    QString text = QString::fromLatin1(JobTexts::kWatchingStatus)
                       .arg(QString::fromStdString(shownName(folder)))
                       .arg(converted);
    if (failed > 0)
        text += QString::fromLatin1(JobTexts::kWatchingFailed).arg(failed);
    if (!folderPresent)
        text += QString::fromLatin1(JobTexts::kWatchedFolderGone);
    return text;
}

void WatchView::showCounts(int converted, int failed, bool folderPresent) {
    m_window.setStatusPaneText(JobWindow::StatusPane::Main,
                               statusText(m_folder, converted, failed, folderPresent));
}

void WatchView::markFile(const QString& path, FileStatus status, const QString& reason) {
    if (!sameFolder(m_window.currentFolder(), m_folder))
        return;
    const QString name = QString::fromStdString(splitPath(path.toStdString()).name);
    if (m_window.listsFile(name)) {
        m_window.markFileByName(name, JobView::resultWord(status), reason, {});
        return;
    }
    // The list follows the disk a moment later.
    m_pending.insert(name, {JobView::resultWord(status), reason});
    if (!m_markLater.isActive())
        m_markLater.start();
}

void WatchView::markPendingFiles() {
    if (!sameFolder(m_window.currentFolder(), m_folder)) {
        m_pending.clear();
        return;
    }
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it) {
        if (!m_window.listsFile(it.key())) {
            m_window.refresh();
            break;
        }
    }
    for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
        m_window.markFileByName(it.key(), it.value().first, it.value().second, {});
    m_pending.clear();
}

} // namespace pagesmith
