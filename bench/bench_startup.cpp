// Start-up to first paint: the console's maximised main window against a bare QMainWindow shown
// maximised, each started as a fresh process, interleaved, several runs each. Also the peak
// resident memory (VmHWM) of both at their first paint; the time of one page change in the
// running console (from the side panel's click to the end of the incoming page's first paint);
// the stages of start-up up to the moment every page and auxiliary window is built; the idle
// wake-ups of both once everything is built; and the construction time of the main window's
// parts, one by one.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "benchsupport.h"
#include "common/config/setupconfig.h"
#include "common/singleinstance/uniqueapplication.h"
#include "mainobject.h"
#include "ui/camera/camerapanel.h"
#include "ui/camera/cameraparam.h"
#include "ui/chart/chartpanel.h"
#include "ui/mainwindow/mainwindow.h"
#include "ui/mainwindow/sidepanel.h"
#include "ui/theme/thememanager.h"
#include "ui/widgets/cstackedwidget.h"

using BenchSupport::median;
using BenchSupport::monotonicNs;
using BenchSupport::peakKb;

namespace
{

constexpr int Runs = 9;
// Longer than a full-width slide, so that each change starts from a page at rest.
constexpr int SettleMs = 700;
// Idle wake-ups are counted over this time, after the settling time.
constexpr int IdleMs = 5000;

// Context switches of every thread of the process so far: each is a wake-up from a wait, or a
// thread put off the processor.
long contextSwitches()
{
    long total = 0;
    const QStringList tasks =
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> lines = status.readAll().split('\n');
        for (const QByteArray &line : lines) {
            if (line.startsWith("voluntary_ctxt_switches:") ||
                line.startsWith("nonvoluntary_ctxt_switches:"))
                total += line.mid(line.indexOf(':') + 1).trimmed().toLong();
        }
    }
    return total;
}

// Once the program has settled, prints its wake-ups per second over the idle time and ends.
void reportIdleWakeups(const char *name)
{
    QTimer::singleShot(SettleMs, qApp, [name] {
        const long before = contextSwitches();
        QTimer::singleShot(IdleMs, qApp, [name, before] {
            std::printf("%s %.1f\n", name, (contextSwitches() - before) * 1000.0 / IdleMs);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    });
}

// Calls back once, after the first paint pass that reaches the watched widget or one of its
// children has finished.
class FirstPaint : public QObject
{
public:
    FirstPaint(QWidget *widget, std::function<void()> done) : m_widget(widget), m_done(done)
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_done && event->type() == QEvent::Paint && watched->isWidgetType() &&
            (watched == m_widget || m_widget->isAncestorOf(static_cast<QWidget *>(watched)))) {
            QTimer::singleShot(0, qApp, m_done);
            m_done = nullptr;
        }
        return false;
    }

private:
    QWidget *m_widget;
    std::function<void()> m_done;
};

void reportPaint()
{
    std::printf("paint %lld %ld\n", static_cast<long long>(monotonicNs()), peakKb());
    std::fflush(stdout);
}

int runBare(int argc, char *argv[], bool idle)
{
    QApplication app(argc, argv);
    QMainWindow window;
    FirstPaint probe(&window, [idle] {
        if (idle) {
            reportIdleWakeups("bare_window");
            return;
        }
        reportPaint();
        QCoreApplication::exit(0);
    });
    window.showMaximized();
    return app.exec();
}

// The navigation texts of one round of page changes: every camera page, the chart page and
// back to the wall.
QStringList navigationTexts()
{
    QStringList texts;
    for (int n = 1; n <= MainWindow::CameraPageCount; ++n)
        texts << QStringLiteral("相机%1").arg(n);
    texts << QStringLiteral("图表") << QStringLiteral("相机");
    return texts;
}

// Changes the page once per text, each after the previous slide has settled, and prints the
// time from the click to the end of the incoming page's first paint.
class PageChanger : public QObject
{
public:
    explicit PageChanger(MainWindow *window) : m_window(window), m_texts(navigationTexts()) {}

    void next()
    {
        if (m_texts.isEmpty()) {
            std::printf("\n");
            std::fflush(stdout);
            QCoreApplication::exit(0);
            return;
        }
        const QString text = m_texts.takeFirst();
        QWidget *page = m_window->stackedWidget()->widget(MainWindow::pageIndexOf(text));
        const qint64 start = monotonicNs();
        m_probe.reset(new FirstPaint(page, [this, start] {
            std::printf(" %.2f", (monotonicNs() - start) / 1e6);
            QTimer::singleShot(SettleMs, this, [this] { next(); });
        }));
        emit m_window->sidePanel()->signalClicked(text);
    }

private:
    MainWindow *m_window;
    QStringList m_texts;
    std::unique_ptr<FirstPaint> m_probe;
};

