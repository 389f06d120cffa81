// The list of kept moments over a real index: what a filter selects, rows and thumbnails coming
// in on demand, and a refresh that keeps the view's place.
#include <QTemporaryDir>
#include <QtTest>

#include "moments/momentlistmodel.h"
#include "moments/momentreader.h"
#include "moments/momentstore.h"
#include "moments/momentwriter.h"
#include "momenttestsupport.h"

using namespace MomentTestSupport;
using Change = MomentListModel::Change;

namespace
{

constexpr int SignalWaitMs = 20000;

struct Given {
    int camera;
    const char *reason;
    double hoursAgo;
    bool picture;
};

// Moment i carries reason "i:<reason>" so that rows can be told apart.
const QVector<Given> Moments = {
    {1, "scratch on lens", 30, true}, {2, "Scratch", 20, false}, {2, "50% dark", 10, true},
    {3, "500 dark", 5, true},         {2, "bubble", 2, true},    {1, "scratch", 0.5, true},
};

bool writeAll(MomentStore &store, const QVector<Moment> &moments)
{
    QSignalSpy kept(&store, &MomentStore::kept);
    for (const Moment &m : moments)
        store.submit(m);
    while (kept.count() < moments.size()) {
        if (!kept.wait(SignalWaitMs))
            return false;
    }
    return true;
}

// The reasons the model lists, in its order, once its rows are loaded.
QStringList listed(MomentListModel &model)
{
    QStringList reasons;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row);
        if (!QTest::qWaitFor([&] { return index.data(MomentListModel::LoadedRole).toBool(); },
                             SignalWaitMs))
            return {QStringLiteral("row %1 never loaded").arg(row)};
        reasons
            << index.data(MomentListModel::ReasonRole).toString().section(QLatin1Char(':'), 0, 0);
    }
    return reasons;
}

bool filtered(MomentListModel &model, const MomentFilter &filter)
{
    QSignalSpy ready(&model, &MomentListModel::ready);
    model.setFilter(filter);
    return ready.wait(SignalWaitMs);
}

} // namespace

class tst_MomentListModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void changeBetween_data();
    void changeBetween();
    void filterSelectsNewestFirst_data();
    void filterSelectsNewestFirst();
    void thumbnailsComeOnDemand();
    void refreshKeepsRowsInPlace();
    void longListComesWhole();

private:
    QTemporaryDir m_home;
    QTemporaryDir m_dir;
    qint64 m_nowMs = 0;
};

