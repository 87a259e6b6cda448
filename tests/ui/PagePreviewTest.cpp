#include "ui/preview/PagePreview.h"
#include "WindowTestSupport.h"
#include "app/ProcessSettings.h"
#include "engine/run/ConvertFiles.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"
#include "ui/main/FileList.h"
#include "ui/main/MainFrame.h"
#include "ui/preview/PageView.h"
#include "ui/toolkit/ElidedLabel.h"

#include <QAccessible>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace pagesmith;

namespace {

constexpr QRgb kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

// An RGB page whose left half is red and right half blue.
test::TestPage halvesPage(std::uint32_t width, std::uint32_t length) {
    test::TestPage page = test::rgbPage(width, length, COMPRESSION_LZW);
    page.pixels.clear();
    for (std::uint32_t y = 0; y < length; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            page.pixels.insert(page.pixels.end(),
                               {std::uint8_t(left ? 255 : 0), 0, std::uint8_t(left ? 0 : 255)});
        }
    return page;
}

test::TestPage withResolution(test::TestPage page, float x, float y) {
    page.extraTags = [x, y](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, x);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, y);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    };
    return page;
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

class PagePreviewTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_folder = std::make_unique<test::TempDir>();
        m_preview = std::make_unique<PagePreview>();
        m_preview->resize(300, 420);
        m_preview->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_preview.get()));
    }
    void cleanup() {
        m_preview.reset();
        m_folder.reset();
    }

    // The pane grabbed offscreen: the page fitted and centred, its colours
    // where they belong, the paper's surroundings in another shade.
    void showsTheFirstPageFittedToThePane() {
        test::writeTiff(m_folder->path() / "halves.tif", halvesPage(400, 200));
        show("halves.tif");
        PageView* view = m_preview->view();
        const QRect page = view->pageRect();
        QCOMPARE(page.width(), view->viewport()->width());
        QCOMPARE(page.height(), page.width() / 2);
        QVERIFY(qAbs(page.center().y() - view->viewport()->height() / 2) <= 1); // centred

        const QImage shot = m_preview->grab().toImage();
        const QPoint origin = view->viewport()->mapTo(m_preview.get(), page.topLeft());
        QCOMPARE(shot.pixel(origin + QPoint(page.width() / 4, page.height() / 2)), kRed);
        QCOMPARE(shot.pixel(origin + QPoint(page.width() * 3 / 4, page.height() / 2)), kBlue);
        QVERIFY(shot.pixel(origin + QPoint(page.width() / 2, -4)) != kRed);
        QCOMPARE(m_preview->pageLabel()->text(), QStringLiteral("Page 1 of 1"));
        QCOMPARE(m_preview->factsLabel()->fullText(), QStringLiteral("400 x 200 pixels"));
        QCOMPARE(m_preview->whereLabel()->fullText(), QStringLiteral("halves.tif"));
    }

    // A 204 x 98 dpi fax has rows twice as far apart as its columns, and is
    // shown so; at its own size too.
    void showsUnequalResolutionsAtTheirTrueAspect() {
        test::writeTiff(m_folder->path() / "fine.tif",
                        withResolution(test::faxPage(200, 100), 204, 98));
        show("fine.tif");
        const QRect fitted = m_preview->view()->pageRect();
        QCOMPARE(fitted.width(), 200); // never larger than its own size
        QCOMPARE(fitted.height(), 208);
        m_preview->actualSizeButton()->click();
        QVERIFY(waitForPage());
        QCOMPARE(m_preview->view()->pageRect().size(), QSize(200, 208));
        QCOMPARE(m_preview->factsLabel()->fullText(),
                 QStringLiteral("200 x 100 pixels, 204 x 98 dpi"));
    }

    // Pages turn with the buttons and, while the pane has the focus, with
    // Page Up and Page Down; the pane tells assistive tools what it shows.
    void turnsPagesAndDescribesThem() {
        const test::TestPage fax = withResolution(test::faxPage(1728, 2376), 204, 196);
        test::writeTiff(m_folder->path() / "three.tif", {fax, fax, fax});
        show("three.tif");
        QCOMPARE(m_preview->accessibleName(), QStringLiteral("Page Preview"));
        QCOMPARE(m_preview->accessibleDescription(),
                 QStringLiteral("Page 1 of 3, 1728 x 2376, 204 x 196 dpi"));
        QVERIFY(!m_preview->previousButton()->isEnabled());
        QCOMPARE(m_preview->previousButton()->accessibleName(), QStringLiteral("Previous page"));
        QCOMPARE(m_preview->nextButton()->accessibleName(), QStringLiteral("Next page"));

        m_preview->nextButton()->click();
        QVERIFY(waitForPage());
        QCOMPARE(m_preview->pageLabel()->text(), QStringLiteral("Page 2 of 3"));
        // The page with the keys is framed, as a button with them is.
        PageView* view = m_preview->view();
        const auto corner = [view] { return view->viewport()->grab().toImage().pixel(1, 1); };
        const QRgb highlight = view->palette().color(QPalette::Highlight).rgb();
        view->setFocus();
        QTRY_VERIFY(view->hasFocus());
        QCOMPARE(corner(), highlight);
        m_preview->nextButton()->setFocus();
        QTRY_VERIFY(corner() != highlight);
        view->setFocus();
        QTest::keyClick(m_preview->view(), Qt::Key_PageDown);
        QVERIFY(waitForPage());
        QCOMPARE(m_preview->pageIndex(), 2);
        QVERIFY(!m_preview->nextButton()->isEnabled());
        QTest::keyClick(m_preview->view(), Qt::Key_PageDown); // no fourth page
        QCOMPARE(m_preview->pageIndex(), 2);
        QTest::keyClick(m_preview->nextButton(), Qt::Key_PageUp);
        QVERIFY(waitForPage());
        QCOMPARE(m_preview->accessibleDescription(),
                 QStringLiteral("Page 2 of 3, 1728 x 2376, 204 x 196 dpi"));
    }

    // At its own size a page larger than the pane scrolls; the part in view
    // is drawn pixel for pixel.
    void showsAPageAtItsOwnSizeWithScrolling() {
        test::writeTiff(m_folder->path() / "halves.tif", halvesPage(1200, 900));
        show("halves.tif");
        m_preview->actualSizeButton()->click();
        QVERIFY(waitForPage());
        PageView* view = m_preview->view();
        QCOMPARE(view->pageRect().size(), QSize(1200, 900));
        QVERIFY(view->horizontalScrollBar()->maximum() > 0);
        QCOMPARE(view->picture().pixel(0, 0), kRed);
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        QCOMPARE(view->pageRect().right(), view->viewport()->width() - 1);
        const QImage shot = view->viewport()->grab().toImage();
        QCOMPARE(shot.pixel(view->viewport()->width() - 2, 10), kBlue);
    }

    // A page that cannot be shown says why in its place; the next file shows.
    void saysWhyAPageCannotBeShown() {
        test::writeTextFile(m_folder->path() / "notes.tif", "not a tiff at all");
        test::writeTiff(m_folder->path() / "mask.tif", test::maskPage());
        test::writeTiff(m_folder->path() / "halves.tif", halvesPage(40, 20));
        const std::pair<const char*, const char*> failures[] = {
            {"notes.tif", "This is not a TIFF file, or it cannot be read."},
            {"mask.tif", "Bad photometric 4; cannot make grey or colour of it."},
        };
        for (const auto& [name, why] : failures) {
            show(name);
            QCOMPARE(m_preview->view()->message(), QString::fromLatin1(why));
            QVERIFY(m_preview->view()->picture().isNull());
        }
        show("halves.tif");
        QCOMPARE(m_preview->view()->message(), QString());
        QCOMPARE(m_preview->view()->picture().size(), QSize(40, 20));

        // Outputs with nothing to show for the page: a PDF document, and one
        // that the page did not go into.
        const std::pair<OutputPages, const char*> outputs[] = {
            {{m_folder->file("halves.pdf"), 0, {0}}, "A page of a PDF file is not shown here."},
            {{m_folder->file("merged.tif"), 4, {1}}, "This page did not go into the output."},
        };
        for (const auto& [output, why] : outputs) {
            m_preview->showFile(qs(m_folder->file("halves.tif")), output);
            m_preview->outputButton()->click();
            QVERIFY(waitForPage());
            QCOMPARE(m_preview->view()->message(), QString::fromLatin1(why));
            m_preview->sourceButton()->click();
            QVERIFY(waitForPage());
            QCOMPARE(m_preview->view()->picture().size(), QSize(40, 20));
        }
    }

    // A folder that changes reads the page again only when its file changed.
    void readsThePageAgainOnlyWhenItsFileChanged() {
        test::writeTiff(m_folder->path() / "halves.tif", halvesPage(40, 20));
        show("halves.tif");
        m_preview->reload();
        QVERIFY(!m_preview->isReading());
        test::writeTiff(m_folder->path() / "halves.tif", halvesPage(60, 20));
        m_preview->reload();
        QVERIFY(m_preview->isReading());
        QVERIFY(waitForPage());
        QCOMPARE(m_preview->view()->picture().size(), QSize(60, 20));
    }

    // A colour page sent to Group 4: the switch shows the page the job wrote
    // at the same place and scale, dithered to black and white.
    void showsTheOutputOfAConvertedPageInThePlaceOfTheSource() {
        const std::string source = m_folder->file("photo.tif");
        test::writeTiff(source, halvesPage(200, 150));
        ConversionOptions options;
        options.compressionMode = CompressionMode::Group4;
        options.tempFile = m_folder->file("scratch.tbw");
        test::ReportRecorder report;
        QCOMPARE(convertFiles(1, {source}, m_folder->file("fax"), options, report),
                 ConvertResult::Done);
        const OutputPages output{m_folder->file("fax.tif"), 0, {0}};

        m_preview->showFile(qs(source), {});
        QVERIFY(waitForPage());
        QVERIFY(!m_preview->outputButton()->isEnabled());
        m_preview->setOutput(output);
        QVERIFY(m_preview->outputButton()->isEnabled());
        m_preview->actualSizeButton()->click();
        QVERIFY(waitForPage());
        const QRect before = m_preview->view()->pageRect();

        m_preview->outputButton()->click();
        QVERIFY(waitForPage());
        QVERIFY(m_preview->showsOutput());
        // Dithering leaves out the last row: the rest is where it was.
        QCOMPARE(m_preview->view()->pageRect().left(), before.left());
        QCOMPARE(m_preview->view()->pageRect().width(), before.width());
        QVERIFY(qAbs(m_preview->view()->pageRect().top() - before.top()) <= 1);
        const QImage dithered = m_preview->view()->picture();
        for (int y = 0; y < dithered.height(); ++y)
            for (int x = 0; x < dithered.width(); ++x)
                QVERIFY(dithered.pixel(x, y) == 0xFF000000 || dithered.pixel(x, y) == 0xFFFFFFFF);
        QCOMPARE(m_preview->whereLabel()->fullText(), QStringLiteral("fax.tif, Page 1 of 1"));

        // Another file with an output keeps the switch; one without goes back.
        m_preview->showFile(qs(source), output);
        QVERIFY(waitForPage());
        QVERIFY(m_preview->showsOutput());
        m_preview->showFile(qs(source), {});
        QVERIFY(waitForPage());
        QVERIFY(!m_preview->showsOutput());
        QCOMPARE(m_preview->view()->picture().pixel(0, 0), kRed);
    }

private:
    void show(const char* name) {
        m_preview->showFile(qs(m_folder->file(name)));
        QVERIFY(waitForPage());
    }
    bool waitForPage() {
        return QTest::qWaitFor([&] { return !m_preview->isReading(); }, 10000);
    }

    std::unique_ptr<test::TempDir> m_folder;
    std::unique_ptr<PagePreview> m_preview;
};

QTEST_MAIN(PagePreviewTest)
#include "PagePreviewTest.moc"
