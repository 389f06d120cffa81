#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <thread>

#include "../../testsupport.h"
#include "common/config/setupconfig.h"

namespace
{

using TestSupport::readFile;
using TestSupport::treeOf;
using TestSupport::writeFile;

const QString HelperPath = QStringLiteral(TEST_HELPER_DIR "/helper_setupconfig");

// What another reader of the INI file sees, through a settings object of its own.
QString storedValue(const QString &iniPath, const QString &key)
{
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.value(key).toString();
}

} // namespace

class tst_SetupConfig : public QObject
{
    Q_OBJECT

private slots:
    void firstStartSeedsDefaults();
    void handEditedFile_data();
    void handEditedFile();
    void garbageIsKeptAsBackup();
    void writesReachTheDiskAtOnce();
    void unwritableLocations_data();
    void unwritableLocations();
    void killedWriterLeavesCompleteFile();
    void emptyLockFileFromAKilledWriter();
    void unfinishedWritesAreCleared();
    void instanceIsOneObject();
    void otherEntriesAreKept_data();
    void otherEntriesAreKept();
    void secretsMakeTheFilePrivate_data();
    void secretsMakeTheFilePrivate();
};

void tst_SetupConfig::firstStartSeedsDefaults()
{
    QTemporaryDir tmp;
    const QString appDir = tmp.path() + QStringLiteral("/app/bin");
    SetupConfig *store = SetupConfig::instance();
    store->setAppDir(appDir);

    QCOMPARE(store->configDir(), appDir + QStringLiteral("/config"));
    QCOMPARE(store->iniFilePath(), appDir + QStringLiteral("/config/SetupConfig.ini"));
    QVERIFY(QFileInfo(store->configDir()).isDir());
    QCOMPARE(store->theme(), QStringLiteral("dark_blue"));
    QCOMPARE(store->camera(), qMakePair(16, 0));
    QCOMPARE(storedValue(store->iniFilePath(), QStringLiteral("Config/Theme")),
             QStringLiteral("dark_blue"));
    QCOMPARE(storedValue(store->iniFilePath(), QStringLiteral("Camera/Type")),
             QStringLiteral("16"));
    QCOMPARE(storedValue(store->iniFilePath(), QStringLiteral("Camera/Index")),
             QStringLiteral("0"));
}

void tst_SetupConfig::handEditedFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("theme");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("index");
    // What the file holds afterwards, as another reader sees it.
    QTest::addColumn<QString>("storedType");
    QTest::addColumn<QString>("storedIndex");

    QTest::newRow("onlyTheme") << QByteArray("[Config]\nTheme=light_green\n") << "light_green" << 16
                               << 0 << "16"
                               << "0";
    QTest::newRow("emptyFile") << QByteArray() << "dark_blue" << 16 << 0 << "16"
                               << "0";
    QTest::newRow("onlyCameraSection")
        << QByteArray("[Camera]\nType=9\nIndex=1\n") << "dark_blue" << 9 << 1 << "9"
        << "1";
    QTest::newRow("nonNumericIndex") << QByteArray("[Config]\nTheme=dark_green\n[Camera]\nType=4\n"
                                                   "Index=four\n")
                                     << "dark_green" << 4 << 0 << "4"
                                     << "four";
    QTest::newRow("hugeNumber") << QByteArray("[Camera]\nType=99999999999999999999\nIndex=2\n")
                                << "dark_blue" << 0 << 2 << "99999999999999999999"
                                << "2";
    QTest::newRow("beyondIntRange") << QByteArray("[Camera]\nType=4294967302\nIndex=-4294967286\n")
                                    << "dark_blue" << 0 << 0 << "4294967302"
                                    << "-4294967286";
    QTest::newRow("negativeNumbers")
        << QByteArray("[Camera]\nType=-6\nIndex=-1\n") << "dark_blue" << -6 << -1 << "-6"
        << "-1";
    QTest::newRow("utf8Theme") << QByteArray("[Config]\nTheme=\xe4\xb8\xbb\xe9\xa2\x98\n")
                               << QString::fromUtf8("\xe4\xb8\xbb\xe9\xa2\x98") << 16 << 0 << "16"
                               << "0";
    QTest::newRow("keysInOtherCase")
        << QByteArray("[camera]\ntype=9\n") << "dark_blue" << 16 << 0 << "16"
        << "0";
}

