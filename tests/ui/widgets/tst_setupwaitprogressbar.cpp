#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include "ui/widgets/colorprogressbar.h"
#include "ui/widgets/setupwaitprogressbar.h"

#include "../chart/gaugeprobe.h"

namespace
{

const QString Caption = QStringLiteral("Starting, please wait");

struct Parts {
    QLabel *title;
    ColorProgressBar *bar;
    QTextBrowser *browser;
    QTimer *timer;
};

Parts partsOf(SetupWaitProgressBar &window)
{
    return {window.findChild<QLabel *>(QStringLiteral("SetupWaitProgressBarTitleLabel")),
            window.findChild<ColorProgressBar *>(),
            window.findChild<QTextBrowser *>(QStringLiteral("SetupWaitProgressBarInfoTextBrowser")),
            window.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly)};
}

void tick(SetupWaitProgressBar &window)
{
    QVERIFY(QMetaObject::invokeMethod(&window, "slotUpdateValue"));
}

QStringList lines(QTextBrowser *browser)
{
    QStringList result;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        result << block.text();
    return result;
}

} // namespace

class TestSetupWaitProgressBar : public QObject
{
    Q_OBJECT

private slots:
    void construction();
    void fullCount();
    void startAgainRestarts();
    void tickWhileIdleDoesNothing();
    void timerDrivesTheCount();
    void backgroundImage_data();
    void backgroundImage();
};

void TestSetupWaitProgressBar::construction()
{
    SetupWaitProgressBar window;
    const Parts parts = partsOf(window);
    QVERIFY(parts.title);
    QVERIFY(parts.bar);
    QVERIFY(parts.browser);
    QVERIFY(parts.timer);
    QCOMPARE(parts.title->text(), Caption);
    QCOMPARE(parts.timer->interval(), 100);
    QVERIFY(!parts.timer->isActive());
    QVERIFY(!window.isVisible());
    QVERIFY(!window.isRunning());
    QCOMPARE(window.size(), QSize(700, 350));
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window.windowType(), Qt::Tool);
    QCOMPARE(parts.bar->height(), 60);
    QCOMPARE(parts.browser->height(), 100);
    QCOMPARE(parts.bar->text(), QStringLiteral("0.0%"));
}

void TestSetupWaitProgressBar::fullCount()
{
    SetupWaitProgressBar window;
    const Parts parts = partsOf(window);
    QSignalSpy completed(&window, &SetupWaitProgressBar::completed);

    window.start();
    QVERIFY(window.isVisible());
    QVERIFY(window.isRunning());
    QVERIFY(parts.timer->isActive());
    QCOMPARE(parts.bar->value(), 0.0);

    for (int step = 0; step < 100; ++step) {
        tick(window);
        QCOMPARE(parts.bar->value(), double(step + 1));
        // The captions cycle through 0 to 6 dots.
        QCOMPARE(parts.title->text(), Caption + QString(step % 7, QLatin1Char('.')));
    }
    QCOMPARE(parts.bar->text(), QStringLiteral("100.0%"));
    QCOMPARE(completed.count(), 0);
    QVERIFY(window.isVisible());

    // One more tick finishes.
    tick(window);
    QCOMPARE(completed.count(), 1);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.isRunning());
    QVERIFY(!parts.timer->isActive());

    const QStringList logged = lines(parts.browser);
    QCOMPARE(logged.size(), 100);
    for (int i = 0; i < logged.size(); ++i)
        QCOMPARE(logged.at(i), Caption + QString(i % 7, QLatin1Char('.')));

    tick(window);
    QCOMPARE(completed.count(), 1);
    QCOMPARE(lines(parts.browser).size(), 100);
}

void TestSetupWaitProgressBar::startAgainRestarts()
{
    SetupWaitProgressBar window;
    const Parts parts = partsOf(window);
    QSignalSpy completed(&window, &SetupWaitProgressBar::completed);
    window.start();
    for (int step = 0; step < 101; ++step)
        tick(window);
    QCOMPARE(completed.count(), 1);

    window.start();
    QVERIFY(window.isVisible());
    QVERIFY(parts.timer->isActive());
    QCOMPARE(parts.bar->value(), 0.0);
    QCOMPARE(parts.bar->text(), QStringLiteral("0.0%"));

    // The dots and the log carry over: 100 steps left the count at 100 % 7 = 2.
    tick(window);
    QCOMPARE(parts.bar->value(), 1.0);
    QCOMPARE(parts.title->text(), Caption + QStringLiteral(".."));
    QCOMPARE(lines(parts.browser).size(), 101);

    for (int step = 0; step < 100; ++step)
        tick(window);
    QCOMPARE(completed.count(), 2);
    QVERIFY(!parts.timer->isActive());
}

void TestSetupWaitProgressBar::tickWhileIdleDoesNothing()
{
    SetupWaitProgressBar window;
    const Parts parts = partsOf(window);
    QSignalSpy completed(&window, &SetupWaitProgressBar::completed);
    window.setValue(100);
    tick(window);
    QCOMPARE(completed.count(), 0);
    QCOMPARE(parts.bar->value(), 100.0);
    QCOMPARE(parts.title->text(), Caption);
    QVERIFY(parts.browser->toPlainText().isEmpty());
    QVERIFY(!parts.timer->isActive());
}

void TestSetupWaitProgressBar::timerDrivesTheCount()
{
    SetupWaitProgressBar window;
    const Parts parts = partsOf(window);
    window.start();
    window.setValue(97);
    QSignalSpy completed(&window, &SetupWaitProgressBar::completed);
    QVERIFY(completed.wait(5000));
    QCOMPARE(completed.count(), 1);
    QCOMPARE(lines(parts.browser).size(), 3);
    QVERIFY(!parts.timer->isActive());
    QVERIFY(!window.isVisible());
}

void TestSetupWaitProgressBar::backgroundImage_data()
{
    QTest::addColumn<bool>("withFile");
    QTest::addColumn<bool>("setPath");
    QTest::addColumn<double>("opacity");
    QTest::addColumn<int>("alpha");

    QTest::newRow("noPath") << false << false << 1.0 << 0;
    QTest::newRow("missingFile") << false << true << 1.0 << 0;
    QTest::newRow("opaqueImage") << true << true << 1.0 << 255;
    QTest::newRow("halfOpaqueImage") << true << true << 0.5 << 128;
}

void TestSetupWaitProgressBar::backgroundImage()
{
    QFETCH(bool, withFile);
    QFETCH(bool, setPath);
    QFETCH(double, opacity);
    QFETCH(int, alpha);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("background.png"));
    if (withFile) {
        QImage picture(70, 35, QImage::Format_RGB32);
        picture.fill(QColor(200, 0, 0));
        QVERIFY(picture.save(path));
    }

    SetupWaitProgressBar window;
    if (setPath)
        window.setBackgroundImage(path);
    window.setOpacity(float(opacity));
    const QImage image = GaugeProbe::render(window, window.size());
    // Above the caption only the window itself paints.
    const QColor corner = image.pixelColor(350, 10);
    QVERIFY2(qAbs(corner.alpha() - alpha) <= 2, qPrintable(QString::number(corner.alpha())));
    if (alpha > 0)
        QVERIFY2(corner.red() > 190 && corner.green() < 10, qPrintable(corner.name()));
}

QTEST_MAIN(TestSetupWaitProgressBar)
#include "tst_setupwaitprogressbar.moc"
