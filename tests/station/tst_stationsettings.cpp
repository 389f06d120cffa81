// The [Station] entries: what each combination means for the connection, and which ones leave
// the feed off with a reason.
#include <QtTest>

#include "../testsupport.h"
#include "common/config/setupconfig.h"
#include "station/stationsettings.h"

namespace
{

const QString Host = QStringLiteral("line-pc");
const QString User = QStringLiteral("op");

QString describe(const StationSettings &s)
{
    if (!s.configured)
        return QStringLiteral("off");
    if (!s.error.isEmpty())
        return QStringLiteral("refused: ") + s.error;
    return QStringLiteral("%1 topic=%2 user=%3 password=%4 ca=%5 id=%6")
        .arg(s.brokerText(), s.topicPrefix, s.user, s.password, s.caFile, s.clientId);
}

} // namespace

class tst_StationSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void entries_data();
    void entries();
    void readFromIniFile();

private:
    QTemporaryDir m_folder;
};

void tst_StationSettings::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QVERIFY(TestSupport::writeFile(m_folder.filePath(QStringLiteral("ca.pem")), "pem"));
}

void tst_StationSettings::entries_data()
{
    QTest::addColumn<QVariantMap>("entries");
    QTest::addColumn<QString>("meaning");

    const QString id = StationSettings::defaultClientId(Host, User);
    const QString ca = m_folder.filePath(QStringLiteral("ca.pem"));
    auto broker = [](const char *url) {
        return QVariantMap{{QStringLiteral("Broker"), QString::fromUtf8(url)}};
    };
    auto with = [](QVariantMap map, const char *key, const QString &value) {
        map.insert(QString::fromLatin1(key), value);
        return map;
    };

    QTest::newRow("noSection") << QVariantMap() << QStringLiteral("off");
    QTest::newRow("emptyBroker") << broker("  ") << QStringLiteral("off");
    QTest::newRow("otherEntriesWithoutBroker")
        << with(QVariantMap(), "Topic", QStringLiteral("x")) << QStringLiteral("off");
    QTest::newRow("plain") << broker("mqtt://127.0.0.1:1884")
                           << QStringLiteral("mqtt://127.0.0.1:1884 topic=station user= "
                                             "password= ca= id=%1")
                                  .arg(id);
    QTest::newRow("defaultPort") << broker("mqtt://broker.local")
                                 << QStringLiteral("mqtt://broker.local:1883 topic=station user= "
                                                   "password= ca= id=%1")
                                        .arg(id);
    QTest::newRow("tlsDefaultPort") << broker("MQTTS://broker.local/")
                                    << QStringLiteral("mqtts://broker.local:8883 topic=station "
                                                      "user= password= ca= id=%1")
                                           .arg(id);
    QTest::newRow("topicTrailingSlashes")
        << with(broker("mqtt://h:1"), "Topic", QStringLiteral("plant/line1//"))
        << QStringLiteral("mqtt://h:1 topic=plant/line1 user= password= ca= id=%1").arg(id);
    QTest::newRow("credentialsInUrl")
        << broker("mqtt://ann:s%40cret@h:2")
        << QStringLiteral("mqtt://h:2 topic=station user=ann password=s@cret ca= id=%1").arg(id);
    QTest::newRow("entriesWinOverUrl")
        << with(with(broker("mqtt://ann:url@h:2"), "User", QStringLiteral("bob")), "Password",
                QStringLiteral("entry"))
        << QStringLiteral("mqtt://h:2 topic=station user=bob password=entry ca= id=%1").arg(id);
    QTest::newRow("caRelativeToIni")
        << with(broker("mqtts://h:3"), "CAFile", QStringLiteral("ca.pem"))
        << QStringLiteral("mqtts://h:3 topic=station user= password= ca=%1 id=%2").arg(ca, id);
    QTest::newRow("clientIdGiven")
        << with(broker("mqtt://h:4"), "ClientId", QStringLiteral("wall-2"))
        << QStringLiteral("mqtt://h:4 topic=station user= password= ca= id=wall-2");

    QTest::newRow("noScheme") << broker("127.0.0.1:1883")
                              << QStringLiteral("refused: [Station] Broker is not mqtt://host:port "
                                                "or mqtts://host:port");
    QTest::newRow("httpScheme") << broker("http://h:80")
                                << QStringLiteral("refused: [Station] Broker is not "
                                                  "mqtt://host:port or mqtts://host:port");
    QTest::newRow("withPath") << broker("mqtt://h:1/station")
                              << QStringLiteral("refused: [Station] Broker is not mqtt://host:port "
                                                "or mqtts://host:port");
    QTest::newRow("portZero") << broker("mqtt://h:0")
                              << QStringLiteral("refused: [Station] Broker has no usable port");
    QTest::newRow("portTooLarge") << broker("mqtt://h:70000")
                                  << QStringLiteral("refused: [Station] Broker is not "
                                                    "mqtt://host:port or mqtts://host:port");
    QTest::newRow("topicWildcard") << with(broker("mqtt://h:1"), "Topic", QStringLiteral("a/+/b"))
                                   << QStringLiteral("refused: [Station] Topic holds a wildcard "
                                                     "(+ or #)");
    QTest::newRow("passwordWithoutUser")
        << with(broker("mqtt://h:1"), "Password", QStringLiteral("x"))
        << QStringLiteral("refused: [Station] Password is set without a User");
    QTest::newRow("caMissing") << with(broker("mqtts://h:1"), "CAFile", QStringLiteral("none.pem"))
                               << QStringLiteral("refused: [Station] CAFile %1 cannot be read")
                                      .arg(m_folder.filePath(QStringLiteral("none.pem")));
}

void tst_StationSettings::entries()
{
    QFETCH(QVariantMap, entries);
    QFETCH(QString, meaning);
    const StationSettings settings =
        StationSettings::fromEntries(entries, m_folder.path(), Host, User);
    QCOMPARE(describe(settings), meaning);
}

// The section as an operator writes it, read through the configuration store.
void tst_StationSettings::readFromIniFile()
{
    QTemporaryDir appDir;
    QVERIFY(TestSupport::writeFile(appDir.filePath(QStringLiteral("config/SetupConfig.ini")),
                                   "[Station]\nBroker=mqtt://127.0.0.1:1999\nTopic=line7\n"
                                   "User=op\nPassword=secret\n"));
    SetupConfig::instance()->setAppDir(appDir.path());
    const StationSettings settings = StationSettings::fromConfig();
    QCOMPARE(settings.brokerText(), QStringLiteral("mqtt://127.0.0.1:1999"));
    QCOMPARE(settings.topicPrefix, QStringLiteral("line7"));
    QCOMPARE(settings.password, QStringLiteral("secret"));
    QVERIFY(settings.clientId.startsWith(QStringLiteral("console-")));
}

QTEST_GUILESS_MAIN(tst_StationSettings)
#include "tst_stationsettings.moc"
