#include <QCryptographicHash>
#include <QtTest>

#include "common/singleinstance/blockname.h"

Q_DECLARE_METATYPE(BlockIdentity)

class TstBlockName : public QObject
{
    Q_OBJECT

private slots:
    void blockNameRules_data();
    void blockNameRules();
    void blockNameShape();
    void blockNameMixesInputsInOrder();
};

void TstBlockName::blockNameRules_data()
{
    QTest::addColumn<BlockIdentity>("first");
    QTest::addColumn<BlockIdentity>("second");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("same");

    BlockIdentity base;
    base.applicationName = QStringLiteral("InspectionConsole");
    base.organizationName = QStringLiteral("Station");
    base.organizationDomain = QStringLiteral("station.example");
    base.applicationVersion = QStringLiteral("1.0.0");
    base.applicationFilePath = QStringLiteral("/opt/Console/bin/inspection-console");
    base.userName = QStringLiteral("alice");

    const int perUser = UniqueApplication::PerUser;
    const int ignoreVersion = UniqueApplication::IgnoreAppVersion;
    const int ignorePath = UniqueApplication::IgnoreAppPath;

    BlockIdentity version = base;
    version.applicationVersion = QStringLiteral("1.0.1");
    BlockIdentity path = base;
    path.applicationFilePath = QStringLiteral("/opt/Console2/bin/inspection-console");
    BlockIdentity pathCase = base;
    pathCase.applicationFilePath = QStringLiteral("/OPT/console/BIN/Inspection-Console");
    BlockIdentity user = base;
    user.userName = QStringLiteral("bob");
    BlockIdentity extra = base;
    extra.extraHashData = QStringList(QStringLiteral("second"));
    BlockIdentity appName = base;
    appName.applicationName = QStringLiteral("OtherConsole");

    QTest::newRow("identical") << base << base << perUser << true;
    QTest::newRow("versionChanged") << base << version << perUser << false;
    QTest::newRow("versionChangedIgnored") << base << version << (perUser | ignoreVersion) << true;
    QTest::newRow("pathChanged") << base << path << perUser << false;
    QTest::newRow("pathChangedIgnored") << base << path << (perUser | ignorePath) << true;
    QTest::newRow("pathLetterCase") << base << pathCase << perUser << true;
    QTest::newRow("otherUser") << base << user << perUser << false;
    QTest::newRow("otherUserSystemWide")
        << base << user << int(UniqueApplication::SystemWide) << true;
    QTest::newRow("otherUserNoFlags") << base << user << 0 << true;
    QTest::newRow("extraData") << base << extra << perUser << false;
    QTest::newRow("applicationName") << base << appName << perUser << false;
}

void TstBlockName::blockNameRules()
{
    QFETCH(BlockIdentity, first);
    QFETCH(BlockIdentity, second);
    QFETCH(int, mode);
    QFETCH(bool, same);

    const QString a = BlockName::compute(first, UniqueApplication::Mode(mode));
    const QString b = BlockName::compute(second, UniqueApplication::Mode(mode));
    QCOMPARE(a == b, same);
}

void TstBlockName::blockNameShape()
{
    // Enough different inputs that some digest contains a "/" in Base64.
    for (int i = 0; i < 64; ++i) {
        BlockIdentity identity;
        identity.applicationName = QString::number(i);
        const QString name = BlockName::compute(identity, UniqueApplication::PerUser);
        QCOMPARE(name.size(), 44);
        QVERIFY2(!name.contains(QLatin1Char('/')), qPrintable(name));
        QVERIFY(name.endsWith(QLatin1Char('=')));
    }
}

void TstBlockName::blockNameMixesInputsInOrder()
{
    BlockIdentity identity;
    identity.applicationName = QStringLiteral("App");
    identity.organizationName = QStringLiteral("Org");
    identity.organizationDomain = QStringLiteral("org.example");
    identity.extraHashData = QStringList{QStringLiteral("x"), QStringLiteral("y")};
    identity.applicationVersion = QStringLiteral("2.1");
    identity.applicationFilePath = QStringLiteral("/Usr/Bin/App");
    identity.userName = QStringLiteral("Ünïcode");

    const QByteArray input = QByteArray("UniqueApplication") + "App" + "Org" + "org.example" +
                             "xy" + "2.1" + "/usr/bin/app" + QStringLiteral("Ünïcode").toUtf8();
    const QByteArray expected =
        QCryptographicHash::hash(input, QCryptographicHash::Sha256).toBase64().replace('/', '_');
    QCOMPARE(BlockName::compute(identity, UniqueApplication::PerUser),
             QString::fromLatin1(expected));
}

QTEST_GUILESS_MAIN(TstBlockName)

#include "tst_blockname.moc"
