// The moments page as the operator uses it: the keyboard through the list and the full-size
// pictures, the counts per camera, and the time ranges of the filter.
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QListView>
#include <QTemporaryDir>
#include <QtTest>

#include "../../moments/momenttestsupport.h"
#include "../../testsupport.h"
#include "moments/momentarchive.h"
#include "moments/momentlistmodel.h"
#include "moments/momentstore.h"
#include "ui/moments/momentpictureview.h"
#include "ui/moments/momentspage.h"

using namespace MomentTestSupport;

namespace
{

constexpr int WaitMs = 20000;
constexpr int JpegTolerance = 24;

struct Given {
    int camera;
    const char *reason;
    double hoursAgo;
    QColor color; // invalid: no picture
};

// Newest last.
const QVector<Given> Moments = {
    {2, "old", 30, Qt::red},    {2, "earlier", 5, Qt::red},   {5, "five", 2, Qt::green},
    {1, "red", 0.5, Qt::red},   {2, "green", 0.4, Qt::green}, {2, "none", 0.3, QColor()},
    {3, "blue", 0.2, Qt::blue},
};

// The colour painted at the middle of the page's picture.
QColor pictureColor(MomentsPage &page)
{
    MomentPictureView *view = page.pictureView();
    if (view->picture().isNull())
        return QColor();
    return view->grab().toImage().pixelColor(view->pictureRect().center());
}

QString reasonShown(MomentsPage &page)
{
    return page.listView()->currentIndex().data(MomentListModel::ReasonRole).toString();
}

} // namespace

class tst_MomentsPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void keyboardStepsThroughPictures();
    void showCameraOpensTheMoment();
    void countsPerCameraForHourAndDay();
    void timeRangeSetsFilter_data();
    void timeRangeSetsFilter();

private:
    QTemporaryDir m_home;
    QTemporaryDir m_store;
    QVector<qint64> m_ids;
    MomentArchive *m_archive = nullptr;
    MomentsPage *m_page = nullptr;
};

void tst_MomentsPage::initTestCase()
{
    QVERIFY(m_home.isValid() && m_store.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
    MomentStore store(m_store.path(), MomentSettings());
    QSignalSpy kept(&store, &MomentStore::kept);
    for (const Given &g : Moments)
        store.submit(moment(g.camera, hoursAgo(g.hoursAgo),
                            g.color.isValid() ? filled(g.color, QSize(320, 180)) : QImage(),
                            QLatin1String(g.reason)));
    QTRY_COMPARE_WITH_TIMEOUT(kept.count(), Moments.size(), WaitMs);
    for (const QList<QVariant> &args : qAsConst(kept))
        m_ids << args.at(0).value<Moment>().id;
}

void tst_MomentsPage::init()
{
    m_archive = new MomentArchive(m_store.path(), MomentSettings());
    m_page = new MomentsPage(m_archive);
    m_page->resize(1000, 700);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page));
    QTRY_COMPARE_WITH_TIMEOUT(m_page->model()->rowCount(), Moments.size(), WaitMs);
}

void tst_MomentsPage::cleanup()
{
    delete m_page;
    delete m_archive;
}

