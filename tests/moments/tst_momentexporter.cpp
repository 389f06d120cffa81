// Exported moments: the CSV's fields as a spreadsheet reads them back, and the pictures copied
// beside it without overwriting what the folder holds.
#include <QTemporaryDir>
#include <QtTest>

#include "../testsupport.h"
#include "moments/momentexporter.h"
#include "moments/momentstore.h"
#include "momenttestsupport.h"

using namespace MomentTestSupport;

namespace
{

constexpr int SignalWaitMs = 20000;

} // namespace

class tst_MomentExporter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void csvFields_data();
    void csvFields();
    void exportsPicturesAndCsv();

private:
    QTemporaryDir m_home;
};

void tst_MomentExporter::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
}

void tst_MomentExporter::csvFields_data()
{
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << QStringLiteral("scratch") << QStringLiteral("scratch");
    QTest::newRow("chinese") << QStringLiteral("划痕") << QStringLiteral("划痕");
    QTest::newRow("comma") << QStringLiteral("scratch, 2 mm")
                           << QStringLiteral("\"scratch, 2 mm\"");
    QTest::newRow("quote") << QStringLiteral("a \"deep\" dent")
                           << QStringLiteral("\"a \"\"deep\"\" dent\"");
    QTest::newRow("lineBreak") << QStringLiteral("two\nlines") << QStringLiteral("\"two\nlines\"");
    QTest::newRow("empty") << QString() << QString();
}

// The reason is the fourth field; the line has five whatever the reason holds.
void tst_MomentExporter::csvFields()
{
    QFETCH(QString, reason);
    QFETCH(QString, field);
    Moment m = moment(7, QDateTime(QDate(2024, 5, 1), QTime(8, 9, 10, 11)).toMSecsSinceEpoch());
    m.reason = reason;
    m.channelName = QStringLiteral("press");
    QCOMPARE(MomentExporter::csvLine(m, QStringLiteral("p.jpg")),
             QStringLiteral("2024-05-01 08:09:10.011,7,press,%1,p.jpg").arg(field));
}

void tst_MomentExporter::exportsPicturesAndCsv()
{
    QTemporaryDir store;
    QTemporaryDir target;
    // Today: older moments would be past the age limit.
    const QDateTime when(QDate::currentDate(), QTime(8, 9, 10, 11));
    const qint64 time = when.toMSecsSinceEpoch();
    QVector<Moment> kept;
    {
        MomentStore writer(store.path(), MomentSettings());
        QSignalSpy spy(&writer, &MomentStore::kept);
        writer.submit(moment(2, time + 1000, filled(Qt::red), QStringLiteral("later")));
        writer.submit(moment(2, time, filled(Qt::green), QStringLiteral("first")));
        writer.submit(moment(3, time + 500, QImage(), QStringLiteral("no picture")));
        writer.submit(moment(4, time + 700, filled(Qt::blue), QStringLiteral("not chosen")));
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 4, SignalWaitMs);
        for (const QList<QVariant> &args : qAsConst(spy))
            kept << args.at(0).value<Moment>();
    }
    // Taken names get a number; the file there stays as it was.
    const QString taken = target.filePath(when.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")) +
                                          QStringLiteral("-c02.jpg"));
    QVERIFY(TestSupport::writeFile(taken, "the operator's"));

    MomentExporter exporter(store.path());
    QSignalSpy finished(&exporter, &MomentExporter::finished);
    QVERIFY(exporter.start({kept.at(0).id, kept.at(1).id, kept.at(2).id}, target.path()));
    QVERIFY(finished.wait(SignalWaitMs));
    const QList<QVariant> result = finished.at(0);
    QCOMPARE(result.at(3).toString(), QString());
    QCOMPARE(result.at(0).toInt(), 3);
    QCOMPARE(result.at(1).toInt(), 2);

    QCOMPARE(TestSupport::readFile(taken), QByteArray("the operator's"));
    const QByteArray bytes = TestSupport::readFile(result.at(2).toString());
    // The byte order mark tells spreadsheets the file is UTF-8.
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    lines.removeFirst();
    // Oldest first, each picture a copy of the kept one.
    const QStringList reasons = {QStringLiteral("first"), QStringLiteral("no picture"),
                                 QStringLiteral("later")};
    const QVector<int> source = {1, 2, 0};
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines.at(i).split(QLatin1Char(','));
        QCOMPARE(fields.value(3), reasons.at(i));
        const Moment &m = kept.at(source.at(i));
        QCOMPARE(fields.value(4).isEmpty(), m.file.isEmpty());
        if (!m.file.isEmpty())
            QCOMPARE(TestSupport::readFile(target.filePath(fields.value(4))),
                     TestSupport::readFile(store.filePath(m.file)));
    }
    QVERIFY(lines.at(0).split(QLatin1Char(',')).value(4) != QFileInfo(taken).fileName());
}

QTEST_MAIN(tst_MomentExporter)
#include "tst_momentexporter.moc"
