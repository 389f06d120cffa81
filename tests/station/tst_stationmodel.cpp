// The station model: the state a run of messages leaves, the announcements it gathers, the
// bounded log, and bad payloads that change nothing.
#include <QtTest>

#include <ctime>

#include "payloadtables.h"
#include "station/stationmodel.h"

namespace
{

using Messages = QList<QPair<QString, QByteArray>>;

const QString Prefix = PayloadTables::Prefix;

QString verdictText(StationMessage::Verdict verdict)
{
    switch (verdict) {
    case StationMessage::Ok:
        return QStringLiteral("OK");
    case StationMessage::Ng:
        return QStringLiteral("NG");
    default:
        return QStringLiteral("UNKNOWN");
    }
}

QPair<QString, QByteArray> msg(const char *leaf, const char *payload)
{
    return {Prefix + QLatin1Char('/') + QLatin1String(leaf), QByteArray(payload)};
}

// The model's state in one line: the cameras that are not as they start, counts, rates and the
// last log line.
QString describe(const StationModel &model)
{
    QStringList parts;
    for (int n = 1; n <= StationModel::CameraCount; ++n) {
        const StationModel::Camera c = model.camera(n);
        if (c.verdict == StationMessage::Unknown && c.reason.isEmpty() && c.name.isEmpty())
            continue;
        parts << QStringLiteral("c%1=%2[%3]{%4}")
                     .arg(n)
                     .arg(verdictText(c.verdict), c.reason, c.name);
    }
    const StationModel::Counts counts = model.counts();
    if (counts.known)
        parts << QStringLiteral("counts=%1/%2/%3=%4")
                     .arg(counts.good)
                     .arg(counts.bad)
                     .arg(counts.unknown)
                     .arg(counts.total());
    const StationModel::Rates rates = model.rates();
    if (rates.known)
        parts << QStringLiteral("rates=%1/%2").arg(rates.average).arg(rates.instant);
    const QStringList log = model.logLines();
    if (!log.isEmpty())
        parts << QStringLiteral("log%1=%2").arg(log.size()).arg(log.last());
    return parts.join(QLatin1Char(' '));
}

QStringList captured;
QtMessageHandler previousHandler = nullptr;

void capture(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg)
        captured << text;
    else if (previousHandler)
        previousHandler(type, context, text);
}

} // namespace

class tst_StationModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void stateAfterMessages_data();
    void stateAfterMessages();
    void announcementsGathered_data();
    void announcementsGathered();
    void logIsBounded_data();
    void logIsBounded();
    void badPayloadChangesNothing_data() { PayloadTables::badPayloads(); }
    void badPayloadChangesNothing();
};

void tst_StationModel::initTestCase()
{
    // Log lines are written in local time; the rows are written for UTC.
    qputenv("TZ", "UTC");
    tzset();
}

void tst_StationModel::init()
{
    captured.clear();
    previousHandler = qInstallMessageHandler(capture);
}

void tst_StationModel::cleanup()
{
    qInstallMessageHandler(previousHandler);
}

void tst_StationModel::stateAfterMessages_data()
{
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<QString>("state");

    QTest::newRow("nothing") << Messages() << QString();
    QTest::newRow("lastVerdictWins")
        << Messages{msg("camera/3/verdict", R"({"verdict":"NG","reason":"划痕"})"),
                    msg("camera/3/verdict", R"({"verdict":"OK"})")}
        << QStringLiteral("c3=OK[]{}");
    QTest::newRow("reasonKept") << Messages{msg("camera/16/verdict",
                                                R"({"verdict":"NG","reason":"缺角"})")}
                                << QStringLiteral("c16=NG[缺角]{}");
    QTest::newRow("verdictBackToUnknown")
        << Messages{msg("camera/1/verdict", R"({"verdict":"NG","reason":"r"})"),
                    msg("camera/1/verdict", R"({"verdict":"UNKNOWN"})")}
        << QString();
    QTest::newRow("nameThenVerdict")
        << Messages{msg("camera/2/name", "顶面"), msg("camera/2/verdict", R"({"verdict":"OK"})")}
        << QStringLiteral("c2=OK[]{顶面}");
    QTest::newRow("nameCleared") << Messages{msg("camera/2/name", "顶面"), msg("camera/2/name", "")}
                                 << QString();
    QTest::newRow("countsSumToTotal")
        << Messages{msg("counts", R"({"good":120,"bad":3,"unknown":2})")}
        << QStringLiteral("counts=120/3/2=125");
    QTest::newRow("ratesLastWins") << Messages{msg("rate", R"({"average":1,"instant":2})"),
                                               msg("rate", R"({"average":57.5,"instant":61})")}
                                   << QStringLiteral("rates=57.5/61");
    QTest::newRow("logLineFormatted")
        << Messages{msg(
               "log", R"({"time":"2024-05-01T10:00:01.250Z","level":"warning","text":"光源偏暗"})")}
        << QStringLiteral("log1=2024/05/01 10:00:01.250 警告 光源偏暗");
    QTest::newRow("badBetweenGoodIgnored")
        << Messages{msg("camera/5/verdict", R"({"verdict":"NG"})"),
                    msg("camera/5/verdict", R"({"verdict":"MAYBE"})"),
                    msg("camera/17/verdict", R"({"verdict":"OK"})")}
        << QStringLiteral("c5=NG[]{}");
}

