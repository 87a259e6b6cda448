#pragma once

#include "app/MainWindowHooks.h"
#include "batch/BatchRequest.h"
#include "ui/main/MainFrameTexts.h"

#include <QMainWindow>

#include <map>
#include <string>
#include <vector>

class QComboBox;
class QLabel;

namespace pagesmith {

class InfoResultsView;
class ListPane;
class ProportionalSplitter;

// The one top-level window of window mode: menu bar, toolbar with the
// compression filter, status bar, and a client area split into the folder tree
// (left), the file list (upper right) and the info and results pane (lower
// right). It owns the state the commands work on and routes every command.
//
// Other threads reach it only through the MainWindowHooks operations and the
// status-pane texts, which run on the window thread while the caller waits.
class MainFrame : public QMainWindow, public MainWindowHooks {
    Q_OBJECT

public:
    // Status bar panes; the job panes keep the ids the jobs refer to them by.
    enum class StatusPane { Main = 0, JobState = 207, JobTotal = 208 };

    explicit MainFrame(QWidget* parent = nullptr);
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

    // The panes. The frame owns them; setting one deletes the one it replaces.
    QWidget* folderPane() const;
    void setFolderPane(QWidget* pane);
    QWidget* listPaneWidget() const;
    ListPane* listPane() const { return m_listPane; }
    // pane is the widget shown, list its ListPane side (usually the same
    // object). When pane is an item view, the command states follow its
    // model's rows by themselves; otherwise call updateCommandState after a change.
    void setListPane(QWidget* pane, ListPane* list);
    InfoResultsView* infoResultsView() const { return m_infoResults; }
    // The compression filter on the toolbar, in the place of entry 32776.
    QComboBox* filterCombo() const { return m_filterCombo; }
    void setFilterCombo(QComboBox* combo);

    // Any thread.
    void setStatusPaneText(StatusPane pane, const QString& text);
    QString statusPaneText(StatusPane pane) const;

    QAction* commandAction(CommandId id) const;
    QToolBar* commandBar() const { return m_toolBar; }

    // The Tiff Info command for a file of the list, named relative to
    // currentFolder: the "Tiff Info" page comes to the front and shows the
    // file's information report under two heading lines.
    void showTiffInfo(const std::string& relativeName);

    // MainWindowHooks: the window pages and the list's result marks.
    void appendToPage(int page, const std::string& text) override;
    std::string pageText(int page) override;
    void setFileStatus(std::size_t fileIndex, const std::string& status) override;

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
    // Stops listening to the list pane, before it is replaced or destroyed.
    void forgetListPane();

    std::string m_currentFolder;
    bool m_includeSubFolders = false;
    bool m_keepFileNames = false;
    bool m_selectAllState = false;
    BatchRequest m_request;

    std::map<CommandId, QAction*> m_actions;
    QToolBar* m_toolBar = nullptr;
    QComboBox* m_filterCombo = nullptr;
    QAction* m_filterAction = nullptr;
    QLabel* m_mainPane = nullptr;
    QLabel* m_jobStatePane = nullptr;
    QLabel* m_jobTotalPane = nullptr;
    ProportionalSplitter* m_sideBySide = nullptr;
    ProportionalSplitter* m_listOverInfo = nullptr;
    ListPane* m_listPane = nullptr;
    std::vector<QMetaObject::Connection> m_listConnections;
    InfoResultsView* m_infoResults = nullptr;
};

} // namespace pagesmith
