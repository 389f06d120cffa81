#include <QtTest>
#include <QtWidgets>

#include "ui/mainwindow/frontpresstracker.h"

// Whether a press on the main window found the console in front, after the steps an operator
// takes: the activation moves between the main window, a window transient for it and a window
// not of the console, then keys and presses reach the main window.
class tst_FrontPressTracker : public QObject
{
    Q_OBJECT

private slots:
    void pressFoundConsoleInFront_data();
    void pressFoundConsoleInFront();
};

void tst_FrontPressTracker::pressFoundConsoleInFront_data()
{
    // Steps: "m" activate the main window, "t" the window transient for it, "o" another window;
    // "k" a key on the main window, "p" a press on it. The answer is read after the last step;
    // before the first, the main window is active and was pressed on.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("inFront");

    QTest::newRow("pressOnActiveWindow") << "p" << true;
    QTest::newRow("pressThatBroughtItForward") << "omp" << false;
    QTest::newRow("nextPressAfterThat") << "ompp" << true;
    QTest::newRow("fromItsOwnTransient") << "tmp" << true;
    QTest::newRow("keyBeforeThePress") << "omkp" << true;
    QTest::newRow("otherWindowActive") << "po" << false;
}

void tst_FrontPressTracker::pressFoundConsoleInFront()
{
    QFETCH(QString, steps);
    QFETCH(bool, inFront);

    QWidget main;
    main.setWindowTitle(QStringLiteral("main"));
    FrontPressTracker tracker(&main);
    QWidget transient(&main, Qt::Dialog);
    QWidget other;
    main.show();
    transient.show();
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(QTest::qWaitForWindowExposed(&other));

    for (const QChar step : QLatin1String("mp") + steps) {
        QWidget *activate = step == QLatin1Char('m')   ? &main
                            : step == QLatin1Char('t') ? &transient
                            : step == QLatin1Char('o') ? &other
                                                       : nullptr;
        if (activate) {
            activate->activateWindow();
            QTRY_COMPARE(QGuiApplication::focusWindow(), activate->windowHandle());
        } else if (step == QLatin1Char('k')) {
            QTest::keyClick(main.windowHandle(), Qt::Key_Shift);
        } else {
            QTest::mousePress(main.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseRelease(main.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        }
    }
    QCOMPARE(tracker.wasInFront(), inFront);
}

QTEST_MAIN(tst_FrontPressTracker)
#include "tst_frontpresstracker.moc"