void tst_StationModel::stateAfterMessages()
{
    QFETCH(Messages, messages);
    QFETCH(QString, state);
    StationModel model(Prefix);
    for (const auto &m : qAsConst(messages))
        model.handleMessage(m.first, m.second);
    QCOMPARE(describe(model), state);
}

void tst_StationModel::announcementsGathered_data()
{
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<int>("verdicts");
    QTest::addColumn<QList<int>>("cameras");
    QTest::addColumn<int>("counts");
    QTest::addColumn<int>("rates");
    QTest::addColumn<int>("logLines");

    Messages flood;
    for (int i = 0; i < 3000; ++i)
        flood << msg(i % 2 ? "camera/4/verdict" : "camera/9/verdict",
                     i % 3 ? R"({"verdict":"OK"})" : R"({"verdict":"NG"})")
              << msg("counts", R"({"good":1,"bad":2,"unknown":3})");

    QTest::newRow("oneVerdict") << Messages{msg("camera/1/verdict", R"({"verdict":"OK"})")} << 1
                                << QList<int>{1} << 0 << 0 << 0;
    QTest::newRow("verdictsOfTwoCameras")
        << Messages{msg("camera/12/verdict", R"({"verdict":"OK"})"),
                    msg("camera/2/verdict", R"({"verdict":"NG"})"),
                    msg("camera/12/verdict", R"({"verdict":"NG"})")}
        << 3 << QList<int>{2, 12} << 0 << 0 << 0;
    QTest::newRow("sameNameTwice") << Messages{msg("camera/6/name", "A"), msg("camera/6/name", "A")}
                                   << 0 << QList<int>{6} << 0 << 0 << 0;
    QTest::newRow("everyKind") << Messages{msg("camera/3/name", "B"),
                                           msg("counts", R"({"good":1,"bad":0,"unknown":0})"),
                                           msg("rate", R"({"average":1,"instant":1})"),
                                           msg("log", R"({"level":"info","text":"a"})"),
                                           msg("log", R"({"level":"info","text":"b"})")}
                               << 0 << QList<int>{3} << 1 << 1 << 2;
    QTest::newRow("onlyBad") << Messages{msg("camera/3/verdict", "{"), msg("nowhere", "{}")} << 0
                             << QList<int>() << 0 << 0 << 0;
    QTest::newRow("flood") << flood << 3000 << QList<int>{4, 9} << 1 << 0 << 0;
}

void tst_StationModel::announcementsGathered()
{
    QFETCH(Messages, messages);
    QFETCH(int, verdicts);
    QFETCH(QList<int>, cameras);
    QFETCH(int, counts);
    QFETCH(int, rates);
    QFETCH(int, logLines);

    StationModel model(Prefix);
    QSignalSpy verdictSpy(&model, &StationModel::verdictReceived);
    QSignalSpy camerasSpy(&model, &StationModel::camerasChanged);
    QSignalSpy countsSpy(&model, &StationModel::countsChanged);
    QSignalSpy ratesSpy(&model, &StationModel::ratesChanged);
    QSignalSpy logSpy(&model, &StationModel::logAppended);
    for (const auto &m : qAsConst(messages))
        model.handleMessage(m.first, m.second);

    // Each verdict is told at once; the rest waits for the event loop.
    QCOMPARE(verdictSpy.count(), verdicts);
    QCOMPARE(camerasSpy.count() + countsSpy.count() + ratesSpy.count() + logSpy.count(), 0);

    // One announcement, whatever came before it: wait for the last kind it carries, then give
    // the loop a turn in which a second one could show.
    if (!cameras.isEmpty())
        QTRY_COMPARE(camerasSpy.count(), 1);
    if (counts)
        QTRY_COMPARE(countsSpy.count(), 1);
    if (rates)
        QTRY_COMPARE(ratesSpy.count(), 1);
    if (logLines)
        QTRY_COMPARE(logSpy.count(), 1);
    QTest::qWait(3 * StationModel::RepaintIntervalMs);
    QCOMPARE(camerasSpy.count(), cameras.isEmpty() ? 0 : 1);
    if (!cameras.isEmpty())
        QCOMPARE(camerasSpy.at(0).at(0).value<QList<int>>(), cameras);
    QCOMPARE(countsSpy.count(), counts);
    QCOMPARE(ratesSpy.count(), rates);
    QCOMPARE(logSpy.count(), logLines ? 1 : 0);
    if (logLines)
        QCOMPARE(logSpy.at(0).at(0).toStringList().size(), logLines);
    // The last verdict is told with its camera, verdict and reason.
    StationMessage lastVerdict;
    for (const auto &m : qAsConst(messages)) {
        const StationMessage parsed = StationMessage::parse(Prefix, m.first, m.second);
        if (parsed.kind == StationMessage::CameraVerdict)
            lastVerdict = parsed;
    }
    if (verdicts) {
        const QList<QVariant> told = verdictSpy.last();
        QCOMPARE(told.at(0).toInt(), lastVerdict.camera);
        QCOMPARE(told.at(1).value<StationMessage::Verdict>(), lastVerdict.verdict);
        QVERIFY(told.at(2).toDateTime().isValid());
        QCOMPARE(told.at(3).toString(), lastVerdict.text);
    }
}

