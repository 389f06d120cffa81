#include "stationmessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace
{

const QString VerdictKey = QStringLiteral("verdict");
const QString TimeKey = QStringLiteral("time");
const QString ReasonKey = QStringLiteral("reason");
const QString LevelKey = QStringLiteral("level");
const QString TextKey = QStringLiteral("text");
const QString GoodKey = QStringLiteral("good");
const QString BadKey = QStringLiteral("bad");
const QString UnknownKey = QStringLiteral("unknown");
const QString AverageKey = QStringLiteral("average");
const QString InstantKey = QStringLiteral("instant");

StationMessage rejected(StationMessage::Fault fault)
{
    StationMessage message;
    message.fault = fault;
    return message;
}

// Whether the bytes are UTF-8 as written: a decoder replaces what is not, so the round trip
// differs.
bool isUtf8(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// The payload as a JSON object, or the fault that keeps it from being one.
StationMessage::Fault readObject(const QByteArray &payload, QJsonObject &object)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError)
        return StationMessage::MalformedJson;
    if (!document.isObject())
        return StationMessage::WrongType;
    object = document.object();
    return StationMessage::NoFault;
}

StationMessage::Fault readString(const QJsonObject &object, const QString &key, bool required,
                                 QString &out)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return required ? StationMessage::MissingField : StationMessage::NoFault;
    if (!value.isString())
        return StationMessage::WrongType;
    out = value.toString();
    return StationMessage::NoFault;
}

StationMessage::Fault readNumber(const QJsonObject &object, const QString &key, double &out)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined())
        return StationMessage::MissingField;
    if (!value.isDouble())
        return StationMessage::WrongType;
    out = value.toDouble();
    return StationMessage::NoFault;
}

StationMessage::Fault readCount(const QJsonObject &object, const QString &key, qint64 &out)
{
    double number = 0;
    const StationMessage::Fault fault = readNumber(object, key, number);
    if (fault != StationMessage::NoFault)
        return fault;
    if (std::trunc(number) != number)
        return StationMessage::WrongType;
    if (number < 0 || number > double(StationMessage::MaxCount))
        return StationMessage::OutOfRange;
    out = qint64(number);
    return StationMessage::NoFault;
}

// An optional ISO 8601 time: absent leaves the time invalid, present must parse.
StationMessage::Fault readTime(const QJsonObject &object, QDateTime &out)
{
    QString text;
    const StationMessage::Fault fault = readString(object, TimeKey, false, text);
    if (fault != StationMessage::NoFault || text.isNull())
        return fault;
    out = QDateTime::fromString(text, Qt::ISODateWithMs);
    return out.isValid() ? StationMessage::NoFault : StationMessage::BadTime;
}

// The first fault of a list of reads, in the order the rules check them.
StationMessage::Fault firstFault(std::initializer_list<StationMessage::Fault> faults)
{
    for (StationMessage::Fault fault : faults) {
        if (fault != StationMessage::NoFault)
            return fault;
    }
    return StationMessage::NoFault;
}

StationMessage parseVerdict(const QJsonObject &object, StationMessage message)
{
    QString verdict;
    StationMessage::Fault fault =
        firstFault({readString(object, VerdictKey, true, verdict), readTime(object, message.time),
                    readString(object, ReasonKey, false, message.text)});
    if (fault != StationMessage::NoFault)
        return rejected(fault);
    if (verdict == QLatin1String("OK"))
        message.verdict = StationMessage::Ok;
    else if (verdict == QLatin1String("NG"))
        message.verdict = StationMessage::Ng;
    else if (verdict == QLatin1String("UNKNOWN"))
        message.verdict = StationMessage::Unknown;
    else
        return rejected(StationMessage::UnknownVerdict);
    return message;
}

StationMessage parseCounts(const QJsonObject &object, StationMessage message)
{
    const StationMessage::Fault fault = firstFault(
        {readCount(object, GoodKey, message.good), readCount(object, BadKey, message.bad),
         readCount(object, UnknownKey, message.unknown)});
    return fault == StationMessage::NoFault ? message : rejected(fault);
}

StationMessage parseRates(const QJsonObject &object, StationMessage message)
{
    const StationMessage::Fault fault =
        firstFault({readNumber(object, AverageKey, message.average),
                    readNumber(object, InstantKey, message.instant)});
    return fault == StationMessage::NoFault ? message : rejected(fault);
}

