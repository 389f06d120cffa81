// The store against real folders: the budget and age rules, a folder that cannot be written,
// a damaged index, and a writer killed in the middle of a burst.
#include <QBuffer>
#include <QImageWriter>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>

#include "../testsupport.h"
#include "moments/momentstore.h"
#include "moments/momentwriter.h"
#include "momenttestsupport.h"

using namespace MomentTestSupport;

namespace
{

constexpr int SignalWaitMs = 20000;
constexpr int Quality = 80;

QStringList warnings;
QtMessageHandler previousHandler = nullptr;

void collectWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Moments:")))
        warnings << message;
    else
        previousHandler(type, context, message);
}

MomentSettings limits(qint64 maxBytes, int maxDays)
{
    MomentSettings settings;
    settings.maxBytes = maxBytes;
    settings.maxAgeMs = maxDays * MomentSettings::MsPerDay;
    settings.jpegQuality = Quality;
    return settings;
}

const MomentSettings Unlimited = limits(qint64(1) << 40, 3650);

// Hands every moment over and waits until the accepted ones are written.
bool writeAll(MomentStore &store, const QVector<Moment> &moments)
{
    QSignalSpy kept(&store, &MomentStore::kept);
    int accepted = 0;
    for (const Moment &m : moments)
        accepted += store.submit(m) ? 1 : 0;
    while (kept.count() < accepted) {
        if (!kept.wait(SignalWaitMs))
            return false;
    }
    return accepted == moments.size();
}

// The pictures in the store's folder, relative to it.
QSet<QString> pictureFiles(const QString &folder)
{
    QSet<QString> files;
    for (const QString &path : TestSupport::treeOf(folder)) {
        if (path.endsWith(QLatin1String(".jpg")) || path.endsWith(QLatin1String(".part")))
            files.insert(QDir(folder).relativeFilePath(path));
    }
    return files;
}

QSet<QString> rowFiles(const QVector<Moment> &moments)
{
    QSet<QString> files;
    for (const Moment &m : moments) {
        if (!m.file.isEmpty())
            files.insert(m.file);
    }
    return files;
}

QSet<int> reasons(const QVector<Moment> &moments)
{
    QSet<int> result;
    for (const Moment &m : moments)
        result.insert(m.reason.toInt());
    return result;
}

qint64 jpegBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(Quality);
    writer.write(image);
    return bytes.size();
}

} // namespace

class tst_MomentStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void limitsEvictOldestFirst_data();
    void limitsEvictOldestFirst();
    void unwritableFolderStopsAndResumes_data();
    void unwritableFolderStopsAndResumes();
    void damagedIndexIsSetAside();
    void killDuringBurstLeavesCompleteIndex_data();
    void killDuringBurstLeavesCompleteIndex();

private:
    QTemporaryDir m_home;
};

void tst_MomentStore::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
}

void tst_MomentStore::init()
{
    warnings.clear();
    previousHandler = qInstallMessageHandler(collectWarnings);
}

void tst_MomentStore::cleanup()
{
    qInstallMessageHandler(previousHandler);
}

void tst_MomentStore::limitsEvictOldestFirst_data()
{
    // Moment i is hoursAgo[i] old and carries i as its reason; the budget is given in moments
    // (pictures of one size, each with its index row), 0 for none.
    QTest::addColumn<QVector<double>>("hoursAgo");
    QTest::addColumn<double>("budget");
    QTest::addColumn<int>("maxDays");
    QTest::addColumn<QSet<int>>("kept");
    const QVector<double> five = {5, 4, 3, 2, 1};
    QTest::newRow("withinBoth") << five << 10.0 << 30 << QSet<int>{0, 1, 2, 3, 4};
    QTest::newRow("exactlyAtBudget") << five << 5.0 << 30 << QSet<int>{0, 1, 2, 3, 4};
    QTest::newRow("budgetTakesOldest") << five << 3.5 << 30 << QSet<int>{2, 3, 4};
    QTest::newRow("oldestByVerdictTime")
        << QVector<double>{1, 5, 2, 4, 3} << 2.5 << 30 << QSet<int>{0, 2};
    QTest::newRow("pastMaxDays") << QVector<double>{40 * 24, 31 * 24, 29 * 24, 1} << 0.0 << 30
                                 << QSet<int>{2, 3};
    QTest::newRow("oneDayLimit") << QVector<double>{30, 25, 23, 1} << 0.0 << 1 << QSet<int>{2, 3};
    QTest::newRow("bothRules") << QVector<double>{35 * 24, 3, 2, 1} << 2.5 << 30 << QSet<int>{2, 3};
    QTest::newRow("pictureOverBudget") << five << 0.5 << 30 << QSet<int>{};
}

