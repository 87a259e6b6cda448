#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace pagesmith {

// The modeless window a job shows over the main window while it runs: which
// file of how many is in hand, a bar that fills by one per file done, and a
// Cancel button that asks the job to stop after the file in hand. Esc and
// Enter only close the window; the job goes on. Its caption says what runs.
// A worker drives it through
// queued signals connected to its slots and never waits for it.
class ProgressWindow : public QDialog {
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget* mainWindow);

    QProgressBar* bar() const { return m_bar; }
    QLabel* fileLine() const { return m_fileLine; }
    QPushButton* cancelButton() const { return m_cancel; }

    void setVisible(bool visible) override;

public slots:
    // The job has fileCount files to do and none done yet.
    void setRange(int fileCount);
    // The job has moved on to fileName: the files before it are done.
    void advance(const QString& fileName);
    // The job is over: the bar is full and the window closes.
    void finish();

signals:
    // Cancel was pressed: stop after the file in hand.
    void stopRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void requestStop();

    QLabel* m_fileLine;
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    int m_fileCount = 0;
    int m_filesStarted = 0;
};

} // namespace pagesmith
