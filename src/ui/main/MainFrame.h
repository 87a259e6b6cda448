#pragma once

#include "ui/jobs/JobWindow.h"
#include "ui/main/MainFrameTexts.h"
#include "ui/main/WindowState.h"

#include <QMainWindow>
#include <QStringList>

#include <map>
#include <string>

class QLabel;

namespace pagesmith {

class DesktopCalls;
class FileList;
class FileListMenu;
class FilterCombo;
class FolderTree;
class FolderWatch;
class InfoResultsView;
class JobCommands;
class MessageSink;
class PagePreview;
class ProportionalSplitter;
struct ProcessSettings;

// The one top-level window of window mode: menu bar, toolbar with the
// compression filter, status bar, and a client area split into the folder tree
// (left), the file list with the page preview beside it (upper right) and the
// info and results pane (lower right). It owns the state the commands work on and routes every
// command. The tree and the list follow the disk; folders and files dropped on the window are
// shown; every command is in reach of the keyboard.
//
// The jobs reach it through JobWindow alone. Other threads reach it only
// through the status-pane texts, which are set on the window thread while the
// caller waits.
class MainFrame : public QMainWindow, public JobWindow {
    Q_OBJECT

public:
    // settings are the process's (the scratch file, the run log, the short-log
    // switch); messages is where message boxes go.
    MainFrame(ProcessSettings& settings, MessageSink& messages, QWidget* parent = nullptr);
    ~MainFrame() override;

    // Where the desktop calls (open a file, show it in its folder, notify)
    // go; the platform's own unless set.
    void setDesktopCalls(DesktopCalls& calls) { m_desktop = &calls; }
    DesktopCalls& desktopCalls() const { return *m_desktop; }

    // File > Convert, File > Merge, File > Watch Folder... and File > Stop
    // Watching go to these commands.
    void connectJobCommands(JobCommands& commands);

    // State the commands work on.
    const std::string& currentFolder() const override { return m_currentFolder; }
    void setCurrentFolder(const std::string& folder) { m_currentFolder = folder; }
    bool includeSubFolders() const override { return m_includeSubFolders; }
    bool keepFileNames() const override { return m_keepFileNames; }
    bool selectAllState() const { return m_selectAllState; }
    // Set by every list fill: off, then on when the fill produced rows.
    void setSelectAllState(bool on);
    // The list's rows in the order shown, as the next job takes them.
    FileListing listedFiles() const override;

    // The panes and the compression filter on the toolbar.
    FolderTree* folderTree() const { return m_folderTree; }
    FileList* fileList() const { return m_fileList; }
    InfoResultsView* infoResultsView() const { return m_infoResults; }
    PagePreview* pagePreview() const { return m_preview; }
    FilterCombo* filterCombo() const { return m_filterCombo; }

    // Lists a folder's TIFF files (with its sub-folders when Include Sub Folder
    // is on) through the current filter; the tree's selection and a change of
    // filter come here. The folder becomes currentFolder.
    void showFolder(const std::string& folder);
    // Counts the list fills and new readings of the folder shown: a job's
    // scan indexes name the rows of the fill it was started from, and only
    // while that fill is shown.
    int fillGeneration() const override { return m_fillGeneration; }
    // Counts the list fills alone: a job's file names still name rows of the
    // list after the folder shown was read again, until the next fill.
    int listingGeneration() const override { return m_listingGeneration; }
    // The folder selected in the tree and listed; a folder the tree has no
    // node for is listed all the same.
    void openFolder(const std::string& folder);
    // What was dropped on the window or named on its command line: a folder
    // is shown; files show their folder with only themselves checked. False
    // when none of the paths is there.
    bool openPaths(const QStringList& paths);
    // F5: the tree and the list read again; the list keeps its check boxes
    // by file name.
    void refresh() override;

