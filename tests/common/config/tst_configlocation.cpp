#include <QTemporaryDir>
#include <QtTest>

#include "../../testsupport.h"
#include "common/config/configlocation.h"

// Where the console keeps its INI file and finds its themes, on real folders. The tests run as
// root, where permission bits stop nothing, so a place that cannot be written is a path under
// a regular file.
class tst_ConfigLocation : public QObject
{
    Q_OBJECT

private slots:
    void rule_data();
    void rule();
};

void tst_ConfigLocation::rule_data()
{
    QTest::addColumn<QStringList>("folders"); // made first, relative to a temporary folder
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<QString>("dataDir"); // "<user>" stands for the user's folder
    QTest::addColumn<QString>("iniDir");

    QTest::newRow("buildFolder") << QStringList{"build/bin/config/style/dark_blue"} << "build/bin"
                                 << "build/bin/config"
                                 << "build/bin/config";
    QTest::newRow("firstStartInANewFolder") << QStringList{} << "station/app"
                                            << "station/app/config"
                                            << "station/app/config";
    QTest::newRow("installedPrefix")
        << QStringList{"usr/bin", "usr/share/inspection-console/style/dark_blue"} << "usr/bin"
        << "usr/share/inspection-console"
        << "<user>";
    QTest::newRow("writableFolderBesideInstalledCopy")
        << QStringList{"usr/bin/config", "usr/share/inspection-console"} << "usr/bin"
        << "usr/bin/config"
        << "usr/bin/config";
    QTest::newRow("unwritableEverything") << QStringList{} << "plainfile/app"
                                          << "plainfile/app/config"
                                          << "<user>";
}

void tst_ConfigLocation::rule()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, appDir);
    QFETCH(QString, dataDir);
    QFETCH(QString, iniDir);

    QTemporaryDir tmp;
    const QString root = tmp.path() + QLatin1Char('/');
    for (const QString &folder : folders)
        QVERIFY(QDir().mkpath(root + folder));
    // The user's folder lies under a file too: nothing in this table may be written there.
    QVERIFY(TestSupport::writeFile(root + QStringLiteral("plainfile"), "not a folder"));
    const QString user = root + QStringLiteral("plainfile/.config/console");
    const auto expand = [&](const QString &dir) { return dir == "<user>" ? user : root + dir; };

    const ConfigLocation location = ConfigLocation::resolve(
        root + appDir, ConfigLocation::installedDataDir(root + appDir), user);
    QCOMPARE(location.dataDir, expand(dataDir));
    QCOMPARE(location.iniDir, expand(iniDir));
}

QTEST_GUILESS_MAIN(tst_ConfigLocation)
#include "tst_configlocation.moc"
