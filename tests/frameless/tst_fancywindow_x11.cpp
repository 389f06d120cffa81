#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QMouseEvent>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <QtGlobal>

#include <functional>

#include "../x11support.h"
#include "fakepointer.h"
#include "fancywindow.h"
#include "framelessrules.h"
#include "windowdrag.h"

namespace
{

constexpr int NudgeAttempts = 100;
constexpr int NudgeInterval = 20;

// A central widget that notes the presses it gets.
class PressTarget : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ++presses;
        event->accept();
    }
};

} // namespace

// Moving, maximising and resizing through the window manager (openbox) with the real X pointer.
class TestFancyWindowX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void dragBarMovesWindow();
    void doubleClickMaximizesAndRestores();
    void buttonsMinimizeMaximizeClose();
    void edgeDragResizes_data();
    void edgeDragResizes();
    void fixedSizeWindowDoesNotResize();
    void manualMoveWhereSystemRefuses();
    void manualResizeWhereSystemRefuses();
    void manualDragWithoutWindowManager();

private:
    void showWindow(FancyWindow &window, const QRect &geometry);
    QPoint captionPoint(FancyWindow &window) const;
    void pressAt(const QPoint &global);
    void systemDrag(const QPoint &from, const QPoint &via, const QPoint &to,
                    const std::function<bool()> &followed);
    void click(const QPoint &global);
    void doubleClick(const QPoint &global);

    FakePointer *m_pointer = nullptr;
    MouseLog m_log;
};

void TestFancyWindowX11::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs the xcb platform");
    qApp->installEventFilter(&m_log);
}

void TestFancyWindowX11::init()
{
    m_pointer = new FakePointer;
    if (!m_pointer->isValid())
        QSKIP("the X server offers no XTEST extension to drive the pointer");
    // Park the pointer where no test window lies.
    m_pointer->moveTo(QPoint(5, 1000));
}

void TestFancyWindowX11::cleanup()
{
    if (m_pointer && m_pointer->isValid())
        m_pointer->release();
    delete m_pointer;
    m_pointer = nullptr;
    WindowDrag::setSystemDragEnabled(true);
}

void TestFancyWindowX11::showWindow(FancyWindow &window, const QRect &geometry)
{
    if (!window.centralWidget())
        window.setCentralWidget(new PressTarget);
    window.setWindowTitle(QStringLiteral("Frameless"));
    window.setGeometry(geometry);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_COMPARE(window.geometry(), geometry);
}

QPoint TestFancyWindowX11::captionPoint(FancyWindow &window) const
{
    auto *label = window.fancyBar()->findChild<QLabel *>(QStringLiteral("FancyTitleBarTitleLabel"));
    return label->mapToGlobal(QPoint(20, label->height() / 2));
}

void TestFancyWindowX11::pressAt(const QPoint &global)
{
    m_pointer->moveTo(global);
    QTRY_COMPARE(m_log.lastMove, global);
    const int presses = m_log.presses;
    m_pointer->press();
    QTRY_COMPARE(m_log.presses, presses + 1);
}

// Press at from; Qt sees the pointer reach via; then the pointer goes on to `to`. The window
// manager takes a drag over when its message arrives, which may be after the pointer got to
// `to`, and then waits for motion: so the pointer is nudged there until the window has followed,
// and only then released.
void TestFancyWindowX11::systemDrag(const QPoint &from, const QPoint &via, const QPoint &to,
                                    const std::function<bool()> &followed)
{
    pressAt(from);
    if (via != from) {
        m_pointer->moveTo(via);
        QTRY_COMPARE(m_log.lastMove, via);
    }
    m_pointer->moveTo(to);
    for (int i = 0; i < NudgeAttempts && !followed(); ++i) {
        m_pointer->moveTo(to + QPoint(1, 1));
        m_pointer->moveTo(to);
        QTest::qWait(NudgeInterval);
    }
    m_pointer->release();
    QVERIFY(followed());
}

void TestFancyWindowX11::click(const QPoint &global)
{
    const int releases = m_log.releases;
    pressAt(global);
    m_pointer->release();
    QTRY_COMPARE(m_log.releases, releases + 1);
}

// Each step waits until Qt has seen the one before, a few milliseconds apart: well within the
// double-click interval, which Qt measures with the server's timestamps.
void TestFancyWindowX11::doubleClick(const QPoint &global)
{
    m_pointer->moveTo(global);
    QTRY_COMPARE(m_log.lastMove, global);
    for (int click = 0; click < 2; ++click) {
        const int presses = m_log.presses;
        const int releases = m_log.releases;
        m_pointer->press();
        QVERIFY(QTest::qWaitFor([&] { return m_log.presses == presses + 1; }));
        m_pointer->release();
        QVERIFY(QTest::qWaitFor([&] { return m_log.releases == releases + 1; }));
    }
}

