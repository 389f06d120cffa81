// The five theme style sheets that the build generates: they load, parse cleanly, and their key
// rules take effect on widgets that carry the program's object names.
#include <QtTest>
#include <QtWidgets>

#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>

#include "../testsupport.h"
#include "ui/camera/cameradisplay.h"
#include "ui/chart/pie/piechart.h"
#include "ui/station/stationfeedindicator.h"

namespace
{

using TestSupport::contrast;
using TestSupport::luminance;
using TestSupport::near;

// A plain widget that paints its style-sheet background, as the camera tile and the side
// panel do.
class StyledWidget : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStyleOption option;
        option.initFrom(this);
        QPainter painter(this);
        style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    }
};

// Stands in for a window that paints a picture and lays the login form over it.
class PictureWidget : public QWidget
{
public:
    explicit PictureWidget(const QColor &color, QWidget *parent = nullptr)
        : QWidget(parent), m_color(color)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), m_color); }

private:
    QColor m_color;
};

const QStringList CjkFamilies = {QStringLiteral("Microsoft YaHei"),
                                 QStringLiteral("WenQuanYi Micro Hei"),
                                 QStringLiteral("WenQuanYi Micro Hei Mono"),
                                 QStringLiteral("Noto Sans CJK SC"),
                                 QStringLiteral("Noto Sans Mono CJK SC"),
                                 QStringLiteral("Source Han Sans SC"),
                                 QStringLiteral("PingFang SC")};

constexpr double ReadableContrast = 4.5;
constexpr double GlyphContrast = 3.0;
constexpr double LargeTextContrast = 3.0;
constexpr double LargeTextPixels = 24.0;
constexpr double LargeBoldTextPixels = 18.66;
constexpr int ColorTolerance = 3;
const QColor TitleGlyphColor(0xFE, 0xFE, 0xFE);

// The colour the user sees at a point of a widget: taken from the whole window, so that
// transparent widgets show what lies behind them.
QColor seenAt(QWidget *widget, const QPointF &fraction)
{
    QWidget *window = widget->window();
    const QPoint local(qBound(0, int(fraction.x() * widget->width()), widget->width() - 1),
                       qBound(0, int(fraction.y() * widget->height()), widget->height() - 1));
    return window->grab().toImage().pixelColor(widget->mapTo(window, local));
}

QString themePath(const QString &theme)
{
    return QStringLiteral(TEST_CONFIG_DIR "/style/%1/style.css").arg(theme);
}

QString readTheme(const QString &theme)
{
    QFile file(themePath(theme));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

struct Rule {
    QStringList selectors;
    QMap<QString, QString> declarations;
};

// A small reader for the rules of a style sheet: enough to inspect selectors and properties.
QList<Rule> rules(QString css)
{
    static const QRegularExpression comments(QStringLiteral("/\\*.*?\\*/"),
                                             QRegularExpression::DotMatchesEverythingOption);
    css.remove(comments);
    QList<Rule> result;
    for (const QString &block : css.split(QLatin1Char('}'), Qt::SkipEmptyParts)) {
        const int open = block.indexOf(QLatin1Char('{'));
        if (open < 0)
            continue;
        Rule rule;
        for (const QString &s : block.left(open).split(QLatin1Char(',')))
            rule.selectors << s.simplified();
        for (const QString &d : block.mid(open + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const int colon = d.indexOf(QLatin1Char(':'));
            if (colon > 0)
                rule.declarations.insert(d.left(colon).trimmed(), d.mid(colon + 1).trimmed());
        }
        result << rule;
    }
    return result;
}

// The declarations of every rule written for exactly this selector, merged in file order.
QMap<QString, QString> declarationsOf(const QList<Rule> &all, const QString &selector)
{
    QMap<QString, QString> merged;
    for (const Rule &rule : all) {
        if (!rule.selectors.contains(selector))
            continue;
        for (auto it = rule.declarations.cbegin(); it != rule.declarations.cend(); ++it)
            merged.insert(it.key(), it.value());
    }
    return merged;
}

// The colours a sheet's colour value paints: one for a plain or translucent colour, every stop
// of a gradient. Empty for a value the reader does not know.
QList<QColor> paintedColors(const QString &value)
{
    static const QRegularExpression colorPattern(
        QStringLiteral("#[0-9a-fA-F]{6}|rgba?\\(([^)]*)\\)|\\btransparent\\b"));
    QList<QColor> colors;
    auto it = colorPattern.globalMatch(value);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        if (match.captured(0) == QLatin1String("transparent")) {
            colors << QColor(Qt::transparent);
        } else if (match.captured(1).isEmpty()) {
            colors << QColor(match.captured(0));
        } else {
            const QStringList parts = match.captured(1).split(QLatin1Char(','));
            QColor color(parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt());
            if (parts.size() > 3)
                color.setAlphaF(parts.at(3).toDouble());
            colors << color;
        }
    }
    return colors;
}

// A translucent colour laid over an opaque one.
QColor over(const QColor &top, const QColor &below)
{
    const double a = top.alphaF();
    return QColor::fromRgbF(top.redF() * a + below.redF() * (1 - a),
                            top.greenF() * a + below.greenF() * (1 - a),
                            top.blueF() * a + below.blueF() * (1 - a));
}

// Text counts as large from 24 px, or from 18.66 px (14 pt) in bold.
bool isLargeText(const QMap<QString, QString> &declarations)
{
    QString size = declarations.value(QStringLiteral("font-size"));
    const double pixels = size.remove(QStringLiteral("px")).toDouble();
    const bool bold = declarations.value(QStringLiteral("font-weight")) == QLatin1String("bold");
    return pixels >= LargeTextPixels || (bold && pixels >= LargeBoldTextPixels);
}

QStringList warnings;
QtMessageHandler previousHandler = nullptr;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    // The offscreen platform reports what it cannot do; that is not about the style sheet.
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    warnings << message;
}

} // namespace

