#include "ui/main/FileList.h"
#include "batch/BatchRequest.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"
#include "ui/main/FileListFill.h"
#include "ui/main/FilterCombo.h"
#include "ui/main/InfoPageSink.h"

#include <QDir>
#include <QHeaderView>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QtTest>

#include <atomic>
#include <filesystem>
#include <thread>

using namespace pagesmith;
using namespace pagesmith::test;
namespace fs = std::filesystem;

namespace {

class PageRecorder : public InfoPageSink {
public:
    void showPage(int page) override { calls << QStringLiteral("show %1").arg(page); }
    void clearPage(int page) override { calls << QStringLiteral("clear %1").arg(page); }
    void appendToPage(int page, const std::string& text) override {
        calls << QStringLiteral("append %1 %2").arg(page).arg(QString::fromStdString(text));
    }

    QStringList calls;
};

// A column's texts in the order the list shows its rows.
QStringList shownColumn(FileList& list, int column, int role = Qt::DisplayRole) {
    QStringList texts;
    for (int row = 0; row < list.model()->rowCount(); ++row)
        texts << list.model()->index(row, column).data(role).toString();
    return texts;
}

void clickHeader(FileList& list, int column) {
    QHeaderView* header = list.header();
    const QPoint centre(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

void clickRow(FileList& list, int row, int column) {
    const QRect cell = list.visualRect(list.model()->index(row, column));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

class FileListTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        writeTiff(m_folder.file("a.tif"), rgbPage(8, 8, COMPRESSION_LZW));
        writeTiff(m_folder.file("B.tif"), faxPage());
        writeTiff(m_folder.file("c.tif"), TestPage());
        writeTiff(m_folder.file("x.txt"), TestPage()); // a TIFF file whatever its name
        writeTextFile(m_folder.file("y.tif"), "not an image\n");
        writeTiff(m_folder.file("z.tif.partial-Ab12Cd"), faxPage()); // an interrupted run's
        fs::create_directory(m_folder.path() / "sub");
        writeTiff(m_folder.path() / "sub" / "d.tif", faxPage());
        QCOMPARE(countPages(m_folder.path() / "sub" / "d.tif"), 1);
    }

    void fillShowsWhatTheScanFoundWithItsTotal_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("includeSubFolders");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("leftovers");
        const QString folder = QString::fromStdString(m_folder.str());
        // As the scan names a file in a sub-folder: with the system's separator.
        const QString inSub = QDir::toNativeSeparators(QStringLiteral("sub/d.tif"));
        QTest::newRow("all files")
            << folder << 0 << 0 << QStringList{"a.tif", "B.tif", "c.tif", "x.txt"} << 1;
        QTest::newRow("with sub-folders")
            << folder << 1 << 0 << QStringList{"a.tif", "B.tif", "c.tif", inSub, "x.txt"} << 1;
        QTest::newRow("Group 4") << folder << 0 << 6 << QStringList{"B.tif"} << 1;
        QTest::newRow("Group 4 with sub-folders")
            << folder << 1 << 6 << QStringList{"B.tif", inSub} << 1;
        QTest::newRow("no folder chosen") << QString() << 0 << 0 << QStringList{} << 0;
    }

    void fillShowsWhatTheScanFoundWithItsTotal() {
        QFETCH(QString, folder);
        QFETCH(int, includeSubFolders);
        QFETCH(int, filter);
        QFETCH(QStringList, names);
        QFETCH(int, leftovers);
        FileList list;
        BatchRequest before;
        before.addFile("left over from the last folder");
        before.leftoversLeftOut = 5;
        list.showFiles(before);
        PageRecorder pages;
        const int count =
            FileListFill(list, pages)
                .fill(folder.toStdString(), includeSubFolders, CompressionFilter(filter));

        QCOMPARE(count, int(names.size()));
        QCOMPARE(shownColumn(list, FileListModel::NameColumn), names);
        QCOMPARE(pages.calls,
                 QStringList({"show 0", "clear 0",
                              QStringLiteral("append 0 Total %1 tiff files in this folder\r\n")
                                  .arg(names.size())}));
        // The model keeps each file as the scan wrote it, by scan index, for
        // the jobs, and what the scan left out.
        const FileListModel& model = list.fileModel();
        QCOMPARE(model.leftoversLeftOut(), leftovers);
        QCOMPARE(model.rowCount(), count);
        for (int row = 0; row < count; ++row) {
            const int scanIndex =
                list.model()->index(row, 0).data(FileListModel::ScanIndexRole).toInt();
            const std::string name = model.fileName(scanIndex);
            QCOMPARE(shownColumn(list, FileListModel::NameColumn).at(row),
                     QString::fromStdString(name));
            const QString size = QString::number(fs::file_size(m_folder.path() / name));
            QCOMPARE(shownColumn(list, FileListModel::SizeColumn).at(row), size);
            QCOMPARE(size + ',' + shownColumn(list, FileListModel::DateColumn).at(row),
                     QString::fromStdString(model.fileInfo(scanIndex)));
            QVERIFY(shownColumn(list, FileListModel::DateColumn).at(row).size() == 16);
            QCOMPARE(shownColumn(list, FileListModel::ResultColumn).at(row), QString());
            QCOMPARE(list.model()->index(row, 0).data(Qt::CheckStateRole).toInt(),
                     int(Qt::Checked));
        }
        QCOMPARE(list.columnWidth(FileListModel::ResultColumn), FileList::kResultColumnWidth);
    }

    // Names in locale-aware, case-sensitive text order, sizes by number,
    // dates by time; each header click sorts ascending, a second one
    // reverses; rows keep scan index and check box.
    void headerClicksSortNamesAsTextSizesAsNumbersDatesAsTimes() {
        BatchRequest request;
        request.addFile("c.tif", "20,2009.03.15 15:07");
        request.addFile("a.tif", "100,2009.03.15 09:30");
        request.addFile("B.tif", "3,");
        FileList list;
        list.resize(800, 300);
        list.show();
        list.showFiles(request);
        list.fileModel().setChecked(0, false); // c.tif

        struct Step {
            int clickedColumn; // -1: a new fill
            int sortColumn;
            Qt::SortOrder order;
            QStringList names;
        };
        const Step steps[] = {
            {-1, 0, Qt::AscendingOrder, {"a.tif", "B.tif", "c.tif"}},
            {1, 1, Qt::AscendingOrder, {"B.tif", "c.tif", "a.tif"}},
            {1, 1, Qt::DescendingOrder, {"a.tif", "c.tif", "B.tif"}},
            {2, 2, Qt::AscendingOrder, {"B.tif", "a.tif", "c.tif"}},
            {2, 2, Qt::DescendingOrder, {"c.tif", "a.tif", "B.tif"}},
            {0, 0, Qt::AscendingOrder, {"a.tif", "B.tif", "c.tif"}},
            {0, 0, Qt::DescendingOrder, {"c.tif", "B.tif", "a.tif"}},
        };
        for (const Step& step : steps) {
            if (step.clickedColumn >= 0)
                clickHeader(list, step.clickedColumn);
            QCOMPARE(list.header()->sortIndicatorSection(), step.sortColumn);
            QCOMPARE(list.header()->sortIndicatorOrder(), step.order);
            QCOMPARE(shownColumn(list, FileListModel::NameColumn), step.names);
            for (int row = 0; row < 3; ++row) {
                const QModelIndex name = list.model()->index(row, 0);
                const int scanIndex = name.data(FileListModel::ScanIndexRole).toInt();
                QCOMPARE(name.data().toString().toStdString(), request.fileNames.at(scanIndex));
                QCOMPARE(name.data(Qt::CheckStateRole).toInt() == Qt::Checked, scanIndex != 0);
            }
        }

        // Every fill sorts by name, ascending.
        clickHeader(list, 1);
        list.showFiles(request);
        QCOMPARE(list.header()->sortIndicatorSection(), 0);
        QCOMPARE(list.header()->sortIndicatorOrder(), Qt::AscendingOrder);
        QCOMPARE(shownColumn(list, FileListModel::NameColumn),
                 QStringList({"a.tif", "B.tif", "c.tif"}));
    }

    // However long a name, size, date and result stay in view; the name is
    // cut in the middle and whole in its tooltip.
    void aLongNameIsCutInTheMiddleAndTheOtherColumnsStayInView() {
        const std::string longName = std::string(150, 'n') + ".tif";
        BatchRequest request;
        request.addFile(longName, "142670,2009.03.15 15:07");
        FileList list;
        list.resize(700, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.showFiles(request);

        QHeaderView* header = list.header();
        const int viewport = list.viewport()->width();
        QVERIFY(header->sectionPosition(FileListModel::ResultColumn) +
                    header->sectionSize(FileListModel::ResultColumn) <=
                viewport);
        QVERIFY(list.fontMetrics().horizontalAdvance(QString::fromStdString(longName)) >
                header->sectionSize(FileListModel::NameColumn));
        QCOMPARE(list.textElideMode(), Qt::ElideMiddle);
        QCOMPARE(list.model()->index(0, 0).data(Qt::ToolTipRole).toString(),
                 QString::fromStdString(longName));
        QVERIFY(header->sectionSize(FileListModel::DateColumn) >=
                list.fontMetrics().horizontalAdvance("2009.03.15 15:07"));
    }

    // An unchecked box stands out from a dark list, as it does from a light one.
    void uncheckedBoxesShowOnADarkPalette() {
        BatchRequest request;
        request.addFile("a.tif", "1,");
        FileList list;
        QPalette dark = list.palette();
        for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window})
            dark.setColor(role, QColor(40, 40, 40));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        list.setPalette(dark);
        list.resize(400, 100);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.showFiles(request);
        list.fileModel().setChecked(0, false);
        list.selectionModel()->clear();

        QStyleOptionViewItem box;
        box.initFrom(list.viewport());
        box.rect = list.visualRect(list.model()->index(0, 0));
        box.features = QStyleOptionViewItem::HasCheckIndicator;
        box.checkState = Qt::Unchecked;
        const QRect indicator =
            list.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &box, &list);
        const QImage shot = list.viewport()->grab(indicator).toImage();
        int brightest = 0;
        for (int x = 0; x < shot.width(); ++x)
            for (int y = 0; y < shot.height(); ++y)
                brightest = std::max(brightest, qGray(shot.pixel(x, y)));
        QVERIFY2(brightest > 120, qPrintable(QString::number(brightest)));
    }

    void aClickActivatesARowAndSpaceFlipsItsCheckBox() {
        BatchRequest request;
        for (const char* name : {"b.tif", "a.tif"})
            request.addFile(name, "1,");
        FileList list;
        list.resize(800, 300);
        list.show();
        list.showFiles(request);
        QSignalSpy activated(&list, &FileList::fileActivated);

        clickRow(list, 1, FileListModel::DateColumn);
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.at(0).at(0).toString(), QStringLiteral("b.tif"));
        QCOMPARE(list.selectionModel()->selectedRows().size(), 1);

        QTest::keyClick(&list, Qt::Key_Space);
        QVERIFY(!list.fileModel().isChecked(0));
        QVERIFY(list.fileModel().isChecked(1));
        QTest::keyClick(&list, Qt::Key_Space);
        QVERIFY(list.fileModel().isChecked(0));
        QCOMPARE(activated.size(), 1);

        // Select All, both ways.
        list.setAllChecked(false);
        QCOMPARE(shownColumn(list, 0, Qt::CheckStateRole), QStringList({"0", "0"}));
        list.setAllChecked(true);
        QCOMPARE(shownColumn(list, 0, Qt::CheckStateRole), QStringList({"2", "2"}));
        QVERIFY(!list.accessibleName().isEmpty());
    }

    void filterComboOffersTheNineFiltersAndAChangeRefillsAtOnce() {
        FilterCombo combo;
        const QStringList texts = {
            "ALL tiff files",        "Uncompressed tiff files", "PackBits tiff files",
            "Group 3 1D tiff files", "Group 3 2D tiff files",   "ALL Group 3 tiff files",
            "Group 4 tiff files",    "LZW tiff files",          "JPEG tiff files"};
        QCOMPARE(combo.count(), int(texts.size()));
        for (int code = 0; code < combo.count(); ++code)
            QCOMPARE(combo.itemText(code), texts.at(code));
        QCOMPARE(combo.filterCode(), CompressionFilter::All);
        QCOMPARE(combo.width(), FilterCombo::kWidth);
        QVERIFY(!combo.isEditable());
        QVERIFY(!combo.accessibleName().isEmpty());

        // Wired as the frame wires it: a refill of the current folder.
        FileList list;
        PageRecorder pages;
        FileListFill fill(list, pages);
        const std::string currentFolder = m_folder.str();
        connect(&combo, &FilterCombo::refillRequested, &list,
                [&] { fill.fill(currentFolder, 0, combo.filterCode()); });
        fill.fill(currentFolder, 0, combo.filterCode());
        QCOMPARE(list.rowCount(), 4);
        combo.setCurrentIndex(7);
        QCOMPARE(shownColumn(list, FileListModel::NameColumn), QStringList({"a.tif"}));
        QCOMPARE(list.fileModel().fileName(0), std::string("a.tif"));
    }

    // A job's worker finds rows and writes results while the window thread
    // carries the calls out.
    void aWorkerThreadFindsRowsWritesResultsAndReadsCheckBoxes() {
        BatchRequest request;
        for (const char* name : {"c.tif", "a.tif", "b.tif"})
            request.addFile(name, "1,");
        FileList list;
        list.showFiles(request);
        list.fileModel().setChecked(1, false);

        std::vector<int> rows;
        std::vector<FileListModel::RowCheck> checks;
        std::atomic<bool> done = false;
        std::thread worker([&] {
            for (std::size_t scanIndex = 0; scanIndex < 4; ++scanIndex)
                rows.push_back(list.rowOfScanIndex(scanIndex));
            list.setFileResult(0, QStringLiteral("Failed"), QStringLiteral("Page 0 failed"));
            list.setCellText(list.rowOfScanIndex(2), FileListModel::ResultColumn,
                             QStringLiteral("Merged"));
            list.setCellText(-1, FileListModel::ResultColumn, QStringLiteral("lost"));
            list.setCellText(0, -1, QStringLiteral("lost"));
            list.setFileResult(9, QStringLiteral("lost"));
            checks = list.rowChecks();
            done = true;
        });
        QTRY_VERIFY(done);
        worker.join();

        // Shown as a.tif, b.tif, c.tif.
        QCOMPARE(rows, std::vector<int>({2, 0, 1, -1}));
        QCOMPARE(shownColumn(list, FileListModel::ResultColumn),
                 QStringList({"", "Merged", "Failed"}));
        // A failure's reason is the tooltip of its Result cell.
        const QModelIndex failed = list.model()->index(2, FileListModel::ResultColumn);
        QCOMPARE(failed.data(Qt::ToolTipRole).toString(), QStringLiteral("Page 0 failed"));
        list.clearResults();
        QCOMPARE(shownColumn(list, FileListModel::ResultColumn), QStringList({"", "", ""}));
        QCOMPARE(failed.data(Qt::ToolTipRole).toString(), QString());
        QCOMPARE(shownColumn(list, FileListModel::NameColumn),
                 QStringList({"a.tif", "b.tif", "c.tif"}));
        QCOMPARE(checks.size(), std::size_t(3));
        const std::pair<std::size_t, bool> expected[] = {{1, false}, {2, true}, {0, true}};
        for (std::size_t row = 0; row < checks.size(); ++row) {
            QCOMPARE(checks[row].scanIndex, expected[row].first);
            QCOMPARE(checks[row].checked, expected[row].second);
        }
    }

private:
    TempDir m_folder;
};

QTEST_MAIN(FileListTest)
#include "FileListTest.moc"
