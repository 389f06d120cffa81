#include <QtTest>
#include <QtWidgets>

#include "ui/login/loginwidget.h"

// The login form's keys under a real window system, where the form must be active for its
// fields to have the keyboard.
class tst_LoginWidgetX11 : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
};

// The form once ignored both keys: Enter did not log in and Esc did not leave.
void tst_LoginWidgetX11::keys_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("field"); // where the key is pressed
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("loggedIn");
    QTest::addColumn<int>("returned");
    QTest::addColumn<int>("asked"); // message boxes the key brings up

    const QString password = QStringLiteral("LoginWidgetPasswordLineEdit");
    const QString account = QStringLiteral("LoginWidgetAccountComboBox");
    QTest::newRow("returnLogsIn") << "operator"
                                  << "secret" << password << int(Qt::Key_Return) << 1 << 0 << 0;
    QTest::newRow("keypadEnterLogsIn") << "operator"
                                       << "secret" << password << int(Qt::Key_Enter) << 1 << 0 << 0;
    QTest::newRow("enterWithoutPasswordAsks")
        << "operator"
        << "" << password << int(Qt::Key_Return) << 0 << 0 << 1;
    QTest::newRow("escapeInPassword") << "operator"
                                      << "secret" << password << int(Qt::Key_Escape) << 0 << 1 << 0;
    QTest::newRow("escapeInAccount") << "operator"
                                     << "" << account << int(Qt::Key_Escape) << 0 << 1 << 0;
}

void tst_LoginWidgetX11::keys()
{
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(QString, field);
    QFETCH(int, key);

    LoginWidget form;
    // As the console's owners do: the form goes on a successful login and on "返回".
    connect(&form, &LoginWidget::signalReturn, &form, &QWidget::hide);
    QSignalSpy loggedIn(&form, &LoginWidget::loggedIn);
    QSignalSpy returned(&form, &LoginWidget::signalReturn);
    form.showLogin();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QTRY_VERIFY(form.isActiveWindow());
    auto *target = form.findChild<QWidget *>(field);
    QVERIFY(target);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus() || target->isAncestorOf(QApplication::focusWidget()));

    QTest::keyClicks(form.findChild<QComboBox *>(QStringLiteral("LoginWidgetAccountComboBox")),
                     account);
    QTest::keyClicks(form.findChild<QLineEdit *>(QStringLiteral("LoginWidgetPasswordLineEdit")),
                     password);
    int asked = 0;
    QTimer answerer; // counts and closes each message box
    connect(&answerer, &QTimer::timeout, this, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            ++asked;
            box->close();
        }
    });
    answerer.start(10);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    answerer.stop();

    QTEST(int(loggedIn.count()), "loggedIn");
    QTEST(int(returned.count()), "returned");
    QTEST(asked, "asked");
    QCOMPARE(form.isVisible(), loggedIn.isEmpty() && returned.isEmpty());
}

QTEST_MAIN(tst_LoginWidgetX11)
#include "tst_loginwidget_x11.moc"
