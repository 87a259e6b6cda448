#include "ui/main/MainFrame.h"
#include "WindowTestSupport.h"
#include "app/ProcessSettings.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"
#include "ui/main/FileList.h"
#include "ui/main/FileListMenu.h"
#include "ui/main/FilterCombo.h"
#include "ui/main/FolderTree.h"
#include "ui/main/InfoResultsView.h"
#include "ui/preview/PagePreview.h"
#include "ui/preview/PageView.h"
#include "ui/toolkit/FlatTabStrip.h"
#include "ui/toolkit/ProportionalSplitter.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <QtTest>

#include <filesystem>
#include <memory>

using namespace pagesmith;

namespace {

struct Item {
    const char* text; // nullptr: a separator
    const char* prompt;
    const char* tooltip;
};

struct Menu {
    const char* title;
    std::vector<Item> items;
};

const Item kSeparator{nullptr, nullptr, nullptr};

// The menus as the user must see them.
const std::vector<Menu> kExpectedMenus = {
    {"&File",
     {{"&Convert", "Convert tiff compression mode",
       "convert tiff from one compression mode to another"},
      {"&Merge", "Merge tiff files", "merge multiple tiff files into one"},
      kSeparator,
      {"&Watch Folder...", "Convert the files that arrive in the folder shown, as they arrive",
       "watch the folder shown and convert what arrives"},
      {"S&top Watching", "Stop converting the files that arrive", "stop watching the folder"},
      kSeparator,
      {"&Select All", "Select all items", "select all item"},
      kSeparator,
      {"E&xit", "Quit the application; prompts to save documents", "Exit"}}},
    {"Settings",
     {{"Include Sub Folder", "Include sub folder", "Include sub folder"},
      {"Keep File Name", "Keep converted file name as original",
       "Keep converted file name as original"}}},
    {"&View",
     {{"&Toolbar", "Show or hide the toolbar", "Toggle ToolBar"},
      {"&Status Bar", "Show or hide the status bar", "Toggle StatusBar"},
      {"Page &Preview", "Show or hide the page preview", "Toggle Page Preview"}}},
    {"&Help",
     {{"&Help", "Open help", "open help"},
      kSeparator,
      {"&About Pagesmith...", "Display program information, version number and copyright",
       "About"}}},
};

// The toolbar from left to right: button tooltips, "|" for a separator and
// "[filter]" for the compression filter.
const QStringList kExpectedToolbar = {"convert tiff from one compression mode to another",
                                      "merge multiple tiff files into one",
                                      "|",
                                      "select all item",
                                      "|",
                                      "Include sub folder",
                                      "Keep converted file name as original",
                                      "|",
                                      "[filter]",
                                      "|",
                                      "open help",
                                      "About"};

QString accessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// A folder of `count` one-page fax files, file0.tif, file1.tif, ...
void writeFaxFiles(const test::TempDir& folder, int count) {
    for (int i = 0; i < count; ++i)
        test::writeTiff(folder.path() / ("file" + std::to_string(i) + ".tif"), test::faxPage());
}

std::vector<bool> checkStates(FileList* list) {
    std::vector<bool> states;
    for (int row = 0; row < list->rowCount(); ++row)
        states.push_back(list->fileModel().isChecked(row));
    return states;
}

// The names of the checked rows, in name order.
QStringList checkedNames(FileList* list) {
    QStringList names;
    const FileListModel& model = list->fileModel();
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.isChecked(row))
            names << model.cellText(row, FileListModel::NameColumn);
    }
    names.sort();
    return names;
}

