#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

namespace pagesmith {

class FileListModel;

// Orders file-list rows by one column: names and results as people read them
// in the user's locale, case-sensitively ("a.tif" before "B.tif" before
// "c.tif"); sizes by number (20 before 100); dates by time. The rows of the
// model keep their scan order; only this view of them moves.
class FileListSortProxy : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit FileListSortProxy(FileListModel& source, QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    const FileListModel& m_source;
    QCollator m_collator;
};

} // namespace pagesmith
