#include "WindowTestSupport.h"
#include "app/ProcessSettings.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"
#include "ui/dialogs/DestinationDialog.h"
#include "ui/dialogs/PathChoosers.h"
#include "ui/jobs/BatchJobRunner.h"
#include "ui/jobs/JobCommands.h"
#include "ui/main/FileList.h"
#include "ui/main/InfoResultsView.h"
#include "ui/main/MainFrame.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>

using namespace pagesmith;
namespace fs = std::filesystem;
using Control = DestinationDialog::Control;

namespace {

constexpr int kGroup4 = 6; // the save format's list entry
constexpr int kLimit = 60000;

class NoChoosers : public PathChoosers {
public:
    std::optional<QString> chooseFolder(QWidget*, const QString&) override { return {}; }
    std::optional<QString> chooseLogFile(QWidget*, const QString&) override { return {}; }
};

// Confirms the next destination dialog with a save folder and Group 4.
class ConfirmDialog : public QObject {
public:
    explicit ConfirmDialog(QString saveFolder) : m_saveFolder(std::move(saveFolder)) {
        qApp->installEventFilter(this);
    }
    ~ConfirmDialog() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* dialog = qobject_cast<DestinationDialog*>(object);
        if (!dialog || event->type() != QEvent::Show)
            return false;
        QTimer::singleShot(0, dialog, [dialog, folder = m_saveFolder] {
            static_cast<QLineEdit*>(dialog->control(Control::SaveFolderEdit))->setText(folder);
            static_cast<QComboBox*>(dialog->control(Control::SaveFormatCombo))
                ->setCurrentIndex(kGroup4);
            static_cast<QPushButton*>(dialog->control(Control::Ok))->click();
        });
        return false;
    }

private:
    QString m_saveFolder;
};

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

class WatchFolderWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        test::useHomeFolder(m_home.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
    }

    void init() {
        m_work = std::make_unique<test::TempDir>();
        m_source = m_work->path() / "source";
        m_out = m_work->path() / "out";
        fs::create_directories(m_source);
        fs::create_directories(m_work->path() / "staging");
        test::writeTiff(m_source / "a.tif", test::faxPage());
        m_settings = ProcessSettings{};
        m_settings.logPath = m_work->file("run.txt");
        m_settings.scratchPath = m_work->file("scratch.tbw");
        m_jobs = std::make_unique<BatchJobRunner>();
        m_frame = std::make_unique<MainFrame>(m_settings, m_messages);
        m_commands = std::make_unique<JobCommands>(*m_frame, *m_jobs, m_settings, m_messages);
        m_frame->connectJobCommands(*m_commands);
        m_commands->setPathChoosers(m_choosers);
        m_commands->setMessageBoxes(m_boxes);
        m_frame->show();
        m_frame->showFolder(m_source.string());
    }

    void cleanup() {
        m_commands.reset();
        m_frame.reset();
        m_jobs.reset();
        m_work.reset();
    }

    // Watch Folder... converts what is there and what arrives, marks the rows
    // and counts in the status bar; Stop Watching ends it and offers Watch
    // Folder... again.
    void watchFolderConvertsArrivalsUntilStopWatching() {
        QAction* watch = m_frame->commandAction(kWatchFolderCommand);
        QAction* stop = m_frame->commandAction(kStopWatchingCommand);
        QVERIFY(watch->isEnabled());
        QVERIFY(!stop->isEnabled());
        {
            ConfirmDialog confirm(qs(m_out.string()));
            watch->trigger();
        }
        QVERIFY(m_commands->isWatching());
        QVERIFY(!watch->isEnabled());
        QVERIFY(stop->isEnabled());
        const QString watching = "Watching " + qs(m_source.string()) + ": %1 converted";
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->statusPaneText(MainFrame::StatusPane::Main),
                                  watching.arg(1), kLimit);
        QVERIFY(fs::exists(m_out / "ag4.tif"));

        test::writeTiff(m_work->path() / "staging" / "b.tif", test::faxPage());
        fs::rename(m_work->path() / "staging" / "b.tif", m_source / "b.tif");
        QTRY_COMPARE_WITH_TIMEOUT(m_frame->statusPaneText(MainFrame::StatusPane::Main),
                                  watching.arg(2), kLimit);
        QVERIFY(fs::exists(m_out / "bg4.tif"));
        // New files are listed, and marked once converted.
        const FileListModel& model = m_frame->fileList()->fileModel();
        const auto result = [&model](const QString& name) {
            const int row = model.rowOfName(name);
            return row < 0 ? QStringLiteral("(not listed)")
                           : model.cellText(row, FileListModel::ResultColumn);
        };
        for (const QString name : {"a.tif", "b.tif"})
            QTRY_COMPARE_WITH_TIMEOUT(result(name), QStringLiteral("Converted"), kLimit);
        const QString results =
            qs(m_frame->infoResultsView()->paneText(InfoResultsView::kResultsPage));
        QVERIFY2(results.startsWith("Start watching " + qs(m_source.string()) + " ... \r\n"),
                 qPrintable(results));
        QCOMPARE(results.count(" (1) tiff file(s) converted\n"), 2);

        stop->trigger();
        QVERIFY(!m_commands->isWatching());
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::Main), QStringLiteral("Ready"));
        QVERIFY(watch->isEnabled());
        QVERIFY(!stop->isEnabled());
        // Two run-log entries, one per group of files.
        QCOMPARE(qs(test::readTextFile(m_settings.logPath)).count("Pagesmith in GUI mode"), 2);
    }

    // Closing the window with a watch running ends the watch; what it
    // converted is remembered for the next watch.
    void closingTheWindowEndsTheWatch() {
        {
            ConfirmDialog confirm(qs(m_out.string()));
            QCOMPARE(m_commands->startWatch(), 0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(m_out / "ag4.tif"), kLimit);
        m_frame->close();
        m_commands.reset();
        QVERIFY(fs::exists(m_out / ".pagesmith-watch"));
    }

private:
    QTemporaryDir m_home;
    std::unique_ptr<test::TempDir> m_work;
    fs::path m_source;
    fs::path m_out;
    ProcessSettings m_settings;
    test::MessageRecorder m_messages;
    test::RecordedBoxes m_boxes;
    NoChoosers m_choosers;
    std::unique_ptr<BatchJobRunner> m_jobs;
    std::unique_ptr<MainFrame> m_frame;
    std::unique_ptr<JobCommands> m_commands;
};

QTEST_MAIN(WatchFolderWindowTest)
#include "WatchFolderWindowTest.moc"
