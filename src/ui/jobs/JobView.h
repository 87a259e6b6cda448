#pragma once

#include <QObject>
#include <QPointer>

namespace pagesmith {

class BatchJob;
class MainFrame;
class MessageSink;
class ProgressWindow;

// The window's side of one job: turns what the job reports into widget
// changes on the window thread. When the job begins: the "Results" page
// comes to the front with the job's header, the progress window opens and
// the busy cursor shows. While it runs: its lines on the page, its marks on
// the rows (only while the list still shows the fill the job was started
// from), the file in hand in the progress window, whose Cancel stops the job.
// At its end: the total in the job-total pane, the progress window gone.
// A child of the frame, so it goes with the window, whose widgets the job
// then no longer reaches.
class JobView : public QObject {
    Q_OBJECT

public:
    JobView(MainFrame& frame, BatchJob& job, MessageSink& messages);
    ~JobView() override;

private:
    void begin();
    void showFileInHand(int total, const QString& path);
    void markFile(qulonglong scanIndex, const QString& status);
    void end(const QString& totalLine);

    MainFrame& m_frame;
    QPointer<BatchJob> m_job;
    MessageSink& m_messages;
    const int m_fillGeneration;
    QPointer<ProgressWindow> m_progress;
    int m_fileCount = 0;
    bool m_busyCursor = false;
};

} // namespace pagesmith
