#include "WindowTestSupport.h"
#include "app/ProcessSettings.h"
#include "app/SettingsStore.h"
#include "base/Paths.h"
#include "batch/BatchObserver.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"
#include "ui/dialogs/DestinationDialog.h"
#include "ui/dialogs/PathChoosers.h"
#include "ui/jobs/BatchJobRunner.h"
#include "ui/jobs/JobCommands.h"
#include "ui/jobs/ProgressWindow.h"
#include "ui/main/FileList.h"
#include "ui/main/FilterCombo.h"
#include "ui/main/InfoResultsView.h"
#include "ui/main/MainFrame.h"
#include "ui/main/WindowMode.h"
#include "ui/preview/PagePreview.h"
#include "ui/preview/PageView.h"
#include "ui/toolkit/ElidedLabel.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <condition_variable>
#include <csignal>
#include <deque>
#include <filesystem>
#include <mutex>

using namespace pagesmith;
namespace fs = std::filesystem;
using Control = DestinationDialog::Control;

namespace {

constexpr int kGroup4 = 6; // the save format's list entry

// Holds a job's worker once, as the file after `done` finished files begins,
// until the test lets it go: the test acts while the job is known to be
// between two files.
class FileGate : public BatchObserver {
public:
    void holdAt(int done) { m_holdAt = done; }

    void fileStarted(int done, int, const std::string&) override {
        std::unique_lock lock(m_mutex);
        if (done != m_holdAt)
            return;
        m_holdAt = -1;
        m_held = true;
        m_open = false;
        m_timedOut = !m_opened.wait_for(lock, std::chrono::seconds(20), [this] { return m_open; });
        m_held = false;
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
        m_open = true;
        m_held = false;
        m_opened.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    std::atomic<int> m_holdAt = -1;
    bool m_held = false;
    bool m_open = false;
    bool m_timedOut = false;
};

class NoChoosers : public PathChoosers {
public:
    std::optional<QString> chooseFolder(QWidget*, const QString& start) override {
        startedAt << start;
        return {};
    }
    std::optional<QString> chooseLogFile(QWidget*, const QString&) override { return {}; }

    QStringList startedAt;
};

// Answers every destination dialog as it opens with the next step (Cancel
// once the steps have run out) and notes the save folder each opening showed.
class DialogScript : public QObject {
public:
    using Step = std::function<void(DestinationDialog&)>;

    DialogScript() { qApp->installEventFilter(this); }
    ~DialogScript() override { qApp->removeEventFilter(this); }

    DialogScript& then(Step step) {
        m_steps.push_back(std::move(step));
        return *this;
    }

    static QLineEdit* edit(DestinationDialog& dialog, Control id) {
        return static_cast<QLineEdit*>(dialog.control(id));
    }
    static void press(DestinationDialog& dialog, Control id) {
        static_cast<QPushButton*>(dialog.control(id))->click();
    }
    // Types the save folder, picks a save format (a negative one types a
    // text that is none) and a log file when given, and presses OK.
    static Step confirm(const QString& saveFolder, int saveFormat = kGroup4,
                        std::optional<QString> logFile = {}) {
        return [=](DestinationDialog& dialog) {
            edit(dialog, Control::SaveFolderEdit)->setText(saveFolder);
            if (logFile)
                edit(dialog, Control::LogFileEdit)->setText(*logFile);
            auto* format = static_cast<QComboBox*>(dialog.control(Control::SaveFormatCombo));
            format->setCurrentIndex(saveFormat);
            if (saveFormat < 0)
                format->setEditText(QStringLiteral("no such format"));
            press(dialog, Control::Ok);
        };
    }

    QStringList shownSaveFolders;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* dialog = qobject_cast<DestinationDialog*>(object);
        if (!dialog || event->type() != QEvent::Show)
            return false;
        shownSaveFolders << edit(*dialog, Control::SaveFolderEdit)->text();
        Step step = [](DestinationDialog& shown) { press(shown, Control::Cancel); };
        if (!m_steps.empty()) {
            step = std::move(m_steps.front());
            m_steps.pop_front();
        }
        QTimer::singleShot(0, dialog, [dialog, step] { step(*dialog); });
        return false;
    }

private:
    std::deque<Step> m_steps;
};

// What joins a folder and a name in the paths the window shows.
const std::string kSeparator(1, kPathSeparator);

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string totalLine(int total) {
    return "Total " + std::to_string(total) + " tiff file(s) are convertered/merged.\r\n";
}

// The run log's entries, each without its time stamp.
QStringList logEntries(const std::string& logPath) {
    static const QRegularExpression stamp("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
    QStringList entries = qs(test::readTextFile(logPath)).split(stamp);
    entries.removeFirst();
    return entries;
}

} // namespace

class WindowJobsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        test::useHomeFolder(m_home.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
    }