void tst_SetupConfig::handEditedFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, theme);
    QFETCH(int, type);
    QFETCH(int, index);
    QFETCH(QString, storedType);
    QFETCH(QString, storedIndex);

    QTemporaryDir tmp;
    const QString ini = tmp.path() + QStringLiteral("/config/SetupConfig.ini");
    QVERIFY(writeFile(ini, content));

    SetupConfig *store = SetupConfig::instance();
    store->setAppDir(tmp.path());
    QCOMPARE(store->theme(), theme);
    QCOMPARE(store->camera(), qMakePair(type, index));
    QCOMPARE(storedValue(ini, QStringLiteral("Config/Theme")), theme);
    QCOMPARE(storedValue(ini, QStringLiteral("Camera/Type")), storedType);
    QCOMPARE(storedValue(ini, QStringLiteral("Camera/Index")), storedIndex);
    QVERIFY(!QFile::exists(ini + QStringLiteral(".damaged")));
}

void tst_SetupConfig::garbageIsKeptAsBackup()
{
    // A damaged file is kept for the operator before it is rewritten, and a second damaged file
    // must not replace the first one's copy.
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) % 256));
    // Not of the size of the clean file written just before it: QSettings takes a file of the
    // same size and time stamp (within the file system's clock tick) from its cache.
    const QByteArray partlyDamaged(
        "[Config]\nTheme=light_blue\n\x01\x02 junk\n[Camera]\nType=9\nIndex=0\n");

    QTemporaryDir tmp;
    const QString ini = tmp.path() + QStringLiteral("/config/SetupConfig.ini");
    for (const bool partly : {false, true}) {
        const QByteArray content = partly ? partlyDamaged : garbage;
        QVERIFY(writeFile(ini, content));

        SetupConfig *store = SetupConfig::instance();
        store->setAppDir(tmp.path());
        QCOMPARE(readFile(ini + (partly ? ".damaged.2" : ".damaged")), content);
        QCOMPARE(store->theme(),
                 partly ? QStringLiteral("light_blue") : QStringLiteral("dark_blue"));
        QCOMPARE(store->camera(), qMakePair(partly ? 9 : 16, 0));

        // The new file is clean and takes further changes.
        store->setCamera(4, 8);
        QSettings check(ini, QSettings::IniFormat);
        QCOMPARE(check.allKeys().size(), 3);
        QCOMPARE(check.status(), QSettings::NoError);
        QCOMPARE(check.value(QStringLiteral("Camera/Index")).toInt(), 8);
    }
    QCOMPARE(readFile(ini + QStringLiteral(".damaged")), garbage);
}

void tst_SetupConfig::writesReachTheDiskAtOnce()
{
    QTemporaryDir tmp;
    SetupConfig *store = SetupConfig::instance();
    store->setAppDir(tmp.path());
    const QString ini = store->iniFilePath();

    store->setCamera(9, 1);
    QCOMPARE(storedValue(ini, QStringLiteral("Camera/Type")), QStringLiteral("9"));
    QCOMPARE(storedValue(ini, QStringLiteral("Camera/Index")), QStringLiteral("1"));
    store->setTheme(QStringLiteral("light_green"));
    QCOMPARE(storedValue(ini, QStringLiteral("Config/Theme")), QStringLiteral("light_green"));

    // The next start, a process of its own, reads what this one wrote.
    QProcess next;
    next.start(HelperPath, {tmp.path(), QStringLiteral("print")});
    QVERIFY(next.waitForFinished(30000));
    QCOMPARE(next.exitCode(), 0);
    QCOMPARE(next.readAllStandardOutput().trimmed(), QByteArray("light_green 9 1"));
}

void tst_SetupConfig::unwritableLocations_data()
{
    QTest::addColumn<QString>("blocker"); // made a regular file before the store starts
    QTest::addColumn<QString>("appDir");  // relative to the temporary folder

    QTest::newRow("appDirUnderAFile") << "plain"
                                      << "plain/app";
    QTest::newRow("configIsAFile") << "app/config"
                                   << "app";
    QTest::newRow("iniIsADirectory") << QString() << "app";
}

