#include "app/ProcessSettings.h"
#include "app/SettingsStore.h"
#include "batch/BatchProgress.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"
#include "ui/dialogs/DestinationDialog.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/PathChoosers.h"
#include "ui/jobs/BatchJobRunner.h"
#include "ui/jobs/JobCommands.h"
#include "ui/jobs/ProgressWindow.h"
#include "ui/main/FileList.h"
#include "ui/main/FilterCombo.h"
#include "ui/main/InfoResultsView.h"
#include "ui/main/MainFrame.h"
#include "ui/main/WindowMode.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

using namespace pagesmith;
namespace fs = std::filesystem;

namespace {

constexpr int kJobTimeoutMs = 30000;
constexpr int kGroup4 = 6; // the save format's list entry

// Holds a job's worker as a chosen file begins, until the test lets it go:
// the test acts while the job is known to be between two files.
class FileGate : public BatchProgress {
public:
    // Holds once, as the file after `done` finished files begins.
    void holdAt(int done) {
        std::lock_guard lock(m_mutex);
        m_holdAt = done;
    }

    void fileStarted(int done, int, const std::string&) override {
        std::unique_lock lock(m_mutex);
        if (done != m_holdAt)
            return;
        m_holdAt = -1;
        m_held = true;
        m_timedOut = !m_changed.wait_for(lock, std::chrono::seconds(20), [this] { return m_open; });
        m_held = false;
        m_open = false;
    }

    bool isHeld() {
        std::lock_guard lock(m_mutex);
        return m_held;
    }
    bool timedOut() {
        std::lock_guard lock(m_mutex);
        return m_timedOut;
    }
    void release() {
        std::lock_guard lock(m_mutex);
        if (!m_held)
            return;
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_holdAt = -1;
    bool m_held = false;
    bool m_open = false;
    bool m_timedOut = false;
};

class RecordedBoxes : public MessageBoxes {
public:
    void showOk(QWidget* owner, const QString& caption, const QString& text) override {
        boxes << Box{owner, caption, text};
    }

    struct Box {
        QWidget* owner;
        QString caption;
        QString text;
    };
    QList<Box> boxes;
};

class NoChoosers : public PathChoosers {
public:
    std::optional<QString> chooseFolder(QWidget*) override { return std::nullopt; }
    std::optional<QString> chooseLogFile(QWidget*, const QString&) override { return std::nullopt; }
};

// Answers every destination dialog as it opens with the next step of a
// script (Cancel when the script has run out) and notes what each opening
// showed in the save-folder box.
class DialogScript : public QObject {
public:
    using Step = std::function<void(DestinationDialog&)>;

    DialogScript() { qApp->installEventFilter(this); }
    ~DialogScript() override { qApp->removeEventFilter(this); }

    DialogScript& then(Step step) {
        m_steps.push_back(std::move(step));
        return *this;
    }

    QStringList shownSaveFolders;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* dialog = qobject_cast<DestinationDialog*>(object);
        if (!dialog || event->type() != QEvent::Show)
            return false;
        shownSaveFolders << edit(*dialog, DestinationDialog::SaveFolderEdit)->text();
        Step step = m_steps.empty() ? cancel() : std::move(m_steps.front());
        if (!m_steps.empty())
            m_steps.pop_front();
        QTimer::singleShot(0, dialog, [dialog, step] { step(*dialog); });
        return false;
    }

public:
    static QLineEdit* edit(DestinationDialog& dialog, DestinationDialog::Control id) {
        return static_cast<QLineEdit*>(dialog.control(id));
    }
    static void press(DestinationDialog& dialog, DestinationDialog::Control id) {
        static_cast<QPushButton*>(dialog.control(id))->click();
    }

