// The capture rule, from a verdict and a channel's newest frame to what the store keeps.
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include "../testsupport.h"
#include "moments/momentrecorder.h"
#include "moments/momentstore.h"
#include "momenttestsupport.h"

using namespace MomentTestSupport;
using Verdict = MomentRecorder::Verdict;

namespace
{

constexpr int SignalWaitMs = 20000;
constexpr int JpegTolerance = 24;

// A channel that holds one frame of the given age.
class FixedFrames : public MomentFrameSource
{
public:
    MomentFrame frame;
    MomentFrame newestFrame(int camera) const override
    {
        MomentFrame f = frame;
        f.channelName = QStringLiteral("line %1").arg(camera);
        return f;
    }
};

} // namespace

class tst_MomentRecorder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void verdictBecomesMoment_data();
    void verdictBecomesMoment();
    void repeatedVerdictKeptOnce_data();
    void repeatedVerdictKeptOnce();

private:
    QTemporaryDir m_home;
};

void tst_MomentRecorder::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
}

void tst_MomentRecorder::verdictBecomesMoment_data()
{
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<int>("camera");
    QTest::addColumn<QColor>("frame"); // invalid: the channel has no frame
    QTest::addColumn<qint64>("ageMs");
    QTest::addColumn<bool>("mainStream");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("withPicture");

    const QColor red(Qt::red);
    QTest::newRow("ngRedMainStream")
        << Verdict::Ng << 3 << red << qint64(40) << true << true << true;
    QTest::newRow("ngGreenGridStream")
        << Verdict::Ng << 16 << QColor(Qt::green) << qint64(0) << false << true << true;
    QTest::newRow("ngFrameAtTheLimit")
        << Verdict::Ng << 1 << red << MomentRecorder::FreshFrameMs << false << true << true;
    QTest::newRow("ngFrameTooOld")
        << Verdict::Ng << 1 << red << MomentRecorder::FreshFrameMs + 1 << false << true << false;
    QTest::newRow("ngFrameOfUnknownAge")
        << Verdict::Ng << 2 << red << qint64(-1) << false << true << false;
    QTest::newRow("ngWithoutFrame")
        << Verdict::Ng << 2 << QColor() << qint64(0) << false << true << false;
    QTest::newRow("ok") << Verdict::Ok << 3 << red << qint64(0) << true << false << false;
    QTest::newRow("unknown") << Verdict::Unknown << 3 << red << qint64(0) << true << false << false;
    QTest::newRow("cameraZero") << Verdict::Ng << 0 << red << qint64(0) << true << false << false;
    QTest::newRow("camera17") << Verdict::Ng << 17 << red << qint64(0) << true << false << false;
}

void tst_MomentRecorder::verdictBecomesMoment()
{
    QFETCH(Verdict, verdict);
    QFETCH(int, camera);
    QFETCH(QColor, frame);
    QFETCH(qint64, ageMs);
    QFETCH(bool, mainStream);
    QFETCH(bool, kept);
    QFETCH(bool, withPicture);

    QTemporaryDir dir;
    FixedFrames source;
    if (frame.isValid())
        source.frame.image = filled(frame, QSize(320, 180));
    source.frame.ageMs = ageMs;
    source.frame.mainStream = mainStream;
    MomentStore store(dir.path(), MomentSettings());
    MomentRecorder recorder(&store);
    recorder.setFrameSource(&source);
    QSignalSpy keptSpy(&store, &MomentStore::kept);

    if (camera < 1 || camera > 16)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Moments: ")));
    const QDateTime time = QDateTime::currentDateTime().addSecs(-5);
    recorder.takeVerdict(camera, verdict, time, QStringLiteral("scratch, 2 mm"));
    // A second NG verdict without a frame marks the end: anything before it is written by then.
    recorder.setFrameSource(nullptr);
    recorder.takeVerdict(9, Verdict::Ng, QDateTime(), QStringLiteral("end"));
    QTRY_COMPARE_WITH_TIMEOUT(keptSpy.count(), kept ? 2 : 1, SignalWaitMs);

    const QVector<Moment> rows = MomentTestSupport::rows(dir.path());
    QCOMPARE(rows.size(), kept ? 2 : 1);
    if (!kept)
        return;
    const Moment m = rows.at(0);
    QCOMPARE(m.camera, camera);
    QCOMPARE(m.timeMs, time.toMSecsSinceEpoch());
    QCOMPARE(m.reason, QStringLiteral("scratch, 2 mm"));
    QCOMPARE(m.channelName, QStringLiteral("line %1").arg(camera));
    QCOMPARE(m.hasPicture(), withPicture);
    QCOMPARE(m.file.isEmpty(), !withPicture);
    if (!withPicture)
        return;
    QCOMPARE(m.stream, mainStream ? Moment::MainStream : Moment::GridStream);
    const QImage picture = QImageReader(dir.filePath(m.file)).read();
    QCOMPARE(picture.size(), QSize(320, 180));
    QVERIFY(TestSupport::near(picture.pixelColor(160, 90), frame, JpegTolerance));
}

// A broker hands its retained verdict over again after every reconnect; only a verdict that
// differs from the camera's previous one is a new part.
void tst_MomentRecorder::repeatedVerdictKeptOnce_data()
{
    QTest::addColumn<int>("camera");
    QTest::addColumn<qint64>("laterMs");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("kept");

    const QString scratch = QStringLiteral("scratch");
    QTest::newRow("sameVerdictAgain") << 4 << qint64(0) << scratch << 1;
    QTest::newRow("oneMillisecondLater") << 4 << qint64(1) << scratch << 2;
    QTest::newRow("otherReason") << 4 << qint64(0) << QStringLiteral("dent") << 2;
    QTest::newRow("otherCamera") << 5 << qint64(0) << scratch << 2;
}

void tst_MomentRecorder::repeatedVerdictKeptOnce()
{
    QFETCH(int, camera);
    QFETCH(qint64, laterMs);
    QFETCH(QString, reason);
    QFETCH(int, kept);

    QTemporaryDir dir;
    MomentStore store(dir.path(), MomentSettings());
    MomentRecorder recorder(&store);
    QSignalSpy keptSpy(&store, &MomentStore::kept);
    const QDateTime time = QDateTime::currentDateTime().addSecs(-60);
    recorder.takeVerdict(4, Verdict::Ng, time, QStringLiteral("scratch"));
    recorder.takeVerdict(camera, Verdict::Ng, time.addMSecs(laterMs), reason);
    recorder.takeVerdict(9, Verdict::Ng, QDateTime(), QStringLiteral("end"));
    // The store keeps them in order: the last one marks the end.
    QTRY_VERIFY_WITH_TIMEOUT(!keptSpy.isEmpty() && keptSpy.last().at(0).value<Moment>().camera == 9,
                             SignalWaitMs);
    QCOMPARE(keptSpy.count(), kept + 1);
    QCOMPARE(MomentTestSupport::rows(dir.path()).size(), kept + 1);
}

QTEST_MAIN(tst_MomentRecorder)
#include "tst_momentrecorder.moc"
