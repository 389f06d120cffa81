#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "common/config/setupconfig.h"
#include "mainobject.h"
#include "ui/mainwindow/mainwindow.h"

class tst_MainObject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowsStayHiddenUntilShown();

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

QTEST_MAIN(tst_MainObject)
#include "tst_mainobject.moc"