class tst_Themes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fileIsInstalled_data() { themes(); }
    void fileIsInstalled();
    void appliesWithoutWarnings_data() { themes(); }
    void appliesWithoutWarnings();
    void fontFamilyNamesCjkFont_data() { themes(); }
    void fontFamilyNamesCjkFont();
    void logTextKeepsPixelSizedFont_data() { themes(); }
    void logTextKeepsPixelSizedFont();
    void cameraTileShowsThemeBackground_data();
    void cameraTileShowsThemeBackground();
    void windowMatchesThemeBrightness_data();
    void windowMatchesThemeBrightness();
    void textIsReadable_data();
    void textIsReadable();
    void knownPairsContrast_data();
    void knownPairsContrast();
    void verdictFillsStateArea_data();
    void verdictFillsStateArea();
    void feedGlyphsStandOut_data() { themes(); }
    void feedGlyphsStandOut();
    void closeButtonTurnsRedOnHover_data() { themes(); }
    void closeButtonTurnsRedOnHover();
    void messageBoxTextReadableOverPicture_data() { themes(); }
    void messageBoxTextReadableOverPicture();
    void loginPictureShowsThroughForm_data() { themes(); }
    void loginPictureShowsThroughForm();
    void paintedWidgetsKeepTheirPainting_data() { themes(); }
    void paintedWidgetsKeepTheirPainting();
    void generatorChecksPalette_data();
    void generatorChecksPalette();

private:
    static void themes();
    void apply(const QString &theme);
    QMainWindow *buildConsole();

    QMainWindow *m_window = nullptr;
};

