// Draws the program's pictures into the folder given as the only argument.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

static bool save(const QImage &image, const QString &root, const QString &path)
{
    const QString file = root + QLatin1Char('/') + path;
    QDir().mkpath(QFileInfo(file).absolutePath());
    return image.save(file);
}

static QImage plain(int w, int h, const QColor &color)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    ok &= save(plain(500, 300, QColor(40, 50, 70)), root, QStringLiteral("res/image/messagebox/bg.png"));
    ok &= save(plain(128, 128, QColor(30, 140, 220)), root, QStringLiteral("res/image/messagebox/info.png"));
    ok &= save(plain(128, 128, QColor(240, 170, 30)), root, QStringLiteral("res/image/messagebox/warning.png"));
    ok &= save(plain(128, 128, QColor(220, 60, 60)), root, QStringLiteral("res/image/messagebox/error.png"));
    ok &= save(plain(600, 400, QColor(20, 40, 70)), root, QStringLiteral("res/image/login/bg01.png"));
    ok &= save(plain(64, 64, QColor(30, 140, 220)), root, QStringLiteral("config/image/logo.ico"));
    ok &= save(plain(600, 400, QColor(20, 40, 70)), root, QStringLiteral("config/image/login/1.png"));
    ok &= save(plain(64, 64, QColor(240, 170, 30)), root, QStringLiteral("config/image/fries.png"));
    return ok ? 0 : 1;
}
