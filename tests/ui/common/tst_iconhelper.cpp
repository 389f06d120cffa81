#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/common/iconhelper.h"

namespace
{

constexpr int Square = 0xF0C8;
constexpr int Circle = 0xF111;
constexpr int Cog = 0xF013;

const QString NormalText = QStringLiteral("#AAAAAA");
const QString DarkText = QStringLiteral("#FFFFFF");
const QString NormalBg = QStringLiteral("#111111");
const QString DarkBg = QStringLiteral("#222222");
const QString Border = QStringLiteral("#FF0000");

bool near(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// The smallest rectangle holding every pixel that is at least half opaque.
QRect inkRect(const QImage &image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() >= 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QImage iconImage(QToolButton *button)
{
    return button->icon().pixmap(button->iconSize()).toImage();
}

void sendEvent(QWidget *widget, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestIconHelper : public QObject
{
    Q_OBJECT

private slots:
    void resourceFontIsLoadable();
    void instanceUsesFontAwesome();
    void glyphPixmap_data();
    void glyphPixmap();
    void glyphsComeFromIconFont();
    void glyphPixmapKeepsLastPixelSize();
    void glyphPixmapRefusesEmptySize();
    void setGlyph();
    void borderFragment_data();
    void borderFragment();
    void navigationStyleSheet_data();
    void navigationStyleSheet();
    void navigationBorderIsDrawnOnOneSide();
    void toolButtonWidgetStyleSheet_data();
    void toolButtonWidgetStyleSheet();
    void unnamedWidgetKeepsButtonRules();
    void toolButtonFrameStyleSheet();
    void unequalListsChangeNothing_data();
    void unequalListsChangeNothing();
    void enterAndLeaveSwapIcons();
    void checkedButtonKeepsHoverIcon();
    void firstRegistrationWins();
    void unregisteredButtonHasNoPixmap();
    void filterNeverConsumesEvents();
};

void TestIconHelper::resourceFontIsLoadable()
{
    QFile font(QString::fromLatin1(IconHelper::FontResource));
    QVERIFY(font.exists());
    QVERIFY(font.size() > 0);
    const int id = QFontDatabase::addApplicationFont(font.fileName());
    QVERIFY(id >= 0);
    QVERIFY(QFontDatabase::applicationFontFamilies(id).contains(QStringLiteral("FontAwesome")));
    QFontDatabase::removeApplicationFont(id);
}

void TestIconHelper::instanceUsesFontAwesome()
{
    IconHelper *helper = IconHelper::instance();
    QVERIFY(helper);
    QCOMPARE(IconHelper::instance(), helper);
    QCOMPARE(helper->iconFont().family(), QStringLiteral("FontAwesome"));
    QCOMPARE(helper->iconFont().hintingPreference(), QFont::PreferNoHinting);
}

void TestIconHelper::glyphPixmap_data()
{
    QTest::addColumn<int>("glyph");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("color");

    QTest::newRow("square15in30") << Square << 15 << QSize(30, 30) << QColor(10, 200, 30);
    QTest::newRow("circle30in35") << Circle << 30 << QSize(35, 35) << QColor(0xFE, 0xFE, 0xFE);
    QTest::newRow("squareInWidePixmap") << Square << 20 << QSize(80, 30) << QColor(Qt::blue);
    QTest::newRow("cogInTallPixmap") << Cog << 16 << QSize(24, 60) << QColor(200, 40, 40);
}

void TestIconHelper::glyphPixmap()
{
    QFETCH(int, glyph);
    QFETCH(int, pixelSize);
    QFETCH(QSize, size);
    QFETCH(QColor, color);

    const QImage image = IconHelper::instance()
                             ->glyphPixmap(color, QChar(glyph), pixelSize, size.width(),
                                           size.height(), Qt::AlignCenter)
                             .toImage();
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());

    const QRect ink = inkRect(image);
    QVERIFY(!ink.isEmpty());
    // The glyph is about as large as its pixel size, and no larger.
    QVERIFY(ink.width() <= pixelSize + 1 && ink.height() <= pixelSize + 1);
    QVERIFY(ink.width() >= pixelSize / 2 && ink.height() >= pixelSize / 2);
    // Centred, within a pixel or two of font metrics.
    QVERIFY2(qAbs(ink.left() - (size.width() - 1 - ink.right())) <= 2,
             qPrintable(QString::number(ink.left())));
    QVERIFY2(qAbs(ink.top() - (size.height() - 1 - ink.bottom())) <= 3,
             qPrintable(QString::number(ink.top())));

    int solid = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (!ink.adjusted(-1, -1, 1, 1).contains(x, y))
                QCOMPARE(pixel.alpha(), 0);
            else if (pixel.alpha() >= 128)
                QVERIFY2(near(pixel, color, 6), qPrintable(pixel.name()));
            if (pixel == color)
                ++solid;
        }
    }
    // The body of the glyph is painted in exactly the colour asked for.
    QVERIFY(solid >= pixelSize);
}

// A filled circle and a filled square, not the hollow box of a missing glyph.
void TestIconHelper::glyphsComeFromIconFont()
{
    IconHelper *helper = IconHelper::instance();
    const QImage circle = helper->glyphPixmap(Qt::red, QChar(Circle), 30, 40, 40).toImage();
    const QRect circleInk = inkRect(circle);
    QCOMPARE(circle.pixelColor(circleInk.center()), QColor(Qt::red));
    QVERIFY(circle.pixelColor(circleInk.topLeft()).alpha() < 128);
    QVERIFY(circle.pixelColor(circleInk.bottomRight()).alpha() < 128);
    QVERIFY(qAbs(circleInk.width() - circleInk.height()) <= 1);

    const QImage square = helper->glyphPixmap(Qt::red, QChar(Square), 30, 40, 40).toImage();
    const QRect squareInk = inkRect(square);
    QCOMPARE(square.pixelColor(squareInk.center()), QColor(Qt::red));
    QCOMPARE(square.pixelColor(squareInk.center() + QPoint(squareInk.width() / 3, 0)),
             QColor(Qt::red));
}

void TestIconHelper::glyphPixmapKeepsLastPixelSize()
{
    IconHelper *helper = IconHelper::instance();
    helper->glyphPixmap(Qt::red, QChar(Square), 12, 20, 20);
    QCOMPARE(helper->iconFont().pixelSize(), 12);
    helper->glyphPixmap(Qt::red, QChar(Square), 27, 30, 30);
    QCOMPARE(helper->iconFont().pixelSize(), 27);
}

void TestIconHelper::glyphPixmapRefusesEmptySize()
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no pixmap of size")));
    QVERIFY(IconHelper::instance()->glyphPixmap(Qt::red, QChar(Square), 12, 0, 20).isNull());

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("draws nothing")));
    const QImage empty =
        IconHelper::instance()->glyphPixmap(Qt::red, QChar(Square), 0, 20, 20).toImage();
    QCOMPARE(empty.size(), QSize(20, 20));
    QVERIFY(inkRect(empty).isEmpty());
}

