// Time to switch the camera wall between two layouts: hide every tile, place the new ones,
// show them and lay the grid out, with and without writing the INI file, on a page of
// 1600 x 900 pixels. Prints the median time per switch.
#include "benchsupport.h"
#include "common/config/setupconfig.h"
#include "ui/camera/camerabox.h"
#include "ui/camera/camerapanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLayout>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVector>

#include <algorithm>
#include <functional>

using BenchSupport::median;

namespace
{

constexpr int PageWidth = 1600;
constexpr int PageHeight = 900;
constexpr int Warmup = 50;
constexpr int Switches = 400;
constexpr int Runs = 5;

struct Layout {
    const char *name;
    int type;
    int index;
};

// Runs the switch Runs times Switches times, alternating between the two layouts; returns the
// median microseconds per switch of each run.
QVector<double> measure(const std::function<void(const Layout &)> &step, const Layout &a,
                        const Layout &b)
{
    for (int i = 0; i < Warmup; ++i)
        step(i % 2 ? a : b);
    QVector<double> runMedians;
    for (int run = 0; run < Runs; ++run) {
        QVector<double> times;
        times.reserve(Switches);
        for (int i = 0; i < Switches; ++i) {
            QElapsedTimer timer;
            timer.start();
            step(i % 2 ? a : b);
            times.append(timer.nsecsElapsed() / 1000.0);
        }
        runMedians.append(median(times));
    }
    return runMedians;
}

void report(QTextStream &out, const QString &what, const QVector<double> &runMedians)
{
    const auto [low, high] = std::minmax_element(runMedians.cbegin(), runMedians.cend());
    out << what << ": median " << QString::number(median(runMedians), 'f', 1) << " us per switch"
        << " (run medians " << QString::number(*low, 'f', 1) << " to "
        << QString::number(*high, 'f', 1) << " us)\n";
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    out.setCodec("UTF-8");

    QTemporaryDir appDir;
    if (!appDir.isValid()) {
        out << "cannot create a temporary folder\n";
        return 1;
    }
    SetupConfig::instance()->setAppDir(appDir.path());
    SetupConfig::instance()->setCamera(16, 0);

    // The page sits in a fixed-size window, as in the main window's page stack.
    QWidget host;
    host.setFixedSize(PageWidth, PageHeight);
    auto *panel = new CameraPanel(&host);
    panel->setGeometry(0, 0, PageWidth, PageHeight);
    host.show();
    QCoreApplication::processEvents();
    CameraBox *box = panel->cameraBox();

    auto place = [box](const Layout &layout) {
        switch (layout.type) {
        case 2:
            box->changeCamera2(layout.index);
            break;
        case 6:
            box->changeCamera6(layout.index);
            break;
        case 13:
            box->changeCamera13(layout.index);
            break;
        default:
            box->changeCamera16(layout.index);
            break;
        }
    };
    auto placeAndLayOut = [&](const Layout &layout) {
        place(layout);
        panel->layout()->activate();
    };
    auto storeAndLayOut = [&](const Layout &layout) {
        box->showCamera(layout.type, layout.index);
        panel->layout()->activate();
    };
    auto storeAndPaint = [&](const Layout &layout) {
        box->showCamera(layout.type, layout.index);
        QCoreApplication::processEvents();
    };
    auto storeOnly = [](const Layout &layout) {
        SetupConfig::instance()->setCamera(layout.type, layout.index);
    };

    const QList<QPair<Layout, Layout>> pairs{{{"1_16", 16, 0}, {"11_16", 6, 10}},
                                             {{"1_2", 2, 0}, {"4_16", 13, 3}}};
    out << "Camera layout switch, page " << PageWidth << " x " << PageHeight << ", platform "
        << QGuiApplication::platformName() << ", " << Runs << " runs of " << Switches
        << " switches\n";
    for (const auto &pair : pairs) {
        const Layout &a = pair.first;
        const Layout &b = pair.second;
        out << a.name << " <-> " << b.name << '\n';
        report(out, QStringLiteral("  placement + grid layout, no INI write"),
               measure(placeAndLayOut, a, b));
        report(out, QStringLiteral("  showCamera (placement + INI write + signal) + grid layout"),
               measure(storeAndLayOut, a, b));
        report(out, QStringLiteral("  showCamera + events processed (layout and paint)"),
               measure(storeAndPaint, a, b));
        report(out, QStringLiteral("  INI write alone (SetupConfig::setCamera)"),
               measure(storeOnly, a, b));
    }
    return 0;
}
