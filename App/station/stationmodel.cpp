#include "stationmodel.h"

#include <QDebug>

StationModel::StationModel(const QString &topicPrefix, QObject *parent)
    : QObject(parent), m_topicPrefix(topicPrefix)
{
    // For receivers on other threads, such as one that keeps the picture of every NG verdict.
    qRegisterMetaType<StationMessage::Verdict>();
    m_announceTimer.setSingleShot(true);
    connect(&m_announceTimer, &QTimer::timeout, this, &StationModel::announce);
    m_sinceAnnouncement.start();
}

StationModel::Camera StationModel::camera(int n) const
{
    return n >= 1 && n <= CameraCount ? m_cameras[size_t(n - 1)] : Camera();
}

QStringList StationModel::logLines() const
{
    QStringList lines;
    lines.reserve(int(m_log.size()));
    for (const QString &line : m_log)
        lines.append(line);
    return lines;
}

QString StationModel::formatLogLine(const QDateTime &time, StationMessage::Level level,
                                    const QString &text)
{
    QString word;
    switch (level) {
    case StationMessage::Info:
        word = tr("信息");
        break;
    case StationMessage::Warning:
        word = tr("警告");
        break;
    case StationMessage::Error:
        word = tr("错误");
        break;
    }
    return QStringLiteral("%1 %2 %3")
        .arg(time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss.zzz")), word, text);
}

void StationModel::handleMessage(const QString &topic, const QByteArray &payload)
{
    const StationMessage message = StationMessage::parse(m_topicPrefix, topic, payload);
    if (message.kind == StationMessage::Rejected) {
        reject(topic, message.fault);
        return;
    }
    apply(message);
}

void StationModel::apply(const StationMessage &message)
{
    const QDateTime time = message.time.isValid() ? message.time : QDateTime::currentDateTime();
    switch (message.kind) {
    case StationMessage::Rejected:
        return;
    case StationMessage::CameraVerdict: {
        Camera &camera = m_cameras[size_t(message.camera - 1)];
        camera.verdict = message.verdict;
        camera.time = time;
        camera.reason = message.text;
        m_changedCameras |= 1u << (message.camera - 1);
        emit verdictReceived(message.camera, message.verdict, time, message.text);
        break;
    }
    case StationMessage::CameraName: {
        Camera &camera = m_cameras[size_t(message.camera - 1)];
        if (camera.name == message.text)
            break;
        camera.name = message.text;
        m_changedCameras |= 1u << (message.camera - 1);
        break;
    }
    case StationMessage::Counts:
        m_counts = {true, message.good, message.bad, message.unknown};
        m_countsChanged = true;
        break;
    case StationMessage::Rates:
        m_rates = {true, message.average, message.instant};
        m_ratesChanged = true;
        break;
    case StationMessage::LogLine:
        appendLog(formatLogLine(time, message.level, message.text));
        break;
    }
    ++m_accepted;
    scheduleAnnouncement();
}

void StationModel::reject(const QString &topic, StationMessage::Fault fault)
{
    ++m_rejected;
    m_faultLogs[size_t(fault)].warning(
        QStringLiteral("Station feed: ignored a message on \"%1\": %2")
            .arg(topic, StationMessage::faultText(fault)));
}

void StationModel::appendLog(const QString &line)
{
    m_log.push_back(line);
    if (m_log.size() > size_t(MaxLogLines))
        m_log.pop_front();
    // Lines the widgets have not been given yet: beyond a log's length they would only be
    // dropped there.
    m_newLines.append(line);
    if (m_newLines.size() > MaxLogLines)
        m_newLines.removeFirst();
}

void StationModel::scheduleAnnouncement()
{
    if (m_announceTimer.isActive())
        return;
    // The first change after a quiet spell goes out at the next turn of the event loop; later
    // ones wait for the rest of the interval.
    const qint64 wait = RepaintIntervalMs - m_sinceAnnouncement.elapsed();
    m_announceTimer.start(int(qMax<qint64>(0, wait)));
}

void StationModel::announce()
{
    m_sinceAnnouncement.restart();
    if (m_changedCameras) {
        QList<int> cameras;
        for (int n = 1; n <= CameraCount; ++n) {
            if (m_changedCameras & (1u << (n - 1)))
                cameras.append(n);
        }
        m_changedCameras = 0;
        emit camerasChanged(cameras);
    }
    if (m_countsChanged) {
        m_countsChanged = false;
        emit countsChanged();
    }
    if (m_ratesChanged) {
        m_ratesChanged = false;
        emit ratesChanged();
    }
    if (!m_newLines.isEmpty()) {
        QStringList lines;
        lines.swap(m_newLines);
        emit logAppended(lines);
    }
}