void TestIconHelper::setGlyph()
{
    QLabel label;
    QPushButton button;
    IconHelper *helper = IconHelper::instance();

    helper->setGlyph(&label, QChar(Cog), 18);
    QCOMPARE(label.text(), QString(QChar(Cog)));
    QCOMPARE(label.font().family(), QStringLiteral("FontAwesome"));
    QCOMPARE(label.font().pixelSize(), 18);

    helper->setGlyph(&button, QChar(Circle), 22);
    QCOMPARE(button.text(), QString(QChar(Circle)));
    QCOMPARE(button.font().pixelSize(), 22);
    QCOMPARE(helper->iconFont().pixelSize(), 22);
}

void TestIconHelper::borderFragment_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("expected");

    QTest::newRow("top") << "top"
                         << "border-width:3px 0px 0px 0px;padding:3px 6px 6px 6px;";
    QTest::newRow("right") << "right"
                           << "border-width:0px 3px 0px 0px;padding:6px 3px 6px 6px;";
    QTest::newRow("bottom") << "bottom"
                            << "border-width:0px 0px 3px 0px;padding:6px 6px 3px 6px;";
    QTest::newRow("left") << "left"
                          << "border-width:0px 0px 0px 3px;padding:6px 6px 6px 3px;";
    QTest::newRow("caseMatters") << "Left"
                                 << "";
    QTest::newRow("unknown") << "middle"
                             << "";
}

void TestIconHelper::borderFragment()
{
    QFETCH(QString, type);
    QFETCH(QString, expected);
    QCOMPARE(IconHelper::borderFragment(type, 3), expected);
}

