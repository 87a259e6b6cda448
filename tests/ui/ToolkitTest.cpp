#include "ui/toolkit/DisabledImage.h"
#include "ui/toolkit/ProportionalSplitter.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

using namespace pagesmith;

namespace {

// Drags the splitter's bar so that the first pane becomes `position` wide.
void dragBar(ProportionalSplitter& splitter, int position) {
    QSplitterHandle* handle = splitter.handle(1);
    const auto send = [&](QEvent::Type type, QPoint inSplitter, Qt::MouseButton button,
                          Qt::MouseButtons buttons) {
        const QPointF global = splitter.mapToGlobal(QPointF(inSplitter));
        QMouseEvent event(type, handle->mapFromGlobal(global), global, button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(handle, &event);
    };
    const QPoint start = handle->geometry().topLeft();
    send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(position, start.y()), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(position, start.y()), Qt::LeftButton, Qt::NoButton);
}

} // namespace

class ToolkitTest : public QObject {
    Q_OBJECT

private slots:
    void disabledTintBlendsGreyWithTheLightenedMenuColour_data() {
        QTest::addColumn<QColor>("menu");
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<QRgb>("expected");
        // Menu 240: base 240 + 15 * 115 / 255 = 246.76, rounded 247.
        const QColor light(240, 240, 240);
        QTest::newRow("black on light menu") << light << qRgb(0, 0, 0) << qRgb(139, 139, 139);
        // (255 * 110 + 247 * 145) / 256 = 249.47; a truncated base (246) would give 248.
        QTest::newRow("white on light menu") << light << qRgb(255, 255, 255) << qRgb(249, 249, 249);
        // Grey (255 + 0 + 0) / 3 = 85: (85 * 110 + 247 * 145) / 256 = 176.4.
        QTest::newRow("red on light menu") << light << qRgb(255, 0, 0) << qRgb(176, 176, 176);
        // Grey 61 / 3 = 20, truncated: (2200 + 35815) / 256 = 148.5.
        QTest::newRow("dark pixel on light menu")
            << light << qRgb(10, 20, 31) << qRgb(148, 148, 148);
        // Menu (212, 208, 200): bases 231.4 -> 231, 229.2 -> 229, 224.8 -> 225.
        const QColor classic(212, 208, 200);
        QTest::newRow("black on classic menu") << classic << qRgb(0, 0, 0) << qRgb(130, 129, 127);
        QTest::newRow("blue on classic menu") << classic << qRgb(0, 0, 255) << qRgb(167, 166, 163);
        // Menu black: base exactly 115; (255 * 110 + 115 * 145) / 256 = 174.7.
        QTest::newRow("white on black menu")
            << QColor(0, 0, 0) << qRgb(255, 255, 255) << qRgb(174, 174, 174);
        // Transparent pixels stay transparent.
        QTest::newRow("alpha kept") << light << qRgba(255, 255, 255, 0) << qRgba(249, 249, 249, 0);
    }

    void disabledTintBlendsGreyWithTheLightenedMenuColour() {
        QFETCH(QColor, menu);
        QFETCH(QRgb, pixel);
        QFETCH(QRgb, expected);
        QCOMPARE(QColor::fromRgba(disabledTint(pixel, menu)), QColor::fromRgba(expected));

        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, pixel);
        image.setPixel(1, 0, pixel);
        QCOMPARE(disabledImage(image, menu).pixel(1, 0), expected);
    }

    void splitterKeepsItsRatioThroughResizesAndDrags() {
        ProportionalSplitter sideBySide(Qt::Horizontal, 1, 5, 10);
        sideBySide.addWidget(new QWidget);
        sideBySide.addWidget(new QWidget);
        sideBySide.resize(1000, 300);
        sideBySide.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sideBySide));
        const int bar = sideBySide.handleWidth();
        QCOMPARE(sideBySide.sizes(), QList<int>({200, 1000 - bar - 200}));
        sideBySide.resize(1283, 300); // 1283 / 5 = 256.6, truncated
        QCOMPARE(sideBySide.sizes()[0], 256);

        // A dragged bar stores its ratio: a half stays a half.
        sideBySide.resize(1000, 300);
        dragBar(sideBySide, 500);
        QCOMPARE(sideBySide.sizes()[0], 500);
        sideBySide.resize(640, 300);
        QCOMPARE(sideBySide.sizes()[0], 320);

        // Dragged past the smallest pane size (a tenth), the bar comes back to it.
        dragBar(sideBySide, 20);
        QCOMPARE(sideBySide.sizes()[0], 64);
        dragBar(sideBySide, 630);
        QCOMPARE(sideBySide.sizes()[1], 64);
        // The ratio came along: twice the width, twice the first pane.
        sideBySide.resize(1280, 300);
        QCOMPARE(sideBySide.sizes()[0], 2 * (640 - bar - 64));
    }

    void stackedSplitterStartsAtThreeQuartersAndNeverLeavesLessThanAFifth() {
        ProportionalSplitter stacked(Qt::Vertical, 3, 4, 5);
        stacked.addWidget(new QWidget);
        stacked.addWidget(new QWidget);
        stacked.resize(300, 803);
        stacked.show();
        QVERIFY(QTest::qWaitForWindowExposed(&stacked));
        QCOMPARE(stacked.sizes()[0], 602); // 3 * 803 / 4 = 602.25
        stacked.resize(300, 400);
        QCOMPARE(stacked.sizes()[0], 300);
        QCOMPARE(stacked.barPosition(), 300);
    }
};

QTEST_MAIN(ToolkitTest)
#include "ToolkitTest.moc"
