// The two demonstration windows: their buttons hide them, and what the user did in them stays.
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include "ui/camera/funcwidget1.h"
#include "ui/camera/tablewidget.h"

class tst_DemoWindows : public QObject
{
    Q_OBJECT

private slots:
    void buttonHides_data();
    void buttonHides();
};

void tst_DemoWindows::buttonHides_data()
{
    QTest::addColumn<bool>("table");
    QTest::addColumn<QString>("text");
    QTest::newRow("table/close") << true << QStringLiteral("关闭");
    QTest::newRow("func/ok") << false << QStringLiteral("确定");
    QTest::newRow("func/cancel") << false << QStringLiteral("取消");
}

void tst_DemoWindows::buttonHides()
{
    QFETCH(bool, table);
    QFETCH(QString, text);

    QScopedPointer<FancyWindow> window(table ? static_cast<FancyWindow *>(new TableWidget)
                                             : new FuncWidget1);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    auto *cells = window->findChild<QTableWidget *>();
    auto *tabs = window->findChild<QTabWidget *>();
    if (table) {
        QCOMPARE(cells->item(49, 9)->text(), QStringLiteral("49, 9"));
        cells->item(49, 9)->setText(QStringLiteral("edited"));
    } else {
        tabs->setCurrentIndex(2);
    }

    QPushButton *pressed = nullptr;
    for (QPushButton *b : window->findChildren<QPushButton *>())
        if (b->text() == text)
            pressed = b;
    QVERIFY(pressed);
    QTest::mouseClick(pressed, Qt::LeftButton);
    QVERIFY(window->isHidden());

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    if (table)
        QCOMPARE(cells->item(49, 9)->text(), QStringLiteral("edited"));
    else
        QCOMPARE(tabs->currentIndex(), 2);
}

QTEST_MAIN(tst_DemoWindows)
#include "tst_demowindows.moc"