void tst_Themes::themes()
{
    QTest::addColumn<QString>("theme");
    for (const char *name :
         {"dark_blue", "dark_green", "dark_yellow_green", "light_blue", "light_green"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_Themes::init()
{
    warnings.clear();
}

void tst_Themes::cleanup()
{
    delete m_window;
    m_window = nullptr;
    qApp->setStyleSheet(QString());
    // Back to Qt Test's handler and what lies over it, not to Qt's default one.
    if (previousHandler)
        qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

void tst_Themes::apply(const QString &theme)
{
    const QString css = readTheme(theme);
    QVERIFY2(!css.isEmpty(), qPrintable(themePath(theme)));
    QtMessageHandler replaced = qInstallMessageHandler(collectWarnings);
    if (!previousHandler)
        previousHandler = replaced;
    qApp->setStyleSheet(css);
}

// A window with the widgets the style sheets select on, named as the program names them.
QMainWindow *tst_Themes::buildConsole()
{
    auto *window = new QMainWindow;
    window->resize(1000, 700);

    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("FancyBar"));
    bar->setFixedHeight(50);
    auto *barLayout = new QHBoxLayout(bar);
    auto *logo = new QToolButton;
    logo->setObjectName(QStringLiteral("FancyBarLogoButton"));
    auto *styleButton = new QToolButton;
    styleButton->setObjectName(QStringLiteral("FancyBarAdditionalButton"));
    styleButton->setMenu(new QMenu(styleButton));
    auto *strip = new QWidget;
    strip->setObjectName(QStringLiteral("AdditionalWidget"));
    auto *stripLayout = new QHBoxLayout(strip);
    auto *logButton = new QToolButton;
    logButton->setObjectName(QStringLiteral("AdditionalWidgetToolButton"));
    logButton->setText(QStringLiteral("日志"));
    logButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    auto *head = new QPushButton;
    head->setObjectName(QStringLiteral("AdditionalWidgetPushButton"));
    head->setFixedSize(36, 36);
    stripLayout->addWidget(logButton);
    stripLayout->addWidget(head);
    auto *middle = new QPushButton(QStringLiteral("ClickMe"));
    middle->setObjectName(QStringLiteral("MainWindowMiddleButton"));
    middle->setFixedSize(100, 30);
    auto *caption = new QLabel(QStringLiteral("windowName"));
    caption->setObjectName(QStringLiteral("FancyTitleBarTitleLabel"));
    auto *close = new QToolButton;
    close->setObjectName(QStringLiteral("FancyTitleBarCloseButton"));
    close->setFixedSize(46, 50);
    for (QWidget *w : {static_cast<QWidget *>(logo), static_cast<QWidget *>(styleButton), strip,
                       static_cast<QWidget *>(middle), static_cast<QWidget *>(caption),
                       static_cast<QWidget *>(close)})
        barLayout->addWidget(w);
    window->setMenuWidget(bar);

    auto *central = new QWidget;
    auto *centralLayout = new QVBoxLayout(central);
    auto *tile = new StyledWidget;
    tile->setObjectName(QStringLiteral("CameraDisplay"));
    tile->setMinimumSize(240, 180);
    auto *tileLayout = new QVBoxLayout(tile);
    tileLayout->setContentsMargins(0, 0, 0, 0);
    auto *top = new QWidget;
    top->setObjectName(QStringLiteral("CameraDisplayTopWidget"));
    top->setFixedHeight(32);
    auto *topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    auto *index = new QToolButton;
    index->setObjectName(QStringLiteral("CameraDisplayIndexButton"));
    index->setText(QStringLiteral("C01"));
    index->setFixedSize(50, 32);
    auto *state = new QLabel(QStringLiteral("UNKNOW"));
    state->setObjectName(QStringLiteral("CameraDisplayStateLabel"));
    auto *title = new QLabel(QStringLiteral("Unknow"));
    title->setObjectName(QStringLiteral("CameraDisplayTitleLabel"));
    title->setFixedSize(50, 32);
    auto *extend = new QToolButton;
    extend->setObjectName(QStringLiteral("CameraParamExtendButton"));
    topLayout->addWidget(index);
    topLayout->addWidget(state);
    topLayout->addWidget(title);
    topLayout->addWidget(extend);
    tileLayout->addWidget(top);
    tileLayout->addStretch();
    centralLayout->addWidget(tile);

    auto *tabs = new QTabWidget;
    auto *log = new QTextEdit;
    log->setObjectName(QStringLiteral("MainWindowLogTextEdit"));
    log->setPlainText(QStringLiteral("001 2023/03/21 10:53:31.478 相机自检完成"));
    auto *note = new QLabel(QStringLiteral("此处不好添加停靠功能"));
    note->setObjectName(QStringLiteral("ChartPanelLabel"));
    tabs->addTab(log, QStringLiteral("日志"));
    tabs->addTab(note, QStringLiteral("示例标签"));
    centralLayout->addWidget(tabs);

    auto *fields = new QWidget;
    auto *fieldLayout = new QHBoxLayout(fields);
    auto *combo = new QComboBox;
    combo->setObjectName(QStringLiteral("LoginWidgetRoleComboBox"));
    combo->addItems({QStringLiteral("员工"), QStringLiteral("工程师")});
    auto *account = new QComboBox;
    account->setObjectName(QStringLiteral("LoginWidgetAccountComboBox"));
    account->setEditable(true);
    auto *password = new QLineEdit;
    password->setObjectName(QStringLiteral("LoginWidgetPasswordLineEdit"));
    password->setEchoMode(QLineEdit::Password);
    auto *remember = new QCheckBox(QStringLiteral("记住账号"));
    remember->setObjectName(QStringLiteral("LoginWidgetRoleRememberAccountButton"));
    remember->setChecked(true);
    auto *slider = new QSlider(Qt::Horizontal);
    auto *group = new QGroupBox(QStringLiteral("功能开关"));
    group->setObjectName(QStringLiteral("PopupMenuGroupBox"));
    auto *groupLayout = new QVBoxLayout(group);
    auto *function = new QPushButton(QStringLiteral("功能1"));
    function->setObjectName(QStringLiteral("PopupMenuButton"));
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    groupLayout->addWidget(function);
    groupLayout->addWidget(line);
    auto *submit = new QPushButton(QStringLiteral("确定"));
    submit->setObjectName(QStringLiteral("MessageSubmitButton"));
    submit->setFixedSize(80, 40);
    auto *disabled = new QPushButton(QStringLiteral("取消"));
    disabled->setEnabled(false);
    for (QWidget *w : {static_cast<QWidget *>(combo), static_cast<QWidget *>(account),
                       static_cast<QWidget *>(password), static_cast<QWidget *>(remember),
                       static_cast<QWidget *>(slider), static_cast<QWidget *>(group),
                       static_cast<QWidget *>(submit), static_cast<QWidget *>(disabled)})
        fieldLayout->addWidget(w);
    centralLayout->addWidget(fields);

    auto *table = new QTableWidget(5, 3);
    table->setObjectName(QStringLiteral("TableWidget"));
    table->setItem(0, 0, new QTableWidgetItem(QStringLiteral("0, 0")));
    centralLayout->addWidget(table);
    window->setCentralWidget(central);

    auto *dock = new QDockWidget(QStringLiteral("相机"), window);
    dock->setObjectName(QStringLiteral("SidePanelDockWidget"));
    auto *panel = new StyledWidget;
    panel->setObjectName(QStringLiteral("LeftPanel"));
    panel->setFixedWidth(250);
    auto *panelLayout = new QVBoxLayout(panel);
    auto *splitter = new QSplitter(Qt::Vertical);
    auto *tree = new QTreeWidget;
    tree->setHeaderHidden(true);
    auto *group0 = new QTreeWidgetItem(tree, {QStringLiteral("A盘")});
    new QTreeWidgetItem(group0, {QStringLiteral("相机1")});
    tree->expandAll();
    auto *setup = new QToolButton;
    setup->setObjectName(QStringLiteral("SidePanelSetupButton"));
    setup->setText(QStringLiteral("启动"));
    setup->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    splitter->addWidget(tree);
    splitter->addWidget(setup);
    panelLayout->addWidget(splitter);
    dock->setWidget(panel);
    window->addDockWidget(Qt::RightDockWidgetArea, dock);
    return window;
}

void tst_Themes::fileIsInstalled()
{
    QFETCH(QString, theme);
    const QFileInfo info(themePath(theme));
    QVERIFY2(info.isFile(), qPrintable(info.filePath()));
    QVERIFY(info.size() > 0);
    QVERIFY(!readTheme(theme).trimmed().isEmpty());
}

void tst_Themes::appliesWithoutWarnings()
{
    QFETCH(QString, theme);
    apply(theme);
    m_window = buildConsole();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->grab();
    QMenu menu;
    menu.addAction(QStringLiteral("dark_blue"));
    menu.ensurePolished();
    menu.grab();
    qInstallMessageHandler(previousHandler);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
}

void tst_Themes::fontFamilyNamesCjkFont()
{
    QFETCH(QString, theme);
    const QList<Rule> all = rules(readTheme(theme));
    int familyLists = 0;
    for (const Rule &rule : all) {
        if (!rule.declarations.contains(QStringLiteral("font-family")))
            continue;
        const QString families = rule.declarations.value(QStringLiteral("font-family"));
        if (families.contains(QStringLiteral("Arial")))
            continue; // the gauges keep the font they measure their scales with
        ++familyLists;
        bool named = false;
        for (const QString &cjk : CjkFamilies)
            named |= families.contains(QLatin1Char('"') + cjk + QLatin1Char('"'));
        QVERIFY2(named, qPrintable(rule.selectors.join(QLatin1Char(','))));
    }
    QVERIFY(familyLists >= 1);

    apply(theme);
    QLabel label(QStringLiteral("相机"));
    label.ensurePolished();
    const QStringList families = label.font().families();
    bool listed = false;
    for (const QString &cjk : CjkFamilies)
        listed |= families.contains(cjk);
    QVERIFY2(listed, qPrintable(families.join(QLatin1Char(','))));

    if (!QFontDatabase().families().contains(QStringLiteral("WenQuanYi Micro Hei")))
        QSKIP("WenQuanYi Micro Hei is not installed here: no CJK family to resolve to");
    QCOMPARE(QFontInfo(label.font()).family(), QStringLiteral("WenQuanYi Micro Hei"));
}

void tst_Themes::logTextKeepsPixelSizedFont()
{
    QFETCH(QString, theme);
    apply(theme);
    m_window = buildConsole();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto *log = m_window->findChild<QTextEdit *>(QStringLiteral("MainWindowLogTextEdit"));
    QVERIFY(log);
    // The text box zooms by changing the font's pixel size; a size in points would block it.
    const int size = log->font().pixelSize();
    QVERIFY2(size > 0, "log font is not sized in pixels");
    QFont bigger = log->font();
    bigger.setPixelSize(size + 1);
    log->setFont(bigger);
    QTest::mouseMove(log);
    QApplication::processEvents();
    QCOMPARE(log->font().pixelSize(), size + 1);
}

void tst_Themes::cameraTileShowsThemeBackground_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QColor>("tile");
    QTest::addColumn<QColor>("border");
    QTest::newRow("dark_blue") << "dark_blue" << QColor("#0b1018") << QColor("#222d3c");
    QTest::newRow("dark_green") << "dark_green" << QColor("#0a0f0d") << QColor("#1f2a25");
    QTest::newRow("dark_yellow_green")
        << "dark_yellow_green" << QColor("#0c0d07") << QColor("#2a2d21");
    QTest::newRow("light_blue") << "light_blue" << QColor("#e3e9f1") << QColor("#c9d3df");
    QTest::newRow("light_green") << "light_green" << QColor("#e4ece6") << QColor("#c7d6cb");
}

void tst_Themes::cameraTileShowsThemeBackground()
{
    QFETCH(QString, theme);
    QFETCH(QColor, tile);
    QFETCH(QColor, border);
    apply(theme);
    m_window = buildConsole();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto *display = m_window->findChild<QWidget *>(QStringLiteral("CameraDisplay"));
    QVERIFY(display);
    const QImage image = display->grab().toImage();
    const QPoint well(image.width() / 2, image.height() - 20);
    QVERIFY2(near(image.pixelColor(well), tile, ColorTolerance),
             qPrintable(image.pixelColor(well).name()));
    const QPoint edge(image.width() / 2, image.height() - 1);
    QVERIFY2(near(image.pixelColor(edge), border, ColorTolerance),
             qPrintable(image.pixelColor(edge).name()));

    // The header stands apart from the picture area and the index button from the header.
    auto *top = display->findChild<QWidget *>(QStringLiteral("CameraDisplayTopWidget"));
    QVERIFY(top);
    const QColor header = top->grab().toImage().pixelColor(top->width() / 2, 4);
    QVERIFY(!near(header, tile, 6));
    auto *index = display->findChild<QWidget *>(QStringLiteral("CameraDisplayIndexButton"));
    QVERIFY(index);
    QVERIFY(!near(index->grab().toImage().pixelColor(3, 10), header, 6));
}

void tst_Themes::windowMatchesThemeBrightness_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<bool>("dark");
    QTest::newRow("dark_blue") << "dark_blue" << true;
    QTest::newRow("dark_green") << "dark_green" << true;
    QTest::newRow("dark_yellow_green") << "dark_yellow_green" << true;
    QTest::newRow("light_blue") << "light_blue" << false;
    QTest::newRow("light_green") << "light_green" << false;
}

void tst_Themes::windowMatchesThemeBrightness()
{
    QFETCH(QString, theme);
    QFETCH(bool, dark);
    apply(theme);
    m_window = buildConsole();
    // The chart theme page paints the application palette light and its window dark; the
    // theme's own rules must win over both.
    QPalette palette = m_window->palette();
    palette.setColor(QPalette::Window, QColor("#121218"));
    palette.setColor(QPalette::WindowText, QColor("#D6D6D6"));
    m_window->setPalette(palette);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));

    auto *central = m_window->centralWidget();
    const QColor background =
        m_window->grab().toImage().pixelColor(central->geometry().bottomLeft() + QPoint(2, -2));
    auto *label = m_window->findChild<QLabel *>(QStringLiteral("CameraDisplayStateLabel"));
    QVERIFY(label);
    const QColor text = label->palette().color(QPalette::WindowText);
    if (dark) {
        QVERIFY2(luminance(background) < 0.05, qPrintable(background.name()));
        QVERIFY2(luminance(text) > 0.2, qPrintable(text.name()));
    } else {
        QVERIFY2(luminance(background) > 0.7, qPrintable(background.name()));
        QVERIFY2(luminance(text) < 0.2, qPrintable(text.name()));
    }
    auto *log = m_window->findChild<QTextEdit *>(QStringLiteral("MainWindowLogTextEdit"));
    QVERIFY(log);
    const QColor field = log->viewport()->grab().toImage().pixelColor(
        log->viewport()->width() - 5, log->viewport()->height() - 5);
    QCOMPARE(luminance(field) < 0.2, dark);
}

