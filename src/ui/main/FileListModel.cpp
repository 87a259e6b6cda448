#include "ui/main/FileListModel.h"

#include "batch/BatchRequest.h"

#include <QFile>
#include <QSet>

#include <algorithm>

namespace pagesmith {

namespace {

QString fromNative(const std::string& text) {
    return QFile::decodeName(QByteArray::fromStdString(text));
}

} // namespace

const QStringList& FileListModel::headerTexts() {
    static const QStringList texts = {
        QStringLiteral("Tiff Files           "),
        QStringLiteral("Size    "),
        QStringLiteral("Last Modified Date"),
        QStringLiteral("Result     "),
    };
    return texts;
}

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

void FileListModel::fill(const BatchRequest& request) {
    beginResetModel();
    m_rows.clear();
    m_rowOfName.clear();
    m_leftoversLeftOut = request.leftoversLeftOut;
    const std::size_t count = request.fileNames.size();
    m_rows.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        Row& row = m_rows[i];
        row.fileName = request.fileNames[i];
        row.fileInfo = i < request.fileInfos.size() ? request.fileInfos[i] : "";
        row.cells[NameColumn] = fromNative(row.fileName);
        const std::string& info = row.fileInfo;
        const std::size_t comma = info.find(',');
        row.cells[SizeColumn] = fromNative(info.substr(0, comma));
        if (comma != std::string::npos)
            row.cells[DateColumn] = fromNative(info.substr(comma + 1));
        row.checked = i >= request.fileSelected.size() || request.fileSelected[i] != 0;
        m_rowOfName.insert(row.cells[NameColumn], static_cast<int>(i));
    }
    endResetModel();
}

void FileListModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_rowOfName.clear();
    m_leftoversLeftOut = 0;
    endResetModel();
}

bool FileListModel::contains(int row, int column) const {
    return row >= 0 && static_cast<std::size_t>(row) < m_rows.size() && column >= 0 &&
           column < ColumnCount;
}

const QString& FileListModel::cellText(int row, int column) const {
    static const QString none;
    return contains(row, column) ? m_rows[row].cells[column] : none;
}

const std::string& FileListModel::fileName(int row) const {
    static const std::string none;
    return contains(row, NameColumn) ? m_rows[row].fileName : none;
}

const std::string& FileListModel::fileInfo(int row) const {
    static const std::string none;
    return contains(row, NameColumn) ? m_rows[row].fileInfo : none;
}

void FileListModel::setCellText(int row, int column, const QString& text) {
    if (!contains(row, column))
        return;
    if (column == NameColumn) {
        m_rowOfName.remove(m_rows[row].cells[column]);
        m_rowOfName.insert(text, row);
    }
    m_rows[row].cells[column] = text;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
}

void FileListModel::setResult(int row, const QString& word, const QString& reason,
                              const OutputPages& output) {
    if (!contains(row, ResultColumn))
        return;
    m_rows[row].resultReason = reason;
    m_rows[row].output = output;
    setCellText(row, ResultColumn, word);
}

const OutputPages& FileListModel::outputOf(int row) const {
    static const OutputPages none;
    return contains(row, ResultColumn) ? m_rows[row].output : none;
}

void FileListModel::clearResults() {
    if (m_rows.empty())
        return;
    for (Row& row : m_rows) {
        row.cells[ResultColumn].clear();
        row.resultReason.clear();
        row.output = {};
    }
    emit dataChanged(index(0, ResultColumn), index(rowCount() - 1, ResultColumn),
                     {Qt::DisplayRole, Qt::ToolTipRole});
}

bool FileListModel::isChecked(int row) const {
    return contains(row, NameColumn) && m_rows[row].checked;
}

void FileListModel::setChecked(int row, bool checked) {
    if (!contains(row, NameColumn) || m_rows[row].checked == checked)
        return;
    m_rows[row].checked = checked;
    const QModelIndex cell = index(row, NameColumn);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void FileListModel::setAllChecked(bool checked) {
    if (m_rows.empty())
        return;
    for (Row& row : m_rows)
        row.checked = checked;
    emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn), {Qt::CheckStateRole});
}

void FileListModel::checkOnly(const QStringList& names) {
    if (m_rows.empty())
        return;
    const QSet<QString> wanted(names.begin(), names.end());
    for (Row& row : m_rows)
        row.checked = wanted.contains(row.cells[NameColumn]);
    emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn), {Qt::CheckStateRole});
}

bool FileListModel::allChecked() const {
    return std::all_of(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.checked; });
}

int FileListModel::rowOfName(const QString& name) const {
    return m_rowOfName.value(name, -1);
}

FileListModel::RowMarks FileListModel::marks() const {
    RowMarks marks;
    marks.byName.reserve(static_cast<qsizetype>(m_rows.size()));
    for (const Row& row : m_rows)
        marks.byName.insert(row.cells[NameColumn],
                            {row.checked, row.cells[ResultColumn], row.resultReason, row.output});
    return marks;
}

void FileListModel::restoreMarks(const RowMarks& marks) {
    if (m_rows.empty())
        return;
    for (Row& row : m_rows) {
        const auto mark = marks.byName.constFind(row.cells[NameColumn]);
        if (mark == marks.byName.constEnd())
            continue;
        row.checked = mark->checked;
        row.cells[ResultColumn] = mark->result;
        row.resultReason = mark->resultReason;
        row.output = mark->output;
    }
    emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!contains(index.row(), index.column()))
        return {};
    const Row& row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return row.cells[index.column()];
    case Qt::ToolTipRole: // the full text of a cell too narrow to show it
        if (index.column() == ResultColumn && !row.resultReason.isEmpty())
            return row.resultReason;
        return row.cells[index.column()];
    case Qt::CheckStateRole:
        if (index.column() == NameColumn)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case ScanIndexRole:
        return index.row();
    default:
        return {};
    }
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != NameColumn ||
        !contains(index.row(), NameColumn))
        return false;
    setChecked(index.row(), static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked);
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
    if (!contains(index.row(), index.column()))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == NameColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return headerTexts().at(section);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::InitialSortOrderRole: // a first click on a header sorts ascending
        return static_cast<int>(Qt::AscendingOrder);
    default:
        return {};
    }
}

} // namespace pagesmith
