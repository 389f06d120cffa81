#pragma once

// The payloads the station's rules refuse, in one table: the parser test checks the fault each
// one gives, the model test that none of them changes anything.
#include <QByteArray>
#include <QString>
#include <QtTest>

#include "station/stationmessage.h"

namespace PayloadTables
{

const QString Prefix = QStringLiteral("station");

inline void badPayloads()
{
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<StationMessage::Fault>("fault");

    const QString v = QStringLiteral("station/camera/3/verdict");
    const QByteArray ok = QByteArrayLiteral(R"({"verdict":"OK"})");
    QByteArray huge = QByteArrayLiteral(R"({"verdict":"OK","reason":")");
    huge += QByteArray(StationMessage::MaxPayloadBytes, 'x') + QByteArrayLiteral("\"}");
    QByteArray hugeName(StationMessage::MaxPayloadBytes + 1, 'n');

    QTest::newRow("oversizeVerdict") << v << huge << StationMessage::Oversize;
    QTest::newRow("oversizeName") << QStringLiteral("station/camera/3/name") << hugeName
                                  << StationMessage::Oversize;
    QTest::newRow("otherPrefix") << QStringLiteral("plant/camera/3/verdict") << ok
                                 << StationMessage::UnknownTopic;
    QTest::newRow("prefixWithoutSeparator")
        << QStringLiteral("stationx/camera/3/verdict") << ok << StationMessage::UnknownTopic;
    QTest::newRow("prefixAlone") << QStringLiteral("station") << ok << StationMessage::UnknownTopic;
    QTest::newRow("unknownLeaf") << QStringLiteral("station/camera/3/colour") << ok
                                 << StationMessage::UnknownTopic;
    QTest::newRow("cameraWithoutLeaf")
        << QStringLiteral("station/camera/3") << ok << StationMessage::UnknownTopic;
    QTest::newRow("deeperCounts") << QStringLiteral("station/counts/today")
                                  << QByteArrayLiteral(R"({"good":1,"bad":1,"unknown":1})")
                                  << StationMessage::UnknownTopic;
    QTest::newRow("unknownTopic") << QStringLiteral("station/temperature")
                                  << QByteArrayLiteral("{}") << StationMessage::UnknownTopic;
    QTest::newRow("cameraZero") << QStringLiteral("station/camera/0/verdict") << ok
                                << StationMessage::CameraOutOfRange;
    QTest::newRow("cameraSeventeen")
        << QStringLiteral("station/camera/17/verdict") << ok << StationMessage::CameraOutOfRange;
    QTest::newRow("cameraNegative")
        << QStringLiteral("station/camera/-1/verdict") << ok << StationMessage::CameraOutOfRange;
    QTest::newRow("cameraLeadingZero")
        << QStringLiteral("station/camera/03/verdict") << ok << StationMessage::CameraOutOfRange;
    QTest::newRow("cameraWord") << QStringLiteral("station/camera/one/name")
                                << QByteArrayLiteral("Top") << StationMessage::CameraOutOfRange;
    QTest::newRow("cameraHuge") << QStringLiteral("station/camera/4294967297/verdict") << ok
                                << StationMessage::CameraOutOfRange;
    QTest::newRow("notJson") << v << QByteArrayLiteral("OK") << StationMessage::MalformedJson;
    QTest::newRow("emptyPayload") << v << QByteArray() << StationMessage::MalformedJson;
    QTest::newRow("truncatedJson")
        << v << QByteArrayLiteral(R"({"verdict":"OK")") << StationMessage::MalformedJson;
    QTest::newRow("invalidUtf8InJson")
        << v << QByteArrayLiteral("{\"verdict\":\"OK\",\"reason\":\"\xff\"}")
        << StationMessage::MalformedJson;
    QTest::newRow("jsonArray") << v << QByteArrayLiteral(R"(["OK"])") << StationMessage::WrongType;
    QTest::newRow("verdictMissing")
        << v << QByteArrayLiteral(R"({"reason":"scratch"})") << StationMessage::MissingField;
    QTest::newRow("verdictNumber")
        << v << QByteArrayLiteral(R"({"verdict":1})") << StationMessage::WrongType;
    QTest::newRow("verdictLowerCase")
        << v << QByteArrayLiteral(R"({"verdict":"ok"})") << StationMessage::UnknownVerdict;
    QTest::newRow("verdictUnknownWord")
        << v << QByteArrayLiteral(R"({"verdict":"MAYBE"})") << StationMessage::UnknownVerdict;
    QTest::newRow("reasonNumber") << v << QByteArrayLiteral(R"({"verdict":"NG","reason":42})")
                                  << StationMessage::WrongType;
    QTest::newRow("timeNumber") << v << QByteArrayLiteral(R"({"verdict":"NG","time":1714557600})")
                                << StationMessage::WrongType;
    QTest::newRow("timeNotIso") << v << QByteArrayLiteral(R"({"verdict":"NG","time":"yesterday"})")
                                << StationMessage::BadTime;
    QTest::newRow("timeMonth13") << v
                                 << QByteArrayLiteral(
                                        R"({"verdict":"NG","time":"2024-13-01T10:00:00Z"})")
                                 << StationMessage::BadTime;
    QTest::newRow("nameNotUtf8") << QStringLiteral("station/camera/2/name")
                                 << QByteArrayLiteral("Top\xc3") << StationMessage::InvalidText;

    const QString c = QStringLiteral("station/counts");
    QTest::newRow("countsMissingUnknown")
        << c << QByteArrayLiteral(R"({"good":1,"bad":2})") << StationMessage::MissingField;
    QTest::newRow("countsString") << c << QByteArrayLiteral(R"({"good":"1","bad":2,"unknown":3})")
                                  << StationMessage::WrongType;
    QTest::newRow("countsFraction") << c << QByteArrayLiteral(R"({"good":1.5,"bad":2,"unknown":3})")
                                    << StationMessage::WrongType;
    QTest::newRow("countsNegative") << c << QByteArrayLiteral(R"({"good":1,"bad":-2,"unknown":3})")
                                    << StationMessage::OutOfRange;
    QTest::newRow("countsBeyondExact")
        << c << QByteArrayLiteral(R"({"good":1e300,"bad":2,"unknown":3})")
        << StationMessage::OutOfRange;
    QTest::newRow("countsNull") << c << QByteArrayLiteral(R"({"good":null,"bad":2,"unknown":3})")
                                << StationMessage::WrongType;

    const QString r = QStringLiteral("station/rate");
    QTest::newRow("rateMissingInstant")
        << r << QByteArrayLiteral(R"({"average":12.5})") << StationMessage::MissingField;
    QTest::newRow("rateBoolean") << r << QByteArrayLiteral(R"({"average":true,"instant":3})")
                                 << StationMessage::WrongType;

    const QString l = QStringLiteral("station/log");
    QTest::newRow("logMissingText")
        << l << QByteArrayLiteral(R"({"level":"info"})") << StationMessage::MissingField;
    QTest::newRow("logMissingLevel")
        << l << QByteArrayLiteral(R"({"text":"started"})") << StationMessage::MissingField;
    QTest::newRow("logUnknownLevel")
        << l << QByteArrayLiteral(R"({"level":"fatal","text":"stopped"})")
        << StationMessage::UnknownLevel;
    QTest::newRow("logTextObject") << l << QByteArrayLiteral(R"({"level":"info","text":{"a":1}})")
                                   << StationMessage::WrongType;
}

} // namespace PayloadTables
