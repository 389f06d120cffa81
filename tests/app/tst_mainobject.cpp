#include <QtTest>
#include <QtWidgets>

#include "common/config/setupconfig.h"
#include "mainobject.h"
#include "ui/login/loginwidget.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/widgets/setupwaitprogressbar.h"

class tst_MainObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowsStayHiddenUntilShown();
    void loginLeadsThroughWaitToMainWindow();

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

QTEST_MAIN(tst_MainObject)
#include "tst_mainobject.moc"