    // What the window keeps between runs (all but the save folder and the
    // merged file's name, which the job commands hold).
    WindowState windowState() const;
    // Takes the flags, the filter and the splitters of a stored state.
    void applyWindowState(const WindowState& state);
    // Shows the window as it was left (maximised at a first start), then the
    // paths named, or else (none named, or none there) the last folder if it
    // is still there, in the stored sort.
    void showAtStart(const WindowState& state, const QStringList& openPaths = {});

    // Whether a watch runs: Watch Folder is offered while none runs and a
    // folder is shown, Stop Watching while one runs.
    void setWatching(bool watching) override;
    bool isWatching() const { return m_watching; }

    // Any thread.
    void setStatusPaneText(StatusPane pane, const QString& text) override;
    QString statusPaneText(StatusPane pane) const;
    void showReady() override;

    // The rest of what the jobs reach (JobWindow).
    QWidget* ownerWindow() override { return this; }
    void showResultsPage() override;
    void clearResultsPage() override;
    void appendToResultsPage(const std::string& text) override;
    void offerSaveFolder(const QString& folder) override;
    void clearFileResults() override;
    bool listsFile(const QString& name) const override;
    void markFile(std::size_t scanIndex, const QString& word, const QString& reason,
                  const OutputPages& output) override;
    void markFileByName(const QString& name, const QString& word, const QString& reason,
                        const OutputPages& output) override;
    void notifyDesktop(const QString& text) override;

    QAction* commandAction(CommandId id) const;
    QToolBar* commandBar() const { return m_toolBar; }
    FileListMenu* rowMenu() const { return m_rowMenu; }

    // The Tiff Info command for a file of the list, named relative to
    // currentFolder: the "Tiff Info" page comes to the front and shows the
    // file's information report under two heading lines.
    void showTiffInfo(const std::string& relativeName);
    // The page preview shows the file of the list's current row, named
    // relative to currentFolder (nothing for an empty name).
    void previewFile(const QString& relativeName);

public slots:
    // Brings the commands in line with the list and the flags: Convert, Merge
    // and Select All enabled only while the list has rows; the check marks of
    // Select All, Include Sub Folder and Keep File Name follow their flags.
    void updateCommandState();

signals:
    // File > Convert and File > Merge, for the job commands.
    void convertRequested();
    void mergeRequested();
    // File > Watch Folder... and File > Stop Watching.
    void watchRequested();
    void stopWatchingRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    QMenu* createPopupMenu() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createClientArea();
    void createKeys();
    void chainFocus();
    void refreshList();
    void runCommand(CommandId id, bool checked);
    void selectAll();
    QLabel* statusLabel(StatusPane pane) const;

    ProcessSettings& m_settings;
    MessageSink& m_messages;
    DesktopCalls* m_desktop;
    std::string m_currentFolder;
    bool m_includeSubFolders = false;
    bool m_keepFileNames = false;
    bool m_selectAllState = false;
    bool m_watching = false;
    int m_fillGeneration = 0;
    int m_listingGeneration = 0;
    bool m_infoShowsTotal = false; // the "Tiff Info" page holds a fill's total

    std::map<CommandId, QAction*> m_actions;
    QToolBar* m_toolBar = nullptr;
    FilterCombo* m_filterCombo = nullptr;
    QLabel* m_mainPane = nullptr;
    QLabel* m_jobStatePane = nullptr;
    QLabel* m_jobTotalPane = nullptr;
    ProportionalSplitter* m_sideBySide = nullptr;
    ProportionalSplitter* m_listOverInfo = nullptr;
    ProportionalSplitter* m_listBesidePreview = nullptr;
    FolderTree* m_folderTree = nullptr;
    FileList* m_fileList = nullptr;
    InfoResultsView* m_infoResults = nullptr;
    PagePreview* m_preview = nullptr;
    FileListMenu* m_rowMenu = nullptr;
    FolderWatch* m_listWatch = nullptr;
};

} // namespace pagesmith
