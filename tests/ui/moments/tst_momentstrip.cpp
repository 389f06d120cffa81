// A camera page's strip: that camera's newest moments, newest on the left, following the store,
// and the ways from it to the moments page.
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "../../moments/momenttestsupport.h"
#include "../../testsupport.h"
#include "moments/momentarchive.h"
#include "moments/momentlistmodel.h"
#include "moments/momentstore.h"
#include "ui/moments/momentdelegate.h"
#include "ui/moments/momentstrip.h"

using namespace MomentTestSupport;

namespace
{

constexpr int WaitMs = 20000;
constexpr int JpegTolerance = 24;
constexpr int Camera = 4;

QColor thumbnailColor(MomentStrip &strip, int row)
{
    QListView *list = strip.listView();
    auto *delegate = qobject_cast<MomentDelegate *>(list->itemDelegate());
    const QRect well = delegate->thumbnailRect(list->visualRect(list->model()->index(row, 0)));
    return list->viewport()->grab().toImage().pixelColor(well.center());
}

} // namespace

class tst_MomentStrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void followsItsCamera();
    void opensTheMomentsPage();

private:
    QTemporaryDir m_home;
};

void tst_MomentStrip::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
}

void tst_MomentStrip::followsItsCamera()
{
    QTemporaryDir dir;
    MomentArchive archive(dir.path(), MomentSettings());
    QSignalSpy kept(archive.store(), &MomentStore::kept);
    // More than the strip shows, of its camera and of another one in between.
    const int given = MomentStrip::ShownMoments + 3;
    for (int i = 0; i < given; ++i) {
        archive.store()->submit(moment(Camera, hoursAgo(given - i), filled(Qt::green)));
        archive.store()->submit(moment(Camera + 1, hoursAgo(given - i), filled(Qt::blue)));
    }
    QTRY_COMPARE_WITH_TIMEOUT(kept.count(), 2 * given, WaitMs);
    QVector<qint64> newestFirst;
    for (int i = kept.count() - 2; i >= 0; i -= 2)
        newestFirst << kept.at(i).at(0).value<Moment>().id;

    MomentStrip strip(&archive, Camera);
    strip.resize(1200, 140);
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    QTRY_COMPARE_WITH_TIMEOUT(strip.model()->ids(), newestFirst.mid(0, MomentStrip::ShownMoments),
                              WaitMs);
    QListView *list = strip.listView();
    QVERIFY(list->visualRect(strip.model()->index(0)).right() <
            list->visualRect(strip.model()->index(1)).left());
    QTRY_VERIFY_WITH_TIMEOUT(TestSupport::near(thumbnailColor(strip, 0), Qt::green, JpegTolerance),
                             WaitMs);

    // A new moment of the camera while the strip is on screen comes in on the left.
    archive.store()->submit(moment(Camera, hoursAgo(0), filled(Qt::red)));
    QVERIFY(kept.wait(WaitMs));
    const qint64 newest = kept.last().at(0).value<Moment>().id;
    QTRY_COMPARE_WITH_TIMEOUT(strip.model()->idAt(0), newest, WaitMs);
    QCOMPARE(strip.model()->rowCount(), MomentStrip::ShownMoments);
    QTRY_VERIFY_WITH_TIMEOUT(TestSupport::near(thumbnailColor(strip, 0), Qt::red, JpegTolerance),
                             WaitMs);
}

void tst_MomentStrip::opensTheMomentsPage()
{
    QTemporaryDir dir;
    MomentArchive archive(dir.path(), MomentSettings());
    QSignalSpy kept(archive.store(), &MomentStore::kept);
    archive.store()->submit(moment(Camera, hoursAgo(2), filled(Qt::green)));
    archive.store()->submit(moment(Camera, hoursAgo(1), filled(Qt::green)));
    QTRY_COMPARE_WITH_TIMEOUT(kept.count(), 2, WaitMs);

    MomentStrip strip(&archive, Camera);
    strip.resize(1200, 140);
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    QTRY_COMPARE_WITH_TIMEOUT(strip.model()->rowCount(), 2, WaitMs);
    QSignalSpy open(&strip, &MomentStrip::openRequested);
    QListView *list = strip.listView();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(strip.model()->index(1)).center());
    QTest::mouseClick(strip.findChild<QPushButton *>(QStringLiteral("MomentStripAllButton")),
                      Qt::LeftButton);
    QCOMPARE(open.count(), 2);
    QCOMPARE(open.at(0), (QList<QVariant>{Camera, kept.at(0).at(0).value<Moment>().id}));
    QCOMPARE(open.at(1), (QList<QVariant>{Camera, qint64(0)}));
}

QTEST_MAIN(tst_MomentStrip)
#include "tst_momentstrip.moc"
