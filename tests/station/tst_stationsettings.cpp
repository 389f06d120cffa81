// The [Station] entries: what each combination means for the connection, and which ones leave
// the feed off with a reason.
#include <QtTest>

#include "../testsupport.h"
#include "station/stationsettings.h"

namespace
{

QString describe(const StationSettings &s)
{
    if (!s.configured)
        return QStringLiteral("off");
    if (!s.error.isEmpty())
        return QStringLiteral("refused: ") + s.error;
    QStringList parts{s.brokerText(), s.topicPrefix, s.user + QLatin1Char(':') + s.password,
                      QFileInfo(s.caFile).fileName(), s.clientId};
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' '));
}

} // namespace

class tst_StationSettings : public QObject
{
    Q_OBJECT

private slots:
    void entries_data();
    void entries();
};

void tst_StationSettings::entries_data()
{
    QTest::addColumn<QVariantMap>("entries");
    QTest::addColumn<QString>("meaning");
    const auto row = [](const char *name, const QString &broker, const QVariantMap &others,
                        const char *meaning) {
        QVariantMap entries = others;
        if (!broker.isNull())
            entries.insert(QStringLiteral("Broker"), broker);
        QTest::newRow(name) << entries << QString::fromUtf8(meaning);
    };

    row("noSection", QString(), {}, "off");
    row("emptyBroker", "  ", {{"Topic", "x"}}, "off");
    row("plain", "mqtt://127.0.0.1:1884", {}, "mqtt://127.0.0.1:1884 station : console-pc-op");
    row("topicTrailingSlashes", "mqtt://h", {{"Topic", "plant/line1//"}},
        "mqtt://h:1883 plant/line1 : console-pc-op");
    row("credentialsInUrl", "mqtt://ann:s%40cret@h:2", {},
        "mqtt://h:2 station ann:s@cret console-pc-op");
    row("entriesWinOverUrl", "mqtt://ann:url@h:2", {{"User", "bob"}, {"Password", "pw"}},
        "mqtt://h:2 station bob:pw console-pc-op");
    row("caRelativeToIni", "mqtts://h:3", {{"CAFile", "SetupConfig.ini"}, {"ClientId", "wall-2"}},
        "mqtts://h:3 station : SetupConfig.ini wall-2");
    row("noScheme", "127.0.0.1:1883", {},
        "refused: [Station] Broker is not mqtt://host:port or mqtts://host:port");
    row("portZero", "mqtt://h:0", {}, "refused: [Station] Broker has no usable port");
    row("topicWildcard", "mqtt://h", {{"Topic", "a/+/b"}},
        "refused: [Station] Topic holds a wildcard (+ or #)");
    row("passwordWithoutUser", "mqtt://h", {{"Password", "x"}},
        "refused: [Station] Password is set without a User");
}

void tst_StationSettings::entries()
{
    QFETCH(QVariantMap, entries);
    QFETCH(QString, meaning);
    // The INI's folder is the test's own, where a CAFile "SetupConfig.ini" is not.
    QTemporaryDir folder;
    QVERIFY(TestSupport::writeFile(folder.filePath(QStringLiteral("SetupConfig.ini")), "x"));
    const StationSettings settings = StationSettings::fromEntries(
        entries, folder.path(), QStringLiteral("pc"), QStringLiteral("op"));
    QCOMPARE(describe(settings), meaning);
    if (entries.value(QStringLiteral("CAFile")).isValid() && settings.error.isEmpty())
        QVERIFY(QFileInfo(settings.caFile).isAbsolute());
}

QTEST_GUILESS_MAIN(tst_StationSettings)
#include "tst_stationsettings.moc"