StationMessage parseLog(const QJsonObject &object, StationMessage message)
{
    QString level;
    const StationMessage::Fault fault =
        firstFault({readString(object, TextKey, true, message.text),
                    readString(object, LevelKey, true, level), readTime(object, message.time)});
    if (fault != StationMessage::NoFault)
        return rejected(fault);
    if (level == QLatin1String("info"))
        message.level = StationMessage::Info;
    else if (level == QLatin1String("warning"))
        message.level = StationMessage::Warning;
    else if (level == QLatin1String("error"))
        message.level = StationMessage::Error;
    else
        return rejected(StationMessage::UnknownLevel);
    // One message, one line of the log boxes, which count their lines.
    static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]+"));
    message.text.replace(lineBreaks, QStringLiteral(" "));
    return message;
}

// The camera number of a topic level: plain decimal digits, 1 ... CameraCount; 0 otherwise.
int cameraNumber(const QString &level)
{
    static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]{0,2}$"));
    if (!digits.match(level).hasMatch())
        return 0;
    const int n = level.toInt();
    return n <= StationMessage::CameraCount ? n : 0;
}

} // namespace

StationMessage StationMessage::parse(const QString &prefix, const QString &topic,
                                     const QByteArray &payload)
{
    if (payload.size() > MaxPayloadBytes)
        return rejected(Oversize);
    const QString head = prefix + QLatin1Char('/');
    if (!topic.startsWith(head))
        return rejected(UnknownTopic);
    const QStringList levels = topic.mid(head.size()).split(QLatin1Char('/'));

    StationMessage message;
    if (levels.size() == 3 && levels.at(0) == QLatin1String("camera")) {
        if (levels.at(2) == QLatin1String("verdict"))
            message.kind = CameraVerdict;
        else if (levels.at(2) == QLatin1String("name"))
            message.kind = CameraName;
        else
            return rejected(UnknownTopic);
        message.camera = cameraNumber(levels.at(1));
        if (message.camera == 0)
            return rejected(CameraOutOfRange);
    } else if (levels.size() == 1 && levels.at(0) == QLatin1String("counts")) {
        message.kind = Counts;
    } else if (levels.size() == 1 && levels.at(0) == QLatin1String("rate")) {
        message.kind = Rates;
    } else if (levels.size() == 1 && levels.at(0) == QLatin1String("log")) {
        message.kind = LogLine;
    } else {
        return rejected(UnknownTopic);
    }

    // A name is plain text, the only payload that is not a JSON object.
    if (message.kind == CameraName) {
        if (!isUtf8(payload))
            return rejected(InvalidText);
        message.text = QString::fromUtf8(payload).trimmed();
        return message;
    }

    QJsonObject object;
    const Fault fault = readObject(payload, object);
    if (fault != NoFault)
        return rejected(fault);
    switch (message.kind) {
    case CameraVerdict:
        return parseVerdict(object, message);
    case Counts:
        return parseCounts(object, message);
    case Rates:
        return parseRates(object, message);
    default:
        return parseLog(object, message);
    }
}

QString StationMessage::faultText(Fault fault)
{
    switch (fault) {
    case NoFault:
        return QStringLiteral("no fault");
    case Oversize:
        return QStringLiteral("the payload is larger than %1 bytes").arg(MaxPayloadBytes);
    case UnknownTopic:
        return QStringLiteral("the topic is not one the station publishes");
    case CameraOutOfRange:
        return QStringLiteral("the camera number is not 1 to %1").arg(CameraCount);
    case MalformedJson:
        return QStringLiteral("the payload is not valid JSON");
    case MissingField:
        return QStringLiteral("a required field is missing");
    case WrongType:
        return QStringLiteral("a field has the wrong type");
    case UnknownVerdict:
        return QStringLiteral("the verdict is not OK, NG or UNKNOWN");
    case UnknownLevel:
        return QStringLiteral("the level is not info, warning or error");
    case BadTime:
        return QStringLiteral("the time is not an ISO 8601 date and time");
    case OutOfRange:
        return QStringLiteral("a count is negative or too large");
    case InvalidText:
        return QStringLiteral("the text is not UTF-8");
    }
    return QString();
}