// The same rule whether the moments arrive under the limits or were kept before and the store
// opens under them.
void tst_MomentStore::limitsEvictOldestFirst()
{
    QFETCH(QVector<double>, hoursAgo);
    QFETCH(double, budget);
    QFETCH(int, maxDays);
    QFETCH(QSet<int>, kept);

    QImage picture(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    }
    const qint64 footprint = MomentWriter::footprint(jpegBytes(picture));
    const MomentSettings limited =
        limits(budget > 0 ? qint64(budget * footprint) : Unlimited.maxBytes, maxDays);
    QVector<Moment> moments;
    for (int i = 0; i < hoursAgo.size(); ++i)
        moments << moment(i % 16 + 1, MomentTestSupport::hoursAgo(hoursAgo.at(i)), picture,
                          QString::number(i));

    QTemporaryDir arriving;
    {
        MomentStore store(arriving.path(), limited);
        QVERIFY(writeAll(store, moments));
    }
    QTemporaryDir opening;
    {
        MomentStore store(opening.path(), Unlimited);
        QVERIFY(writeAll(store, moments));
    }
    {
        MomentStore store(opening.path(), limited);
        store.start();
    }
    for (const QString &folder : {arriving.path(), opening.path()}) {
        const QVector<Moment> rows = MomentTestSupport::rows(folder);
        QCOMPARE(reasons(rows), kept);
        QCOMPARE(pictureFiles(folder), rowFiles(rows));
    }
}

void tst_MomentStore::unwritableFolderStopsAndResumes_data()
{
    QTest::addColumn<bool>("dayFolder");
    QTest::newRow("dayFolderAfterAMoment") << true;
    QTest::newRow("storeFolderFromTheStart") << false;
}

void tst_MomentStore::unwritableFolderStopsAndResumes()
{
    QFETCH(bool, dayFolder);
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/moments");
    const QString blocked =
        dayFolder ? folder + QDate::currentDate().toString(QStringLiteral("/yyyy-MM-dd")) : folder;
    const QImage red = filled(Qt::red);
    MomentStore store(folder, Unlimited);
    QSignalSpy stopped(&store, &MomentStore::captureStopped);
    QSignalSpy resumed(&store, &MomentStore::captureResumed);

    QByteArray keptBytes;
    if (dayFolder) {
        QVERIFY(writeAll(store, {moment(1, hoursAgo(0), red, QStringLiteral("before"))}));
        keptBytes = TestSupport::readFile(folder + QLatin1Char('/') + rows(folder).at(0).file);
        QVERIFY(QDir().rename(blocked, blocked + QStringLiteral(".aside")));
    }
    // Root runs the tests: a file in the folder's place blocks it where permissions would not.
    QVERIFY(TestSupport::writeFile(blocked, "not a folder"));

    // Taken or refused, depending on whether the worker has found the folder blocked yet.
    store.submit(moment(2, hoursAgo(0), red, QStringLiteral("blocked")));
    QVERIFY(stopped.count() == 1 || stopped.wait(SignalWaitMs));
    QVERIFY(!store.capturing());
    QVERIFY(!store.submit(moment(3, hoursAgo(0), red, QStringLiteral("dropped"))));

    QVERIFY(QFile::remove(blocked));
    // POSIX rename: it replaces the empty folder a retry may have made in the meantime.
    if (dayFolder)
        QCOMPARE(std::rename(QFile::encodeName(blocked + QStringLiteral(".aside")).constData(),
                             QFile::encodeName(blocked).constData()),
                 0);
    QVERIFY(resumed.wait(SignalWaitMs));
    QVERIFY(store.capturing());
    QVERIFY(writeAll(store, {moment(4, hoursAgo(0), red, QStringLiteral("after"))}));

    QCOMPARE(stopped.count(), 1);
    QCOMPARE(resumed.count(), 1);
    // One line when it stops and one when it resumes, however many moments were dropped.
    QCOMPARE(warnings.size(), 2);
    const QVector<Moment> kept = rows(folder);
    QStringList keptReasons;
    for (const Moment &m : kept) {
        keptReasons << m.reason;
        QVERIFY(isCompleteJpeg(folder + QLatin1Char('/') + m.file));
    }
    const QStringList expected =
        dayFolder ? QStringList{QStringLiteral("before"), QStringLiteral("after")}
                  : QStringList{QStringLiteral("after")};
    QCOMPARE(keptReasons, expected);
    if (dayFolder)
        QCOMPARE(TestSupport::readFile(folder + QLatin1Char('/') + kept.at(0).file), keptBytes);
}

