#pragma once

#include "ui/main/ListPane.h"

#include <QListWidget>
#include <QTreeWidget>

namespace pagesmith {

// Stand-ins for the folder tree and the file list until those panes exist:
// an empty tree, and a plain check-box list that keeps each row's file index
// in Qt::UserRole.
class FolderPanePlaceholder : public QTreeWidget {
    Q_OBJECT

public:
    explicit FolderPanePlaceholder(QWidget* parent = nullptr);
};

class ListPanePlaceholder : public QListWidget, public ListPane {
    Q_OBJECT

public:
    explicit ListPanePlaceholder(QWidget* parent = nullptr);

    int rowCount() const override;
    void setAllChecked(bool checked) override;
    void setFileStatus(std::size_t fileIndex, const QString& status) override;
};

} // namespace pagesmith
