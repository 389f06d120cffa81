// The two demonstration windows: each of their closing buttons hides the window, which keeps
// what the user did in it.
#include <QPushButton>
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
    if (auto *cells = window->findChild<QTableWidget *>())
        QCOMPARE(cells->item(49, 9)->text(), QStringLiteral("49, 9"));
    const QList<QPushButton *> buttons = window->findChildren<QPushButton *>();
    const auto pressed = std::find_if(buttons.begin(), buttons.end(),
                                      [&](QPushButton *b) { return b->text() == text; });
    QVERIFY(pressed != buttons.end());
    QTest::mouseClick(*pressed, Qt::LeftButton);
    QVERIFY(window->isHidden());
}

QTEST_MAIN(tst_DemoWindows)
#include "tst_demowindows.moc"