void tst_MomentsPage::keyboardStepsThroughPictures()
{
    QListView *list = m_page->listView();
    QSignalSpy closed(m_page, &MomentsPage::closed);
    QTest::keyClick(list, Qt::Key_Home);
    QTRY_COMPARE_WITH_TIMEOUT(reasonShown(*m_page), QStringLiteral("blue"), WaitMs);

    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(m_page->isPictureOpen());
    QTRY_VERIFY_WITH_TIMEOUT(TestSupport::near(pictureColor(*m_page), Qt::blue, JpegTolerance),
                             WaitMs);
    // The full picture, not the thumbnail that stands in while it loads.
    QTRY_COMPARE_WITH_TIMEOUT(m_page->pictureView()->picture().size(), QSize(320, 180), WaitMs);

    QTest::keyClick(m_page->pictureView(), Qt::Key_Right);
    QCOMPARE(reasonShown(*m_page), QStringLiteral("none"));
    QTRY_VERIFY_WITH_TIMEOUT(m_page->pictureView()->picture().isNull(), WaitMs);
    QTest::keyClick(m_page->pictureView(), Qt::Key_Down);
    QCOMPARE(reasonShown(*m_page), QStringLiteral("green"));
    QTRY_VERIFY_WITH_TIMEOUT(TestSupport::near(pictureColor(*m_page), Qt::green, JpegTolerance),
                             WaitMs);
    QTest::keyClick(m_page->pictureView(), Qt::Key_Left);
    QCOMPARE(reasonShown(*m_page), QStringLiteral("none"));

    QTest::keyClick(m_page->pictureView(), Qt::Key_Escape);
    QVERIFY(!m_page->isPictureOpen());
    QCOMPARE(list->currentIndex().row(), 1);
    QCOMPARE(closed.count(), 0);
    QTest::keyClick(list, Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
}

void tst_MomentsPage::showCameraOpensTheMoment()
{
    const qint64 earlier = m_ids.at(1);
    m_page->showCamera(2, earlier);
    QTRY_VERIFY_WITH_TIMEOUT(m_page->isPictureOpen(), WaitMs);
    QCOMPARE(m_page->model()->filter().camera, 2);
    QCOMPARE(m_page->model()->rowCount(), 4);
    QTRY_COMPARE_WITH_TIMEOUT(reasonShown(*m_page), QStringLiteral("earlier"), WaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(TestSupport::near(pictureColor(*m_page), Qt::red, JpegTolerance),
                             WaitMs);
}

void tst_MomentsPage::countsPerCameraForHourAndDay()
{
    QVector<QPair<int, int>> expected(MomentsPage::CameraCount, {0, 0});
    for (const Given &g : Moments) {
        QPair<int, int> &counts = expected[g.camera - 1];
        counts.first += g.hoursAgo <= 1 ? 1 : 0;
        counts.second += g.hoursAgo <= 24 ? 1 : 0;
    }
    const QList<QLabel *> labels = m_page->findChildren<QLabel *>(QStringLiteral("MomentsCount"));
    QCOMPARE(labels.size(), MomentsPage::CameraCount);
    const QRegularExpression numbers(QStringLiteral("(\\d+) / (\\d+)$"));
    const auto shown = [&] {
        QVector<QPair<int, int>> counts;
        for (QLabel *label : labels) {
            const QRegularExpressionMatch match = numbers.match(label->text());
            counts.append({match.captured(1).toInt(), match.captured(2).toInt()});
        }
        return counts;
    };
    QTRY_COMPARE_WITH_TIMEOUT(shown(), expected, WaitMs);
    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(labels.at(i)->property("active").toBool(), expected.at(i).first > 0);
}

void tst_MomentsPage::timeRangeSetsFilter_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<qint64>("fromBeforeNow"); // -1: open
    QTest::addColumn<qint64>("toBeforeNow");   // -1: open
    const qint64 hour = 3600 * 1000;
    QTest::newRow("anyTime") << int(MomentsPage::AnyTime) << qint64(-1) << qint64(-1);
    QTest::newRow("lastHour") << int(MomentsPage::LastHour) << hour << qint64(-1);
    QTest::newRow("lastDay") << int(MomentsPage::LastDay) << 24 * hour << qint64(-1);
    QTest::newRow("lastWeek") << int(MomentsPage::LastWeek) << 7 * 24 * hour << qint64(-1);
    // The edits show minutes: the "to" minute is included to its last millisecond.
    QTest::newRow("custom") << int(MomentsPage::CustomRange) << 3 * hour << hour - 60000 + 1;
}

void tst_MomentsPage::timeRangeSetsFilter()
{
    QFETCH(int, range);
    QFETCH(qint64, fromBeforeNow);
    QFETCH(qint64, toBeforeNow);
    QDateTime now = QDateTime::currentDateTime();
    now.setTime(QTime(now.time().hour(), now.time().minute()));
    const qint64 nowMs = now.toMSecsSinceEpoch();
    auto *combo = m_page->findChild<QComboBox *>(QStringLiteral("MomentsTimeFilter"));
    combo->setCurrentIndex(combo->findData(range));
    const QList<QDateTimeEdit *> edits = m_page->findChildren<QDateTimeEdit *>();
    QCOMPARE(edits.size(), 2);
    for (QDateTimeEdit *edit : edits)
        QCOMPARE(edit->isVisible(), range == MomentsPage::CustomRange);
    if (range == MomentsPage::CustomRange) {
        edits.at(0)->setDateTime(now.addSecs(-3 * 3600));
        edits.at(1)->setDateTime(now.addSecs(-3600));
    }
    const MomentFilter filter = m_page->filterAt(nowMs);
    QCOMPARE(filter.fromMs, fromBeforeNow < 0 ? 0 : nowMs - fromBeforeNow);
    QCOMPARE(filter.toMs, toBeforeNow < 0 ? 0 : nowMs - toBeforeNow);
}

QTEST_MAIN(tst_MomentsPage)
#include "tst_momentspage.moc"
