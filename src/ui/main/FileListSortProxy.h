#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

namespace pagesmith {

class FileListModel;

// Orders file-list rows by the text of a column with the user's locale,
// case-sensitively: "a.tif" before "B.tif" before "c.tif". Sizes and dates are
// compared as text too, so "100" comes before "20". The rows of the model keep
// their scan order; only this view of them moves.
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
