// Run on an X display without a window manager: drags a FancyWindow by its bar and by its
// bottom-right corner with the real pointer and prints where the pointer went and where the
// window ended up, one fact per line ("name x y [w h]"). Exit code 0 when every step was seen.
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTextStream>

#include <functional>

#include "fakepointer.h"
#include "fancywindow.h"

namespace
{

constexpr int WaitMs = 10000;

bool waitFor(const std::function<bool()> &done)
{
    return QTest::qWaitFor(done, WaitMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    FakePointer pointer;
    if (!pointer.isValid()) {
        err << "no XTEST extension\n";
        return 2;
    }
    MouseLog log;
    app.installEventFilter(&log);

    FancyWindow window;
    window.setCentralWidget(new QWidget);
    window.setWindowTitle(QStringLiteral("No window manager"));
    const QRect start(100, 100, 500, 300);
    window.setGeometry(start);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        err << "window not exposed\n";
        return 1;
    }
    out << "start " << window.x() << ' ' << window.y() << ' ' << window.width() << ' '
        << window.height() << '\n';

    auto step = [&](const QPoint &to) {
        pointer.moveTo(to);
        return waitFor([&] { return log.lastMove == to; });
    };
    auto press = [&] {
        const int presses = log.presses;
        pointer.press();
        return waitFor([&] { return log.presses == presses + 1; });
    };
    auto release = [&] {
        const int releases = log.releases;
        pointer.release();
        return waitFor([&] { return log.releases == releases + 1; });
    };

    auto *label = window.findChild<QLabel *>(QStringLiteral("FancyTitleBarTitleLabel"));
    const QPoint caption = label->mapToGlobal(QPoint(20, label->height() / 2));
    const QPoint moveTo = caption + QPoint(120, 70);
    if (!step(caption) || !press() || !step(caption + QPoint(20, 0)) || !step(moveTo) ||
        !release()) {
        err << "bar drag not seen\n";
        return 1;
    }
    out << "movePointer " << caption.x() << ' ' << caption.y() << ' ' << moveTo.x() << ' '
        << moveTo.y() << '\n';
    out << "moved " << window.x() << ' ' << window.y() << ' ' << window.width() << ' '
        << window.height() << '\n';

    const QPoint corner = window.geometry().bottomRight();
    const QPoint resizeTo = corner + QPoint(60, 40);
    if (!step(corner) || !press() || !step(resizeTo) || !release()) {
        err << "corner drag not seen\n";
        return 1;
    }
    out << "resizePointer " << corner.x() << ' ' << corner.y() << ' ' << resizeTo.x() << ' '
        << resizeTo.y() << '\n';
    out << "resized " << window.x() << ' ' << window.y() << ' ' << window.width() << ' '
        << window.height() << '\n';
    return 0;
}
