#include "ui/jobs/JobCommands.h"

#include "app/ProcessSettings.h"
#include "base/Paths.h"
#include "batch/FolderScan.h"
#include "batch/ReportText.h"
#include "ui/dialogs/DestinationDialog.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/PathChoosers.h"
#include "ui/jobs/BatchJob.h"
#include "ui/jobs/BatchJobRunner.h"
#include "ui/jobs/JobTexts.h"
#include "ui/jobs/JobView.h"
#include "ui/jobs/JobWindow.h"
#include "ui/jobs/WatchJob.h"
#include "ui/jobs/WatchView.h"
#include "ui/toolkit/CorePaths.h"

namespace pagesmith {

namespace {

QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

} // namespace

JobCommands::JobCommands(JobWindow& window, BatchJobRunner& jobs, ProcessSettings& settings,
                         MessageSink& messages)
    : m_window(window), m_jobs(jobs), m_settings(settings), m_messages(messages),
      m_choosers(&platformPathChoosers()), m_boxes(&platformMessageBoxes()) {
    connect(&jobs, &BatchJobRunner::waitingChanged, this, &JobCommands::showWaitingJobs);
}

JobCommands::~JobCommands() = default;

void JobCommands::runCommand(int merge) {
    // The job-state pane belongs to the running job, which shows its own
    // state from its begin to its end; with none running it shows this
    // command's, and "Done." once the dialog is left without a job.
    const bool idle = !m_jobs.isRunning();
    if (idle)
        m_window.setStatusPaneText(JobWindow::StatusPane::JobState,
                                   text(merge ? JobTexts::kMerging : JobTexts::kConverting));
    const int started = startBatchJob(merge);
    if (idle && started != 0)
        m_window.setStatusPaneText(JobWindow::StatusPane::JobState, text(JobTexts::kDone));
}

int JobCommands::startBatchJob(int merge) {
    if (!askDestination(merge))
        return -1;
    m_jobs.submit(makeOrder(merge),
                  [this](BatchJob& job) { new JobView(m_window, job, m_messages, m_noticeAfter); });
    return 0;
}

int JobCommands::startWatch() {
    if (m_watch || m_window.currentFolder().empty() || !askDestination(0))
        return -1;
    BatchRequest request = makeOrder(0).request;
    request.clearFiles();
    request.includeSubfolders = 0; // a watch takes the folder's own files
    request.watch.on = 1;
    m_watch = std::make_unique<WatchJob>(request, m_settings.logPath, m_settings.shortLog);
    new WatchView(m_window, *m_watch, m_messages);
    m_window.setWatching(true);
    m_watch->start();
    return 0;
}

void JobCommands::stopWatch() {
    if (!m_watch)
        return;
    m_watch.reset(); // waits for the file in hand
    m_window.setWatching(false);
    m_window.showReady();
}

bool JobCommands::askDestination(int merge) {
    // Owned by the main window, never by whatever window is active: a job's
    // progress window goes when the job ends and would take the dialog along.
    QWidget* owner = m_window.ownerWindow();
    DestinationDialog dialog(
        QString::fromStdString(m_destinationFolder), QString::fromStdString(m_mergedFileName),
        QString::fromStdString(m_settings.logPath), int(m_saveFormat), merge != 0, owner);
    dialog.setPathChoosers(*m_choosers);
    dialog.setMessageBoxes(*m_boxes);
    dialog.setFolderShown(QString::fromStdString(m_window.currentFolder()));
    // The values confirmed are kept even when the folder is refused and the
    // user then cancels.
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            return false;
        takeDialogValues(dialog);
        if (!isSourceFolder(m_destinationFolder))
            break;
        m_boxes->showOk(owner, text(JobTexts::kSameFolderCaption), text(JobTexts::kSameFolderText));
    }
    return true;
}

void JobCommands::setDestination(const std::string& folder, const std::string& mergedFileName) {
    m_destinationFolder = folder;
    m_mergedFileName = mergedFileName;
}

void JobCommands::takeDialogValues(const DestinationDialog& dialog) {
    m_destinationFolder = corePath(dialog.saveFolder());
    m_mergedFileName = dialog.mergedFileName().toStdString();
    // As on the command line, a log path the platform cannot open is refused
    // rather than cut short; an empty one means no run log.
    const std::string logPath = corePath(dialog.logFile());
    if (fitsPathLimit(logPath))
        m_settings.logPath = logPath;
    const int saveFormat = dialog.saveFormat();
    m_saveFormat = saveFormat < 0 ? kDefaultCompressionMode : CompressionMode(saveFormat);
}

// Writing into the folder shown would overwrite the files being read, however
// the folder is spelled.
bool JobCommands::isSourceFolder(const std::string& folder) const {
    return folder == m_window.currentFolder() || sameFolder(folder, m_window.currentFolder());
}

JobOrder JobCommands::makeOrder(int merge) const {
    JobOrder order;
    BatchRequest& request = order.request;
    // The files in the order the list shows them, which is the order a merge
    // puts their pages in and the report follows.
    const FileListing listing = m_window.listedFiles();
    for (const ListedFile& file : listing.files) {
        request.addFile(file.name, file.info, file.checked ? 1 : 0);
        order.scanIndexes.push_back(file.scanIndex);
    }
    request.leftoversLeftOut = listing.leftoversLeftOut;
    request.options.compressionMode = m_saveFormat;
    request.options.tempFile = m_settings.scratchPath;
    request.options.keepName = m_window.keepFileNames() ? 1 : 0;
    request.options.shortLog = m_settings.shortLog;
    request.options.interruption = m_settings.interruption;
    request.options.threads = m_settings.threads; // PAGESMITH_THREADS, as on the command line
    request.sourceFolder = m_window.currentFolder();
    request.saveFolder = m_destinationFolder;
    request.includeSubfolders = m_window.includeSubFolders() ? 1 : 0;
    request.saveName = m_mergedFileName;
    request.merge = merge;
    request.operation = BatchOperation::ConvertIntoFolder;

    order.resultsHeader = resultsPageOpening(merge);
    order.logPath = m_settings.logPath;
    order.shortLog = m_settings.shortLog;
    return order;
}

void JobCommands::showWaitingJobs(int waiting) {
    if (waiting > 0)
        m_window.setStatusPaneText(JobWindow::StatusPane::Main,
                                   text(JobTexts::kJobsWaiting).arg(waiting));
    else
        m_window.showReady();
}

} // namespace pagesmith