// A hand-damaged index is no reason to lose the pictures or stop capturing: both are set aside
// for the operator and a new index begins.
void tst_MomentStore::damagedIndexIsSetAside()
{
    QTemporaryDir dir;
    QVERIFY(TestSupport::writeFile(dir.filePath(MomentIndex::fileName()), QByteArray(4096, 'x')));
    QVERIFY(TestSupport::writeFile(dir.filePath(QStringLiteral("2020-01-01/000000-000-c01.jpg")),
                                   "picture"));
    {
        MomentStore store(dir.path(), Unlimited);
        QVERIFY(writeAll(store, {moment(5, hoursAgo(0), filled(Qt::blue))}));
        QVERIFY(store.capturing());
    }
    QCOMPARE(rows(dir.path()).size(), 1);
    const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("damaged-*")}, QDir::Dirs);
    QCOMPARE(aside.size(), 1);
    const QString asideFolder = dir.filePath(aside.at(0));
    QCOMPARE(TestSupport::readFile(asideFolder + QStringLiteral("/2020-01-01/000000-000-c01.jpg")),
             QByteArray("picture"));
    QCOMPARE(TestSupport::readFile(asideFolder + QLatin1Char('/') + MomentIndex::fileName()),
             QByteArray(4096, 'x'));
}

void tst_MomentStore::killDuringBurstLeavesCompleteIndex_data()
{
    QTest::addColumn<int>("keptBeforeKill");
    for (int kept : {1, 4, 16, 48})
        QTest::newRow(qPrintable(QStringLiteral("after%1").arg(kept))) << kept;
}

void tst_MomentStore::killDuringBurstLeavesCompleteIndex()
{
    QFETCH(int, keptBeforeKill);
    QTemporaryDir dir;
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(QStringLiteral(TEST_HELPER_DIR "/helper_momentburst"), {dir.path()});
    QVERIFY(writer.waitForStarted());
    int kept = 0;
    while (kept < keptBeforeKill) {
        if (!writer.canReadLine())
            QVERIFY2(writer.waitForReadyRead(SignalWaitMs), "the writer stopped writing");
        while (writer.canReadLine())
            kept = writer.readLine().trimmed().toInt();
    }
    ::kill(pid_t(writer.processId()), SIGKILL);
    QVERIFY(writer.waitForFinished());

    {
        MomentIndex index(dir.path());
        QVERIFY2(index.open(false), qPrintable(index.errorText()));
        QSqlQuery check(index.database());
        QVERIFY(check.exec(QStringLiteral("PRAGMA integrity_check")) && check.next());
        QCOMPARE(check.value(0).toString(), QStringLiteral("ok"));
    }
    const QVector<Moment> written = rows(dir.path());
    QVERIFY(written.size() >= keptBeforeKill);
    for (const Moment &m : written) {
        const QString path = dir.filePath(m.file);
        QVERIFY2(isCompleteJpeg(path), qPrintable(path));
        QCOMPARE(QFileInfo(path).size(), m.bytes);
    }
    // The next start clears what the killed writer left half done, and only that.
    {
        MomentStore store(dir.path(), Unlimited);
        store.start();
    }
    const QVector<Moment> reopened = rows(dir.path());
    QCOMPARE(reopened.size(), written.size());
    QCOMPARE(pictureFiles(dir.path()), rowFiles(reopened));
}

QTEST_MAIN(tst_MomentStore)
#include "tst_momentstore.moc"