void TestFancyWindowX11::dragBarMovesWindow()
{
    FancyWindow window;
    const QRect start(300, 200, 600, 400);
    showWindow(window, start);
    const QPoint from = captionPoint(window);
    const QPoint via = from + QPoint(QApplication::startDragDistance() + 5, 0);
    const QPoint to = from + QPoint(150, 100);

    const QPoint expected = start.topLeft() + (to - via);
    systemDrag(from, via, to, [&] { return m_pointer->rootPosition(window.winId()) == expected; });

    QTRY_COMPARE(window.pos(), expected);
    QCOMPARE(window.size(), start.size());
}

void TestFancyWindowX11::doubleClickMaximizesAndRestores()
{
    FancyWindow window;
    const QRect start(300, 200, 600, 400);
    showWindow(window, start);
    auto *maximizeButton =
        window.fancyBar()->findChild<QToolButton *>(QStringLiteral("FancyTitleBarMaximizeButton"));

    doubleClick(captionPoint(window));
    QTRY_VERIFY(window.isMaximized());
    QTRY_COMPARE(window.frameGeometry(), window.screen()->availableGeometry());
    QCOMPARE(maximizeButton->property("windowMaximized").toBool(), true);

    doubleClick(captionPoint(window));
    QTRY_VERIFY(!window.isMaximized());
    QTRY_COMPARE(window.geometry(), start);
    QCOMPARE(maximizeButton->property("windowMaximized").toBool(), false);
}

void TestFancyWindowX11::buttonsMinimizeMaximizeClose()
{
    FancyWindow window;
    const QRect start(300, 200, 600, 400);
    showWindow(window, start);
    auto button = [&window](const char *name) {
        auto *b = window.fancyBar()->findChild<QToolButton *>(QLatin1String(name));
        return b->mapToGlobal(b->rect().center());
    };

    click(button("FancyTitleBarMaximizeButton"));
    QTRY_VERIFY(window.isMaximized());
    QTRY_COMPARE(window.frameGeometry(), window.screen()->availableGeometry());
    click(button("FancyTitleBarMaximizeButton"));
    QTRY_VERIFY(!window.isMaximized());
    QTRY_COMPARE(window.geometry(), start);

    click(button("FancyTitleBarMinimizeButton"));
    QTRY_VERIFY(window.isMinimized());
    QTRY_VERIFY(!window.isActiveWindow());
    window.showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.geometry(), start);

    click(button("FancyTitleBarCloseButton"));
    QTRY_VERIFY(!window.isVisible());
}

void TestFancyWindowX11::edgeDragResizes_data()
{
    QTest::addColumn<QPoint>("pressOffset");
    QTest::addColumn<int>("edges");
    QTest::addColumn<QPoint>("delta");

    // Offsets from the window's top-left corner for a 600 x 400 window, inside the 4-pixel band.
    QTest::newRow("rightEdge") << QPoint(598, 200) << int(Qt::RightEdge) << QPoint(120, 0);
    QTest::newRow("bottomEdge") << QPoint(300, 398) << int(Qt::BottomEdge) << QPoint(0, 90);
    QTest::newRow("leftEdge") << QPoint(1, 200) << int(Qt::LeftEdge) << QPoint(-80, 0);
    QTest::newRow("topEdge") << QPoint(300, 0) << int(Qt::TopEdge) << QPoint(0, -60);
    QTest::newRow("bottomRightCorner")
        << QPoint(599, 399) << int(Qt::BottomEdge | Qt::RightEdge) << QPoint(70, 50);
    QTest::newRow("shrinkFromTopLeft")
        << QPoint(2, 2) << int(Qt::TopEdge | Qt::LeftEdge) << QPoint(100, 40);
}

void TestFancyWindowX11::edgeDragResizes()
{
    QFETCH(QPoint, pressOffset);
    QFETCH(int, edges);
    QFETCH(QPoint, delta);

    FancyWindow window;
    const QRect start(300, 200, 600, 400);
    showWindow(window, start);
    const QPoint from = start.topLeft() + pressOffset;

    // A resize starts at the press itself.
    const QRect expected = Frameless::resizedGeometry(start, Qt::Edges(edges), delta,
                                                      window.minimumSize(), window.maximumSize());
    systemDrag(from, from, from + delta, [&] { return window.geometry() == expected; });
    QCOMPARE(window.geometry(), expected);
}