void TestIconHelper::navigationStyleSheet_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("expected");

    QTest::newRow("left")
        << "left"
        << "QWidget[flag=\"left\"] QAbstractButton{border-style:none;border-radius:0px;"
           "padding:5px;color:#AAAAAA;background:#111111;}"
           "QWidget[flag=\"left\"] QAbstractButton:hover,QWidget[flag=\"left\"] "
           "QAbstractButton:pressed,QWidget[flag=\"left\"] QAbstractButton:checked{"
           "border-style:solid;border-width:0px 0px 0px 3px;padding:6px 6px 6px 3px;"
           "border-color:#FF0000;color:#FFFFFF;background:#222222;}";
    QTest::newRow("top")
        << "top"
        << "QWidget[flag=\"top\"] QAbstractButton{border-style:none;border-radius:0px;"
           "padding:5px;color:#AAAAAA;background:#111111;}"
           "QWidget[flag=\"top\"] QAbstractButton:hover,QWidget[flag=\"top\"] "
           "QAbstractButton:pressed,QWidget[flag=\"top\"] QAbstractButton:checked{"
           "border-style:solid;border-width:3px 0px 0px 0px;padding:3px 6px 6px 6px;"
           "border-color:#FF0000;color:#FFFFFF;background:#222222;}";
    QTest::newRow("unknownHasNoBorderPart")
        << "diagonal"
        << "QWidget[flag=\"diagonal\"] QAbstractButton{border-style:none;border-radius:0px;"
           "padding:5px;color:#AAAAAA;background:#111111;}"
           "QWidget[flag=\"diagonal\"] QAbstractButton:hover,QWidget[flag=\"diagonal\"] "
           "QAbstractButton:pressed,QWidget[flag=\"diagonal\"] QAbstractButton:checked{"
           "border-style:solid;border-color:#FF0000;color:#FFFFFF;background:#222222;}";
}

void TestIconHelper::navigationStyleSheet()
{
    QFETCH(QString, type);
    QFETCH(QString, expected);

    QWidget widget;
    IconHelper::styleNavigationWidget(&widget, type, 3, Border, NormalBg, DarkBg, NormalText,
                                      DarkText);
    QCOMPARE(widget.styleSheet(), expected);
}

void TestIconHelper::navigationBorderIsDrawnOnOneSide()
{
    QWidget widget;
    widget.setProperty("flag", QStringLiteral("left"));
    auto *layout = new QVBoxLayout(&widget);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *button = new QToolButton;
    button->setCheckable(true);
    button->setChecked(true);
    button->setFixedSize(80, 40);
    layout->addWidget(button);
    IconHelper::styleNavigationWidget(&widget, QStringLiteral("left"), 3, Border, NormalBg, DarkBg,
                                      NormalText, DarkText);
    widget.resize(80, 40);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    const QImage image = button->grab().toImage();
    for (int x = 0; x < 3; ++x)
        QCOMPARE(image.pixelColor(x, 20), QColor(Border));
    QCOMPARE(image.pixelColor(3, 20), QColor(DarkBg));
    QCOMPARE(image.pixelColor(79, 20), QColor(DarkBg));
    QCOMPARE(image.pixelColor(40, 0), QColor(DarkBg));
    QCOMPARE(image.pixelColor(40, 39), QColor(DarkBg));
}

void TestIconHelper::toolButtonWidgetStyleSheet_data()
{
    QTest::addColumn<int>("buttonStyle");
    QTest::addColumn<QString>("firstRule");

    QTest::newRow("textBesideIcon")
        << int(Qt::ToolButtonTextBesideIcon)
        << "QWidget[flag=\"right\"] QAbstractButton{border-style:solid;border-radius:0px;"
           "border-width:0px 2px 0px 0px;padding:4px 2px 4px 4px;border-color:#111111;"
           "color:#AAAAAA;background:#111111;}";
    QTest::newRow("textUnderIcon")
        << int(Qt::ToolButtonTextUnderIcon)
        << "QWidget[flag=\"right\"] QAbstractButton{border-style:none;border-radius:0px;"
           "padding:5px;color:#AAAAAA;background:#111111;}";
}

