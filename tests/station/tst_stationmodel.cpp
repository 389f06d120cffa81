// The station model: the state a run of messages leaves, the announcements it gathers, the
// bounded log, and bad payloads that change nothing.
#include <QtTest>

#include <ctime>

#include "payloadtables.h"
#include "station/stationmodel.h"

namespace
{

using Messages = QList<QPair<QString, QByteArray>>;

QPair<QString, QByteArray> msg(const char *leaf, const QByteArray &payload)
{
    return {QStringLiteral("station/") + QLatin1String(leaf), payload};
}

// The model's state in one line: the cameras that are not as they start, counts, rates and the
// last log line.
QString describe(const StationModel &model)
{
    QStringList parts;
    for (int n = 1; n <= StationModel::CameraCount; ++n) {
        const StationModel::Camera c = model.camera(n);
        if (c.verdict != StationMessage::Unknown || !c.name.isEmpty())
            parts << QStringLiteral("c%1=%2[%3]{%4}").arg(n).arg(c.verdict).arg(c.reason, c.name);
    }
    const StationModel::Counts counts = model.counts();
    if (counts.known)
        parts << QStringLiteral("counts=%1").arg(counts.total());
    if (model.rates().known)
        parts
            << QStringLiteral("rates=%1/%2").arg(model.rates().average).arg(model.rates().instant);
    if (!model.logLines().isEmpty())
        parts << model.logLines().last();
    return parts.join(QLatin1Char(' '));
}

QStringList warnings;

void capture(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtWarningMsg)
        warnings << text;
}

} // namespace

class tst_StationModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void stateAfterMessages_data();
    void stateAfterMessages();
    void announcementsGathered_data();
    void announcementsGathered();
    void badPayloadChangesNothing_data() { PayloadTables::badPayloads(); }
    void badPayloadChangesNothing();
};

void tst_StationModel::initTestCase()
{
    // Log lines are written in local time; the rows are written for UTC.
    qputenv("TZ", "UTC");
    tzset();
}

void tst_StationModel::stateAfterMessages_data()
{
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<QString>("state");
    const QByteArray ng = R"({"verdict":"NG","reason":"划痕"})";

    QTest::newRow("lastVerdictWins")
        << Messages{msg("camera/3/verdict", ng), msg("camera/3/verdict", R"({"verdict":"OK"})")}
        << "c3=1[]{}";
    QTest::newRow("backToUnknown") << Messages{msg("camera/1/verdict", ng),
                                               msg("camera/1/verdict", R"({"verdict":"UNKNOWN"})")}
                                   << "";
    QTest::newRow("nameAndVerdict")
        << Messages{msg("camera/2/name", "顶面"), msg("camera/2/verdict", ng)}
        << "c2=0[划痕]{顶面}";
    QTest::newRow("logLineFormatted")
        << Messages{msg("log",
                        R"({"time":"2024-05-01T10:00:01.250Z","level":"warning","text":"暗"})")}
        << "2024/05/01 10:00:01.250 警告 暗";
    QTest::newRow("badBetweenGoodIgnored")
        << Messages{msg("camera/5/verdict", ng), msg("camera/5/verdict", R"({"verdict":"MAYBE"})"),
                    msg("camera/17/verdict", R"({"verdict":"OK"})")}
        << "c5=0[划痕]{}";
}

void tst_StationModel::stateAfterMessages()
{
    QFETCH(Messages, messages);
    QFETCH(QString, state);
    StationModel model(PayloadTables::Prefix);
    for (const auto &m : qAsConst(messages))
        model.handleMessage(m.first, m.second);
    QCOMPARE(describe(model), state);
}

