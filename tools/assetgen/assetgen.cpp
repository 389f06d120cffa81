// Draws the program's pictures into the folder given as the only argument.
//
// Everything is vector drawing with QPainter so that every size stays crisp and nothing
// depends on artwork from outside the project.
#include <QBuffer>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSvgGenerator>
#include <QtMath>

#include <vector>

namespace
{

constexpr int LoginWidth = 600;
constexpr int LoginHeight = 400;
constexpr int MessageBoxWidth = 500;
constexpr int MessageBoxHeight = 300;
constexpr int TypeIconSize = 96;
constexpr int AvatarSize = 128;
constexpr int LogoSizes[] = {16, 24, 32, 48, 64, 128, 256};
constexpr int ThemeIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
// The scalable icon is drawn with the detail of the largest picture.
constexpr int ScalableIconSize = 256;

// ICO container layout: a 6-byte directory header followed by one 16-byte entry per image.
constexpr int IcoHeaderSize = 6;
constexpr int IcoEntrySize = 16;
constexpr int IcoEntryOffsetField = 12;

QImage transparentImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A gradient from one colour at `from` to another at `to`.
QLinearGradient linear(const QPointF &from, const QPointF &to, const QColor &start,
                       const QColor &end)
{
    QLinearGradient gradient(from, to);
    gradient.setColorAt(0.0, start);
    gradient.setColorAt(1.0, end);
    return gradient;
}

QPointF polar(const QPointF &centre, qreal radius, qreal degrees)
{
    const qreal rad = qDegreesToRadians(degrees);
    return centre + QPointF(radius * qCos(rad), -radius * qSin(rad));
}

// The lens of the logo and of the login artwork: a dark barrel, a bright ring and a glassy
// iris whose highlight sits at the upper left.
void drawLens(QPainter &p, const QPointF &c, qreal r, bool detailed)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 20, 36));
    p.drawEllipse(c, r, r);

    QPen ring(QColor(232, 241, 255), r * 0.16);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.86, r * 0.86);

    QRadialGradient glass(c, r * 0.62, c + QPointF(-r * 0.22, -r * 0.22));
    glass.setColorAt(0.0, QColor(120, 236, 246));
    glass.setColorAt(0.45, QColor(28, 132, 214));
    glass.setColorAt(1.0, QColor(8, 40, 88));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(c, r * 0.62, r * 0.62);

    p.setBrush(QColor(4, 14, 30));
    p.drawEllipse(c, r * 0.24, r * 0.24);

    p.setBrush(QColor(255, 255, 255, 220));
    p.drawEllipse(c + QPointF(-r * 0.26, -r * 0.26), r * 0.11, r * 0.11);
    if (detailed) {
        p.setBrush(QColor(255, 255, 255, 110));
        p.drawEllipse(c + QPointF(r * 0.2, r * 0.22), r * 0.05, r * 0.05);
    }
}

// Window icon: a rounded blue tile with a camera lens, reticle marks and a green status light.
void paintLogo(QPainter &p, int size)
{
    p.setRenderHint(QPainter::Antialiasing);

    const qreal s = size;
    const qreal inset = size <= 16 ? 0.5 : s * 0.04;
    const QRectF tile(inset, inset, s - 2 * inset, s - 2 * inset);
    const qreal radius = s * 0.22;

    p.setPen(Qt::NoPen);
    p.setBrush(
        linear(tile.topLeft(), tile.bottomLeft(), QColor(58, 134, 245), QColor(22, 58, 138)));
    p.drawRoundedRect(tile, radius, radius);

    if (size >= 32) {
        // A thin light edge along the top gives the tile some depth.
        p.setBrush(linear(tile.topLeft(), QPointF(tile.left(), tile.center().y()),
                          QColor(255, 255, 255, 70), QColor(255, 255, 255, 0)));
        p.drawRoundedRect(tile.adjusted(s * 0.02, s * 0.02, -s * 0.02, -s * 0.4), radius * 0.8,
                          radius * 0.8);
    }

    const QPointF centre = tile.center();
    const qreal lensRadius = s * (size <= 16 ? 0.36 : 0.3);
    drawLens(p, centre, lensRadius, size >= 48);

    if (size >= 24) {
        QPen tick(QColor(110, 231, 183), qMax(1.0, s * 0.035), Qt::SolidLine, Qt::RoundCap);
        p.setPen(tick);
        const qreal from = lensRadius * 1.12;
        const qreal to = lensRadius * 1.38;
        for (int angle = 0; angle < 360; angle += 90)
            p.drawLine(polar(centre, from, angle), polar(centre, to, angle));
    }

    if (size >= 32) {
        const QPointF led(tile.right() - s * 0.16, tile.top() + s * 0.16);
        p.setPen(QPen(QColor(14, 40, 80), s * 0.02));
        p.setBrush(QColor(74, 222, 128));
        p.drawEllipse(led, s * 0.055, s * 0.055);
    }
}

