#include <QtTest>

#include "common/singleinstance/platformuser.h"

class TstPlatformUser : public QObject
{
    Q_OBJECT

private slots:
    void userNameRule_data();
    void userNameRule();
};

void TstPlatformUser::userNameRule_data()
{
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("expected");

    QTest::newRow("systemAnswers") << "alice"
                                   << "bob"
                                   << "alice";
    QTest::newRow("systemSilent") << ""
                                  << "bob"
                                  << "bob";
    QTest::newRow("bothSilent") << ""
                                << ""
                                << "";
    QTest::newRow("noEnvironment") << "alice"
                                   << ""
                                   << "alice";
}

void TstPlatformUser::userNameRule()
{
    QFETCH(QString, system);
    QFETCH(QString, environment);
    QFETCH(QString, expected);
    QCOMPARE(PlatformUser::chooseUserName(system, environment), expected);
}

QTEST_GUILESS_MAIN(TstPlatformUser)

#include "tst_platformuser.moc"