    // Types the save folder (and a log file, a save format text when given)
    // and presses OK.
    static Step confirm(const QString& saveFolder, int saveFormat = kGroup4,
                        std::optional<QString> logFile = std::nullopt) {
        return [=](DestinationDialog& dialog) {
            edit(dialog, DestinationDialog::SaveFolderEdit)->setText(saveFolder);
            if (logFile)
                edit(dialog, DestinationDialog::LogFileEdit)->setText(*logFile);
            auto* format =
                static_cast<QComboBox*>(dialog.control(DestinationDialog::SaveFormatCombo));
            format->setCurrentIndex(saveFormat);
            if (saveFormat < 0)
                format->setEditText(QStringLiteral("no such format"));
            press(dialog, DestinationDialog::Ok);
        };
    }
    static Step cancel() {
        return [](DestinationDialog& dialog) { press(dialog, DestinationDialog::Cancel); };
    }

private:
    std::deque<Step> m_steps;
};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

// A page or log text with {S} for the source folder and {O} for the save folder.
std::string expand(QString text, const std::string& source, const std::string& out) {
    return text.replace("{S}", qs(source)).replace("{O}", qs(out)).toStdString();
}

// The run log's entries, each without its time stamp.
QStringList logEntries(const std::string& logPath) {
    static const QRegularExpression stamp("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
    QStringList entries = qs(test::readTextFile(logPath)).split(stamp);
    entries.removeFirst(); // before the first stamp
    return entries;
}

} // namespace

class WindowJobsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            qputenv(variable, QFile::encodeName(m_home.filePath(QStringLiteral(".xdg"))));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
    }

    void init() {
        m_work = std::make_unique<test::TempDir>();
        m_source = m_work->file("source");
        m_out = m_work->file("out");
        fs::create_directory(m_source);
        for (const char* name : {"a.tif", "b.tif", "c.tif"})
            test::writeTiff(fs::path(m_source) / name, inputPage(name));
        m_settings = ProcessSettings{};
        m_settings.logPath = m_work->file("log/run.txt");
        m_settings.scratchPath = m_work->file("scratch.tbw");

        m_jobs = std::make_unique<BatchJobRunner>(&m_gate);
        m_frame = std::make_unique<MainFrame>(m_settings, m_messages);
        m_commands = std::make_unique<JobCommands>(*m_frame, *m_jobs, m_settings, m_messages);
        m_commands->setPathChoosers(m_choosers);
        m_commands->setMessageBoxes(m_boxes);
        m_frame->show();
        m_frame->showFolder(m_source);
    }

    void cleanup() {
        m_gate.release();
        m_commands.reset();
        m_frame.reset();
        m_jobs.reset();
        m_work.reset();
        m_boxes.boxes.clear();
    }

    // The save folder may not be the folder shown, however it is spelled:
    // the warning, then the same dialog again with the values just entered;
    // they are kept even when the user then cancels.
    void sameFolderIsRefusedInEverySpelling_data() {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("as shown") << "{S}";
        QTest::newRow("trailing separator") << "{S}/";
        QTest::newRow("dot") << "{S}/.";
        QTest::newRow("up and back") << "{S}/../source";
        QTest::newRow("symbolic link") << "{W}/link";
    }
    void sameFolderIsRefusedInEverySpelling() {
        QFETCH(QString, spelling);
        fs::create_directory_symlink(m_source, m_work->file("link"));
        const QString folder =
            spelling.replace("{S}", qs(m_source)).replace("{W}", qs(m_work->str()));
        DialogScript script;
        script.then(DialogScript::confirm(folder)).then(DialogScript::cancel());

        QCOMPARE(m_commands->startBatchJob(0), -1);

        QCOMPARE(script.shownSaveFolders, QStringList({"", folder}));
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_boxes.boxes[0].owner, m_frame.get());
        QCOMPARE(m_boxes.boxes[0].caption,
                 QStringLiteral("Warning - save folder is the same as source folder"));
        QCOMPARE(m_boxes.boxes[0].text,
                 QStringLiteral("For safe for your source tiff files, please DO select another "
                                "folder different from soure folder\nas source tiff files may be "
                                "overwritten"));
        QCOMPARE(qs(m_commands->destinationFolder()), folder);
        QVERIFY(!m_jobs->isRunning());
        QVERIFY(!fs::exists(m_out));
    }

    // Through the command: the job-state pane, the warning loop ending in
    // another folder, the job. The choices carry over to the next dialog; a
    // save format typed over becomes the default; the log file chosen is the
    // run log from then on, unless the platform cannot open so long a path.
    void commandRunsTheJobOnceAnotherFolderIsChosen() {
        const std::string newLog = m_work->file("chosen/log.txt");
        DialogScript script;
        script.then(DialogScript::confirm(qs(m_source)))
            .then(DialogScript::confirm(qs(m_out), -1, qs(newLog)));
        m_frame->commandAction(kConvertCommand)->trigger();
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::JobState), QStringLiteral("Done."));
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_frame->request().options.compressionMode, kDefaultCompressionMode);
        QCOMPARE(m_settings.logPath, newLog);
        waitForJobs();
        QCOMPARE(logEntries(newLog).size(), 1);
        QCOMPARE(test::readPage(fs::path(m_out) / "ag31.tif").compression, COMPRESSION_CCITTFAX3);

        const QString overlong = qs(m_work->file(std::string(5000, 'x')));
        script.then([&](DestinationDialog& dialog) {
            QCOMPARE(DialogScript::edit(dialog, DestinationDialog::SaveFolderEdit)->text(),
                     qs(m_out));
            QCOMPARE(DialogScript::edit(dialog, DestinationDialog::MergedNameEdit)->text(),
                     QStringLiteral("me_tiff"));
            QCOMPARE(DialogScript::edit(dialog, DestinationDialog::LogFileEdit)->text(),
                     qs(newLog));
            DialogScript::confirm(qs(m_out), 2, overlong)(dialog);
        });
        QCOMPARE(m_commands->startBatchJob(1), 0);
        QCOMPARE(m_settings.logPath, newLog);
        waitForJobs();
        QCOMPARE(logEntries(newLog).size(), 2);
    }

    // Whole jobs over a folder of three files: the "Results" page byte for
    // byte, the rows marked, the total, the run-log entry and the outputs.
    void jobRunsOverTheCheckedFiles_data() {
        QTest::addColumn<int>("merge");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<int>("shortLog");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QStringList>("outputs");

        const QString convertPage = "Start converting ... \r\n----------------\r\n"
                                    "Convert: {S}/a.tif -> {O}/ag4.tif\r\n  -- Page 0 success\r\n"
                                    "Convert: {S}/c.tif -> {O}/cg4.tif\r\n  -- Page 0 success\r\n";
        const QString closing =
            "----------------\r\nTotal %1 tiff file(s) are convertered/merged.\r\n";
        const QString logEnd = "--------------------------------------------------\n";
        QTest::newRow("convert")
            << 0 << "ac" << 0 << convertPage + closing.arg(2)
            << "\nPagesmith in GUI mode\nFUC: Convert tiff files: folder {S} --> "
               "{O}\n" +
                   convertPage + " (2) tiff file(s) converted\n" + logEnd
            << QStringList{"ag4.tif", "cg4.tif"};

        const QString mergePage =
            "Start merging ... \r\n----------------\r\n"
            "Merge:   {S}/a.tif -> {O}/me_tiff.tif\r\n  -- Page 0 success\r\n"
            "Merge:   {S}/c.tif -> {O}/me_tiff.tif\r\n  -- Page 0 success\r\n";
        QTest::newRow("merge") << 1 << "ac" << 0 << mergePage + closing.arg(2)
                               << "\nPagesmith in GUI mode\nFUC: Merge tiff files: folder {S} --> "
                                  "{O}\n" +
                                      mergePage + "2 files merged\n" + logEnd
                               << QStringList{"me_tiff.tif"};

        const QString emptyPage = "Start converting ... \r\n----------------\r\n";
        QTest::newRow("no row checked")
            << 0 << "" << 0 << emptyPage + closing.arg(0)
            << "\nPagesmith in GUI mode\nFUC: Convert tiff files: folder {S} --> {O}\n" +
                   emptyPage + " (0) tiff file(s) converted\n" + logEnd
            << QStringList{};

        const QString shortPage = "Start converting ... \r\n----------------\r\n"
                                  "Convert: {S}/a.tif -> {O}/ag4.tif\r\n"
                                  "Convert: {S}/c.tif -> {O}/cg4.tif\r\n";
        QTest::newRow("short log")
            << 0 << "ac" << 1 << shortPage + closing.arg(2) << " (2) tiff file(s) converted\n"
            << QStringList{"ag4.tif", "cg4.tif"};
    }
    void jobRunsOverTheCheckedFiles() {
        QFETCH(int, merge);
        QFETCH(QString, checked);
        QFETCH(int, shortLog);
        QFETCH(QString, page);
        QFETCH(QString, log);
        QFETCH(QStringList, outputs);
        m_settings.shortLog = shortLog;
        // Sorted the other way round: the marks still go by scan index.
        m_frame->fileList()->sortByColumn(FileListModel::NameColumn, Qt::DescendingOrder);
        FileListModel& rows = m_frame->fileList()->fileModel();
        for (int row = 0; row < rows.rowCount(); ++row)
            rows.setChecked(row, checked.contains(rows.cellText(row, 0).at(0)));

        startJob(merge);
        waitForJobs();

        const std::string total = formatTotal(int(checked.size()));
        QCOMPARE(resultsPage(), expand(page, m_source, m_out));
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::JobTotal), qs(total).trimmed());
        QCOMPARE(logEntries(m_settings.logPath), QStringList{qs(expand(log, m_source, m_out))});
        for (int row = 0; row < rows.rowCount(); ++row) {
            const bool wasChecked = checked.contains(rows.cellText(row, 0).at(0));
            QCOMPARE(rows.cellText(row, FileListModel::ResultColumn),
                     wasChecked ? QString(merge ? "Merged" : "Converted") : QString());
        }
        QCOMPARE(sortedOutputs(), outputs);
        if (merge) {
            QCOMPARE(test::countPages(fs::path(m_out) / "me_tiff.tif"), 2);
            QCOMPARE(test::readPage(fs::path(m_out) / "me_tiff.tif", 1).pixels,
                     inputPage("c.tif").pixels);
        }
        for (const QString& output : outputs)
            QCOMPARE(test::readPage(fs::path(m_out) / output.toStdString()).compression,
                     COMPRESSION_CCITTFAX4);
        if (!merge && !outputs.isEmpty())
            QCOMPARE(test::readPage(fs::path(m_out) / "cg4.tif").pixels, inputPage("c.tif").pixels);
        QVERIFY(!m_frame->findChild<ProgressWindow*>());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // While a job runs the window answers: a row click shows its report on
    // "Tiff Info" while the job goes on writing to "Results"; the progress
    // window says which file of how many is in hand.
    void windowAnswersWhileAJobRuns() {
        m_gate.holdAt(1);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        auto* progress = m_frame->findChild<ProgressWindow*>();
        QVERIFY(progress && progress->isVisible());
        QCOMPARE(progress->windowTitle(), QStringLiteral("Dialog"));
        QTRY_COMPARE(progress->bar()->value(), 1);
        QCOMPARE(progress->bar()->maximum(), 3);
        QVERIFY(progress->fileLine()->text().startsWith("File 2 of 3: "));
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);

        m_frame->showTiffInfo("a.tif");
        QCOMPARE(m_frame->infoResultsView()->currentPage(), int(InfoResultsView::kInfoPage));
        QVERIFY(m_frame->infoResultsView()->paneText(0).starts_with("Inside tiff file info: \r\n"));
        m_gate.release();
        waitForJobs();
        QVERIFY(resultsPage().ends_with(formatTotal(3)));
        QCOMPARE(m_frame->infoResultsView()->currentPage(), int(InfoResultsView::kInfoPage));
    }

    // A job confirmed while another runs waits until that one has finished;
    // neither report nor log entry is mixed with the other.
    void secondJobWaitsForTheRunningOne() {
        m_gate.holdAt(1);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        startJob(1);
        QCOMPARE(m_jobs->waitingCount(), 1);
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::Main),
                 QStringLiteral("1 job(s) waiting for the running job to finish"));
        QVERIFY(resultsPage().starts_with("Start converting ... \r\n"));

        m_gate.release();
        waitForJobs();
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::Main), QStringLiteral("Ready"));
        QVERIFY(resultsPage().starts_with("Start merging ... \r\n"));
        QVERIFY(resultsPage().ends_with(formatTotal(3)));
        const QStringList entries = logEntries(m_settings.logPath);
        QCOMPARE(entries.size(), 2);
        QVERIFY(entries[0].contains("FUC: Convert") &&
                entries[0].contains(" (3) tiff file(s) converted\n"));
        QVERIFY(!entries[0].contains("merg"));
        QVERIFY(entries[1].contains("FUC: Merge") && entries[1].contains("3 files merged\n"));
        QVERIFY(!entries[1].contains("Convert:"));
        QCOMPARE(sortedOutputs(), QStringList({"ag4.tif", "bg4.tif", "cg4.tif", "me_tiff.tif"}));
        QCOMPARE(test::countPages(fs::path(m_out) / "me_tiff.tif"), 3);
    }

    // The job works on its own copy of the request: a refill, another filter
    // or other check marks during the job change nothing it does, and its
    // marks stay off the rows of the new fill.
    void refillDuringAJobChangesNothingTheJobDoes() {
        m_gate.holdAt(1);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        m_frame->fileList()->setAllChecked(false);
        m_frame->filterCombo()->setCurrentIndex(int(CompressionFilter::Group4));
        QCOMPARE(m_frame->fileList()->rowCount(), 0);
        m_frame->filterCombo()->setCurrentIndex(int(CompressionFilter::All));
        QCOMPARE(m_frame->fileList()->rowCount(), 3);

        m_gate.release();
        waitForJobs();
        QCOMPARE(sortedOutputs(), QStringList({"ag4.tif", "bg4.tif", "cg4.tif"}));
        QVERIFY(resultsPage().ends_with(formatTotal(3)));
        const FileListModel& rows = m_frame->fileList()->fileModel();
        for (int row = 0; row < rows.rowCount(); ++row)
            QCOMPARE(rows.cellText(row, FileListModel::ResultColumn), QString());
    }

    // Cancel ends the job after the file in hand: the outputs done are
    // whole, the rest not begun, and the page and the log say how far it got.
    void cancelStopsAfterTheFileInHand() {
        m_gate.holdAt(1);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        auto* progress = m_frame->findChild<ProgressWindow*>();
        QVERIFY(progress);
        progress->cancelButton()->click();
        m_gate.release();
        waitForJobs();

        const std::string stopped = "Stopped: 2 of 3 selected file(s) done";
        QVERIFY(resultsPage().ends_with(stopped + "\r\n----------------\r\n" + formatTotal(2)));
        QVERIFY(logEntries(m_settings.logPath).value(0).contains(qs(stopped + "\n")));
        QCOMPARE(sortedOutputs(), QStringList({"ag4.tif", "bg4.tif"}));
        for (const char* name : {"ag4.tif", "bg4.tif"})
            QCOMPARE(test::readPage(fs::path(m_out) / name).pixels,
                     inputPage(std::string(1, name[0]) + ".tif").pixels);
    }

    // Closing the main window during a job: the window goes at once, the job
    // ends after the file in hand, its log entry is written, the log file
    // chosen in the dialog is stored, and the process goes on to exit.
    void closingTheWindowStopsTheJobAfterTheFileInHand() {
        m_commands.reset();
        m_frame.reset();
        const std::string chosenLog = m_work->file("chosen.txt");
        DialogScript script;
        script.then(DialogScript::confirm(qs(m_out), kGroup4, qs(chosenLog)));
        m_gate.holdAt(1);
        bool closedWhileHeld = false;
        QTimer::singleShot(0, [&] {
            auto* frame = qobject_cast<MainFrame*>(QApplication::activeWindow());
            if (!frame)
                for (QWidget* widget : QApplication::topLevelWidgets())
                    if (auto* found = qobject_cast<MainFrame*>(widget))
                        frame = found;
            QVERIFY(frame);
            frame->showFolder(m_source);
            frame->commandAction(kConvertCommand)->trigger();
            QTRY_VERIFY(m_gate.isHeld());
            // The job is released only once the window is gone.
            connect(frame, &QObject::destroyed, [this] { m_gate.release(); });
            frame->close();
            closedWhileHeld = !frame->isVisible() && m_gate.isHeld();
        });
        QCOMPARE(runMainWindow(m_settings, m_messages, *m_jobs), 1);

        QVERIFY(closedWhileHeld);
        QVERIFY(!m_gate.timedOut());
        QVERIFY(!m_jobs->isRunning());
        QCOMPARE(readSetting(kLogPathSetting), chosenLog);
        const QStringList entries = logEntries(chosenLog);
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries[0].contains("Start converting ... \r\n----------------\r\n"));
        QVERIFY(entries[0].contains("Stopped: 2 of 3 selected file(s) done\n"));
        QCOMPARE(sortedOutputs(), QStringList({"ag4.tif", "bg4.tif"}));
    }