    // A folder of three one-page files a.tif, b.tif, c.tif, listed in the window.
    void init() {
        m_work = std::make_unique<test::TempDir>();
        m_source = m_work->file("source");
        m_out = m_work->file("out");
        fs::create_directory(m_source);
        for (const char* name : {"a.tif", "b.tif", "c.tif"})
            test::writeTiff(fs::path(m_source) / name, inputPage(name[0]));
        m_settings = ProcessSettings{};
        m_settings.logPath = m_work->file("log/run.txt");
        m_settings.scratchPath = m_work->file("scratch.tbw");

        m_jobs = std::make_unique<BatchJobRunner>(&m_gate);
        m_frame = std::make_unique<MainFrame>(m_settings, m_messages);
        m_commands = std::make_unique<JobCommands>(*m_frame, *m_jobs, m_settings, m_messages);
        m_frame->connectJobCommands(*m_commands);
        m_commands->setPathChoosers(m_choosers);
        m_commands->setMessageBoxes(m_boxes);
        m_frame->show();
        m_frame->showFolder(m_source);
    }

    void cleanup() {
        m_gate.holdAt(-1);
        m_gate.release();
        m_commands.reset();
        m_frame.reset();
        m_jobs.reset();
        m_work.reset();
        m_boxes.boxes.clear();
    }

