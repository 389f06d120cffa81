#include <QtTest>
#include <QtWidgets>

#include "ui/login/loginwidget.h"

class tst_LoginWidget : public QObject
{
    Q_OBJECT

private slots:
    void loginChecks_data();
    void loginChecks();
    void formFitsItsWindow();
    void builtInPictureReadOnce();
    void backgroundReadAtFirstPaint();
};

void tst_LoginWidget::loginChecks_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message"); // empty: the login succeeds

    QTest::newRow("bothEmpty") << ""
                               << ""
                               << "请输入您的账号ID.";
    QTest::newRow("passwordOnly") << ""
                                  << "secret"
                                  << "请输入您的账号ID.";
    QTest::newRow("accountOnly") << "operator"
                                 << ""
                                 << "请输入您的账号密码.";
    QTest::newRow("blanksCountAsEntered") << " "
                                          << "  "
                                          << "";
    QTest::newRow("success") << "operator"
                             << "secret"
                             << "";
}

void tst_LoginWidget::loginChecks()
{
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(QString, message);

    LoginWidget form;
    form.showLogin();
    form.findChild<QComboBox *>(QStringLiteral("LoginWidgetAccountComboBox"))->setEditText(account);
    form.findChild<QLineEdit *>(QStringLiteral("LoginWidgetPasswordLineEdit"))->setText(password);
    // A receiver of loggedIn must already see the login as done.
    QList<bool> seenLoggedIn;
    connect(&form, &LoginWidget::loggedIn, this, [&] { seenLoggedIn << form.isLoggedIn(); });

    QStringList shown;
    QTimer answerer; // closes each message box
    connect(&answerer, &QTimer::timeout, this, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            shown << box->findChild<QLabel *>(QStringLiteral("MessageBoxTextLabel"))
                         ->text()
                         .trimmed();
            box->close();
        }
    });
    answerer.start(10);
    form.findChild<QPushButton *>(QStringLiteral("LoginButton"))->click();

    QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(seenLoggedIn, message.isEmpty() ? QList<bool>{true} : QList<bool>());
    QCOMPARE(form.isVisible(), !message.isEmpty());
}

// The inner form has the window's own size; margins around it would push its right and bottom
// edges, and the buttons there, out of the window. The title is drawn in points: its width
// follows the screen's resolution, above 96 dpi here (see main).
void tst_LoginWidget::formFitsItsWindow()
{
    QVERIFY(qApp->primaryScreen()->logicalDotsPerInch() > 96);
    LoginWidget form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.findChild<QWidget *>(QStringLiteral("LoginWidget"))->geometry(), form.rect());

    // The title's last glyph ends inside the title: its right edge stays clear.
    auto *title = form.findChild<QWidget *>(QStringLiteral("LoginTitleWidget"));
    QImage image(title->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    title->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QVERIFY(!image.allGray()); // the coloured title is there
    for (int y = 0; y < image.height(); ++y)
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, y)), 0);
}

// The built-in picture is read once, not on every paint.
void tst_LoginWidget::builtInPictureReadOnce()
{
    const QImage picture = QImage(QStringLiteral(":/res/image/login/bg01.png"))
                               .scaled(LoginWidget::FormWidth, LoginWidget::FormHeight);
    QVERIFY(!picture.isNull());
    LoginWidget form;
    form.resize(LoginWidget::FormWidth, LoginWidget::FormHeight);
    const QPoint probe(5, 5);
    QCOMPARE(form.grab().toImage().pixelColor(probe), picture.pixelColor(probe));

    Q_CLEANUP_RESOURCE(app);
    const QColor later = form.grab().toImage().pixelColor(probe);
    Q_INIT_RESOURCE(app);
    QCOMPARE(later, picture.pixelColor(probe));
}

// The picture is read when the form is first painted, and only then.
void tst_LoginWidget::backgroundReadAtFirstPaint()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bg.png"));
    const QColor green(10, 200, 30);
    const QPoint probe(5, 5);
    LoginWidget form;
    form.resize(LoginWidget::FormWidth, LoginWidget::FormHeight);
    form.setBackgroundImage(path);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(green);
    QVERIFY(picture.save(path));
    QCOMPARE(form.grab().toImage().pixelColor(probe), green);
    QVERIFY(QFile::remove(path));
    QCOMPARE(form.grab().toImage().pixelColor(probe), green);

    form.setBackgroundImage(path);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be read")));
    form.grab();
}

// Not QTEST_MAIN, which makes fonts assume 96 dpi: the offscreen screen's 100 dpi shows what
// larger point sizes do to the title.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tst_LoginWidget test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_loginwidget.moc"
