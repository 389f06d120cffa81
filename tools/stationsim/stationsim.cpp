// A plausible inspection station on an MQTT broker: sixteen cameras publish verdicts at a set
// rate with a share of NG, the station publishes its counts and rates once a second and writes
// log lines. Verdicts, names, counts and rates are retained, so that a console that connects
// later sees the state at once.
//   stationsim [--host H] [--port P] [--prefix station] [--rate 5] [--ng-share 0.05]
//              [--duration S] [--count N] [--user U] [--cafile CA.crt] [--stamp] ...
// The password comes from the environment (STATIONSIM_PASSWORD), never from the command line,
// where other users could read it.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QStringList>

#include <mosquitto.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>

namespace
{

constexpr int CameraCount = 16;
constexpr int KeepAliveSeconds = 30;
constexpr qint64 NsPerSecond = 1000000000;
constexpr int SecondsPerMinute = 60;
constexpr int ConnectWaitMs = 10000;

const QStringList Reasons = {QStringLiteral("划痕"), QStringLiteral("缺角"),
                             QStringLiteral("污点"), QStringLiteral("尺寸超差"),
                             QStringLiteral("漏装"), QStringLiteral("字符不清")};
const QStringList Names = {
    QStringLiteral("顶面"), QStringLiteral("底面"), QStringLiteral("左侧"), QStringLiteral("右侧"),
    QStringLiteral("前端"), QStringLiteral("后端"), QStringLiteral("字符"), QStringLiteral("条码"),
    QStringLiteral("孔位"), QStringLiteral("边缘"), QStringLiteral("焊点"), QStringLiteral("涂层"),
    QStringLiteral("装配"), QStringLiteral("尺寸"), QStringLiteral("颜色"), QStringLiteral("包装")};

std::atomic<bool> stopRequested{false};
std::atomic<bool> connected{false};

void requestStop(int)
{
    stopRequested = true;
}

qint64 monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * NsPerSecond + ts.tv_nsec;
}

void sleepUntil(qint64 ns)
{
    timespec ts;
    ts.tv_sec = time_t(ns / NsPerSecond);
    ts.tv_nsec = long(ns % NsPerSecond);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR &&
           !stopRequested) {
    }
}

QByteArray isoNow()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    tm utc;
    gmtime_r(&ts.tv_sec, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  int(ts.tv_nsec / 1000000));
    return QByteArray(text);
}

