#pragma once

#include "engine/CompressionChoice.h"

#include <QObject>

#include <chrono>
#include <memory>
#include <string>

namespace pagesmith {

class BatchJobRunner;
class DestinationDialog;
class JobWindow;
class MessageBoxes;
class MessageSink;
class PathChoosers;
class WatchJob;
struct JobOrder;
struct ProcessSettings;

// File > Convert and File > Merge: ask for the destination, refuse the folder
// shown as the save folder, and hand the job to the runner. The choices made
// in the dialog carry over from one job to the next while the program runs;
// the log file chosen is the process's run log from then on.
class JobCommands : public QObject {
    Q_OBJECT

public:
    JobCommands(JobWindow& window, BatchJobRunner& jobs, ProcessSettings& settings,
                MessageSink& messages);
    // A watch still running ends here, after its file in hand.
    ~JobCommands() override;

    // Where the dialog's "Save Folder" and "Log File" and the warnings go; the
    // platform's own unless set.
    void setPathChoosers(PathChoosers& choosers) { m_choosers = &choosers; }
    void setMessageBoxes(MessageBoxes& boxes) { m_boxes = &boxes; }

    // File > Convert (merge 0) and File > Merge (1): startBatchJob, with
    // the job-state pane saying what the dialog is for while no job runs.
    void runCommand(int merge);
    // merge: 0 convert, 1 merge. 0 when the job was handed on (it starts at
    // once, or when the running job has finished); -1 when the dialog was
    // left without OK.
    int startBatchJob(int merge);

    // File > Watch Folder...: asks for the save folder and format as Convert
    // does, then converts what is and what arrives in the folder shown until
    // stopWatch. 0 when the watch began; -1 when the dialog was left without
    // OK, or no folder is shown, or a watch runs already.
    int startWatch();
    // File > Stop Watching: ends the watch after the file in hand.
    void stopWatch();
    bool isWatching() const { return m_watch != nullptr; }

    const std::string& destinationFolder() const { return m_destinationFolder; }
    const std::string& mergedFileName() const { return m_mergedFileName; }
    // The save format chosen last, which the dialog offers first.
    CompressionMode saveFormat() const { return m_saveFormat; }
    // The choices of an earlier run, which the dialog offers first.
    void setDestination(const std::string& folder, const std::string& mergedFileName);

    // A job that runs longer than this ends with a desktop notification when
    // none of the program's windows is active.
    static constexpr std::chrono::milliseconds kNoticeAfter{10'000};
    void setNoticeAfter(std::chrono::milliseconds after) { m_noticeAfter = after; }

private:
    // The destination dialog until it is left, or confirmed with a save
    // folder other than the folder shown. True when confirmed.
    bool askDestination(int merge);
    void takeDialogValues(const DestinationDialog& dialog);
    bool isSourceFolder(const std::string& folder) const;
    JobOrder makeOrder(int merge) const;
    void showWaitingJobs(int waiting);

    JobWindow& m_window;
    BatchJobRunner& m_jobs;
    ProcessSettings& m_settings;
    MessageSink& m_messages;
    PathChoosers* m_choosers;
    MessageBoxes* m_boxes;
    std::string m_destinationFolder;
    std::string m_mergedFileName = "me_tiff";
    CompressionMode m_saveFormat = kDefaultCompressionMode;
    std::chrono::milliseconds m_noticeAfter = kNoticeAfter;
    std::unique_ptr<WatchJob> m_watch;
};

} // namespace pagesmith
