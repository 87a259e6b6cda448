#include "ui/jobs/ProgressWindow.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace pagesmith;

namespace {

// What a job's worker says about its progress.
class JobSignals : public QObject {
    Q_OBJECT

signals:
    void rangeSet(int fileCount);
    void fileStarted(const QString& fileName);
    void finished();
};

struct ShownWindow {
    ShownWindow() : window(&mainWindow) {
        mainWindow.setGeometry(50, 50, 600, 400);
        mainWindow.show();
        window.show();
    }

    QMainWindow mainWindow;
    ProgressWindow window;
};

} // namespace

class ProgressWindowTest : public QObject {
    Q_OBJECT

private slots:
    void saysWhichFileOfHowManyIsInHand() {
        ShownWindow shown;
        ProgressWindow& window = shown.window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Pagesmith")); // until the job names itself
        QCOMPARE(window.frameGeometry().center(), shown.mainWindow.frameGeometry().center());

        // A count beyond 16 bits is kept whole.
        window.setRange(70000);
        QCOMPARE(window.bar()->maximum(), 70000);

        window.setRange(3);
        QCOMPARE(window.bar()->minimum(), 0);
        QCOMPARE(window.bar()->maximum(), 3);
        QCOMPARE(window.bar()->value(), 0);

        struct Step {
            const char* file;
            const char* line;
            int filesDone;
        };
        const Step steps[] = {{"/in/a.tif", "File 1 of 3: a.tif", 0},
                              {"/in/b.tif", "File 2 of 3: b.tif", 1},
                              {"/in/c.tif", "File 3 of 3: c.tif", 2}};
        for (const Step& step : steps) {
            window.advance(QString::fromLatin1(step.file));
            QCOMPARE(window.fileLine()->text(), QString::fromLatin1(step.line));
            QCOMPARE(window.bar()->value(), step.filesDone);
        }

        window.finish();
        QCOMPARE(window.bar()->value(), 3);
        QVERIFY(!window.isVisible());
    }

    void cancelAsksTheJobToStopOnce() {
        ShownWindow shown;
        QSignalSpy stops(&shown.window, &ProgressWindow::stopRequested);

        QTest::mouseClick(shown.window.cancelButton(), Qt::LeftButton);
        QTest::mouseClick(shown.window.cancelButton(), Qt::LeftButton);

        QCOMPARE(stops.size(), 1);
        QVERIFY(!shown.window.cancelButton()->isEnabled());
        // The window stays until the job has stopped.
        QVERIFY(shown.window.isVisible());
    }

    void keysCloseTheWindowAndTheJobGoesOn_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void keysCloseTheWindowAndTheJobGoesOn() {
        QFETCH(int, key);
        ShownWindow shown;
        QVERIFY(QTest::qWaitForWindowActive(&shown.window));
        shown.window.cancelButton()->setFocus();
        QSignalSpy stops(&shown.window, &ProgressWindow::stopRequested);

        QTest::keyClick(shown.window.cancelButton(), Qt::Key(key));

        QVERIFY(!shown.window.isVisible());
        QCOMPARE(stops.size(), 0);
    }

    // The worker only queues its news: it runs to its end while the window
    // thread is busy elsewhere, and the window catches up afterwards.
    void followsAWorkerThatNeverWaitsForIt() {
        ShownWindow shown;
        JobSignals job;
        connect(&job, &JobSignals::rangeSet, &shown.window, &ProgressWindow::setRange);
        connect(&job, &JobSignals::fileStarted, &shown.window, &ProgressWindow::advance);
        connect(&job, &JobSignals::finished, &shown.window, &ProgressWindow::finish);

        std::unique_ptr<QThread> worker(QThread::create([&job] {
            emit job.rangeSet(2);
            emit job.fileStarted("first.tif");
            emit job.fileStarted("second.tif");
            emit job.finished();
        }));
        worker->start();
        QVERIFY(worker->wait(5000));
        QVERIFY(shown.window.isVisible());
        QCOMPARE(shown.window.fileLine()->text(), QString());

        QTRY_VERIFY(!shown.window.isVisible());
        QCOMPARE(shown.window.fileLine()->text(), QStringLiteral("File 2 of 2: second.tif"));
        QCOMPARE(shown.window.bar()->value(), 2);
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "ProgressWindowTest.moc"
