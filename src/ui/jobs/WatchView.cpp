#include "ui/jobs/WatchView.h"

#include "base/Paths.h"
#include "batch/FolderScan.h"
#include "batch/MessageSink.h"
#include "inspect/ReportLines.h"
#include "ui/jobs/JobTexts.h"
#include "ui/jobs/JobView.h"
#include "ui/jobs/WatchJob.h"
#include "ui/main/FileList.h"
#include "ui/main/InfoResultsView.h"
#include "ui/main/MainFrame.h"

namespace pagesmith {

WatchView::WatchView(MainFrame& frame, WatchJob& job, MessageSink& messages)
    : QObject(&frame), m_frame(frame), m_messages(messages), m_folder(job.request().sourceFolder) {
    InfoResultsView* results = m_frame.infoResultsView();
    results->showPage(InfoResultsView::kResultsPage);
    results->clearPage(InfoResultsView::kResultsPage);
    results->appendToPage(InfoResultsView::kResultsPage,
                          formatText(JobTexts::kStartWatching, shownName(m_folder).c_str()) +
                              JobTexts::kSeparator);
    showCounts(0, 0, true);

    connect(&job, &WatchJob::reportReady, this, [this](const QByteArray& text) {
        m_frame.infoResultsView()->appendToPage(InfoResultsView::kResultsPage, text.toStdString());
    });
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
    m_frame.setStatusPaneText(MainFrame::StatusPane::Main,
                              statusText(m_folder, converted, failed, folderPresent));
}

void WatchView::markFile(const QString& path, int status, const QString& reason) {
    if (!sameFolder(m_frame.currentFolder(), m_folder))
        return;
    const QString name = QString::fromStdString(splitPath(path.toStdString()).name);
    FileList* list = m_frame.fileList();
    // The list follows the disk a moment later: a file handled before that
    // is listed now.
    if (list->fileModel().rowOfName(name) < 0)
        m_frame.refresh();
    list->setFileResultByName(name, JobView::resultWord(status), reason);
}

} // namespace pagesmith
