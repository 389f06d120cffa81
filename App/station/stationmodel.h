#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <array>
#include <deque>

#include "common/ratelimitedlog.h"
#include "station/stationmessage.h"

// What the console knows of the station: the last verdict, its time and reason and the name of
// each of the sixteen cameras, the counts, the rates and the last lines of the station's log.
// It takes the station's messages (topic and payload), keeps their state and says what changed.
// Every verdict is announced as it comes; the rest is gathered and announced at most once a
// repaint interval, so that the widgets showing it repaint about thirty times a second however
// fast the station publishes. Nothing it holds grows without bound.
class StationModel : public QObject
{
    Q_OBJECT

public:
    static constexpr int CameraCount = StationMessage::CameraCount;
    static constexpr int MaxLogLines = 5000;
    static constexpr int RepaintIntervalMs = 33;

    struct Camera {
        StationMessage::Verdict verdict = StationMessage::Unknown;
        QDateTime time;
        QString reason;
        QString name;
    };
    struct Counts {
        bool known = false;
        qint64 good = 0;
        qint64 bad = 0;
        qint64 unknown = 0;
        qint64 total() const { return good + bad + unknown; }
    };
    struct Rates {
        bool known = false;
        double average = 0;
        double instant = 0;
    };

    explicit StationModel(const QString &topicPrefix, QObject *parent = nullptr);

    // A message as the broker delivered it; one that breaks the rules is counted, logged (once,
    // then with a count once a minute) and changes nothing.
    void handleMessage(const QString &topic, const QByteArray &payload);
    void apply(const StationMessage &message);

    QString topicPrefix() const { return m_topicPrefix; }
    // Camera n, 1 ... CameraCount.
    Camera camera(int n) const;
    Counts counts() const { return m_counts; }
    Rates rates() const { return m_rates; }
    // The log's lines, oldest first, at most MaxLogLines.
    QStringList logLines() const;
    qint64 acceptedCount() const { return m_accepted; }
    qint64 rejectedCount() const { return m_rejected; }

    // A log line as the log boxes show it: "2024/05/01 10:00:00.123 警告 text", in local time.
    static QString formatLogLine(const QDateTime &time, StationMessage::Level level,
                                 const QString &text);

signals:
    // Every verdict, as it arrives.
    void verdictReceived(int camera, StationMessage::Verdict verdict, const QDateTime &time,
                         const QString &reason);
    // Gathered: the cameras whose verdict or name changed since the last announcement.
    void camerasChanged(const QList<int> &cameras);
    void countsChanged();
    void ratesChanged();
    // Gathered: the lines appended since the last announcement (at most MaxLogLines).
    void logAppended(const QStringList &lines);

private:
    Q_DISABLE_COPY(StationModel)

    void reject(const QString &topic, StationMessage::Fault fault);
    void appendLog(const QString &line);
    void scheduleAnnouncement();
    void announce();

    QString m_topicPrefix;
    std::array<Camera, CameraCount> m_cameras;
    Counts m_counts;
    Rates m_rates;
    std::deque<QString> m_log;
    QStringList m_newLines;
    quint32 m_changedCameras = 0;
    bool m_countsChanged = false;
    bool m_ratesChanged = false;
    qint64 m_accepted = 0;
    qint64 m_rejected = 0;
    std::array<RateLimitedLog, StationMessage::FaultCount> m_faultLogs;
    QTimer m_announceTimer;
    QElapsedTimer m_sinceAnnouncement;
};
