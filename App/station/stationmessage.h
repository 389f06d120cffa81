#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

// One message of the station as the console understands it: the topic under the station's
// prefix tells the kind, the payload the content. parse() is the whole rule set; a message that
// breaks a rule comes back as Rejected with the fault, and changes nothing where it is applied.
struct StationMessage {
    Q_GADGET

public:
    static constexpr int CameraCount = 16;
    // Larger payloads are refused unread: no station message comes near it.
    static constexpr int MaxPayloadBytes = 64 * 1024;
    // Counts are exact in a JSON number up to 2^53 - 1.
    static constexpr qint64 MaxCount = 9007199254740991LL;

    enum Kind { Rejected, CameraVerdict, CameraName, Counts, Rates, LogLine };
    Q_ENUM(Kind)

    // The same numbers as the camera tile's state: 0 NG, 1 OK, anything else unknown.
    enum Verdict { Ng = 0, Ok = 1, Unknown = 2 };
    Q_ENUM(Verdict)

    enum Level { Info, Warning, Error };
    Q_ENUM(Level)

    enum Fault {
        NoFault,
        Oversize,
        UnknownTopic,
        CameraOutOfRange,
        MalformedJson,
        MissingField,
        WrongType,
        UnknownVerdict,
        UnknownLevel,
        BadTime,
        OutOfRange,
        InvalidText
    };
    Q_ENUM(Fault)
    static constexpr int FaultCount = InvalidText + 1;

    Kind kind = Rejected;
    Fault fault = NoFault;
    // 1 ... CameraCount for the camera topics, 0 otherwise.
    int camera = 0;
    Verdict verdict = Unknown;
    Level level = Info;
    // The time the station gave; invalid when it gave none.
    QDateTime time;
    // The verdict's reason, the camera's name or the log line's text.
    QString text;
    qint64 good = 0;
    qint64 bad = 0;
    qint64 unknown = 0;
    double average = 0;
    double instant = 0;

    // The message a topic under the prefix ("station", "plant/line1") and its payload make.
    static StationMessage parse(const QString &prefix, const QString &topic,
                                const QByteArray &payload);

    // What a fault means, for the log.
    static QString faultText(Fault fault);
};
