#include "ui/toolkit/WindowPlacement.h"

#include <QtTest>

#include <optional>

using namespace pagesmith;

class WindowPlacementTest : public QObject {
    Q_OBJECT

private slots:
    void centresOverTheOwnerAndStaysInsideTheWorkArea_data() {
        QTest::addColumn<std::optional<QRect>>("owner");
        QTest::addColumn<QRect>("placed");
        // A 200 x 100 window on a 1000 x 700 work area that starts at (0, 40).
        QTest::newRow("over the owner")
            << std::optional<QRect>(QRect(100, 140, 600, 400)) << QRect(300, 290, 200, 100);
        QTest::newRow("no owner to be seen") << std::optional<QRect>() << QRect(400, 340, 200, 100);
        QTest::newRow("owner off to the bottom right")
            << std::optional<QRect>(QRect(900, 700, 300, 200)) << QRect(800, 640, 200, 100);
        QTest::newRow("owner off to the top left")
            << std::optional<QRect>(QRect(-250, -100, 300, 200)) << QRect(0, 40, 200, 100);
    }
    void centresOverTheOwnerAndStaysInsideTheWorkArea() {
        QFETCH(std::optional<QRect>, owner);
        QFETCH(QRect, placed);
        QCOMPARE(centredInside(QSize(200, 100), owner, QRect(0, 40, 1000, 700)), placed);
    }

    void keepsTheTopLeftInsideWhenLargerThanTheWorkArea() {
        QCOMPARE(centredInside(QSize(1200, 900), QRect(0, 0, 100, 100), QRect(0, 40, 1000, 700)),
                 QRect(0, 40, 1200, 900));
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "WindowPlacementTest.moc"
