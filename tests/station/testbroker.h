#pragma once

// A real Mosquitto broker for a test: its own configuration file in a temporary folder, a free
// port on 127.0.0.1, optionally a password file and TLS files made at test time. Publishing
// goes through mosquitto_pub, as a station's tool would.
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QtTest>

#include <unistd.h>

#include "../testsupport.h"

class TestBroker
{
public:
    static constexpr int WaitMs = 30000;

    ~TestBroker() { stop(); }

    QString folder() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    int port() const { return m_port; }
    QString url() const
    {
        return QStringLiteral("%1://127.0.0.1:%2").arg(m_tls ? "mqtts" : "mqtt").arg(m_port);
    }

    // Only this user with this password may connect.
    bool requirePassword(const QString &user, const QString &password)
    {
        m_config += QStringLiteral("password_file %1\n").arg(path(QStringLiteral("passwd")));
        return run(QStringLiteral("mosquitto_passwd"),
                   {"-b", "-c", path(QStringLiteral("passwd")), user, password});
    }

    // A certificate authority: <name>.crt and <name>.key in the folder.
    bool makeAuthority(const QString &name)
    {
        return openssl(QStringLiteral("req -x509 -days 1 -subj /CN=%1 -keyout %2.key -out %2.crt")
                           .arg(name, path(name)));
    }

    // Serves TLS with a certificate the authority signs for these subject names
    // ("IP:127.0.0.1", "DNS:host").
    bool useTls(const QString &authority, const QString &subjectNames)
    {
        m_tls = true;
        m_authority = path(authority + QStringLiteral(".crt"));
        m_config += QStringLiteral("cafile %1\ncertfile %2.crt\nkeyfile %2.key\n")
                        .arg(m_authority, path(QStringLiteral("server")));
        return TestSupport::writeFile(path(QStringLiteral("ext")),
                                      "subjectAltName=" + subjectNames.toUtf8()) &&
               openssl(QStringLiteral("req -subj /CN=broker -keyout %1.key -out %1.csr")
                           .arg(path(QStringLiteral("server")))) &&
               run(QStringLiteral("openssl"),
                   QStringLiteral("x509 -req -days 1 -CAcreateserial -in %1.csr -out %1.crt -CA "
                                  "%2 -CAkey %3.key -extfile %4")
                       .arg(path(QStringLiteral("server")), m_authority, path(authority),
                            path(QStringLiteral("ext")))
                       .split(QLatin1Char(' ')));
    }

    // Starts the broker, on the port it had when it ran before; true once it listens.
    bool start()
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (m_port == 0) {
                QTcpServer probe;
                probe.listen(QHostAddress::LocalHost, 0);
                m_port = probe.serverPort();
            }
            if (startOnce())
                return true;
            m_port = m_keepPort ? m_port : 0;
        }
        return false;
    }

    bool restart()
    {
        stop();
        m_keepPort = true;
        return start();
    }

    void stop()
    {
        if (!m_process)
            return;
        m_process->terminate();
        m_process->waitForFinished(WaitMs);
        delete m_process;
        m_process = nullptr;
    }

    // One message, or one per line of the lines when there are any (mosquitto_pub -l).
    bool publish(const QString &topic, const QByteArray &payload, bool retain = false,
                 const QStringList &extra = {}, const QByteArray &lines = {}) const
    {
        QStringList args{"-h", "127.0.0.1", "-p", QString::number(m_port), "-t", topic};
        if (m_tls)
            args << "--cafile" << m_authority;
        args << extra;
        args << (lines.isEmpty() ? QStringList{"-m", QString::fromUtf8(payload)}
                                 : QStringList{"-l"});
        if (retain)
            args << "-r";
        return run(QStringLiteral("mosquitto_pub"), args, lines);
    }

    static bool run(const QString &program, const QStringList &args, const QByteArray &input = {})
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, args);
        process.write(input);
        process.closeWriteChannel();
        if (process.waitForFinished(WaitMs) && process.exitCode() == 0)
            return true;
        qWarning().noquote() << program << args << "failed:" << process.readAll();
        return false;
    }

private:
    bool openssl(const QString &request)
    {
        return run(QStringLiteral("openssl"),
                   QStringLiteral("%1 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes")
                       .arg(request)
                       .split(QLatin1Char(' ')));
    }

    bool startOnce()
    {
        // Run as root, the broker would change to a user that cannot read the folder. Its log
        // goes to the unbuffered standard error, so that the line saying it runs comes at once.
        const QString config =
            QStringLiteral("listener %1 127.0.0.1\npersistence false\nlog_dest stderr\n%2%3%4")
                .arg(m_port)
                .arg(::geteuid() == 0 ? "user root\n" : "",
                     m_config.contains("password_file") ? "" : "allow_anonymous true\n", m_config);
        if (!TestSupport::writeFile(path(QStringLiteral("mosquitto.conf")), config.toUtf8()))
            return false;
        m_process = new QProcess;
        m_process->setProcessChannelMode(QProcess::MergedChannels);
        m_process->start(
            QStandardPaths::findExecutable(QStringLiteral("mosquitto"), {"/usr/sbin", "/usr/bin"}),
            {"-c", path(QStringLiteral("mosquitto.conf"))});
        // Gone without that line when the port was taken meanwhile.
        QByteArray said;
        while (!said.contains(" running") && m_process->waitForReadyRead(WaitMs))
            said += m_process->readAll();
        if (said.contains(" running"))
            return true;
        stop();
        return false;
    }

    QTemporaryDir m_dir;
    QProcess *m_process = nullptr;
    QString m_config;
    QString m_authority;
    int m_port = 0;
    bool m_keepPort = false;
    bool m_tls = false;
};
