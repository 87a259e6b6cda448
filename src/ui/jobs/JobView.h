#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <string>

namespace pagesmith {

class BatchJob;
class JobWindow;
class MessageSink;
class ProgressWindow;
enum class FileStatus;
struct BatchResult;
struct OutputPages;

// The window's side of one job: turns what the job reports into widget
// changes on the window thread. When the job begins: the "Results" page
// comes to the front with the job's header, the Result column and the
// job-total pane are cleared, the job-state pane says what runs, the progress
// window opens, captioned with what runs, and the busy cursor shows. While it
// runs: its lines on the page, each file's outcome in its row (only while the
// list still shows the listing the job was started from, however often the
// folder was read again since), the file in hand in the progress window,
// whose Cancel stops the job. At its end: how far a stopped job got, the
// totals on the page and in the job-total pane, "Done.", the progress window
// gone, the "Results" page's offer to open the save folder, and a desktop
// notification when the job ran long while the user was in another program.
// A child of the window, so it goes with it, and the job then no longer
// reaches its widgets.
class JobView : public QObject {
    Q_OBJECT

public:
    JobView(JobWindow& window, BatchJob& job, MessageSink& messages,
            std::chrono::milliseconds noticeAfter);
    ~JobView() override;

    // The word a row's Result column shows for a file's outcome; empty for a
    // file not begun.
    static QString resultWord(FileStatus status);
    // The progress window's caption: "Converting 12 files", "Merging 1 file".
    static QString progressCaption(bool merge, int fileCount);

private:
    void begin();
    void showFileInHand(int total, const QString& path);
    void showOutcome(qulonglong scanIndex, FileStatus status, const QString& reason,
                     const OutputPages& output);
    void end(const BatchResult& result);
    bool showsTheJobsFill() const;
    bool showsTheJobsListing() const;
    QString nameOfScanIndex(qulonglong scanIndex);
    void noticeIfUnseen(const QString& text);

    JobWindow& m_window;
    QPointer<BatchJob> m_job;
    MessageSink& m_messages;
    const int m_fillGeneration;
    const int m_listingGeneration;
    const std::string m_saveFolder;
    const bool m_merge;
    QPointer<ProgressWindow> m_progress;
    int m_fileCount = 0;
    bool m_busyCursor = false;
    const std::chrono::milliseconds m_noticeAfter;
    QElapsedTimer m_running;
    QHash<qulonglong, QString> m_names; // by scan index, once rows moved
};

} // namespace pagesmith
