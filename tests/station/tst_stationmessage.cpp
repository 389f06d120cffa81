// The station's payload rules: what each good message means, and the fault of each bad one.
#include <QtTest>

#include "payloadtables.h"
#include "station/stationmessage.h"

namespace
{

// A message in one line, so that a table row can say all it means.
QString describe(const StationMessage &m)
{
    const QString time =
        m.time.isValid() ? m.time.toUTC().toString(Qt::ISODateWithMs) : QStringLiteral("-");
    switch (m.kind) {
    case StationMessage::CameraVerdict:
        return QStringLiteral("verdict %1 %2 %3 [%4]")
            .arg(m.camera)
            .arg(
                QLatin1String(QMetaEnum::fromType<StationMessage::Verdict>().valueToKey(m.verdict)),
                time, m.text);
    case StationMessage::CameraName:
        return QStringLiteral("name %1 [%2]").arg(m.camera).arg(m.text);
    case StationMessage::Counts:
        return QStringLiteral("counts %1 %2 %3").arg(m.good).arg(m.bad).arg(m.unknown);
    case StationMessage::Rates:
        return QStringLiteral("rates %1 %2").arg(m.average).arg(m.instant);
    case StationMessage::LogLine:
        return QStringLiteral("log %1 %2 [%3]")
            .arg(QLatin1String(QMetaEnum::fromType<StationMessage::Level>().valueToKey(m.level)),
                 time, m.text);
    case StationMessage::Rejected:
        break;
    }
    return QStringLiteral("rejected %1")
        .arg(QLatin1String(QMetaEnum::fromType<StationMessage::Fault>().valueToKey(m.fault)));
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

    const QString s = QStringLiteral("station");
    QTest::newRow("verdictOk") << s << QStringLiteral("station/camera/1/verdict")
                               << QByteArrayLiteral(R"({"verdict":"OK"})")
                               << QStringLiteral("verdict 1 Ok - []");
    QTest::newRow("verdictNgWithAll")
        << s << QStringLiteral("station/camera/16/verdict")
        << QByteArrayLiteral(
               R"({"verdict":"NG","time":"2024-05-01T10:00:00.123Z","reason":"划痕"})")
        << QStringLiteral("verdict 16 Ng 2024-05-01T10:00:00.123Z [划痕]");
    QTest::newRow("verdictUnknownOffset")
        << s << QStringLiteral("station/camera/7/verdict")
        << QByteArrayLiteral(R"({"verdict":"UNKNOWN","time":"2024-05-01T18:00:00+08:00"})")
        << QStringLiteral("verdict 7 Unknown 2024-05-01T10:00:00.000Z []");
    QTest::newRow("verdictExtraFieldsIgnored")
        << s << QStringLiteral("station/camera/2/verdict")
        << QByteArrayLiteral(R"({"verdict":"OK","score":0.98,"lot":"A7"})")
        << QStringLiteral("verdict 2 Ok - []");
    // Trailing blanks fill the payload to the limit exactly.
    const int reasonLength = StationMessage::MaxPayloadBytes - 100;
    QTest::newRow("verdictPayloadAtLimit")
        << s << QStringLiteral("station/camera/2/verdict")
        << (R"({"verdict":"OK","reason":")" + QByteArray(reasonLength, 'x') + R"("})")
               .leftJustified(StationMessage::MaxPayloadBytes, ' ')
        << QStringLiteral("verdict 2 Ok - [%1]").arg(QString(reasonLength, QLatin1Char('x')));
    QTest::newRow("nameUtf8Trimmed")
        << s << QStringLiteral("station/camera/4/name") << QByteArrayLiteral(" 顶面相机 \n")
        << QStringLiteral("name 4 [顶面相机]");
    QTest::newRow("nameEmptyClears") << s << QStringLiteral("station/camera/4/name") << QByteArray()
                                     << QStringLiteral("name 4 []");
    QTest::newRow("counts") << s << QStringLiteral("station/counts")
                            << QByteArrayLiteral(R"({"good":120,"bad":3,"unknown":0})")
                            << QStringLiteral("counts 120 3 0");
    QTest::newRow("countsWrittenAsFloat")
        << s << QStringLiteral("station/counts")
        << QByteArrayLiteral(R"({"good":1.2e3,"bad":3.0,"unknown":0})")
        << QStringLiteral("counts 1200 3 0");
    QTest::newRow("rates") << s << QStringLiteral("station/rate")
                           << QByteArrayLiteral(R"({"average":57.5,"instant":61})")
                           << QStringLiteral("rates 57.5 61");
    QTest::newRow("ratesOutsideGaugeRange")
        << s << QStringLiteral("station/rate")
        << QByteArrayLiteral(R"({"average":-4,"instant":100000})")
        << QStringLiteral("rates -4 100000");
    QTest::newRow("logWarning")
        << s << QStringLiteral("station/log")
        << QByteArrayLiteral(
               R"({"time":"2024-05-01T10:00:01Z","level":"warning","text":"光源偏暗"})")
        << QStringLiteral("log Warning 2024-05-01T10:00:01.000Z [光源偏暗]");
    QTest::newRow("logLineBreaksJoined")
        << s << QStringLiteral("station/log")
        << QByteArrayLiteral(R"({"level":"error","text":"line one\r\nline two\nthree"})")
        << QStringLiteral("log Error - [line one line two three]");
    QTest::newRow("logMarkupKeptAsText")
        << s << QStringLiteral("station/log")
        << QByteArrayLiteral(R"({"level":"info","text":"<b>bold</b>"})")
        << QStringLiteral("log Info - [<b>bold</b>]");
    QTest::newRow("deepPrefix") << QStringLiteral("plant/line1/station")
                                << QStringLiteral("plant/line1/station/camera/9/verdict")
                                << QByteArrayLiteral(R"({"verdict":"NG"})")
                                << QStringLiteral("verdict 9 Ng - []");
}

void tst_StationMessage::goodPayload()
{
    QFETCH(QString, prefix);
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);
    QFETCH(QString, meaning);
    const StationMessage message = StationMessage::parse(prefix, topic, payload);
    QCOMPARE(describe(message), meaning);
}

void tst_StationMessage::badPayload()
{
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);
    QFETCH(StationMessage::Fault, fault);
    const StationMessage message = StationMessage::parse(PayloadTables::Prefix, topic, payload);
    QCOMPARE(message.kind, StationMessage::Rejected);
    QCOMPARE(message.fault, fault);
    QVERIFY(!StationMessage::faultText(fault).isEmpty());
}

QTEST_GUILESS_MAIN(tst_StationMessage)
#include "tst_stationmessage.moc"
