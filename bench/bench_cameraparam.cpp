// The camera detail pages as the main window builds them at start-up: one and sixteen
// CameraParam pages, and as many chart theme pages (BWidget) alone, each count in fresh
// processes. The pages sit hidden in a page stack behind a plain first page, as in the main
// window; the window gets the default theme and is shown. Reported: the time to construct the
// pages, the time from the first page's construction to the window's first paint (construction,
// polish under the style sheet, layout), and the peak resident memory above an empty window.
#include <QApplication>
#include <QProcess>
#include <QTimer>

#include "benchsupport.h"
#include "common/config/setupconfig.h"
#include "ui/common/thememanager.h"
#include "ui/camera/bwidget.h"
#include "ui/camera/cameraparam.h"
#include "ui/mainwindow/cstackedwidget.h"

using BenchSupport::median;
using BenchSupport::monotonicNs;
using BenchSupport::peakKb;

namespace {

constexpr int Runs = 7;

struct Sample
{
    double constructMs = 0;
    double paintMs = 0;
    long kb = 0;
};

int runChild(int argc, char *argv[], const QString &kind, int count)
{
    QApplication app(argc, argv);
    SetupConfig::instance()->setAppDir(QCoreApplication::applicationDirPath()
                                       + QStringLiteral("/../bin"));
    CStackedWidget stack;
    stack.resize(1600, 900);
    stack.addWidget(new QWidget);

    const qint64 start = monotonicNs();
    for (int i = 0; i < count; ++i) {
        if (kind == QLatin1String("param"))
            stack.addWidget(new CameraParam);
        else
            stack.addWidget(new BWidget);
    }
    const qint64 built = monotonicNs();

    ThemeManager::applyTheme(QStringLiteral("dark_blue"));
    stack.show();
    QTimer::singleShot(0, &app, [&] {
        stack.repaint();
        std::printf("%lld %lld %ld\n", static_cast<long long>(built - start),
                    static_cast<long long>(monotonicNs() - start), peakKb());
        QCoreApplication::exit(0);
    });
    return app.exec();
}

bool sample(const QString &kind, int count, Sample *out)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), kind, QString::number(count)});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() != 3)
        return false;
    out->constructMs = parts.at(0).toLongLong() / 1e6;
    out->paintMs = parts.at(1).toLongLong() / 1e6;
    out->kb = parts.at(2).toLong();
    return true;
}

struct Figures
{
    double constructMs;
    double paintMs;
    long kb;
};

bool measure(const QString &kind, int count, Figures *figures)
{
    std::vector<double> construct, paint;
    std::vector<long> kb;
    for (int i = 0; i < Runs; ++i) {
        Sample s;
        if (!sample(kind, count, &s))
            return false;
        construct.push_back(s.constructMs);
        paint.push_back(s.paintMs);
        kb.push_back(s.kb);
    }
    *figures = {median(construct), median(paint), median(kb)};
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, QString::fromLatin1(argv[2]), QByteArray(argv[3]).toInt());

    QCoreApplication app(argc, argv);
    Figures empty;
    if (!measure(QStringLiteral("param"), 0, &empty)) {
        std::fprintf(stderr, "a child run failed\n");
        return 1;
    }
    std::printf("platform: %s, median of %d fresh processes each\n",
                qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
                    ? "default" : qgetenv("QT_QPA_PLATFORM").constData(),
                Runs);
    std::printf("empty window: first paint %.1f ms, peak %ld kB\n", empty.paintMs, empty.kb);
    for (int count : {1, 16}) {
        Figures param, chart;
        if (!measure(QStringLiteral("param"), count, &param)
            || !measure(QStringLiteral("chart"), count, &chart)) {
            std::fprintf(stderr, "a child run failed\n");
            return 1;
        }
        std::printf("%2d CameraParam: construct %7.1f ms, to first paint %7.1f ms, peak +%6ld kB\n",
                    count, param.constructMs, param.paintMs - empty.paintMs, param.kb - empty.kb);
        std::printf("%2d BWidget:     construct %7.1f ms, to first paint %7.1f ms, peak +%6ld kB\n",
                    count, chart.constructMs, chart.paintMs - empty.paintMs, chart.kb - empty.kb);
    }
    return 0;
}