void TestFancyWindowX11::fixedSizeWindowDoesNotResize()
{
    FancyWindow window;
    auto *central = new PressTarget;
    window.setCentralWidget(central);
    window.setFixedSize(600, 400);
    const QRect start(300, 200, 600, 400);
    showWindow(window, start);

    // The edge belongs to the content: the press reaches it and nothing resizes.
    const QPoint from = start.topLeft() + QPoint(598, 300);
    const int releases = m_log.releases;
    pressAt(from);
    m_pointer->moveTo(from + QPoint(120, 40));
    QTRY_COMPARE(m_log.lastMove, from + QPoint(120, 40));
    m_pointer->release();
    QTRY_COMPARE(m_log.releases, releases + 1);
    QCOMPARE(central->presses, 1);
    QCOMPARE(window.geometry(), start);

    // The window still moves by its bar, and keeps its size while doing so.
    const QPoint caption = captionPoint(window);
    const QPoint via = caption + QPoint(QApplication::startDragDistance() + 5, 0);
    const QPoint expected = start.topLeft() + QPoint(60, 30) - (via - caption);
    systemDrag(caption, via, caption + QPoint(60, 30),
               [&] { return m_pointer->rootPosition(window.winId()) == expected; });
    QTRY_COMPARE(window.pos(), expected);
    QCOMPARE(window.size(), start.size());
}

void TestFancyWindowX11::manualMoveWhereSystemRefuses()
{
    WindowDrag::setSystemDragEnabled(false);
    FancyWindow window;
    const QRect start(300, 200, 600, 400);
    showWindow(window, start);
    const QPoint from = captionPoint(window);
    const QPoint via = from + QPoint(QApplication::startDragDistance() + 5, 0);
    const QPoint to = from + QPoint(-120, 80);

    pressAt(from);
    m_pointer->moveTo(via);
    QTRY_COMPARE(m_log.lastMove, via);
    m_pointer->moveTo(to);
    QTRY_COMPARE(m_log.lastMove, to);
    const int releases = m_log.releases;
    m_pointer->release();
    QTRY_COMPARE(m_log.releases, releases + 1);

    // By hand the window keeps the pressed point under the pointer.
    QTRY_COMPARE(window.pos(), start.topLeft() + (to - from));
}

void TestFancyWindowX11::manualResizeWhereSystemRefuses()
{
    WindowDrag::setSystemDragEnabled(false);
    FancyWindow window;
    const QRect start(300, 200, 600, 400);
    showWindow(window, start);
    const QPoint from = start.topLeft() + QPoint(599, 399);
    const QPoint to = from + QPoint(90, 60);

    pressAt(from);
    m_pointer->moveTo(to);
    QTRY_COMPARE(m_log.lastMove, to);
    m_pointer->release();

    QTRY_COMPARE(window.geometry(), QRect(start.topLeft(), start.size() + QSize(90, 60)));
}

// A display of its own without a window manager, where the system refuses every move and resize:
// a helper process drags its window there and reports.
void TestFancyWindowX11::manualDragWithoutWindowManager()
{
    QProcess xvfb;
    auto stopXvfb = qScopeGuard([&xvfb] {
        xvfb.terminate();
        xvfb.waitForFinished();
    });
    const QString display = X11Support::startBareXvfb(xvfb, QStringLiteral("1280x1024"));
    if (display.isEmpty())
        QSKIP("Xvfb cannot be started for a display without a window manager");

    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    helper.setProcessEnvironment(environment);
    helper.start(QStringLiteral(TEST_HELPER_DIR "/helper_nowm_drag"), QStringList());
    QVERIFY(helper.waitForFinished(120000));
    QVERIFY2(helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0,
             helper.readAllStandardError().constData());

    QMap<QString, QList<int>> facts;
    const QList<QByteArray> lines = helper.readAllStandardOutput().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> words = line.split(' ');
        QList<int> numbers;
        for (int i = 1; i < words.size(); ++i)
            numbers << words.at(i).toInt();
        if (!words.isEmpty() && !words.first().isEmpty())
            facts.insert(QString::fromLatin1(words.first()), numbers);
    }
    const auto rect = [&facts](const char *name) {
        const QList<int> v = facts.value(QLatin1String(name));
        return v.size() == 4 ? QRect(v[0], v[1], v[2], v[3]) : QRect();
    };
    const auto pointerDelta = [&facts](const char *name) {
        const QList<int> v = facts.value(QLatin1String(name));
        return v.size() == 4 ? QPoint(v[2] - v[0], v[3] - v[1]) : QPoint();
    };

    const QRect start = rect("start");
    QVERIFY(start.isValid());
    // By hand the pressed point stays under the pointer.
    QCOMPARE(rect("moved"), start.translated(pointerDelta("movePointer")));
    const QPoint grow = pointerDelta("resizePointer");
    QCOMPARE(rect("resized"),
             QRect(rect("moved").topLeft(), start.size() + QSize(grow.x(), grow.y())));
}

QTEST_MAIN(TestFancyWindowX11)
#include "tst_fancywindow_x11.moc"