QImage drawLogo(int size)
{
    QImage image = transparentImage(size, size);
    QPainter p(&image);
    paintLogo(p, size);
    return image;
}

// Corner brackets of a camera viewfinder.
void drawViewfinder(QPainter &p, const QRectF &r, qreal length, const QColor &color)
{
    p.setPen(QPen(color, 2, Qt::SolidLine, Qt::SquareCap));
    p.setBrush(Qt::NoBrush);
    const QPointF corners[] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    const int dx[] = {1, -1, -1, 1};
    const int dy[] = {1, 1, -1, -1};
    for (int i = 0; i < 4; ++i) {
        const QPointF c = corners[i];
        p.drawLine(c, c + QPointF(dx[i] * length, 0));
        p.drawLine(c, c + QPointF(0, dy[i] * length));
    }
}

// Aperture rings and blades, the watermark of the login artwork and the message box.
void drawAperture(QPainter &p, const QPointF &c, qreal r, const QColor &color, int blades)
{
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        QColor ring = color;
        ring.setAlphaF(color.alphaF() * (1.0 - i * 0.2));
        p.setPen(QPen(ring, i == 0 ? 2.0 : 1.0));
        const qreal rr = r * (1.0 - i * 0.16);
        p.drawEllipse(c, rr, rr);
    }
    // The blades: each runs from a corner of the inner polygon out to the outer ring, turned
    // a little, which gives the familiar swirl of an iris diaphragm.
    const qreal inner = r * 0.3;
    QPolygonF iris;
    for (int i = 0; i < blades; ++i)
        iris << polar(c, inner, 360.0 * i / blades);
    p.setPen(QPen(color, 1.2));
    p.drawPolygon(iris);
    for (int i = 0; i < blades; ++i) {
        const qreal angle = 360.0 * i / blades;
        p.drawLine(polar(c, inner, angle), polar(c, r * 0.84, angle - 58));
    }
}

struct LoginPalette {
    QColor top;
    QColor bottom;
    QColor glow;
    QPointF apertureCentre;
};

// Login background: a deep night-blue scene with a faint camera-wall grid, a large aperture
// watermark and viewfinder corners. The middle stays calm and dark enough for the form.
QImage drawLoginBackground(const LoginPalette &pal)
{
    QImage image(LoginWidth, LoginHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    p.fillRect(image.rect(),
               linear(QPointF(0, 0), QPointF(LoginWidth, LoginHeight), pal.top, pal.bottom));

    constexpr int GridStep = 40;
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    for (int x = GridStep; x < LoginWidth; x += GridStep)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, LoginHeight));
    for (int y = GridStep; y < LoginHeight; y += GridStep)
        p.drawLine(QPointF(0, y + 0.5), QPointF(LoginWidth, y + 0.5));

    QRadialGradient glow(QPointF(LoginWidth / 2.0, 60), 260);
    QColor g = pal.glow;
    g.setAlpha(70);
    glow.setColorAt(0.0, g);
    g.setAlpha(0);
    glow.setColorAt(1.0, g);
    p.fillRect(image.rect(), glow);

    drawAperture(p, pal.apertureCentre, 210, QColor(65, 211, 233, 46), 8);

    // A scan arc sweeping across the lower part.
    p.setPen(QPen(QColor(65, 211, 233, 60), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(-220, 250, 1040, 520), 40 * 16, 100 * 16);
    p.setPen(QPen(QColor(65, 211, 233, 26), 1));
    p.drawArc(QRectF(-200, 280, 1000, 500), 35 * 16, 110 * 16);

    p.fillRect(image.rect(), linear(QPointF(0, LoginHeight * 0.55), QPointF(0, LoginHeight),
                                    QColor(0, 0, 0, 0), QColor(0, 0, 0, 90)));

    drawViewfinder(p, QRectF(16, 16, LoginWidth - 32, LoginHeight - 32), 26,
                   QColor(255, 255, 255, 110));

    // Recording light and a small status bar in the upper left corner, as on a camera screen.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(74, 222, 128, 200));
    p.drawEllipse(QPointF(38, 38), 4, 4);
    p.setBrush(QColor(255, 255, 255, 70));
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(50 + i * 7, 35, 4, 7), 1, 1);
    return image;
}

