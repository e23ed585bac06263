#include "ui/centring.h"

#include <QMargins>
#include <QRect>
#include <QtTest/QTest>

class TestCentring : public QObject {
    Q_OBJECT

private slots:
    void place_data();
    void place();
};

void TestCentring::place_data()
{
    QTest::addColumn<QSize>("inner");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("expected");

    const QMargins openbox(1, 23, 1, 4);
    QTest::newRow("the composer on a 1024 x 768 screen")
        << QSize(408, 289) << openbox << QRect(0, 0, 1024, 768) << QPoint(308, 249);
    QTest::newRow("below a panel, on the area that is left")
        << QSize(408, 289) << openbox << QRect(0, 30, 1024, 738) << QPoint(308, 264);
    // The Coding window at QT_SCALE_FACTOR=2 on 1280 x 1024: 575 x 616 on 640 x 512.
    QTest::newRow("taller than the screen: at its top, centred across")
        << QSize(575, 616) << openbox << QRect(0, 0, 640, 512) << QPoint(32, 23);
    QTest::newRow("taller than the area below a panel: just below the panel")
        << QSize(575, 616) << openbox << QRect(0, 40, 640, 472) << QPoint(32, 63);
    QTest::newRow("wider and taller: at the top left corner")
        << QSize(900, 700) << openbox << QRect(0, 0, 640, 512) << QPoint(1, 23);
    QTest::newRow("on a second screen")
        << QSize(408, 289) << openbox << QRect(1920, 0, 1024, 768) << QPoint(2228, 249);
    QTest::newRow("taller, on a second screen")
        << QSize(575, 616) << openbox << QRect(1920, 100, 640, 512) << QPoint(1952, 123);
    QTest::newRow("no frame known yet")
        << QSize(400, 300) << QMargins() << QRect(0, 0, 1000, 800) << QPoint(300, 250);
}

void TestCentring::place()
{
    QFETCH(QSize, inner);
    QFETCH(QMargins, frame);
    QFETCH(QRect, available);
    QFETCH(QPoint, expected);

    const QPoint at = centredPosition(inner, frame, available);
    QCOMPARE(at, expected);
    // The whole title bar, from the frame's top edge down to the inner area, lies
    // on the available area wherever the window is narrower than it.
    const QRect titleBar(at.x() - frame.left(), at.y() - frame.top(),
        inner.width() + frame.left() + frame.right(), frame.top());
    QVERIFY(titleBar.top() >= available.top());
    if (titleBar.width() <= available.width())
        QVERIFY(available.contains(titleBar.adjusted(0, 0, 0, 1)) || frame.top() == 0);
}

QTEST_GUILESS_MAIN(TestCentring)
#include "tst_centring.moc"
