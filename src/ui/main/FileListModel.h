#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <vector>

namespace pagesmith {

struct BatchRequest;

// The rows of the file list, one per entry of a request's file lists and in
// their order, so a row's position here is its scan index. Views sort through
// a proxy and leave this order alone.
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

    explicit FileListModel(QObject* parent = nullptr);

    // Replaces every row by the request's files: name, the size and the date
    // split from the info at its first comma, an empty result, the check box
    // from fileSelected. One reset, however many files.
    void fill(const BatchRequest& request);
    void clear();

    const QString& cellText(int row, int column) const;
    // Nothing happens outside the table.
    void setCellText(int row, int column, const QString& text);
    // A job's outcome for a row: the word in the Result column and, for a
    // failure, its reason as the cell's tooltip.
    void setResult(int row, const QString& word, const QString& reason);
    // Every row's Result column emptied, as a job begins.
    void clearResults();
    bool isChecked(int row) const;
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        std::array<QString, ColumnCount> cells;
        QString resultReason;
        bool checked = true;
    };

    bool contains(int row, int column) const;

    std::vector<Row> m_rows;
};

} // namespace pagesmith