// Avatar: a carton of fries on a round blue badge.
QImage drawAvatar()
{
    QImage image = transparentImage(AvatarSize, AvatarSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = AvatarSize;
    const QPointF c(s / 2, s / 2);

    p.setPen(QPen(QColor(255, 255, 255, 230), s * 0.04));
    p.setBrush(linear(QPointF(0, 0), QPointF(0, s), QColor(64, 140, 236), QColor(26, 72, 160)));
    p.drawEllipse(c, s * 0.46, s * 0.46);

    // Clip the fries to the badge so they never reach the transparent corners.
    QPainterPath badge;
    badge.addEllipse(c, s * 0.44, s * 0.44);
    p.setClipPath(badge);

    struct Stick {
        qreal x;
        qreal top;
        qreal tilt;
    };
    const Stick sticks[] = {{0.33, 0.26, -9}, {0.41, 0.20, -4}, {0.49, 0.17, 1}, {0.57, 0.21, 5},
                            {0.65, 0.27, 10}, {0.45, 0.30, -2}, {0.55, 0.31, 3}};
    const qreal stickWidth = s * 0.075;
    for (const Stick &st : sticks) {
        p.save();
        p.translate(s * st.x, s * 0.62);
        p.rotate(st.tilt);
        const QRectF r(-stickWidth / 2, s * (st.top - 0.62), stickWidth,
                       s * (0.62 - st.top) + s * 0.05);
        p.setPen(QPen(QColor(176, 112, 8), s * 0.012));
        p.setBrush(linear(r.topLeft(), r.topRight(), QColor(255, 214, 74), QColor(232, 168, 20)));
        p.drawRoundedRect(r, stickWidth * 0.3, stickWidth * 0.3);
        p.restore();
    }

    QPainterPath carton;
    carton.moveTo(s * 0.27, s * 0.48);
    carton.lineTo(s * 0.73, s * 0.48);
    carton.lineTo(s * 0.66, s * 0.86);
    carton.lineTo(s * 0.34, s * 0.86);
    carton.closeSubpath();
    p.setPen(QPen(QColor(140, 20, 24), s * 0.015));
    p.setBrush(linear(QPointF(s * 0.27, 0), QPointF(s * 0.73, 0), QColor(236, 64, 58),
                      QColor(196, 36, 36)));
    p.drawPath(carton);

    // The carton's rim: a shallow arch that dips between the fries.
    QPainterPath rim;
    rim.moveTo(s * 0.27, s * 0.48);
    rim.quadTo(s * 0.5, s * 0.6, s * 0.73, s * 0.48);
    p.setPen(QPen(QColor(255, 240, 236), s * 0.03, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rim);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 74));
    p.drawEllipse(QPointF(s * 0.5, s * 0.72), s * 0.06, s * 0.06);
    return image;
}

