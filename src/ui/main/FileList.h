#pragma once

#include "ui/main/FileListModel.h"

#include <QString>
#include <QTreeView>

#include <cstddef>
#include <vector>

namespace pagesmith {

struct BatchRequest;
class FileListSortProxy;

// The TIFF files of the chosen folder as check-box rows in report style:
// one full-row selection that stays visible without focus, one click
// activates a row, a header click sorts (ascending, then reversed). The name
// column takes the width the others leave; a name too long for it is cut in
// the middle, whole in its tooltip.
class FileList : public QTreeView {
    Q_OBJECT

public:
    static constexpr int kResultColumnWidth = 100;

    explicit FileList(QWidget* parent = nullptr);

    FileListModel& fileModel() { return *m_model; }
    int rowCount() const;

    // Shows the files a scan put in the request's lists (the model keeps
    // them), sorted by name ascending, the size and date columns fitted to
    // their header and contents.
    void showFiles(const BatchRequest& request);
    // Shows a new reading of the folder shown: the files still there keep
    // their check boxes and results (new ones come checked), the sort, the
    // current row and the scroll position stay.
    void refreshFiles(const BatchRequest& request);
    void clearFiles();

    int sortColumn() const;
    Qt::SortOrder sortOrder() const;
    void sortBy(int column, Qt::SortOrder order);

    // The name of the row the keyboard is on; empty with none.
    QString currentName() const;
    // Where the last job put the pages of the file of this name.
    OutputPages outputOf(const QString& name) const;

    // Select All: every check box to one state.
    void setAllChecked(bool checked);

    // Callable from a worker thread: carried out on the window thread while
    // the caller waits. Rows are rows as shown, after sorting.
    int rowOfScanIndex(std::size_t scanIndex);
    // Nothing happens for a row or column outside the list.
    void setCellText(int row, int column, const QString& text);
    // The result column of the row that shows a file: the outcome's word and
    // the reason of a failure as its tooltip; and where its pages went.
    void setFileResult(std::size_t scanIndex, const QString& word, const QString& reason = {},
                       const OutputPages& output = {});
    // The same for the row of a file name, when the list shows it.
    void setFileResultByName(const QString& name, const QString& word, const QString& reason = {},
                             const OutputPages& output = {});
    // Every row's result column emptied.
    void clearResults();
    // Each row's check box with its scan index, in the order shown.
    std::vector<FileListModel::RowCheck> rowChecks();

signals:
    // A row was activated (a single click, or Enter): its name column.
    void fileActivated(const QString& name);
    // The row the keyboard is on changed (a click, the arrow keys, a new
    // fill): its name column; empty when no row is current.
    void currentFileChanged(const QString& name);
    // The last job's outcome of the file of this name came or went.
    void fileResultChanged(const QString& name);
    // The context menu of a row (right button, the menu key or Shift+F10),
    // to open at a point of the screen.
    void rowMenuRequested(const QString& name, const QPoint& globalPosition);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The names, sizes and dates to their header and contents; the result
    // column keeps a fixed width for the texts a job writes.
    void fitColumns();
    void setCurrentName(const QString& name);
    int sourceRow(int shownRow) const;
    void followCurrentFile();

    FileListModel* m_model;
    FileListSortProxy* m_proxy;
    QString m_currentFile; // as currentFileChanged last told it
};

} // namespace pagesmith
