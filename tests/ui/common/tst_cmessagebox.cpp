#include <QToolButton>
#include <QtTest>

#include "ui/common/cmessagebox.h"

class tst_CMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void titleBarCannotMinimise();
};

void tst_CMessageBox::answers_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("input"); // the child the user clicks or types into; empty: the box
    QTest::addColumn<int>("key");       // 0: a mouse click
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("cancelShown");
    QTest::addColumn<int>("result");

    QTest::newRow("infoConfirmOnly")
        << 0 << 1 << "MessageSubmitButton" << 0 << "提示" << false << 1;
    QTest::newRow("errorCancel") << 2 << 2 << "MessageCancelButton" << 0 << "错误" << true << 0;
    QTest::newRow("unknownTypeKeepsTitle")
        << 3 << 0 << "MessageSubmitButton" << 0 << "消息框" << true << 1;
    QTest::newRow("enterOnFocusedCancelConfirms")
        << 1 << 2 << "MessageCancelButton" << int(Qt::Key_Enter) << "警告" << true << 1;
    QTest::newRow("spaceOnFocusedCancel")
        << 1 << 2 << "MessageCancelButton" << int(Qt::Key_Space) << "警告" << true << 0;
    QTest::newRow("escapeCancels") << 1 << 2 << "" << int(Qt::Key_Escape) << "警告" << true << 0;
    QTest::newRow("titleBarCloseCancels")
        << 0 << 1 << "FancyTitleBarCloseButton" << 0 << "提示" << false << 0;
}

void tst_CMessageBox::answers()
{
    QFETCH(int, type);
    QFETCH(int, buttons);
    QFETCH(QString, input);
    QFETCH(int, key);
    QFETCH(int, result);

    CMessageBox box;
    box.setMessageType(type);
    box.setButtonType(buttons);
    QTimer::singleShot(0, &box, [&] {
        QWidget *target = input.isEmpty() ? &box : box.findChild<QWidget *>(input);
        target->setFocus();
        if (key)
            QTest::keyClick(target, Qt::Key(key));
        else
            QTest::mouseClick(target, Qt::LeftButton);
        if (box.isVisible())
            box.done(-1); // an answer that did nothing fails below instead of hanging
    });
    QCOMPARE(box.exec(), result);
    QTEST(box.windowTitle(), "title");
    QTEST(box.findChild<QWidget *>(QStringLiteral("MessageCancelButton"))->isVisibleTo(&box),
          "cancelShown");
}

// A minimised modal box once left the window it blocked ignoring every click: no button of its
// title bar but the close button may take it off the screen.
void tst_CMessageBox::titleBarCannotMinimise()
{
    CMessageBox box;
    box.setMessageType(CMessageBox::Warning);
    QTimer::singleShot(0, &box, [&] {
        const auto buttons = box.fancyBar()->titleBar()->findChildren<QToolButton *>();
        for (QToolButton *button : buttons) {
            if (!button->isVisible() || button->objectName().endsWith(QLatin1String("CloseButton")))
                continue;
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(!(box.windowState() & Qt::WindowMinimized));
            QVERIFY(box.isVisible());
        }
        box.done(2);
    });
    QCOMPARE(box.exec(), 2);
}

QTEST_MAIN(tst_CMessageBox)
#include "tst_cmessagebox.moc"
