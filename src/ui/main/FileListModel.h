#pragma once

#include "batch/BatchResult.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace pagesmith {

struct BatchRequest;

// The rows of the file list, one per file a folder scan found and in its
// order, so a row's position here is its scan index. Views sort through a
// proxy and leave this order alone. The one owner of the rows: the jobs take
// their files from here.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column : int { NameColumn, SizeColumn, DateColumn, ResultColumn, ColumnCount };
    // The scan index of a row, as an item value that survives sorting.
    static constexpr int ScanIndexRole = Qt::UserRole;

    // Header texts; the trailing blanks widen columns fitted to their header.
    static const QStringList& headerTexts();

    struct RowCheck {
        std::size_t scanIndex;
        bool checked;
    };

    // What the user and the last job made of the rows, by file name, for a
    // new reading of the same folder to take over.
    struct RowMarks {
        struct Mark {
            bool checked = true;
            QString result;
            QString resultReason;
            OutputPages output;
        };
        QHash<QString, Mark> byName;
    };

    explicit FileListModel(QObject* parent = nullptr);

    // Replaces every row by the files a scan put in the request's lists:
    // name, the size and the date split from the info at its first comma,
    // an empty result, the check box from fileSelected; and takes the count
    // of leftovers the scan left out. One reset, however many files.
    void fill(const BatchRequest& request);
    void clear();

    const QString& cellText(int row, int column) const;
    // A row's file as the scan wrote it, for a job: its name, relative to the
    // folder scanned, and its info ("size,date time"). Empty outside the table.
    const std::string& fileName(int row) const;
    const std::string& fileInfo(int row) const;
    // The leftovers of an interrupted run the scan left out of the rows.
    int leftoversLeftOut() const { return m_leftoversLeftOut; }
    // Nothing happens outside the table.
    void setCellText(int row, int column, const QString& text);
    // A job's outcome for a row: the word in the Result column and, for a
    // failure, its reason as the cell's tooltip; and where its pages went.
    void setResult(int row, const QString& word, const QString& reason,
                   const OutputPages& output = {});
    // Every row's Result column and output emptied, as a job begins.
    void clearResults();
    // Where the last job put the row's pages; empty when it put none.
    const OutputPages& outputOf(int row) const;
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);
    // Checks the rows of these names and unchecks every other.
    void checkOnly(const QStringList& names);
    bool allChecked() const;

    // The row of a file name; -1 when none shows it.
    int rowOfName(const QString& name) const;
    RowMarks marks() const;
    // Rows whose names the marks know take their check box and result back;
    // the others keep what the fill gave them.
    void restoreMarks(const RowMarks& marks);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        std::string fileName;
        std::string fileInfo;
        std::array<QString, ColumnCount> cells;
        QString resultReason;
        OutputPages output;
        bool checked = true;
    };

    bool contains(int row, int column) const;

    std::vector<Row> m_rows;
    QHash<QString, int> m_rowOfName;
    int m_leftoversLeftOut = 0;
};

} // namespace pagesmith