enum class ConsoleRun {
    FirstPaint,  // prints the time and peak memory of the first paint
    PageChanges, // then changes pages (PageChanger)
    Timeline,    // prints milliseconds from the process's first line to the end of each stage
    Idle         // prints the wake-ups per second once everything is built
};

int runConsole(int argc, char *argv[], ConsoleRun run)
{
    QElapsedTimer clock;
    clock.start();
    auto mark = [&clock, run](const char *stage) {
        if (run == ConsoleRun::Timeline)
            std::printf("%s %.1f\n", stage, clock.nsecsElapsed() / 1e6);
    };
    // The same steps as the program's main, with a block name of its own so that a running
    // console is not disturbed.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setApplicationName(QStringLiteral("InspectionConsole"));
    UniqueApplication app(argc, argv, false, UniqueApplication::PerUser, 1000,
                          QStringLiteral("bench-%1").arg(QCoreApplication::applicationPid()));
    SetupConfig::instance()->setAppDir(QCoreApplication::applicationDirPath() +
                                       QStringLiteral("/../bin"));
    mark("application_and_configuration");
    MainObject mainObject;
    mark("windows_built");
    MainObject::applyTheme(SetupConfig::instance()->theme());
    mark("theme_applied");
    PageChanger changer(mainObject.mainWindow());
    QObject::connect(mainObject.mainWindow(), &MainWindow::fullyBuilt, [&mark, run] {
        mark("every_page_and_window_built");
        if (run == ConsoleRun::Timeline)
            QCoreApplication::exit(0);
        if (run == ConsoleRun::Idle)
            reportIdleWakeups("console");
    });
    FirstPaint probe(mainObject.mainWindow(), [&changer, &mark, run] {
        mark("first_paint");
        if (run == ConsoleRun::Timeline || run == ConsoleRun::Idle)
            return;
        if (run == ConsoleRun::PageChanges) {
            std::printf("pages");
            // The start slide ends first.
            QTimer::singleShot(SettleMs, &changer, [&changer] { changer.next(); });
            return;
        }
        if (run == ConsoleRun::FirstPaint)
            reportPaint();
        QCoreApplication::exit(0);
    });
    mainObject.showMainWindow();
    mark("shown_maximised");
    return app.exec();
}

// Milliseconds to build each part of the main window's pages and dock on its own, as at
// start-up (no style sheet yet); each part is built twice and the second time counts, so that
// first uses of fonts and styles are not charged to one part.
int runParts(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    SetupConfig::instance()->setAppDir(QCoreApplication::applicationDirPath() +
                                       QStringLiteral("/../bin"));
    QElapsedTimer clock;
    auto part = [&clock](const char *name, auto build) {
        build();
        clock.start();
        build();
        std::printf("%s %.1f\n", name, clock.nsecsElapsed() / 1e6);
    };
    part("camera_wall", [] { delete new CameraPanel; });
    part("sixteen_camera_pages", [] {
        QList<QWidget *> pages;
        for (int k = 0; k < MainWindow::CameraPageCount; ++k)
            pages << new CameraParam;
        qDeleteAll(pages);
    });
    part("chart_page", [] { delete new ChartPanel; });
    part("side_panel", [] { delete new SidePanel; });
    part("main_window_as_shown_first", [] { delete new MainWindow; });
    part("main_window_with_every_page", [] {
        auto *window = new MainWindow;
        for (int i = 0; i < window->stackedWidget()->count(); ++i)
            window->stackedWidget()->widget(i);
        delete window;
    });
    return 0;
}

// Runs the child in the mode several times and prints the median of each "name ms" line.
bool printMedians(const QString &program, const QString &mode, int runs, const char *unit = "ms")
{
    QStringList names;
    QMap<QString, std::vector<double>> values;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.start(program, {mode});
        if (!child.waitForFinished(120000) || child.exitCode() != 0)
            return false;
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        for (const QByteArray &line : lines) {
            const QList<QByteArray> parts = line.split(' ');
            const QString name = QString::fromLatin1(parts.value(0));
            if (!names.contains(name))
                names << name;
            values[name].push_back(parts.value(1).toDouble());
        }
    }
    for (const QString &name : qAsConst(names))
        std::printf("  %-32s %7.1f %s\n", qPrintable(name), median(values.value(name)), unit);
    return true;
}

