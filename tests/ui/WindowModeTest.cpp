#include "ui/main/WindowMode.h"

#include "WindowTestSupport.h"
#include "app/ProcessSettings.h"
#include "app/SettingsStore.h"
#include "app/StreamMessageSink.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"
#include "ui/dialogs/DestinationDialog.h"
#include "ui/main/FileList.h"
#include "ui/main/FilterCombo.h"
#include "ui/main/FolderTree.h"
#include "ui/main/MainFrame.h"
#include "ui/main/WindowState.h"
#include "ui/preview/PagePreview.h"
#include "ui/toolkit/ProportionalSplitter.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace pagesmith;

namespace {

MainFrame* shownFrame() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* frame = qobject_cast<MainFrame*>(widget); frame && frame->isVisible())
            return frame;
    }
    return nullptr;
}

// Runs window mode, acts on the frame once it shows, and closes it.
int runWindow(ProcessSettings& settings, const std::function<void(MainFrame&)>& act) {
    StreamMessageSink messages;
    bool sawFrame = false;
    QTimer::singleShot(0, [&] {
        MainFrame* frame = shownFrame();
        QVERIFY(frame);
        sawFrame = true;
        act(*frame);
        frame->close();
    });
    const int result = runWindowMode(settings, messages);
    [&] { QVERIFY(sawFrame); }();
    return result;
}

// The save folder and merged name the destination dialog opens with for a
// Merge; then the values to confirm, or Cancel without them.
QStringList answerMerge(MainFrame& frame, const QStringList& confirm = {}) {
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<DestinationDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        const DestinationDialog::Control edits[] = {DestinationDialog::SaveFolderEdit,
                                                    DestinationDialog::MergedNameEdit};
        for (qsizetype i = 0; i < 2; ++i) {
            auto* edit = static_cast<QLineEdit*>(dialog->control(edits[i]));
            shown << edit->text();
            if (!confirm.isEmpty())
                edit->setText(confirm[i]);
        }
        if (confirm.isEmpty())
            dialog->reject();
        else
            static_cast<QPushButton*>(dialog->control(DestinationDialog::Ok))->click();
    });
    frame.commandAction(kMergeCommand)->trigger();
    return shown;
}

QStringList checkedNames(MainFrame& frame) {
    QStringList names;
    const FileListModel& model = frame.fileList()->fileModel();
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.isChecked(row))
            names << model.cellText(row, FileListModel::NameColumn);
    }
    names.sort();
    return names;
}

// The splitter of the file list and the page preview.
ProportionalSplitter* listBesidePreview(MainFrame& frame) {
    return qobject_cast<ProportionalSplitter*>(frame.pagePreview()->parentWidget());
}

} // namespace

class WindowModeTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        test::useHomeFolder(m_home->path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home->path());
        m_folder = std::make_unique<test::TempDir>();
        for (const char* name : {"a.tif", "b.tif", "c.tif"})
            test::writeTiff(m_folder->path() / name, test::faxPage());
    }

    void opensMaximisedAndStoresTheLogPathWhenClosed() {
        ProcessSettings settings;
        settings.logPath = "/chosen/in/the/window.log";
        const int result = runWindow(settings, [](MainFrame& frame) {
            QCOMPARE(frame.windowTitle(), QStringLiteral("Pagesmith"));
            QVERIFY(frame.isMaximized());
            QVERIFY(frame.currentFolder().empty());
            // Un-maximised, it keeps most of the screen, centred.
            const QRect area = frame.screen()->availableGeometry();
            QCOMPARE(frame.normalGeometry().size(), area.size() * 4 / 5);
            QVERIFY(qAbs(frame.normalGeometry().center().x() - area.center().x()) <= 1);
        });
        // Closing the frame ends the loop with 1.
        QCOMPARE(result, 1);
        QCOMPARE(readSetting(kLogPathSetting), std::string("/chosen/in/the/window.log"));
    }

    // What the user left is stored when the window closes and is back at the
    // next start: the folder listed, the window's size, the splitters, the
    // settings, the filter, the sort and the dialog's save folder and name.
    void remembersTheWindowBetweenRuns() {
        const QString folder = QString::fromStdString(m_folder->str());
        const QString out = m_home->filePath("out");
        ProcessSettings settings;
        settings.logPath = m_home->filePath("run.log").toStdString();
        runWindow(settings, [&](MainFrame& frame) {
            frame.showNormal();
            frame.setGeometry(40, 50, 900, 600);
            frame.openFolder(m_folder->str());
            frame.commandAction(kIncludeSubFolderCommand)->trigger();
            frame.commandAction(kKeepFileNameCommand)->trigger();
            frame.filterCombo()->setCurrentIndex(6);
            frame.fileList()->sortBy(FileListModel::SizeColumn, Qt::DescendingOrder);
            auto* sideBySide = qobject_cast<ProportionalSplitter*>(frame.centralWidget());
            sideBySide->setShare(0.3);
            listBesidePreview(frame)->setShare(0.55);
            frame.commandAction(kTogglePreviewCommand)->trigger(); // hidden
            QCOMPARE(answerMerge(frame, {out, "letter"}), QStringList({"", "me_tiff"}));
            QTRY_COMPARE(frame.statusPaneText(MainFrame::StatusPane::JobState),
                         QStringLiteral("Done."));
        });
        const WindowState stored = readWindowState();
        QCOMPARE(stored.lastFolder, QDir::fromNativeSeparators(folder));
        QVERIFY(!stored.maximised);
        QVERIFY(stored.includeSubFolders && stored.keepFileNames);
        QCOMPARE(stored.filter, 6);
        QCOMPARE(stored.sortColumn, int(FileListModel::SizeColumn));
        QCOMPARE(stored.sortOrder, Qt::DescendingOrder);
        QVERIFY(qAbs(stored.treeShare.value_or(0) - 0.3) < 1e-3);
        QVERIFY(!stored.previewShown);
        QVERIFY(qAbs(stored.previewShare.value_or(0) - 0.55) < 1e-3);
        QCOMPARE(stored.saveFolder, QDir::toNativeSeparators(out)); // as the dialog shows it
        QCOMPARE(stored.mergedFileName, QStringLiteral("letter"));
        QCOMPARE(test::countPages(out.toStdString() + "/letter.tif"), 3);

        runWindow(settings, [&](MainFrame& frame) {
            QVERIFY(!frame.isMaximized());
            QCOMPARE(frame.size(), QSize(900, 600));
            QCOMPARE(QString::fromStdString(frame.currentFolder()), folder);
            QCOMPARE(FolderTree::pathOf(frame.folderTree()->currentItem()),
                     QDir::fromNativeSeparators(folder));
            QCOMPARE(frame.fileList()->rowCount(), 3);
            QVERIFY(frame.includeSubFolders() && frame.keepFileNames());
            QVERIFY(frame.commandAction(kIncludeSubFolderCommand)->isChecked());
            QCOMPARE(int(frame.filterCombo()->filterCode()), 6);
            QCOMPARE(frame.fileList()->sortColumn(), int(FileListModel::SizeColumn));
            QCOMPARE(frame.fileList()->sortOrder(), Qt::DescendingOrder);
            auto* sideBySide = qobject_cast<ProportionalSplitter*>(frame.centralWidget());
            QCOMPARE(sideBySide->barPosition(), sideBySide->width() * 3 / 10);
            QVERIFY(!frame.pagePreview()->isVisible());
            QVERIFY(!frame.commandAction(kTogglePreviewCommand)->isChecked());
            frame.commandAction(kTogglePreviewCommand)->trigger();
            QVERIFY(frame.pagePreview()->isVisible());
            ProportionalSplitter* beside = listBesidePreview(frame);
            QCOMPARE(beside->barPosition(), int(beside->width() * 0.55));
            QCOMPARE(answerMerge(frame), QStringList({QDir::toNativeSeparators(out), "letter"}));
        });

        // A last folder that has gone: nothing is listed.
        m_folder.reset();
        runWindow(settings, [](MainFrame& frame) { QCOMPARE(frame.fileList()->rowCount(), 0); });
    }

    // "--window PATH...": a folder is shown; files show their folder with only
    // themselves checked; the last folder gives way to what was named, unless
    // nothing named is there.
    void windowOptionOpensWhatItNames_data() {
        QTest::addColumn<QStringList>("named");
        QTest::addColumn<QStringList>("checked"); // empty: the last folder is shown
        QTest::newRow("folder") << QStringList{""} << QStringList{"a.tif", "b.tif", "c.tif"};
        QTest::newRow("files") << QStringList{"c.tif", "a.tif"} << QStringList{"a.tif", "c.tif"};
        QTest::newRow("nothing there") << QStringList{"gone/x.tif"} << QStringList{};
    }
    void windowOptionOpensWhatItNames() {
        QFETCH(QStringList, named);
        QFETCH(QStringList, checked);
        WindowState elsewhere;
        elsewhere.lastFolder = m_home->path();
        writeWindowState(elsewhere);
        ProcessSettings settings;
        for (const QString& name : named)
            settings.windowPaths.push_back(name.isEmpty() ? m_folder->str()
                                                          : m_folder->file(name.toStdString()));
        runWindow(settings, [&](MainFrame& frame) {
            QCOMPARE(QString::fromStdString(frame.currentFolder()),
                     QDir::toNativeSeparators(checked.isEmpty()
                                                  ? m_home->path()
                                                  : QString::fromStdString(m_folder->str())));
            QCOMPARE(checkedNames(frame), checked);
        });
    }

private:
    test::KeptProgramSettings m_keptSettings;
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<test::TempDir> m_folder;
};

QTEST_MAIN(WindowModeTest)
#include "WindowModeTest.moc"