// Message box background: mostly transparent, so that the theme's dialog colour shows and the
// text stays readable in every theme; only faint neutral shapes decorate it.
QImage drawMessageBoxBackground()
{
    QImage image = transparentImage(MessageBoxWidth, MessageBoxHeight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient band(0, 0, MessageBoxWidth, MessageBoxHeight);
    band.setColorAt(0.0, QColor(128, 128, 128, 22));
    band.setColorAt(0.45, QColor(128, 128, 128, 0));
    p.fillRect(image.rect(), band);

    drawAperture(p, QPointF(MessageBoxWidth - 40, MessageBoxHeight - 30), 150,
                 QColor(128, 136, 150, 30), 6);

    p.fillRect(QRect(0, MessageBoxHeight - 70, MessageBoxWidth, 70),
               linear(QPointF(0, MessageBoxHeight - 70), QPointF(0, MessageBoxHeight),
                      QColor(128, 128, 128, 0), QColor(128, 128, 128, 20)));
    return image;
}

// The round badge of the information and error pictures, on a soft shadow; leaves the painter
// ready for the white mark.
void drawRoundBadge(QPainter &p, qreal s, const QColor &light, const QColor &dark)
{
    QRadialGradient shadow(QPointF(s / 2, s / 2 + s * 0.03), s * 0.49);
    shadow.setColorAt(0.82, QColor(0, 0, 0, 60));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(s / 2, s / 2 + s * 0.03), s * 0.49, s * 0.49);

    p.setPen(QPen(QColor(255, 255, 255, 90), s * 0.02));
    p.setBrush(linear(QPointF(0, s * 0.05), QPointF(0, s * 0.95), light, dark));
    p.drawEllipse(QPointF(s / 2, s / 2), s * 0.43, s * 0.43);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
}

