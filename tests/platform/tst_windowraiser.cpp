#include <QtTest>

#include "platform/windowraiser.h"

class tst_WindowRaiser : public QObject
{
    Q_OBJECT

private slots:
    void frontState_data();
    void frontState();
};

void tst_WindowRaiser::frontState_data()
{
    QTest::addColumn<Qt::WindowStates>("current");
    QTest::addColumn<Qt::WindowStates>("front");

    QTest::newRow("normal") << Qt::WindowStates(Qt::WindowNoState)
                            << Qt::WindowStates(Qt::WindowNoState);
    QTest::newRow("maximised") << Qt::WindowStates(Qt::WindowMaximized)
                               << Qt::WindowStates(Qt::WindowMaximized);
    QTest::newRow("minimised") << Qt::WindowStates(Qt::WindowMinimized)
                               << Qt::WindowStates(Qt::WindowNoState);
    QTest::newRow("minimisedFromMaximised")
        << Qt::WindowStates(Qt::WindowMinimized | Qt::WindowMaximized)
        << Qt::WindowStates(Qt::WindowMaximized);
    QTest::newRow("fullScreenActive") << Qt::WindowStates(Qt::WindowFullScreen | Qt::WindowActive)
                                      << Qt::WindowStates(Qt::WindowFullScreen | Qt::WindowActive);
}

void tst_WindowRaiser::frontState()
{
    QFETCH(Qt::WindowStates, current);
    QFETCH(Qt::WindowStates, front);
    QCOMPARE(WindowRaiser::frontState(current), front);
}

QTEST_APPLESS_MAIN(tst_WindowRaiser)
#include "tst_windowraiser.moc"
