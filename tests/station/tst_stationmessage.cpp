// The station's payload rules: what each good message means, and the fault of each bad one.
#include <QtTest>

#include "payloadtables.h"
#include "station/stationmessage.h"

namespace
{

template <typename E>
QLatin1String key(E value)
{
    return QLatin1String(QMetaEnum::fromType<E>().valueToKey(value));
}

// A message in one line, so that a table row can say all it means.
QString describe(const StationMessage &m)
{
    const QString time = m.time.isValid() ? m.time.toUTC().toString(Qt::ISODateWithMs) : "-";
    switch (m.kind) {
    case StationMessage::CameraVerdict:
        return QStringLiteral("verdict %1 %2 %3 [%4]")
            .arg(m.camera)
            .arg(key(m.verdict), time, m.text);
    case StationMessage::CameraName:
        return QStringLiteral("name %1 [%2]").arg(m.camera).arg(m.text);
    case StationMessage::Counts:
        return QStringLiteral("counts %1 %2 %3").arg(m.good).arg(m.bad).arg(m.unknown);
    case StationMessage::Rates:
        return QStringLiteral("rates %1 %2").arg(m.average).arg(m.instant);
    case StationMessage::LogLine:
        return QStringLiteral("log %1 %2 [%3]").arg(key(m.level), time, m.text);
    default:
        return QStringLiteral("rejected ") + key(m.fault);
    }
}

} // namespace

class tst_StationMessage : public QObject
{
    Q_OBJECT

private slots:
    void goodPayload_data();
    void goodPayload();
    void badPayload_data() { PayloadTables::badPayloads(); }
    void badPayload();
};

void tst_StationMessage::goodPayload_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("meaning");
    const auto row = [](const char *name, const char *leaf, const QByteArray &payload,
                        const QString &meaning) {
        QTest::newRow(name) << QStringLiteral("station") << QStringLiteral("station/") + leaf
                            << payload << meaning;
    };
    // Trailing blanks fill the payload to the limit exactly.
    const int reasonLength = StationMessage::MaxPayloadBytes - 100;
    const QByteArray atLimit =
        (R"({"verdict":"OK","reason":")" + QByteArray(reasonLength, 'x') + R"("})")
            .leftJustified(StationMessage::MaxPayloadBytes, ' ');

    row("verdictOk", "camera/1/verdict", R"({"verdict":"OK"})", "verdict 1 Ok - []");
    row("verdictNgWithAll", "camera/16/verdict",
        R"({"verdict":"NG","time":"2024-05-01T10:00:00.123Z","reason":"划痕"})",
        "verdict 16 Ng 2024-05-01T10:00:00.123Z [划痕]");
    row("payloadAtLimit", "camera/2/verdict", atLimit,
        QStringLiteral("verdict 2 Ok - [%1]").arg(QString(reasonLength, QLatin1Char('x'))));
    row("nameTrimmed", "camera/4/name", " 顶面相机 \n", "name 4 [顶面相机]");
    row("nameEmptyClears", "camera/4/name", "", "name 4 []");
    row("counts", "counts", R"({"good":120,"bad":3,"unknown":0})", "counts 120 3 0");
    row("ratesOutsideGaugeRange", "rate", R"({"average":-4,"instant":100000})", "rates -4 100000");
    row("logWarning", "log", R"({"time":"2024-05-01T10:00:01Z","level":"warning","text":"暗"})",
        "log Warning 2024-05-01T10:00:01.000Z [暗]");
    row("logLineBreaksJoined", "log", R"({"level":"error","text":"one\r\ntwo\nthree"})",
        "log Error - [one two three]");
    QTest::newRow("deepPrefix") << QStringLiteral("plant/line1/station")
                                << QStringLiteral("plant/line1/station/camera/9/verdict")
                                << QByteArray(R"({"verdict":"NG"})")
                                << QStringLiteral("verdict 9 Ng - []");
}

void tst_StationMessage::goodPayload()
{
    QFETCH(QString, prefix);
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);
    QFETCH(QString, meaning);
    QCOMPARE(describe(StationMessage::parse(prefix, topic, payload)), meaning);
}

void tst_StationMessage::badPayload()
{
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);
    QFETCH(StationMessage::Fault, fault);
    const StationMessage message = StationMessage::parse(PayloadTables::Prefix, topic, payload);
    QCOMPARE(message.kind, StationMessage::Rejected);
    QCOMPARE(message.fault, fault);
}

QTEST_GUILESS_MAIN(tst_StationMessage)
#include "tst_stationmessage.moc"
