#pragma once

#include "batch/BatchResult.h"

#include <QString>

#include <cstddef>
#include <string>
#include <vector>

class QWidget;

namespace pagesmith {

// A row of the file list as a job takes it.
struct ListedFile {
    std::string name; // relative to the folder shown, as the scan found it
    std::string info; // "size,date time"
    bool checked = true;
    std::size_t scanIndex = 0; // the row's place in the fill it came from
};

// The rows in the order the list shows them, and the leftovers of an
// interrupted run the scan left out.
struct FileListing {
    std::vector<ListedFile> files;
    int leftoversLeftOut = 0;
};

// What the Convert, Merge and watch jobs ask of the main window: the folder
// and the rows it lists, the "Results" page, the status panes and the rows'
// Result column. The window thread only, but for setStatusPaneText.
class JobWindow {
public:
    // Status bar panes; the job panes keep the ids the jobs refer to them by.
    enum class StatusPane { Main = 0, JobState = 207, JobTotal = 208 };

    virtual ~JobWindow() = default;

    // The window itself: the owner of the jobs' dialogs and progress windows,
    // and the parent of their views, which go with it.
    virtual QWidget* ownerWindow() = 0;

    // The folder shown, how it is listed, and its rows.
    virtual const std::string& currentFolder() const = 0;
    virtual bool includeSubFolders() const = 0;
    virtual bool keepFileNames() const = 0;
    virtual FileListing listedFiles() const = 0;
    // Count the list fills and the readings of the folder shown: a job's
    // scan indexes name rows only while the fill it started from is shown,
    // its file names only while the listing is.
    virtual int fillGeneration() const = 0;
    virtual int listingGeneration() const = 0;
    // The tree and the list read again, the check boxes kept.
    virtual void refresh() = 0;

    // The "Results" page.
    virtual void showResultsPage() = 0;
    virtual void clearResultsPage() = 0;
    virtual void appendToResultsPage(const std::string& text) = 0;
    // The page's offer to open the save folder; none for an empty folder.
    virtual void offerSaveFolder(const QString& folder) = 0;

    // Any thread.
    virtual void setStatusPaneText(StatusPane pane, const QString& text) = 0;
    // The main pane's text while nothing runs.
    virtual void showReady() = 0;

    // The Result column: a file's outcome word, the reason of a failure as
    // its tooltip, and where its pages went; by the row of its scan index or
    // by its name. Nothing happens for a file the list does not show.
    virtual void clearFileResults() = 0;
    virtual bool listsFile(const QString& name) const = 0;
    virtual void markFile(std::size_t scanIndex, const QString& word, const QString& reason,
                          const OutputPages& output) = 0;
    virtual void markFileByName(const QString& name, const QString& word, const QString& reason,
                                const OutputPages& output) = 0;

    // Whether a watch runs: the watch commands follow it.
    virtual void setWatching(bool watching) = 0;
    // A desktop notification under the program's name.
    virtual void notifyDesktop(const QString& text) = 0;
};

} // namespace pagesmith