void tst_StationModel::logIsBounded_data()
{
    QTest::addColumn<int>("appended");
    QTest::addColumn<int>("kept");
    QTest::addColumn<int>("firstKept");

    QTest::newRow("one") << 1 << 1 << 1;
    QTest::newRow("full") << StationModel::MaxLogLines << StationModel::MaxLogLines << 1;
    QTest::newRow("oneOver") << StationModel::MaxLogLines + 1 << StationModel::MaxLogLines << 2;
    QTest::newRow("flood") << 3 * StationModel::MaxLogLines + 7 << StationModel::MaxLogLines
                           << 2 * StationModel::MaxLogLines + 8;
}

void tst_StationModel::logIsBounded()
{
    QFETCH(int, appended);
    QFETCH(int, kept);
    QFETCH(int, firstKept);

    StationModel model(Prefix);
    QSignalSpy logSpy(&model, &StationModel::logAppended);
    for (int i = 1; i <= appended; ++i)
        model.handleMessage(Prefix + QStringLiteral("/log"),
                            QStringLiteral(R"({"level":"info","text":"line %1"})").arg(i).toUtf8());
    const QStringList lines = model.logLines();
    QCOMPARE(lines.size(), kept);
    QVERIFY(lines.first().endsWith(QStringLiteral(" line %1").arg(firstKept)));
    QVERIFY(lines.last().endsWith(QStringLiteral(" line %1").arg(appended)));

    // What the widgets are given in one announcement is no more than a log holds either.
    QTRY_COMPARE(logSpy.count(), 1);
    QCOMPARE(logSpy.at(0).at(0).toStringList(), lines);
}

void tst_StationModel::badPayloadChangesNothing()
{
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);

    StationModel model(Prefix);
    QSignalSpy verdictSpy(&model, &StationModel::verdictReceived);
    QSignalSpy camerasSpy(&model, &StationModel::camerasChanged);
    QSignalSpy countsSpy(&model, &StationModel::countsChanged);
    QSignalSpy ratesSpy(&model, &StationModel::ratesChanged);
    QSignalSpy logSpy(&model, &StationModel::logAppended);
    model.handleMessage(Prefix + QStringLiteral("/camera/3/verdict"),
                        R"({"verdict":"NG","reason":"before"})");
    model.handleMessage(Prefix + QStringLiteral("/camera/3/name"), "Top");
    model.handleMessage(Prefix + QStringLiteral("/counts"), R"({"good":1,"bad":2,"unknown":3})");
    model.handleMessage(Prefix + QStringLiteral("/rate"), R"({"average":4,"instant":5})");
    model.handleMessage(Prefix + QStringLiteral("/log"), R"({"level":"info","text":"before"})");
    QTRY_COMPARE(logSpy.count(), 1);
    const QString before = describe(model);
    for (QSignalSpy *spy : {&verdictSpy, &camerasSpy, &countsSpy, &ratesSpy, &logSpy})
        spy->clear();

    const int repeats = 3;
    for (int i = 0; i < repeats; ++i)
        model.handleMessage(topic, payload);
    QTest::qWait(3 * StationModel::RepaintIntervalMs);

    QCOMPARE(describe(model), before);
    QCOMPARE(model.rejectedCount(), qint64(repeats));
    QCOMPARE(verdictSpy.count() + camerasSpy.count() + countsSpy.count() + ratesSpy.count() +
                 logSpy.count(),
             0);
    // Logged the first time only, naming the topic, never with the payload.
    QCOMPARE(captured.size(), 1);
    QVERIFY2(captured.first().contains(topic), qPrintable(captured.first()));
    QVERIFY(payload.size() < 8 || !captured.first().toUtf8().contains(payload));
}

QTEST_GUILESS_MAIN(tst_StationModel)
#include "tst_stationmodel.moc"
