#include "ui/main/FileListSortProxy.h"

#include "ui/main/FileListModel.h"
#include "ui/toolkit/LinguisticCollator.h"

namespace pagesmith {

FileListSortProxy::FileListSortProxy(FileListModel& source, QObject* parent)
    : QSortFilterProxyModel(parent), m_source(source),
      m_collator(linguisticCollator(Qt::CaseSensitive, false)) {
    // A result written while a job runs must not move its row.
    setDynamicSortFilter(false);
    setSourceModel(&source);
}

bool FileListSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    // The texts straight from the rows: no variant per comparison.
    const QString& a = m_source.cellText(left.row(), left.column());
    const QString& b = m_source.cellText(right.row(), right.column());
    switch (left.column()) {
    case FileListModel::SizeColumn:
        return a.toULongLong() < b.toULongLong();
    case FileListModel::DateColumn:
        // "yyyy.MM.dd HH:mm" has fixed width and leads with the largest unit,
        // so code-unit order is time order; a missing time comes first.
        return a.compare(b) < 0;
    default:
        return m_collator.compare(a, b) < 0;
    }
}

} // namespace pagesmith
