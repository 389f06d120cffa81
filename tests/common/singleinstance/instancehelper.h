#pragma once

// The single-instance tests' side of helper_uniqueapp: the helper process, started with
// arguments and read line by line while this process's event loop keeps running, and the
// arguments and block names of a group of helpers apart from the test process.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStringList>
#include <QtTest>

#include "common/singleinstance/blockname.h"
#include "common/singleinstance/platformuser.h"
#include "common/singleinstance/uniqueapplication.h"

namespace
{

constexpr int Wait = 30000;          // generous: ASan builds on a busy machine
constexpr int HelperTimeout = 20000; // the guard's own timeout inside the helpers
const char *const HelperAppName = "uniqueapp-helper";

inline QString uniqueText(const char *prefix)
{
    static int counter = 0;
    return QStringLiteral("%1-%2-%3-%4")
        .arg(QLatin1String(prefix))
        .arg(QCoreApplication::applicationPid())
        .arg(++counter)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// A helper process and what it said.
class Helper
{
public:
    // launcher: a command that runs the helper, such as one that changes the user.
    explicit Helper(
        const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
        const QStringList &launcher = QStringList())
    {
        const QStringList command = QStringList(launcher)
                                    << QStringLiteral(TEST_HELPER_DIR "/helper_uniqueapp")
                                    << arguments;
        m_process.setProgram(command.first());
        m_process.setArguments(command.mid(1));
        m_process.setProcessEnvironment(environment);
        m_process.start();
    }

    ~Helper()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("quit\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(Wait))
            m_process.kill();
        m_process.waitForFinished(Wait);
    }

    QProcess &process() { return m_process; }
    qint64 pid() const { return m_process.processId(); }

    QStringList lines()
    {
        m_output += m_process.readAllStandardOutput();
        m_errors += m_process.readAllStandardError();
        return QString::fromUtf8(m_output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    int count(const QString &line) { return lines().count(line); }

    QString lineStartingWith(const QString &prefix)
    {
        const QStringList all = lines();
        for (const QString &line : all) {
            if (line.startsWith(prefix))
                return line;
        }
        return QString();
    }

    // Both give up early once the process has ended without saying it.
    bool waitForLineStartingWith(const QString &prefix)
    {
        waitUntil([&] { return !lineStartingWith(prefix).isEmpty() || ended(); });
        return !lineStartingWith(prefix).isEmpty();
    }

    bool waitForCount(const QString &line, int expected)
    {
        waitUntil([&] { return count(line) >= expected || ended(); });
        return count(line) >= expected;
    }

    bool ended() const { return m_process.state() == QProcess::NotRunning; }

    bool waitForExit()
    {
        const bool done = waitUntil([&] { return ended(); });
        lines();
        return done;
    }

    bool exitedCleanly()
    {
        return ended() && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0;
    }

    void quit()
    {
        m_process.write("quit\n");
        m_process.closeWriteChannel();
    }

    QByteArray errors()
    {
        lines();
        return m_errors;
    }

    QByteArray describe()
    {
        lines();
        return "stdout: " + m_output + "\nstderr: " + m_errors;
    }

    // The event loop keeps running while waiting: this process may be the primary in question.
    template <typename Condition>
    static bool waitUntil(Condition condition, int timeout = Wait)
    {
        return QTest::qWaitFor(condition, timeout);
    }

private:
    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errors;
};

// Arguments for helpers that make up a group of their own, apart from this process.
inline QStringList groupArguments(const QString &extra,
                                  UniqueApplication::Mode mode = UniqueApplication::PerUser |
                                                                 UniqueApplication::IgnoreAppPath)
{
    return {QStringLiteral("--app-name"), QLatin1String(HelperAppName),  QStringLiteral("--mode"),
            QString::number(int(mode)),   QStringLiteral("--extra"),     extra,
            QStringLiteral("--timeout"),  QString::number(HelperTimeout)};
}

inline QString groupBlockName(const QString &extra,
                              const QString &userName = PlatformUser::currentUserName())
{
    BlockIdentity identity;
    identity.applicationName = QLatin1String(HelperAppName);
    identity.extraHashData = QStringList(extra);
    identity.userName = userName;
    identity.applicationFilePath = QStringLiteral("unused with IgnoreAppPath");
    return BlockName::compute(identity,
                              UniqueApplication::PerUser | UniqueApplication::IgnoreAppPath);
}

// Helpers given this keep their files in "runtime-<user>" under the temporary folder given.
inline QProcessEnvironment withTemporaryFolder(const QString &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), folder);
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    return environment;
}

} // namespace
