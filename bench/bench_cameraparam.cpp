// The camera detail pages as the main window builds them at start-up: one and sixteen
// CameraParam pages, and as many chart theme pages (BWidget) alone, each count in fresh
// processes. The pages sit hidden in a page stack behind a plain first page, as in the main
// window; the window gets the default theme and is shown, which polishes every page under the
// style sheet, hidden or not. Reported: the time to construct the pages, the time to polish
// them, the time from the first construction to the first paint (against the same for an
// empty stack), and the peak resident memory at the first paint above that of an empty stack.
#include <QApplication>
#include <QProcess>
#include <QTimer>

#include <utility>

#include "benchsupport.h"
#include "common/config/setupconfig.h"
#include "ui/camera/bwidget.h"
#include "ui/camera/cameraparam.h"
#include "ui/theme/thememanager.h"
#include "ui/widgets/cstackedwidget.h"

using BenchSupport::median;
using BenchSupport::monotonicNs;
using BenchSupport::peakKb;

namespace
{

constexpr int Runs = 7;

struct Sample {
    double constructMs = 0;
    double polishMs = 0;
    double paintMs = 0;
    long kb = 0;
};

int runChild(int argc, char *argv[], const QString &kind, int count)
{
    QApplication app(argc, argv);
    SetupConfig::instance()->setAppDir(QCoreApplication::applicationDirPath() +
                                       QStringLiteral("/../bin"));
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
    // What show() does first; timed on its own, apart from the window system.
    const qint64 themed = monotonicNs();
    stack.ensurePolished();
    const qint64 polished = monotonicNs();
    stack.show();
    QTimer::singleShot(0, &app, [&] {
        stack.repaint();
        std::printf("%lld %lld %lld %ld\n", static_cast<long long>(built - start),
                    static_cast<long long>(polished - themed),
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
    if (parts.size() != 4)
        return false;
    out->constructMs = parts.at(0).toLongLong() / 1e6;
    out->polishMs = parts.at(1).toLongLong() / 1e6;
    out->paintMs = parts.at(2).toLongLong() / 1e6;
    out->kb = parts.at(3).toLong();
    return true;
}

bool measure(const QString &kind, int count, Sample *figures)
{
    std::vector<double> construct, polish, paint;
    std::vector<long> kb;
    for (int i = 0; i < Runs; ++i) {
        Sample s;
        if (!sample(kind, count, &s))
            return false;
        construct.push_back(s.constructMs);
        polish.push_back(s.polishMs);
        paint.push_back(s.paintMs);
        kb.push_back(s.kb);
    }
    *figures = {median(construct), median(polish), median(paint), median(kb)};
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, QString::fromLatin1(argv[2]), QByteArray(argv[3]).toInt());

    QCoreApplication app(argc, argv);
    Sample empty;
    if (!measure(QStringLiteral("param"), 0, &empty)) {
        std::fprintf(stderr, "a child run failed\n");
        return 1;
    }
    std::printf("platform: %s, median of %d fresh processes each\n", BenchSupport::platformName(),
                Runs);
    std::printf("empty stack:    first paint %6.1f ms, peak %ld kB\n", empty.paintMs, empty.kb);
    for (int count : {1, 16}) {
        Sample param, chart;
        if (!measure(QStringLiteral("param"), count, &param) ||
            !measure(QStringLiteral("chart"), count, &chart)) {
            std::fprintf(stderr, "a child run failed\n");
            return 1;
        }
        const std::pair<const char *, Sample> rows[] = {{"CameraParam", param}, {"BWidget", chart}};
        for (const auto &row : rows)
            std::printf("%2d %-11s: construct %6.1f ms, polish %5.1f ms, first paint %6.1f ms, "
                        "peak +%6ld kB\n",
                        count, row.first, row.second.constructMs, row.second.polishMs,
                        row.second.paintMs, row.second.kb - empty.kb);
    }
    return 0;
}
