#include <QtTest>
#include <QtWidgets>

#include "../moments/momenttestsupport.h"
#include "../station/testbroker.h"
#include "../testsupport.h"
#include "common/config/setupconfig.h"
#include "mainobject.h"
#include "moments/momentarchive.h"
#include "moments/momentstore.h"
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
#include "video/gstruntime.h"
#include "video/videochannel.h"
#include "video/videochannelset.h"

namespace
{

constexpr int WaitMs = 60000;
constexpr int JpegTolerance = 24;

} // namespace

class tst_MainObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowsStayHiddenUntilShown();
    void loginLeadsThroughWaitToMainWindow();
    void withoutBrokerNothingChanges();
    void stationFeedReachesTheWindows();
    void stationNgVerdictKeepsMoment_data();
    void stationNgVerdictKeepsMoment();
    void cleanupTestCase();

private:
    QTemporaryDir m_dir;
};

void tst_MainObject::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SetupConfig::instance()->setAppDir(m_dir.path());
    // The NG moments' folder: the user's data folder.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
}

void tst_MainObject::cleanupTestCase()
{
    GstRuntime::shutdown();
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

// Every NG verdict the station publishes becomes a moment: with the picture of the camera's
// channel when it plays, marked as having none when it does not; other verdicts keep nothing.
void tst_MainObject::stationNgVerdictKeepsMoment_data()
{
    QTest::addColumn<int>("camera");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QColor>("picture"); // invalid: kept without one

    QTest::newRow("ngOnRedChannel")
        << 3 << QByteArray(R"({"verdict":"NG","reason":"焊点缺失"})") << true << QColor(Qt::red);
    QTest::newRow("ngWithoutChannel")
        << 7 << QByteArray(R"({"verdict":"NG","reason":"焊点缺失"})") << true << QColor();
    QTest::newRow("okKeepsNothing")
        << 3 << QByteArray(R"({"verdict":"OK","reason":"焊点缺失"})") << false << QColor();
    QTest::newRow("unknownKeepsNothing")
        << 3 << QByteArray(R"({"verdict":"UNKNOWN"})") << false << QColor();
}

void tst_MainObject::stationNgVerdictKeepsMoment()
{
    QFETCH(int, camera);
    QFETCH(QByteArray, payload);
    QFETCH(bool, kept);
    QFETCH(QColor, picture);

    // A data folder of its own: the moments of one row only.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    TestBroker broker;
    QVERIFY(broker.start());
    SetupConfig *config = SetupConfig::instance();
    config->setValue(QStringLiteral("Station/Broker"), broker.url());
    config->setValue(QStringLiteral("Station/Topic"), QStringLiteral("line7"));
    config->setValue(QStringLiteral("Channel03/Source"), QStringLiteral("test:red"));
    {
        MainObject mainObject;
        MainWindow *window = mainObject.mainWindow();
        mainObject.showMainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(!window->channels()->channel(3)->frame().isNull(), WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(window->feedIndicator()->state(), StationClient::Connected,
                                  WaitMs);
        QSignalSpy keptSpy(window->moments()->store(), &MomentStore::kept);
        const QString topic = QStringLiteral("line7/camera/%1/verdict");
        QVERIFY(broker.publish(topic.arg(camera), payload));
        // Messages arrive in order and the store keeps them in order: camera 9's marks the end.
        QVERIFY(broker.publish(topic.arg(9), R"({"verdict":"NG","reason":"end"})"));
        QTRY_VERIFY_WITH_TIMEOUT(
            !keptSpy.isEmpty() && keptSpy.last().at(0).value<Moment>().camera == 9, WaitMs);

        const QVector<Moment> rows = MomentTestSupport::rows(window->moments()->folder());
        QCOMPARE(rows.size(), kept ? 2 : 1);
        if (kept) {
            const Moment &m = rows.at(0);
            QCOMPARE(m.camera, camera);
            QCOMPARE(m.reason, QStringLiteral("焊点缺失"));
            QCOMPARE(m.file.isEmpty(), !picture.isValid());
            if (picture.isValid()) {
                const QImage image =
                    QImageReader(QDir(window->moments()->folder()).filePath(m.file)).read();
                QVERIFY(TestSupport::near(image.pixelColor(image.width() / 2, image.height() / 2),
                                          picture, JpegTolerance));
            }
        }
    }
    config->setValue(QStringLiteral("Station/Broker"), QVariant());
    config->setValue(QStringLiteral("Station/Topic"), QVariant());
    config->setValue(QStringLiteral("Channel03/Source"), QVariant());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
}

QTEST_MAIN(tst_MainObject)
#include "tst_mainobject.moc"
