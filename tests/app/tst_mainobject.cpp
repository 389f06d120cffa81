#include <QtTest>
#include <QtWidgets>

#include "../station/testbroker.h"
#include "common/config/setupconfig.h"
#include "mainobject.h"
#include "station/stationclient.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/chart/average/averagechart.h"
#include "ui/chart/average/averagechartpanel.h"
#include "ui/chart/chartpanel.h"
#include "ui/common/ctextedit.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/station/stationfeedindicator.h"
#include "ui/widgets/setupwaitprogressbar.h"

class tst_MainObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowsStayHiddenUntilShown();
    void loginLeadsThroughWaitToMainWindow();
    void withoutBrokerNothingChanges();
    void stationFeedReachesTheWindows();

private:
    QTemporaryDir m_dir;
};

void tst_MainObject::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SetupConfig::instance()->setAppDir(m_dir.path());
}

void tst_MainObject::windowsStayHiddenUntilShown()
{
    MainObject mainObject;
    QVERIFY(mainObject.mainWindow());
    QVERIFY(!mainObject.mainWindow()->isVisible());
    QVERIFY(QApplication::topLevelWidgets().size() >= 1);
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    mainObject.showMainWindow();
    QVERIFY(mainObject.mainWindow()->isVisible());
    QVERIFY(mainObject.mainWindow()->windowState() & Qt::WindowMaximized);
}

void tst_MainObject::loginLeadsThroughWaitToMainWindow()
{
    MainObject mainObject;
    LoginWidget *form = mainObject.loginWidget();
    SetupWaitProgressBar *wait = mainObject.waitProgressBar();
    // "返回" is the way back without logging in.
    form->showLogin();
    form->findChild<QPushButton *>(QStringLiteral("ReturnButton"))->click();
    QVERIFY(!form->isVisible() && !wait->isVisible());
    form->showLogin();
    form->findChild<QComboBox *>(QStringLiteral("LoginWidgetAccountComboBox"))
        ->setEditText(QStringLiteral("op"));
    form->findChild<QLineEdit *>(QStringLiteral("LoginWidgetPasswordLineEdit"))
        ->setText(QStringLiteral("pw"));
    form->findChild<QPushButton *>(QStringLiteral("LoginButton"))->click();
    QVERIFY(!form->isVisible() && wait->isVisible() && wait->isRunning());
    QVERIFY(!mainObject.mainWindow()->isVisible());

    // The wait window's own steps, without its ten seconds of timer.
    for (int step = 0; step <= SetupWaitProgressBar::FullCount; ++step)
        QVERIFY(QMetaObject::invokeMethod(wait, "slotUpdateValue"));
    QVERIFY(!wait->isVisible());
    QVERIFY(mainObject.mainWindow()->isVisible());
    QVERIFY(mainObject.mainWindow()->windowState() & Qt::WindowMaximized);
}

void tst_MainObject::withoutBrokerNothingChanges()
{
    MainObject mainObject;
    MainWindow *window = mainObject.mainWindow();
    QVERIFY(!mainObject.stationClient() && !window->findChild<StationFeedIndicator *>());
    QVERIFY(window->chartPanel()->logTextEdit()->toPlainText().startsWith(QStringLiteral("001 ")));
    QCOMPARE(window->chartPanel()->averagePanel()->chart()->value(), 88.0);
}

// The INI names a broker: the console connects, and the station's retained state and a new
// verdict reach the wall.
void tst_MainObject::stationFeedReachesTheWindows()
{
    TestBroker broker;
    QVERIFY(broker.start());
    QVERIFY(broker.publish(QStringLiteral("line7/camera/3/verdict"), R"({"verdict":"NG"})", true));
    SetupConfig *config = SetupConfig::instance();
    config->setValue(QStringLiteral("Station/Broker"), broker.url());
    config->setValue(QStringLiteral("Station/Topic"), QStringLiteral("line7"));
    {
        MainObject mainObject;
        MainWindow *window = mainObject.mainWindow();
        QTRY_COMPARE_WITH_TIMEOUT(window->feedIndicator()->state(), StationClient::Connected,
                                  60000);
        CameraDisplay *tile = window->cameraPanel()->tileOfChannel(3);
        QTRY_COMPARE(tile->state(), QStringLiteral("NG"));
        QVERIFY(broker.publish(QStringLiteral("line7/camera/3/verdict"), R"({"verdict":"OK"})"));
        QTRY_COMPARE(tile->state(), QStringLiteral("OK"));
        QVERIFY(
            !window->chartPanel()->logTextEdit()->toPlainText().contains(QStringLiteral("001 ")));
    }
    config->setValue(QStringLiteral("Station/Broker"), QVariant());
    config->setValue(QStringLiteral("Station/Topic"), QVariant());
}

QTEST_MAIN(tst_MainObject)
#include "tst_mainobject.moc"