void TestIconHelper::toolButtonWidgetStyleSheet()
{
    QFETCH(int, buttonStyle);
    QFETCH(QString, firstRule);

    QWidget widget;
    widget.setObjectName(QStringLiteral("navBar"));
    auto *first = new QToolButton(&widget);
    auto *second = new QToolButton(&widget);
    first->setToolButtonStyle(Qt::ToolButtonStyle(buttonStyle));
    IconHelper *helper = IconHelper::instance();
    helper->styleToolButtonWidget(&widget, {first, second}, {Cog, Square}, 14, 20, 18,
                                  QStringLiteral("right"), 2, Border, NormalBg, DarkBg, NormalText,
                                  DarkText);

    const QString expected =
        firstRule +
        "QWidget[flag=\"right\"] QAbstractButton:hover,QWidget[flag=\"right\"] "
        "QAbstractButton:pressed,QWidget[flag=\"right\"] QAbstractButton:checked{"
        "border-style:solid;border-width:0px 2px 0px 0px;padding:4px 2px 4px 4px;"
        "border-color:#FF0000;color:#FFFFFF;background:#222222;}"
        "QWidget#navBar{background:#111111;}"
        "QWidget>QToolButton{border-width:0px;}"
        "QWidget>QToolButton{background-color:#111111;color:#AAAAAA;}"
        "QWidget>QToolButton:hover,QWidget>QToolButton:pressed,QWidget>QToolButton:checked{"
        "background-color:#222222;color:#FFFFFF;}";
    QCOMPARE(widget.styleSheet(), expected);

    // Each button got its own glyph in the normal colour at the icon size.
    QCOMPARE(first->iconSize(), QSize(20, 18));
    const QImage normal = helper->glyphPixmap(QColor(NormalText), QChar(Cog), 14, 20, 18).toImage();
    QCOMPARE(iconImage(first), normal);
    QCOMPARE(helper->buttonPixmap(first, true).toImage(), normal);
    QCOMPARE(helper->buttonPixmap(first, false).toImage(),
             helper->glyphPixmap(QColor(DarkText), QChar(Cog), 14, 20, 18).toImage());
    QCOMPARE(iconImage(second),
             helper->glyphPixmap(QColor(NormalText), QChar(Square), 14, 20, 18).toImage());
}

// The buttons' own rules follow the widget's rule; an unnamed widget must not cost them.
void TestIconHelper::unnamedWidgetKeepsButtonRules()
{
    QWidget widget;
    auto *layout = new QVBoxLayout(&widget);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *button = new QToolButton;
    button->setFixedSize(60, 40);
    layout->addWidget(button);
    IconHelper::instance()->styleToolButtonWidget(&widget, {button}, {Cog}, 14, 20, 20,
                                                  QStringLiteral("left"), 2, Border, NormalBg,
                                                  DarkBg, NormalText, DarkText);
    QVERIFY(!widget.styleSheet().contains(QLatin1String("QWidget#")));
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    const QImage image = button->grab().toImage();
    QCOMPARE(image.pixelColor(1, 1), QColor(NormalBg));
    QCOMPARE(image.pixelColor(58, 38), QColor(NormalBg));
}

void TestIconHelper::toolButtonFrameStyleSheet()
{
    QFrame frame;
    auto *button = new QToolButton(&frame);
    IconHelper::instance()->styleToolButtonFrame(&frame, {button}, {Circle}, 12, 16, 16, NormalBg,
                                                 DarkBg, NormalText, DarkText);
    QCOMPARE(frame.styleSheet(),
             QStringLiteral("QFrame>QToolButton{border-style:none;border-width:0px;}"
                            "QFrame>QToolButton{background-color:#111111;color:#AAAAAA;}"
                            "QFrame>QToolButton:hover,QFrame>QToolButton:pressed,"
                            "QFrame>QToolButton:checked{background-color:#222222;color:#FFFFFF;}"));
    QCOMPARE(button->iconSize(), QSize(16, 16));
    QVERIFY(!IconHelper::instance()->buttonPixmap(button, true).isNull());
}

void TestIconHelper::unequalListsChangeNothing_data()
{
    QTest::addColumn<int>("buttonCount");
    QTest::addColumn<QList<int>>("glyphs");

    QTest::newRow("threeButtonsTwoGlyphs") << 3 << QList<int>{Cog, Square};
    QTest::newRow("noButtons") << 0 << QList<int>{Cog};
    QTest::newRow("noGlyphs") << 2 << QList<int>{};
}

void TestIconHelper::unequalListsChangeNothing()
{
    QFETCH(int, buttonCount);
    QFETCH(QList<int>, glyphs);

    QFrame frame;
    frame.setObjectName(QStringLiteral("navBar"));
    QList<QToolButton *> buttons;
    for (int i = 0; i < buttonCount; ++i)
        buttons << new QToolButton(&frame);
    IconHelper *helper = IconHelper::instance();
    helper->styleToolButtonWidget(&frame, buttons, glyphs, 14, 20, 20, QStringLiteral("left"), 2,
                                  Border, NormalBg, DarkBg, NormalText, DarkText);
    helper->styleToolButtonFrame(&frame, buttons, glyphs, 14, 20, 20, NormalBg, DarkBg, NormalText,
                                 DarkText);

    QVERIFY(frame.styleSheet().isEmpty());
    for (QToolButton *button : qAsConst(buttons)) {
        QVERIFY(button->icon().isNull());
        QVERIFY(helper->buttonPixmap(button, true).isNull());
        sendEvent(button, QEvent::Enter);
        QVERIFY(button->icon().isNull());
    }
}