QImage drawInfoIcon()
{
    QImage image = transparentImage(TypeIconSize, TypeIconSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = TypeIconSize;
    drawRoundBadge(p, s, QColor(88, 166, 255), QColor(28, 104, 208));
    p.drawEllipse(QPointF(s / 2, s * 0.3), s * 0.065, s * 0.065);
    p.drawRoundedRect(QRectF(s * 0.44, s * 0.42, s * 0.12, s * 0.34), s * 0.05, s * 0.05);
    return image;
}

QImage drawWarningIcon()
{
    QImage image = transparentImage(TypeIconSize, TypeIconSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = TypeIconSize;
    QPainterPath triangle;
    triangle.moveTo(s * 0.5, s * 0.14);
    triangle.lineTo(s * 0.88, s * 0.8);
    triangle.lineTo(s * 0.12, s * 0.8);
    triangle.closeSubpath();
    const QLinearGradient fill = linear(QPointF(0, s * 0.14), QPointF(0, s * 0.8),
                                        QColor(255, 207, 82), QColor(240, 150, 10));
    // A wide pen in the fill colour with round joins rounds the corners; the same shape a
    // little lower in translucent black is its shadow.
    p.setPen(QPen(QColor(0, 0, 0, 50), s * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawPath(triangle.translated(0, s * 0.025));
    p.setPen(QPen(QBrush(fill), s * 0.09, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(triangle);
    const QColor mark(60, 40, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    p.drawRoundedRect(QRectF(s * 0.45, s * 0.33, s * 0.1, s * 0.27), s * 0.045, s * 0.045);
    p.drawEllipse(QPointF(s / 2, s * 0.69), s * 0.058, s * 0.058);
    return image;
}

QImage drawErrorIcon()
{
    QImage image = transparentImage(TypeIconSize, TypeIconSize);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = TypeIconSize;
    drawRoundBadge(p, s, QColor(255, 110, 110), QColor(204, 40, 48));
    p.translate(s / 2, s / 2);
    for (int angle : {45, -45}) {
        p.save();
        p.rotate(angle);
        p.drawRoundedRect(QRectF(-s * 0.22, -s * 0.055, s * 0.44, s * 0.11), s * 0.05, s * 0.05);
        p.restore();
    }
    return image;
}

bool ensureFolder(const QString &file)
{
    return QDir().mkpath(QFileInfo(file).absolutePath());
}

bool save(const QImage &image, const QString &root, const QString &path)
{
    const QString file = root + QLatin1Char('/') + path;
    if (!ensureFolder(file) || !image.save(file)) {
        qCritical() << "cannot write" << file;
        return false;
    }
    return true;
}

// Qt's ico writer stores one picture per file; the icon gets every size by encoding each one
// with it and joining their directory entries into one container.
bool saveIcon(const std::vector<QImage> &images, const QString &root, const QString &path)
{
    std::vector<QByteArray> singles;
    for (const QImage &image : images) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "ico");
        if (!writer.write(image) || bytes.size() <= IcoHeaderSize + IcoEntrySize) {
            qCritical() << "ico encoding failed:" << writer.errorString();
            return false;
        }
        singles.push_back(bytes);
    }

    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream << quint16(0) << quint16(1) << quint16(singles.size());
    quint32 offset = IcoHeaderSize + IcoEntrySize * quint32(singles.size());
    for (const QByteArray &single : singles) {
        QByteArray entry = single.mid(IcoHeaderSize, IcoEntrySize);
        const quint32 dataSize = quint32(single.size() - IcoHeaderSize - IcoEntrySize);
        QDataStream patch(&entry, QIODevice::WriteOnly);
        patch.setByteOrder(QDataStream::LittleEndian);
        patch.device()->seek(IcoEntryOffsetField);
        patch << offset;
        stream.writeRawData(entry.constData(), entry.size());
        offset += dataSize;
    }
    for (const QByteArray &single : singles) {
        const int start = IcoHeaderSize + IcoEntrySize;
        stream.writeRawData(single.constData() + start, single.size() - start);
    }

    const QString file = root + QLatin1Char('/') + path;
    QFile f(file);
    if (!ensureFolder(file) || !f.open(QIODevice::WriteOnly) || f.write(out) != out.size()) {
        qCritical() << "cannot write" << file;
        return false;
    }
    return true;
}

// The program's icon in the hicolor theme: a picture per size and a scalable one.
bool saveThemeIcons(const QString &root, const QString &name)
{
    bool ok = true;
    for (int size : ThemeIconSizes) {
        ok &= save(drawLogo(size), root,
                   QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(name));
    }
    const QString svg = root + QStringLiteral("/icons/hicolor/scalable/apps/%1.svg").arg(name);
    if (!ensureFolder(svg))
        return false;
    QSvgGenerator generator;
    generator.setFileName(svg);
    generator.setSize(QSize(ScalableIconSize, ScalableIconSize));
    generator.setViewBox(QRect(0, 0, ScalableIconSize, ScalableIconSize));
    generator.setTitle(name);
    QPainter p;
    if (!p.begin(&generator)) {
        qCritical() << "cannot write" << svg;
        return false;
    }
    paintLogo(p, ScalableIconSize);
    return p.end() && ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        qCritical("usage: assetgen OUTPUT_FOLDER ICON_NAME");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);

    std::vector<QImage> logos;
    for (int size : LogoSizes)
        logos.push_back(drawLogo(size));

    const LoginPalette installed{QColor(9, 22, 42), QColor(12, 58, 76), QColor(65, 211, 233),
                                 QPointF(470, 300)};
    const LoginPalette builtIn{QColor(14, 18, 44), QColor(20, 44, 92), QColor(110, 150, 255),
                               QPointF(120, 310)};

    bool ok = true;
    ok &= save(drawMessageBoxBackground(), root, QStringLiteral("res/image/messagebox/bg.png"));
    ok &= save(drawInfoIcon(), root, QStringLiteral("res/image/messagebox/info.png"));
    ok &= save(drawWarningIcon(), root, QStringLiteral("res/image/messagebox/warning.png"));
    ok &= save(drawErrorIcon(), root, QStringLiteral("res/image/messagebox/error.png"));
    ok &= save(drawLoginBackground(builtIn), root, QStringLiteral("res/image/login/bg01.png"));
    ok &= saveIcon(logos, root, QStringLiteral("config/image/logo.ico"));
    ok &= save(drawLoginBackground(installed), root, QStringLiteral("config/image/login/1.png"));
    ok &= save(drawAvatar(), root, QStringLiteral("config/image/fries.png"));
    ok &= saveThemeIcons(root, QString::fromLocal8Bit(argv[2]));
    return ok ? 0 : 1;
}