private:
    static test::TestPage inputPage(const std::string& name) {
        test::TestPage fax = test::faxPage(64, 32, COMPRESSION_NONE);
        fax.pixels = test::patternPixels(fax, unsigned(name[0]));
        return fax;
    }

    static std::string formatTotal(int total) {
        return "Total " + std::to_string(total) + " tiff file(s) are convertered/merged.\r\n";
    }

    void startJob(int merge) {
        DialogScript script;
        script.then(DialogScript::confirm(qs(m_out)));
        QCOMPARE(m_commands->startBatchJob(merge), 0);
    }

    void waitForJobs() {
        QTRY_VERIFY_WITH_TIMEOUT(!m_jobs->isRunning() && m_jobs->waitingCount() == 0,
                                 kJobTimeoutMs);
    }

    std::string resultsPage() const {
        return m_frame->infoResultsView()->paneText(InfoResultsView::kResultsPage);
    }

    QStringList sortedOutputs() const {
        QStringList names;
        if (fs::is_directory(m_out))
            for (const fs::directory_entry& entry : fs::directory_iterator(m_out))
                names << qs(entry.path().filename().string());
        names.sort();
        return names;
    }

    QTemporaryDir m_home;
    std::unique_ptr<test::TempDir> m_work;
    std::string m_source;
    std::string m_out;
    ProcessSettings m_settings;
    test::MessageRecorder m_messages;
    RecordedBoxes m_boxes;
    NoChoosers m_choosers;
    FileGate m_gate;
    std::unique_ptr<BatchJobRunner> m_jobs;
    std::unique_ptr<MainFrame> m_frame;
    std::unique_ptr<JobCommands> m_commands;
};

QTEST_MAIN(WindowJobsTest)
#include "WindowJobsTest.moc"
