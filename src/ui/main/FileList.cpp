#include "ui/main/FileList.h"

#include "ui/main/FileListSortProxy.h"
#include "ui/toolkit/RunOnThread.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>

namespace pagesmith {

namespace {

const QString kAccessibleName = QStringLiteral("Tiff files");

// One click on a row activates it, as in a list with one-click activation;
// a double-click then activates nothing more. Check boxes stay in view on a
// dark palette.
class FileListStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ItemView_ActivateItemOnSingleClick)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        // Some styles outline a check box in a shade of the window colour,
        // which vanishes on a dark list: a frame in the text colour keeps an
        // unchecked box in sight.
        if (element != PE_IndicatorItemViewItemCheck ||
            option->palette.color(QPalette::Base).lightnessF() >= 0.5)
            return;
        QColor frame = option->palette.color(QPalette::Text);
        frame.setAlphaF(0.6);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(frame);
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
        painter->restore();
    }
};

} // namespace

FileList::FileList(QWidget* parent)
    : QTreeView(parent), m_model(new FileListModel(this)),
      m_proxy(new FileListSortProxy(*m_model, this)) {
    setAccessibleName(kAccessibleName);
    auto* style = new FileListStyle;
    style->setParent(this);
    setStyle(style);

    setModel(m_proxy);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideMiddle); // both ends of a long name tell files apart
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // However long the names, size, date and result stay in view.
    header()->setSectionResizeMode(FileListModel::NameColumn, QHeaderView::Stretch);
    fitColumns(); // to their headers while the list is empty
    setSortingEnabled(true);
    sortByColumn(FileListModel::NameColumn, Qt::AscendingOrder);

    // The chosen row stays marked while the user works elsewhere.
    QPalette colours = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    connect(this, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        emit fileActivated(m_model->cellText(sourceRow(index.row()), FileListModel::NameColumn));
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &FileList::followCurrentFile);
    // A fill leaves no row current without a word from the selection; a new
    // reading of the folder puts the current row back right after.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        QMetaObject::invokeMethod(this, &FileList::followCurrentFile, Qt::QueuedConnection);
    });
    connect(m_model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& first, const QModelIndex& last) {
                if (first.column() > FileListModel::ResultColumn ||
                    last.column() < FileListModel::ResultColumn)
                    return;
                for (int row = first.row(); row <= last.row(); ++row)
                    emit fileResultChanged(m_model->cellText(row, FileListModel::NameColumn));
            });
}

int FileList::rowCount() const {
    return m_model->rowCount();
}

void FileList::showFiles(const BatchRequest& request) {
    setUpdatesEnabled(false);
    m_model->fill(request);
    sortByColumn(FileListModel::NameColumn, Qt::AscendingOrder);
    fitColumns();
    setUpdatesEnabled(true);
}

void FileList::refreshFiles(const BatchRequest& request) {
    const FileListModel::RowMarks marks = m_model->marks();
    const QString current = currentName();
    const int column = sortColumn();
    const Qt::SortOrder order = sortOrder();
    const int scrolled = verticalScrollBar()->value();
    setUpdatesEnabled(false);
    m_model->fill(request);
    m_model->restoreMarks(marks);
    sortBy(column, order);
    setCurrentName(current);
    executeDelayedItemsLayout(); // the scroll range of the new rows
    verticalScrollBar()->setValue(scrolled);
    setUpdatesEnabled(true);
}

void FileList::fitColumns() {
    for (int column : {FileListModel::SizeColumn, FileListModel::DateColumn})
        resizeColumnToContents(column);
    setColumnWidth(FileListModel::ResultColumn, kResultColumnWidth);
}

int FileList::sortColumn() const {
    return header()->sortIndicatorSection();
}

Qt::SortOrder FileList::sortOrder() const {
    return header()->sortIndicatorOrder();
}

void FileList::sortBy(int column, Qt::SortOrder order) {
    if (column < 0 || column >= FileListModel::ColumnCount)
        column = FileListModel::NameColumn;
    sortByColumn(column, order);
}

QString FileList::currentName() const {
    const QModelIndex current = currentIndex();
    return current.isValid()
               ? m_model->cellText(sourceRow(current.row()), FileListModel::NameColumn)
               : QString();
}

