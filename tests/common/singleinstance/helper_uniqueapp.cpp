// A program that runs the single-instance guard in a real process for the tests, and says on
// stdout, one line each, what became of it: "primary <pid>", "secondary <id> <primary pid>",
// "unguarded", "instanceStarted", "message <id> <size> <sha1>", "sent <true|false>", "locked".
// A primary or an unguarded instance (or a secondary given --stay) runs until a line "quit" or
// the end of its standard input, or until --deadline has passed. --max-files lowers its limit
// of open files.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>
#include <unistd.h>

#include "common/singleinstance/blockfilelock.h"
#include "common/singleinstance/blockname.h"
#include "common/singleinstance/runtimefolder.h"
#include "common/singleinstance/uniqueapplication.h"

namespace
{

constexpr int DefaultDeadline = 120000;
constexpr int StdinChunk = 256;

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The same bytes the tests expect: a message of a given size without any repetition in the
// first 256 bytes.
QByteArray patternMessage(int size)
{
    QByteArray message(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        message[i] = char((i * 131 + 7) & 0xFF);
    return message;
}

struct Options {
    QString extra;
    UniqueApplication::Mode mode = UniqueApplication::PerUser;
    int timeout = UniqueApplication::DefaultTimeout;
    bool allowSecondary = false;
    bool stay = false;
    bool holdLock = false;
    int sendSize = -1;
    int sendCount = 1;
    int sendTimeout = UniqueApplication::DefaultTimeout;
    int deadline = DefaultDeadline;
    rlim_t maxFiles = 0;
};

// Parsed before any application object exists: the guard has to be the first one.
Options parseOptions(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    const QCommandLineOption extra(QStringLiteral("extra"), QString(), QStringLiteral("text"));
    const QCommandLineOption mode(QStringLiteral("mode"), QString(), QStringLiteral("flags"));
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(), QStringLiteral("ms"));
    const QCommandLineOption allowSecondary(QStringLiteral("allow-secondary"));
    const QCommandLineOption stay(QStringLiteral("stay"));
    const QCommandLineOption holdLock(QStringLiteral("hold-lock"));
    const QCommandLineOption appName(QStringLiteral("app-name"), QString(), QStringLiteral("n"));
    const QCommandLineOption appVersion(QStringLiteral("app-version"), QString(),
                                        QStringLiteral("v"));
    const QCommandLineOption send(QStringLiteral("send"), QString(), QStringLiteral("bytes"));
    const QCommandLineOption sendCount(QStringLiteral("send-count"), QString(),
                                       QStringLiteral("n"));
    const QCommandLineOption sendTimeout(QStringLiteral("send-timeout"), QString(),
                                         QStringLiteral("ms"));
    const QCommandLineOption deadline(QStringLiteral("deadline"), QString(), QStringLiteral("ms"));
    const QCommandLineOption maxFiles(QStringLiteral("max-files"), QString(), QStringLiteral("n"));
    parser.addOptions({extra, mode, timeout, allowSecondary, stay, holdLock, appName, appVersion,
                       send, sendCount, sendTimeout, deadline, maxFiles});
    parser.parse(arguments);

    Options options;
    options.extra = parser.value(extra);
    if (parser.isSet(mode))
        options.mode = UniqueApplication::Mode(parser.value(mode).toInt());
    if (parser.isSet(timeout))
        options.timeout = parser.value(timeout).toInt();
    options.allowSecondary = parser.isSet(allowSecondary);
    options.stay = parser.isSet(stay);
    options.holdLock = parser.isSet(holdLock);
    if (parser.isSet(send))
        options.sendSize = parser.value(send).toInt();
    if (parser.isSet(sendCount))
        options.sendCount = parser.value(sendCount).toInt();
    if (parser.isSet(sendTimeout))
        options.sendTimeout = parser.value(sendTimeout).toInt();
    if (parser.isSet(deadline))
        options.deadline = parser.value(deadline).toInt();
    if (parser.isSet(maxFiles))
        options.maxFiles = parser.value(maxFiles).toULong();
    if (parser.isSet(appName))
        QCoreApplication::setApplicationName(parser.value(appName));
    if (parser.isSet(appVersion))
        QCoreApplication::setApplicationVersion(parser.value(appVersion));
    return options;
}

void quitOnStdinEnd(int deadline)
{
    auto *notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier] {
        char buffer[StdinChunk];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof(buffer));
        if (got <= 0 || QByteArray(buffer, int(got)).contains("quit")) {
            notifier->setEnabled(false);
            QCoreApplication::quit();
        }
    });
    QTimer::singleShot(deadline, qApp, &QCoreApplication::quit);
}

// Takes the guard's lock file and keeps it until the process is killed (or the deadline passes).
int holdLock(int argc, char *argv[], const Options &options)
{
    QCoreApplication app(argc, argv);
    const QStringList extra = options.extra.isEmpty() ? QStringList() : QStringList(options.extra);
    const QString name = BlockName::compute(BlockName::applicationIdentity(extra), options.mode);
    BlockFileLock lock(BlockName::serverPath(RuntimeFolder::locate(), name));
    if (!lock.lock())
        return 3;
    say("locked");
    QThread::msleep(static_cast<unsigned long>(options.deadline));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const Options options = parseOptions(argc, argv);
    if (options.maxFiles > 0) {
        rlimit limit{};
        getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = options.maxFiles;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    if (options.holdLock)
        return holdLock(argc, argv, options);

    UniqueApplication app(argc, argv, options.allowSecondary, options.mode, options.timeout,
                          options.extra);
    // Secondaries are numbered from 1.
    const bool unguarded = app.isSecondaryInstance() && app.instanceId() == 0;
    if (app.isPrimaryInstance())
        say("primary " + QByteArray::number(QCoreApplication::applicationPid()));
    else if (unguarded)
        say("unguarded");
    else
        say("secondary " + QByteArray::number(app.instanceId()) + ' ' +
            QByteArray::number(app.primaryProcessId()));

    QObject::connect(&app, &UniqueApplication::instanceStarted, [] { say("instanceStarted"); });
    QObject::connect(
        &app, &UniqueApplication::receivedMessage, [](quint32 id, const QByteArray &message) {
            say("message " + QByteArray::number(id) + ' ' + QByteArray::number(message.size()) +
                ' ' + QCryptographicHash::hash(message, QCryptographicHash::Sha1).toHex());
        });

    for (int i = 0; options.sendSize >= 0 && i < options.sendCount; ++i) {
        const bool sent =
            app.sendMessageToPrimary(patternMessage(options.sendSize), options.sendTimeout);
        say(sent ? "sent true" : "sent false");
    }

    if (app.isSecondaryInstance() && !unguarded && !options.stay)
        return 0;
    quitOnStdinEnd(options.deadline);
    return app.exec();
}