// Text and glyphs as rendered, on the parts that the sheet-level pairs below do not reach (the
// login form's fields, the message box, the side panel, the white glyphs drawn by the program)
// and on one that they do (the log).
void tst_Themes::textIsReadable_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QPointF>("backgroundProbe");
    QTest::addColumn<bool>("whiteGlyph"); // otherwise the widget's text colour

    struct Row {
        const char *name;
        const char *objectName;
        QPointF probe;
        bool whiteGlyph;
    };
    // The title-bar glyphs are drawn in #FEFEFE, the side panel's in #FFFFFF; they are read
    // beside the glyph, where the widget's own background shows.
    static const Row rows[] = {{"logText", "MainWindowLogTextEdit", {0.9, 0.9}, false},
                               {"comboBox", "LoginWidgetRoleComboBox", {0.7, 0.5}, false},
                               {"password", "LoginWidgetPasswordLineEdit", {0.7, 0.5}, false},
                               {"submitButton", "MessageSubmitButton", {0.5, 0.15}, false},
                               {"dockPanel", "LeftPanel", {0.5, 0.99}, false},
                               {"titleBarGlyph", "FancyBar", {0.06, 0.5}, true},
                               {"sideButtonGlyph", "SidePanelSetupButton", {0.06, 0.5}, true}};
    for (const char *theme :
         {"dark_blue", "dark_green", "dark_yellow_green", "light_blue", "light_green"}) {
        for (const Row &row : rows)
            QTest::addRow("%s/%s", theme, row.name)
                << theme << row.objectName << row.probe << row.whiteGlyph;
    }
}