void tst_SetupConfig::unwritableLocations()
{
    QFETCH(QString, blocker);
    QFETCH(QString, appDir);

    // Runs as root in CI, where permission bits stop nothing: block the paths by their kind,
    // the user's configuration folder included.
    QTemporaryDir tmp;
    QVERIFY(writeFile(tmp.path() + QStringLiteral("/xdg"), "not a folder"));
    const QByteArray userConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(tmp.path() + QStringLiteral("/xdg/config")));
    const auto restore = qScopeGuard([&userConfig] { qputenv("XDG_CONFIG_HOME", userConfig); });
    if (blocker.isEmpty())
        QVERIFY(QDir().mkpath(tmp.path() + QStringLiteral("/app/config/SetupConfig.ini")));
    else
        QVERIFY(writeFile(tmp.path() + QLatin1Char('/') + blocker, "not a folder"));
    const QStringList before = treeOf(tmp.path());

    SetupConfig *store = SetupConfig::instance();
    store->setAppDir(tmp.path() + QLatin1Char('/') + appDir);
    QCOMPARE(store->theme(), QStringLiteral("dark_blue"));
    QCOMPARE(store->camera(), qMakePair(16, 0));

    // Changes stay in force for the run and nothing is written anywhere else.
    store->setCamera(6, 10);
    store->setTheme(QStringLiteral("light_blue"));
    QCOMPARE(store->camera(), qMakePair(6, 10));
    QCOMPARE(store->theme(), QStringLiteral("light_blue"));
    QCOMPARE(treeOf(tmp.path()), before);
}

void tst_SetupConfig::killedWriterLeavesCompleteFile()
{
    QTemporaryDir tmp;
    const QString ini = tmp.path() + QStringLiteral("/config/SetupConfig.ini");
    QRandomGenerator random(20261208);

    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        writer.start(HelperPath, {tmp.path(), QStringLiteral("hammer")});
        QVERIFY(writer.waitForReadyRead(30000));
        QTest::qWait(int(random.bounded(5, 60)));
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        // Every file left behind is whole: all keys, and a type and index from the same write.
        QSettings check(ini, QSettings::IniFormat);
        check.setIniCodec("UTF-8");
        QCOMPARE(check.status(), QSettings::NoError);
        QCOMPARE(check.value(QStringLiteral("Config/Theme")).toString(),
                 QStringLiteral("dark_blue"));
        const int type = check.value(QStringLiteral("Camera/Type")).toInt();
        const int index = check.value(QStringLiteral("Camera/Index")).toInt();
        QVERIFY2(index == 0 || index == type + 100000,
                 qPrintable(QStringLiteral("type %1 index %2").arg(type).arg(index)));
    }

    // A lock file left by a killed writer does not stop the next start from writing.
    QProcess next;
    next.start(HelperPath, {tmp.path(), QStringLiteral("print")});
    QVERIFY(next.waitForFinished(30000));
    QCOMPARE(next.exitCode(), 0);
    SetupConfig::instance()->setAppDir(tmp.path());
    SetupConfig::instance()->setCamera(13, 3);
    QCOMPARE(storedValue(ini, QStringLiteral("Camera/Type")), QStringLiteral("13"));
}

void tst_SetupConfig::emptyLockFileFromAKilledWriter()
{
    // Regression: an empty lock file left by a writer killed at the wrong moment kept every later
    // write waiting for half a minute.
    QTemporaryDir tmp;
    SetupConfig *store = SetupConfig::instance();
    store->setAppDir(tmp.path());
    const QString lock = store->iniFilePath() + QStringLiteral(".lock");
    QVERIFY(writeFile(lock, QByteArray()));
    QFile lockFile(lock);
    QVERIFY(lockFile.open(QIODevice::ReadWrite));
    QVERIFY(lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-5),
                                 QFileDevice::FileModificationTime));
    lockFile.close();

    QElapsedTimer clock;
    clock.start();
    store->setCamera(8, 8);
    QCOMPARE(storedValue(store->iniFilePath(), QStringLiteral("Camera/Index")),
             QStringLiteral("8"));
    QVERIFY(!QFile::exists(lock));
    qInfo("write past a stale lock file took %lld ms", clock.elapsed());
}

void tst_SetupConfig::unfinishedWritesAreCleared()
{
    // Regression: a write killed before its rename left "SetupConfig.ini.XXXXXX" for good.
    QTemporaryDir tmp;
    const QString ini = tmp.path() + QStringLiteral("/config/SetupConfig.ini");
    QVERIFY(writeFile(ini + QStringLiteral(".Ab12Cd"), "[Camera]\nType=9\n"));
    // Not a QSettings copy: the operator's backup, and one of the same length.
    const QStringList kept{ini + QStringLiteral(".damaged"), ini + QStringLiteral(".Ab12C-")};
    for (const QString &file : kept)
        QVERIFY(writeFile(file, "the operator's"));

    // Starts while another process writes: its unfinished copy is not taken from under it.
    QProcess writer;
    writer.start(HelperPath, {tmp.path(), QStringLiteral("hammer")});
    QVERIFY(writer.waitForReadyRead(30000));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(QProcess::execute(HelperPath, {tmp.path(), QStringLiteral("print")}), 0);
    writer.terminate();
    QVERIFY(writer.waitForFinished(30000));
    const QByteArray warnings = writer.readAllStandardError();
    QVERIFY2(!warnings.contains("could not write"), warnings.constData());

    QVERIFY(!QFile::exists(ini + QStringLiteral(".Ab12Cd")));
    for (const QString &file : kept)
        QCOMPARE(readFile(file), QByteArray("the operator's"));
}