    // However the folder shown is spelled as the save folder: the warning,
    // then the same dialog again with the values just entered, which are kept
    // even when the user then cancels.
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
        std::error_code linkError;
        fs::create_directory_symlink(m_source, m_work->file("link"), linkError);
        if (linkError && spelling.startsWith("{W}"))
            QSKIP("the standard library of this build makes no symbolic links");
        const QString folder =
            spelling.replace("{S}", qs(m_source)).replace("{W}", qs(m_work->str()));
        DialogScript script;
        script.then(DialogScript::confirm(folder));

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
        QCOMPARE(qs(m_commands->destinationFolder()), QDir::toNativeSeparators(folder));
        QVERIFY(!m_jobs->isRunning() && !fs::exists(m_out));
    }

    // Through the command: the job-state pane, the warning, another folder,
    // the job. The choices carry over to the next dialog; a save format typed
    // over becomes the default; the log file chosen is the run log from then
    // on, unless the platform cannot open so long a path. With no save folder
    // yet, the folder chooser starts at the folder shown.
    void commandRunsTheJobOnceAnotherFolderIsChosen() {
        const std::string newLog = m_work->file("chosen/log.txt");
        DialogScript script;
        script
            .then([&](DestinationDialog& dialog) {
                DialogScript::press(dialog, Control::SaveFolderButton);
                DialogScript::confirm(qs(m_source))(dialog);
            })
            .then(DialogScript::confirm(qs(m_out), -1, qs(newLog)));
        m_frame->commandAction(kConvertCommand)->trigger();
        QCOMPARE(m_choosers.startedAt, QStringList{qs(m_source)});
        QCOMPARE(m_boxes.boxes.size(), 1);
        QCOMPARE(m_commands->saveFormat(), kDefaultCompressionMode);
        QCOMPARE(m_settings.logPath, newLog);
        waitForJobs();
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::JobState), QStringLiteral("Done."));
        QCOMPARE(logEntries(newLog).size(), 1);
        QCOMPARE(test::readPage(fs::path(m_out) / "ag31.tif").compression, COMPRESSION_CCITTFAX3);

        const QString overlong = qs(m_work->file(std::string(5000, 'x')));
        script.then([&](DestinationDialog& dialog) {
            QCOMPARE(DialogScript::edit(dialog, Control::SaveFolderEdit)->text(), qs(m_out));
            QCOMPARE(DialogScript::edit(dialog, Control::MergedNameEdit)->text(), "me_tiff");
            QCOMPARE(DialogScript::edit(dialog, Control::LogFileEdit)->text(), qs(newLog));
            DialogScript::confirm(qs(m_out), kGroup4, overlong)(dialog);
        });
        QCOMPARE(m_commands->startBatchJob(1), 0);
        QCOMPARE(m_settings.logPath, newLog);
        waitForJobs();
        QCOMPARE(logEntries(newLog).size(), 2);
    }

    // Whole jobs over the checked files, the list sorted the other way round:
    // the files go in the order shown (a merge's pages too), marks go by scan
    // index. The "Results" page byte for byte, the rows marked, the total
    // pane, the run-log entry and the outputs decoded.
    void jobRunsOverTheCheckedFiles_data() {
        QTest::addColumn<int>("merge");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<int>("shortLog");
        QTest::addColumn<QString>("lines"); // between the header and the closing lines
        QTest::addColumn<QString>("log");
        QTest::addColumn<QStringList>("outputs");

        // In the order the list shows the files: c.tif, then a.tif.
        const QString converted = "Convert: {S}/c.tif -> {O}/cg4.tif\r\n  -- Page 0 success\r\n"
                                  "Convert: {S}/a.tif -> {O}/ag4.tif\r\n  -- Page 0 success\r\n";
        const QString merged = "Merge:   {S}/c.tif -> {O}/me_tiff.tif\r\n  -- Page 0 success\r\n"
                               "Merge:   {S}/a.tif -> {O}/me_tiff.tif\r\n  -- Page 0 success\r\n";
        const QString logHead = "\nPagesmith in GUI mode\nFUC: %1 tiff files: folder {S} --> {O}\n"
                                "Start %2 ... \r\n----------------\r\n";
        const QString logEnd = "--------------------------------------------------\n";
        QTest::newRow("convert") << 0 << "ac" << 0 << converted
                                 << logHead.arg("Convert", "converting") + converted +
                                        " (2) tiff file(s) converted\n" + logEnd
                                 << QStringList{"ag4.tif", "cg4.tif"};
        QTest::newRow("merge") << 1 << "ac" << 0 << merged
                               << logHead.arg("Merge", "merging") + merged + "2 files merged\n" +
                                      logEnd
                               << QStringList{"me_tiff.tif"};
        QTest::newRow("no row checked")
            << 0 << "" << 0 << ""
            << logHead.arg("Convert", "converting") + " (0) tiff file(s) converted\n" + logEnd
            << QStringList{};
        QTest::newRow("short log") << 0 << "ac" << 1
                                   << "Convert: {S}/c.tif -> {O}/cg4.tif\r\n"
                                      "Convert: {S}/a.tif -> {O}/ag4.tif\r\n"
                                   << " (2) tiff file(s) converted\n"
                                   << QStringList{"ag4.tif", "cg4.tif"};
    }
    void jobRunsOverTheCheckedFiles() {
        QFETCH(int, merge);
        QFETCH(QString, checked);
        QFETCH(int, shortLog);
        QFETCH(QString, lines);
        QFETCH(QString, log);
        QFETCH(QStringList, outputs);
        m_settings.shortLog = shortLog;
        m_frame->fileList()->sortByColumn(FileListModel::NameColumn, Qt::DescendingOrder);
        FileListModel& rows = m_frame->fileList()->fileModel();
        for (int row = 0; row < rows.rowCount(); ++row)
            rows.setChecked(row, checked.contains(rows.cellText(row, 0).at(0)));

        startJob(merge);
        waitForJobs();

        const std::string header = merge ? "Start merging ... \r\n" : "Start converting ... \r\n";
        const std::string total = totalLine(int(checked.size()));
        QCOMPARE(resultsPage(),
                 header + "----------------\r\n" + expand(lines) + "----------------\r\n" + total);
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::JobTotal), qs(total).trimmed());
        QCOMPARE(logEntries(m_settings.logPath), QStringList{qs(expand(log))});
        for (int row = 0; row < rows.rowCount(); ++row)
            QCOMPARE(rows.cellText(row, FileListModel::ResultColumn),
                     checked.contains(rows.cellText(row, 0).at(0))
                         ? QString(merge ? "Merged" : "Converted")
                         : QString());
        QCOMPARE(outputNames(), outputs);
        for (const QString& output : outputs) {
            const fs::path path = fs::path(m_out) / output.toStdString();
            QCOMPARE(test::countPages(path), merge ? 2 : 1);
            const test::DecodedPage last = test::readPage(path, merge ? 1 : 0);
            QCOMPARE(last.compression, COMPRESSION_CCITTFAX4);
            QCOMPARE(last.pixels, inputPage(merge ? 'a' : output[0].toLatin1()).pixels);
            if (merge)
                QCOMPARE(test::readPage(path, 0).pixels, inputPage('c').pixels);
        }
        QVERIFY(!shownProgressWindow());
        QVERIFY(!QApplication::overrideCursor());
    }

    // An output an interrupted run left half-written is neither listed nor
    // converted, and the job's report says so.
    void jobReportsTheLeftoversTheListLeftOut() {
        test::writeTiff(fs::path(m_source) / "d.tif.partial-Ab12Cd", inputPage('d'));
        m_frame->showFolder(m_source);
        QCOMPARE(m_frame->fileList()->rowCount(), 3);
        startJob(0);
        waitForJobs();
        QVERIFY(resultsPage().starts_with(
            "Start converting ... \r\n----------------\r\n"
            "Left out 1 .partial- file(s) left over from an interrupted run\r\n"));
        QCOMPARE(outputNames(), QStringList({"ag4.tif", "bg4.tif", "cg4.tif"}));
    }

    // While a job runs the window answers: the progress window says which
    // file of how many is in hand; a row click shows its report on "Tiff
    // Info" while the job writes to "Results". Cancel ends the job after the
    // file in hand: the outputs done are whole, the rest never begun, and the
    // page and the log say how far it got.
    void windowAnswersWhileAJobRunsAndCancelStopsIt() {
        m_gate.holdAt(1);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        ProgressWindow* progress = shownProgressWindow();
        QVERIFY(progress);
        QCOMPARE(progress->windowTitle(), QStringLiteral("Converting 3 files"));
        QTRY_COMPARE(progress->bar()->value(), 1);
        QCOMPARE(progress->bar()->maximum(), 3);
        QVERIFY(progress->fileLine()->text().startsWith("File 2 of 3: "));
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        m_frame->showTiffInfo("a.tif");
        QVERIFY(m_frame->infoResultsView()->paneText(0).starts_with("Inside tiff file info: \r\n"));

        progress->cancelButton()->click();
        m_gate.release();
        waitForJobs();
        const std::string stopped = "Stopped: 2 of 3 selected file(s) done";
        QVERIFY(resultsPage().ends_with(stopped + "\r\n----------------\r\n" + totalLine(2)));
        QVERIFY(logEntries(m_settings.logPath).value(0).contains(qs(stopped + "\n")));
        QCOMPARE(outputNames(), QStringList({"ag4.tif", "bg4.tif"}));
        QCOMPARE(test::readPage(fs::path(m_out) / "bg4.tif").pixels, inputPage('b').pixels);
        QCOMPARE(m_frame->infoResultsView()->currentPage(), int(InfoResultsView::kInfoPage));
    }

    // A job confirmed while another runs waits until that one has finished;
    // neither report nor log entry is mixed with the other's. A merge cannot
    // be stopped halfway.
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
        m_gate.holdAt(1); // the merge's second input
        QTRY_VERIFY(m_gate.isHeld());
        // A merge writes one file: it runs to its end.
        QVERIFY(!shownProgressWindow()->cancelButton()->isEnabled());
        QCOMPARE(shownProgressWindow()->windowTitle(), QStringLiteral("Merging 3 files"));
        m_gate.release();
        waitForJobs();
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::Main), QStringLiteral("Ready"));
        QVERIFY(resultsPage().starts_with("Start merging ... \r\n"));
        QVERIFY(!qs(resultsPage()).contains("Convert:"));
        const QStringList entries = logEntries(m_settings.logPath);
        QCOMPARE(entries.size(), 2);
        QVERIFY(entries[0].endsWith(" (3) tiff file(s) converted\n------------------------"
                                    "--------------------------\n"));
        QVERIFY(!entries[0].contains("Merge") && !entries[1].contains("Convert"));
        QVERIFY(entries[1].contains("3 files merged\n"));
        QCOMPARE(outputNames(), QStringList({"ag4.tif", "bg4.tif", "cg4.tif", "me_tiff.tif"}));
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

        m_gate.release();
        waitForJobs();
        QCOMPARE(outputNames(), QStringList({"ag4.tif", "bg4.tif", "cg4.tif"}));
        QVERIFY(resultsPage().ends_with(totalLine(3)));
        const FileListModel& rows = m_frame->fileList()->fileModel();
        QCOMPARE(rows.rowCount(), 3);
        for (int row = 0; row < rows.rowCount(); ++row)
            QCOMPARE(rows.cellText(row, FileListModel::ResultColumn), QString());
    }

    // Each file ends with one outcome, shown in its row: "Converted" only
    // where an output was written, "Failed" with the report's reason as the
    // tooltip, nothing for a file a stop left. The marks and totals of the
    // job before are gone as the job begins; the totals count what was
    // written, and a line says how many failed.
    void eachRowShowsItsFilesOutcome() {
        test::writeTiff(fs::path(m_source) / "d.tif", inputPage('d'));
        m_frame->showFolder(m_source);
        fs::create_directories(fs::path(m_out) / "bg4.tif"); // b's output cannot be made
        test::writeTextFile(fs::path(m_source) / "c.tif", "no longer an image");
        FileListModel& rows = m_frame->fileList()->fileModel();
        for (int row = 0; row < rows.rowCount(); ++row)
            rows.setResult(row, QStringLiteral("Converted"), {}); // an earlier job's
        m_frame->setStatusPaneText(MainFrame::StatusPane::JobTotal, QStringLiteral("old total"));

        m_gate.holdAt(2);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::JobState),
                 QStringLiteral("Converting ......"));
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::JobTotal), QString());
        QCOMPARE(resultOf("d.tif"), QString());
        shownProgressWindow()->cancelButton()->click();
        m_gate.release();
        waitForJobs();

        QCOMPARE(resultOf("a.tif"), QStringLiteral("Converted"));
        QCOMPARE(resultOf("b.tif"), QStringLiteral("Failed"));
        QCOMPARE(resultReasonOf("b.tif"),
                 qs("Failed: cannot create " + m_out + kSeparator + "bg4.tif"));
        QCOMPARE(resultOf("c.tif"), QStringLiteral("Failed"));
        QCOMPARE(resultReasonOf("c.tif"),
                 qs("Failed to get tiff page(s) of " + m_source + kSeparator +
                    "c.tif : NOT a tiff file or file not exist"));
        QCOMPARE(resultOf("d.tif"), QString());
        QVERIFY(resultsPage().ends_with("Stopped: 3 of 4 selected file(s) done\r\n"
                                        "----------------\r\n" +
                                        totalLine(1) + "Total 2 tiff file(s) failed.\r\n"));
        // The refused file's line is on the page, in its place.
        QVERIFY(qs(resultsPage()).contains(qs("Failed to get tiff page(s) of " + m_source)));
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::JobTotal),
                 QStringLiteral("Total 1 tiff file(s) are convertered/merged. "
                                "Total 2 tiff file(s) failed."));
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::JobState), QStringLiteral("Done."));
        QVERIFY(logEntries(m_settings.logPath)
                    .value(0)
                    .endsWith(" (1) tiff file(s) converted\n (2) tiff file(s) failed\n"
                              "--------------------------------------------------\n"));
    }

    // After a job the preview of a row shows what the job wrote of its file
    // at the flip of the switch: the file converted, or the merged file's
    // page that came from it. Each input has a pattern of its own, which the
    // lossless fax output keeps.
    void previewShowsWhatTheLastJobWroteOfTheRow_data() {
        QTest::addColumn<int>("merge");
        QTest::addColumn<QString>("where");
        QTest::newRow("convert") << 0 << "bg4.tif, Page 1 of 1";
        QTest::newRow("merge") << 1 << "me_tiff.tif, Page 2 of 3";
    }
    void previewShowsWhatTheLastJobWroteOfTheRow() {
        QFETCH(int, merge);
        QFETCH(QString, where);
        FileList* list = m_frame->fileList();
        PagePreview* preview = m_frame->pagePreview();
        list->setCurrentIndex(list->model()->index(1, 0));
        QTRY_VERIFY(!preview->isReading());
        QCOMPARE(preview->path(), qs(m_source + kSeparator + "b.tif"));
        const QImage source = preview->view()->picture();
        QVERIFY(!source.isNull());
        QVERIFY(!preview->outputButton()->isEnabled());

        startJob(merge);
        waitForJobs();
        QTRY_VERIFY(preview->outputButton()->isEnabled());
        preview->outputButton()->click();
        QTRY_VERIFY(!preview->isReading());
        QCOMPARE(preview->whereLabel()->fullText(), where);
        QCOMPARE(preview->view()->picture(), source);

        // The next job takes the last one's outputs back.
        m_gate.holdAt(0);
        startJob(merge);
        QTRY_VERIFY(m_gate.isHeld());
        QTRY_VERIFY(!preview->showsOutput());
        QVERIFY(!preview->outputButton()->isEnabled());
        m_gate.release();
        waitForJobs();
    }

    // After a job the "Results" page offers its save folder. A job that ran
    // long ends with a desktop notification when the user went to another
    // program meanwhile, and without one when they watch the window.
    void endOfAJobOffersTheSaveFolderAndNotifiesWhenUnseen_data() {
        QTest::addColumn<bool>("userAway");
        QTest::newRow("watching") << false;
        QTest::newRow("in another program") << true;
    }
    void endOfAJobOffersTheSaveFolderAndNotifiesWhenUnseen() {
        QFETCH(bool, userAway);
        test::RecordedDesktop desktop;
        m_frame->setDesktopCalls(desktop);
        m_commands->setNoticeAfter(std::chrono::milliseconds(0));
        InfoResultsView* results = m_frame->infoResultsView();
        QPushButton* button = results->openSaveFolderButton();
        QVERIFY(!button->isVisible());

        m_gate.holdAt(1);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        QVERIFY(!button->isVisible());
        // The progress window takes the focus as it shows; only then can the
        // user leave for another program.
        QTRY_VERIFY(shownProgressWindow() && QApplication::activeWindow() == shownProgressWindow());
        QApplication::setActiveWindow(userAway ? nullptr : m_frame.get());
        m_gate.release();
        waitForJobs();

        QStringList expected;
        if (userAway)
            expected << "notify Pagesmith: Total 3 tiff file(s) are convertered/merged.";
        QCOMPARE(desktop.calls, expected);
        QVERIFY(button->isVisible());
        QCOMPARE(button->text(), QStringLiteral("Open save folder"));
        button->click();
        QCOMPARE(desktop.calls, expected << "open " + qs(m_out));
        results->showPage(InfoResultsView::kInfoPage);
        QVERIFY(!button->isVisible());
        m_frame->setDesktopCalls(platformDesktopCalls());
    }

    // Sorted by the Result column, the rows stay where they are while the
    // job writes its marks, however the marks would sort.
    void marksDoNotMoveRowsSortedByResult() {
        test::writeTextFile(fs::path(m_source) / "a.tif", "no longer an image");
        FileList* list = m_frame->fileList();
        list->sortByColumn(FileListModel::ResultColumn, Qt::AscendingOrder);
        const QStringList before = shownNames();
        startJob(0);
        waitForJobs();
        QCOMPARE(resultOf("a.tif"), QStringLiteral("Failed"));
        QCOMPARE(resultOf("b.tif"), QStringLiteral("Converted"));
        QCOMPARE(shownNames(), before);
    }

    // Jobs confirmed while one runs start in the order they were confirmed.
    void waitingJobsStartInTheOrderConfirmed() {
        m_gate.holdAt(1);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        for (const char* name : {"two", "three", "four"}) {
            DialogScript script;
            script.then([&](DestinationDialog& dialog) {
                DialogScript::edit(dialog, Control::MergedNameEdit)->setText(QLatin1String(name));
                DialogScript::confirm(qs(m_out))(dialog);
            });
            QCOMPARE(m_commands->startBatchJob(1), 0);
        }
        QCOMPARE(m_jobs->waitingCount(), 3);
        m_gate.release();
        waitForJobs();
        const QStringList entries = logEntries(m_settings.logPath);
        QCOMPARE(entries.size(), 4);
        QVERIFY(entries[0].contains("FUC: Convert"));
        QVERIFY(entries[1].contains(qs(m_out + kSeparator + "two.tif")));
        QVERIFY(entries[2].contains(qs(m_out + kSeparator + "three.tif")));
        QVERIFY(entries[3].contains(qs(m_out + kSeparator + "four.tif")));
    }

    // A dialog opened while the progress window is the active window (as a
    // screen reader's action opens it) belongs to the main window, so the
    // job's end, which takes the progress window away, leaves it alone.
    void dialogsOverTheProgressWindowOutliveTheJob() {
        m_gate.holdAt(1);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        ProgressWindow* progress = shownProgressWindow();
        QVERIFY(progress);
        QApplication::setActiveWindow(progress);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(progress));

        bool aboutOwnedByFrame = false;
        bool jobEndedUnderIt = false;
        QTimer::singleShot(0, [&] {
            QDialog* about = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->isVisible() && widget->inherits("pagesmith::AboutDialog"))
                    about = static_cast<QDialog*>(widget);
            QVERIFY(about);
            aboutOwnedByFrame = about->parentWidget() == m_frame.get();
            m_gate.release();
            QTRY_VERIFY_WITH_TIMEOUT(!m_jobs->isRunning(), 30000);
            QTRY_VERIFY(!shownProgressWindow());
            jobEndedUnderIt = about->isVisible();
            about->accept();
        });
        m_frame->commandAction(kAboutCommand)->trigger();
        QVERIFY(aboutOwnedByFrame);
        QVERIFY(jobEndedUnderIt);

        // The destination dialog too, for a job confirmed while one runs.
        m_gate.holdAt(1);
        startJob(0);
        QTRY_VERIFY(m_gate.isHeld());
        QApplication::setActiveWindow(shownProgressWindow());
        QWidget* dialogOwner = nullptr;
        DialogScript script;
        script.then([&](DestinationDialog& dialog) {
            dialogOwner = dialog.parentWidget();
            m_gate.release();
            QTRY_VERIFY_WITH_TIMEOUT(!shownProgressWindow(), 30000);
            DialogScript::confirm(qs(m_out))(dialog);
        });
        QCOMPARE(m_commands->startBatchJob(0), 0);
        QCOMPARE(dialogOwner, static_cast<QWidget*>(m_frame.get()));
        waitForJobs();
        QCOMPARE(logEntries(m_settings.logPath).size(), 3);
    }

    // Window mode closed during a job: the window goes at once, without
    // waiting; the job ends after the file in hand and writes its log entry;
    // a job waiting for it never begins and writes nothing; the log file
    // chosen in the dialog is stored; then it returns.
    void closingTheWindowStopsTheJobAfterTheFileInHand() {
        m_commands.reset();
        m_frame.reset();
        const std::string chosenLog = m_work->file("chosen.txt");
        DialogScript script;
        script.then(DialogScript::confirm(qs(m_out), kGroup4, qs(chosenLog)));
        m_gate.holdAt(1);
        bool closedWhileHeld = false;
        QTimer::singleShot(0, [&] {
            MainFrame* frame = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets())
                frame = frame ? frame : qobject_cast<MainFrame*>(widget);
            QVERIFY(frame);
            frame->showFolder(m_source);
            frame->commandAction(kConvertCommand)->trigger();
            QTRY_VERIFY(m_gate.isHeld());
            // A second job waits for the first; it never begins.
            script.then(DialogScript::confirm(qs(m_out), kGroup4, qs(chosenLog)));
            frame->commandAction(kMergeCommand)->trigger();
            QCOMPARE(m_jobs->waitingCount(), 1);
            // The job goes on only once the window is gone.
            connect(frame, &QObject::destroyed, [this] { m_gate.release(); });
            frame->close();
            closedWhileHeld = !frame->isVisible() && m_gate.isHeld();
        });
        QCOMPARE(runMainWindow(m_settings, m_messages, *m_jobs), 1);

        QVERIFY(closedWhileHeld);
        QVERIFY(!m_gate.timedOut() && !m_jobs->isRunning());
        QCOMPARE(readSetting(kLogPathSetting), chosenLog);
        const QStringList entries = logEntries(chosenLog);
        QCOMPARE(entries.size(), 1);
        QVERIFY(entries[0].contains("Start converting ... \r\n----------------\r\n"));
        QVERIFY(entries[0].contains("Stopped: 2 of 3 selected file(s) done\n"));
        QCOMPARE(outputNames(), QStringList({"ag4.tif", "bg4.tif"}));
        QCOMPARE(m_jobs->waitingCount(), 0);
    }

    // A stop signal (a desktop log-out's SIGTERM) while a job runs: the
    // window goes, the file in hand stops unwritten, the job writes its log
    // entry, and window mode ends with 128 plus the signal's number.
    void aStopSignalEndsTheWindowAndTheFileInHand() {
        m_commands.reset();
        m_frame.reset();
        std::atomic<int> stop{0};
        m_settings.interruption = &stop;
        // One file at a time: the file held is then the one in hand, not one
        // begun beside a file that goes on to finish.
        m_settings.threads = 1;
        DialogScript script;
        script.then(DialogScript::confirm(qs(m_out), kGroup4));
        m_gate.holdAt(1);
        QTimer::singleShot(0, [&] {
            MainFrame* frame = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets())
                frame = frame ? frame : qobject_cast<MainFrame*>(widget);
            QVERIFY(frame);
            frame->showFolder(m_source);
            frame->commandAction(kConvertCommand)->trigger();
            QTRY_VERIFY(m_gate.isHeld());
            stop = SIGTERM;
            m_gate.release();
        });
        QCOMPARE(runMainWindow(m_settings, m_messages, *m_jobs), 128 + SIGTERM);

        QVERIFY(!m_jobs->isRunning());
        const QStringList entries = logEntries(m_settings.logPath);
        QCOMPARE(entries.size(), 1);
        QVERIFY2(entries[0].contains(
                     qs("  -- Stopped: " + m_out + kSeparator + "bg4.tif not written\r\n")),
                 qPrintable(entries[0]));
        QVERIFY(entries[0].contains("Stopped: 1 of 3 selected file(s) done\n"));
        QCOMPARE(outputNames(), QStringList({"ag4.tif"}));
    }

