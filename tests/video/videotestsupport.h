#pragma once

// Shared by the video tests: the test RTSP server as a child process, servers on 127.0.0.1
// that misbehave, and the colour of a picture.
#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <memory>

#include "video/gstruntime.h"

namespace VideoTest
{

// tools/rtspserver, on 127.0.0.1; started again on the port it had, so that a channel finds it
// where it was.
class RtspServer
{
public:
    explicit RtspServer(const QStringList &arguments) : m_arguments(arguments) {}
    ~RtspServer() { stop(SIGKILL); }

    bool start()
    {
        // The port can still be held by the server that just went; each try waits for the
        // child to say where it listens or to give up.
        for (int attempt = 0; attempt < 20; ++attempt) {
            m_process.reset(new QProcess);
            QStringList arguments = m_arguments;
            arguments << QStringLiteral("--port") << QString::number(m_port);
            m_process->start(QStringLiteral(TEST_RTSP_SERVER), arguments);
            while (m_process->waitForReadyRead(20000)) {
                const QByteArray line = m_process->readLine().trimmed();
                if (line.startsWith("PORT ")) {
                    m_port = line.mid(5).toInt();
                    return true;
                }
            }
            m_process->waitForFinished();
            QTest::qWait(250);
        }
        return false;
    }

    void stop(int signal)
    {
        if (!m_process || m_process->state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_process->processId()), signal);
        if (signal != SIGSTOP)
            m_process->waitForFinished();
    }

    void resume() { ::kill(pid_t(m_process->processId()), SIGCONT); }

    QString url(int stream, const QString &user = QString()) const
    {
        const QString userPart = user.isEmpty() ? QString() : user + QLatin1Char('@');
        return QStringLiteral("rtsp://") + userPart +
               QStringLiteral("127.0.0.1:%1/stream%2").arg(m_port).arg(stream);
    }

private:
    QStringList m_arguments;
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
};

// Accepts connections on 127.0.0.1 and never says a word.
class SilentServer : public QTcpServer
{
public:
    SilentServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                socket->setParent(this);
        });
    }
    QString url() const { return QStringLiteral("rtsp://127.0.0.1:%1/stream1").arg(serverPort()); }
};

// An MJPEG camera on 127.0.0.1: a multipart HTTP answer with one JPEG picture of one colour
// every 40 ms.
class MjpegServer : public QTcpServer
{
public:
    explicit MjpegServer(const QColor &color)
    {
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(color);
        QBuffer buffer(&m_jpeg);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPEG");
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                socket->setParent(this);
                socket->write("HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace; "
                              "boundary=frame\r\n\r\n");
                auto *timer = new QTimer(socket);
                connect(timer, &QTimer::timeout, socket, [this, socket] {
                    socket->write("--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                                  QByteArray::number(m_jpeg.size()) + "\r\n\r\n" + m_jpeg + "\r\n");
                });
                timer->start(40);
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/video").arg(serverPort()); }

private:
    QByteArray m_jpeg;
};

// A port on 127.0.0.1 where nothing listens.
inline int closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

// Whether the colour is the expected one within what H.264 and JPEG make of a flat colour.
inline bool looksLike(const QColor &seen, const QColor &expected)
{
    constexpr int Tolerance = 48;
    return qAbs(seen.red() - expected.red()) <= Tolerance &&
           qAbs(seen.green() - expected.green()) <= Tolerance &&
           qAbs(seen.blue() - expected.blue()) <= Tolerance;
}

inline QColor centreOf(const QImage &image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace VideoTest