// A JSON string literal of a text.
QByteArray quoted(const QString &text)
{
    QByteArray out("\"");
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

class Station
{
public:
    Station(mosquitto *mosq, const QString &prefix, int qos)
        : m_mosq(mosq), m_prefix(prefix.toUtf8()), m_qos(qos)
    {
    }

    bool publish(const QByteArray &leaf, const QByteArray &payload, bool retain)
    {
        const QByteArray topic = m_prefix + '/' + leaf;
        const int rc = mosquitto_publish(m_mosq, nullptr, topic.constData(), payload.size(),
                                         payload.constData(), m_qos, retain);
        if (rc == MOSQ_ERR_SUCCESS) {
            ++m_published;
            return true;
        }
        ++m_failed;
        return false;
    }

    void names()
    {
        for (int n = 1; n <= CameraCount; ++n)
            publish("camera/" + QByteArray::number(n) + "/name", Names.at(n - 1).toUtf8(), true);
    }

    void verdict(int camera, bool ng, const QString &reason)
    {
        QByteArray payload =
            R"({"verdict":")" + QByteArray(ng ? "NG" : "OK") + R"(","time":")" + isoNow() + '"';
        if (!reason.isEmpty())
            payload += ",\"reason\":" + quoted(reason);
        payload += '}';
        publish("camera/" + QByteArray::number(camera) + "/verdict", payload, true);
        ++(ng ? m_bad : m_good);
    }

    void log(const char *level, const QString &text)
    {
        publish("log",
                R"({"time":")" + isoNow() + R"(","level":")" + level + R"(","text":)" +
                    quoted(text) + '}',
                false);
    }

    // Counts and rates, in parts a minute: over the whole run and over the last second.
    void summary(qint64 sinceStartNs, qint64 partsLastSecond)
    {
        publish("counts",
                R"({"good":)" + QByteArray::number(m_good) + R"(,"bad":)" +
                    QByteArray::number(m_bad) + R"(,"unknown":0})",
                true);
        const double minutes = double(sinceStartNs) / NsPerSecond / SecondsPerMinute;
        const double average = minutes > 0 ? double(m_good + m_bad) / minutes : 0;
        publish("rate",
                R"({"average":)" + QByteArray::number(average, 'f', 1) + R"(,"instant":)" +
                    QByteArray::number(partsLastSecond * SecondsPerMinute) + '}',
                true);
    }

    qint64 parts() const { return m_good + m_bad; }
    qint64 published() const { return m_published; }
    qint64 failed() const { return m_failed; }

private:
    mosquitto *m_mosq;
    QByteArray m_prefix;
    int m_qos;
    qint64 m_good = 0;
    qint64 m_bad = 0;
    qint64 m_published = 0;
    qint64 m_failed = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("stationsim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Publishes a simulated inspection station."));
    parser.addHelpOption();
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Broker host."),
                                  QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Broker port."),
                                  QStringLiteral("port"), QStringLiteral("1883"));
    const QCommandLineOption prefix(QStringLiteral("prefix"), QStringLiteral("Topic prefix."),
                                    QStringLiteral("prefix"), QStringLiteral("station"));
    const QCommandLineOption rate(QStringLiteral("rate"),
                                  QStringLiteral("Verdicts a second, all cameras together."),
                                  QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption ngShare(QStringLiteral("ng-share"),
                                     QStringLiteral("Share of NG verdicts, 0 to 1."),
                                     QStringLiteral("share"), QStringLiteral("0.05"));
    const QCommandLineOption duration(QStringLiteral("duration"),
                                      QStringLiteral("Seconds to run; 0 runs until stopped."),
                                      QStringLiteral("s"), QStringLiteral("0"));
    const QCommandLineOption count(QStringLiteral("count"),
                                   QStringLiteral("Verdicts to publish; 0 for no limit."),
                                   QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption logEvery(QStringLiteral("log-every"),
                                      QStringLiteral("An information line every n verdicts; 0 "
                                                     "for none (NG verdicts always log)."),
                                      QStringLiteral("n"), QStringLiteral("50"));
    const QCommandLineOption user(QStringLiteral("user"),
                                  QStringLiteral("User name (password: STATIONSIM_PASSWORD)."),
                                  QStringLiteral("user"));
    const QCommandLineOption caFile(QStringLiteral("cafile"),
                                    QStringLiteral("Use TLS, trusting this authority."),
                                    QStringLiteral("file"));
    const QCommandLineOption qos(QStringLiteral("qos"), QStringLiteral("QoS of the messages."),
                                 QStringLiteral("0|1|2"), QStringLiteral("0"));
    const QCommandLineOption stamp(QStringLiteral("stamp"),
                                   QStringLiteral("Reason of every verdict: its monotonic "
                                                  "publish time in ns (for benchmarks)."));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("No log lines, counts or rates; verdicts only."));
    parser.addOptions({host, port, prefix, rate, ngShare, duration, count, logEvery, user, caFile,
                       qos, stamp, quiet});
    parser.process(app);

    const double verdictsPerSecond = parser.value(rate).toDouble();
    const double share = qBound(0.0, parser.value(ngShare).toDouble(), 1.0);
    const qint64 maxVerdicts = parser.value(count).toLongLong();
    const qint64 runNs = qint64(parser.value(duration).toDouble() * NsPerSecond);
    const int logInterval = parser.value(logEvery).toInt();
    if (verdictsPerSecond <= 0) {
        std::fprintf(stderr, "stationsim: --rate must be above 0\n");
        return 2;
    }

    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    mosquitto_lib_init();
    mosquitto *mosq = mosquitto_new(nullptr, true, nullptr);
    const QByteArray userName = parser.value(user).toUtf8();
    const QByteArray password = qgetenv("STATIONSIM_PASSWORD");
    if (!userName.isEmpty())
        mosquitto_username_pw_set(mosq, userName.constData(),
                                  password.isEmpty() ? nullptr : password.constData());
    const QByteArray ca = parser.value(caFile).toLocal8Bit();
    if (!ca.isEmpty())
        mosquitto_tls_set(mosq, ca.constData(), nullptr, nullptr, nullptr, nullptr);
    mosquitto_connect_callback_set(mosq, [](mosquitto *, void *, int rc) { connected = rc == 0; });
    mosquitto_disconnect_callback_set(mosq, [](mosquitto *, void *, int) { connected = false; });
    // The library's thread reconnects by itself when the broker goes away for a while.
    mosquitto_reconnect_delay_set(mosq, 1, 30, true);
    const QByteArray brokerHost = parser.value(host).toUtf8();
    int rc = mosquitto_connect_async(mosq, brokerHost.constData(), parser.value(port).toInt(),
                                     KeepAliveSeconds);
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_loop_start(mosq);
    if (rc != MOSQ_ERR_SUCCESS) {
        std::fprintf(stderr, "stationsim: cannot connect to %s:%s: %s\n", brokerHost.constData(),
                     qPrintable(parser.value(port)), mosquitto_strerror(rc));
        return 1;
    }
    const qint64 connectDeadline = monotonicNs() + qint64(ConnectWaitMs) * 1000000;
    while (!connected && !stopRequested && monotonicNs() < connectDeadline)
        sleepUntil(monotonicNs() + NsPerSecond / 100);
    if (!connected) {
        std::fprintf(stderr, "stationsim: the broker did not accept the connection\n");
        mosquitto_loop_stop(mosq, true);
        mosquitto_destroy(mosq);
        mosquitto_lib_cleanup();
        return 1;
    }

    Station station(mosq, parser.value(prefix), parser.value(qos).toInt());
    const bool verdictsOnly = parser.isSet(quiet);
    if (!verdictsOnly) {
        station.names();
        station.log("info", QStringLiteral("检测站启动，%1 台相机就绪").arg(CameraCount));
    }
    QRandomGenerator *random = QRandomGenerator::global();
    const qint64 start = monotonicNs();
    const double intervalNs = NsPerSecond / verdictsPerSecond;
    qint64 nextSummary = start + NsPerSecond;
    qint64 partsAtSummary = 0;
    for (qint64 i = 0; !stopRequested; ++i) {
        if (maxVerdicts > 0 && i >= maxVerdicts)
            break;
        const qint64 due = start + qint64(double(i) * intervalNs);
        if (runNs > 0 && due - start >= runNs)
            break;
        if (monotonicNs() < due)
            sleepUntil(due);
        const int camera = int(i % CameraCount) + 1;
        const bool ng = random->generateDouble() < share;
        QString reason;
        if (parser.isSet(stamp))
            reason = QString::number(monotonicNs());
        else if (ng)
            reason = Reasons.at(random->bounded(Reasons.size()));
        station.verdict(camera, ng, reason);
        if (verdictsOnly)
            continue;
        if (ng)
            station.log("warning", QStringLiteral("相机%1 判定 NG：%2").arg(camera).arg(reason));
        if (logInterval > 0 && (i + 1) % logInterval == 0)
            station.log("info", QStringLiteral("已检测 %1 件").arg(i + 1));
        const qint64 now = monotonicNs();
        if (now >= nextSummary) {
            station.summary(now - start, station.parts() - partsAtSummary);
            partsAtSummary = station.parts();
            nextSummary = now + NsPerSecond;
        }
    }
    if (!verdictsOnly) {
        station.summary(monotonicNs() - start, station.parts() - partsAtSummary);
        station.log("info", QStringLiteral("检测站停止"));
    }
    const double seconds = double(monotonicNs() - start) / NsPerSecond;
    std::fprintf(stderr, "stationsim: %lld messages in %.1f s (%lld not sent)\n",
                 static_cast<long long>(station.published()), seconds,
                 static_cast<long long>(station.failed()));
    mosquitto_disconnect(mosq);
    mosquitto_loop_stop(mosq, false);
    mosquitto_destroy(mosq);
    mosquitto_lib_cleanup();
    return 0;
}