void tst_Themes::textIsReadable()
{
    QFETCH(QString, theme);
    QFETCH(QString, objectName);
    QFETCH(QPointF, backgroundProbe);
    QFETCH(bool, whiteGlyph);
    apply(theme);
    m_window = buildConsole();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto *widget = m_window->findChild<QWidget *>(objectName);
    QVERIFY(widget);
    QWidget *surface = widget;
    if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
        surface = area->viewport();
    const QColor background = seenAt(surface, backgroundProbe);
    const QColor text =
        whiteGlyph ? TitleGlyphColor : widget->palette().color(widget->foregroundRole());
    const double ratio = contrast(background, text);
    QVERIFY2(
        ratio >= (whiteGlyph ? GlyphContrast : ReadableContrast),
        qPrintable(QStringLiteral("%1 on %2: %3").arg(text.name(), background.name()).arg(ratio)));
}

// The colour pairs of the sheets whose surfaces the sheets paint in full: text on its background
// (and a translucent background on what lies under it). The tile captions once read at 2:1 and
// the pie's labels at under 4:1 on the light themes' instrument panel.
void tst_Themes::knownPairsContrast_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("text");       // the rule of the text colour
    QTest::addColumn<QColor>("ink");         // or the colour itself, drawn by the program
    QTest::addColumn<QString>("background"); // the rule that paints behind the text
    QTest::addColumn<QString>("backdrop");   // what shows through a translucent background

    struct Pair {
        const char *name;
        const char *text;
        const char *background;
        const char *backdrop;
    };
    static const Pair pairs[] = {
        {"tileCaption", "QWidget#CameraDisplay > QLabel", "QWidget#CameraDisplay", ""},
        {"tileState", "QLabel#CameraDisplayStateLabel", "QWidget#CameraDisplayTopWidget", ""},
        {"tileTitle", "QLabel#CameraDisplayTitleLabel", "QWidget#CameraDisplayTopWidget", ""},
        {"tileIndex", "QToolButton#CameraDisplayIndexButton",
         "QToolButton#CameraDisplayIndexButton", "QWidget#CameraDisplayTopWidget"},
        {"tileIndexHover", "QToolButton#CameraDisplayIndexButton:hover",
         "QToolButton#CameraDisplayIndexButton:hover", "QWidget#CameraDisplayTopWidget"},
        {"extendButton", "QToolButton#CameraParamExtendButton", "QWidget#CameraDisplayTopWidget",
         ""},
        {"windowTitle", "QLabel#FancyTitleBarTitleLabel", "QWidget#FancyBar", ""},
        {"stripButton", "QToolButton#AdditionalWidgetToolButton", "QWidget#FancyBar", ""},
        {"stripButtonHover", "QToolButton#AdditionalWidgetToolButton:hover",
         "QToolButton#AdditionalWidgetToolButton:hover", "QWidget#FancyBar"},
        {"middleButton", "QPushButton#MainWindowMiddleButton", "QPushButton#MainWindowMiddleButton",
         "QWidget#FancyBar"},
        {"middleButtonHover", "QPushButton#MainWindowMiddleButton",
         "QPushButton#MainWindowMiddleButton:hover", "QWidget#FancyBar"},
        {"instrumentLabel", "QWidget#ChartPanel > QSplitter > .QWidget > QLabel",
         "QWidget#ChartPanel > QSplitter > .QWidget", ""},
        {"logText", "QTextEdit#MainWindowLogTextEdit", "QTextEdit", ""},
        {"logWindowText", "QTextEdit#LogWidgetLogTextEdit", "QTextEdit#LogWidgetLogTextEdit", ""},
        {"windowText", "QWidget", "QMainWindow", ""},
        {"treeText", "QWidget", "QTreeView", ""},
        {"popupGroup", "QGroupBox#PopupMenuGroupBox", "QWidget#PopupMenuCentralWidget", ""},
        {"popupButton", "QPushButton", "QPushButton#PopupMenuButton",
         "QWidget#PopupMenuCentralWidget"},
        {"popupButtonHover", "QPushButton#PopupMenuButton:hover",
         "QPushButton#PopupMenuButton:hover", "QWidget#PopupMenuCentralWidget"},
        {"cardName", "QLabel#LoginInfoNameLabel", "QWidget#LoginInfoCentralWidget", ""},
        {"cardInfo", "QLabel#LoginInfoInfLabel", "QWidget#LoginInfoCentralWidget", ""},
        {"tab", "QTabBar::tab", "QTabBar::tab", "QWidget#LeftPanel"},
        {"tabSelected", "QTabBar::tab:selected", "QTabBar::tab:selected", "QWidget#LeftPanel"},
        {"dockTitle", "QDockWidget#SidePanelDockWidget", "QDockWidget::title", ""},
        {"tableHeader", "QHeaderView::section", "QHeaderView::section", ""},
        {"chartNote", "QLabel#ChartPanelLabel", "QTabWidget::pane", ""},
        {"button", "QPushButton", "QPushButton", "QMainWindow"},
        {"setupButton", "QToolButton#SidePanelSetupButton", "QToolButton#SidePanelSetupButton",
         "QWidget#LeftPanel"},
        {"setupButtonHover", "QToolButton#SidePanelSetupButton",
         "QToolButton#SidePanelSetupButton:hover", "QWidget#LeftPanel"},
        {"pauseButton", "QToolButton#SidePanelPauseButton", "QToolButton#SidePanelPauseButton",
         "QWidget#LeftPanel"},
        {"pauseButtonHover", "QToolButton#SidePanelPauseButton",
         "QToolButton#SidePanelPauseButton:hover", "QWidget#LeftPanel"},
        {"waitButton", "QToolButton#SidePanelWaitButton", "QToolButton#SidePanelWaitButton",
         "QWidget#LeftPanel"},
        {"waitButtonHover", "QToolButton#SidePanelWaitButton",
         "QToolButton#SidePanelWaitButton:hover", "QWidget#LeftPanel"},
        {"waitWindowTitle", "QLabel#SetupWaitProgressBarTitleLabel", "SetupWaitProgressBar", ""},
    };
    // The pie chart draws each slice's label in the slice's colour on the instrument panel.
    PieChart pie;
    const QList<QPieSlice *> slices = pie.series()->slices();
    for (const char *theme :
         {"dark_blue", "dark_green", "dark_yellow_green", "light_blue", "light_green"}) {
        for (const Pair &pair : pairs)
            QTest::addRow("%s/%s", theme, pair.name)
                << theme << pair.text << QColor() << pair.background << pair.backdrop;
        for (QPieSlice *slice : slices)
            QTest::addRow("%s/pieLabel%s", theme, qPrintable(slice->label()))
                << theme << "" << slice->labelColor() << "QWidget#ChartPanel > QSplitter > .QWidget"
                << "";
    }
}