void tst_SetupConfig::instanceIsOneObject()
{
    SetupConfig *seen[8] = {};
    std::vector<std::thread> threads;
    for (auto &slot : seen)
        threads.emplace_back([&slot] { slot = SetupConfig::instance(); });
    for (auto &thread : threads)
        thread.join();
    for (SetupConfig *store : seen)
        QCOMPARE(store, SetupConfig::instance());
}

void tst_SetupConfig::otherEntriesAreKept_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("damaged");

    const QByteArray others("[Channel03]\nSource=test:ball\nName=\xe5\x85\xa5\xe5\x8f\xa3\n"
                            "[Vendor]\nFoo=bar\n");
    QTest::newRow("layoutWritten") << QByteArray("[Camera]\nType=9\nIndex=0\n") + others << false;
    QTest::newRow("damagedFileRepaired")
        << QByteArray("[Camera]\nType=9\nIndex=0\n\x01\x02 junk\n") + others << true;
}

void tst_SetupConfig::otherEntriesAreKept()
{
    // Entries of other parts of the console, and ones no part knows, survive a layout change and
    // the repair of a damaged file.
    QFETCH(QByteArray, content);
    QFETCH(bool, damaged);

    QTemporaryDir tmp;
    const QString ini = tmp.path() + QStringLiteral("/config/SetupConfig.ini");
    QVERIFY(writeFile(ini, content));
    SetupConfig *store = SetupConfig::instance();
    store->setAppDir(tmp.path());
    QCOMPARE(QFile::exists(ini + QStringLiteral(".damaged")), damaged);
    QCOMPARE(store->keysOf(QStringLiteral("Channel03")),
             QStringList({QStringLiteral("Name"), QStringLiteral("Source")}));
    store->setCamera(4, 4);

    const QString name = QString::fromUtf8("\xe5\x85\xa5\xe5\x8f\xa3");
    QCOMPARE(storedValue(ini, QStringLiteral("Channel03/Source")), QStringLiteral("test:ball"));
    QCOMPARE(storedValue(ini, QStringLiteral("Channel03/Name")), name);
    QCOMPARE(storedValue(ini, QStringLiteral("Vendor/Foo")), QStringLiteral("bar"));
    QCOMPARE(storedValue(ini, QStringLiteral("Camera/Index")), QStringLiteral("4"));
    QCOMPARE(store->value(QStringLiteral("Channel03/Name")).toString(), name);
}

void tst_SetupConfig::secretsMakeTheFilePrivate_data()
{
    QTest::addColumn<QByteArray>("content"); // the file at start-up
    QTest::addColumn<QString>("key");        // then written by the console
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ownerOnly");

    QTest::newRow("handEditedPassword")
        << QByteArray("[Station]\nPassword=pw\n") << QString() << QString() << true;
    QTest::newRow("passwordWritten") << QByteArray() << "Station/Password"
                                     << "pw" << true;
    QTest::newRow("urlWithPassword") << QByteArray() << "Channel01/Source"
                                     << "rtsp://u:pw@127.0.0.1/a" << true;
    QTest::newRow("noSecret") << QByteArray() << "Channel01/Source"
                              << "rtsp://u@127.0.0.1/a" << false;
}

void tst_SetupConfig::secretsMakeTheFilePrivate()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(bool, ownerOnly);

    QTemporaryDir tmp;
    const QString ini = tmp.path() + QStringLiteral("/config/SetupConfig.ini");
    QVERIFY(writeFile(ini, content));
    QVERIFY(QFile::setPermissions(ini, QFile::permissions(ini) | QFileDevice::ReadGroup |
                                           QFileDevice::ReadOther));
    SetupConfig *store = SetupConfig::instance();
    store->setAppDir(tmp.path());
    if (!key.isEmpty())
        store->setValue(key, value);
    store->setCamera(2, 2);

    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    QCOMPARE(!(QFile::permissions(ini) & others), ownerOnly);
}

QTEST_GUILESS_MAIN(tst_SetupConfig)
#include "tst_setupconfig.moc"