struct Sample {
    double ms = 0;
    long kb = 0;
};

bool runChild(const QString &program, const QString &mode, Sample *sample)
{
    QProcess child;
    const qint64 start = monotonicNs();
    child.start(program, {mode});
    if (!child.waitForFinished(60000))
        return false;
    const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() != 3 || parts.at(0) != "paint")
        return false;
    sample->ms = (parts.at(1).toLongLong() - start) / 1e6;
    sample->kb = parts.at(2).toLong();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 2 && qstrcmp(argv[1], "--bare") == 0)
        return runBare(argc, argv, false);
    if (argc >= 2 && qstrcmp(argv[1], "--bare-idle") == 0)
        return runBare(argc, argv, true);
    if (argc >= 2 && qstrcmp(argv[1], "--idle") == 0)
        return runConsole(argc, argv, ConsoleRun::Idle);
    if (argc >= 2 && qstrcmp(argv[1], "--console") == 0)
        return runConsole(argc, argv, ConsoleRun::FirstPaint);
    if (argc >= 2 && qstrcmp(argv[1], "--pages") == 0)
        return runConsole(argc, argv, ConsoleRun::PageChanges);
    if (argc >= 2 && qstrcmp(argv[1], "--timeline") == 0)
        return runConsole(argc, argv, ConsoleRun::Timeline);
    if (argc >= 2 && qstrcmp(argv[1], "--parts") == 0)
        return runParts(argc, argv);

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    // The consoles' socket and lock files go to a folder that goes away with the benchmark.
    QTemporaryDir runtime;
    qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    std::vector<double> bareMs, consoleMs;
    std::vector<long> bareKb, consoleKb;
    for (int i = 0; i < Runs; ++i) {
        Sample bare, console;
        if (!runChild(self, QStringLiteral("--bare"), &bare) ||
            !runChild(self, QStringLiteral("--console"), &console)) {
            std::fprintf(stderr, "a child run failed\n");
            return 1;
        }
        bareMs.push_back(bare.ms);
        bareKb.push_back(bare.kb);
        consoleMs.push_back(console.ms);
        consoleKb.push_back(console.kb);
    }
    const double b = median(bareMs), c = median(consoleMs);
    std::printf("platform: %s, %d runs each\n", BenchSupport::platformName(), Runs);
    std::printf("start to first paint, bare QMainWindow: median %.1f ms\n", b);
    std::printf("start to first paint, console:          median %.1f ms (%.2f x bare)\n", c, c / b);
    std::printf("peak memory at first paint, bare:       median %ld kB\n", median(bareKb));
    std::printf("peak memory at first paint, console:    median %ld kB (%.2f x bare)\n",
                median(consoleKb), double(median(consoleKb)) / median(bareKb));

    // Page changes: one round over all pages per run.
    std::vector<double> changeMs;
    for (int i = 0; i < Runs / 3; ++i) {
        QProcess child;
        child.start(self, {QStringLiteral("--pages")});
        if (!child.waitForFinished(120000)) {
            std::fprintf(stderr, "a page-change run failed\n");
            return 1;
        }
        const QList<QByteArray> parts = child.readAllStandardOutput().simplified().split(' ');
        for (int k = 1; k < parts.size(); ++k)
            changeMs.push_back(parts.at(k).toDouble());
    }
    if (changeMs.empty()) {
        std::fprintf(stderr, "no page change measured\n");
        return 1;
    }
    std::printf(
        "page change, click to end of first frame: median %.1f ms, max %.1f ms (%zu changes)\n",
        median(changeMs), *std::max_element(changeMs.begin(), changeMs.end()), changeMs.size());

    std::printf("start-up of the console by stage, from the process's start (median):\n");
    if (!printMedians(self, QStringLiteral("--timeline"), Runs))
        return 1;
    std::printf("wake-ups per second while idle, everything built (median, %d ms each):\n", IdleMs);
    if (!printMedians(self, QStringLiteral("--bare-idle"), Runs / 3, "/s") ||
        !printMedians(self, QStringLiteral("--idle"), Runs / 3, "/s"))
        return 1;
    std::printf("construction of the window's parts, each on its own (median):\n");
    return printMedians(self, QStringLiteral("--parts"), Runs / 3) ? 0 : 1;
}