// Files dragged from a file manager and let go over the window.
bool drop(QWidget* window, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at = window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window, &dropped);
    return dropped.isAccepted();
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The folder tree shows a desktop of this test, wherever the user's is.
        qputenv("HOME", QByteArray::fromStdString(m_home.str()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_home.file("config")));
    }

    void init() {
        m_frame = std::make_unique<MainFrame>(m_settings, m_messages);
        m_frame->resize(1000, 700);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    }
    void cleanup() { m_frame.reset(); }

    void showsMenusAndToolbarWithTheirPromptsAndTooltips() {
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("Pagesmith"));
        QVERIFY(!m_frame->windowIcon().isNull());

        const QList<QAction*> menus = m_frame->menuBar()->actions();
        QCOMPARE(menus.size(), qsizetype(kExpectedMenus.size()));
        for (std::size_t m = 0; m < kExpectedMenus.size(); ++m) {
            QCOMPARE(menus[m]->text(), QString(kExpectedMenus[m].title));
            const QList<QAction*> items = menus[m]->menu()->actions();
            QCOMPARE(items.size(), qsizetype(kExpectedMenus[m].items.size()));
            for (qsizetype i = 0; i < items.size(); ++i) {
                const Item& expected = kExpectedMenus[m].items[i];
                QCOMPARE(items[i]->isSeparator(), expected.text == nullptr);
                if (!expected.text)
                    continue;
                QCOMPARE(items[i]->text(), QString(expected.text));
                QCOMPARE(items[i]->statusTip(), QString(expected.prompt));
                QCOMPARE(items[i]->toolTip(), QString(expected.tooltip));
            }
        }

        QStringList toolbar;
        for (QAction* action : m_frame->commandBar()->actions()) {
            if (action->isSeparator())
                toolbar << "|";
            else if (qobject_cast<QWidgetAction*>(action))
                toolbar << "[filter]";
            else
                toolbar << action->toolTip();
            // Every button has its own image, which its menu item shows too.
            if (!action->isSeparator() && !qobject_cast<QWidgetAction*>(action))
                QVERIFY(!action->icon().isNull());
        }
        QCOMPARE(toolbar, kExpectedToolbar);
        QCOMPARE(m_frame->filterCombo()->width(), 180);
        QCOMPARE(m_frame->filterCombo()->accessibleName(), QStringLiteral("Compression filter"));
    }

    void commandStatesFollowTheRowsAndTheFlags() {
        FileList* list = m_frame->fileList();
        QAction* convert = m_frame->commandAction(kConvertCommand);
        QAction* merge = m_frame->commandAction(kMergeCommand);
        QAction* selectAll = m_frame->commandAction(kSelectAllCommand);
        const auto enabled = [&] {
            return std::vector<bool>{convert->isEnabled(), merge->isEnabled(),
                                     selectAll->isEnabled()};
        };
        QCOMPARE(enabled(), std::vector<bool>(3, false));
        // The toolbar buttons grey out with their commands.
        QToolButton* button =
            qobject_cast<QToolButton*>(m_frame->commandBar()->widgetForAction(convert));
        QVERIFY(!button->isEnabled());

        // A fill that produced rows, all of them checked.
        test::TempDir folder;
        writeFaxFiles(folder, 3);
        m_frame->showFolder(folder.str());
        QCOMPARE(enabled(), std::vector<bool>(3, true));
        QVERIFY(button->isEnabled());
        QVERIFY(selectAll->isChecked());

        selectAll->trigger();
        QVERIFY(!m_frame->selectAllState());
        QVERIFY(!selectAll->isChecked());
        QCOMPARE(checkStates(list), std::vector<bool>(3, false));
        selectAll->trigger();
        QVERIFY(selectAll->isChecked());
        QCOMPARE(checkStates(list), std::vector<bool>(3, true));

        // The settings flip their flags and marks; the list stays as it is.
        for (const CommandId id : {kIncludeSubFolderCommand, kKeepFileNameCommand}) {
            m_frame->commandAction(id)->trigger();
            QVERIFY(m_frame->commandAction(id)->isChecked());
        }
        QVERIFY(m_frame->includeSubFolders());
        QVERIFY(m_frame->keepFileNames());
        QCOMPARE(list->rowCount(), 3);
        m_frame->commandAction(kIncludeSubFolderCommand)->trigger();
        QVERIFY(!m_frame->includeSubFolders());
        QVERIFY(!m_frame->commandAction(kIncludeSubFolderCommand)->isChecked());

        // A fill that produced no rows.
        m_frame->showFolder(folder.file("none"));
        QCOMPARE(enabled(), std::vector<bool>(3, false));
        QVERIFY(!selectAll->isChecked());
    }

    void statusBarHasItsPanesAndShowsPrompts() {
        QLabel* main = m_frame->statusBar()->findChildren<QLabel*>().value(0);
        QCOMPARE(m_frame->statusPaneText(MainFrame::StatusPane::Main), QStringLiteral("Ready"));
        QCOMPARE(main->text(), QStringLiteral("Ready"));
        QLabel* jobState = nullptr;
        QLabel* jobTotal = nullptr;
        for (QLabel* label : m_frame->statusBar()->findChildren<QLabel*>()) {
            if (label->accessibleDescription() == "Job state")
                jobState = label;
            if (label->accessibleDescription() == "Job total")
                jobTotal = label;
        }
        QVERIFY(jobState && jobTotal);
        QCOMPARE(jobState->width(), 80);
        QCOMPARE(jobTotal->width(), 300);
        QVERIFY(main->width() > m_frame->width() / 2); // the main pane takes the rest

        // A worker writes the job panes while the window thread waits for it.
        QThread* worker = QThread::create([&] {
            m_frame->setStatusPaneText(MainFrame::StatusPane::JobState, "Converting ......");
            m_frame->setStatusPaneText(MainFrame::StatusPane::JobTotal,
                                       "Total 2 tiff file(s) are convertered/merged.\r\n");
        });
        worker->start();
        QTRY_VERIFY(worker->isFinished());
        delete worker;
        QCOMPARE(jobState->text(), QStringLiteral("Converting ......"));
        QCOMPARE(accessibleName(jobState), QStringLiteral("Converting ......"));
        // A longer total widens its pane rather than being cut short.
        m_frame->setStatusPaneText(MainFrame::StatusPane::JobTotal,
                                   "Total 2 tiff file(s) are convertered/merged. "
                                   "Total 1 tiff file(s) failed.");
        QTRY_VERIFY(jobTotal->width() >=
                    jobTotal->fontMetrics().horizontalAdvance(jobTotal->text()));

        // A highlighted menu item's prompt fills the bar as one pane.
        QMenu* file = m_frame->menuBar()->actions()[0]->menu();
        file->popup(m_frame->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        file->setActiveAction(m_frame->commandAction(kExitCommand));
        QCOMPARE(m_frame->statusBar()->currentMessage(),
                 QStringLiteral("Quit the application; prompts to save documents"));
        QVERIFY(!jobState->isVisible());
        file->close();
        QTRY_VERIFY(m_frame->statusBar()->currentMessage().isEmpty());
        QVERIFY(jobState->isVisible());
        QVERIFY(main->isVisible());
    }

    void viewCommandsHideTheToolbarAndTheStatusBar() {
        QWidget* panes = m_frame->centralWidget();
        const int fullHeight = panes->height();
        m_frame->commandAction(kToggleToolbarCommand)->trigger();
        QTRY_VERIFY(panes->height() > fullHeight);
        QVERIFY(!m_frame->commandBar()->isVisible());
        QVERIFY(m_frame->menuBar()->isVisible());
        QVERIFY(!m_frame->commandAction(kToggleToolbarCommand)->isChecked());

        const int withoutToolbar = panes->height();
        m_frame->commandAction(kToggleStatusBarCommand)->trigger();
        QTRY_VERIFY(panes->height() > withoutToolbar);
        QVERIFY(!m_frame->statusBar()->isVisible());

        m_frame->commandAction(kToggleToolbarCommand)->trigger();
        m_frame->commandAction(kToggleStatusBarCommand)->trigger();
        QTRY_COMPARE(panes->height(), fullHeight);
    }

    void panesStartInTheirProportionsWithFocusInTheList() {
        auto* sideBySide = qobject_cast<ProportionalSplitter*>(m_frame->centralWidget());
        QVERIFY(sideBySide);
        auto* listOverInfo = qobject_cast<ProportionalSplitter*>(sideBySide->widget(1));
        QVERIFY(listOverInfo);
        auto* listBesidePreview = qobject_cast<ProportionalSplitter*>(listOverInfo->widget(0));
        QVERIFY(listBesidePreview);
        QCOMPARE(sideBySide->sizes()[0], sideBySide->width() / 5);
        QCOMPARE(listOverInfo->sizes()[0], listOverInfo->height() * 3 / 4);
        QCOMPARE(listBesidePreview->sizes()[0], listBesidePreview->width() * 2 / 3);
        QCOMPARE(listOverInfo->widget(1), m_frame->infoResultsView());
        QCOMPARE(sideBySide->widget(0), m_frame->folderTree());
        QCOMPARE(listBesidePreview->widget(0), m_frame->fileList());
        QCOMPARE(listBesidePreview->widget(1), m_frame->pagePreview());
        QCOMPARE(m_frame->focusWidget(), m_frame->fileList());
    }

    // View > Page Preview hides the preview, and the list takes its room.
    void viewCommandShowsAndHidesThePagePreview() {
        QAction* toggle = m_frame->commandAction(kTogglePreviewCommand);
        QVERIFY(toggle->isChecked());
        QVERIFY(m_frame->pagePreview()->isVisible());
        const int listWidth = m_frame->fileList()->width();
        toggle->trigger();
        QVERIFY(!m_frame->pagePreview()->isVisible());
        QTRY_VERIFY(m_frame->fileList()->width() > listWidth);
        toggle->trigger();
        QVERIFY(m_frame->pagePreview()->isVisible());
        QTRY_COMPARE(m_frame->fileList()->width(), listWidth);
    }

    // The preview follows the list's current row, by click or by key, and
    // goes empty with a new folder.
    void previewFollowsTheCurrentRow() {
        test::TempDir folder;
        for (int i = 0; i < 3; ++i)
            test::writeTiff(folder.path() / ("file" + std::to_string(i) + ".tif"),
                            test::faxPage(100 + i, 40));
        m_frame->showFolder(folder.str());
        FileList* list = m_frame->fileList();
        PagePreview* preview = m_frame->pagePreview();
        QCOMPARE(preview->path(), QString());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        QCOMPARE(preview->path(), QString::fromStdString(folder.file("file0.tif")));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(preview->path(), QString::fromStdString(folder.file("file1.tif")));
        QTRY_COMPARE(preview->view()->picture().width(), 101);

        m_frame->showFolder(folder.file("none"));
        QTRY_COMPARE(preview->path(), QString());
    }

    // Ten clicks in a row: only the last file's page is shown; the pages
    // asked for before it are given up.
    void tenClicksInARowShowOnlyTheLastPage() {
        test::TempDir folder;
        for (int i = 0; i < 10; ++i) {
            test::TestPage page = test::rgbPage(1500 + i, 1200, COMPRESSION_LZW);
            page.rowsPerStrip = 16;
            test::writeTiff(folder.path() / ("file" + std::to_string(i) + ".tif"), page);
        }
        m_frame->showFolder(folder.str());
        FileList* list = m_frame->fileList();
        PagePreview* preview = m_frame->pagePreview();
        QSignalSpy shown(preview, &PagePreview::pageShown);
        for (int row = 0; row < 10; ++row)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(list->model()->index(row, 0)).center());
        QTRY_VERIFY_WITH_TIMEOUT(!preview->isReading(), 20000);
        QTest::qWait(100); // no answer to an earlier click comes late
        QCOMPARE(shown.count(), 1);
        QVERIFY(preview->accessibleDescription().startsWith("Page 1 of 1, 1509 x 1200"));
    }

    // The tree's selection lists its folder, a click on a row shows the file's
    // report, another filter lists the folder again at once.
    void treeListAndFilterWorkTogether() {
        test::TempDir folder;
        writeFaxFiles(folder, 2);
        test::writeTiff(folder.path() / "photo.tif", test::rgbPage(8, 8, COMPRESSION_LZW));
        FolderTree* tree = m_frame->folderTree();
        emit tree->folderSelected(QString::fromStdString(folder.str()));
        QCOMPARE(m_frame->currentFolder(), folder.str());
        QCOMPARE(m_frame->fileList()->rowCount(), 3);
        QCOMPARE(m_frame->listedFiles().files.size(), std::size_t(3));
        QVERIFY(m_frame->selectAllState());
        QCOMPARE(m_frame->infoResultsView()->paneText(InfoResultsView::kInfoPage),
                 std::string("Total 3 tiff files in this folder\r\n"));

        FileList* list = m_frame->fileList();
        const QRect row = list->visualRect(list->model()->index(2, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(m_frame->infoResultsView()
                    ->paneText(InfoResultsView::kInfoPage)
                    .find("Tiff Name:   " + folder.file("photo.tif")) != std::string::npos);

        m_frame->filterCombo()->setCurrentIndex(6); // Group 4 tiff files
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(m_frame->listedFiles().files.size(), std::size_t(2));
        QCOMPARE(m_frame->infoResultsView()->paneText(InfoResultsView::kInfoPage),
                 std::string("Total 2 tiff files in this folder\r\n"));
    }

    // Tab and Shift+Tab go round tree, filter, list, text and page tabs and
    // never type into the text; Ctrl+Tab leaves the text too. F10 opens the
    // menus, which reach every command.
    void keyboardMovesRoundThePanesAndOutOfTheText() {
        test::TempDir folder;
        writeFaxFiles(folder, 2);
        m_frame->showFolder(folder.str());
        m_frame->activateWindow();
        QTRY_VERIFY(m_frame->isActiveWindow());
        QWidget* tree = m_frame->folderTree();
        QWidget* filter = m_frame->filterCombo();
        FileList* list = m_frame->fileList();
        QPlainTextEdit* text = m_frame->infoResultsView()->textArea();
        QWidget* tabs = m_frame->infoResultsView()->tabStrip();
        PagePreview* preview = m_frame->pagePreview();
        list->setCurrentIndex(list->model()->index(0, 0)); // a file in the preview
        tree->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), tree);
        const QString before = text->toPlainText();

        struct Step {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            QWidget* reached;
        };
        // The preview's Output and page buttons wait for an output and pages.
        const Step steps[] = {
            {Qt::Key_Tab, {}, filter},
            {Qt::Key_Tab, {}, list},
            {Qt::Key_Tab, {}, preview->sourceButton()},
            {Qt::Key_Tab, {}, preview->fitButton()},
            {Qt::Key_Tab, {}, preview->actualSizeButton()},
            {Qt::Key_Tab, {}, preview->view()},
            {Qt::Key_Tab, {}, text},
            {Qt::Key_Tab, {}, tabs},
            {Qt::Key_Tab, {}, tree},
            {Qt::Key_Backtab, Qt::ShiftModifier, tabs},
            {Qt::Key_Backtab, Qt::ShiftModifier, text},
            {Qt::Key_Tab, Qt::ControlModifier, tabs},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, text},
            {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, preview->view()},
        };
        for (const Step& step : steps) {
            QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
            QCOMPARE(QApplication::focusWidget(), step.reached);
        }
        QCOMPARE(text->toPlainText(), before);

        QTest::keyClick(list, Qt::Key_F10);
        QMenuBar* menus = m_frame->menuBar();
        QCOMPARE(menus->activeAction(), menus->actions().front());
        QTRY_VERIFY(menus->activeAction()->menu()->isVisible());
        QTest::keyClick(menus->activeAction()->menu(), Qt::Key_Escape);
    }

    void textAreaCopiesAndSelectsAll_data() {
        QTest::addColumn<int>("copyKey");
        QTest::newRow("Ctrl+C") << int(Qt::Key_C);
        QTest::newRow("Ctrl+Insert") << int(Qt::Key_Insert);
    }
    void textAreaCopiesAndSelectsAll() {
        QFETCH(int, copyKey);
        InfoResultsView* view = m_frame->infoResultsView();
        view->appendToPage(InfoResultsView::kInfoPage, "Tiff Name:   a.tif\r\nTotal pages: 1\r\n");
        QPlainTextEdit* text = view->textArea();
        m_frame->activateWindow();
        text->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), text);
        QApplication::clipboard()->setText("clipboard before");

        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key(copyKey), Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("Tiff Name:   a.tif\nTotal pages: 1\n"));
    }

    void acceleratorsDoNothingEvenInTheTextArea_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        const int ctrl = Qt::ControlModifier;
        const int shift = Qt::ShiftModifier;
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl;
        QTest::newRow("Shift+Delete") << int(Qt::Key_Delete) << shift;
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl;
        QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << shift;
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << ctrl;
        QTest::newRow("Alt+Backspace") << int(Qt::Key_Backspace) << int(Qt::AltModifier);
        QTest::newRow("Ctrl+N") << int(Qt::Key_N) << ctrl;
        QTest::newRow("F6") << int(Qt::Key_F6) << 0;
    }

    void acceleratorsDoNothingEvenInTheTextArea() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QPlainTextEdit* text = m_frame->infoResultsView()->textArea();
        m_frame->activateWindow();
        text->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), text);
        // An edit first, so that undo would have something to undo.
        QTest::keyClicks(text, "report");
        text->selectAll();
        QApplication::clipboard()->setText("clipboard before");

        QTest::keyClick(text, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(text->toPlainText(), QStringLiteral("report"));
        QCOMPARE(text->textCursor().selectedText(), QStringLiteral("report"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clipboard before"));
        QCOMPARE(QApplication::focusWidget(), text);
    }

    void tiffInfoShowsTheHeadingsAndTheReportOfTheRow() {
        test::TempDir folder;
        test::writeTiff(folder.path() / "a.tif", test::faxPage(64, 32));
        m_frame->setCurrentFolder(folder.str());
        InfoResultsView* view = m_frame->infoResultsView();
        view->showPage(InfoResultsView::kResultsPage);
        view->appendToPage(InfoResultsView::kResultsPage, "job report\r\n");

        m_frame->showTiffInfo("a.tif");
        QCOMPARE(view->currentPage(), InfoResultsView::kInfoPage);
        const std::string path = folder.file("a.tif");
        const std::string expected = "Inside tiff file info: \r\n"
                                     "---------------------- \r\n"
                                     "Tiff Name:   " +
                                     path +
                                     "\r\n"
                                     "Total pages: 1\r\n"
                                     "Image Size:  64 x 32\r\n"
                                     "Compression: 4 = Group 4 Fax\r\n";
        QCOMPARE(view->paneText(InfoResultsView::kInfoPage), expected);
        QCOMPARE(view->textArea()->toPlainText(),
                 QString::fromStdString(expected).replace("\r\n", "\n"));
        QCOMPARE(view->paneText(InfoResultsView::kResultsPage), std::string("job report\r\n"));

        // A file gone since the list was filled.
        m_frame->showTiffInfo("gone.tif");
        QCOMPARE(view->paneText(InfoResultsView::kInfoPage),
                 "Inside tiff file info: \r\n---------------------- \r\nError tiff file : " +
                     folder.file("gone.tif") + "\r\n");
    }

    // A folder dropped on the window is selected in the tree and listed; files
    // dropped show their folder with only themselves checked.
    void dropsShowAFolderOrTheFilesDropped_data() {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("folder") << QStringList{""}
                                << QStringList{"file0.tif", "file1.tif", "file2.tif"};
        QTest::newRow("files") << QStringList{"file2.tif", "file0.tif"}
                               << QStringList{"file0.tif", "file2.tif"};
        QTest::newRow("a file and one gone")
            << QStringList{"gone.tif", "file1.tif"} << QStringList{"file1.tif"};
    }
    void dropsShowAFolderOrTheFilesDropped() {
        QFETCH(QStringList, dropped);
        QFETCH(QStringList, checked);
        test::TempDir folder;
        writeFaxFiles(folder, 3);
        const QString path = QString::fromStdString(folder.str());
        QStringList paths;
        for (const QString& name : dropped)
            paths << (name.isEmpty() ? path : path + '/' + name);

        QVERIFY(drop(m_frame.get(), paths));
        QCOMPARE(m_frame->currentFolder(), folder.str());
        // The tree holds paths in Qt's form, the core in the system's.
        QCOMPARE(FolderTree::pathOf(m_frame->folderTree()->currentItem()),
                 QDir::fromNativeSeparators(path));
        QCOMPARE(checkedNames(m_frame->fileList()), checked);
        QCOMPARE(m_frame->selectAllState(), checked.size() == 3);
        // The panes leave drops to the window.
        QVERIFY(!m_frame->infoResultsView()->textArea()->acceptDrops());
        QVERIFY(!m_frame->fileList()->acceptDrops());
        QVERIFY(!drop(m_frame.get(), {}));
    }

    // Right button or the menu key on a row: its file opened with the
    // desktop's viewer or shown in its folder, checked, unchecked, reported.
    void rowMenuActsOnTheFileOfItsRow() {
        test::RecordedDesktop desktop;
        m_frame->setDesktopCalls(desktop);
        test::TempDir folder;
        writeFaxFiles(folder, 3);
        m_frame->showFolder(folder.str());
        FileList* list = m_frame->fileList();
        FileListMenu* menu = m_frame->rowMenu();

        const QPoint row1 = list->visualRect(list->model()->index(1, 2)).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, row1,
                                list->viewport()->mapToGlobal(row1));
        QApplication::sendEvent(list->viewport(), &click);
        QTRY_VERIFY(menu->menu()->isVisible());
        QCOMPARE(menu->name(), QStringLiteral("file1.tif"));
        QStringList texts;
        for (QAction* action : menu->menu()->actions())
            texts << action->text();
        QCOMPARE(texts,
                 QStringList({"&Open", "Show in &folder", "&Check", "&Uncheck", "Tiff &Info"}));
        QVERIFY(!menu->action(RowMenuItem::Check)->isEnabled());
        menu->menu()->close();

        const QString file1 = QString::fromStdString(folder.file("file1.tif"));
        menu->action(RowMenuItem::Open)->trigger();
        menu->action(RowMenuItem::ShowInFolder)->trigger();
        QCOMPARE(desktop.calls, QStringList({"open " + file1, "show " + file1}));
        menu->action(RowMenuItem::Uncheck)->trigger();
        QCOMPARE(checkedNames(list), QStringList({"file0.tif", "file2.tif"}));
        menu->action(RowMenuItem::Check)->trigger();
        QCOMPARE(checkedNames(list).size(), 3);
        menu->action(RowMenuItem::TiffInfo)->trigger();
        QVERIFY(m_frame->infoResultsView()
                    ->paneText(InfoResultsView::kInfoPage)
                    .find("Tiff Name:   " + folder.file("file1.tif")) != std::string::npos);

        // From the keyboard (the menu key, Shift+F10) the menu is the current
        // row's.
        list->setCurrentIndex(list->model()->index(2, 0));
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        QApplication::sendEvent(list, &key);
        QCOMPARE(menu->name(), QStringLiteral("file2.tif"));
        menu->menu()->close();
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(menu->name(), QStringLiteral("file0.tif"));
        menu->menu()->close();
    }

    // Files made or removed in the folder shown come and go within a moment;
    // F5 reads the folder at once. Check boxes stay with their files.
    void listFollowsItsFolderKeepingCheckBoxesByName() {
        test::TempDir folder;
        writeFaxFiles(folder, 3);
        m_frame->showFolder(folder.str());
        FileList* list = m_frame->fileList();
        FileListModel& model = list->fileModel();
        model.setChecked(model.rowOfName("file1.tif"), false);
        list->sortBy(FileListModel::NameColumn, Qt::DescendingOrder);

        test::writeTiff(folder.path() / "file3.tif", test::faxPage());
        QTRY_COMPARE(list->rowCount(), 4);
        QCOMPARE(checkedNames(list), QStringList({"file0.tif", "file2.tif", "file3.tif"}));
        QCOMPARE(list->sortOrder(), Qt::DescendingOrder);
        QCOMPARE(m_frame->infoResultsView()->paneText(InfoResultsView::kInfoPage),
                 std::string("Total 4 tiff files in this folder\r\n"));
        QVERIFY(m_frame->selectAllState());

        std::filesystem::remove(folder.path() / "file0.tif");
        QTRY_COMPARE(list->rowCount(), 3);
        QCOMPARE(checkedNames(list), QStringList({"file2.tif", "file3.tif"}));

        m_frame->activateWindow();
        QTRY_VERIFY(m_frame->isActiveWindow());
        test::writeTiff(folder.path() / "file4.tif", test::faxPage());
        QTest::keyClick(list, Qt::Key_F5);
        QCOMPARE(list->rowCount(), 4);
    }

    void exitClosesTheWindow() {
        m_frame->commandAction(kExitCommand)->trigger();
        QVERIFY(!m_frame->isVisible());
    }

private:
    test::TempDir m_home;
    ProcessSettings m_settings;
    test::MessageRecorder m_messages;
    std::unique_ptr<MainFrame> m_frame;
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
