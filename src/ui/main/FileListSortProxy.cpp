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
    return m_collator.compare(m_source.cellText(left.row(), left.column()),
                              m_source.cellText(right.row(), right.column())) < 0;
}

} // namespace pagesmith
