#include "ui/main/PanePlaceholders.h"

namespace pagesmith {

FolderPanePlaceholder::FolderPanePlaceholder(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
}

ListPanePlaceholder::ListPanePlaceholder(QWidget* parent) : QListWidget(parent) {}

int ListPanePlaceholder::rowCount() const {
    return count();
}

void ListPanePlaceholder::setAllChecked(bool checked) {
    for (int row = 0; row < count(); ++row)
        item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void ListPanePlaceholder::setFileStatus(std::size_t fileIndex, const QString& status) {
    // No result column here: the mark goes after the name.
    for (int row = 0; row < count(); ++row) {
        QListWidgetItem* entry = item(row);
        if (entry->data(Qt::UserRole).toULongLong() == fileIndex)
            entry->setText(entry->text().section(QLatin1Char('\t'), 0, 0) + QLatin1Char('\t') +
                           status);
    }
}

} // namespace pagesmith