void tst_Themes::knownPairsContrast()
{
    QFETCH(QString, theme);
    QFETCH(QString, text);
    QFETCH(QColor, ink);
    QFETCH(QString, background);
    QFETCH(QString, backdrop);

    const QList<Rule> all = rules(readTheme(theme));
    const QMap<QString, QString> textRule = declarationsOf(all, text);
    QList<QColor> inks =
        ink.isValid() ? QList<QColor>{ink} : paintedColors(textRule.value(QStringLiteral("color")));
    auto paintOf = [&](const QString &selector) {
        const QMap<QString, QString> rule = declarationsOf(all, selector);
        return paintedColors(rule.value(QStringLiteral("background"),
                                        rule.value(QStringLiteral("background-color"))));
    };
    QList<QColor> grounds = paintOf(background);
    QVERIFY2(!inks.isEmpty() && !grounds.isEmpty(), "a colour the sheet does not give");
    if (!backdrop.isEmpty()) {
        QList<QColor> laid;
        for (const QColor &below : paintOf(backdrop))
            for (const QColor &top : qAsConst(grounds))
                laid << over(top, below);
        grounds = laid;
    }
    const double needed = isLargeText(textRule) ? LargeTextContrast : ReadableContrast;
    for (const QColor &ground : qAsConst(grounds)) {
        QVERIFY2(ground.alpha() == 255, "a translucent background without a backdrop");
        for (const QColor &textColor : qAsConst(inks)) {
            const QColor seen = over(textColor, ground);
            const double ratio = contrast(seen, ground);
            QVERIFY2(ratio >= needed, qPrintable(QStringLiteral("%1 on %2: %3")
                                                     .arg(seen.name(), ground.name())
                                                     .arg(ratio, 0, 'f', 2)));
        }
    }
}

