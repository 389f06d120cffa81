#include "common/config/setupconfig.h"
#include "ui/camera/cameradisplay.h"
#include "ui/camera/camerapanel.h"
#include "ui/video/videoview.h"
#include "video/videochannel.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <climits>
#include <memory>

namespace
{

constexpr int TileWidth = 300;
constexpr int TileHeight = 200;
constexpr int BorderWidth = 4;
const QColor Background(200, 40, 30);
const QColor Border(20, 180, 60);
const QColor Canvas(Qt::white);

bool near(const QColor &a, const QColor &b)
{
    constexpr int Tolerance = 8;
    return qAbs(a.red() - b.red()) <= Tolerance && qAbs(a.green() - b.green()) <= Tolerance &&
           qAbs(a.blue() - b.blue()) <= Tolerance;
}

QString describe(const QColor &color)
{
    return QStringLiteral("rgb(%1, %2, %3)").arg(color.red()).arg(color.green()).arg(color.blue());
}

} // namespace

class TestCameraDisplay : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void header();
    void setState_data();
    void setState();
    void clickIndexCarriesTexts();
    void clickIndexOfThirdTileOfFreshPage();
    void styleSheetIsPainted_data();
    void styleSheetIsPainted();
    void bindChannel_data();
    void bindChannel();
};

void TestCameraDisplay::cleanup()
{
    qApp->setStyleSheet(QString());
}

void TestCameraDisplay::header()
{
    CameraDisplay tile;
    tile.resize(TileWidth, TileHeight);
    tile.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tile));

    auto *top = tile.findChild<QWidget *>(QStringLiteral("CameraDisplayTopWidget"));
    auto *button = tile.findChild<QToolButton *>(QStringLiteral("CameraDisplayIndexButton"));
    auto *title = tile.findChild<QLabel *>(QStringLiteral("CameraDisplayTitleLabel"));
    auto *state = tile.findChild<QLabel *>(QStringLiteral("CameraDisplayStateLabel"));
    QVERIFY(top && button && title && state);
    QCOMPARE(button->parentWidget(), top);
    QCOMPARE(title->parentWidget(), top);
    QCOMPARE(state->parentWidget(), top);

    // Left to right: the index button, the state taking what is left, the title.
    QCOMPARE(top->geometry(), QRect(0, 0, TileWidth, CameraDisplay::HeaderHeight));
    QCOMPARE(button->geometry(), QRect(0, 0, 50, 32));
    QCOMPARE(title->geometry(), QRect(TileWidth - 50, 0, 50, 32));
    QCOMPARE(state->geometry(), QRect(50, 0, TileWidth - 100, 32));
    QCOMPARE(title->alignment(), Qt::AlignCenter);
    QCOMPARE(state->alignment(), Qt::AlignCenter);

    QLabel *caption = nullptr;
    const QList<QLabel *> labels = tile.findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->parentWidget() == &tile)
            caption = label;
    }
    QVERIFY(caption);
    QCOMPARE(caption->alignment(), Qt::AlignCenter);
    QVERIFY(caption->geometry().top() >= CameraDisplay::HeaderHeight);
    QCOMPARE(caption->geometry().bottom(), TileHeight - 1);
    QCOMPARE(caption->geometry().width(), TileWidth);

    QVERIFY(button->text().isEmpty());
    QVERIFY(title->text().isEmpty());
    QVERIFY(state->text().isEmpty());
    tile.setVideoText(QStringLiteral("通道 7"));
    QCOMPARE(caption->text(), QStringLiteral("通道 7"));
}

void TestCameraDisplay::setState_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");

    QTest::newRow("ok") << 1 << "OK";
    QTest::newRow("ng") << 0 << "NG";
    QTest::newRow("minusOne") << -1 << "UNKNOW";
    QTest::newRow("two") << 2 << "UNKNOW";
    QTest::newRow("largest") << INT_MAX << "UNKNOW";
    QTest::newRow("smallest") << INT_MIN << "UNKNOW";
}

void TestCameraDisplay::setState()
{
    QFETCH(int, state);
    QFETCH(QString, text);

    CameraDisplay tile;
    // From every other state, so that a setter stuck on one text shows.
    for (int from : {0, 1, 2}) {
        tile.setState(from);
        tile.setState(state);
        QCOMPARE(tile.findChild<QLabel *>(QStringLiteral("CameraDisplayStateLabel"))->text(), text);
    }
}

void TestCameraDisplay::clickIndexCarriesTexts()
{
    CameraDisplay tile;
    tile.resize(TileWidth, TileHeight);
    tile.setIndex(QStringLiteral("C11"));
    tile.setTitle(QStringLiteral("Line 2"));
    tile.setState(1);
    tile.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tile));

    QSignalSpy spy(&tile, &CameraDisplay::clickIndex);
    auto *button = tile.findChild<QToolButton *>(QStringLiteral("CameraDisplayIndexButton"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), (QVariantList{"C11", "Line 2", "OK"}));

    tile.setState(0);
    QTest::mouseClick(button, Qt::RightButton);
    QCOMPARE(spy.count(), 1);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1), (QVariantList{"C11", "Line 2", "NG"}));
}

void TestCameraDisplay::clickIndexOfThirdTileOfFreshPage()
{
    QTemporaryDir appDir;
    QVERIFY(appDir.isValid());
    SetupConfig::instance()->setAppDir(appDir.path());
    SetupConfig::instance()->setCamera(16, 0);

    CameraPanel panel;
    panel.resize(800, 600);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));

    CameraDisplay *third = panel.tiles().at(2);
    QSignalSpy spy(third, &CameraDisplay::clickIndex);
    QTest::mouseClick(third->findChild<QToolButton *>(QStringLiteral("CameraDisplayIndexButton")),
                      Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), (QVariantList{"C03", "Unknow", "UNKNOW"}));
}