void tst_StationModel::announcementsGathered_data()
{
    QTest::addColumn<Messages>("messages");
    QTest::addColumn<QList<int>>("cameras");
    QTest::addColumn<int>("others"); // counts, rates and log announcements

    Messages flood;
    for (int i = 0; i < 3000; ++i)
        flood << msg(i % 2 ? "camera/4/verdict" : "camera/9/verdict",
                     i % 3 ? R"({"verdict":"OK"})" : R"({"verdict":"NG","reason":"r"})")
              << msg("log", R"({"level":"info","text":"x"})");
    QTest::newRow("oneVerdict") << Messages{msg("camera/1/verdict", R"({"verdict":"OK"})")}
                                << QList<int>{1} << 0;
    QTest::newRow("everyKind") << Messages{msg("camera/3/name", "B"),
                                           msg("counts", R"({"good":1,"bad":0,"unknown":0})"),
                                           msg("rate", R"({"average":1,"instant":1})"),
                                           msg("log", R"({"level":"info","text":"a"})")}
                               << QList<int>{3} << 3;
    QTest::newRow("onlyBad") << Messages{msg("camera/3/verdict", "{")} << QList<int>() << 0;
    QTest::newRow("flood") << flood << QList<int>{4, 9} << 1;
}

// However many messages come in one turn of the event loop, each verdict is told at once and
// the rest in one announcement.
void tst_StationModel::announcementsGathered()
{
    QFETCH(Messages, messages);
    QFETCH(QList<int>, cameras);
    QFETCH(int, others);

    StationModel model(PayloadTables::Prefix);
    QSignalSpy verdicts(&model, &StationModel::verdictReceived);
    QSignalSpy camerasSpy(&model, &StationModel::camerasChanged);
    QList<QSignalSpy *> otherSpies = {new QSignalSpy(&model, &StationModel::countsChanged),
                                      new QSignalSpy(&model, &StationModel::ratesChanged),
                                      new QSignalSpy(&model, &StationModel::logAppended)};
    StationMessage last;
    for (const auto &m : qAsConst(messages)) {
        model.handleMessage(m.first, m.second);
        const StationMessage parsed =
            StationMessage::parse(PayloadTables::Prefix, m.first, m.second);
        if (parsed.kind == StationMessage::CameraVerdict)
            last = parsed;
        QCOMPARE(verdicts.count() > 0, last.camera > 0);
    }
    if (last.camera > 0) {
        const QList<QVariant> told = verdicts.last();
        QCOMPARE(told.at(0).toInt(), last.camera);
        QCOMPARE(told.at(1).value<StationMessage::Verdict>(), last.verdict);
        QCOMPARE(told.at(3).toString(), last.text);
    }
    QCOMPARE(camerasSpy.count(), 0);
    // A quiet spell after the announcement, in which a second one would show.
    QTest::qWait(5 * StationModel::RepaintIntervalMs);
    QTRY_COMPARE(camerasSpy.count(), cameras.isEmpty() ? 0 : 1);
    if (!cameras.isEmpty())
        QCOMPARE(camerasSpy.at(0).at(0).value<QList<int>>(), cameras);
    int announced = 0;
    for (QSignalSpy *spy : qAsConst(otherSpies))
        announced += spy->count();
    qDeleteAll(otherSpies);
    QCOMPARE(announced, others);
}

void tst_StationModel::badPayloadChangesNothing()
{
    QFETCH(QString, topic);
    QFETCH(QByteArray, payload);

    StationModel model(PayloadTables::Prefix);
    for (const auto &m :
         {msg("camera/3/verdict", R"({"verdict":"NG","reason":"before"})"),
          msg("camera/2/name", "Top"), msg("counts", R"({"good":1,"bad":2,"unknown":3})"),
          msg("rate", R"({"average":4,"instant":5})"),
          msg("log", R"({"level":"info","text":"before"})")})
        model.handleMessage(m.first, m.second);
    const QString before = describe(model);
    QSignalSpy verdicts(&model, &StationModel::verdictReceived);
    QtMessageHandler previous = qInstallMessageHandler(capture);
    warnings.clear();
    for (int i = 0; i < 3; ++i)
        model.handleMessage(topic, payload);
    qInstallMessageHandler(previous);

    QCOMPARE(describe(model), before);
    QCOMPARE(verdicts.count(), 0);
    QCOMPARE(model.rejectedCount(), qint64(3));
    // Logged the first time only, naming the topic.
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings.first().contains(topic), qPrintable(warnings.first()));
}

QTEST_GUILESS_MAIN(tst_StationModel)
#include "tst_stationmodel.moc"