void tst_Themes::verdictFillsStateArea_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<int>("state");
    for (const char *name :
         {"dark_blue", "dark_green", "dark_yellow_green", "light_blue", "light_green"}) {
        for (int state : {0, 1, 2})
            QTest::addRow("%s-%d", name, state) << QString::fromLatin1(name) << state;
    }
}

// NG red, OK green, unknown as the header around it; the state text readable on the fill.
void tst_Themes::verdictFillsStateArea()
{
    QFETCH(QString, theme);
    QFETCH(int, state);
    apply(theme);
    m_window = new QMainWindow;
    auto *tile = new CameraDisplay;
    tile->setObjectName(QStringLiteral("CameraDisplay"));
    m_window->setCentralWidget(tile);
    m_window->resize(400, 300);
    tile->setState(1 - state % 2); // a change of state, as the feed makes it
    tile->setState(state);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto *label = tile->findChild<QLabel *>(QStringLiteral("CameraDisplayStateLabel"));
    // Near the label's right end, clear of the centred text; the header beside the title text.
    const QColor fill = seenAt(label, QPointF(0.97, 0.5));
    const QColor header =
        seenAt(tile->findChild<QLabel *>(QStringLiteral("CameraDisplayTitleLabel")), {0.9, 0.5});
    const int hue = fill.hsvHue();
    if (state == 2) {
        QVERIFY2(near(fill, header, ColorTolerance), qPrintable(fill.name() + header.name()));
        return;
    }
    QVERIFY2(fill.hsvSaturation() > 100 &&
                 (state == 0 ? hue < 15 || hue > 345 : hue > 80 && hue < 160),
             qPrintable(fill.name()));
    const QColor text = label->palette().color(QPalette::WindowText);
    QVERIFY2(contrast(text, fill) >= ReadableContrast, qPrintable(text.name() + fill.name()));
}

// Each state of the feed has a glyph colour of its own that stands out on the title bar.
void tst_Themes::feedGlyphsStandOut()
{
    QFETCH(QString, theme);
    apply(theme);
    m_window = buildConsole();
    auto *indicator = new StationFeedIndicator;
    m_window->menuWidget()->layout()->addWidget(indicator);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const QColor bar = seenAt(indicator, QPointF(0.05, 0.05));
    QList<QColor> glyphs;
    for (auto state :
         {StationClient::Connected, StationClient::Connecting, StationClient::Offline}) {
        indicator->setFeedState(state, QString());
        const QColor glyph = indicator->palette().color(QPalette::WindowText);
        QVERIFY2(contrast(glyph, bar) >= GlyphContrast, qPrintable(glyph.name() + bar.name()));
        for (const QColor &other : qAsConst(glyphs))
            QVERIFY2(!near(glyph, other, 30), qPrintable(glyph.name() + other.name()));
        glyphs << glyph;
        // Painted in that colour.
        const QImage image = indicator->grab().toImage();
        bool painted = false;
        for (int i = 0; i < image.width() * image.height() && !painted; ++i)
            painted =
                near(image.pixelColor(i % image.width(), i / image.width()), glyph, ColorTolerance);
        QVERIFY2(painted, qPrintable(glyph.name()));
    }
}

void tst_Themes::closeButtonTurnsRedOnHover()
{
    QFETCH(QString, theme);
    apply(theme);
    m_window = buildConsole();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    auto *close = m_window->findChild<QToolButton *>(QStringLiteral("FancyTitleBarCloseButton"));
    QVERIFY(close);
    const QPoint centre(close->width() / 2, close->height() / 2);
    const QColor before = close->grab().toImage().pixelColor(centre);
    // Come from elsewhere, so that the pointer really enters the button.
    QTest::mouseMove(m_window->centralWidget(), QPoint(5, 5));
    QTRY_VERIFY(!close->underMouse());
    QTest::mouseMove(close, centre);
    QTRY_VERIFY(close->underMouse());
    const QColor hovered = close->grab().toImage().pixelColor(centre);
    QVERIFY2(before.red() < 200 || before.green() > 120, qPrintable(before.name()));
    QVERIFY2(hovered.red() > 180 && hovered.green() < 110 && hovered.blue() < 110,
             qPrintable(hovered.name()));
}

void tst_Themes::messageBoxTextReadableOverPicture()
{
    QFETCH(QString, theme);
    const QImage picture(QStringLiteral(TEST_ASSET_DIR "/res/image/messagebox/bg.png"));
    QVERIFY2(!picture.isNull(), "message box background missing");
    apply(theme);
    QDialog dialog;
    dialog.resize(picture.size());
    auto *text = new QLabel(QStringLiteral("确认关闭程序?"), &dialog);
    text->setObjectName(QStringLiteral("MessageBoxTextLabel"));
    text->move(140, 120);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QColor base = dialog.grab().toImage().pixelColor(5, picture.height() - 5);
    const QColor ink = text->palette().color(QPalette::WindowText);

    // The picture lies over the dialog's background: every pixel of the result must keep the
    // message readable.
    QImage composed(picture.size(), QImage::Format_ARGB32_Premultiplied);
    composed.fill(base);
    QPainter(&composed).drawImage(0, 0, picture);
    double worst = 1e9;
    for (int y = 0; y < composed.height(); y += 2)
        for (int x = 0; x < composed.width(); x += 2)
            worst = qMin(worst, contrast(composed.pixelColor(x, y), ink));
    QVERIFY2(worst >= ReadableContrast, qPrintable(QString::number(worst)));
}

