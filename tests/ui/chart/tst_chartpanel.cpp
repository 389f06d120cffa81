// The chart page: each slider drives its gauge, the charts get three quarters of the height and
// the pie shows the page's background in every theme.
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QSplitter>
#include <QTemporaryDir>
#include <QtTest>

#include "common/config/setupconfig.h"
#include "ui/chart/average/averagechart.h"
#include "ui/chart/average/averagechartpanel.h"
#include "ui/chart/chartpanel.h"
#include "ui/chart/instant/instantchart.h"
#include "ui/chart/instant/instantchartpanel.h"
#include "ui/chart/pie/piechart.h"
#include "ui/common/thememanager.h"
#include "../../testsupport.h"

using KeyList = QList<int>;

class tst_ChartPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sliderDrivesGauge_data();
    void sliderDrivesGauge();
    void chartsTakeThreeQuarters();
    void pieShowsPageBackground_data();
    void pieShowsPageBackground();

private:
    QTemporaryDir m_dir;
    // One page for the whole run: it is the biggest thing the console builds after the camera
    // pages.
    ChartPanel *m_panel = nullptr;
};

void tst_ChartPanel::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(TestSupport::copyTree(QStringLiteral(TEST_CONFIG_DIR "/style"),
                                  m_dir.path() + QStringLiteral("/config/style")));
    SetupConfig::instance()->setAppDir(m_dir.path());

    m_panel = new ChartPanel;
    m_panel->resize(1000, 800);
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel));
    // The sliders hand their starting value to the gauges.
    QCOMPARE(m_panel->averagePanel()->chart()->value(), 88.0);
    QCOMPARE(m_panel->instantPanel()->chart()->value(), 88.0);
}

void tst_ChartPanel::cleanupTestCase()
{
    delete m_panel;
}

void tst_ChartPanel::sliderDrivesGauge_data()
{
    QTest::addColumn<bool>("average");
    QTest::addColumn<KeyList>("keys");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("emitted");

    QTest::newRow("averageHome") << true << KeyList{Qt::Key_Home} << 1 << 1;
    QTest::newRow("averageEnd") << true << KeyList{Qt::Key_End} << 2999 << 1;
    QTest::newRow("averageStep") << true << KeyList{Qt::Key_Right} << 89 << 1;
    QTest::newRow("averageSamePositionTwice") << true << KeyList{Qt::Key_End, Qt::Key_End} << 2999
                                              << 1;
    QTest::newRow("averageThereAndBack") << true << KeyList{Qt::Key_Right, Qt::Key_Left} << 88 << 2;
    QTest::newRow("instantHome") << false << KeyList{Qt::Key_Home} << 1 << 1;
    QTest::newRow("instantEnd") << false << KeyList{Qt::Key_End} << 2999 << 1;
    QTest::newRow("instantSamePositionTwice") << false << KeyList{Qt::Key_Home, Qt::Key_Home} << 1
                                              << 1;
}

void tst_ChartPanel::sliderDrivesGauge()
{
    QFETCH(bool, average);
    QFETCH(KeyList, keys);
    QFETCH(int, value);
    QFETCH(int, emitted);

    QSlider *slider = average ? m_panel->averagePanel()->slider()
                              : m_panel->instantPanel()->slider();
    QObject *gauge = average ? static_cast<QObject *>(m_panel->averagePanel()->chart())
                             : m_panel->instantPanel()->chart();
    slider->setValue(88);
    QSignalSpy spy(gauge, average ? SIGNAL(valueChanged(int)) : SIGNAL(valueChanged(double)));

    for (int key : keys)
        QTest::keyClick(slider, Qt::Key(key));

    QCOMPARE(slider->value(), value);
    QCOMPARE(gauge->property("value").toDouble(), double(value));
    QCOMPARE(spy.count(), emitted);
}

void tst_ChartPanel::chartsTakeThreeQuarters()
{
    const QList<int> sizes = m_panel->splitter()->sizes();
    QCOMPARE(sizes.size(), 2);
    QVERIFY2(qAbs(sizes.at(0) - 3 * sizes.at(1)) <= 3 * m_panel->splitter()->handleWidth(),
             qPrintable(QStringLiteral("%1 : %2").arg(sizes.at(0)).arg(sizes.at(1))));
}

void tst_ChartPanel::pieShowsPageBackground_data()
{
    QTest::addColumn<QString>("theme");
    for (const QString &theme : ThemeManager::themeNames())
        QTest::newRow(qPrintable(theme)) << theme;
}

void tst_ChartPanel::pieShowsPageBackground()
{
    QFETCH(QString, theme);
    QVERIFY(ThemeManager::applyTheme(theme));
    // The label in the grid cell beside the pie.
    auto *placeholder = m_panel->pieChart()->parentWidget()->findChild<QLabel *>(
        QString(), Qt::FindDirectChildrenOnly);
    QVERIFY(placeholder);
    const QImage page = m_panel->grab().toImage();
    // A corner of the pie's view and a corner of the placeholder's cell both lie on the grid's
    // background, unless the view paints one of its own.
    const QPoint pieCorner = m_panel->pieChart()->mapTo(m_panel, QPoint(4, 4));
    const QPoint cellCorner = placeholder->mapTo(m_panel, QPoint(4, 4));
    QVERIFY2(TestSupport::near(page.pixelColor(pieCorner), page.pixelColor(cellCorner), 2),
             qPrintable(page.pixelColor(pieCorner).name() + QLatin1Char(' ')
                        + page.pixelColor(cellCorner).name()));
    qApp->setStyleSheet(QString());
}

QTEST_MAIN(tst_ChartPanel)
#include "tst_chartpanel.moc"
