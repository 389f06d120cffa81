// The wall says when NG moments stop being kept, above its tiles, and stops saying it once they
// are kept again.
#include <QTemporaryDir>
#include <QtTest>

#include "../../moments/momenttestsupport.h"
#include "../../testsupport.h"
#include "moments/momentstore.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/moments/capturewarning.h"

using namespace MomentTestSupport;

namespace
{

constexpr int WaitMs = 20000;

} // namespace

class tst_CaptureWarning : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void wallShowsStoppedCapture();

private:
    QTemporaryDir m_home;
};

void tst_CaptureWarning::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.path() + QStringLiteral("/data")));
}

void tst_CaptureWarning::wallShowsStoppedCapture()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("moments"));
    QVERIFY(TestSupport::writeFile(folder, "in the folder's place"));
    MomentStore store(folder, MomentSettings());
    CameraPanel wall;
    auto *warning = new CaptureWarning(&store);
    wall.addNotice(warning);
    wall.resize(1200, 800);
    wall.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wall));
    QVERIFY(!warning->isVisible());

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Moments: capture")));
    store.submit(moment(1, hoursAgo(0), filled(Qt::red)));
    QTRY_VERIFY_WITH_TIMEOUT(warning->isVisible(), WaitMs);
    QVERIFY(warning->text().contains(folder));
    const auto aboveTiles = [&] {
        for (CameraDisplay *tile : wall.tiles()) {
            if (tile->isVisible() && warning->geometry().bottom() >= tile->geometry().top())
                return false;
        }
        return warning->height() > 0;
    };
    QTRY_VERIFY(aboveTiles());

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Moments: capture")));
    QVERIFY(QFile::remove(folder));
    QTRY_VERIFY_WITH_TIMEOUT(!warning->isVisible(), WaitMs);
    QSignalSpy kept(&store, &MomentStore::kept);
    QVERIFY(store.submit(moment(1, hoursAgo(0), filled(Qt::red))));
    QVERIFY(kept.wait(WaitMs));
}

QTEST_MAIN(tst_CaptureWarning)
#include "tst_capturewarning.moc"
