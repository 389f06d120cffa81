#include <QtTest>

#include "platform/windowmaximizer.h"

class tst_WindowMaximizer : public QObject
{
    Q_OBJECT

private slots:
    void fillGeometry_data();
    void fillGeometry();
};

void tst_WindowMaximizer::fillGeometry_data()
{
    QTest::addColumn<QRect>("screen"); // device-independent pixels
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("deviceSize");
    QTest::addColumn<QRect>("window");

    // Regression: at 100 dpi the 1600-column screen is 1534 wide, which makes 1599 columns.
    QTest::newRow("hundredDpiRoundsShort")
        << QRect(0, 0, 1534, 863) << 1.042693 << QSize(1600, 900) << QRect(0, 0, 1535, 863);
    QTest::newRow("hundredDpiRoundsExactly")
        << QRect(0, 0, 1228, 983) << 1.042051 << QSize(1280, 1024) << QRect(0, 0, 1228, 983);
    QTest::newRow("wholeScale") << QRect(0, 0, 1600, 900) << 1.0 << QSize(1600, 900)
                                << QRect(0, 0, 1600, 900);
    QTest::newRow("doubleScale") << QRect(0, 0, 1920, 1080) << 2.0 << QSize(3840, 2160)
                                 << QRect(0, 0, 1920, 1080);
    QTest::newRow("oneAndAHalfOddWidth")
        << QRect(0, 0, 910, 512) << 1.5 << QSize(1366, 768) << QRect(0, 0, 911, 512);
    QTest::newRow("secondScreenKeepsItsCorner")
        << QRect(1600, 0, 1534, 863) << 1.042693 << QSize(1600, 900) << QRect(1600, 0, 1535, 863);
}

void tst_WindowMaximizer::fillGeometry()
{
    QFETCH(QRect, screen);
    QFETCH(qreal, ratio);
    QFETCH(QSize, deviceSize);
    QFETCH(QRect, window);

    QCOMPARE(WindowMaximizer::fillGeometry(screen, ratio, deviceSize), window);
}

QTEST_APPLESS_MAIN(tst_WindowMaximizer)
#include "tst_windowmaximizer.moc"
