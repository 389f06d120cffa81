#include <QGraphicsView>
#include <QMainWindow>
#include <QToolButton>
#include <QtTest>

#include "ui/camera/awidget.h"
#include "ui/camera/bwidget.h"
#include "ui/camera/cameraparam.h"
#include "ui/theme/thememanager.h"
#include "ui/widgets/cstackedwidget.h"

#include "../../testsupport.h"

namespace
{

QToolButton *button(QWidget *page, const char *name)
{
    return page->findChild<QToolButton *>(QLatin1String(name));
}

} // namespace

class tst_CameraParam : public QObject
{
    Q_OBJECT

private slots:
    void indexButtonFlipsPages();
    void extendFoldsFieldsOfHiddenPage();
    void chartViewsShowThePage_data();
    void chartViewsShowThePage();
};

// The chart page is built on the first click only; the button flips between the two pages.
void tst_CameraParam::indexButtonFlipsPages()
{
    CameraParam page;
    auto *stack = page.findChild<CStackedWidget *>();
    QToolButton *index = button(&page, "CameraDisplayIndexButton");
    QVERIFY(!page.findChild<BWidget *>());
    index->click();
    QVERIFY(qobject_cast<BWidget *>(stack->currentWidget()));
    index->click();
    QVERIFY(qobject_cast<AWidget *>(stack->currentWidget()));
    index->click();
    QCOMPARE(page.findChildren<BWidget *>().size(), 1);
}

// The toggle works on pages that are not on screen, where isVisible() is false.
void tst_CameraParam::extendFoldsFieldsOfHiddenPage()
{
    CameraParam page;
    auto *params = page.findChild<AWidget *>();
    QToolButton *extend = button(&page, "CameraParamExtendButton");
    extend->click();
    QVERIFY(!params->isParamShown());
    extend->click();
    QVERIFY(params->isParamShown());
}

void tst_CameraParam::chartViewsShowThePage_data()
{
    QTest::addColumn<QString>("theme");
    for (const QString &theme : ThemeManager::themeNames())
        QTest::newRow(qPrintable(theme)) << theme;
}

// The chart views would paint the palette's white around the charts without their theme rule.
void tst_CameraParam::chartViewsShowThePage()
{
    QFETCH(QString, theme);
    const QByteArray sheet =
        TestSupport::readFile(QStringLiteral(TEST_CONFIG_DIR "/style/%1/style.css").arg(theme));
    QVERIFY(!sheet.isEmpty());
    qApp->setStyleSheet(QString::fromUtf8(sheet));
    QMainWindow window;
    window.resize(1000, 700);
    auto *page = new CameraParam;
    window.setCentralWidget(page);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(button(page, "CameraDisplayIndexButton"), Qt::LeftButton);
    auto *charts = page->findChild<BWidget *>();
    QVERIFY(charts);
    QTRY_COMPARE(charts->pos(), QPoint(0, 0));

    const QImage image = window.grab().toImage();
    const QList<QGraphicsView *> views = charts->findChildren<QGraphicsView *>();
    QCOMPARE(views.size(), 2);
    for (QGraphicsView *view : views) {
        const QColor corner = image.pixelColor(view->mapTo(&window, QPoint(1, 1)));
        // Left of the view: the page's margin, or the gap between the two views.
        const QColor beside =
            image.pixelColor(view->mapTo(&window, QPoint(-2, view->height() / 2)));
        QVERIFY2(TestSupport::near(corner, beside, 3),
                 qPrintable(corner.name() + QLatin1Char(' ') + beside.name()));
    }
    qApp->setStyleSheet(QString());
}

QTEST_MAIN(tst_CameraParam)
#include "tst_cameraparam.moc"
