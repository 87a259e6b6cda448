#include "ui/main/InfoResultsView.h"
#include "ui/toolkit/FlatTabStrip.h"

#include <QAccessible>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QtTest>

#include <memory>

using namespace pagesmith;

namespace {

constexpr int kInfo = InfoResultsView::kInfoPage;
constexpr int kResults = InfoResultsView::kResultsPage;

} // namespace

class InfoResultsViewTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_view = std::make_unique<InfoResultsView>();
        m_view->resize(400, 200);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup() { m_view.reset(); }

    void eachPageKeepsItsTextAndTheAreaShowsTheSelectedOne() {
        QCOMPARE(m_view->currentPage(), kInfo);
        m_view->appendToPage(kInfo, "Total 2 tiff files in this folder\r\n");
        m_view->appendToPage(kResults, "Start converting ... \r\n");
        QCOMPARE(shown(), QStringLiteral("Total 2 tiff files in this folder\n"));

        // The user picks "Results": its whole text, appended while hidden.
        m_view->tabStrip()->setCurrentIndex(kResults);
        QCOMPARE(shown(), QStringLiteral("Start converting ... \n"));
        m_view->appendToPage(kResults, "----------------\r\n");
        m_view->appendToPage(kInfo, "hidden line\r\n");
        QCOMPARE(shown(), QStringLiteral("Start converting ... \n----------------\n"));

        // Typed text stays in the area only, until the page is shown again.
        QTest::keyClicks(m_view->textArea(), "typed");
        QVERIFY(shown().contains("typed"));
        QCOMPARE(m_view->paneText(kResults),
                 std::string("Start converting ... \r\n----------------\r\n"));
        m_view->tabStrip()->setCurrentIndex(kInfo);
        m_view->tabStrip()->setCurrentIndex(kResults);
        QVERIFY(!shown().contains("typed"));

        // A page is emptied only by clearing it; clearing empties the area too.
        m_view->clearPage(kInfo);
        QCOMPARE(m_view->paneText(kInfo), std::string());
        QCOMPARE(shown(), QString());
        QCOMPARE(m_view->paneText(kResults),
                 std::string("Start converting ... \r\n----------------\r\n"));

        // Pages other than 0 and 1 are ignored.
        m_view->appendToPage(2, "nowhere");
        m_view->showPage(-1);
        QCOMPARE(m_view->currentPage(), kResults);
        QCOMPARE(m_view->paneText(2), std::string());
    }

    void showPageBringsThePageToTheFrontWithItsOwnText() {
        m_view->appendToPage(kResults, "last job\r\n");
        m_view->appendToPage(kInfo, "file report\r\n");
        m_view->showPage(kResults);
        QCOMPARE(m_view->currentPage(), kResults);
        QCOMPARE(shown(), QStringLiteral("last job\n"));
        QTest::keyClicks(m_view->textArea(), "typed");
        m_view->showPage(kResults); // already in front: shows the page anew
        QCOMPARE(shown(), QStringLiteral("last job\n"));
    }

    void callsFromAWorkerRunOnTheWindowThreadWhileTheWorkerWaits() {
        m_view->showPage(kResults);
        std::string readBack;
        QThread* worker = QThread::create([&] {
            m_view->clearPage(kResults);
            for (int i = 0; i < 200; ++i)
                m_view->appendToPage(kResults, "line " + std::to_string(i) + "\r\n");
            readBack = m_view->paneText(kResults);
            m_view->showPage(kInfo);
        });
        worker->start();
        QTRY_VERIFY(worker->isFinished());
        delete worker;
        QCOMPARE(readBack.substr(0, 16), std::string("line 0\r\nline 1\r\n"));
        QCOMPARE(std::count(readBack.begin(), readBack.end(), '\n'), 200);
        QCOMPARE(m_view->currentPage(), kInfo);
        m_view->showPage(kResults);
        QCOMPARE(shown().count('\n'), 200);
    }

    void layoutFontAndSidewaysScrolling() {
        QPlainTextEdit* text = m_view->textArea();
        const int rowHeight = m_view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        QCOMPARE(m_view->tabStrip()->height(), rowHeight);
        QCOMPARE(m_view->sideScrollBar()->height(), rowHeight);
        QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QVERIFY(text->font().fixedPitch());
        QVERIFY(QFontMetrics(text->font()).height() <= 15);
        QCOMPARE(m_view->sideScrollBar()->minimum(), 0);
        QCOMPARE(m_view->sideScrollBar()->maximum(), 1000);

        m_view->appendToPage(kInfo, std::string(400, 'x') + "\r\n");
        QScrollBar* own = text->horizontalScrollBar();
        QTRY_VERIFY(own->maximum() > 0);
        m_view->sideScrollBar()->setValue(1000);
        QCOMPARE(own->value(), own->maximum());
        m_view->sideScrollBar()->setValue(0);
        QCOMPARE(own->value(), 0);
    }

    void screenReadersSeeTheTabs() {
        QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(m_view->tabStrip());
        QCOMPARE(strip->role(), QAccessible::PageTabList);
        QStringList tabs;
        for (int i = 0; i < strip->childCount(); ++i) {
            if (strip->child(i)->role() == QAccessible::PageTab)
                tabs << strip->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(tabs, QStringList({"Tiff Info", "Results"}));
    }

private:
    QString shown() const { return m_view->textArea()->toPlainText(); }

    std::unique_ptr<InfoResultsView> m_view;
};

QTEST_MAIN(InfoResultsViewTest)
#include "InfoResultsViewTest.moc"
