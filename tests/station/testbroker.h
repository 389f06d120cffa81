#pragma once

// A real Mosquitto broker for a test: its own configuration file in a temporary folder, a free
// port on 127.0.0.1, optional password file and TLS files made at test time, started and
// stopped by the test. Publishing goes through mosquitto_pub, as a station's tool would.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class TestBroker
{
public:
    static constexpr int StartAttempts = 5;
    static constexpr int ProcessWaitMs = 30000;

    TestBroker() = default;
    ~TestBroker() { stop(); }
    Q_DISABLE_COPY(TestBroker)

    QString folder() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    int port() const { return m_port; }
    QString url() const
    {
        return QStringLiteral("%1://127.0.0.1:%2").arg(m_tls ? "mqtts" : "mqtt").arg(m_port);
    }
    QString log() const { return QString::fromUtf8(m_log); }

    // Only this user with this password may connect.
    bool requirePassword(const QString &user, const QString &password)
    {
        m_passwordFile = path(QStringLiteral("passwd"));
        return run(QStringLiteral("mosquitto_passwd"),
                   {QStringLiteral("-b"), QStringLiteral("-c"), m_passwordFile, user, password});
    }

    // A certificate authority of that name: <name>.crt and <name>.key in the folder.
    bool makeAuthority(const QString &name)
    {
        return run(QStringLiteral("openssl"),
                   {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                    QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                    QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                    QStringLiteral("-keyout"), path(name + QStringLiteral(".key")),
                    QStringLiteral("-out"), path(name + QStringLiteral(".crt")),
                    QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=") + name});
    }

    // Serves TLS with a certificate the authority signs for the given subject names
    // ("IP:127.0.0.1,DNS:localhost").
    bool useTls(const QString &authority, const QString &subjectNames)
    {
        const QString key = path(QStringLiteral("server.key"));
        const QString request = path(QStringLiteral("server.csr"));
        const QString extensions = path(QStringLiteral("server.ext"));
        QFile ext(extensions);
        if (!ext.open(QIODevice::WriteOnly) ||
            ext.write("subjectAltName=" + subjectNames.toUtf8() + '\n') <= 0)
            return false;
        ext.close();
        m_tls = true;
        m_authority = path(authority + QStringLiteral(".crt"));
        return run(QStringLiteral("openssl"),
                   {QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                    QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                    QStringLiteral("-nodes"), QStringLiteral("-keyout"), key,
                    QStringLiteral("-out"), request, QStringLiteral("-subj"),
                    QStringLiteral("/CN=broker")}) &&
               run(QStringLiteral("openssl"),
                   {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), request,
                    QStringLiteral("-CA"), m_authority, QStringLiteral("-CAkey"),
                    path(authority + QStringLiteral(".key")), QStringLiteral("-CAcreateserial"),
                    QStringLiteral("-out"), path(QStringLiteral("server.crt")),
                    QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-extfile"),
                    extensions});
    }

    // Starts the broker; on the same port as before when it ran already. True once it listens.
    bool start()
    {
        for (int attempt = 0; attempt < StartAttempts; ++attempt) {
            if (m_port == 0 || attempt > 0)
                m_port = freePort();
            if (startOnce())
                return true;
            if (m_keepPort)
                return false;
        }
        return false;
    }

    // Stops it and starts it again on the same port.
    bool restart()
    {
        stop();
        m_keepPort = true;
        const bool started = start();
        m_keepPort = false;
        return started;
    }

    void stop()
    {
        if (!m_process)
            return;
        m_process->terminate();
        if (!m_process->waitForFinished(ProcessWaitMs))
            m_process->kill();
        m_process->waitForFinished(ProcessWaitMs);
        m_log += m_process->readAll();
        delete m_process;
        m_process = nullptr;
    }

    // Publishes one message; extra arguments for credentials or TLS.
    bool publish(const QString &topic, const QByteArray &payload, bool retain = false,
                 const QStringList &extra = QStringList()) const
    {
        QStringList args = connectionArguments() + extra;
        args << QStringLiteral("-t") << topic << QStringLiteral("-m") << QString::fromUtf8(payload);
        if (retain)
            args << QStringLiteral("-r");
        return run(QStringLiteral("mosquitto_pub"), args);
    }

    // Publishes one message per line of the input, as fast as the tool can.
    bool publishLines(const QString &topic, const QByteArray &lines,
                      const QStringList &extra = QStringList()) const
    {
        QStringList args = connectionArguments() + extra;
        args << QStringLiteral("-t") << topic << QStringLiteral("-l");
        return run(QStringLiteral("mosquitto_pub"), args, lines);
    }

    QStringList connectionArguments() const
    {
        QStringList args{QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                         QString::number(m_port)};
        if (m_tls)
            args << QStringLiteral("--cafile") << m_authority;
        return args;
    }

    static bool run(const QString &program, const QStringList &args,
                    const QByteArray &input = QByteArray())
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, args);
        if (!process.waitForStarted(ProcessWaitMs))
            return false;
        if (!input.isEmpty())
            process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(ProcessWaitMs) || process.exitCode() != 0) {
            qWarning().noquote() << program << args.join(QLatin1Char(' '))
                                 << "failed:" << process.readAll();
            return false;
        }
        return true;
    }

private:
    static int freePort()
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        return server.serverPort();
    }

    QString writeConfig() const
    {
        QString config = QStringLiteral("listener %1 127.0.0.1\n"
                                        "persistence false\n"
                                        // Unbuffered: the line that says it runs comes at once.
                                        "log_dest stderr\n")
                             .arg(m_port);
        // Run as root, the broker would change to a user "mosquitto" that cannot read the
        // folder.
        if (::geteuid() == 0)
            config += QStringLiteral("user root\n");
        if (m_passwordFile.isEmpty())
            config += QStringLiteral("allow_anonymous true\n");
        else
            config +=
                QStringLiteral("allow_anonymous false\npassword_file %1\n").arg(m_passwordFile);
        if (m_tls)
            config += QStringLiteral("cafile %1\ncertfile %2\nkeyfile %3\n")
                          .arg(m_authority, path(QStringLiteral("server.crt")),
                               path(QStringLiteral("server.key")));
        const QString file = path(QStringLiteral("mosquitto.conf"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(config.toUtf8()) <= 0)
            return QString();
        return file;
    }

    bool startOnce()
    {
        const QString config = writeConfig();
        if (config.isEmpty())
            return false;
        const QString program = QStandardPaths::findExecutable(
            QStringLiteral("mosquitto"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"),
                                          QStringLiteral("/usr/local/sbin")});
        m_process = new QProcess;
        m_process->setProcessChannelMode(QProcess::MergedChannels);
        m_process->start(program, {QStringLiteral("-c"), config});
        // Listening once it says it runs; gone when the port was taken meanwhile.
        QByteArray said;
        while (!said.contains(" running")) {
            if (!m_process->waitForReadyRead(ProcessWaitMs))
                break;
            said += m_process->readAll();
        }
        m_log += said;
        if (said.contains(" running"))
            return true;
        stop();
        return false;
    }

    QTemporaryDir m_dir;
    QProcess *m_process = nullptr;
    QByteArray m_log;
    int m_port = 0;
    bool m_keepPort = false;
    bool m_tls = false;
    QString m_authority;
    QString m_passwordFile;
};
