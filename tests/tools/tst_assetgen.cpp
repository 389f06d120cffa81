// The pictures drawn at build time: present, readable, of the sizes their users expect.
#include <QtTest>

#include <QIcon>
#include <QImageReader>

#include <set>

#include "../testsupport.h"

namespace
{

using TestSupport::luminance;

constexpr int OpaqueAlpha = 255;
constexpr int TransparentAlpha = 8;
const std::set<int> IconSizes = {16, 24, 32, 48, 64, 128, 256};
constexpr int TitleBarIconSize = 40;
constexpr int MessageIconLabelSize = 130;

QString asset(const QString &path)
{
    return QStringLiteral(TEST_ASSET_DIR "/") + path;
}

bool cornersTransparent(const QImage &image)
{
    const int w = image.width() - 1;
    const int h = image.height() - 1;
    for (const QPoint &p : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h)})
        if (image.pixelColor(p).alpha() > TransparentAlpha)
            return false;
    return true;
}

} // namespace

class tst_AssetGen : public QObject
{
    Q_OBJECT

private slots:
    void pictureLoads_data();
    void pictureLoads();
    void iconHoldsEverySize();
    void iconServesTitleBarSize();
    void typePicturesFitTheirLabel_data();
    void typePicturesFitTheirLabel();
    void loginPicturesKeepLightTextReadable_data();
    void loginPicturesKeepLightTextReadable();
    void messageBoxBackgroundLetsThemeShow();
};

void tst_AssetGen::pictureLoads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparentCorners");
    QTest::newRow("messageBoxBackground")
        << "res/image/messagebox/bg.png" << QSize(500, 300) << false;
    QTest::newRow("infoPicture") << "res/image/messagebox/info.png" << QSize(96, 96) << true;
    QTest::newRow("warningPicture") << "res/image/messagebox/warning.png" << QSize(96, 96) << true;
    QTest::newRow("errorPicture") << "res/image/messagebox/error.png" << QSize(96, 96) << true;
    QTest::newRow("builtInLogin") << "res/image/login/bg01.png" << QSize(600, 400) << false;
    QTest::newRow("installedLogin") << "config/image/login/1.png" << QSize(600, 400) << false;
    QTest::newRow("avatar") << "config/image/fries.png" << QSize(128, 128) << true;
    QTest::newRow("windowIcon") << "config/image/logo.ico" << QSize(16, 16) << true;
}

void tst_AssetGen::pictureLoads()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(bool, transparentCorners);
    QVERIFY2(QFileInfo::exists(asset(path)), qPrintable(asset(path)));
    const QImage image(asset(path));
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
    if (transparentCorners) {
        QVERIFY(image.hasAlphaChannel());
        QVERIFY(cornersTransparent(image));
        QCOMPARE(image.pixelColor(size.width() / 2, size.height() / 2).alpha(), OpaqueAlpha);
    }
}

void tst_AssetGen::iconHoldsEverySize()
{
    QImageReader reader(asset(QStringLiteral("config/image/logo.ico")));
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QCOMPARE(reader.imageCount(), int(IconSizes.size()));
    std::set<int> seen;
    for (int i = 0; i < reader.imageCount(); ++i) {
        QVERIFY(reader.jumpToImage(i));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.width(), image.height());
        QVERIFY2(cornersTransparent(image), qPrintable(QString::number(image.width())));
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2).alpha(), OpaqueAlpha);
        seen.insert(image.width());
    }
    QVERIFY(seen == IconSizes);
}

void tst_AssetGen::iconServesTitleBarSize()
{
    const QIcon icon(asset(QStringLiteral("config/image/logo.ico")));
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().size() > 1);
    // The title bar shows the icon at 40 x 40.
    const QPixmap pixmap = icon.pixmap(TitleBarIconSize, TitleBarIconSize);
    QCOMPARE(pixmap.size(), QSize(TitleBarIconSize, TitleBarIconSize));
    QVERIFY(icon.actualSize(QSize(TitleBarIconSize, TitleBarIconSize)).width() == TitleBarIconSize);
}

void tst_AssetGen::typePicturesFitTheirLabel_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("info") << "res/image/messagebox/info.png";
    QTest::newRow("warning") << "res/image/messagebox/warning.png";
    QTest::newRow("error") << "res/image/messagebox/error.png";
}

void tst_AssetGen::typePicturesFitTheirLabel()
{
    QFETCH(QString, path);
    const QImage image(asset(path));
    QVERIFY(!image.isNull());
    // Shown at natural size in a 130 x 130 label: larger pictures would be cut.
    QVERIFY(image.width() <= MessageIconLabelSize && image.height() <= MessageIconLabelSize);
    // A picture that says something: both a clearly coloured badge and a light or dark mark.
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() == OpaqueAlpha && c.hsvSaturation() > 120)
                ++coloured;
        }
    QVERIFY(coloured > image.width() * image.height() / 5);
}

void tst_AssetGen::loginPicturesKeepLightTextReadable_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("builtIn") << "res/image/login/bg01.png";
    QTest::newRow("installed") << "config/image/login/1.png";
}

void tst_AssetGen::loginPicturesKeepLightTextReadable()
{
    QFETCH(QString, path);
    const QImage image(asset(path));
    QVERIFY(!image.isNull());
    // The login form puts light text (the remember check boxes, the cyan title) straight on the
    // picture, in every theme: the picture stays dark where the form lies.
    const QColor text("#eef3f9");
    const QRect form(100, 10, 400, 380);
    double worst = 1e9;
    for (int y = form.top(); y <= form.bottom(); y += 3)
        for (int x = form.left(); x <= form.right(); x += 3) {
            const QColor c = image.pixelColor(x, y);
            QCOMPARE(c.alpha(), OpaqueAlpha);
            worst = qMin(worst, (luminance(text) + 0.05) / (luminance(c) + 0.05));
        }
    QVERIFY2(worst >= 4.5, qPrintable(QString::number(worst)));
}

void tst_AssetGen::messageBoxBackgroundLetsThemeShow()
{
    const QImage image(asset(QStringLiteral("res/image/messagebox/bg.png")));
    QVERIFY(!image.isNull());
    QVERIFY(image.hasAlphaChannel());
    // The dialog colour of each theme shows through: no pixel covers it by more than a quarter.
    int strongest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            strongest = qMax(strongest, image.pixelColor(x, y).alpha());
    QVERIFY2(strongest <= OpaqueAlpha / 4, qPrintable(QString::number(strongest)));
    QVERIFY(strongest > 0);
}

QTEST_MAIN(tst_AssetGen)
#include "tst_assetgen.moc"
