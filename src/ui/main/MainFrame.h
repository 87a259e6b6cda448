#pragma once

#include "batch/BatchRequest.h"
#include "ui/main/MainFrameTexts.h"

#include <QMainWindow>

#include <map>
#include <string>

class QLabel;

namespace pagesmith {

class FileList;
class FilterCombo;
class FolderTree;
class InfoResultsView;
class MessageSink;
class ProportionalSplitter;
struct ProcessSettings;

// The one top-level window of window mode: menu bar, toolbar with the
// compression filter, status bar, and a client area split into the folder tree
// (left), the file list (upper right) and the info and results pane (lower
// right). It owns the state the commands work on and routes every command.
//
// Other threads reach it only through the status-pane texts, which are set
// on the window thread while the caller waits.
class MainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Status bar panes; the job panes keep the ids the jobs refer to them by.
    enum class StatusPane { Main = 0, JobState = 207, JobTotal = 208 };

    // settings are the process's (the scratch file, the run log, the short-log
    // switch); messages is where message boxes go.
    MainFrame(ProcessSettings& settings, MessageSink& messages, QWidget* parent = nullptr);
    ~MainFrame() override;

    // State the commands work on; it lives in memory only and starts afresh
    // at every start.
    const std::string& currentFolder() const { return m_currentFolder; }
    void setCurrentFolder(const std::string& folder) { m_currentFolder = folder; }
    bool includeSubFolders() const { return m_includeSubFolders; }
    bool keepFileNames() const { return m_keepFileNames; }
    bool selectAllState() const { return m_selectAllState; }
    // Set by every list fill: off, then on when the fill produced rows.
    void setSelectAllState(bool on);
    // The request the list shows and the jobs run; its file lists mirror the rows.
    BatchRequest& request() { return m_request; }

    // The panes and the compression filter on the toolbar.
    FolderTree* folderTree() const { return m_folderTree; }
    FileList* fileList() const { return m_fileList; }
    InfoResultsView* infoResultsView() const { return m_infoResults; }
    FilterCombo* filterCombo() const { return m_filterCombo; }

    // Lists a folder's TIFF files (with its sub-folders when Include Sub Folder
    // is on) through the current filter; the tree's selection and a change of
    // filter come here. The folder becomes currentFolder.
    void showFolder(const std::string& folder);
    // Counts the list fills: a job's marks belong to the rows of the fill it
    // was started from, and only while that fill is shown.
    int fillGeneration() const { return m_fillGeneration; }

    // Any thread.
    void setStatusPaneText(StatusPane pane, const QString& text);
    QString statusPaneText(StatusPane pane) const;

    QAction* commandAction(CommandId id) const;
    QToolBar* commandBar() const { return m_toolBar; }

    // The Tiff Info command for a file of the list, named relative to
    // currentFolder: the "Tiff Info" page comes to the front and shows the
    // file's information report under two heading lines.
    void showTiffInfo(const std::string& relativeName);

public slots:
    // Brings the commands in line with the list and the flags: Convert, Merge
    // and Select All enabled only while the list has rows; the check marks of
    // Select All, Include Sub Folder and Keep File Name follow their flags.
    void updateCommandState();

signals:
    // File > Convert and File > Merge, for the job commands.
    void convertRequested();
    void mergeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createClientArea();
    void runCommand(CommandId id, bool checked);
    void selectAll();
    QLabel* statusLabel(StatusPane pane) const;

    ProcessSettings& m_settings;
    MessageSink& m_messages;
    std::string m_currentFolder;
    bool m_includeSubFolders = false;
    bool m_keepFileNames = false;
    bool m_selectAllState = false;
    int m_fillGeneration = 0;
    BatchRequest m_request;

    std::map<CommandId, QAction*> m_actions;
    QToolBar* m_toolBar = nullptr;
    FilterCombo* m_filterCombo = nullptr;
    QLabel* m_mainPane = nullptr;
    QLabel* m_jobStatePane = nullptr;
    QLabel* m_jobTotalPane = nullptr;
    ProportionalSplitter* m_sideBySide = nullptr;
    ProportionalSplitter* m_listOverInfo = nullptr;
    FolderTree* m_folderTree = nullptr;
    FileList* m_fileList = nullptr;
    InfoResultsView* m_infoResults = nullptr;
};

} // namespace pagesmith