void tst_Themes::loginPictureShowsThroughForm()
{
    QFETCH(QString, theme);
    apply(theme);
    const QColor picture(200, 30, 30);
    PictureWidget form(picture);
    form.resize(600, 400);
    auto *layout = new QVBoxLayout(&form);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *inner = new QWidget;
    inner->setObjectName(QStringLiteral("LoginWidget"));
    layout->addWidget(inner);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QColor seen = form.grab().toImage().pixelColor(20, 200);
    QVERIFY2(seen.red() > 110 && seen.red() > 2 * seen.green(), qPrintable(seen.name()));
}

void tst_Themes::paintedWidgetsKeepTheirPainting()
{
    QFETCH(QString, theme);
    static const QStringList painted = {
        QStringLiteral("AverageChart"), QStringLiteral("InstantChart"),
        QStringLiteral("ColorProgressBar"), QStringLiteral("WordArtWidget"),
        QStringLiteral("#LoginTitleWidget")};
    // Properties the gauges declare; a misspelt one would silently become a dynamic property.
    static const QStringList gaugeProperties = {
        QStringLiteral("outerCircleColor"),  QStringLiteral("innerCircleColor"),
        QStringLiteral("coverCircleColor"),  QStringLiteral("scaleColor"),
        QStringLiteral("centerCircleColor"), QStringLiteral("textColor"),
        QStringLiteral("pointerColor"),      QStringLiteral("pieColorStart"),
        QStringLiteral("pieColorMid"),       QStringLiteral("pieColorEnd"),
        QStringLiteral("usedColor"),         QStringLiteral("freeColor"),
        QStringLiteral("userValueColor"),    QStringLiteral("titleColor")};
    int gaugeRules = 0;
    for (const Rule &rule : rules(readTheme(theme))) {
        for (const QString &selector : rule.selectors) {
            const QStringList parts =
                selector.split(QRegularExpression(QStringLiteral("[\\s>]+")), Qt::SkipEmptyParts);
            const QString last =
                parts.isEmpty() ? QString() : parts.last().section(QLatin1Char(':'), 0, 0);
            const bool targetsPainted =
                painted.contains(last) || painted.contains(last.section(QLatin1Char('#'), 0, 0)) ||
                (last.contains(QLatin1Char('#')) &&
                 painted.contains(QLatin1Char('#') + last.section(QLatin1Char('#'), 1)));
            if (!targetsPainted)
                continue;
            ++gaugeRules;
            for (auto it = rule.declarations.cbegin(); it != rule.declarations.cend(); ++it) {
                QVERIFY2(!it.key().startsWith(QLatin1String("background")) &&
                             !it.key().startsWith(QLatin1String("border")),
                         qPrintable(selector + QLatin1String(": ") + it.key()));
                if (it.key().startsWith(QLatin1String("qproperty-"))) {
                    QVERIFY2(gaugeProperties.contains(it.key().mid(10)), qPrintable(it.key()));
                    QVERIFY2(QColor(it.value()).isValid(), qPrintable(it.value()));
                }
            }
        }
    }
    QVERIFY(gaugeRules > 0);
}

void tst_Themes::generatorChecksPalette_data()
{
    QTest::addColumn<QByteArray>("palette");
    QTest::addColumn<QString>("complaint");
    QTest::newRow("complete") << QByteArray("# test\na = #fff\nb = 2px\n") << QString();
    QTest::newRow("undefinedPlaceholder")
        << QByteArray("a = #fff\n") << QStringLiteral("@b@ is not set");
    QTest::newRow("unusedEntry") << QByteArray("a = #fff\nb = 2px\nc = red\n")
                                 << QStringLiteral("c is not used");
}

void tst_Themes::generatorChecksPalette()
{
    QFETCH(QByteArray, palette);
    QFETCH(QString, complaint);
    QTemporaryDir dir;
    QVERIFY(
        TestSupport::writeFile(dir.filePath(QStringLiteral("style.css.in")),
                               "/* notes */\nQLabel#A { color: @a@; border: @b@ solid @a@; }\n"));
    QVERIFY(TestSupport::writeFile(dir.filePath(QStringLiteral("t.palette")), palette));
    const QString sheet = dir.filePath(QStringLiteral("t/style.css"));
    QProcess generator;
    generator.start(QStringLiteral(TEST_CMAKE),
                    {QStringLiteral("-DTEMPLATE=") + dir.filePath(QStringLiteral("style.css.in")),
                     QStringLiteral("-DPALETTE=") + dir.filePath(QStringLiteral("t.palette")),
                     QStringLiteral("-DOUTPUT=") + sheet, QStringLiteral("-P"),
                     QStringLiteral(TEST_STYLEGEN)});
    QVERIFY(generator.waitForFinished());
    const QString errors = QString::fromUtf8(generator.readAllStandardError());
    QCOMPARE(generator.exitCode() == 0, complaint.isEmpty());
    QVERIFY2(errors.contains(complaint), qPrintable(errors));
    QCOMPARE(QFile::exists(sheet), complaint.isEmpty());
    if (complaint.isEmpty())
        QVERIFY(TestSupport::readFile(sheet).endsWith(
            "QLabel#A { color: #fff; border: 2px solid #fff; }\n"));
}

QTEST_MAIN(tst_Themes)
#include "tst_themes.moc"