void FileList::followCurrentFile() {
    const QString name = currentName();
    if (name == m_currentFile)
        return;
    m_currentFile = name;
    emit currentFileChanged(name);
}

OutputPages FileList::outputOf(const QString& name) const {
    return m_model->outputOf(m_model->rowOfName(name));
}

void FileList::setCurrentName(const QString& name) {
    const int row = name.isEmpty() ? -1 : m_model->rowOfName(name);
    if (row < 0)
        return;
    const QModelIndex shown = m_proxy->mapFromSource(m_model->index(row, 0));
    selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
}

void FileList::clearFiles() {
    m_model->clear();
}

void FileList::setAllChecked(bool checked) {
    m_model->setAllChecked(checked);
}

int FileList::sourceRow(int shownRow) const {
    if (shownRow < 0 || shownRow >= m_proxy->rowCount())
        return -1;
    return m_proxy->mapToSource(m_proxy->index(shownRow, 0)).row();
}

int FileList::rowOfScanIndex(std::size_t scanIndex) {
    return runOnThreadOf(this, [this, scanIndex] {
        if (scanIndex >= static_cast<std::size_t>(m_model->rowCount()))
            return -1;
        return m_proxy->mapFromSource(m_model->index(static_cast<int>(scanIndex), 0)).row();
    });
}

void FileList::setCellText(int row, int column, const QString& text) {
    runOnThreadOf(
        this, [this, row, column, text] { m_model->setCellText(sourceRow(row), column, text); });
}

void FileList::setFileResult(std::size_t scanIndex, const QString& word, const QString& reason,
                             const OutputPages& output) {
    runOnThreadOf(this, [&] {
        if (scanIndex < static_cast<std::size_t>(m_model->rowCount()))
            m_model->setResult(static_cast<int>(scanIndex), word, reason, output);
    });
}

void FileList::setFileResultByName(const QString& name, const QString& word, const QString& reason,
                                   const OutputPages& output) {
    runOnThreadOf(this,
                  [&] { m_model->setResult(m_model->rowOfName(name), word, reason, output); });
}

void FileList::clearResults() {
    runOnThreadOf(this, [this] { m_model->clearResults(); });
}

std::vector<FileListModel::RowCheck> FileList::rowChecks() {
    return runOnThreadOf(this, [this] {
        std::vector<FileListModel::RowCheck> checks;
        checks.reserve(static_cast<std::size_t>(m_proxy->rowCount()));
        for (int row = 0; row < m_proxy->rowCount(); ++row) {
            const int scanIndex = sourceRow(row);
            checks.push_back({static_cast<std::size_t>(scanIndex), m_model->isChecked(scanIndex)});
        }
        return checks;
    });
}

void FileList::keyPressEvent(QKeyEvent* event) {
    // Space flips the focused row's check box whichever cell has the focus.
    const QModelIndex current = currentIndex();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
        current.isValid()) {
        const int row = sourceRow(current.row());
        m_model->setChecked(row, !m_model->isChecked(row));
        event->accept();
        return;
    }
    // Shift+F10 opens the row's menu, as the menu key does.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        contextMenuEvent(&menu);
        return;
    }
    QTreeView::keyPressEvent(event);
}

void FileList::contextMenuEvent(QContextMenuEvent* event) {
    // From the keyboard the menu belongs to the current row, under it.
    const bool fromKeyboard = event->reason() == QContextMenuEvent::Keyboard;
    const QModelIndex index = fromKeyboard ? currentIndex() : indexAt(event->pos());
    if (!index.isValid())
        return;
    if (!fromKeyboard)
        setCurrentIndex(index);
    const QRect cell = visualRect(index.siblingAtColumn(FileListModel::NameColumn));
    const QPoint at = fromKeyboard ? viewport()->mapToGlobal(cell.bottomLeft() + QPoint(16, 0))
                                   : event->globalPos();
    emit rowMenuRequested(m_model->cellText(sourceRow(index.row()), FileListModel::NameColumn), at);
    event->accept();
}

} // namespace pagesmith