void TestIconHelper::enterAndLeaveSwapIcons()
{
    QFrame frame;
    auto *button = new QToolButton(&frame);
    IconHelper *helper = IconHelper::instance();
    helper->styleToolButtonFrame(&frame, {button}, {Cog}, 14, 20, 20, NormalBg, DarkBg, NormalText,
                                 DarkText);
    const QImage normal = helper->buttonPixmap(button, true).toImage();
    const QImage hover = helper->buttonPixmap(button, false).toImage();
    QVERIFY(normal != hover);
    QCOMPARE(iconImage(button), normal);

    sendEvent(button, QEvent::Enter);
    QCOMPARE(iconImage(button), hover);
    sendEvent(button, QEvent::Leave);
    QCOMPARE(iconImage(button), normal);
}

void TestIconHelper::checkedButtonKeepsHoverIcon()
{
    QFrame frame;
    auto *button = new QToolButton(&frame);
    button->setCheckable(true);
    IconHelper *helper = IconHelper::instance();
    helper->styleToolButtonFrame(&frame, {button}, {Square}, 14, 20, 20, NormalBg, DarkBg,
                                 NormalText, DarkText);
    const QImage normal = helper->buttonPixmap(button, true).toImage();
    const QImage hover = helper->buttonPixmap(button, false).toImage();

    // Checking by code changes nothing until the pointer comes and goes.
    button->setChecked(true);
    QCOMPARE(iconImage(button), normal);
    sendEvent(button, QEvent::Enter);
    sendEvent(button, QEvent::Leave);
    QCOMPARE(iconImage(button), hover);

    button->setChecked(false);
    sendEvent(button, QEvent::Enter);
    sendEvent(button, QEvent::Leave);
    QCOMPARE(iconImage(button), normal);
}

void TestIconHelper::firstRegistrationWins()
{
    QFrame frame;
    auto *button = new QToolButton(&frame);
    IconHelper *helper = IconHelper::instance();
    helper->styleToolButtonFrame(&frame, {button}, {Cog}, 14, 20, 20, NormalBg, DarkBg, NormalText,
                                 DarkText);
    const QImage firstNormal = helper->buttonPixmap(button, true).toImage();
    const QImage firstHover = helper->buttonPixmap(button, false).toImage();

    helper->styleToolButtonFrame(&frame, {button}, {Circle}, 14, 20, 20, NormalBg, DarkBg,
                                 QStringLiteral("#00FF00"), QStringLiteral("#0000FF"));
    const QImage secondNormal =
        helper->glyphPixmap(QColor(QStringLiteral("#00FF00")), QChar(Circle), 14, 20, 20).toImage();
    QCOMPARE(iconImage(button), secondNormal);
    QCOMPARE(helper->buttonPixmap(button, true).toImage(), firstNormal);

    sendEvent(button, QEvent::Enter);
    QCOMPARE(iconImage(button), firstHover);
    sendEvent(button, QEvent::Leave);
    QCOMPARE(iconImage(button), firstNormal);
}

void TestIconHelper::unregisteredButtonHasNoPixmap()
{
    QToolButton button;
    QVERIFY(IconHelper::instance()->buttonPixmap(&button, true).isNull());
    QVERIFY(IconHelper::instance()->buttonPixmap(&button, false).isNull());
}

void TestIconHelper::filterNeverConsumesEvents()
{
    QFrame frame;
    auto *button = new QToolButton(&frame);
    IconHelper::instance()->styleToolButtonFrame(&frame, {button}, {Cog}, 14, 20, 20, NormalBg,
                                                 DarkBg, NormalText, DarkText);
    QObject *filter = IconHelper::instance();
    QEvent enter(QEvent::Enter);
    QEvent other(QEvent::FontChange);
    QVERIFY(!filter->eventFilter(button, &enter));
    QVERIFY(!filter->eventFilter(button, &other));
    QVERIFY(!filter->eventFilter(&frame, &enter));
}

QTEST_MAIN(TestIconHelper)
#include "tst_iconhelper.moc"