private:
    // A page of its own for each input, named by its first letter.
    static test::TestPage inputPage(char name) {
        test::TestPage fax = test::faxPage(64, 32, COMPRESSION_NONE);
        fax.pixels = test::patternPixels(fax, unsigned(name));
        return fax;
    }

    void startJob(int merge) {
        DialogScript script;
        script.then(DialogScript::confirm(qs(m_out)));
        QCOMPARE(m_commands->startBatchJob(merge), 0);
    }

    void waitForJobs() {
        QTRY_VERIFY_WITH_TIMEOUT(!m_jobs->isRunning() && m_jobs->waitingCount() == 0, 30000);
    }

    ProgressWindow* shownProgressWindow() const {
        for (ProgressWindow* window : m_frame->findChildren<ProgressWindow*>())
            if (window->isVisible())
                return window;
        return nullptr;
    }

    // The Result cell of the row that shows `name`, and its tooltip.
    QString resultOf(const QString& name) const {
        const FileListModel& rows = m_frame->fileList()->fileModel();
        for (int row = 0; row < rows.rowCount(); ++row)
            if (rows.cellText(row, FileListModel::NameColumn) == name)
                return rows.cellText(row, FileListModel::ResultColumn);
        return QStringLiteral("(no row)");
    }
    QString resultReasonOf(const QString& name) const {
        const FileListModel& rows = m_frame->fileList()->fileModel();
        for (int row = 0; row < rows.rowCount(); ++row)
            if (rows.cellText(row, FileListModel::NameColumn) == name)
                return rows.index(row, FileListModel::ResultColumn)
                    .data(Qt::ToolTipRole)
                    .toString();
        return QStringLiteral("(no row)");
    }
    // The names in the order the list shows them.
    QStringList shownNames() const {
        QStringList names;
        const QAbstractItemModel* shown = m_frame->fileList()->model();
        for (int row = 0; row < shown->rowCount(); ++row)
            names << shown->index(row, FileListModel::NameColumn).data().toString();
        return names;
    }

    std::string resultsPage() const {
        return m_frame->infoResultsView()->paneText(InfoResultsView::kResultsPage);
    }

    // {S} the source folder, {O} the save folder.
    // Paths in the text are written with '/' and shown with the system's separator.
    std::string expand(QString text) const {
        return text.replace('/', QChar(kPathSeparator))
            .replace("{S}", qs(m_source))
            .replace("{O}", qs(m_out))
            .toStdString();
    }

    QStringList outputNames() const {
        QStringList names;
        if (fs::is_directory(m_out))
            for (const fs::directory_entry& entry : fs::directory_iterator(m_out))
                names << qs(entry.path().filename().string());
        names.sort();
        return names;
    }

    test::KeptProgramSettings m_keptSettings;
    QTemporaryDir m_home;
    std::unique_ptr<test::TempDir> m_work;
    std::string m_source;
    std::string m_out;
    ProcessSettings m_settings;
    test::MessageRecorder m_messages;
    test::RecordedBoxes m_boxes;
    NoChoosers m_choosers;
    FileGate m_gate;
    std::unique_ptr<BatchJobRunner> m_jobs;
    std::unique_ptr<MainFrame> m_frame;
    std::unique_ptr<JobCommands> m_commands;
};

QTEST_MAIN(WindowJobsTest)
#include "WindowJobsTest.moc"
