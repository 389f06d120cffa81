#pragma once

// The payloads the station's rules refuse, in one table: the parser test checks the fault each
// one gives, the model test that none of them changes anything.
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
    const auto row = [](const char *name, const char *leaf, const QByteArray &payload,
                        StationMessage::Fault fault) {
        QTest::newRow(name) << QString::fromLatin1(leaf) << payload << fault;
    };
    using M = StationMessage;
    const char *v = "station/camera/3/verdict";
    const QByteArray ok = R"({"verdict":"OK"})";
    const QByteArray filler(M::MaxPayloadBytes, 'x');

    row("oversize", v, R"({"verdict":"OK","reason":")" + filler + "\"}", M::Oversize);
    row("otherPrefix", "plant/camera/3/verdict", ok, M::UnknownTopic);
    row("unknownLeaf", "station/camera/3/colour", ok, M::UnknownTopic);
    row("deeperCounts", "station/counts/today", R"({"good":1,"bad":1,"unknown":1})",
        M::UnknownTopic);
    row("cameraZero", "station/camera/0/verdict", ok, M::CameraOutOfRange);
    row("cameraSeventeen", "station/camera/17/verdict", ok, M::CameraOutOfRange);
    row("cameraLeadingZero", "station/camera/03/verdict", ok, M::CameraOutOfRange);
    row("notJson", v, "OK", M::MalformedJson);
    row("emptyPayload", v, "", M::MalformedJson);
    row("invalidUtf8InJson", v, "{\"verdict\":\"OK\",\"reason\":\"\xff\"}", M::MalformedJson);
    row("jsonArray", v, R"(["OK"])", M::WrongType);
    row("verdictNumber", v, R"({"verdict":1})", M::WrongType);
    row("verdictLowerCase", v, R"({"verdict":"ok"})", M::UnknownVerdict);
    row("reasonNumber", v, R"({"verdict":"NG","reason":42})", M::WrongType);
    row("timeNotIso", v, R"({"verdict":"NG","time":"yesterday"})", M::BadTime);
    row("nameNotUtf8", "station/camera/2/name", "Top\xc3", M::InvalidText);
    row("countsMissingUnknown", "station/counts", R"({"good":1,"bad":2})", M::MissingField);
    row("countsFraction", "station/counts", R"({"good":1.5,"bad":2,"unknown":3})", M::WrongType);
    row("countsNegative", "station/counts", R"({"good":1,"bad":-2,"unknown":3})", M::OutOfRange);
    row("countsBeyondExact", "station/counts", R"({"good":1e300,"bad":2,"unknown":3})",
        M::OutOfRange);
    row("rateBoolean", "station/rate", R"({"average":true,"instant":3})", M::WrongType);
    row("logMissingLevel", "station/log", R"({"text":"started"})", M::MissingField);
    row("logUnknownLevel", "station/log", R"({"level":"fatal","text":"x"})", M::UnknownLevel);
}

} // namespace PayloadTables
