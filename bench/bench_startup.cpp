// Start-up to first paint: the console's maximised main window against a bare QMainWindow shown
// maximised, each started as a fresh process, interleaved, several runs each. Also the peak
// resident memory (VmHWM) of both at their first paint.
#include <QApplication>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include "benchsupport.h"
#include "common/config/setupconfig.h"
#include "common/singleinstance/uniqueapplication.h"
#include "mainobject.h"
#include "ui/mainwindow/mainwindow.h"

using BenchSupport::median;
using BenchSupport::monotonicNs;
using BenchSupport::peakKb;

namespace {

constexpr int Runs = 9;

// Reports once, after the first paint pass of the watched window has finished.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QWidget *window) : m_window(window) { qApp->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_done && event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == m_window) {
            m_done = true;
            QTimer::singleShot(0, qApp, [] {
                std::printf("paint %lld %ld\n", static_cast<long long>(monotonicNs()), peakKb());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_done = false;
};

int runBare(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    FirstPaint probe(&window);
    window.showMaximized();
    return app.exec();
}

int runConsole(int argc, char *argv[])
{
    // The same steps as the program's main, with a block name of its own so that a running
    // console is not disturbed.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setApplicationName(QStringLiteral("InspectionConsole"));
    UniqueApplication app(argc, argv, false, UniqueApplication::PerUser, 1000,
                          QStringLiteral("bench-%1").arg(QCoreApplication::applicationPid()));
    SetupConfig::instance()->setAppDir(QCoreApplication::applicationDirPath()
                                       + QStringLiteral("/../bin"));
    MainObject mainObject;
    MainObject::applyTheme(SetupConfig::instance()->theme());
    FirstPaint probe(mainObject.mainWindow());
    mainObject.showMainWindow();
    return app.exec();
}

struct Sample
{
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
        return runBare(argc, argv);
    if (argc >= 2 && qstrcmp(argv[1], "--console") == 0)
        return runConsole(argc, argv);

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    // The consoles' socket and lock files go to a folder that goes away with the benchmark.
    QTemporaryDir runtime;
    qputenv("TMPDIR", QFile::encodeName(runtime.path()));
    std::vector<double> bareMs, consoleMs;
    std::vector<long> bareKb, consoleKb;
    for (int i = 0; i < Runs; ++i) {
        Sample bare, console;
        if (!runChild(self, QStringLiteral("--bare"), &bare)
            || !runChild(self, QStringLiteral("--console"), &console)) {
            std::fprintf(stderr, "a child run failed\n");
            return 1;
        }
        bareMs.push_back(bare.ms);
        bareKb.push_back(bare.kb);
        consoleMs.push_back(console.ms);
        consoleKb.push_back(console.kb);
    }
    const double b = median(bareMs), c = median(consoleMs);
    std::printf("platform: %s, %d runs each\n", qgetenv("QT_QPA_PLATFORM").isEmpty()
                                                    ? "default" : qgetenv("QT_QPA_PLATFORM").constData(),
                Runs);
    std::printf("start to first paint, bare QMainWindow: median %.1f ms\n", b);
    std::printf("start to first paint, console:          median %.1f ms (%.2f x bare)\n", c, c / b);
    std::printf("peak memory at first paint, bare:       median %ld kB\n", median(bareKb));
    std::printf("peak memory at first paint, console:    median %ld kB\n", median(consoleKb));
    return 0;
}