void TestCameraDisplay::styleSheetIsPainted_data()
{
    QTest::addColumn<QString>("selector");

    QTest::newRow("objectName") << "#CameraDisplay";
    QTest::newRow("classAndObjectName") << "CameraDisplay#CameraDisplay";
    QTest::newRow("baseClassAndObjectName") << "QWidget#CameraDisplay";
}

void TestCameraDisplay::styleSheetIsPainted()
{
    QFETCH(QString, selector);

    qApp->setStyleSheet(QStringLiteral("%1 { background-color: %2; border: %3px solid %4; }")
                            .arg(selector, Background.name())
                            .arg(BorderWidth)
                            .arg(Border.name()));

    CameraDisplay named;
    named.setObjectName(QStringLiteral("CameraDisplay"));
    CameraDisplay other;
    other.setObjectName(QStringLiteral("OtherDisplay"));
    for (CameraDisplay *tile : {&named, &other}) {
        tile->setIndex(QStringLiteral("C01"));
        tile->setVideoText(QStringLiteral("通道 1"));
        tile->resize(TileWidth, TileHeight);
        tile->show();
        QVERIFY(QTest::qWaitForWindowExposed(tile));
    }

    auto paint = [](CameraDisplay &tile) {
        QImage image(tile.size(), QImage::Format_ARGB32);
        image.fill(Canvas);
        tile.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    const QImage image = paint(named);
    // Points below the header and away from the centred caption.
    const QList<QPoint> background{{BorderWidth + 5, TileHeight - BorderWidth - 5},
                                   {TileWidth - BorderWidth - 5, TileHeight - BorderWidth - 5},
                                   {TileWidth - BorderWidth - 5, CameraDisplay::HeaderHeight + 10}};
    const QList<QPoint> border{{1, TileHeight / 2},
                               {TileWidth - 2, TileHeight / 2},
                               {TileWidth / 2 + 60, TileHeight - 2},
                               {BorderWidth - 1, TileHeight - 30}};
    for (const QPoint &p : background)
        QVERIFY2(near(image.pixelColor(p), Background),
                 qPrintable(QStringLiteral("(%1, %2) is %3")
                                .arg(p.x())
                                .arg(p.y())
                                .arg(describe(image.pixelColor(p)))));
    for (const QPoint &p : border)
        QVERIFY2(near(image.pixelColor(p), Border),
                 qPrintable(QStringLiteral("(%1, %2) is %3")
                                .arg(p.x())
                                .arg(p.y())
                                .arg(describe(image.pixelColor(p)))));

    // The rule belongs to the object name: a tile named otherwise stays unpainted.
    const QImage plain = paint(other);
    for (const QPoint &p : background + border)
        QVERIFY(!near(plain.pixelColor(p), Background) && !near(plain.pixelColor(p), Border));
}

void TestCameraDisplay::bindChannel_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("camera");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("picture");

    QTest::newRow("noCamera") << 0 << 3 << false << ""
                              << "Unknow" << false;
    QTest::newRow("namedCamera") << 0 << 7 << true << "Press 7"
                                 << "Press 7" << true;
    QTest::newRow("cameraWithoutName") << 0 << 12 << true << ""
                                       << "Unknow" << true;
    QTest::newRow("cameraToNone") << 2 << 9 << false << ""
                                  << "Unknow" << false;
    QTest::newRow("cameraToCamera") << 2 << 16 << true << "Gate"
                                    << "Gate" << true;
}

// Index, caption, title and picture follow the channel bound, whichever it was before.
void TestCameraDisplay::bindChannel()
{
    QFETCH(int, before);
    QFETCH(int, number);
    QFETCH(bool, camera);
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(bool, picture);

    auto channelOf = [](int n, const QString &cameraName) {
        ChannelConfig::Channel config;
        config.number = n;
        config.source = QStringLiteral("test:plaid");
        config.name = cameraName;
        return std::make_unique<VideoChannel>(config, QString());
    };
    const auto earlier = channelOf(before, QStringLiteral("Earlier"));
    const auto channel = channelOf(number, name);

    CameraDisplay tile;
    tile.resize(TileWidth, TileHeight);
    tile.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tile));
    tile.setVideoStream(VideoChannel::Stream::Grid);
    if (before > 0) {
        tile.bindChannel(before, earlier.get());
        QCOMPARE(earlier->demand(), VideoChannel::Stream::Grid);
    }
    tile.bindChannel(number, camera ? channel.get() : nullptr);

    QCOMPARE(tile.channelNumber(), number);
    QCOMPARE(tile.index(), QStringLiteral("C%1").arg(number, 2, 10, QLatin1Char('0')));
    QCOMPARE(tile.videoText(), QStringLiteral("通道 %1").arg(number));
    QCOMPARE(tile.title(), title);
    QCOMPARE(tile.channel(), camera ? channel.get() : nullptr);
    QLabel *caption = nullptr;
    for (QLabel *label : tile.findChildren<QLabel *>()) {
        if (label->objectName().isEmpty())
            caption = label;
    }
    QCOMPARE(caption->isVisible(), !picture);
    QCOMPARE(tile.videoView() && tile.videoView()->isVisible(), picture);
    // Only the camera bound now is asked for its picture.
    QCOMPARE(earlier->demand(), VideoChannel::Stream::None);
    QCOMPARE(channel->demand(), picture ? VideoChannel::Stream::Grid : VideoChannel::Stream::None);
}

QTEST_MAIN(TestCameraDisplay)
#include "tst_cameradisplay.moc"