void tst_MomentListModel::initTestCase()
{
    QVERIFY(m_home.isValid() && m_dir.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
    m_nowMs = QDateTime::currentMSecsSinceEpoch();
    QVector<Moment> moments;
    for (int i = 0; i < Moments.size(); ++i) {
        const Given &g = Moments.at(i);
        moments << moment(g.camera, m_nowMs - qint64(g.hoursAgo * 3600 * 1000),
                          g.picture ? filled(Qt::blue, QSize(640, 360)) : QImage(),
                          QStringLiteral("%1:%2").arg(i).arg(QLatin1String(g.reason)));
    }
    MomentStore store(m_dir.path(), MomentSettings());
    QVERIFY(writeAll(store, moments));
}

void tst_MomentListModel::changeBetween_data()
{
    QTest::addColumn<QVector<qint64>>("before");
    QTest::addColumn<QVector<qint64>>("after");
    QTest::addColumn<int>("inserted");
    QTest::addColumn<int>("removed");
    QTest::addColumn<bool>("reset");

    QTest::newRow("fromEmpty") << QVector<qint64>{} << QVector<qint64>{3, 2, 1} << 3 << 0 << false;
    QTest::newRow("toEmpty") << QVector<qint64>{3, 2, 1} << QVector<qint64>{} << 0 << 3 << false;
    QTest::newRow("unchanged") << QVector<qint64>{3, 2, 1} << QVector<qint64>{3, 2, 1} << 0 << 0
                               << false;
    QTest::newRow("newOnTop") << QVector<qint64>{3, 2, 1} << QVector<qint64>{5, 4, 3, 2, 1} << 2
                              << 0 << false;
    QTest::newRow("evictedAtBottom")
        << QVector<qint64>{5, 4, 3, 2, 1} << QVector<qint64>{5, 4, 3} << 0 << 2 << false;
    QTest::newRow("newAndEvicted")
        << QVector<qint64>{3, 2, 1} << QVector<qint64>{5, 4, 3, 2} << 2 << 1 << false;
    QTest::newRow("limitedListSlides")
        << QVector<qint64>{3, 2} << QVector<qint64>{4, 3} << 1 << 1 << false;
    QTest::newRow("goneFromTheMiddle")
        << QVector<qint64>{3, 2, 1} << QVector<qint64>{3, 1} << 0 << 0 << true;
    QTest::newRow("reordered") << QVector<qint64>{3, 2, 1} << QVector<qint64>{3, 1, 2} << 0 << 0
                               << true;
    QTest::newRow("allReplaced") << QVector<qint64>{3, 2, 1} << QVector<qint64>{6, 5, 4} << 0 << 0
                                 << true;
    QTest::newRow("topGoneBeforeBottom")
        << QVector<qint64>{3, 2, 1} << QVector<qint64>{4, 2, 1} << 0 << 0 << true;
}

void tst_MomentListModel::changeBetween()
{
    QFETCH(QVector<qint64>, before);
    QFETCH(QVector<qint64>, after);
    QFETCH(int, inserted);
    QFETCH(int, removed);
    QFETCH(bool, reset);
    const Change change = MomentListModel::changeBetween(before, after);
    QCOMPARE(change.reset, reset);
    if (reset)
        return;
    QCOMPARE(change.inserted, inserted);
    QCOMPARE(change.removed, removed);
}

void tst_MomentListModel::filterSelectsNewestFirst_data()
{
    QTest::addColumn<int>("camera");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<double>("fromHoursAgo"); // 0: open
    QTest::addColumn<double>("toHoursAgo");   // 0: open
    QTest::addColumn<int>("limit");
    QTest::addColumn<QStringList>("listed"); // the moments' numbers

    const auto numbers = [](const char *list) {
        return QString::fromLatin1(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    };
    QTest::newRow("everything") << 0 << QString() << 0.0 << 0.0 << 0 << numbers("5 4 3 2 1 0");
    QTest::newRow("oneCamera") << 2 << QString() << 0.0 << 0.0 << 0 << numbers("4 2 1");
    QTest::newRow("cameraWithout") << 7 << QString() << 0.0 << 0.0 << 0 << numbers("");
    QTest::newRow("reasonAnyCase")
        << 0 << QStringLiteral("SCRATCH") << 0.0 << 0.0 << 0 << numbers("5 1 0");
    QTest::newRow("reasonPartOfIt")
        << 0 << QStringLiteral("on l") << 0.0 << 0.0 << 0 << numbers("0");
    QTest::newRow("percentIsLiteral")
        << 0 << QStringLiteral("50%") << 0.0 << 0.0 << 0 << numbers("2");
    QTest::newRow("underscoreIsLiteral")
        << 0 << QStringLiteral("5_0") << 0.0 << 0.0 << 0 << numbers("");
    QTest::newRow("lastDay") << 0 << QString() << 24.0 << 0.0 << 0 << numbers("5 4 3 2 1");
    QTest::newRow("between") << 0 << QString() << 12.0 << 1.0 << 0 << numbers("4 3 2");
    QTest::newRow("newestTwo") << 0 << QString() << 0.0 << 0.0 << 2 << numbers("5 4");
    QTest::newRow("cameraAndReason")
        << 2 << QStringLiteral("scratch") << 0.0 << 0.0 << 0 << numbers("1");
}

void tst_MomentListModel::filterSelectsNewestFirst()
{
    QFETCH(int, camera);
    QFETCH(QString, reason);
    QFETCH(double, fromHoursAgo);
    QFETCH(double, toHoursAgo);
    QFETCH(int, limit);
    QFETCH(QStringList, listed);

    MomentReader reader(m_dir.path());
    MomentListModel model(&reader);
    MomentFilter filter;
    filter.camera = camera;
    filter.reason = reason;
    const auto at = [this](double hoursAgo) {
        return hoursAgo > 0 ? m_nowMs - qint64(hoursAgo * 3600 * 1000) : 0;
    };
    filter.fromMs = at(fromHoursAgo);
    filter.toMs = at(toHoursAgo);
    filter.limit = limit;
    QVERIFY(filtered(model, filter));
    QCOMPARE(::listed(model), listed);
}

// Nothing is read before a view asks; then the rows and the thumbnails come, the thumbnails
// small, and a moment without a picture gets none.
void tst_MomentListModel::thumbnailsComeOnDemand()
{
    MomentReader reader(m_dir.path());
    MomentListModel model(&reader);
    QVERIFY(filtered(model, MomentFilter()));
    QCOMPARE(model.rowCount(), Moments.size());
    const QModelIndex newest = model.index(0);
    const QModelIndex withoutPicture = model.index(4);
    QVERIFY(!newest.data(MomentListModel::LoadedRole).toBool());
    QTRY_VERIFY_WITH_TIMEOUT(newest.data(MomentListModel::LoadedRole).toBool(), SignalWaitMs);
    QVERIFY(newest.data(Qt::DecorationRole).isNull());
    QTRY_VERIFY_WITH_TIMEOUT(!newest.data(Qt::DecorationRole).isNull(), SignalWaitMs);
    const QImage thumbnail = newest.data(Qt::DecorationRole).value<QImage>();
    QCOMPARE(thumbnail.size(), QSize(MomentReader::ThumbnailWidth, MomentReader::ThumbnailHeight));
    QVERIFY(withoutPicture.data(MomentListModel::LoadedRole).toBool());
    QVERIFY(!withoutPicture.data(MomentListModel::HasPictureRole).toBool());
    QVERIFY(withoutPicture.data(Qt::DecorationRole).isNull());
}

// New moments come in as rows at the top and evicted ones leave at the bottom: a view keeps its
// selection and place instead of starting again.
void tst_MomentListModel::refreshKeepsRowsInPlace()
{
    QTemporaryDir dir;
    MomentSettings settings;
    MomentStore store(dir.path(), settings);
    const QImage picture = filled(Qt::red);
    QVERIFY(writeAll(store, {moment(1, hoursAgo(3), picture, QStringLiteral("a")),
                             moment(1, hoursAgo(2), picture, QStringLiteral("b"))}));
    MomentReader reader(dir.path());
    MomentListModel model(&reader);
    QVERIFY(filtered(model, MomentFilter()));
    const qint64 newest = model.idAt(0);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QVERIFY(writeAll(store, {moment(1, hoursAgo(1), picture, QStringLiteral("c"))}));
    QSignalSpy ready(&model, &MomentListModel::ready);
    model.scheduleRefresh();
    model.scheduleRefresh();
    QVERIFY(ready.wait(SignalWaitMs));
    QCOMPARE(ready.count(), 1);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 0);
    QCOMPARE(model.rowOf(newest), 1);
}

// A list longer than the reader's first answer: the view gets every row at once and the ids
// follow, in order, without a second reset.
void tst_MomentListModel::longListComesWhole()
{
    QTemporaryDir dir;
    const int count = MomentReader::FirstIds + 100;
    QVector<Moment> moments;
    for (int i = 0; i < count; ++i)
        moments << moment(i % 16 + 1, m_nowMs - qint64(count - i) * 1000);
    {
        MomentStore store(dir.path(), MomentSettings());
        // In parts: the store's queue holds fewer.
        for (int first = 0; first < count; first += MomentWriter::MaxQueued / 2)
            QVERIFY(writeAll(store, moments.mid(first, MomentWriter::MaxQueued / 2)));
    }
    MomentReader reader(dir.path());
    MomentListModel model(&reader);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QVERIFY(filtered(model, MomentFilter()));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), count);
    QVector<qint64> expected;
    for (const Moment &m : rows(dir.path()))
        expected.prepend(m.id);
    QCOMPARE(model.ids(), expected);
}

QTEST_MAIN(tst_MomentListModel)
#include "tst_momentlistmodel.moc"
