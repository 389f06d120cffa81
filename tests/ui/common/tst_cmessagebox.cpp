#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "ui/common/cmessagebox.h"

// What the user does once the box is up.
enum class Answer { Submit, Cancel, Enter, EnterOnCancel, SpaceOnCancel, Escape, CloseButton };
Q_DECLARE_METATYPE(Answer)

class tst_CMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
};

void tst_CMessageBox::answers_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("cancelShown");
    QTest::addColumn<int>("result");

    QTest::newRow("infoConfirmOnly") << 0 << 1 << Answer::Submit << "提示" << false << 1;
    QTest::newRow("warningSubmit") << 1 << 2 << Answer::Submit << "警告" << true << 1;
    QTest::newRow("errorCancel") << 2 << 2 << Answer::Cancel << "错误" << true << 0;
    QTest::newRow("unknownTypeKeepsTitle") << 3 << 0 << Answer::Submit << "消息框" << true << 1;
    QTest::newRow("enterConfirms") << 1 << 2 << Answer::Enter << "警告" << true << 1;
    QTest::newRow("enterOnFocusedCancelConfirms") << 1 << 2 << Answer::EnterOnCancel << "警告" << true << 1;
    QTest::newRow("spaceOnFocusedCancel") << 1 << 2 << Answer::SpaceOnCancel << "警告" << true << 0;
    QTest::newRow("escapeCancels") << 1 << 2 << Answer::Escape << "警告" << true << 0;
    QTest::newRow("titleBarCloseCancels") << 0 << 1 << Answer::CloseButton << "提示" << false << 0;
}

void tst_CMessageBox::answers()
{
    QFETCH(int, type);
    QFETCH(int, buttons);
    QFETCH(Answer, answer);
    QFETCH(QString, title);
    QFETCH(bool, cancelShown);
    QFETCH(int, result);

    CMessageBox box;
    box.setMessageType(type);
    box.setButtonType(buttons);
    auto *submit = box.findChild<QPushButton *>(QStringLiteral("MessageSubmitButton"));
    auto *cancel = box.findChild<QPushButton *>(QStringLiteral("MessageCancelButton"));

    QString shownTitle;
    bool shownCancel = false;
    QTimer::singleShot(0, &box, [&] {
        shownTitle = box.windowTitle();
        shownCancel = cancel->isVisible();
        if (answer == Answer::EnterOnCancel || answer == Answer::SpaceOnCancel)
            cancel->setFocus();
        switch (answer) {
        case Answer::Submit: QTest::mouseClick(submit, Qt::LeftButton); break;
        case Answer::Cancel: QTest::mouseClick(cancel, Qt::LeftButton); break;
        case Answer::Enter: QTest::keyClick(&box, Qt::Key_Return); break;
        case Answer::EnterOnCancel: QTest::keyClick(cancel, Qt::Key_Enter); break;
        case Answer::SpaceOnCancel: QTest::keyClick(cancel, Qt::Key_Space); break;
        case Answer::Escape: QTest::keyClick(&box, Qt::Key_Escape); break;
        case Answer::CloseButton:
            box.findChild<QToolButton *>(QStringLiteral("FancyTitleBarCloseButton"))->click();
        }
        if (box.isVisible())
            box.done(-1); // an answer that did nothing fails below instead of hanging
    });
    QCOMPARE(box.exec(), result);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownCancel, cancelShown);
}

QTEST_MAIN(tst_CMessageBox)
#include "tst_cmessagebox.moc"
